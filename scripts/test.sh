#!/usr/bin/env bash
# Every test: set everything up, then build and run the suite as released and under
# AddressSanitizer + UndefinedBehaviorSanitizer, fuzz the configuration reader for a
# bounded time, and cross-build for Windows and run the suite there under wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
for preset in default asan; do
    echo "== $preset =="
    scripts/build.sh "$preset"
    ctest --preset "$preset" -j "$(nproc)"
done
echo "== fuzz =="
scripts/fuzz.sh "${AIK_FUZZ_SECONDS:-60}"
echo "== windows =="
scripts/windows.sh
