#!/usr/bin/env bash
# Sets everything up, builds Dotlane and starts its window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh build
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No graphical display is reachable (DISPLAY is not set), so the window cannot open."
  echo "Run this command from a desktop session, or under Xvfb: xvfb-run bash scripts/start.sh"
  exit 1
fi
exec build/src/dotlane
