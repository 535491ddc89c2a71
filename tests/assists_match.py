#!/usr/bin/python3
# A seat's assists in the real game, the same on the desktop and on
# Windows: seat 1 set to half pace with auto-continue on the Players page
# by keys, a "301" dart whose announcement auto-continue leaves by itself
# and whose gauge still works when at full pace it would be over, then the
# host file that keeps both settings. The suites supply the session (a
# tests/harness.py Session with the game started at its title and no
# hints in its host file) and the host file's path.
import os, time

from harness import Failure, replay_frames

# The host's file before the run: no hints, so that frames compare with the
# game's own.
HOST = "hints 0\nhintsChosen 1\n"
# Headless references: the set-up screens of a one-player "301", its first
# announcement and the board after it. The clock steps 16 ms a pass; 14
# passes clear the 200 ms input gap. Commands are separated by ";".
STEP = "run 14;"
REF_SCRIPT = ("clock 100000;" + STEP + "shot assist_title.png;"
              + "key 0x0D;wait 0;" + STEP + "shot assist_select.png;"
              + "key 0x0D;wait 0;" + STEP + "shot assist_player.png;"
              + "key 0x0D;wait 0;" + STEP + "shot assist_ready.png;"
              + "key 0x0D;wait 0;run 3;shot assist_announce.png;"
              + "clock 200000;hold 0x0D;run 1;release 0x0D;shot assist_board.png")
# The menu's Players (under Resume and Play... at the title), its
# Assists... row (below Fast CPU), seat 1's pace one step right (1/2) and
# its auto-continue on; Escape goes back to Players and F1 closes the menu.
MENU_KEYS = (["F1", "Down", "Down", "Return"] + ["Down"] * 5
             + ["Return", "Right", "Down", "Return", "Escape", "F1"])


def make_refs(session, replay, env=None):
    # Adds the run's reference frames to the session's.
    folder = os.path.join(session.work, "refs-assists")
    session.refs.update(replay_frames(replay, folder, {"assists.txt": REF_SCRIPT}, env))


def play(session):
    session.check("assist_title", "the title, ready for keys")
    for name in MENU_KEYS:
        session.key(name)
    session.check("assist_title", "the menu closed over the title")
    for ref, what in (("assist_select", "SELECT GAME"), ("assist_player", "SELECT PLAYER"),
                      ("assist_ready", "the ready screen"),
                      ("assist_announce", "the announcement")):
        session.key("Return")
        session.check(ref, what)
    # No key: auto-continue leaves the announcement after about 1.2 s.
    session.check("assist_board", "auto-continue leaves the announcement", rows=(16, 240),
                  need=0.97, tries=40)
    session.key("Return")           # fix the aim
    session.check("assist_board", "the gauge shows", rows=(112, 240), most=0.6)
    started = time.monotonic()
    session.key("Return", gap=0)    # the climb starts; the top and the bottom do the rest
    # At full pace the gauge climbs and falls back in 2.3 s and the dart has
    # landed by 2.9 s; at half pace the gauge is still there at 3.4 s.
    time.sleep(max(0.0, 3.4 - (time.monotonic() - started)))
    session.check("assist_board", "the gauge still works at half pace after 3.4 s",
                  rows=(112, 240), most=0.6, tries=1)
    session.check("assist_board", "the dart lands at half pace", rows=(112, 240), need=0.9,
                  tries=40)


def check_kept(log, host_file):
    # Written as the game closed, after the keys the host had before.
    with open(host_file) as f:
        kept = f.read()
    if "seat1Assist 2\n" not in kept or "seat1AutoContinue 1\n" not in kept:
        raise Failure("the seat's assists were not kept in the host file: %r" % kept)
    log("ok: the host file keeps seat 1's assist and auto-continue")
