#!/usr/bin/env bash
# The main job: set everything up, build, show the built-in simulated cameras through
# the module as a host sees them, and grab a few images from each into PNG files.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh default
unset QUORVEX_SIM_CONFIG
build/bin/aikhost channels
echo
build/bin/aikhost grab --all --count 5 --out out/grab
