#!/usr/bin/env python3
"""Mutation check of the module's tests: changes one operator, one constant or removes
one call at a time in the module's sources, rebuilds, runs the suite and counts the
mutants it kills. The mutant set is a fixed sample (by seed), so two runs on
different tests compare the same mutants.

usage: mutate.py BUILD_DIR [--count N] [--seed S] [--jobs J] [--list]"""
import argparse
import pathlib
import random
import re
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
FOLDERS = ("adapter", "channel", "camera", "features", "acquisition", "diag")
OPERATORS = [("==", "!="), ("!=", "=="), ("<=", "<"), (">=", ">"), (" < ", " <= "), (" > ", " >= "),
             ("&&", "||"), ("||", "&&"), (" + ", " - "), (" - ", " + ")]
SKIP = re.compile(r'^\s*(#|//|static_assert|\*|/\*)|AIK_LOG|AIK_TRACE|"[^"]*$')
CALL = re.compile(r"^(\s+)(?:\w+::)*[A-Za-z_]\w*\([^;{}]*\);\s*$")
NUMBER = re.compile(r"(?<![\w.])(\d+)(?![\w.x])")


def candidates():
    found = []
    for folder in FOLDERS:
        for path in sorted((ROOT / folder).glob("*.cpp")):
            lines = path.read_text(encoding="utf-8").split("\n")
            for number, line in enumerate(lines):
                if SKIP.search(line):
                    continue
                code = line.split("//")[0]
                for old, new in OPERATORS:
                    start = code.find(old)
                    if start >= 0 and "<<" not in code and ">>" not in code and "->" not in code[start:start + 3]:
                        found.append((path, number, line[:start] + new + line[start + len(old):], f"{old.strip()} -> {new.strip()}"))
                for match in NUMBER.finditer(code):
                    value = int(match.group(1))
                    found.append((path, number, line[:match.start()] + str(value + 1) + line[match.end():],
                                  f"{value} -> {value + 1}"))
                    break
                call = CALL.match(line)
                if call and not line.strip().startswith(("return", "delete")):
                    found.append((path, number, call.group(1) + "(void)0;", "call removed"))
    return found


def run(command, timeout):
    try:
        return subprocess.run(command, cwd=ROOT, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return -1


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--count", type=int, default=60)
    parser.add_argument("--seed", type=int, default=12)
    parser.add_argument("--list", action="store_true")
    # The suite holds at several tests a core, so a run may oversubscribe the machine.
    parser.add_argument("--jobs", type=int, default=2)
    args = parser.parse_args()
    pool = candidates()
    sample = sorted(random.Random(args.seed).sample(pool, min(args.count, len(pool))),
                    key=lambda c: (str(c[0]), c[1]))
    if args.list:
        for path, number, _, what in sample:
            print(f"{path.relative_to(ROOT)}:{number + 1}: {what}")
        return 0
    build = ["cmake", "--build", args.build, "-j2"]
    test = ["ctest", "--test-dir", args.build, f"-j{args.jobs}", "--timeout", "60", "--stop-on-failure"]
    if run(build, 900) != 0 or run(test, 600) != 0:
        print("mutate: the unchanged tree does not build or pass its tests", file=sys.stderr)
        return 2
    killed = survived = unviable = 0
    started = time.time()
    for path, number, mutated, what in sample:
        original = path.read_text(encoding="utf-8")
        lines = original.split("\n")
        lines[number] = mutated
        path.write_text("\n".join(lines), encoding="utf-8")
        try:
            if run(build, 600) != 0:
                unviable += 1
                verdict = "does not build"
            elif run(test, 300) != 0:
                killed += 1
                verdict = "killed"
            else:
                survived += 1
                verdict = "SURVIVED"
        finally:
            path.write_text(original, encoding="utf-8")
        print(f"{verdict:15} {path.relative_to(ROOT)}:{number + 1}: {what}", flush=True)
    run(build, 900)
    viable = killed + survived
    print(f"mutants: {len(sample)}, viable {viable}, killed {killed}, survived {survived}, "
          f"not building {unviable}, {time.time() - started:.0f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
