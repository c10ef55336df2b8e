#!/usr/bin/env bash
# Whole-process timings and peak memory of the font command, against its budget:
#   - the 95 ASCII glyphs of DejaVu Sans at 16 px as a GFXfont: under 25 ms;
#   - every glyph of DejaVu Sans it maps below U+10000 at 16 px as MicroPython: under 1 s;
#   - the peak memory of the larger run: under 32 MB.
#
#   bash bench/font_bench.sh [BUILD_DIR]   (BUILD_DIR: build)
#
# Prints the medians and the peak, and "over budget" for each figure past its budget (the
# exit status is then 1). Not a test: timings depend on the machine and its load.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${1:-build}/src/dotlane-cli
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

ascii=("$cli" font --target adafruit-gfx --size 16 -o "$tmp/ascii.h" "$font")
every=("$cli" font --target micropython --size 16 --chars 0-0xFFFF --missing skip
       -o "$tmp/every.py" "$font")
"${ascii[@]}"
"${every[@]}" 2>/dev/null
echo "glyphs in the larger run: $(grep -c '^    [0-9]*: (' "$tmp/every.py")"

status=0
median_ms() {
    hyperfine --style none --warmup 3 --runs "$1" --export-json "$tmp/t.json" "$2" >/dev/null
    python3 -c "import json; print(round(json.load(open('$tmp/t.json'))['results'][0]['median'] * 1000, 1))"
}
check() { # name value budget unit
    echo "$1: $2 $4 (budget $3 $4)"
    if awk -v v="$2" -v b="$3" 'BEGIN { exit !(v >= b) }'; then
        echo "over budget: $1"
        status=1
    fi
}
quote() { printf '%q ' "$@"; }
check "95 ASCII glyphs, 16 px" "$(median_ms 30 "$(quote "${ascii[@]}")")" 25 ms
check "every glyph, 16 px" "$(median_ms 5 "$(quote "${every[@]}") 2>/dev/null")" 1000 ms
peak=$(/usr/bin/time -f %M "${every[@]}" 2>&1 >/dev/null | tail -n 1)
check "peak memory, every glyph" "$((peak / 1024))" 32 MB
exit $status
