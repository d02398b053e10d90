#!/usr/bin/env bash
# The main job: set everything up, build, and show the built-in simulated cameras
# through the module as a host sees them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh default
unset QUORVEX_SIM_CONFIG
build/bin/aikhost channels
