#!/usr/bin/env bash
# Records the golden frames: builds tobelyn-replay and the tests in BUILD
# (default build/test, as test.sh uses), runs every golden script and writes
# the hashes of the frames they save to tests/golden/hashes.txt. Look at the
# frames first (they are left in BUILD/golden-work/SCRIPT/), then commit.
#
#   tests/golden/record.sh [BUILD]
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-$root/build/test}"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DTOBELYN_BENCH=OFF >/dev/null
fi
cmake --build "$build" -j2 --target tobelyn-replay tobelyn_tests
ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}" TOBELYN_RECORD_GOLDEN=1 \
  "$build/tobelyn_tests" --gtest_filter='Scripts/Golden.*'
echo "recorded $(wc -l <"$root/tests/golden/hashes.txt") frames in tests/golden/hashes.txt"
