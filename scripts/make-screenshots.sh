#!/usr/bin/env bash
# Makes the listings' pictures from the real program, headless: the title,
# a "301" match, the summary card of a match two computer seats play out,
# and a landing map, each enlarged three times with square pixels
# (tobelyn-title.png ... 720x960), and the web manifest's two install-sheet
# pictures from the same shots (screenshot-narrow.png, the match; and
# screenshot-wide.png, the match beside the summary card; both twice).
#
#     scripts/make-screenshots.sh OUT_DIR [TOBELYN_REPLAY]
#
# Without TOBELYN_REPLAY, an optimised tobelyn-replay is built in
# build/shots. The pictures depend on the commit alone: the seats' darts
# come from a fixed seed and the replay's clock, and ImageMagick writes no
# date or time into them.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "${1:?usage: make-screenshots.sh OUT_DIR [TOBELYN_REPLAY]}")"
replay="${2:-}"
cd "$root"
. scripts/ensure-packages.sh
ensure_packages imagemagick
if [ -z "$replay" ]; then
  ensure_packages cmake make g++ libpng-dev
  cmake -S . -B build/shots -DCMAKE_BUILD_TYPE=Release -DTOBELYN_DESKTOP=OFF -DTOBELYN_TESTS=OFF \
    -DTOBELYN_BENCH=OFF >/dev/null
  cmake --build build/shots -j2 --target tobelyn-replay >/dev/null
  replay="$root/build/shots/tobelyn-replay"
fi
replay="$(realpath "$replay")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/one" "$work/two" "$out"
# The title and the match, as the README's pictures are made.
(cd "$work/one" && "$replay" --registry . "$root/docs/screenshots.txt" >/dev/null)
# The seats: no hints, named, at levels 5 and 4, throwing fast.
printf '%s\n' "hints 0" "hintsChosen 1" "fastCpu 1" "seat1Name ROBIN" "seat1Level 5" \
  "seat2Name JO ASH" "seat2Level 4" >"$work/two/host"
(cd "$work/two" && "$replay" --registry . --data . "$root/packaging/screenshots/seats.txt" >/dev/null)

png_fixed=(-define png:exclude-chunks=date,time)
for shot in one/title one/match two/summary two/landing; do
  name="tobelyn-$(basename "$shot").png"
  convert "$work/$shot.png" -filter point -resize 300% "${png_fixed[@]}" "$out/$name"
  echo "$out/$name"
done
convert "$work/one/match.png" -filter point -resize 200% "${png_fixed[@]}" "$out/screenshot-narrow.png"
echo "$out/screenshot-narrow.png"
convert -background "#001c00" "$work/one/match.png" "$work/two/summary.png" -filter point \
  -resize 200% -bordercolor "#001c00" -border 20 +append -border 20 +repage "${png_fixed[@]}" \
  "$out/screenshot-wide.png"
echo "$out/screenshot-wide.png"
