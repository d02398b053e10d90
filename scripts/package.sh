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
    (cd "$2" && cpack) | grep -E '^CPack: - package:'
}

if [ "$deb" = 1 ]; then
    scripts/setup.sh
    scripts/setup.sh --package
    pack default build
    # Errors fail the build; warnings are listed (docs/packaging.md says which stay).
    lintian --fail-on error --suppress-tags initial-upload-closes-no-bugs build/packages/*.deb
fi
if [ "$windows" = 1 ]; then
    scripts/setup.sh --windows
    pack windows build-windows
fi
echo "packages:"
for file in build/packages/*.deb build-windows/packages/*.zip; do
    [ -e "$file" ] && echo "  $file $(stat -c %s "$file") bytes"
done
