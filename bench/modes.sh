#!/usr/bin/env bash
# The desktop game's cost in each way of showing the picture, on a private
# 1920x1080 X server with openbox, in a match while the aim pointer moves
# (every frame changes): the window as opened, full screen (F11), full
# screen in fit mode (F10), and the window's input latency (bench/latency.py).
#
#     bench/modes.sh GAME [SECONDS]     GAME: an optimised build of tobelyn
set -euo pipefail
game="$(realpath "${1:?game}")"
seconds="${2:-10}"
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d /tmp/tobelyn-modes.XXXXXX)"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/home" "$work/config" "$work/run"
chmod 700 "$work/run"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"
export SDL_AUDIODRIVER=dummy
unset WAYLAND_DISPLAY SDL_VIDEODRIVER
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
pids+=("$xvfb")
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
openbox >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do wmctrl -m >/dev/null 2>&1 && break; sleep 0.1; done

echo "== $(date -u '+%Y-%m-%d %H:%M UTC'), load average $(cut -d' ' -f1-3 /proc/loadavg)"
/usr/bin/python3 "$here/latency.py" "$game" 60

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
"$game" 2>/dev/null &
pid=$!
pids+=("$pid")
id=""
for _ in $(seq 200); do
  id="$(xdotool search --onlyvisible --name '^Tobelyn$' 2>/dev/null | head -1)" && [ -n "$id" ] && break
  sleep 0.05
done
xdotool windowactivate --sync "$id" >/dev/null 2>&1 || true
sleep 0.5
for _ in 1 2 3 4 5; do  # START, "301", one player, ready, the announcement
  xdotool keydown Return; sleep 0.06; xdotool keyup Return; sleep 0.6
done
measure() {
  sleep 1
  local t0 c0 t1 c1 size
  t0="$(date +%s.%N)"; c0="$(cpu_ticks "$pid")"
  sleep "$seconds"
  t1="$(date +%s.%N)"; c1="$(cpu_ticks "$pid")"
  size="$(xwininfo -id "$id" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')"
  awk -v c0="$c0" -v c1="$c1" -v t0="$t0" -v t1="$t1" -v hz="$(getconf CLK_TCK)" \
    -v rss="$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")" -v what="$1" -v size="$size" 'BEGIN {
    printf "%-34s %-10s CPU %5.1f%% of one core, %5.1f MiB resident\n", what, size,
      100 * (c1 - c0) / hz / (t1 - t0), rss / 1024 }'
}
measure "window (whole-number scale)"
xdotool key F11
measure "full screen (whole-number scale)"
xdotool key F10
measure "full screen, fit (sharp bilinear)"
echo "peak memory over all three: $(awk '/VmHWM/ {printf "%.1f MiB", $2 / 1024}' "/proc/$pid/status")"
echo "load average at the end $(cut -d' ' -f1-3 /proc/loadavg)"
