#!/usr/bin/env python3
"""Writes bench/REPORT.md from the Google Benchmark JSON files of one run: each figure
beside its reference measured in the same run, as a ratio, with the machine and date.

usage: bench_report.py RESULTS_DIR REPORT [EXTRA_SECTION_FILE ...]"""
import datetime
import json
import os
import pathlib
import re
import subprocess
import sys


def load(results):
    runs = {}
    for path in sorted(pathlib.Path(results).glob("*.json")):
        for bench in json.loads(path.read_text()).get("benchmarks", []):
            if bench.get("run_type") == "aggregate" and bench.get("aggregate_name") != "median":
                continue
            # Google Benchmark's run options are not part of what was measured.
            name = re.sub(r"_median$|/(iterations|repeats):\d+|/manual_time", "", bench["name"])
            runs[name] = bench
    return runs


def micro(bench, key="p50_us"):
    if key in bench:
        return bench[key]
    scale = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}[bench.get("time_unit", "ns")]
    return bench["real_time"] * scale


def cpu_model():
    try:
        for line in subprocess.run(["lscpu"], capture_output=True, text=True).stdout.splitlines():
            if line.startswith("Model name:"):
                return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return "unknown CPU"


def rows(runs):
    out = []

    def pair(what, name, reference, key="p50_us", goal=""):
        if name in runs and reference in runs:
            a, b = micro(runs[name], key), micro(runs[reference], key)
            out.append(f"| {what} | {a:.2f} µs | {b:.2f} µs | {a / b:.2f}× | {goal} |")

    for name in sorted(n for n in runs if n.startswith("BM_GetImage/")):
        image = name.split("/", 1)[1]
        pair(f"GetImage {image} vs hot memcpy", name, f"BM_MemcpyHot/{image}", goal="≤ 1/0.95")
        if "copy_p50_us" in runs[name]:
            out.append(f"| GetImage {image} vs the library's copy of the image its thread just wrote | {micro(runs[name]):.2f} µs | "
                       f"{runs[name]['copy_p50_us']:.2f} µs | {1 / runs[name]['vs_copy']:.2f}× | ≤ 1.03× |")
    for name in sorted(n for n in runs if n.startswith("BM_ConvertToPlanes/")):
        key = name.split("/", 1)[1]
        pair(f"planes {key} vs OpenCV, 1 thread", name, f"BM_OpenCv/{key}", goal="≤ 1/3 (Bayer)")
        pair(f"planes {key} vs the copy floor", name, f"BM_MemcpyFloor/{key}", goal="≤ 1.5× Bayer, 1.1× RGB8")
    for key, goal in (("p50_us", "≤ 2×"), ("p99_us", "p99 < 100 µs")):
        pair(f"frame event → WaitForIntegration, {key[:3]}", "BM_WakeUp_WaitForIntegration",
             "BM_WakeUp_BareEventfd", key, goal)
    if "CallSlot/SlotWithLoggingOff" in runs and "CallSlot/EmptySlot" in runs:
        a, b = micro(runs["CallSlot/SlotWithLoggingOff"]) * 1e3, micro(runs["CallSlot/EmptySlot"]) * 1e3
        out.append(f"| slot with logging off vs empty call | {a:.2f} ns | {b:.2f} ns | {a - b:+.2f} ns | ≤ +5 ns |")
    if "MemoryLine" in runs:
        out.append(f"| MEMORY log line | {micro(runs['MemoryLine']) * 1e3:.0f} ns | | | < 300 ns |")
    pair("FILE log line vs bare open/append/close", "FileLine", "BareFileAppend", goal="≤ 1.5×")
    return out


def main():
    results, report = sys.argv[1], pathlib.Path(sys.argv[2])
    lines = ["# Benchmark report", "",
             f"One run of `scripts/bench.sh` on {cpu_model()}, {os.cpu_count()} cores, "
             f"{datetime.date.today().isoformat()}. Times are medians (p99 where named) of single "
             "calls; each figure stands beside its reference measured in the same run, and the "
             "ratio is figure / reference.", "",
             "| figure | time | reference | ratio | goal |", "|---|---|---|---|---|"]
    lines += rows(load(results)) or ["| (no results) | | | | |"]
    for extra in sys.argv[3:]:
        text = pathlib.Path(extra).read_text().strip()
        if text:
            lines += ["", text]
    report.write_text("\n".join(lines) + "\n", encoding="utf-8")
    print(f"bench: wrote {report}")


if __name__ == "__main__":
    main()
