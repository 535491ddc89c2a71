#!/usr/bin/python3
# Every one of the host's own games, chosen by keys from the menu over the
# title of the real game and played to its end, the same on the desktop and
# on Windows: X01 and Cricket by a computer seat alone; then, the seats
# changed on the Players page, Shanghai by a person alone and Bob's 27 by a
# person against the weakest computer, the person's keys pressed without
# care. What shows that a game reached its end is the player book: the
# match's line is written as the match finishes, with the game's number and
# its seats' levels. The suites supply the session (a tests/harness.py
# Session with the game started, seats_match.HOST in the host's file, and
# the runner for a reference frame) and where the book is.
import os, time

from harness import Failure, replay_frames
import seats_match

# The Play... group at the title, in its order, with each game's number in
# the book (the host's games are numbered from 4).
GAMES = (("X01", 4), ("Cricket", 5), ("Shanghai", 6), ("Bob's 27", 7))
# The two played by a computer seat (CPU 80) alone.
BY_COMPUTER = 2
# A seat of computers leaves an end screen after its summary, a few seconds.
LEAVE_END = 9
# The Players page (the menu's third row): seat 1 from CPU 80 on round to a
# person, seat 2 from CPU 65 down to CPU 30; B back to the menu, F1 closes it.
PEOPLE_KEYS = (["F1", "Down", "Down", "Return", "Right", "Down"] + ["Left"] * 3
               + ["Escape", "F1"])
# How the people's matches are seated in the book: the seats' levels.
PEOPLE = {"Shanghai": ["0"], "Bob's 27": ["0", "1"]}
# The title with the host's menu known (no hint on it), for a person's
# match left by keys.
REF_TITLE = "host on;clock 100000;run 14;shot games_title.png"


def book_games(book):
    # The game of each match line of the book, in order.
    if not os.path.exists(book):
        return []
    with open(book, encoding="utf-8") as f:
        return [int(line.split()[3]) for line in f if line.startswith("M ")]


def match_line(book, i):
    with open(book, encoding="utf-8") as f:
        return [line.split() for line in f if line.startswith("M ")][i]


def press_a(session):
    # Button A, as a person who throws without care: held 60 ms, the next
    # press after the game's 200 ms gap, one xdotool run. Announcements are
    # left, aims fixed and gauges started at once; the top and the bottom
    # of the gauge throw the dart. A computer's turn takes no key.
    session.quiet("xdotool", "keydown", "Return", "sleep", "0.06", "keyup", "Return", "sleep",
                  "0.17")


def play_all(session, book, seconds=400):
    folder = os.path.join(session.work, "refs-games")
    os.makedirs(folder)
    with open(os.path.join(folder, "host"), "w") as f:
        f.write(seats_match.HOST + "menuOpened 1\n")
    session.refs.update(replay_frames(session.replay, folder, {"title.txt": REF_TITLE}, None,
                                      ("--registry", ".")))
    for i, (name, number) in enumerate(GAMES):
        if i == BY_COMPUTER:
            for key in PEOPLE_KEYS:
                session.key(key)
        began = time.time()
        # The menu (F1), Play..., the game's row, its page; one player (the
        # first seat): each game alone is the shortest to its end, but for
        # Bob's 27, two. Up from the page's first row wraps to Play, the last.
        session.key("F1")
        for key in ("Down", "Return") + ("Down",) * i + ("Return",):
            session.key(key)
        if name == "X01":
            # Start (the row under Players) from 501 down to 301, the
            # shorter game; then Up twice, past Players, to Play.
            for key in ("Down", "Left", "Up"):
                session.key(key)
        players = PEOPLE.get(name, ["5"])
        if len(players) == 2:
            session.key("Right")
        session.key("Up")
        session.key("Return")
        if name in PEOPLE:
            while len(book_games(book)) <= i:
                if time.time() - began > seconds:
                    raise Failure("%s to its end: not within %.0f s" % (name, seconds))
                press_a(session)
        session.wait_for(lambda: len(book_games(book)) > i, seconds, "%s to its end" % name)
        m = match_line(book, i)
        # M id time game players rounds winner; name darts points final
        # finished for each seat; the seed and the seats' levels.
        levels = m[8 + 5 * len(players):8 + 6 * len(players)]
        if m[3:5] != [str(number), str(len(players))] or levels != players:
            raise Failure("the book's match %d is not %s of seats at levels %s: %s"
                          % (i + 1, name, players, m))
        session.log("ok: %s %s to its end (%.0f s, %s darts); the book has it"
                    % ("a computer seat plays" if name not in PEOPLE else
                       "a person plays" if len(players) == 1 else "a person and CPU 30 play", name,
                       time.time() - began, "+".join(m[8 + 5 * k] for k in range(len(players)))))
        if name not in PEOPLE:
            time.sleep(LEAVE_END)
            continue
        # A person leaves the end (its card, then the end screen) by A, one
        # press at a time: at the title A would start a game of its own.
        for tries_left in range(5, -1, -1):
            session.key("Return")
            try:
                session.check("games_title", "A leaves %s's end for the title" % name, tries=5)
                break
            except Failure:
                if not tries_left:
                    raise
