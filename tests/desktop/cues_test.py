#!/usr/bin/python3
# The desktop game's stereo output with seat 1's sound cues on, recorded by
# SDL's disk audio driver on a private X server: while the pointer slides,
# the host's tone moves between the left and the right channel; with the
# cues off every frame of the output is the same in both channels (the
# game's mono sounds alone, in both ears alike).
#
#     cues_test.py GAME REPLAY
#
# Exits 77 (skipped) when a tool or Pillow is missing, 1 when CI=true.
import array, math, os, sys, time

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from harness import Failure, X_PACKAGES, X_TOOLS, logger, missing, not_run, run
from desktop_test import HOST, Desktop

log = logger("cues")
RATE = 44100
BLOCK = RATE // 50  # 20 ms


def channels(path):
    samples = array.array("h")
    with open(path, "rb") as f:
        samples.frombytes(f.read())
    if sys.byteorder != "little":
        samples.byteswap()
    return samples[0::2], samples[1::2]


def rms(values):
    return math.sqrt(sum(v * v for v in values) / len(values)) if values else 0.0


class Cues(Desktop):
    def __init__(self, game, replay, work):
        super().__init__(game, replay, work, HOST, log)

    def record(self, label, cues):
        log("run %s" % label)
        with open(self.host, "w") as f:
            f.write(HOST + ("seat1Cues 1\n" if cues else ""))
        out = os.path.join(self.work, label + ".raw")
        self.launch([self.game], label, SDL_AUDIODRIVER="disk", SDL_DISKAUDIOFILE=out)
        self.activate()
        self.drawn()
        self.check("title_row0", "the title at start")
        self.to_match(0, '"301"')
        self.key("Return")
        self.check("board0", "A leaves the announcement: the board and the pointer",
                   rows=(16, 240), need=0.97)
        time.sleep(3)  # the pointer slides from side to side
        self.close()
        return channels(out)

    def play(self):
        self.start_x()
        self.make_refs()
        left, right = self.record("cues-off", False)
        if not left:
            raise Failure("the disk driver recorded nothing")
        if not any(left):
            raise Failure("cues off, yet not even the menus' sounds were recorded")
        apart = sum(1 for l, r in zip(left, right) if l != r)
        if apart:
            raise Failure("cues off, yet %d frames differ between the channels" % apart)
        log("ok: cues off, %d frames, both channels alike" % len(left))
        left, right = self.record("cues-on", True)
        sides = {"left": 0, "right": 0}
        for at in range(0, len(left) - BLOCK, BLOCK):
            l, r = rms(left[at:at + BLOCK]), rms(right[at:at + BLOCK])
            if l > 500 and l > 3 * r:
                sides["left"] += 1
            if r > 500 and r > 3 * l:
                sides["right"] += 1
        if not sides["left"] or not sides["right"]:
            raise Failure("the pointer's tone was not heard on both sides: %s" % sides)
        log("ok: cues on, 20 ms blocks mostly on one side: %s" % sides)


def main():
    if len(sys.argv) != 3:
        print("usage: cues_test.py GAME REPLAY", file=sys.stderr)
        return 2
    absent = missing(X_TOOLS + ["xwininfo", "xlogo", "xprop"], pillow=True)
    if absent:
        return not_run("cues", absent, X_PACKAGES + " python3-pil")
    game, replay = (os.path.abspath(a) for a in sys.argv[1:])
    return run("cues", "cues", lambda work: Cues(game, replay, work), Cues.play)


if __name__ == "__main__":
    sys.exit(main())
