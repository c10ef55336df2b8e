#!/usr/bin/env bash
# The page's and dotlane.mjs's tests: built by scripts/web.sh, compared with build/dotlane-cli
# (built first if missing), the page driven in Debian's Chromium.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -x build/src/dotlane-cli ] || bash scripts/build.sh build
bash scripts/web.sh build-web
node --test tests/web/module.test.mjs tests/web/page.test.mjs
