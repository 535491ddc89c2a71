#!/usr/bin/env bash
# Makes the README's screenshots again from the real program, headless:
# docs/title.png, docs/match.png and docs/option.png (240x320 each).
#
#     docs/screenshots.sh
#
# Builds tobelyn-replay (optimised, in build/docs) and runs two scripts: the
# title and a match, then the option screen in a run of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/ensure-packages.sh
ensure_packages cmake make g++ libpng-dev
cmake -S . -B build/docs -DCMAKE_BUILD_TYPE=Release -DTOBELYN_DESKTOP=OFF -DTOBELYN_TESTS=OFF \
  -DTOBELYN_BENCH=OFF >/dev/null
cmake --build build/docs -j"$(nproc)" --target tobelyn-replay >/dev/null
replay="$PWD/build/docs/tobelyn-replay"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
(cd "$work" && "$replay" --registry "$work" "$OLDPWD/docs/screenshots.txt" >/dev/null)
printf '%s\n' "clock 100000" "run 14" "key 0x28" "run 14" "key 0x0D" "wait 0" "run 30" \
  "shot option.png" | (cd "$work" && "$replay" --registry "$work" - >/dev/null)
for name in title match option; do
  cp "$work/$name.png" "docs/$name.png"
  echo "docs/$name.png"
done
