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
h() { /usr/bin/python3 "$here/../tests/harness.py" "$@"; }
# The rest runs inside a private X session (tests/harness.py), its own HOME,
# XDG_CONFIG_HOME and XDG_RUNTIME_DIR; the session ends with the script.
[ -n "${TOBELYN_SESSION:-}" ] || exec /usr/bin/python3 "$here/../tests/harness.py" session \
  --screen 1920x1080x24 -- "$0" "$@"

echo "== $(date -u '+%Y-%m-%d %H:%M UTC'), load average $(cut -d' ' -f1-3 /proc/loadavg)"
/usr/bin/python3 "$here/latency.py" "$game" 60

"$game" 2>/dev/null &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
id="$(h window)"
xdotool windowactivate --sync "$id" >/dev/null 2>&1 || true
sleep 0.5
h press Return 5  # START, "301", one player, ready, the announcement
measure() {
  sleep 1
  local t0 c0 t1 c1 size
  c0="$(h ticks "$pid")"; t0="$(date +%s.%N)"
  sleep "$seconds"
  c1="$(h ticks "$pid")"; t1="$(date +%s.%N)"
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
