#!/usr/bin/env bash
# Whole-process timings of dotlane-cli against a floor and against peers, each pair measured
# in the same run once both have printed the same bytes (or bits):
#   - bench/floor.c, a minimal C program printing the same T6963C and SED1565 listings of a
#     496 x 496 picture: how far dotlane-cli is from what the machine allows;
#   - bench/reference.py, plain Python with Pillow, for the same listings;
#   - ImageMagick's "convert in.png -threshold 50% xbm:-" against
#     "dotlane-cli convert --layout rows-lsb --c-array" on 1024 x 1024 and 4096 x 4096 PNGs;
#   - the preparation: a 1024 x 1024 PNG to a Floyd-Steinberg dithered 128 x 64 ssd1306
#     array against the plain threshold convert of the same file (no peer: what the
#     preparation adds), and the peak memory of both for a 4096 x 4096 PNG;
#   - colour: a 1024 x 1024 colour PNG to RGB565 and to Floyd-Steinberg 4-bit grey against
#     its plain one-bit convert, to raw RGB888 against ImageMagick's "rgb:-", and the peak
#     memory of a 4096 x 4096 one in the colour targets and a bare listing.
#
#   bash bench/compare.sh [BUILD_DIR]           check, then time (BUILD_DIR: build)
#   bash bench/compare.sh --check [BUILD_DIR]   only check that the outputs agree
#
# Prints medians, peak memory, and a line per pair: "ratio dotlane-over-floor COMMAND N"
# (ours over the floor's, lower is better, 1 is the floor) or "ratio PEER-over-dotlane
# COMMAND N" (the peer's median over ours, higher is better); "ratio dithered-over-plain"
# is the prepared conversion's median over the plain one's (lower is better), and
# "ratio LAYOUT-over-one-bit" a colour conversion's over the one-bit one's.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
check_only=false
if [ "${1:-}" = "--check" ]; then
  check_only=true
  shift
fi
cli=${1:-$root/build}/src/dotlane-cli
py=/usr/bin/python3
magick=/usr/bin/convert # /usr/local/bin may hold a stand-in of that name
reference=$root/bench/reference.py
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
picture=$tmp/rings_496x496.bmp
"$py" "$root/samples/make_samples.py" --bench-picture "$picture"
cc -O2 -o "$tmp/floor" "$root/bench/floor.c"

same() { # same WHAT FILE1 FILE2
  cmp -s "$2" "$3" || { echo "compare: $1 differ" >&2; exit 1; }
}
for command in sed1565 t6963c; do
  "$cli" $command "$picture" >"$tmp/cli.txt"
  "$tmp/floor" $command "$picture" >"$tmp/floor.txt"
  same "dotlane-cli and the floor program on $command" "$tmp/cli.txt" "$tmp/floor.txt"
  for flag in "" --invert-colors; do
    "$cli" $command $flag "$picture" >"$tmp/cli.txt"
    "$py" "$reference" $command $flag "$picture" >"$tmp/reference.txt"
    same "dotlane-cli and the reference on $command $flag" "$tmp/cli.txt" "$tmp/reference.txt"
  done
done
echo "compare: dotlane-cli, the floor program and the reference print the same listings"

