#!/usr/bin/env bash
# Every test: set everything up, then build and run the suite as released, under
# AddressSanitizer + UndefinedBehaviorSanitizer and under ThreadSanitizer, fuzz the
# parsers for a bounded time, and cross-build for Windows and run the suite there
# under wine; last, make the Debian packages and the Windows archive and install and
# run them (tests/package/). Ends with one line per stage (build and test seconds
# apart) and the figures the tests reported.
#
#   scripts/test.sh                     every stage
#   scripts/test.sh --stage release     only the named stages (release, asan, tsan,
#                                       fuzz, windows, package; the option may be repeated)
set -euo pipefail
cd "$(dirname "$0")/.."

all=(release asan tsan fuzz windows package)
chosen=()
while [ $# -gt 0 ]; do
    case "$1" in
    --stage)
        [[ " ${all[*]} " == *" ${2:-} "* ]] || { echo "test.sh: --stage takes one of: ${all[*]}" >&2; exit 2; }
        chosen+=("$2")
        shift 2
        ;;
    *) echo "test.sh: unknown argument $1 (--stage NAME runs one stage)" >&2; exit 2 ;;
    esac
done
[ ${#chosen[@]} -gt 0 ] || chosen=("${all[@]}")

scripts/setup.sh
summary=$(mktemp)
export AIK_TEST_FIGURES=$PWD/build/test-figures.txt
mkdir -p build && : > "$AIK_TEST_FIGURES"
trap 'rm -f "$summary"' EXIT

# Most tests wait on cameras, timers and child processes rather than compute, so the
# suite runs well above the core count (it passes at -j16 too).
test_jobs=$((4 * $(nproc)))
[ "$test_jobs" -ge 8 ] || test_jobs=8

# What a stage's test log says of its outcome: ctest's pass line, each fuzzer's runs, or
# what the package tests installed and ran.
outcome() {
    grep -E 'tests passed|stat::' build/stage.log || true
    grep -E '^(fuzz|package) ' build/stage.log || true
}
# stage NAME BUILD TEST: runs both command lines and notes the outcome with the
# seconds of each half.
stage() {
    local name=$1 build=$2 test=$3 start=$SECONDS built
    echo "== $name =="
    bash -c "$build" 2>&1 | tee build/stage-build.log
    built=$SECONDS
    bash -c "$test" 2>&1 | tee build/stage.log
    echo "$name: $(outcome | paste -sd ';' -) (build $((built - start)) s, tests $((SECONDS - built)) s)" >> "$summary"
}
wanted() { [[ " ${chosen[*]} " == *" $1 "* ]]; }

# The integrity soak runs its full minute per host, the feature traffic its 10^5 calls
# per channel and the view its 40 s swarm of slow clients in the release build only
# (the sanitizers slow them tenfold). The soak runs beside the fuzzers when both stages
# run: it mostly waits, they compute.
soak="AIK_SOAK_SECONDS=${AIK_SOAK_SECONDS:-60} ctest --preset default -j $test_jobs -R IntegritySoak"
if wanted release && wanted fuzz; then
    stage release "scripts/build.sh default" "ctest --preset default -j $test_jobs -E IntegritySoak"
    stage "fuzz and release soak" "scripts/fuzz.sh --build" \
        "scripts/beside.sh '$soak' 'scripts/fuzz.sh ${AIK_FUZZ_SECONDS:-60}'"
elif wanted release; then
    stage release "scripts/build.sh default" "ctest --preset default -j $test_jobs -E IntegritySoak && $soak"
elif wanted fuzz; then
    stage fuzz "scripts/fuzz.sh --build" "scripts/fuzz.sh ${AIK_FUZZ_SECONDS:-60}"
fi
# A test that fails is run once more in the sanitizer stages, and both runs stay in the
# log: slowed tenfold on a loaded machine, a bounded wait now and then ends late.
for preset in asan tsan; do
    if wanted $preset; then
        stage $preset "scripts/build.sh $preset" \
            "AIK_SOAK_SECONDS=5 AIK_TRAFFIC_OPERATIONS=20000 AIK_SWARM_SECONDS=10 ctest --preset $preset -j $test_jobs --repeat until-pass:2"
    fi
done
if wanted windows; then
    stage windows "scripts/windows.sh --build" "scripts/windows.sh --test $test_jobs"
fi
# After the release and Windows stages, whose builds it packs again in seconds.
if wanted package; then
    stage package "scripts/package.sh" "tests/package/install_test.sh build/packages &&
        tests/package/windows_zip_test.sh build-windows/packages/quorvexaik-*-win64.zip"
fi
echo "== summary =="
cat "$summary" "$AIK_TEST_FIGURES"
