#!/usr/bin/env bash
# Runs two command lines at the same time, each with its output kept whole, and fails
# when either fails: work that waits beside work that computes.
set -uo pipefail
first=$(mktemp) second=$(mktemp)
trap 'rm -f "$first" "$second"' EXIT
bash -c "$1" > "$first" 2>&1 &
pid=$!
bash -c "$2" > "$second" 2>&1
status=$?
wait "$pid" || status=$((status == 0 ? 1 : status))
cat "$first" "$second"
exit "$status"
