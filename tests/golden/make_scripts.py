#!/usr/bin/env python3
"""Writes the golden-frame replay scripts (golden_*.txt) in this folder.

Each script walks the real program to the screens a player meets and saves
them with `shot NAME.png`; test_golden.cpp compares every shot with the hash
recorded in hashes.txt. Run this only to change the scripts, then look at
the new pictures and record them with record.sh.

Throw geometry used below: the aim pointer starts at 112 and moves 4 pixels
left per pass; the gauge climbs 2 indices per pass from 2 and falls 2 per
pass from peak - 2; the landing row is (141 - peak) * 8 + (50 - release) * 4
and the board centre is (120, 128).
"""
import os

A, DOWN, UP = "0x0D", "0x28", "0x26"
HERE = os.path.dirname(os.path.abspath(__file__))


class Script:
    def __init__(self, comment):
        self.lines = ["# " + c for c in comment.split("\n")]
        self.t = 0

    def add(self, *lines):
        self.lines.extend(lines)

    def key_then_settle(self, vk):
        self.add("key " + vk, "run 14")

    def to_match(self, game, players, shots=()):
        """From the start of the program through the set-up menus into a
        match; the match's first pass (step 0) has run."""
        self.add("clock 100000", "run 14", "key " + A, "wait 0", "run 14")
        for _ in range(game):
            self.key_then_settle(DOWN)
        if "select_game" in shots:
            self.add("shot select_game.png")
        self.add("key " + A, "wait 0", "run 14")
        for _ in range(players - 1):
            self.key_then_settle(DOWN)
        if "select_player" in shots:
            self.add("shot select_player.png")
        self.add("key " + A, "wait 0", "run 14")
        if "ready" in shots:
            self.add("shot ready.png")
        self.add("key " + A, "wait 0")
        # In the match the clock moves only where a line sets it.
        self.t = 200000
        self.add("step 0", "clock %d" % self.t, "run 1")

    def press(self):
        self.t += 201
        self.add("clock %d" % self.t, "hold " + A, "run 1", "release " + A)

    def dart(self, label, aim_runs=0, peak=None, release=None, first=False,
             announce=None, aim_shot=None, climb_shot=None, fall_shot=None,
             result=None, last=False):
        self.add("# " + label)
        if not first:
            self.press()  # between darts: on to the announcement
        if announce:
            self.add("run 1", "shot %s.png" % announce)
        self.press()  # leave the announcement
        if aim_runs:
            self.add("run %d" % aim_runs)
        if aim_shot:
            self.add("shot %s.png" % aim_shot)
        self.press()  # fix the aim
        self.press()  # start the gauge: index 2
        if peak is None:
            self.press()  # peak 2, then the fall runs out: release 0, a miss
        else:
            climb = (peak - 2) // 2
            if climb_shot:
                self.add("run %d" % (climb // 2), "shot %s.png" % climb_shot,
                         "run %d" % (climb - climb // 2))
            else:
                self.add("run %d" % climb)
            self.press()  # peak
            fall = (peak - 2 - release) // 2
            if fall_shot:
                self.add("run %d" % (fall // 2), "shot %s.png" % fall_shot,
                         "run %d" % (fall - fall // 2))
            else:
                self.add("run %d" % fall)
            self.press()  # release
        self.t += 501
        self.add("clock %d" % self.t, "run 1")  # landing
        if result:
            self.add("run 5", "shot %s.png" % result)
        self.add("wait %d" % (12 if last else 11))

    def end_screen(self, name):
        self.press()  # step 12 -> end screen
        self.add("shot %s.png" % name)
        self.press()  # back to the title
        self.add("step 16", "run 2")

    def write(self, name):
        with open(os.path.join(HERE, name), "w") as f:
            f.write("\n".join(self.lines) + "\n")


def miss(s, label, **kw):
    s.dart(label, **kw)


def menus():
    s = Script("Title with the cursor on each row, the confirmation spark, and\n"
               "the three set-up screens (Count Up, two players).")
    s.add("clock 100000", "run 14", "shot title_row0.png")
    for r in (1, 2, 3):
        s.add("key " + DOWN, "run 14", "shot title_row%d.png" % r)
    for _ in range(3):
        s.key_then_settle(UP)
    s.add("key " + A, "run 4", "shot title_confirm.png", "wait 0", "run 14")
    s.key_then_settle(DOWN)
    s.add("shot select_game.png", "key " + A, "wait 0", "run 14")
    s.key_then_settle(DOWN)
    s.add("shot select_player.png", "key " + A, "wait 0", "run 14", "shot ready.png")
    s.write("golden_menus.txt")


def option_about():
    s = Script("Option screen faded in, then with the \"Press The Button\" panel\n"
               "for BUTTON C; left by Button B; then the about screen faded in.")
    s.add("clock 100000", "run 14")
    s.key_then_settle(DOWN)
    s.add("key " + A, "wait 0", "wait 2", "run 14", "shot option.png",
          "tap 20 260", "run 1", "shot option_panel.png",
          "key 0x58", "run 14", "key 0x1B", "wait 0", "run 14")
    s.key_then_settle(DOWN)
    s.key_then_settle(DOWN)
    s.add("key " + A, "wait 0", "wait 2", "run 14", "shot about.png", "key " + A, "wait 0",
          "run 2")
    s.write("golden_option_about.txt")


def game_301():
    s = Script("\"301\", one player: the announcement, aiming, the gauge climbing and\n"
               "falling, then every caption of a normal game and a bust.")
    s.to_match(0, 1)
    # aimX 92, row 96: 37 pixels up-left of the centre, a single 12.
    s.dart("R1 dart 1: single 12", aim_runs=5, peak=126, release=56, first=True,
           announce="announce", aim_shot="aiming", climb_shot="gauge_climb",
           fall_shot="gauge_fall", result="result_single")
    s.dart("R1 dart 2: row 80, triple 20", peak=126, release=60, result="result_triple")
    s.dart("R1 dart 3: row 48, double 20", peak=136, release=48, result="result_double")
    s.dart("R2 dart 1: row 120, outer bull", peak=126, release=50, result="result_singlebull")
    s.dart("R2 dart 2: row 128, bull", peak=126, release=48, result="result_doublebull")
    s.dart("R2 dart 3: miss", result="result_miss")
    s.dart("R3 dart 1: triple 20 leaves 54", peak=126, release=60)
    s.dart("R3 dart 2: triple 20 with 54 left is a bust", peak=126, release=60,
           result="result_bust")
    s.write("golden_301.txt")


def game_clock():
    s = Script("\"Round The Clock\", one player: the announcement with the next\n"
               "target, a bull (Success!) and a miss (Fail...).")
    s.to_match(3, 1)
    s.dart("R1 dart 1: bull", peak=126, release=48, first=True, announce="announce_clock",
           result="result_success")
    s.dart("R1 dart 2: miss", result="result_fail")
    s.write("golden_clock.txt")


def game_countup_win():
    s = Script("\"Count Up\", two players: player 1 throws bulls and wins with the\n"
               "first dart of round 2; player 2's third announcement shows two marks\n"
               "low on the board.")
    s.to_match(1, 2)
    s.dart("R1 P1 dart 1: bull", peak=126, release=48, first=True)
    s.dart("R1 P1 dart 2: bull", peak=126, release=48)
    s.dart("R1 P1 dart 3: bull", peak=126, release=48)
    s.dart("R1 P2 dart 1: row 200 below the centre, single 3", peak=126, release=30)
    s.dart("R1 P2 dart 2: aimX 88, row 200, single 19", aim_runs=6, peak=126, release=30)
    miss(s, "R1 P2 dart 3: miss", announce="announce_marks")
    s.dart("R2 P1 dart 1: bull, 200", peak=126, release=48, last=True)
    s.end_screen("end_win")
    s.write("golden_countup_win.txt")


def game_draw():
    s = Script("\"301\", two players who miss every dart: a draw after ten rounds.")
    s.to_match(0, 2)
    n = 0
    for r in range(1, 11):
        for p in (1, 2):
            for d in (1, 2, 3):
                n += 1
                miss(s, "R%d P%d dart %d: miss" % (r, p, d), first=(n == 1), last=(n == 60))
    s.end_screen("end_draw")
    s.write("golden_draw.txt")


def game_gameover():
    s = Script("\"Count Up\", one player: four bulls win, and one player's match\n"
               "ends on \"GameOver\" alone.")
    s.to_match(1, 1)
    for n in range(1, 5):
        s.dart("dart %d: bull" % n, peak=126, release=48, first=(n == 1), last=(n == 4))
    s.end_screen("end_gameover")
    s.write("golden_gameover.txt")


if __name__ == "__main__":
    menus()
    option_about()
    game_301()
    game_clock()
    game_countup_win()
    game_draw()
    game_gameover()
