#!/usr/bin/env bash
# Unpacks the Windows archive into a temporary folder and runs its aikhost.exe there
# under wine, in a new wine prefix of its own, as a user who has nothing else would:
#
#   tests/package/windows_zip_test.sh ARCHIVE.zip
#
# A DLL the archive lacks (a C++ runtime, a camera library) fails the start, since the
# new prefix has only wine's own. Prints one "package windows:" line.
set -euo pipefail
cd "$(dirname "$0")/../.."
archive=$(realpath "${1:?usage: windows_zip_test.sh ARCHIVE.zip (scripts/package.sh --windows makes it)}")
expected="CHANGELOG.md QuorvexAIK64.dll QuorvexApi64.dll QuorvexUtl64.dll README-windows.txt aikhost.exe"
runner=$PWD/cmake/windows/run-under-wine.sh

work=$(mktemp -d)
prefix=$work/wine
cleanup() {
    # The wine server this test started, by its prefix: it stays 30 s otherwise.
    [ ! -d "$prefix" ] || WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "windows_zip_test: $*" >&2
    exit 1
}

(cd "$work" && cmake -E tar xf "$archive")
folders=("$work"/quorvexaik-*)
[ -d "${folders[0]}" ] || fail "the archive has no quorvexaik-* folder at its top"
folder=${folders[0]}
contents=$(cd "$folder" && find . -mindepth 1 -printf '%P\n' | sort | paste -sd ' ' -)
[ "$contents" = "$expected" ] || fail "the archive holds \"$contents\", expected \"$expected\""

# aikhost.exe finds the module and the camera DLLs beside itself; the output folder
# is relative, so wine's path mapping plays no part.
aikhost() {
    local out
    out=$(cd "$folder" && env -u QUORVEX_SIM_CONFIG "$runner" "$prefix" "$folder/aikhost.exe" "$@" 2>&1) ||
        fail "aikhost.exe $* exited $?:"$'\n'"$out"
    printf '%s\n' "$out"
}
# The version resource the host reads survives the packing (stripped binaries).
version=$(aikhost --version)
[[ "$version" == *"QuorvexAIK64.dll: 1.0.0.1"* ]] || fail "aikhost.exe --version printed: $version"
aikhost channels | grep -q "SIM-M1280" || fail "aikhost.exe channels lists no simulated camera"
aikhost grab -n 3 --trigger rising -o grab >/dev/null
grabbed=$(find "$folder/grab" -name '*.png' | wc -l)
[ "$grabbed" -eq 3 ] || fail "aikhost.exe grab -n 3 wrote $grabbed PNG files"

echo "package windows: $(basename "$archive") $(stat -c %s "$archive") bytes, aikhost.exe --version, channels and grab -n 3 (software-triggered, none lost) in a new wine prefix"
