#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs every test.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/ensure-packages.sh
ensure_packages cmake make g++ pkg-config libsdl2-dev libgtest-dev libbenchmark-dev \
  python3 python3-pil python3-numpy
jobs="$(nproc)"
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOBELYN_SANITIZE=ON \
  -DTOBELYN_BENCH=OFF >/dev/null
cmake --build build/test -j"$jobs"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir build/test --output-on-failure -j"$jobs"
