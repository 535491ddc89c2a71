#!/usr/bin/python3
# Match codes opened in the real game, the same on the desktop and on
# Windows: two short matches played by tobelyn-replay give their codes; the
# game started with --watch and the first code plays it again, and a second
# start with --watch and the other code, while the game runs, hands that
# code to the running game (the desktop's single-instance socket, Windows'
# WM_COPYDATA message) and exits. Each watched match is skipped to its end
# from the menu (Play..., Skip to end), and the finished board, its scores
# and the last dart's landing, must be the runner's own frame: the same
# darts landed. The suites supply the session (a tests/harness.py Session)
# and how to start the game.
import json, os, subprocess

from harness import Failure, replay_frames

# No hints, so that frames compare with the game's own.
HOST = "hints 0\nhintsChosen 1\nmenuOpened 1\n"
# Two short matches of one computer seat: Bob's 27 at the weakest level
# (out in its fifth round) and Shanghai. "host play" starts them from the
# title; the dump at the end screen has the match's code.
MATCHES = (("bobs27", 1, 5), ("shanghai", 3, 7))
# What the game shows of each code: the strip under the board at its first
# dart, the menu over the watched match (its panel; the board behind it is
# the first announcement's, or a later step's when the key comes late),
# then the finished board once Skip to end has played the rest unseen.
# F1; Down to Play...; A; A on Skip to end, its only row. The runner's
# commands are separated by ";".
SKIP_KEYS = ("Down", "Return", "Return")
MENU_ROWS = (72, 246)
STRIP_ROWS = (256, 320)


def code_script(game, level, seed):
    return ("host on;seat 1 cpu %d;seed %d;clock 100000;run 14;host play %s 1;"
            "wait 14 400000;dump" % (level, seed, game))


def ref_script(code, n):
    return ("host on;clock 100000;run 14;host watch %s;run 20;shot watch%d_start.png;"
            "key 112;run 2;shot watch%d_menu.png;key 0x28;run 1;key 0x0D;run 2;key 0x0D;"
            "wait 12 400000;run 30;shot watch%d_end.png" % (code, n, n, n))


def make_codes(session, replay, env=None):
    # The two matches' codes, their runs side by side; then the reference
    # frames of each watched.
    folder = os.path.join(session.work, "watch-codes")  # "codes" is the resume case's
    os.makedirs(folder)
    runs = []
    for n, match in enumerate(MATCHES):
        script = os.path.join(folder, "code%d.txt" % n)
        with open(script, "w") as f:
            f.write(code_script(*match).replace(";", "\n") + "\n")
        runs.append(subprocess.Popen([replay, script], cwd=folder, env=env, text=True,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE))
    codes = []
    for (game, _, _), run in zip(MATCHES, runs):
        out, err = run.communicate(timeout=300)
        dumps = [l for l in out.splitlines() if l.startswith('{"pass"')]
        if run.returncode != 0 or not dumps:
            raise Failure("the runner's %s match ended with %d: %s"
                          % (game, run.returncode, err[-2000:]))
        codes.append(json.loads(dumps[-1])["host"]["code"])
    refs = os.path.join(session.work, "refs-watch")
    os.makedirs(refs)
    with open(os.path.join(refs, "host"), "w") as f:
        f.write(HOST)
    session.refs.update(replay_frames(replay, refs, dict(
        ("watch%d.txt" % n, ref_script(code, n)) for n, code in enumerate(codes)), env,
        ("--registry", ".")))
    return codes


def skip_to_end(session, n, what):
    # The watched match's first dart (the strip under the board: its round,
    # try and score), the menu, Skip to end, and the finished board.
    session.check("watch%d_start" % n, "the %s is watched from its first dart" % what,
                  rows=STRIP_ROWS, need=0.99, tries=200, gap=0.05)
    session.key("F1")
    session.check("watch%d_menu" % n, "the menu over the watched %s" % what, rows=MENU_ROWS,
                  need=0.75)
    for key in SKIP_KEYS:
        session.key(key)
    session.check("watch%d_end" % n, "the watched %s skipped to its end lands the runner's "
                  "darts" % what, tries=100, gap=0.1)
    # Back from the finished board is the title; the code's match stays
    # until something else comes.


def watch_both(session, second_start):
    # The game has been started with --watch and the first code. The second
    # code comes through second_start(code), a second start that must end
    # with 0, the running game staying.
    codes = session.codes
    skip_to_end(session, 0, "Bob's 27 of --watch CODE")
    code = second_start(codes[1])
    if code != 0:
        raise Failure("a second start with --watch CODE ended with %d" % code)
    if session.proc.poll() is not None:
        raise Failure("the running game ended when the second start gave it a code")
    session.log("ok: a second start with --watch CODE exits with 0; the game runs on")
    skip_to_end(session, 1, "Shanghai sent to the running game")
