#!/usr/bin/env bash
# Builds the native Windows game, build/win/tobelyn.exe (64-bit, statically
# linked, no console window), cross-compiled with MinGW-w64, and its
# per-user installer, build/win/tobelyn-setup.exe, made with NSIS:
#
#   scripts/build-windows.sh
#
# The README for Windows players that goes beside it is docs/windows/README.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/ensure-packages.sh
ensure_packages cmake make g++ g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 nsis
# The checkout's path is kept out of the executable, so that two clones of
# one commit build the same bytes.
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DTOBELYN_TESTS=OFF -DCMAKE_CXX_FLAGS="-ffile-prefix-map=$PWD=." >/dev/null
cmake --build build/win -j"$(nproc)" --target tobelyn tobelyn_installer
for f in tobelyn.exe tobelyn-setup.exe; do
  echo "built $(pwd)/build/win/$f ($(stat -c %s build/win/$f) bytes)"
done
