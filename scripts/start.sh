#!/usr/bin/env bash
# Sets everything up, builds Dotlane and starts its window. Where no display is reachable,
# it shows dotlane-cli listing the bundled sample instead, and says how to start the window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh build

display_reachable() {
  [ -n "${WAYLAND_DISPLAY:-}" ] && return 0
  [ -n "${DISPLAY:-}" ] || return 1
  # A local X display (":0") answers on its socket; a remote one is taken on trust.
  case $DISPLAY in
    :*)
      local number=${DISPLAY#:}
      [ -S "/tmp/.X11-unix/X${number%%.*}" ]
      ;;
    *) return 0 ;;
  esac
}

if display_reachable; then
  exec build/src/dotlane
fi

sample=samples/logo_128x64.bmp
show() {
  echo
  echo "\$ dotlane-cli $*"
  build/src/dotlane-cli "$@"
}
echo "No graphical display is reachable (DISPLAY is not set or does not answer), so here is"
echo "dotlane-cli, the window's engine without a window, listing the sample $sample."
show t6963c "$sample"
show sed1565 "$sample"
echo
show convert --layout pages-lsb --c-array logo "$sample"
echo
echo "The command line is build/src/dotlane-cli (--help lists its commands and layouts)."
echo "To start the window, run this from a desktop session, or under Xvfb:"
echo "  xvfb-run bash scripts/start.sh"
