#!/usr/bin/env python3
"""Checks the include graph of the whole tree: the module's folders include only the same
or a lower layer; the camera libraries, their base and the host reach only what they
may; no unit (a header with the source beside it) reaches itself again through its
includes; operating-system conditionals stand only where the build cannot choose a
source file instead. Prints every offence and exits 1 when there is one."""
import pathlib
import re
import sys

# The module, lowest layer first. A unit is a path without its extension.
MODULE_LAYERS = [
    ("platform", ["platform/"]),
    ("diag", ["diag/"]),
    ("camera", ["camera/"]),
    ("channel", ["channel/"]),
    ("slots", ["features/", "acquisition/"]),
    ("adapter", ["adapter/"]),
]
MODULE = tuple(p for _, prefixes in MODULE_LAYERS for p in prefixes)
LIBRARY_HEADER = "camera/quorvex_api.h"
RECORD_HEADER = "channel/video_channel.h"
# What a folder outside the module may include besides itself. Tests, benchmarks and
# fuzz targets stand outside every layer: they reach what they check.
REACH = {
    "camlib/": (LIBRARY_HEADER, "platform/"),
    # The recording container stands below the host (which writes and exports
    # recordings) and the simulator (which replays them), and reaches nothing of ours.
    "recording/": (),
    "sim/": (LIBRARY_HEADER, "camlib/", "recording/"),
    "aravis/": (LIBRARY_HEADER, "camlib/"),
    # The host meets the module through its loader and the record alone; the base's
    # header-only pixel formats and frame stamps read the images it receives.
    "host/": (RECORD_HEADER, "camlib/pixel_format.h", "camlib/pixel_encoding.h", "camlib/frame_stamp.h",
              "recording/"),
}
OUTSIDE = ("tests/", "bench/", "fuzz/")
FOLDERS = tuple(f.rstrip("/") for f in MODULE + tuple(REACH) + OUTSIDE)
# Where #if on the operating system may stand: the platform layer, the base's event
# signalling and the two C headers that hosts and libraries compile on either system.
OS_CONDITIONAL_ALLOWED = ("platform/", "camlib/event_signal.cpp", LIBRARY_HEADER, RECORD_HEADER)
OS_CONDITIONAL = re.compile(r"^\s*#\s*(if|elif|ifdef|ifndef)\b.*\b(_WIN32|_WIN64|_MSC_VER|__MINGW\w*|__linux__|__unix__|__APPLE__)\b",
                            re.M)
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
SOURCE_SUFFIXES = (".h", ".hpp", ".c", ".cpp")


def module_rank(unit):
    for rank, (_, prefixes) in enumerate(MODULE_LAYERS):
        if unit.startswith(tuple(prefixes)):
            return rank
    return None


def include_problem(rel, unit, target):
    """Why rel may not include target, or None."""
    other = target.rsplit(".", 1)[0]
    rank = module_rank(unit)
    if rank is not None:
        other_rank = module_rank(other)
        if other_rank is None:
            return f"{rel}: includes {target}, outside the module"
        if other_rank > rank:
            return (f"{rel}: includes {target}, a higher layer "
                    f"({MODULE_LAYERS[other_rank][0]} above {MODULE_LAYERS[rank][0]})")
        return None
    for folder, reach in REACH.items():
        if unit.startswith(folder):
            if target.startswith(folder) or target.startswith(reach):
                return None
            return f"{rel}: includes {target}, which {folder} may not reach"
    return None


def check_os_conditionals(rel, text, problems):
    if rel.startswith(OUTSIDE) or rel.startswith(OS_CONDITIONAL_ALLOWED):
        return
    for match in OS_CONDITIONAL.finditer(text):
        line = text.count("\n", 0, match.start()) + 1
        problems.append(f"{rel}:{line}: an operating-system conditional outside the platform seam")


def find_cycles(edges, problems):
    state = {}

    def visit(unit, trail):
        state[unit] = "open"
        for other in sorted(edges.get(unit, ())):
            if state.get(other) == "open":
                cycle = trail[trail.index(other):] + [other]
                problems.append("include cycle: " + " -> ".join(cycle))
            elif other not in state:
                visit(other, trail + [other])
        state[unit] = "done"

    for unit in sorted(edges):
        if unit not in state:
            visit(unit, [unit])


def main(root):
    root = pathlib.Path(root)
    edges = {}
    problems = []
    files = 0
    for folder in FOLDERS:
        for path in sorted((root / folder).rglob("*")):
            if path.suffix not in SOURCE_SUFFIXES:
                continue
            files += 1
            rel = path.relative_to(root).as_posix()
            unit = rel.rsplit(".", 1)[0]
            text = path.read_text(encoding="utf-8")
            check_os_conditionals(rel, text, problems)
            for target in INCLUDE.findall(text):
                if not target.startswith(tuple(f + "/" for f in FOLDERS)):
                    continue
                other = target.rsplit(".", 1)[0]
                if other == unit:
                    continue
                edges.setdefault(unit, set()).add(other)
                problem = include_problem(rel, unit, target)
                if problem:
                    problems.append(problem)
    find_cycles(edges, problems)
    for problem in problems:
        print(problem)
    print(f"{files} files, {len(edges)} including units checked, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "."))
