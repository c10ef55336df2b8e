#!/usr/bin/env bash
# CPack's .deb holds what `cmake --install` puts in place, names the Qt libraries among its
# dependencies (the picture decoders are linked into dotlane-cli), and its dotlane-cli runs once unpacked, reading
# PNG where it lies; the example firmware build finds the unpacked CMake package. The
# package installs under the prefix the build was configured for (/usr for a Debian
# package).    deb_check.sh BUILD_DIR VERSION PREFIX LIBDIR
set -euo pipefail
build=$1 version=$2 prefix=$3 libdir=$4
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 ||
  { cat "$out/cpack.log" >&2; exit 1; }
deb=$out/dotlane_${version}_amd64.deb
[ -f "$deb" ] || { echo "deb: no $deb" >&2; ls "$out" >&2; exit 1; }
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ]
depends=$(dpkg-deb -f "$deb" Depends)
# The README names the packages dpkg-shlibdeps finds, and what the package recommends; a
# library linked or dropped shows up here before the README's promise goes stale.
readme=$(tr '\n' ' ' <"$(dirname "$0")/../README.md")
listed=$(sed -n 's/.*dependencies come from dpkg-shlibdeps (\([^)]*\)).*/\1/p' <<<"$readme" | tr -s ', ' '\n' | sort)
found=$(tr ',' '\n' <<<"$depends" | awk '{print $1}' | sort)
[ -n "$listed" ] && [ "$listed" = "$found" ] ||
  { echo "deb: Depends is $depends; the README lists: $listed" >&2; exit 1; }
recommends=$(dpkg-deb -f "$deb" Recommends)
[[ "$readme" == *"recommends $recommends for the"* ]] ||
  { echo "deb: the README does not name the recommended $recommends" >&2; exit 1; }
dpkg-deb -c "$deb" | awk '{print $6}' | sort >"$out/files"
for file in ".$prefix/bin/dotlane" ".$prefix/bin/dotlane-cli" \
            ".$prefix/share/applications/dotlane.desktop" \
            ".$prefix/share/icons/hicolor/16x16/apps/dotlane.png" \
            ".$prefix/share/man/man1/dotlane-cli.1" \
            ".$libdir/cmake/Dotlane/DotlaneConfig.cmake" ".$libdir/cmake/Dotlane/DotlaneBitmaps.cmake" \
            ".$libdir/cmake/Dotlane/DotlaneConfigVersion.cmake"; do
  grep -qx "$file" "$out/files" || { echo "deb: $file is missing" >&2; exit 1; }
done
dpkg-deb -x "$deb" "$out/root"
grep -qx 'Exec=dotlane' "$out/root$prefix/share/applications/dotlane.desktop"
grep -qx 'Icon=dotlane' "$out/root$prefix/share/applications/dotlane.desktop"
[ "$("$out/root$prefix/bin/dotlane-cli" --version)" = "dotlane-cli $version" ]
# The manual renders without a complaint from groff and begins with its name.
man_page=$out/root$prefix/share/man/man1/dotlane-cli.1
[ -z "$(groff -man -Tutf8 -ww -z "$man_page" 2>&1)" ] || { echo "deb: groff warns" >&2; exit 1; }
MANWIDTH=80 man -l "$man_page" 2>/dev/null | grep -q '^NAME'

# The unpacked program, away from where it was built and installed, reads a PNG.
samples=$(cd "$(dirname "$0")/../samples" && pwd)
"$out/root$prefix/bin/dotlane-cli" convert --layout pages-lsb "$samples/gradient_48x16.png" |
  cmp - "$samples/expected/gradient_48x16.pages-lsb.threshold-128.txt"
bash "$(dirname "$0")/cmake_example.sh" "$out/root$prefix"
echo "deb: dotlane_${version}_amd64.deb depends on $depends"
