#!/usr/bin/env bash
# Redraws the README's preview pictures with the dotlane-cli of a build folder:
#   bash docs/previews/make_previews.sh [BUILD]      (default: build)
# One sample a target, each at a scale that keeps the picture small.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cli=$(cd "${1:-$root/build}" && pwd)/src/dotlane-cli
cd "$root/samples"
while read -r target scale file options; do
    "$cli" convert --target "$target" $options --preview "$root/docs/previews/$target.png" \
        --preview-scale "$scale" -o /dev/null "$file"
done <<'TABLE'
ssd1306 2 logo_128x64.bmp
sh1106 4 white_first_64x24.bmp
st7565 2 logo_128x64.bmp
sed1565 4 white_first_64x24.bmp
pcd8544 8 icon_17x13.bmp
ks0108 4 badge_32x16.gif
t6963c 2 screen_240x128.bmp
adafruit-gfx 4 gradient_48x16.png
adafruit-xbitmap 6 drawing.rgba.png
u8g2 4 icon_17x13.bmp
micropython-framebuf-vlsb 8 example_3x9.bmp
micropython-framebuf-hlsb 4 badge_32x16.gif --threshold 65
micropython-framebuf-hmsb 4 gradient_48x16.png --threshold 201
TABLE
