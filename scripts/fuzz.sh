#!/usr/bin/env bash
# Fuzzes the configuration reader, the simulator's description reader and the reading
# of numbers in value texts, all three at once, each for a bounded time (seconds,
# default 60), in a clang build of its own, build-fuzz, with AddressSanitizer and
# UBSan. A crash, a leak or an input that takes more than a second is a finding and
# fails the run.
#
#   scripts/fuzz.sh [SECONDS]     build, then fuzz
#   scripts/fuzz.sh --build       build only
set -euo pipefail
cd "$(dirname "$0")/.."
targets=(config description value_text)

build() {
    scripts/setup.sh --fuzz
    cmake -S . -B build-fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
          -DCMAKE_BUILD_TYPE=RelWithDebInfo -DAIK_BUILD_FUZZ=ON -DAIK_BUILD_TESTS=OFF -DAIK_SANITIZE=ON >/dev/null
    cmake --build build-fuzz -j "$(nproc)" --target aik_config_fuzz aik_description_fuzz aik_value_text_fuzz
}

if [ "${1:-}" = "--build" ]; then
    build
    exit 0
fi
seconds=${1:-60}
build
# Each fuzzer keeps its own wall-clock bound, so running them side by side gives each
# its full time while the three share the machine.
pids=()
for target in "${targets[@]}"; do
    corpus=build-fuzz/corpus/$target
    mkdir -p "$corpus"
    dict=()
    [ -f "fuzz/$target.dict" ] && dict=(-dict="fuzz/$target.dict")
    build-fuzz/bin/aik_${target}_fuzz -max_total_time="$seconds" -timeout=1 -report_slow_units=1 \
        -artifact_prefix=build-fuzz/"$target"- "${dict[@]}" "$corpus" "fuzz/${target}_seeds" \
        > "build-fuzz/$target.log" 2>&1 &
    pids+=($!)
done
failed=0
for i in "${!targets[@]}"; do
    target=${targets[$i]}
    status=0
    wait "${pids[$i]}" || status=$?
    if [ "$status" -ne 0 ]; then
        tail -40 "build-fuzz/$target.log" >&2
        echo "fuzz: $target found a fault (exit $status); the input is in build-fuzz/" >&2
        failed=1
        continue
    fi
    echo "fuzz $target: $(grep -E '^Done [0-9]+ runs' "build-fuzz/$target.log" | tail -1), corpus $(ls "build-fuzz/corpus/$target" | wc -l) inputs"
done
exit "$failed"
