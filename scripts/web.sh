#!/usr/bin/env bash
# Builds the page and dotlane.mjs into build-web/ (or the folder given as $1): the engine
# compiled with Emscripten, then the page's files put together so that it opens from file://
# with nothing fetched. Installs what it needs first (Debian's emscripten, the npm packages
# of the page's tests).
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build-web}
bash scripts/setup.sh

# Debian's emscripten finds its JavaScript libraries there when `node` is another build.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
if [ ! -f "$out/obj/CMakeCache.txt" ]; then
  emcmake cmake -S src/web -B "$out/obj" -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
fi
cmake --build "$out/obj" -j "${WEB_JOBS:-2}"
node src/web/assemble.mjs "$out/obj" "$out"
