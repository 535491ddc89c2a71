#!/usr/bin/python3
# The desktop game with speech switched on in the host's file, on a private
# X server: with no speech service at all it starts and plays a "301" match
# as ever (its frames equal the headless program's); with a stand-in
# `spd-say` on the PATH it says the match's first words through it; with
# speech left off (the default) it says nothing through it.
#
#     speech_test.py GAME REPLAY
#
# Exits 77 (skipped) when a tool or Pillow is missing, 1 when CI=true.
import os, stat, sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from harness import Failure, X_PACKAGES, X_TOOLS, logger, missing, not_run, run
from desktop_test import HOST, Desktop

log = logger("speech")

# A stand-in for speech-dispatcher's command: each line it is given, kept
# (in a file named by its absolute path: the PATH holds nothing else).
FAKE_SPD_SAY = "#!/bin/sh\nprintf '%%s\\n' \"$1\" >>'%s'\n"
FIRST_WORDS = ["301, 1 player", "PLAYER 1, round 1, 301 left"]


class Speech(Desktop):
    def __init__(self, game, replay, work):
        super().__init__(game, replay, work, HOST, log)
        self.nothing = os.path.join(work, "no-speech")  # a PATH with no speech command
        self.fake = os.path.join(work, "fake-speech")
        for folder in (self.nothing, self.fake):
            os.makedirs(folder, exist_ok=True)
        path = os.path.join(self.fake, "spd-say")
        self.said = os.path.join(self.fake, "said.txt")
        with open(path, "w") as f:
            f.write(FAKE_SPD_SAY % self.said)
        os.chmod(path, os.stat(path).st_mode | stat.S_IXUSR)

    def said_lines(self):
        if not os.path.exists(self.said):
            return []
        with open(self.said) as f:
            return f.read().splitlines()

    def run_case(self, label, speech, path, expect_said):
        log("run %s" % label)
        with open(self.host, "w") as f:
            f.write(HOST + ("speech 1\n" if speech else ""))
        if os.path.exists(self.said):
            os.remove(self.said)
        self.launch([self.game], label, PATH=path)
        self.activate()
        self.drawn()
        self.check("title_row0", "the title at start")
        self.to_match(0, '"301"')
        self.key("Return")
        self.check("board0", "A leaves the announcement: the board and the pointer",
                   rows=(16, 240), need=0.97)
        self.key("Return")
        self.check("board0", "A fixes the aim: the gauge shows", rows=(112, 240), most=0.6)
        if expect_said:
            self.wait_for(lambda: self.said_lines()[:2] == FIRST_WORDS, 10,
                          "the stand-in spd-say told %s" % FIRST_WORDS)
            log("ok: speech said %s" % self.said_lines())
        elif self.said_lines():
            raise Failure("speech off, yet spd-say was told %s" % self.said_lines())
        self.close()
        with open(self.host) as f:
            if ("speech 1" in f.read()) != speech:
                raise Failure("the host file lost its speech line")

    def play(self):
        self.start_x()
        self.make_refs()
        self.run_case("speech on, no speech service", True, self.nothing, False)
        self.run_case("speech on, spd-say on the PATH", True, self.fake, True)
        self.run_case("speech off, spd-say on the PATH", False, self.fake, False)


def main():
    if len(sys.argv) != 3:
        print("usage: speech_test.py GAME REPLAY", file=sys.stderr)
        return 2
    absent = missing(X_TOOLS + ["xwininfo", "xlogo", "xprop"], pillow=True)
    if absent:
        return not_run("speech", absent, X_PACKAGES + " python3-pil")
    game, replay = (os.path.abspath(a) for a in sys.argv[1:])
    return run("speech", "speech", lambda work: Speech(game, replay, work), Speech.play)


if __name__ == "__main__":
    sys.exit(main())
