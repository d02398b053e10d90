#!/usr/bin/env bash
# Fuzzes the configuration reader, the simulator's description reader and the reading
# of numbers in value texts, each for a bounded time (seconds, default 60), in a clang
# build of its own, build-fuzz, with AddressSanitizer and UBSan. A crash, a leak or an
# input that takes more than a second is a finding and fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
scripts/setup.sh --fuzz
cmake -S . -B build-fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DAIK_BUILD_FUZZ=ON -DAIK_BUILD_TESTS=OFF -DAIK_SANITIZE=ON >/dev/null
targets=(config description value_text)
cmake --build build-fuzz -j "$(nproc)" --target aik_config_fuzz aik_description_fuzz aik_value_text_fuzz
for target in "${targets[@]}"; do
    corpus=build-fuzz/corpus/$target
    log=build-fuzz/$target.log
    mkdir -p "$corpus"
    dict=()
    [ -f "fuzz/$target.dict" ] && dict=(-dict="fuzz/$target.dict")
    status=0
    build-fuzz/bin/aik_${target}_fuzz -max_total_time="$seconds" -timeout=1 -report_slow_units=1 \
        -artifact_prefix=build-fuzz/ "${dict[@]}" "$corpus" "fuzz/${target}_seeds" > "$log" 2>&1 || status=$?
    if [ "$status" -ne 0 ]; then
        tail -40 "$log" >&2
        echo "fuzz: $target found a fault (exit $status); the input is in build-fuzz/" >&2
        exit 1
    fi
    echo "fuzz $target: $(grep -E '^Done [0-9]+ runs' "$log" | tail -1), corpus $(ls "$corpus" | wc -l) inputs"
done
