#!/usr/bin/env bash
# Fuzzes the configuration reader for a bounded time (seconds, default 60) in a
# clang build of its own, build-fuzz, with AddressSanitizer and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
scripts/setup.sh --fuzz
cmake -S . -B build-fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DAIK_BUILD_FUZZ=ON -DAIK_BUILD_TESTS=OFF -DAIK_SANITIZE=ON >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target aik_config_fuzz
corpus=build-fuzz/corpus/config
mkdir -p "$corpus"
build-fuzz/bin/aik_config_fuzz -max_total_time="$seconds" -dict=fuzz/config.dict -artifact_prefix=build-fuzz/ \
    "$corpus" fuzz/config_seeds
