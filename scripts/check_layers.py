#!/usr/bin/env python3
"""Checks the module's include graph: every include goes to the same or a lower
layer, and no unit (a header with the source beside it) reaches itself again through
its includes. Prints the offending includes or cycle and exits 1."""
import pathlib
import re
import sys

# Lowest first. A unit is a path without its extension.
LAYERS = [
    ("platform", ["platform/"]),
    ("diag", ["diag/"]),
    ("camera", ["camera/"]),
    ("adapter bottom", ["adapter/registry", "adapter/slot_guard", "adapter/video_channel"]),
    ("slots", ["features/", "acquisition/"]),
    ("adapter top", ["adapter/entry_point", "adapter/adapter_lifecycle"]),
]
FOLDERS = ("platform", "diag", "camera", "adapter", "features", "acquisition")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def layer_of(unit):
    for rank, (_, prefixes) in enumerate(LAYERS):
        if any(unit.startswith(p) for p in prefixes):
            return rank
    return None


def main(root):
    root = pathlib.Path(root)
    edges = {}
    problems = []
    for folder in FOLDERS:
        for path in sorted((root / folder).rglob("*")):
            if path.suffix not in (".h", ".cpp"):
                continue
            rel = path.relative_to(root).as_posix()
            unit = rel.rsplit(".", 1)[0]
            rank = layer_of(unit)
            if rank is None:
                problems.append(f"{rel}: in no layer")
                continue
            for target in INCLUDE.findall(path.read_text(encoding="utf-8")):
                if not target.startswith(tuple(f + "/" for f in FOLDERS)):
                    continue
                other = target.rsplit(".", 1)[0]
                if other == unit:
                    continue
                edges.setdefault(unit, set()).add(other)
                other_rank = layer_of(other)
                if other_rank is not None and other_rank > rank:
                    problems.append(f"{rel}: includes {target}, a higher layer "
                                    f"({LAYERS[other_rank][0]} above {LAYERS[rank][0]})")
    # Depth-first search for a cycle among units.
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
    for problem in problems:
        print(problem)
    print(f"{len(edges)} units checked, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "."))
