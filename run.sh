#!/usr/bin/env bash
# Installs what the program needs, builds it, sets up the demo pharmacy and starts the program.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps.sh
bash scripts/build.sh velix6
export KORVANTE_DIR="${KORVANTE_DIR:-$PWD/build/demo}"
bash tools/demo-setup.sh "$KORVANTE_DIR" build
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display here: start it under a virtual one with  xvfb-run -a ./run.sh"
  exit 0
fi
exec build/velix6
