#!/usr/bin/env bash
# Sets everything up, builds Dotlane with its tests and runs them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh build
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j "$(nproc)"

# The page and dotlane.mjs, against the dotlane-cli just built.
bash scripts/web_test.sh

# The same tests again with AddressSanitizer and UndefinedBehaviorSanitizer.
bash scripts/build.sh build-asan -DDOTLANE_SANITIZE=ON -DDOTLANE_BUILD_BENCH=OFF
ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
