#!/usr/bin/env bash
# `cmake --install` puts the programs, the desktop entry and the icon in their usual places,
# and the installed dotlane-cli runs from there, finding its picture reader in the library
# folder it was built for.    install_check.sh BUILD_DIR VERSION PREFIX LIBDIR
set -euo pipefail
build=$1 version=$2 configured=$3 libdir=$4
samples=$(cd "$(dirname "$0")/../samples" && pwd)
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
for file in bin/dotlane bin/dotlane-cli share/applications/dotlane.desktop \
            share/icons/hicolor/16x16/apps/dotlane.png; do
  [ -f "$prefix/$file" ] || { echo "install: $file is missing" >&2; exit 1; }
done
[ -x "$prefix/bin/dotlane" ] && [ -x "$prefix/bin/dotlane-cli" ]
[ -f "$prefix${libdir#"$configured"}/dotlane/dotlane-qimage.so" ] ||
  { echo "install: the picture reader dotlane-qimage.so is missing" >&2; exit 1; }
grep -qx 'Exec=dotlane' "$prefix/share/applications/dotlane.desktop"
grep -qx 'Icon=dotlane' "$prefix/share/applications/dotlane.desktop"
[ "$("$prefix/bin/dotlane-cli" --version)" = "dotlane-cli $version" ]
bash "$(dirname "$0")/at_installed_place.sh" "$prefix${libdir#"$configured"}" "$libdir" \
  "$prefix/bin/dotlane-cli" convert --layout pages-lsb "$samples/gradient_48x16.png" |
  cmp - "$samples/expected/gradient_48x16.pages-lsb.threshold-128.txt"
echo "install: 5 files in place; the installed dotlane-cli $version reads a PNG file"