# Grey drawings: rings and a gradient, so that the threshold cuts through every shade.
sides=(1024 4096)
"$py" - "$tmp" "${sides[@]}" <<'PY'
import sys
from PIL import Image, ImageDraw
for side in map(int, sys.argv[2:]):
    im = Image.linear_gradient("L").resize((side, side))
    draw = ImageDraw.Draw(im)
    for r in range(side // 16, side // 2, side // 16):
        draw.ellipse([side // 2 - r, side // 2 - r, side // 2 + r, side // 2 + r], outline=255 - r % 256, width=side // 64)
    im.save("%s/drawing_%d.png" % (sys.argv[1], side))
PY
bits() { grep -o '0x[0-9a-fA-F][0-9a-fA-F]' | tr a-f A-F; }
if [ -x "$magick" ]; then
  for side in "${sides[@]}"; do
    png=$tmp/drawing_$side.png
    "$cli" convert --layout rows-lsb --c-array drawing "$png" | bits >"$tmp/ours.bits"
    "$magick" "$png" -threshold 50% xbm:- | bits >"$tmp/magick.bits"
    same "dotlane-cli and ImageMagick bits of the $side x $side drawing" "$tmp/ours.bits" "$tmp/magick.bits"
  done
  echo "compare: dotlane-cli and ImageMagick set the same bits"
fi
$check_only && exit 0

median_ms() { # median_ms NAME COMMAND...: the median wall time of the whole process
  local name=$1
  shift
  hyperfine -N --warmup 3 --min-runs "${runs:-30}" --export-json "$tmp/$name.json" "$*" >/dev/null 2>&1
  "$py" -c 'import json,sys; print("%.2f" % (1000 * json.load(open(sys.argv[1]))["results"][0]["median"]))' "$tmp/$name.json"
}
peak_mb() { # the peak resident memory of one run, in MB
  /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1 | awk '{printf "%.1f", $1 / 1024}'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }

echo "496 x 496 picture, median wall time of the whole process:"
for command in sed1565 t6963c; do
  ours=$(median_ms "cli-$command" "$cli" $command "$picture")
  floor=$(median_ms "floor-$command" "$tmp/floor" $command "$picture")
  theirs=$(median_ms "reference-$command" "$py" "$reference" $command "$picture")
  echo "  $command: dotlane-cli $ours ms ($(peak_mb "$cli" $command "$picture") MB), floor $floor ms, Python + Pillow $theirs ms"
  echo "ratio dotlane-over-floor $command $(ratio "$ours" "$floor")"
  echo "ratio reference-over-dotlane $command $(ratio "$theirs" "$ours")"
done
if [ -x "$magick" ]; then
  for side in "${sides[@]}"; do
    png=$tmp/drawing_$side.png
    runs=10
    ours=$(median_ms "cli-$side" "$cli" convert --layout rows-lsb --c-array drawing "$png")
    theirs=$(median_ms "magick-$side" "$magick" "$png" -threshold 50% xbm:-)
    echo "  $side x $side PNG to XBM-order bits: dotlane-cli $ours ms ($(peak_mb "$cli" convert --layout rows-lsb --c-array drawing "$png") MB), ImageMagick $theirs ms ($(peak_mb "$magick" "$png" -threshold 50% xbm:-) MB)"
    echo "ratio imagemagick-over-dotlane convert-$side $(ratio "$theirs" "$ours")"
  done
fi

prepared=(--target ssd1306 --size 128x64 --dither floyd-steinberg --name drawing)
echo "Preparation, median wall time of the whole process and peak memory:"
for side in "${sides[@]}"; do
  png=$tmp/drawing_$side.png
  runs=$([ "$side" = 1024 ] && echo 30 || echo 10)
  plain=$(median_ms "plain-$side" "$cli" convert --layout pages-lsb --c-array drawing "$png")
  dithered=$(median_ms "dithered-$side" "$cli" convert "${prepared[@]}" "$png")
  echo "  $side x $side PNG: plain threshold $plain ms ($(peak_mb "$cli" convert --layout pages-lsb --c-array drawing "$png") MB), dithered to 128 x 64 $dithered ms ($(peak_mb "$cli" convert "${prepared[@]}" "$png") MB)"
  echo "ratio dithered-over-plain convert-$side $(ratio "$dithered" "$plain")"
done

# A colour drawing: hue across, brightness down, a little noise so it does not compress away.
"$py" - "$tmp" "${sides[@]}" <<'PY'
import random, sys
from PIL import Image
random.seed(7)
for side in map(int, sys.argv[2:]):
    hue = Image.linear_gradient("L").rotate(90).resize((side, side))
    im = Image.merge("HSV", (hue, Image.new("L", (side, side), 220), Image.linear_gradient("L").resize((side, side))))
    noise = Image.frombytes("L", (side, side), bytes(random.randrange(24) for _ in range(side * side)))
    Image.merge("RGB", [Image.blend(c, noise, 0.1) for c in im.convert("RGB").split()]).save("%s/colour_%d.png" % (sys.argv[1], side))
PY
colour=$tmp/colour_1024.png
if [ -x "$magick" ]; then
  "$cli" convert --layout rgb888 --style bin -o "$tmp/ours.rgb" "$colour"
  "$magick" "$colour" -depth 8 rgb:- >"$tmp/magick.rgb"
  same "dotlane-cli's and ImageMagick's RGB888 of the colour drawing" "$tmp/ours.rgb" "$tmp/magick.rgb"
fi
echo "Colour, 1024 x 1024 PNG, median wall time of the whole process:"
runs=30
one_bit=$(median_ms colour-one-bit "$cli" convert --layout pages-lsb --c-array drawing "$colour")
# The C text of RGB565 is 16 times the one-bit text (13 MB): the raw bytes show the
# conversion without the writing of it.
for run in "rgb565-c:rgb565 --c-array drawing" "rgb565-bin:rgb565 --style bin" \
  "grey4-fs-c:grey4-msb --dither floyd-steinberg --c-array drawing"; do
  name=${run%%:*} options=${run#*:}
  ours=$(median_ms "colour-$name" "$cli" convert --layout $options "$colour")
  echo "  --layout $options: $ours ms, one bit $one_bit ms"
  echo "ratio $name-over-one-bit convert-1024 $(ratio "$ours" "$one_bit")"
done
if [ -x "$magick" ]; then
  ours=$(median_ms colour-rgb888 "$cli" convert --layout rgb888 --style bin -o "$tmp/ours.rgb" "$colour")
  theirs=$(median_ms magick-rgb888 "$magick" "$colour" -depth 8 rgb:"$tmp/magick.rgb")
  echo "  raw RGB888: dotlane-cli $ours ms, ImageMagick $theirs ms"
  echo "ratio imagemagick-over-dotlane rgb888-1024 $(ratio "$theirs" "$ours")"
fi
echo "Colour, 4096 x 4096 PNG, peak memory:"
for options in "--target st7789" "--target lvgl9-argb8888" "--target uc81xx-4grey --dither floyd-steinberg" \
  "--layout rgb565 --style hex" "--layout bgra8888 --style bin"; do
  echo "  $options: $(peak_mb "$cli" convert $options -o "$tmp/out" "$tmp/colour_4096.png") MB"
done
