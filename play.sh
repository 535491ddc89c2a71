#!/usr/bin/env bash
# Builds the desktop game and starts it. With --web, builds the browser game
# and serves it on this machine (PORT, default 8080), gzip-compressed, instead.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/ensure-packages.sh
if [ "${1:-}" = "--web" ]; then
  scripts/build-web.sh
  ensure_packages python3
  port="${PORT:-8080}"
  echo "Tobelyn is at http://localhost:$port/ (Ctrl+C stops the server)"
  # Each file precompressed with gzip where the browser takes it.
  exec python3 scripts/serve-web.py build/web/site "$port"
fi
ensure_packages cmake make g++ pkg-config libsdl2-dev
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DTOBELYN_TESTS=OFF -DTOBELYN_BENCH=OFF >/dev/null
cmake --build build/release -j"$(nproc)" --target tobelyn
exec build/release/tobelyn
