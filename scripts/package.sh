#!/usr/bin/env bash
# Builds what the packages hold and packs it: the Debian packages from the release
# build (build/packages/*.deb, checked by lintian) and the Windows archive from the
# mingw-w64 cross-build (build-windows/packages/*.zip). The release build is the one
# the test command tests, so what ships is what was tested; only the packaged targets
# are built, the tests are not.
#
#   scripts/package.sh              both
#   scripts/package.sh --deb        the Debian packages only
#   scripts/package.sh --windows    the Windows archive only
set -euo pipefail
cd "$(dirname "$0")/.."
case "${1:-all}" in
all) deb=1 windows=1 ;;
--deb) deb=1 windows=0 ;;
--windows) deb=0 windows=1 ;;
*) echo "package.sh: unknown argument $1 (--deb or --windows packs one kind)" >&2; exit 2 ;;
esac

# pack PRESET BUILD_FOLDER: builds the installed targets of one preset and runs cpack.
pack() {
    cmake --preset "$1" >/dev/null
    cmake --build "$2" -j "$(nproc)" --target aik_packaged
    rm -rf "$2/packages"
    if ! (cd "$2" && cpack) >"$2/cpack.log" 2>&1; then
        cat "$2/cpack.log" >&2
        echo "package.sh: cpack failed in $2 (its output above)" >&2
        exit 1
    fi
    grep -E '^CPack: - package:' "$2/cpack.log"
}

made=()
if [ "$deb" = 1 ]; then
    scripts/setup.sh
    scripts/setup.sh --package
    pack default build
    # Errors fail the build; warnings are listed (docs/packaging.md says which stay).
    lintian --fail-on error --suppress-tags initial-upload-closes-no-bugs build/packages/*.deb
    made+=(build/packages/*.deb)
fi
if [ "$windows" = 1 ]; then
    scripts/setup.sh --windows
    pack windows build-windows
    made+=(build-windows/packages/*.zip)
fi
echo "packages:"
for file in "${made[@]}"; do
    echo "  $file $(stat -c %s "$file") bytes"
done
