#!/usr/bin/env bash
# Times dotlane-cli against bench/reference.py (plain Python with Pillow) listing a 496 x 496
# picture, as whole processes, once both have printed the same bytes.
#
#   bash bench/compare.sh [BUILD_DIR]           check, then time (BUILD_DIR: build)
#   bash bench/compare.sh --check [BUILD_DIR]   only check that the outputs are identical
#
# Prints each median and, on a line of its own, "ratio COMMAND N": the reference's median
# over dotlane-cli's. Uses hyperfine where it is installed, else 31 runs each and medians.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
check_only=false
if [ "${1:-}" = "--check" ]; then
  check_only=true
  shift
fi
cli=${1:-$root/build}/src/dotlane-cli
py=/usr/bin/python3
reference=$root/bench/reference.py
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
picture=$tmp/rings_496x496.bmp
"$py" "$root/samples/make_samples.py" --bench-picture "$picture"

for command in sed1565 t6963c; do
  for flag in "" --invert-colors; do
    "$cli" $command $flag "$picture" >"$tmp/cli.txt"
    "$py" "$reference" $command $flag "$picture" >"$tmp/reference.txt"
    if ! cmp -s "$tmp/cli.txt" "$tmp/reference.txt"; then
      echo "compare: dotlane-cli and the reference differ on $command $flag" >&2
      exit 1
    fi
  done
done
echo "compare: dotlane-cli and the reference print the same listings ($(wc -c <"$tmp/cli.txt") bytes for t6963c)"
$check_only && exit 0

# Median wall time in milliseconds of a command run as a whole process.
median_ms() {
  local name=$1
  shift
  if command -v hyperfine >/dev/null; then
    hyperfine -N --warmup 5 --min-runs 40 --export-json "$tmp/$name.json" "$*" >/dev/null 2>"$tmp/$name.log"
    "$py" -c 'import json,sys; print("%.2f" % (1000 * json.load(open(sys.argv[1]))["results"][0]["median"]))' "$tmp/$name.json"
  else
    local times=()
    for _ in $(seq 31); do
      local start end
      start=$(date +%s%N)
      "$@" >/dev/null
      end=$(date +%s%N)
      times+=($(((end - start) / 1000)))
    done
    printf '%s\n' "${times[@]}" | sort -n | awk '{t[NR] = $1} END {printf "%.2f\n", t[(NR + 1) / 2] / 1000}'
  fi
}

echo "496 x 496 picture, median wall time of the whole process:"
for command in sed1565 t6963c; do
  ours=$(median_ms "cli-$command" "$cli" $command "$picture")
  theirs=$(median_ms "reference-$command" "$py" "$reference" $command "$picture")
  echo "  $command: dotlane-cli $ours ms, reference (Python + Pillow) $theirs ms"
  echo "ratio $command $(awk -v a="$theirs" -v b="$ours" 'BEGIN {printf "%.1f", a / b}')"
done
