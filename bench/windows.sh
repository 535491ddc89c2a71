#!/usr/bin/env bash
# The native Windows game's figures under Wine, beside the Linux desktop
# game's measured the same way in the same run, on one private X server
# (Xvfb 1024x768, openbox):
#   - the size of tobelyn.exe (target under 2 MB);
#   - start-up to the first frame shown: as the game itself measures it (from
#     its process's creation), and from the command to a visible window;
#   - peak memory: the game's own peak working set (Windows) and the peak
#     resident size of the process (Linux's VmHWM, Wine's own code included);
#   - the frame interval at 60 frames a second (mean, 99th percentile) and
#     the CPU used, SECONDS of aiming in a match (the pointer moves every
#     frame), Wine's server included;
#   - the input latency, a key press to the first frame showing it on the
#     title (bench/latency.py, the window read back from the X server).
#
#   bench/windows.sh [SECONDS]    # default 10
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-10}"
h() { /usr/bin/python3 "$root/tests/harness.py" "$@"; }
exe="$root/build/win/tobelyn.exe"
linux="$root/build/bench/tobelyn"
# The builds, then the figures in a private X session (tests/harness.py),
# its own HOME, XDG_CONFIG_HOME, XDG_RUNTIME_DIR and Wine prefix: the script
# starts itself again inside one.
if [ -z "${TOBELYN_SESSION:-}" ]; then
  for tool in wine wineserver Xvfb openbox xdotool wmctrl; do
    if ! command -v "$tool" >/dev/null; then
      echo "== windows: skipped, $tool is missing (Debian: wine wine64 xvfb openbox xdotool wmctrl)"
      exit 0
    fi
  done
  "$root/scripts/build-windows.sh" >/dev/null
  cmake -S "$root" -B "$root/build/bench" -DCMAKE_BUILD_TYPE=Release -DTOBELYN_SANITIZE=OFF \
    -DTOBELYN_TESTS=OFF -DTOBELYN_BENCH=ON >/dev/null
  nice cmake --build "$root/build/bench" -j2 --target tobelyn >/dev/null
  exec /usr/bin/python3 "$root/tests/harness.py" session -- "$0" "$@"
fi
work="$TOBELYN_SESSION"
trap 'wineserver -k 2>/dev/null || true' EXIT
export TOBELYN_FRAME_STATS=1
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine wineboot -i >/dev/null 2>&1
wineserver -p 2>/dev/null || true  # kept running by wineboot already
server="$(pgrep -n -x wineserver || true)"

load() { cut -d' ' -f1-3 /proc/loadavg; }
now() { date +%s.%N; }
# The game of one side (windows or linux) in the background, its output in $2.
start_side() {
  if [ "$1" = windows ]; then
    wine "$exe" 2>"$2" &
  else
    "$linux" 2>"$2" &
  fi
}
first_frame() { sed -n 's/.*first frame \([0-9.]*\) ms after start.*/\1/p' "$1" | tail -1; }

echo "== Windows build under Wine $(wine --version 2>/dev/null) beside the Linux desktop build"
echo "load average at the start: $(load)"
size="$(stat -c %s "$exe")"
awk -v s="$size" 'BEGIN { printf "tobelyn.exe: %d bytes (%.2f MB; target under 2 MB), static, 64-bit\n", s, s / 1048576 }'
printf 'linux tobelyn (Release, SDL2 linked dynamically): %d bytes\n' "$(stat -c %s "$linux")"

echo
echo "start-up to the first frame shown, three starts each (own measure / command to visible window):"
for side in windows linux; do
  for i in 1 2 3; do
    t0="$(now)"
    start_side "$side" "$work/$side-start$i.txt"
    game=$!
    id="$(h window 12)"
    t1="$(now)"
    sleep 0.5
    h close "$id" "$game"
    wait "$game" || true
    awk -v s="$side" -v f="$(first_frame "$work/$side-start$i.txt")" -v a="$t0" -v b="$t1" \
      'BEGIN { printf "  %-8s %8.1f ms / %7.1f ms\n", s, f, (b - a) * 1000 }'
  done
done

# One side: into a "301" match, aiming, measured for $seconds; with a second
# argument, those keys first (window modes).
measure() {
  local side="$1" modes="${2:-}" game id pid t0 t1 c0 c1 s0 s1 hwm
  start_side "$side" "$work/$side-play.txt"
  game=$!
  id="$(h window 12)"
  pid="$(xdotool getwindowpid "$id" 2>/dev/null || echo "$game")"
  xdotool windowactivate --sync "$id" >/dev/null 2>&1 || true
  sleep 0.5
  h press Return 5  # START, "301", one player, ready, leave the announcement
  for key in $modes; do
    xdotool key "$key"
    sleep 0.6
  done
  c0="$(h ticks "$pid")"
  s0="$( [ -n "$server" ] && h ticks "$server" || echo 0)"
  t0="$(now)"
  sleep "$seconds"
  c1="$(h ticks "$pid")"
  s1="$( [ -n "$server" ] && h ticks "$server" || echo 0)"
  t1="$(now)"
  hwm="$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")"
  h close "$id" "$game"
  wait "$game" || true
  [ "$side" = linux ] && { s0=0; s1=0; }
  awk -v side="$side" -v c0="$c0" -v c1="$c1" -v s0="$s0" -v s1="$s1" -v t0="$t0" -v t1="$t1" \
    -v hz="$(getconf CLK_TCK)" -v hwm="$hwm" 'BEGIN {
    w = t1 - t0
    printf "  %-8s CPU %.1f%% of one core (Wine server %.1f%%), peak resident %.1f MiB\n",
      side, 100 * (c1 - c0) / hz / w, 100 * (s1 - s0) / hz / w, hwm / 1024 }'
  sed -n "s/^tobelyn: first frame.*; \([0-9]* frame intervals.*\)/  $side   \1/p" "$work/$side-play.txt"
}
echo
echo "a match at 60 frames a second, ${seconds} s aiming (16.67 ms a frame; CPU target under 10%):"
measure windows
measure linux
echo "(windows' peak working set is the game's own measure; peak resident includes Wine's code)"

echo
echo "input latency, key press to the first frame showing it (bench/latency.py, 60 presses):"
printf '#!/bin/sh\nexec wine "%s"\n' "$exe" >"$work/wine-game.sh"
chmod +x "$work/wine-game.sh"
for side in windows linux; do
  game="$linux"
  [ "$side" = windows ] && game="$work/wine-game.sh"
  printf '  %-8s %s\n' "$side" "$("$root/bench/latency.py" "$game" 60 2>&1 | tail -1)"
  # A game left behind by a failed measure would be found by the next one.
  for id in $(xdotool search --name '^Tobelyn$' 2>/dev/null); do wmctrl -i -c "$id" || true; done
  sleep 2
done
echo
echo "the match again, Windows in full screen 1024x768 with fit mode (F11, F10: 576x768):"
measure windows "F11 F10"
echo "load average at the end: $(load)"
