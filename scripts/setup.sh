#!/usr/bin/env bash
# Installs what Dotlane needs to build, run and test on Debian 12, as root; packages that are
# already there are not fetched again.
set -euo pipefail

packages=(
  cmake make g++ pkg-config
  ninja-build                       # the CMake package's function is tested with Ninja too
  qt6-base-dev libgl-dev            # the window
  libpng-dev libjpeg62-turbo-dev    # dotlane-cli's picture decoders: PNG, JPEG,
  libgif-dev libwebp-dev            # GIF and WebP
  libfreetype-dev zlib1g-dev        # the font command: FreeType, and .pcf.gz unpacked
  fonts-dejavu-core xfonts-base     # its tests' outline and bitmap fonts
  libgtest-dev libbenchmark-dev     # tests and figures
  python3-pil hyperfine             # the samples' expected listings, the Python reference
  imagemagick time                  # a peer to measure against, and peak memory
  dpkg-dev file                     # the .deb package (dpkg-shlibdeps)
  clang libclang-rt-14-dev          # fuzzing and sanitizers
  gcc-avr avr-libc simavr           # compressed arrays decoded from AVR flash
  fonts-liberation                  # faces metric-compatible with the layout's fonts
  xvfb xauth                        # running the window without a screen
  locales
  man-db groff-base                 # the manual rendered as man shows it (deb_check.sh)
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A locale that writes numbers with a decimal comma, for the arithmetic tests.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  if [ "$(id -u)" -eq 0 ] && [ -f /etc/locale.gen ]; then
    sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
  fi
fi

# The page: Debian's Emscripten and Chromium, Node and the npm packages of package-lock.json.
bash "$(dirname "$0")/web_setup.sh"
