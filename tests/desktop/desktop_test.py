#!/usr/bin/python3
# The desktop game on a private X server with a window manager, played the
# way a person would: keys and mouse clicks sent with xdotool, the window's
# picture read back and compared with the headless program's frame of the
# same state (made by tobelyn-replay from a script below). Beside the runs,
# in a second private X session, two computer seats play a "301" match out
# by themselves: the summary card over its end screen, the player book, and
# the book read back with --records and --export.
#
#     desktop_test.py GAME REPLAY
#
# Exits 77 (skipped) when a tool or Pillow is missing, 1 when CI=true. The
# private X session and its helpers are tests/harness.py's.
import os, signal, subprocess, sys, time

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from harness import (Beside, Failure, Session, X_PACKAGES, X_TOOLS, logger, missing, not_run,
                     replay_frames, run)
import assists_match, seats_match

TOOLS = X_TOOLS + ["xwininfo", "xlogo", "xprop"]

# Reference frames, made headless. The clock steps 16 ms a pass; 14 passes
# clear the 200 ms input gap. Commands are separated by ";".
STEP = "run 14;"
REF_MENUS = ("clock 100000;" + STEP + "shot title_row0.png;"
             + "".join("key 0x28;%sshot title_row%d.png;" % (STEP, r) for r in (1, 2, 3))
             + ("key 0x26;" + STEP) * 2 + "key 0x0D;wait 0;wait 2;" + STEP + "shot option.png;"
             + "tap 20 260;run 1;shot option_panel.png;key 0x58;" + STEP + "shot option_c88.png;"
             + "key 0x25;" + STEP + "shot option_c88_off.png")


def ref_match(g):
    # The set-up menus and the first announcement of a one-player match of
    # game g (0 to 3), then the whole board with the pointer after it.
    nxt = "key 0x0D;wait 0;" + STEP
    return ("clock 100000;" + STEP + nxt + ("key 0x28;" + STEP) * g
            + "shot select%d.png;%sshot player%d.png;%sshot ready%d.png;" % (g, nxt, g, nxt, g)
            + "key 0x0D;wait 0;run 3;shot announce%d.png;" % g
            + "clock 200000;hold 0x0D;run 1;release 0x0D;shot board%d.png" % g)


# The host's Cricket from the menu over the title: Play..., Cricket, its
# page; Play, one player: the announcement with the host's marks table.
REF_CRICKET = ("host on;clock 100000;" + STEP + "key 112;run 2;key 0x28;run 1;key 0x0D;run 2;"
               "key 0x28;run 1;key 0x0D;run 2;shot cricket_page.png;"
               "key 0x28;run 1;key 0x0D;run 3;shot cricket_announce.png")


# The frames are compared with the game's own: the host's hints are switched
# off in its file (the menu is still there, on F1).
HOST = "hints 0\nhintsChosen 1\n"


log = logger("desktop")


