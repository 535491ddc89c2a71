#!/usr/bin/env bash
# Builds the desktop game and starts it.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/ensure-packages.sh
ensure_packages cmake make g++ pkg-config libsdl2-dev
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DTOBELYN_TESTS=OFF -DTOBELYN_BENCH=OFF >/dev/null
cmake --build build/release -j"$(nproc)" --target tobelyn
exec build/release/tobelyn
