#!/usr/bin/env bash
# Builds an optimised (Release, not sanitized) build in build/bench and
# prints every speed and cost figure of the game:
#   - tobelyn-replay --timedemo of a scripted full match of each game:
#     passes a second and the cost of one pass, beside one plain copy of a
#     240x320 16-bit frame measured in the same run;
#   - present, blit with and without a key, the fades, drawScoreboard,
#     whole passes and start-up to the first frame, headless (ns per call);
#   - the desktop game on a private X server (needs Xvfb, openbox, xdotool,
#     wmctrl): start-up to the first frame shown, peak memory, the frame
#     interval at 60 frames a second (mean, 99th percentile) and its CPU use.
# The machine's load average is printed beside the figures.
#
#   bench/run-all.sh [SECONDS]    # SECONDS of desktop play measured (default 10)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/bench"
h() { /usr/bin/python3 "$root/tests/harness.py" "$@"; }
load() { cut -d' ' -f1-3 /proc/loadavg; }

headless_figures() {
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTOBELYN_SANITIZE=OFF \
    -DTOBELYN_TESTS=OFF -DTOBELYN_BENCH=ON >/dev/null
  nice cmake --build "$build" -j2 --target tobelyn-replay tobelyn_bench $(
    grep -q '^TOBELYN_DESKTOP:BOOL=ON' "$build/CMakeCache.txt" && echo tobelyn) >/dev/null

  echo "== Tobelyn figures, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $(
    grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
  echo "load average at the start: $(load)"

  # One frame copy, then the timedemo of every full match.
  copy_ns="$("$build/tobelyn_bench" --benchmark_filter='^BM_FrameCopy$' \
    --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
    --benchmark_format=csv 2>/dev/null | awk -F, '/_median/ {printf "%.0f", $4}')"
  echo
  echo "== timedemo: whole scripted matches, headless (best of 3 runs)"
  printf '%-26s %14s %12s %14s\n' script passes/s ns/pass "x frame copy"
  for script in "$root"/tests/scripts/match_*.txt; do
    best=0
    for _ in 1 2 3; do
      rate="$("$build/tobelyn-replay" --timedemo "$script")"
      [ "$rate" -gt "$best" ] && best="$rate"
    done
    awk -v n="$(basename "$script")" -v r="$best" -v c="$copy_ns" 'BEGIN {
      ns = 1e9 / r; printf "%-26s %14d %12.0f %14.1f\n", n, r, ns, ns / c }'
  done
  echo "one frame copy (memcpy of 240*320*2 bytes): ${copy_ns} ns"
  echo "target: at least 20000 passes a second"

  # The library's and the game's hot paths.
  echo
  echo "== ns per call, headless (median of 3); load average $(load)"
  "$build/tobelyn_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
    --benchmark_format=console 2>/dev/null | grep -E '_median|^Benchmark|^---' || true
  echo "(BM_StartupToFirstFrame: start-up to the first presented frame; target under 5 ms."
  echo " sheet_in_place=1: the sprite sheet is used inside the executable's resource)"
}

# Inside the private X session: $TOBELYN_SESSION is its work folder.
desktop_figures() {
  local seconds="$1" work="$TOBELYN_SESSION" game id keys c0 c1 x0 x1 t0 t1 hwm rss
  export TOBELYN_FRAME_STATS=1
  echo "== desktop build under Xvfb (1024x768, openbox); load average $(load)"
  echo "start-up to the first frame shown (target under 150 ms), five starts:"
  for i in 1 2 3 4 5; do
    "$build/tobelyn" 2>"$work/start$i.txt" &
    game=$!
    id="$(h window)"
    sleep 0.3
    h close "$id" "$game"
    wait "$game" || true
    sed -n 's/.*first frame \([0-9.]*\) ms after start.*/  \1 ms/p' "$work/start$i.txt"
  done

  # Into a match, aiming: the pointer moves every frame, so every frame sends
  # changed pixels to the X server. Key presses are traced to count them.
  TOBELYN_TRACE=1 "$build/tobelyn" 2>"$work/play.txt" &
  game=$!
  id="$(h window)"
  xdotool windowactivate --sync "$id" >/dev/null 2>&1 || true
  sleep 0.5
  # START, "301", one player, ready, leave the announcement (held a little,
  # as the match polls the key state once a frame).
  h press Return 5
  keys="$(grep -c 'post 0x0100' "$work/play.txt" || true)"
  c0="$(h ticks "$game")"
  x0="$(h ticks "$TOBELYN_XVFB")"
  t0="$(date +%s.%N)"
  sleep "$seconds"
  c1="$(h ticks "$game")"
  x1="$(h ticks "$TOBELYN_XVFB")"
  t1="$(date +%s.%N)"
  hwm="$(awk '/VmHWM/ {print $2}' "/proc/$game/status")"
  rss="$(awk '/VmRSS/ {print $2}' "/proc/$game/status")"
  h close "$id" "$game"
  wait "$game" || true
  echo "key presses that reached the game: $keys of 5"
  awk -v c0="$c0" -v c1="$c1" -v x0="$x0" -v x1="$x1" -v t0="$t0" -v t1="$t1" \
    -v hz="$(getconf CLK_TCK)" -v hwm="$hwm" -v rss="$rss" 'BEGIN {
    w = t1 - t0
    printf "CPU at 60 frames a second, %.1f s aiming in a match: game %.1f%% of one core (target under 10%%), X server %.1f%%\n",
      w, 100 * (c1 - c0) / hz / w, 100 * (x1 - x0) / hz / w
    printf "memory: peak %.1f MiB resident (target under 30 MiB), %.1f MiB at the end\n",
      hwm / 1024, rss / 1024 }'
  sed -n 's/^tobelyn: first frame.*; \(.*\)/frame intervals: \1 (60 frames a second is 16.67 ms)/p' \
    "$work/play.txt"
  echo "load average at the end: $(load)"
}

if [ "${1:-}" = --desktop ]; then
  desktop_figures "$2"
  exit 0
fi
headless_figures
echo
if [ ! -x "$build/tobelyn" ]; then
  echo "== desktop: not built (no SDL2)"
  exit 0
fi
for tool in Xvfb openbox xdotool wmctrl; do
  if ! command -v "$tool" >/dev/null; then
    echo "== desktop: skipped, $tool is missing (Debian: xvfb openbox xdotool wmctrl)"
    exit 0
  fi
done
# The desktop figures in a private X session (tests/harness.py): the script
# starts itself again inside one.
exec /usr/bin/python3 "$root/tests/harness.py" session -- "$0" --desktop "${1:-10}"