class Desktop(Session):
    def __init__(self, game, replay, work, host=HOST, log=log):
        super().__init__(work, log)
        self.game, self.replay = game, replay
        self.config = os.path.join(work, "config")
        self.host = os.path.join(self.config, "tobelyn", "host")
        self.seats = None
        os.makedirs(os.path.dirname(self.settings), mode=0o700, exist_ok=True)
        with open(self.host, "w") as f:
            f.write(host)

    def make_refs(self):
        env = {k: v for k, v in self.env.items() if k != "DISPLAY"}
        scripts = dict(("match%d.txt" % g, ref_match(g)) for g in range(4))
        scripts["menus.txt"] = REF_MENUS
        scripts["cricket.txt"] = REF_CRICKET
        self.refs = replay_frames(self.replay, os.path.join(self.work, "refs"), scripts, env)

    def corner(self):
        return self.geometry()[:2]

    def start_game(self, label):
        self.launch([self.game], label)
        self.activate()
        self.drawn()
        # Keys count once the title has come in (the seats' match checks its
        # own title).
        if "title_row0" in self.refs:
            self.check("title_row0", "the title at start")

    def fullscreen(self):
        # The window covers the whole 1024x768 screen.
        _, _, w, h = self.geometry()
        return (w, h) == (1024, 768)

    def check_class(self):
        # Docks match the window with its menu entry by the window's class.
        entry = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "packaging",
                             "linux", "org.tobelyn.Tobelyn.desktop")
        wanted = [l.split("=", 1)[1].strip() for l in open(entry)
                  if l.startswith("StartupWMClass=")]
        got = self.out("xprop", "-id", self.window, "WM_CLASS")
        if not wanted or '"%s"' % wanted[0] not in got:
            raise Failure("window class %s does not match StartupWMClass %s" % (got, wanted))
        log("ok: the window's class matches the menu entry's StartupWMClass (%s)" % wanted[0])

    def leave_option(self):
        self.key("Escape")
        self.check("title_row0", "Escape leaves the option screen for the title")

    def close(self):
        super().close()
        self.ended("a close request (wmctrl -c)")

    def to_match(self, game, title):
        # From the title through the set-up menus to the announcement, by
        # keys, each screen checked before the next key.
        self.key("Return")          # START
        self.check("select0", "START opens SELECT GAME")
        for _ in range(game):
            self.key("Down")
        for ref, what in (("select", "the game chosen"), ("player", "SELECT PLAYER"),
                          ("ready", "the ready screen"), ("announce", title + " announcement")):
            self.check(ref + str(game), what)
            if ref != "announce":
                self.key("Return")  # the game, one player, ready

    def stop(self):
        if self.seats is not None:
            self.seats.stop()
        super().stop()

    def play(self):
        self.start_x()
        # The computer seats' match takes longer than every other run
        # together: it plays in a session of its own meanwhile.
        self.seats = SeatsMatch(self.game, self.replay, os.path.join(self.work, "seats"))
        beside = Beside(self.seats, "the seats' match")
        self.make_refs()

        log("run 1: menus, option screen by taps, a redefinition, a 301 throw")
        self.start_game("run1")
        self.check("title_row0", "title, cursor on START")
        for r in (1, 2, 3):
            self.key("Down")
            self.check("title_row%d" % r, "Down moves the cursor to row %d" % r)
        for _ in range(3):
            self.key("Up")
        self.check("title_row0", "Up three times, back on START")
        self.tap(200, 150)          # OPTION
        self.check("option", "a tap on OPTION opens the option screen")
        self.tap(20, 260)           # BUTTON C
        self.check("option_panel", "a tap on BUTTON C asks for a key")
        # The window keys change the window and never reach the game, not
        # even the option screen's wait for a key (Enter is button A).
        self.key("F11")
        self.wait_for(lambda: self.fullscreen(), 5, "F11 to fill the screen")
        self.check("option_panel", "F11 fills the screen; the panel still waits for a key")
        self.key("alt+Return")
        self.wait_for(lambda: not self.fullscreen(), 5, "Alt+Enter to leave full screen")
        self.check("option_panel", "Alt+Enter leaves full screen; the panel still waits")
        self.key("x")
        self.check("option_c88", "X becomes BUTTON C (088)")
        self.leave_option()
        self.check("title_row0", "Button B leaves the option screen")
        self.to_match(0, '"301"')
        self.key("Return")          # leave the announcement
        self.check("board0", "the board after the announcement", rows=(16, 240), need=0.97)
        self.key("Return")          # fix the aim: the gauge replaces the lower board
        self.check("board0", "the gauge shows", rows=(112, 240), most=0.6)
        for _ in range(2):          # start the gauge, peak
            self.key("Return")
        # The release, made again while a press lost to a loaded machine
        # leaves the gauge waiting. The result: the full board is back where
        # the gauge was, save the dart's mark, its effect, a pop-up and a
        # caption.
        for attempt in range(8):
            self.key("Return")
            try:
                self.check("board0", "the dart lands and the result shows", rows=(112, 240),
                           need=0.9, tries=25)
                break
            except Failure:
                if attempt == 7:
                    raise
        self.close()
        if not os.path.exists(self.settings):
            raise Failure("no settings file after the first run")

        log("run 2: second start, redefinition kept, Count Up, minimise and restore, Quit game")
        self.start_game("run2")
        other = self.focus_elsewhere()
        second = subprocess.run([self.game], env=self.env, capture_output=True, timeout=30)
        if second.returncode != 0:
            raise Failure("the second start ended with %d" % second.returncode)
        self.wait_for(lambda: self.active_window() == self.window,
                      5, "the running game to come forward")
        if self.proc.poll() is not None:
            raise Failure("the first game ended when the second started")
        log("ok: a second start exits with 0 and brings the running game forward")
        other.terminate()
        self.activate()
        self.tap(200, 150)
        self.check("option_c88", "BUTTON C is still 088 after a restart")
        self.key("Left")
        self.check("option_c88_off", "Left switches the sound off")
        self.leave_option()
        before = os.stat(self.settings).st_mtime_ns
        self.to_match(1, '"Count Up"')
        self.key("Return")          # leave the announcement
        # Minimising pauses the match; restored, it goes on where it was.
        self.quiet("xdotool", "windowminimize", self.window)
        self.wait_for(lambda: "IsViewable" not in self.out("xwininfo", "-id", self.window), 10,
                      "the window to be minimised")
        if self.proc.poll() is not None:
            raise Failure("minimising ended the game")
        self.quiet("wmctrl", "-i", "-a", self.window)
        self.activate()
        self.check("board1", "restored, the board and the pointer", rows=(16, 240), need=0.97)
        log("ok: minimising pauses the game and restoring resumes it")
        # Aim and start the gauge; the peak and the release then come by
        # themselves (a slow key on a loaded machine cannot land in the
        # wrong step).
        # A press lost to a loaded machine (the gauge left waiting) is made
        # again; a press more only moves the peak or the release.
        self.key("Return")
        for attempt in range(8):
            self.key("Return")
            try:
                self.check("board1", "the dart lands after the restore", rows=(112, 240),
                           need=0.9, tries=25)
                break
            except Failure:
                if attempt == 7:
                    raise
        # F1 opens the host's menu over the game; Up wraps to "Quit...",
        # where Up wraps to Quit game, whose confirmation starts on No.
        self.key("F1")
        self.check("board1", "F1 lays the menu over the game", rows=(112, 240), most=0.5)
        for name in ("Up", "Return", "Up", "Return", "Up", "Return"):
            self.key(name)
        self.ended("Quit game in the menu")
        if os.stat(self.settings).st_mtime_ns == before:
            raise Failure("Quit game did not write the settings")

        log("run 3: settings kept over Quit game, the menu at the title, High Score, SIGTERM")
        self.start_game("run3")
        # Moved by the player, the window opens at the same place next time.
        placed = self.corner()
        self.quiet("xdotool", "windowmove", "--sync", self.window, "40", "30")
        self.wait_for(lambda: self.corner() != placed, 10, "the window to move")
        moved_to = self.corner()
        self.tap(200, 150)
        self.check("option_c88_off", "sound off and BUTTON C 088 kept over Quit game")
        self.leave_option()
        # The menu over the title, closed with Enter on Resume: the next
        # Enter is the title's again (to_match's first press).
        self.key("F1")
        self.key("Return")
        self.check("title_row0", "Resume with Enter closes the menu over the title")
        # The host's own Cricket from the menu's Play... (third from the
        # end, Up from the first: a match cut off in an earlier run may be
        # kept and listed first), then back to the title by Quit... (Up from
        # Resume), Quit to title, Yes.
        self.key("F1")
        for name in ("Down", "Return", "Up", "Up", "Up", "Return"):
            self.key(name)
        self.check("cricket_page", "Play..., Cricket: the game's page with its rows")
        for name in ("Down", "Return"):
            self.key(name)
        self.check("cricket_announce", "Play starts Cricket: the marks table on the announcement")
        self.key("F1")
        for name in ("Up", "Return", "Return", "Up", "Return"):
            self.key(name)
        self.check("title_row0", "Quit to title leaves the host's game for the title")
        self.to_match(2, '"High Score"')
        self.proc.send_signal(signal.SIGTERM)
        self.ended("SIGTERM")

        log("run 4: Round The Clock in full screen, Alt+Tab away and back")
        self.start_game("run4")
        if self.corner() != moved_to:
            raise Failure("window opened at %s, not where it was left: %s"
                          % (self.corner(), moved_to))
        log("ok: the window opens where it was left, %s" % (moved_to,))
        self.check_class()
        self.to_match(3, '"Round The Clock"')
        self.key("F11")
        self.wait_for(lambda: self.fullscreen(), 5, "F11 to fill the screen")
        self.check("announce3", "the announcement in full screen, scale and bars kept")
        other = self.focus_elsewhere()
        self.activate()
        self.quiet("xdotool", "key", "alt+Tab")
        self.wait_for(lambda: self.active_window() != self.window, 5,
                      "Alt+Tab to move the focus away")
        time.sleep(0.5)
        if self.proc.poll() is not None:
            raise Failure("the game ended when Alt+Tab took the focus from full screen")
        self.quiet("xdotool", "key", "alt+Tab")
        self.wait_for(lambda: self.active_window() == self.window, 5,
                      "Alt+Tab to bring the game back")
        self.wait_for(lambda: self.fullscreen(), 5, "the game to be full screen again")
        self.check("announce3", "after Alt+Tab away and back the match is still there")
        # Fit mode: the picture as tall as the screen, sharp but for blended
        # edges between enlarged pixels.
        self.key("F10")
        self.fit = True
        self.check("announce3", "F10 fits the picture to the screen's height", need=0.9)
        self.key("F10")
        self.fit = False
        self.check("announce3", "F10 again: back to the whole-number scale")
        other.terminate()
        self.close()

        log("run 5: full screen remembered beside the settings")
        self.start_game("run5")
        self.wait_for(lambda: self.fullscreen(), 5, "the remembered full screen")
        self.check("title_row0", "the title in the remembered full screen")
        if not os.path.exists(os.path.join(self.config, "tobelyn", "window")):
            raise Failure("no window file beside the settings")
        if b"window" in open(self.settings, "rb").read().lower():
            raise Failure("the window's state went into the settings file")
        self.key("F11")
        self.wait_for(lambda: not self.fullscreen(), 5, "F11 to leave full screen")
        self.close()

        log("run 6: seat 1 at 1/2 pace with auto-continue, set on the Players page")
        assists_match.make_refs(self, self.replay,
                                {k: v for k, v in self.env.items() if k != "DISPLAY"})
        self.start_game("run6")
        assists_match.play(self)
        self.close()
        assists_match.check_kept(log, self.host)
        beside.finish()


