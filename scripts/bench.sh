#!/usr/bin/env bash
# Builds the benchmarks (with OpenCV for the plane comparison), runs each once and
# writes bench/REPORT.md: every figure beside its reference from the same run. The
# loopback GigE Vision benchmark over Aravis runs too where the emulator starts, and
# the live view's where aikhost has it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --bench
scripts/build.sh bench
results=build-bench/results
rm -rf "$results" && mkdir -p "$results"
for program in planes image_delivery wake_up log_line feature; do
    echo "bench: $program"
    build-bench/bin/aik_${program}_bench --benchmark_format=console \
        --benchmark_out="$results/$program.json" --benchmark_out_format=json > "$results/$program.txt" 2>&1
done
extra=()
if [ -x build-bench/bin/aik_aravis_stream_bench ]; then
    echo "bench: aravis_stream"
    if build-bench/bin/aik_aravis_stream_bench 10 100 > "$results/aravis.txt" 2> "$results/aravis.log"; then
        { echo "## Loopback GigE Vision over Aravis, beside arv-camera-test-0.8"; echo; cat "$results/aravis.txt"; } \
            > "$results/aravis.md"
        extra=("$results/aravis.md")
    fi
fi
if [ -x build-bench/bin/aik_view_bench ]; then
    echo "bench: view"
    if build-bench/bin/aik_view_bench 10 > "$results/view.txt" 2> "$results/view.log"; then
        { echo "## Live view (aikhost view), 1280x1024 Mono8 at 100 images/s"; echo
          echo "The run without a client is the CPU of the module and the simulator streaming"
          echo "1280x1024 Mono8 at 100 images/s to a polling host, the host's copies included."
          echo; cat "$results/view.txt"; } \
            > "$results/view.md"
        extra+=("$results/view.md")
    fi
fi
if [ -x build-bench/bin/aik_record_bench ]; then
    echo "bench: record"
    if build-bench/bin/aik_record_bench build-bench/bin/aikhost build-bench/record-disk 5 \
        > "$results/record.txt" 2> "$results/record.log"; then
        { echo "## aikhost record"; echo; cat "$results/record.txt"; } > "$results/record.md"
        extra+=("$results/record.md")
    fi
fi
/usr/bin/python3 scripts/bench_report.py "$results" bench/REPORT.md "${extra[@]}"
