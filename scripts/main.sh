#!/usr/bin/env bash
# The main job: set everything up, build, and show off a session on the built-in
# simulated cameras: list them, set features, grab with statistics into PNG files
# and save the settings (scripts/session.aik), then grab from the colour camera.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh default
unset QUORVEX_SIM_CONFIG
build/bin/aikhost shell scripts/session.aik
echo
build/bin/aikhost -c 1 --set AcquisitionFrameRate=5 grab -n 3 -o out/grab/colour_%04d.png --overwrite
