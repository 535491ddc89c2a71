#!/usr/bin/env bash
# The browser tests: builds the site, installs the pinned playwright-core
# and runs the tests in Debian's Chromium. Skips (77) where Emscripten,
# Chromium or Node is missing, except under CI=true, where that fails.
#
#   tests/web/run.sh REPLAY_BIN LANDING_HASH_BIN BOOK_TOOL_BIN [--only NAME,NAME]
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
# The tools may be given relative to where this is run from.
replay="$(realpath "$1")"
hash_tool="$(realpath "$2")"
book_tool="$(realpath "$3")"
shift 3

missing=()
for tool in em++ chromium node npm; do
  command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "browser tests skipped: ${missing[*]} not found (Debian: emscripten chromium nodejs npm)"
  [ "${CI:-}" = "true" ] && exit 1
  exit 77
fi

TOBELYN_REPLAY="$replay" "$root/scripts/build-web.sh" >/dev/null
cd "$root/tests/web"
npm ci --no-audit --no-fund --loglevel=error >/dev/null
node manifest_test.mjs --site "$root/build/web/site"
exec node web_test.mjs --site "$root/build/web/site" --replay "$replay" \
  --hash "$("$hash_tool")" --book-tool "$book_tool" --golden "$root/tests/golden" \
  --out "$root/build/web/screenshots" "$@"
