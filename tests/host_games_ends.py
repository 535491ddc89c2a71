#!/usr/bin/python3
# Every one of the host's own games, chosen by keys from the menu over the
# title of the real game and played to its end by a computer seat, the
# same on the desktop and on Windows. What shows that a game reached its end
# is the player book: the match's line is written as the match finishes,
# with the game's number. The suites supply the session (a tests/harness.py
# Session with the game started, seats_match.HOST in the host's file) and
# where the book is.
import os, time

from harness import Failure

# The Play... group at the title, in its order, with each game's number in
# the book (the host's games are numbered from 4). Bob's 27 (its fourth, 63
# darts alone, five minutes of the game's own pace) is played to its end in
# the browser's case and by the runner; here the first three.
GAMES = (("X01", 4), ("Cricket", 5), ("Shanghai", 6))
# A seat of computers leaves an end screen after its summary, a few seconds.
LEAVE_END = 9


def book_games(book):
    # The game of each match line of the book, in order.
    if not os.path.exists(book):
        return []
    with open(book, encoding="utf-8") as f:
        return [int(line.split()[3]) for line in f if line.startswith("M ")]


def play_all(session, book, seconds=400):
    for i, (name, number) in enumerate(GAMES):
        began = time.time()
        # The menu (F1), Play..., the game's row, its page; one player (the
        # first seat, a computer): each game alone is the shortest to its
        # end. Up from the page's first row wraps to Play, the last.
        session.key("F1")
        for key in ("Down", "Return") + ("Down",) * i + ("Return",):
            session.key(key)
        if name == "X01":
            # Start (the row under Players) from 501 down to 301, the
            # shorter game; then Up twice, past Players, to Play.
            for key in ("Down", "Left", "Up"):
                session.key(key)
        session.key("Up")
        session.key("Return")
        session.wait_for(lambda: len(book_games(book)) > i, seconds, "%s to its end" % name)
        games = book_games(book)
        if games[i] != number:
            raise Failure("the book's match %d is game %d, not %s's %d"
                          % (i + 1, games[i], name, number))
        session.log("ok: a computer seat plays %s to its end (%.0f s); the book has it"
                    % (name, time.time() - began))
        time.sleep(LEAVE_END)
