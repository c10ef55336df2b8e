#!/usr/bin/env bash
# What the page's build and tests need beyond scripts/setup.sh: Debian's Emscripten and
# Chromium, Node with npm, and the npm packages of package-lock.json.
set -euo pipefail
cd "$(dirname "$0")/.."
packages=(emscripten chromium nodejs)
# Another Node build on the path brings its own npm.
command -v npm >/dev/null || packages+=(npm)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
if [ ! -d node_modules ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
  npm ci --no-audit --no-fund --ignore-scripts >/dev/null
fi
