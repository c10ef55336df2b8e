#!/usr/bin/env bash
# examples/cmake built against Dotlane installed under PREFIX (any prefix, not only the
# configured one): it prints its pictures, and
# touching one picture, or changing one target's options, remakes that target and what
# includes its header, nothing else.    cmake_example.sh PREFIX
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/pictures"
cp "$root"/samples/{icon_17x13,example_3x9,logo_128x64}.bmp "$tmp/pictures"
configure() {
  cmake -S "$root/examples/cmake" -B "$tmp/build" -G "Unix Makefiles" -DCMAKE_PREFIX_PATH="$1" \
    -DPICTURES="$tmp/pictures" "${@:2}" >"$tmp/log" || { cat "$tmp/log"; exit 1; }
}
# The lines of a build that say what it made, in a fixed order.
made() { cmake --build "$tmp/build" -j2 | grep -oE 'dotlane-cli: [a-z]+|[a-z_]+\.c\.o' | sort | tr '\n' ' '; }
# The program reads PNG files wherever it was installed: nothing of it lies at a fixed path.
"$1/bin/dotlane-cli" convert --layout pages-lsb "$root/samples/gradient_48x16.png" |
  cmp - "$root/samples/expected/gradient_48x16.pages-lsb.threshold-128.txt"
configure "$1"
made >/dev/null
"$tmp/build/firmware" >"$tmp/out"
diff - "$tmp/out" <<'OUT'
icon 0: 17 x 16, 30 bytes compressed
icon 1: 3 x 16, 7 bytes compressed
splash: 128 x 64, 1024 bytes
#..
.#.
..#
...
###
...
#..
..#
.#.
OUT
check() { [ "$1" = "$2" ] || { echo "cmake example: $3 remade \"$1\", not \"$2\"" >&2; exit 1; }; }
check "$(made)" "" "a build with nothing changed"
touch "$tmp/pictures/example_3x9.bmp"
check "$(made)" "dotlane-cli: icons icons.c.o main.c.o " "touching one icon"
configure "$1" -DSPLASH_OPTIONS=--invert-colors
check "$(made)" "dotlane-cli: splash main.c.o splash.c.o " "an option of the splash screen"
configure "$1" -DSPLASH_OPTIONS=--invert-colors
check "$(made)" "" "configuring again"
echo "cmake example: built against $1, remade only what changed"
