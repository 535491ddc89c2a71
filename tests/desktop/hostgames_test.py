#!/usr/bin/python3
# The host's own games on the desktop: X01 (301), Cricket, Shanghai and
# Bob's 27, each chosen by keys from the menu over the title in a private X
# session and played to its end by a computer seat, a person, or both
# (tests/host_games_ends.py).
#
#     hostgames_test.py GAME REPLAY
#
# Exits 77 (skipped) when a tool or Pillow is missing, 1 when CI=true.
import os, sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from harness import X_PACKAGES, logger, missing, not_run, run
from desktop_test import Desktop, TOOLS
import host_games_ends
import seats_match

log = logger("desktop (host games)")


class HostGames(Desktop):
    def __init__(self, game, replay, work):
        super().__init__(game, replay, work, seats_match.HOST, log)

    def play(self):
        self.start_x()
        self.launch([self.game], "games")
        self.activate()
        self.drawn()
        host_games_ends.play_all(self, self.book)
        self.close()


def main():
    if len(sys.argv) != 3:
        print("usage: hostgames_test.py GAME REPLAY", file=sys.stderr)
        return 2
    absent = missing(TOOLS, pillow=True)
    if absent:
        return not_run("desktop", absent, X_PACKAGES + " python3-pil")
    game, replay = (os.path.abspath(a) for a in sys.argv[1:])
    return run("desktop (host games)", "desktop-hostgames",
               lambda work: HostGames(game, replay, work), HostGames.play)


if __name__ == "__main__":
    sys.exit(main())
