#!/usr/bin/env bash
# The committed samples and their expected listings are what samples/make_samples.py draws
# and computes today, so the golden files cannot drift from the script that explains them.
# digits_5x7.bdf, the font the font examples use, is drawn by hand.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
/usr/bin/python3 "$root/samples/make_samples.py" --out "$tmp"
diff -r --exclude=make_samples.py --exclude=guess_set.py --exclude=reverse_rows.py --exclude=colour_samples.py --exclude=digits_5x7.bdf --exclude=.gitattributes --exclude=__pycache__ "$root/samples" "$tmp"
echo "samples: $(wc -l <"$tmp/expected/MANIFEST") listings as make_samples.py writes them"
