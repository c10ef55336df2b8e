#!/usr/bin/env bash
# examples/cmake built against Dotlane installed under PREFIX (any prefix, not only the
# configured one), with Make and with Ninja: it prints its pictures; touching one picture
# converts it again and compiles nothing, changing one picture or one target's options remakes
# that target and what includes its header, nothing else; the same for the font, whose
# options remake its header only when it comes out otherwise.    cmake_example.sh PREFIX
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/pictures"
configure() {
  cmake -S "$root/examples/cmake" -B "$tmp/build" -G "$generator" -DCMAKE_PREFIX_PATH="$1" \
    -DPICTURES="$tmp/pictures" "${@:2}" >"$tmp/log" || { cat "$tmp/log"; exit 1; }
}
# The lines of a build that say what it made, in a fixed order.
made() { cmake --build "$tmp/build" -j2 | grep -oE 'dotlane-cli: [a-z]+|[a-z_]+\.c\.o' | sort | tr '\n' ' '; }
# The program reads PNG files wherever it was installed: nothing of it lies at a fixed path.
"$1/bin/dotlane-cli" convert --layout pages-lsb "$root/samples/gradient_48x16.png" |
  cmp - "$root/samples/expected/gradient_48x16.pages-lsb.threshold-128.txt"
check() {
  [ "$1" = "$2" ] || { echo "cmake example, $generator: $3 remade \"$1\", not \"$2\"" >&2; exit 1; }
}
generators=("Unix Makefiles")
command -v ninja >/dev/null && generators+=(Ninja)
for generator in "${generators[@]}"; do
  rm -rf "$tmp/build"
  cp "$root"/samples/{icon_17x13,example_3x9,logo_128x64}.bmp "$root/samples/digits_5x7.bdf" \
    "$root/samples/colours_24x16.png" "$tmp/pictures"
  configure "$1"
  made >/dev/null
  "$tmp/build/firmware" >"$tmp/out"
  diff - "$tmp/out" <<'OUT'
icon 0: 17 x 16, 30 bytes compressed
icon 1: 3 x 16, 7 bytes compressed
splash: 128 x 64, 1024 bytes
panel: 24 x 16, 768 bytes, first pixel F800
#..
.#.
..#
...
###
...
#..
..#
.#.
..#....###...........#..#####.
.##...#...#..##.....##..#.....
..#.......#..##....#.#..####..
..#......#........#..#......#.
..#.....#....##...#####.....#.
..#....#.....##......#..#...#.
.###..#####..........#...###..
..............................
OUT
  check "$(made)" "" "a build with nothing changed"
  # Converted again to the same arrays, the header and source stay as they were.
  touch "$tmp/pictures/example_3x9.bmp"
  check "$(made)" "dotlane-cli: icons " "touching one icon"
  check "$(made)" "" "the build after that"
  # One pixel of the bottom row changed.
  printf '\xe0' | dd of="$tmp/pictures/example_3x9.bmp" bs=1 seek=62 conv=notrunc status=none
  check "$(made)" "dotlane-cli: icons icons.c.o main.c.o " "changing one icon"
  configure "$1" -DSPLASH_OPTIONS=--invert-colors
  check "$(made)" "dotlane-cli: splash main.c.o splash.c.o " "an option of the splash screen"
  configure "$1" -DSPLASH_OPTIONS=--invert-colors
  check "$(made)" "" "configuring again"
  # The font made again: to the same header with an option that changes nothing, to
  # another with other characters.
  configure "$1" -DDIGITS_OPTIONS=--missing=fail
  check "$(made)" "dotlane-cli: digits " "an option that leaves the font as it was"
  configure "$1" -DDIGITS=32,48-58
  check "$(made)" "dotlane-cli: digits main.c.o " "other characters of the font"
  touch "$tmp/pictures/digits_5x7.bdf"
  check "$(made)" "dotlane-cli: digits " "touching the font"
done
echo "cmake example: built against $1 with ${generators[*]}, remade only what changed"
