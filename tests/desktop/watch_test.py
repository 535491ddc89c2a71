#!/usr/bin/python3
# Match codes opened in the desktop game (tests/codes_watch.py): started
# with --watch CODE, and a second start with --watch and another code while
# it runs, which the running game takes through its single-instance socket.
#
#     watch_test.py GAME REPLAY
#
# Exits 77 (skipped) when a tool or Pillow is missing, 1 when CI=true.
import os, subprocess, sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from harness import X_PACKAGES, logger, missing, not_run, run
from desktop_test import Desktop, TOOLS
import codes_watch

log = logger("desktop (watch)")


class Watch(Desktop):
    def __init__(self, game, replay, work):
        super().__init__(game, replay, work, codes_watch.HOST, log)

    def second_start(self, code):
        return subprocess.run([self.game, "--watch", code], env=self.env, capture_output=True,
                              timeout=30).returncode

    def play(self):
        env = {k: v for k, v in self.env.items() if k != "DISPLAY"}
        self.codes = codes_watch.make_codes(self, self.replay, env)
        self.start_x()
        self.launch([self.game, "--watch", self.codes[0]], "watch")
        self.activate()
        self.drawn()
        codes_watch.watch_both(self, self.second_start)
        self.close()


def main():
    if len(sys.argv) != 3:
        print("usage: watch_test.py GAME REPLAY", file=sys.stderr)
        return 2
    absent = missing(TOOLS, pillow=True)
    if absent:
        return not_run("desktop", absent, X_PACKAGES + " python3-pil")
    game, replay = (os.path.abspath(a) for a in sys.argv[1:])
    return run("desktop (watch)", "desktop-watch", lambda work: Watch(game, replay, work),
               Watch.play)


if __name__ == "__main__":
    sys.exit(main())
