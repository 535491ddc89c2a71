#!/usr/bin/python3
# The desktop game on a private X server with a window manager, played the
# way a person would: keys and mouse clicks sent with xdotool, the window's
# picture read back and compared with the headless program's frame of the
# same state (made by tobelyn-replay from a script below).
#
#     desktop_test.py GAME REPLAY
#
# Exits 77 (skipped) when Xvfb, openbox, xdotool, wmctrl, xwininfo, xlogo, xprop
# or Pillow is missing, 1 when CI=true. Every run uses a private HOME, XDG_CONFIG_HOME and
# XDG_RUNTIME_DIR.
import os, shutil, signal, subprocess, sys, tempfile, time

W, H = 240, 320
TOOLS = ["Xvfb", "openbox", "xdotool", "wmctrl", "xwininfo", "xlogo", "xprop"]
QUIET = dict(stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
try:
    from PIL import Image, ImageChops, ImageGrab
except ImportError:
    Image = None

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


class Failure(Exception):
    pass


def log(*args):
    print("desktop:", *args, flush=True)


class Desktop:
    def __init__(self, game, replay, work):
        self.game, self.replay, self.work = game, replay, work
        self.config = os.path.join(work, "config")
        dirs = dict(HOME="home", XDG_CONFIG_HOME="config", XDG_RUNTIME_DIR="runtime")
        self.env = {k: v for k, v in os.environ.items()
                    if k not in ("WAYLAND_DISPLAY", "SDL_VIDEODRIVER")}
        for var, name in dirs.items():
            self.env[var] = os.path.join(work, name)
            os.makedirs(self.env[var], mode=0o700, exist_ok=True)
        # X11 and SDL keep a few allocations until exit that are not ours.
        self.env.update(SDL_AUDIODRIVER="dummy", ASAN_OPTIONS="detect_leaks=0")
        self.procs, self.refs = [], {}
        self.fit = False
        self.settings = os.path.join(self.config, "tobelyn", "settings")
        # The frames are compared with the game's own: the host's hints are
        # switched off in its file (the menu is still there, on F1).
        os.makedirs(os.path.dirname(self.settings), mode=0o700, exist_ok=True)
        with open(os.path.join(self.config, "tobelyn", "host"), "w") as f:
            f.write("hints 0\nhintsChosen 1\n")

    def spawn(self, argv, **kw):
        self.procs.append(subprocess.Popen(argv, env=self.env, **(kw or QUIET)))
        return self.procs[-1]

    def quiet(self, *argv):
        return subprocess.call(argv, env=self.env, **QUIET)

    def out(self, *argv):
        return subprocess.run(argv, env=self.env, capture_output=True, text=True,
                              timeout=20).stdout.strip()

    def wait_for(self, condition, seconds, what):
        deadline = time.time() + seconds
        while time.time() < deadline:
            if condition():
                return
            time.sleep(0.05)
        raise Failure("timed out waiting for " + what)

    def start_x(self):
        r, w = os.pipe()
        self.spawn(["Xvfb", "-displayfd", str(w), "-screen", "0", "1024x768x24", "-nolisten",
                    "tcp"], pass_fds=(w,), **QUIET)
        os.close(w)
        number, deadline = b"", time.time() + 15
        while not number.endswith(b"\n") and time.time() < deadline:
            chunk = os.read(r, 16)
            if not chunk:
                break
            number += chunk
        os.close(r)
        if not number.strip():
            raise Failure("Xvfb did not start")
        self.display = self.env["DISPLAY"] = ":" + number.decode().strip()
        self.spawn(["openbox"])
        self.wait_for(lambda: self.quiet("wmctrl", "-m") == 0, 30, "openbox to start")

    def make_refs(self):
        folder = os.path.join(self.work, "refs")
        os.makedirs(folder)
        env = {k: v for k, v in self.env.items() if k != "DISPLAY"}
        scripts = dict(("match%d.txt" % g, ref_match(g)) for g in range(4))
        for name, text in list(scripts.items()) + [("menus.txt", REF_MENUS)]:
            with open(os.path.join(folder, name), "w") as f:
                f.write(text.replace(";", "\n") + "\n")
            result = subprocess.run([self.replay, name], cwd=folder, env=env,
                                    capture_output=True, text=True, timeout=120)
            if result.returncode != 0:
                raise Failure("reference script %s failed: %s" % (name, result.stderr))
        for f in os.listdir(folder):
            if f.endswith(".png"):
                self.refs[f[:-4]] = Image.open(os.path.join(folder, f)).convert("RGB")

    def corner(self):
        return self.geometry()[:2]

    def start_game(self, label):
        self.stats_path = os.path.join(self.work, label + ".stderr")
        self.stats = open(self.stats_path, "w")
        self.proc = self.spawn([self.game], stdout=self.stats, stderr=self.stats)
        self.window = None

        def found():
            self.window = (self.out("xdotool", "search", "--onlyvisible", "--name",
                                    "^Tobelyn$").split() or [None])[0]
            return self.window is not None
        self.wait_for(found, 20, "the game window")
        self.activate()
        time.sleep(0.8)

    def fullscreen(self):
        # The window covers the whole 1024x768 screen.
        _, _, w, h = self.geometry()
        return (w, h) == (1024, 768)

    def geometry(self):
        info = dict(line.strip().split(":", 1) for line in
                    self.out("xwininfo", "-id", self.window).splitlines() if ":" in line)
        return tuple(int(info[k]) for k in ("Absolute upper-left X", "Absolute upper-left Y",
                                             "Width", "Height"))

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

    def activate(self):
        self.quiet("xdotool", "windowactivate", "--sync", self.window)

    def layout(self):
        # Where the 240x320 display sits in the window: the window's place,
        # its size, the whole-number scale and the display's offset in it.
        x, y, w, h = self.geometry()
        scale = min(w // W, h // H)
        if scale < 1:
            raise Failure("window %dx%d smaller than the display" % (w, h))
        return x, y, scale, (w - W * scale) // 2, (h - H * scale) // 2

    def picture(self):
        # The window's display, one sample from the middle of each scaled
        # pixel (what a nearest-neighbour shrink by a whole factor takes).
        # In fit mode the picture is as tall or as wide as the window.
        x, y, scale, ox, oy = self.layout()
        vw, vh = W * scale, H * scale
        if self.fit:
            _, _, w, h = self.geometry()
            vw, vh = (w, w * H // W) if w * H <= h * W else (h * W // H, h)
            ox, oy = (w - vw) // 2, (h - vh) // 2
        shot = ImageGrab.grab(bbox=(x + ox, y + oy, x + ox + vw, y + oy + vh),
                              xdisplay=self.display).convert("RGB")
        return shot.resize((W, H), Image.NEAREST)

    def check(self, ref, what, rows=(0, H), need=1.0, most=None):
        # Compares the window's rows with a reference frame, each channel
        # within 8 (the two backends widen 5-6-5 colours alike or nearly so);
        # tries for a few seconds while a screen fades or moves. With `most`,
        # waits instead until no more than that share is like the reference.
        shares = []
        for _ in range(15):
            pic = self.picture()
            box = (0, rows[0], W, rows[1])
            diff = ImageChops.difference(pic.crop(box), self.refs[ref].crop(box)).getdata()
            shares.append(sum(max(p) <= 8 for p in diff) / len(diff))
            if shares[-1] >= need if most is None else shares[-1] <= most:
                log("ok: %s (%.2f%% of pixels as %s)" % (what, 100.0 * shares[-1], ref))
                time.sleep(0.25 if most is None else 0)  # a screen takes no key for 200 ms
                return
            time.sleep(0.2)
        pic.save(os.path.join(self.work, "failed-%s.png" % ref))
        raise Failure("%s: %.2f%% of pixels as %s at best (window picture kept in %s)"
                      % (what, 100 * (max(shares) if most is None else min(shares)), ref, self.work))

    def key(self, name, hold=0.1):
        # Down and up with a pause, so that a game polling the key state
        # once a frame sees it held.
        self.quiet("xdotool", "keydown", name)
        time.sleep(hold)
        self.quiet("xdotool", "keyup", name)
        time.sleep(0.3)

    def tap(self, x, y):
        _, _, scale, ox, oy = self.layout()
        self.quiet("xdotool", "mousemove", "--window", self.window,
                   str(ox + x * scale + scale // 2), str(oy + y * scale + scale // 2), "click", "1")
        time.sleep(0.3)

    def leave_option(self):
        self.key("Escape")
        time.sleep(0.6)

    def ended(self, how):
        try:
            code = self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            raise Failure("the game did not end after " + how)
        self.stats.close()
        if code != 0:
            raise Failure("the game ended with %d after %s: %s"
                          % (code, how, open(self.stats_path).read()))
        log("ok: %s ends the game with 0" % how)

    def close(self):
        self.quiet("wmctrl", "-i", "-c", self.window)
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

    def run(self):
        self.start_x()
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
        for _ in range(3):          # start the gauge, peak, release
            self.key("Return")
        time.sleep(1.0)
        # The result: the full board is back where the gauge was, save the
        # dart's mark, its effect, a pop-up and a caption.
        self.check("board0", "the dart lands and the result shows", rows=(112, 240), need=0.9)
        self.close()
        if not os.path.exists(self.settings):
            raise Failure("no settings file after the first run")

        log("run 2: second start, redefinition kept, Count Up, minimise and restore, Quit game")
        self.start_game("run2")
        other = self.spawn(["xlogo"])
        time.sleep(1.0)
        for logo in self.out("xdotool", "search", "--onlyvisible", "--class", "xlogo").split()[:1]:
            self.quiet("xdotool", "windowactivate", "--sync", logo)
        if self.out("xdotool", "getactivewindow") == self.window:
            raise Failure("could not move the focus away from the game")
        second = subprocess.run([self.game], env=self.env, capture_output=True, timeout=30)
        if second.returncode != 0:
            raise Failure("the second start ended with %d" % second.returncode)
        self.wait_for(lambda: self.out("xdotool", "getactivewindow") == self.window,
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
        time.sleep(1.5)
        if self.proc.poll() is not None:
            raise Failure("minimising ended the game")
        self.quiet("wmctrl", "-i", "-a", self.window)
        self.activate()
        self.check("board1", "restored, the board and the pointer", rows=(16, 240), need=0.97)
        log("ok: minimising pauses the game and restoring resumes it")
        # Aim and start the gauge; the peak and the release then come by
        # themselves (a slow key on a loaded machine cannot land in the
        # wrong step).
        for _ in range(2):
            self.key("Return")
        time.sleep(3.0)
        self.check("board1", "the dart lands after the restore", rows=(112, 240), need=0.9)
        # F1 opens the host's menu over the game; Up wraps to Quit game,
        # whose confirmation starts on No.
        self.key("F1")
        self.check("board1", "F1 lays the menu over the game", rows=(112, 240), most=0.5)
        for name in ("Up", "Return", "Up", "Return"):
            self.key(name)
        self.ended("Quit game in the menu")
        if os.stat(self.settings).st_mtime_ns == before:
            raise Failure("Quit game did not write the settings")

        log("run 3: settings kept over Quit game, High Score, SIGTERM")
        self.start_game("run3")
        # Moved by the player, the window opens at the same place next time.
        self.quiet("xdotool", "windowmove", "--sync", self.window, "40", "30")
        time.sleep(0.5)
        moved_to = self.corner()
        self.tap(200, 150)
        self.check("option_c88_off", "sound off and BUTTON C 088 kept over Quit game")
        self.leave_option()
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
        other = self.spawn(["xlogo"])
        self.wait_for(lambda: self.out("xdotool", "search", "--onlyvisible", "--class", "xlogo"),
                      5, "another window")
        self.activate()
        self.quiet("xdotool", "key", "alt+Tab")
        self.wait_for(lambda: self.out("xdotool", "getactivewindow") != self.window, 5,
                      "Alt+Tab to move the focus away")
        time.sleep(0.5)
        if self.proc.poll() is not None:
            raise Failure("the game ended when Alt+Tab took the focus from full screen")
        self.quiet("xdotool", "key", "alt+Tab")
        self.wait_for(lambda: self.out("xdotool", "getactivewindow") == self.window, 5,
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


def main():
    if len(sys.argv) != 3:
        print("usage: desktop_test.py GAME REPLAY", file=sys.stderr)
        return 2
    missing = [t for t in TOOLS if shutil.which(t) is None] + ([] if Image else ["python3-pil"])
    if missing:
        print("desktop: SKIPPED: missing " + ", ".join(missing) +
              " (Debian: xvfb openbox xdotool wmctrl x11-utils x11-apps python3-pil)")
        # On a CI machine the tools are installed by test.sh: a missing one
        # is a fault of the set-up, not a reason to pass.
        return 1 if os.environ.get("CI") == "true" else 77
    work = tempfile.mkdtemp(prefix="tobelyn-desktop-")
    desktop = Desktop(os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]), work)
    began, code = time.time(), 0
    try:
        desktop.run()
    except Failure as e:
        print("desktop: FAILED: %s" % e, flush=True)
        code = 1
    for p in reversed(desktop.procs):
        if p.poll() is None:
            p.terminate()
            try:
                p.wait(timeout=5)
            except subprocess.TimeoutExpired:
                p.kill()
    if code == 0:
        shutil.rmtree(work, ignore_errors=True)
        log("passed in %.1f s" % (time.time() - began))
    return code


if __name__ == "__main__":
    sys.exit(main())
