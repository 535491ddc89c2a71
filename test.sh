#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs every test (what CI runs).
#
#   ./test.sh          everything
#   ./test.sh quick    the everyday run: the build, then the unit and golden
#                      labels only (one label: ctest --test-dir build/test -L NAME)
set -euo pipefail
cd "$(dirname "$0")"
. scripts/ensure-packages.sh
quick=false
[ "${1:-}" = quick ] && quick=true
# The build and tests; clang with libFuzzer for the fuzz targets; a private X
# server, a window manager and xdotool for the desktop game's own test; the
# Debian tools that build and check the package; MinGW-w64 and Wine for the
# Windows builds.
ensure_packages cmake make g++ pkg-config libsdl2-dev libgtest-dev libbenchmark-dev libpng-dev \
  python3 python3-pil python3-numpy
$quick || ensure_packages clang libclang-rt-14-dev \
  xvfb openbox xdotool wmctrl x11-utils x11-apps \
  dpkg-dev lintian desktop-file-utils appstream man-db \
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 nsis
# The browser game: Emscripten, Chromium, ImageMagick for its icons; Node
# and npm only where no Node is installed (Debian's npm would conflict with
# a newer Node already on the machine).
if ! $quick; then
  ensure_packages emscripten chromium imagemagick
  command -v node >/dev/null 2>&1 && command -v npm >/dev/null 2>&1 || ensure_packages nodejs npm
fi
jobs="$(nproc)"
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOBELYN_SANITIZE=ON \
  -DTOBELYN_BENCH=OFF >/dev/null
cmake --build build/test -j"$jobs"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# One closing line for whoever reads only the end of the log.
summarise() {
  local summary total failed
  summary="$(grep -E '^[0-9]+% tests passed' "$1" | tail -n 1)"
  total="$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")"
  failed="$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$summary")"
  echo "tests: $((total - failed)) passed, $failed failed"
}

if $quick; then
  status=0
  ctest --test-dir build/test --output-on-failure -j"$jobs" -L '^(unit|golden)$' |
    tee build/test/ctest-quick.log || status=$?
  summarise build/test/ctest-quick.log
  exit "$status"
fi
# The Windows builds, cross-compiled (no sanitizers there): tobelyn.exe, its
# installer and the headless test build, run under Wine by the windows_wine
# test.
if command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 && [ -d /usr/src/googletest ]; then
  cmake -S . -B build/win-test -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build/win-test -j"$jobs" --target tobelyn tobelyn_installer tobelyn_tests tobelyn-replay
else
  echo "MinGW-w64 or GoogleTest's sources missing: the Windows builds are not made"
fi
ctest --test-dir build/test --output-on-failure -j"$jobs" | tee build/test/ctest.log

# The fuzz targets, a short run of each from the committed seed corpus (new
# inputs go to a scratch folder). They need clang with libFuzzer.
if command -v clang++ >/dev/null 2>&1; then
  cmake -S fuzz -B build/fuzz -DCMAKE_CXX_COMPILER=clang++ >/dev/null
  cmake --build build/fuzz -j"$jobs"
  for target in settings script book resource code; do
    scratch="$(mktemp -d)"
    log="build/fuzz/$target.log"
    if ! build/fuzz/fuzz_$target -max_total_time=20 -max_len=4096 -print_final_stats=1 \
      -artifact_prefix=build/fuzz/ "$scratch" fuzz/corpus/$target >"$log" 2>&1; then
      tail -n 40 "$log"
      echo "fuzz_$target found a fault; the input is kept in build/fuzz/"
      exit 1
    fi
    echo "fuzz_$target: $(grep -E '^Done' "$log")"
    rm -rf "$scratch"
  done
else
  echo "clang++ not found: fuzz targets skipped (Debian: apt-get install clang)"
fi

summarise build/test/ctest.log
