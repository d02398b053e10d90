#!/usr/bin/env bash
# Every test: set everything up, then build and run the suite twice, as released and
# under AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
for preset in default asan; do
    echo "== $preset =="
    scripts/build.sh "$preset"
    ctest --preset "$preset" -j "$(nproc)"
done
