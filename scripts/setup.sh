#!/usr/bin/env bash
# Installs the Debian packages the build, the stand-ins and the tests need; only
# what is missing, so a second run costs a few dpkg queries.
set -euo pipefail

packages=(cmake make g++ pkg-config git
          libgtest-dev libgmock-dev libbenchmark-dev
          nlohmann-json3-dev libcli11-dev
          # aikhost: PNG files, JPEG and in-memory PNG for the live view, its HTTP
          # server, and the headless browser that tests the page; the shell's line
          # editing (libedit) and the manual page made from --help.
          libpng-dev libturbojpeg0-dev libspng-dev libcpp-httplib-dev libedit-dev help2man
          # Recordings: BigTIFF through libtiff, read back in the tests by tifffile,
          # and their exported PNG files by pypng.
          libtiff-dev python3-tifffile python3-png
          chromium chromium-driver python3-selenium
          # Real cameras: Aravis, its GigE Vision camera emulator and arv-tool; Debian
          # 12's aravis-0.8.pc needs libusb's .pc file.
          libaravis-dev aravis-tools aravis-tools-cli libusb-1.0-0-dev)
if [ "${1:-}" = "--bench" ]; then packages+=(libopencv-dev); fi
if [ "${1:-}" = "--fuzz" ]; then packages+=(clang libclang-rt-dev); fi
# The packages (scripts/package.sh): dpkg-shlibdeps (dpkg-dev), which needs file, and
# lintian to check them.
if [ "${1:-}" = "--package" ]; then packages+=(dpkg-dev file lintian); fi
# The Windows cross-build: the mingw-w64 compiler with posix threads, GoogleTest's
# source to build with it, and 64-bit wine alone (no 32-bit part) to run the results.
if [ "${1:-}" = "--windows" ]; then packages+=(g++-mingw-w64-x86-64-posix googletest wine wine64); fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        echo "setup: these packages are missing and installing them needs root" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# A bare root may have no /etc/hosts: ChromeDriver reaches the browser it starts at
# "localhost", so the browser test needs that name.
if ! getent hosts localhost >/dev/null 2>&1; then
    if [ "$(id -u)" -eq 0 ]; then
        echo "setup: adding localhost to /etc/hosts"
        printf '127.0.0.1\tlocalhost\n::1\tlocalhost ip6-localhost ip6-loopback\n' >> /etc/hosts
    else
        echo "setup: this machine has no name localhost; the browser test will be skipped" >&2
    fi
fi
