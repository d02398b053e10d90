#!/usr/bin/env bash
# The Windows build: cross-build the module, the simulated camera libraries, aikhost
# and the tests as 64-bit Windows programs with mingw-w64, then under wine list the
# built-in simulated cameras through the module and run every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --windows
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)"

export WINEPREFIX="$PWD/build-windows/wine" WINEDEBUG=-all
# One wine server for the whole run: every test is a process of its own, and a server
# started and stopped around each would cost a second or more apiece. It fails
# quietly when that server runs already.
wineserver -p || true
trap 'wineserver -k' EXIT
unset QUORVEX_SIM_CONFIG
wine build-windows/bin/aikhost.exe channels
ctest --preset windows -j "$(nproc)"