class SeatsMatch(Desktop):
    # The game in a second private X session (its own display, HOME and XDG
    # folders) whose host file seats two computer players: the set-up menus
    # by keys, the seats' match played out, the book read back.
    def __init__(self, game, replay, work):
        super().__init__(game, replay, work, seats_match.HOST, logger("desktop (seats' match)"))

    def play(self):
        self.log("two computer seats play a 301 match out beside the other runs")
        self.start_x()
        seats_match.make_refs(self, self.replay,
                              {k: v for k, v in self.env.items() if k != "DISPLAY"})
        self.start_game("seats")
        seats_match.play_out(self, self.book, seats_match.set_up(self))
        self.close()
        export = os.path.join(self.work, "book.csv")
        result = subprocess.run([self.game, "--export", export], env=self.env,
                                capture_output=True, text=True, timeout=20)
        if result.returncode != 0:
            raise Failure("tobelyn --export ended with %d: %s" % (result.returncode,
                                                                  result.stderr))
        with open(self.book, encoding="utf-8") as book, \
                open(export, newline="", encoding="utf-8") as f:
            seats_match.check_book(self.log, book.read(), self.out(self.game, "--records"),
                                   f.read())


def main():
    if len(sys.argv) != 3:
        print("usage: desktop_test.py GAME REPLAY", file=sys.stderr)
        return 2
    absent = missing(TOOLS, pillow=True)
    if absent:
        return not_run("desktop", absent, X_PACKAGES + " python3-pil")
    game, replay = (os.path.abspath(a) for a in sys.argv[1:])
    return run("desktop", "desktop", lambda work: Desktop(game, replay, work), Desktop.play)


if __name__ == "__main__":
    sys.exit(main())
