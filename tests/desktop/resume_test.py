#!/usr/bin/python3
# A match cut off by killing the desktop game, resumed at the next start.
# Two computer seats play a "301" match in a private X session; once a few
# darts are kept in the host's "match" file the game is killed (SIGKILL,
# nothing saved on the way out). Started again, the host's menu offers
# "Resume match" under Play...; chosen, the match plays its kept darts back
# unseen and goes on: the file grows with the same seed and the same darts
# first, and the match, once finished, is in the book with its code. C on
# its summary card then starts the rematch, the seats moved round.
#
#     resume_test.py GAME REPLAY
#
# Exits 77 (skipped) when a tool or Pillow is missing, 1 when CI=true.
import base64, os, signal, sys, time

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import Failure, X_PACKAGES, logger, missing, not_run, run
from desktop_test import Desktop, TOOLS
import seats_match

log = logger("desktop (resume)")


def decode(code):
    # The seed and the dart bits of a match code (host/match_code.h): bytes
    # after the seats up to the 4 check bytes.
    data = base64.urlsafe_b64decode(code + "=" * (-len(code) % 4))
    at = 1
    for _ in range(2):  # the sequence and the game, varints
        while data[at] & 0x80:
            at += 1
        at += 1
    at += 1 + data[at]  # the options
    players = data[at]
    at += 1
    for _ in range(players):
        at += 2 + data[at + 1]
    seed = data[at:at + 8]
    at += 8
    count = 0
    shift = 0
    while True:
        count |= (data[at] & 0x7F) << shift
        shift += 7
        at += 1
        if not data[at - 1] & 0x80:
            break
    return seed, count, data[at:-4]


def seats_of(code):
    # The seat names of a match code, in their throwing order.
    data = base64.urlsafe_b64decode(code + "=" * (-len(code) % 4))
    at = 1
    for _ in range(2):
        while data[at] & 0x80:
            at += 1
        at += 1
    at += 1 + data[at]
    names = []
    for _ in range(data[at]):
        names.append(data[at + 3:at + 3 + data[at + 2]].decode("latin-1"))
        at += 2 + data[at + 2]
    return names


class Resume(Desktop):
    def __init__(self, game, replay, work):
        super().__init__(game, replay, work, seats_match.HOST, log)
        self.kept = os.path.join(self.config, "tobelyn", "match")

    def kept_code(self):
        try:
            with open(self.kept) as f:
                return f.read().strip()
        except OSError:
            return ""

    def darts_kept(self):
        code = self.kept_code()
        return decode(code)[1] if code else 0

    def play(self):
        self.start_x()
        seats_match.make_refs(self, self.replay,
                              {k: v for k, v in self.env.items() if k != "DISPLAY"})
        self.launch([self.game], "first")
        self.activate()
        self.drawn()
        seats_match.set_up(self)
        self.wait_for(lambda: self.darts_kept() >= 8, 120, "eight darts kept")
        self.proc.send_signal(signal.SIGKILL)
        self.proc.wait(timeout=10)
        before = self.kept_code()
        seed, count, darts = decode(before)
        log("ok: killed with %d darts kept (%d letters)" % (count, len(before)))
        if os.path.exists(self.book):
            raise Failure("the book was written before the match finished")

        self.launch([self.game], "second")
        self.activate()
        self.drawn()
        self.check("seats_title", "the title at the next start")
        # The menu: Resume, then Play... (listed now: a match is kept), whose
        # first entry is "Resume match".
        self.key("F1")
        self.key("Down")
        self.key("Return")
        self.key("Return")
        self.wait_for(lambda: self.darts_kept() > count, 60, "the resumed match to go on")
        seed2, count2, darts2 = decode(self.kept_code())
        whole = count * 20 // 8
        if seed2 != seed or darts2[:whole] != darts[:whole]:
            raise Failure("the resumed match does not go on from the kept darts")
        log("ok: resumed with the kept %d darts and the same seed; now %d" % (count, count2))
        # Finished, the match is no longer kept; its summary card comes up
        # and stays for seconds before the computers leave it. C on it: the
        # rematch, its seats moved round and a new seed, kept from its first
        # dart.
        self.wait_for(lambda: self.kept_code() == "", 400, "the resumed match to end")
        began = time.time()
        while self.darts_kept() == 0 and time.time() - began < 20:
            self.key("c", gap=0.5)
        self.wait_for(lambda: self.darts_kept() >= 1, 30, "the rematch's first dart")
        rematch = self.kept_code()
        if decode(rematch)[0] == seed or seats_of(rematch) != list(reversed(seats_of(before))):
            raise Failure("C on the card did not start the rematch: %s then %s"
                          % (seats_of(before), seats_of(rematch)))
        log("ok: C on the summary card starts the rematch, seats %s, a new seed"
            % seats_of(rematch))
        self.wait_for(lambda: os.path.exists(self.book), 30, "the book to be written")
        with open(self.book) as f:
            book = f.read()
        if " code=" not in book:
            raise Failure("the finished match's line has no code: %r" % book[:400])
        log("ok: the finished match is in the book with its code")
        self.close()


def main():
    if len(sys.argv) != 3:
        print("usage: resume_test.py GAME REPLAY", file=sys.stderr)
        return 2
    absent = missing(TOOLS, pillow=True)
    if absent:
        return not_run("desktop", absent, X_PACKAGES + " python3-pil")
    game, replay = (os.path.abspath(a) for a in sys.argv[1:])
    return run("desktop (resume)", "desktop-resume", lambda work: Resume(game, replay, work),
               Resume.play)


if __name__ == "__main__":
    sys.exit(main())
