#!/usr/bin/env bash
# The desktop game on a poor machine: no display, no sound device, a
# read-only or missing settings folder. Each case starts the game with a
# clean environment, asks it to close (SIGTERM, as a desktop session would)
# and checks the exit status, the messages and the settings folder.
#
#   degraded.sh CASE GAME
#   CASE: no-display | no-audio | bad-audio | readonly-config | missing-config
# Exit status 77 means the case cannot be tried here (the reason is printed).
set -u
case_name=${1:?case}
game=${2:?game binary}
SKIP=77

skip() { echo "SKIP: $*"; exit "$SKIP"; }
fail() { echo "FAIL: $*"; [ -f "$work/err.txt" ] && sed 's/^/  stderr: /' "$work/err.txt"; exit 1; }

[ -x "$game" ] || skip "no game binary at $game"
command -v timeout >/dev/null || skip "timeout is missing"

work=$(mktemp -d "${TMPDIR:-/tmp}/tobelyn-degraded.XXXXXX")
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/run" "$work/config"
chmod 700 "$work/run"

# System libraries (X11, SDL) may hold memory at exit that is not ours.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
as_user=""
settings="$work/config/tobelyn/settings"

# Runs the game with a display-less, sound-less environment plus the given
# variables, in the background; sets $pid. SDL's dummy video driver stands
# in for a screen nobody looks at.
start_game() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER -u SDL_AUDIODRIVER \
    XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" HOME="$work" "$@" \
    timeout -s KILL 30 $as_user "$game" >"$work/out.txt" 2>"$work/err.txt" &
  pid=$!
}

# Plays the game for two seconds on SDL's dummy drivers (audio driver $1,
# dummy by default), asks it to close (SIGTERM, which timeout passes on) and
# checks it ended with 0 and no sanitizer report.
play_and_close() {
  start_game SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER="${1:-dummy}"
  sleep 2
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid"
    status=$?
    if [ "$status" -eq 0 ] && grep -qi "display" "$work/err.txt"; then
      skip "SDL's dummy video driver is not available: $(cat "$work/err.txt")"
    fi
    fail "the game ended by itself with status $status before it was asked to close"
  fi
  kill -TERM "$pid"
  wait "$pid"
  ended_well $?
}

ended_well() {
  [ "$1" -eq 0 ] || fail "exit status $1 (want 0)"
  ! grep -qE "AddressSanitizer|runtime error:|LeakSanitizer" "$work/err.txt" ||
    fail "a sanitizer reported a fault"
}

case "$case_name" in
  no-display)
    start_game
    wait "$pid"
    ended_well $?
    lines=$(wc -l <"$work/err.txt")
    [ "$lines" -eq 1 ] || fail "want one line of message, got $lines"
    grep -qi "display" "$work/err.txt" || fail "the message does not mention the display"
    message=$(cat "$work/err.txt")
    # Nothing is made, not even with no runtime folder, where the lock and
    # socket would go in the settings folder (the system's libraries may
    # then say more about the missing folder).
    start_game XDG_RUNTIME_DIR=
    wait "$pid"
    ended_well $?
    made=$(cd "$work" && find config run -mindepth 1)
    [ -z "$made" ] || fail "a start with no display left: $made"
    echo "ok: $message"
    ;;
  no-audio | bad-audio)
    driver=dummy
    [ "$case_name" = bad-audio ] && driver=no-such-audio-driver
    play_and_close "$driver"
    [ -s "$settings" ] || fail "no settings written at exit"
    # The socket goes with the game; the lock file stays (removing it could
    # let two starts at that moment both run).
    [ ! -e "$work/run/tobelyn.sock" ] || fail "the socket was left behind"
    [ -f "$work/run/tobelyn.lock" ] || fail "the lock file was removed"
    echo "ok: played and closed with audio driver $driver"
    ;;
  readonly-config)
    # As root, permissions do not stop writes: play as nobody instead.
    if [ "$(id -u)" -eq 0 ]; then
      command -v setpriv >/dev/null || skip "running as root without setpriv"
      as_user="setpriv --reuid=65534 --regid=65534 --clear-groups --"
      chmod 755 "$work"
      chmod 777 "$work/run"
    fi
    mkdir -p "$work/config/tobelyn"
    echo "someone else's file" >"$work/config/tobelyn/notes"
    printf 'not a settings file\n' >"$settings"
    chmod 444 "$settings" "$work/config/tobelyn/notes"
    chmod 555 "$work/config/tobelyn"
    before=$(cd "$work/config/tobelyn" && ls && md5sum notes settings)
    play_and_close
    after=$(cd "$work/config/tobelyn" && ls && md5sum notes settings)
    [ "$before" = "$after" ] || fail "files in the read-only folder changed or appeared"
    echo "ok: played with a read-only settings folder and left it as it was"
    ;;
  missing-config)
    # The settings folder cannot even be made: its parent is a plain file.
    rm -rf "$work/config"
    echo "a file, not a folder" >"$work/config"
    play_and_close
    [ "$(cat "$work/config")" = "a file, not a folder" ] || fail "the file in the way changed"
    echo "ok: played without a settings folder"
    ;;
  *)
    echo "unknown case $case_name"
    exit 2
    ;;
esac
