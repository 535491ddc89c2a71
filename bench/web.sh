#!/usr/bin/env bash
# Builds the browser game and prints its figures, measured in headless
# Chromium on localhost: the site's transfer size with gzip, navigation to
# the first frame drawn, the CPU of all of Chromium's processes over SECONDS
# of a match, and the input latency from a key event to the frame showing it.
#
#   bench/web.sh [SECONDS]    # default 10
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build-web.sh" >/dev/null
cd "$root/tests/web"
npm ci --no-audit --no-fund --loglevel=error >/dev/null
node web_bench.mjs --site "$root/build/web/site" --seconds "${1:-10}"
