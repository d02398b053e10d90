#!/usr/bin/env bash
# Mutation check of the module's tests in a build of its own (build-mutate): one
# operator, constant or removed call at a time, the suite run against each.
# Arguments go to scripts/mutate.py (--count N, --seed S, --jobs J, --list).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-mutate -DCMAKE_BUILD_TYPE=Release >/dev/null
exec /usr/bin/python3 scripts/mutate.py build-mutate "$@"
