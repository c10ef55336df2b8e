#!/usr/bin/env bash
# scripts/start.sh where no display is reachable: it lists the bundled sample with
# dotlane-cli, exactly as the expected listings say, and tells how to start the window.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(mktemp)
trap 'rm -f "$out"' EXIT
env -u DISPLAY -u WAYLAND_DISPLAY bash "$root/scripts/start.sh" >"$out"
expected=$root/samples/expected
/usr/bin/python3 - "$out" "$expected/logo_128x64.t6963c.txt" "$expected/logo_128x64.sed1565.txt" \
  "$expected/logo_128x64.pages-lsb.h" <<'PY'
import sys
shown = open(sys.argv[1], "rb").read()
missing = [f for f in sys.argv[2:] if open(f, "rb").read() not in shown]
if missing or b"xvfb-run bash scripts/start.sh" not in shown:
    sys.exit("start.sh did not show %s" % (missing or "how to start the window"))
PY
echo "start.sh without a display: the sample's three listings and how to start the window"
