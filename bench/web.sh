#!/usr/bin/env bash
# The page in headless Chromium, medians of repeated runs:
#   web rerender-1024 MS  one option changed on a 1024 x 1024 picture dithered to 128 x 64
#                         for the ssd1306: converted, preview and text shown
#   web rerender-1024-colour MS  the same picture dithered to 240 x 240 for the st7789
#   web ready MS          from opening index.html?sample=logo_128x64&target=ssd1306 from
#                         file:// to its conversion shown
#   web size KB           the engine's wasm and every script of the page and its worker,
#                         without the gzipped base64 that carries the wasm inside the
#                         worker's script, nor the samples
#   bash bench/web.sh [BUILD_WEB_DIR]   (build-web; made by scripts/web.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
DOTLANE_WEB_DIR=$(realpath "${1:-build-web}") node bench/web.mjs
