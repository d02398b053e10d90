#!/usr/bin/env bash
# Every test: set everything up, then build and run the suite as released, under
# AddressSanitizer + UndefinedBehaviorSanitizer and under ThreadSanitizer, fuzz the
# parsers for a bounded time, and cross-build for Windows and run the suite there
# under wine. Ends with one line per stage and the figures the tests reported.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
summary=$(mktemp)
export AIK_TEST_FIGURES=$PWD/build/test-figures.txt
mkdir -p build && : > "$AIK_TEST_FIGURES"
trap 'rm -f "$summary"' EXIT
stage() { # name, command...
    local name=$1 start=$SECONDS
    shift
    echo "== $name =="
    "$@" 2>&1 | tee build/stage.log
    echo "$name: $(grep -E 'tests passed|Done [0-9]+ runs|stat::' build/stage.log | tail -1) ($((SECONDS - start)) s)" >> "$summary"
}
# The integrity soak runs its full minute per host in the release build only.
for preset in default asan tsan; do
    soak=5
    [ "$preset" = default ] && soak=${AIK_SOAK_SECONDS:-60}
    stage "$preset" bash -c "scripts/build.sh $preset && AIK_SOAK_SECONDS=$soak ctest --preset $preset -j $(nproc)"
done
stage fuzz scripts/fuzz.sh "${AIK_FUZZ_SECONDS:-60}"
stage windows scripts/windows.sh
echo "== summary =="
cat "$summary" "$AIK_TEST_FIGURES"
