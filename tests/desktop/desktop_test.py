#!/usr/bin/python3
"""The desktop game on a private X server with a window manager, played the
way a person would: keys and mouse clicks sent with xdotool, the window's
picture read back and compared with the headless program's frame of the
same state (made by tobelyn-replay from a script below).

    desktop_test.py GAME REPLAY

Exits 77 (skipped) when Xvfb, openbox, xdotool, wmctrl, xwininfo, xlogo or
Pillow is missing. Every run uses a private HOME, XDG_CONFIG_HOME and
XDG_RUNTIME_DIR.
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77
W, H = 240, 320
TOOLS = ["Xvfb", "openbox", "xdotool", "wmctrl", "xwininfo", "xlogo"]

try:
    from PIL import Image, ImageGrab
except ImportError:
    Image = None

# Reference frames, made headless. The clock steps 16 ms a pass; 14 passes
# clear the 200 ms input gap.
REF_MENUS = """
clock 100000
run 14
shot title_row0.png
key 0x28
run 14
shot title_row1.png
key 0x28
run 14
shot title_row2.png
key 0x28
run 14
shot title_row3.png
key 0x26
run 14
key 0x26
run 14
key 0x0D
wait 0
wait 2
run 14
shot option.png
tap 20 260
run 1
shot option_panel.png
key 0x58
run 14
shot option_c88.png
key 0x25
run 14
shot option_c88_off.png
"""


def ref_match(game):
    """The first announcement of a one-player match of GAME (0 to 3)."""
    lines = ["clock 100000", "run 14", "key 0x0D", "wait 0", "run 14"]
    for _ in range(game):
        lines += ["key 0x28", "run 14"]
    lines += ["shot select%d.png" % game, "key 0x0D", "wait 0", "run 14",
              "shot player%d.png" % game, "key 0x0D", "wait 0", "run 14",
              "shot ready%d.png" % game, "key 0x0D", "wait 0", "run 3",
              "shot announce%d.png" % game,
              # Leave the announcement: the whole board with the pointer.
              "clock 200000", "hold 0x0D", "run 1", "release 0x0D",
              "shot board%d.png" % game]
    return "\n".join(lines) + "\n"


class Failure(Exception):
    pass


def log(*args):
    print("desktop:", *args, flush=True)


class Desktop:
    def __init__(self, game, replay, work):
        self.game = game
        self.replay = replay
        self.work = work
        self.env = dict(os.environ)
        home = os.path.join(work, "home")
        self.config = os.path.join(work, "config")
        runtime = os.path.join(work, "runtime")
        for d in (home, self.config, runtime):
            os.makedirs(d, mode=0o700, exist_ok=True)
        self.env.update(HOME=home, XDG_CONFIG_HOME=self.config, XDG_RUNTIME_DIR=runtime)
        self.env.pop("WAYLAND_DISPLAY", None)
        self.env.pop("SDL_VIDEODRIVER", None)
        self.env["SDL_AUDIODRIVER"] = "dummy"
        # X11 and SDL keep a few allocations until exit that are not ours.
        self.env["ASAN_OPTIONS"] = "detect_leaks=0"
        self.procs = []
        self.refs = {}
        self.window = None
        self.proc = None

    # --- X server and tools.

    def start_x(self):
        r, w = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", "1024x768x24",
                                 "-nolisten", "tcp"], pass_fds=(w,), env=self.env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        self.procs.append(xvfb)
        number = b""
        deadline = time.time() + 15
        while not number.endswith(b"\n") and time.time() < deadline:
            chunk = os.read(r, 16)
            if not chunk:
                break
            number += chunk
        os.close(r)
        if not number.strip():
            raise Failure("Xvfb did not start")
        self.display = ":" + number.decode().strip()
        self.env["DISPLAY"] = self.display
        self.procs.append(subprocess.Popen(["openbox"], env=self.env,
                                           stdout=subprocess.DEVNULL,
                                           stderr=subprocess.DEVNULL))
        self.wait_for(lambda: self.quiet(["wmctrl", "-m"]) == 0, 10, "openbox to start")

    def quiet(self, argv):
        return subprocess.call(argv, env=self.env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)

    def out(self, argv):
        return subprocess.run(argv, env=self.env, capture_output=True, text=True,
                              timeout=20).stdout

    def wait_for(self, condition, seconds, what):
        deadline = time.time() + seconds
        while time.time() < deadline:
            if condition():
                return
            time.sleep(0.05)
        raise Failure("timed out waiting for " + what)

    # --- Reference frames.

    def make_refs(self):
        folder = os.path.join(self.work, "refs")
        os.makedirs(folder, exist_ok=True)
        scripts = {"menus.txt": REF_MENUS}
        for g in range(4):
            scripts["match%d.txt" % g] = ref_match(g)
        for name, text in scripts.items():
            path = os.path.join(folder, name)
            with open(path, "w") as f:
                f.write(text)
            env = dict(self.env)
            env.pop("DISPLAY", None)
            result = subprocess.run([self.replay, path], cwd=folder, env=env,
                                    capture_output=True, text=True, timeout=120)
            if result.returncode != 0:
                raise Failure("reference script %s failed: %s" % (name, result.stderr))
        for f in os.listdir(folder):
            if f.endswith(".png"):
                self.refs[f[:-4]] = Image.open(os.path.join(folder, f)).convert("RGB")

    # --- The game.

    def start_game(self, label):
        self.stats_path = os.path.join(self.work, label + ".stderr")
        self.stats = open(self.stats_path, "w")
        self.started = time.time()
        self.proc = subprocess.Popen([self.game], env=self.env, stdout=self.stats,
                                     stderr=self.stats)
        self.procs.append(self.proc)
        self.window = None

        def found():
            ids = self.out(["xdotool", "search", "--onlyvisible", "--name", "^Tobelyn$"]).split()
            if ids:
                self.window = ids[0]
            return self.window is not None
        self.wait_for(found, 20, "the game window")
        self.activate()
        time.sleep(0.8)

    def activate(self):
        self.quiet(["xdotool", "windowactivate", "--sync", self.window])

    def geometry(self):
        info = self.out(["xwininfo", "-id", self.window])
        values = {}
        for line in info.splitlines():
            if ":" in line:
                k, _, v = line.partition(":")
                values[k.strip()] = v.strip()
        x = int(values["Absolute upper-left X"])
        y = int(values["Absolute upper-left Y"])
        w = int(values["Width"])
        h = int(values["Height"])
        return x, y, w, h

    def picture(self):
        """The 240x320 picture the window shows, one sample from the middle
        of each scaled pixel."""
        x, y, w, h = self.geometry()
        shot = ImageGrab.grab(bbox=(x, y, x + w, y + h), xdisplay=self.display).convert("RGB")
        scale = min(w // W, h // H)
        if scale < 1:
            raise Failure("window %dx%d smaller than the display" % (w, h))
        ox, oy = (w - W * scale) // 2, (h - H * scale) // 2
        half = scale // 2
        src = shot.load()
        pic = Image.new("RGB", (W, H))
        dst = pic.load()
        for py in range(H):
            for px in range(W):
                dst[px, py] = src[ox + px * scale + half, oy + py * scale + half]
        return pic

    def likeness(self, pic, ref, rows):
        a, b = pic.load(), self.refs[ref].load()
        same = total = 0
        for py in range(rows[0], rows[1]):
            for px in range(W):
                total += 1
                p, q = a[px, py], b[px, py]
                if all(abs(p[i] - q[i]) <= 8 for i in range(3)):
                    same += 1
        return same, total

    def check_unlike(self, ref, what, rows, most, attempts=15):
        """Waits until the window's rows are no longer like the reference's."""
        for _ in range(attempts):
            same, total = self.likeness(self.picture(), ref, rows)
            if same / total <= most:
                log("ok: %s (%.2f%% of pixels as %s)" % (what, 100.0 * same / total, ref))
                return
            time.sleep(0.2)
        raise Failure("%s: the window still looks like %s" % (what, ref))

    def check(self, ref, what, rows=(0, H), need=1.0, attempts=15):
        """Compares the window with a reference frame (within rows, each
        channel within 8, as the two backends widen 5-6-5 colours alike or
        nearly so); tries for a few seconds while a screen fades or moves."""
        best = 0.0
        for _ in range(attempts):
            pic = self.picture()
            same, total = self.likeness(pic, ref, rows)
            best = max(best, same / total)
            if same / total >= need:
                log("ok: %s (%.2f%% of pixels as %s)" % (what, 100.0 * same / total, ref))
                # A screen takes no key in its first 200 ms.
                time.sleep(0.25)
                return
            time.sleep(0.2)
        pic.save(os.path.join(self.work, "failed-%s.png" % ref))
        raise Failure("%s: only %.2f%% of pixels as %s (window picture kept in %s)"
                      % (what, 100 * best, ref, self.work))

    def key(self, name, hold=0.1):
        # Down and up with a pause, so that a game polling the key state
        # once a frame sees it held.
        self.quiet(["xdotool", "keydown", name])
        time.sleep(hold)
        self.quiet(["xdotool", "keyup", name])
        time.sleep(0.3)

    def tap(self, x, y):
        wx, wy, w, h = self.geometry()
        scale = min(w // W, h // H)
        ox, oy = (w - W * scale) // 2, (h - H * scale) // 2
        self.quiet(["xdotool", "mousemove", "--window", self.window,
                    str(ox + x * scale + scale // 2), str(oy + y * scale + scale // 2),
                    "click", "1"])
        time.sleep(0.3)

    def ended(self, seconds, how):
        try:
            code = self.proc.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            raise Failure("the game did not end after " + how)
        self.stats.close()
        if code != 0:
            raise Failure("the game ended with %d after %s: %s"
                          % (code, how, open(self.stats_path).read()))
        log("ok: %s ends the game with 0" % how)

    def to_match(self, game):
        """From the title through the set-up menus, by keys, each screen
        checked before the next key."""
        self.key("Return")          # START
        self.check("select0", "START opens SELECT GAME")
        for _ in range(game):
            self.key("Down")
        self.check("select%d" % game, "the game chosen")
        self.key("Return")
        self.check("player%d" % game, "SELECT PLAYER")
        self.key("Return")          # one player
        self.check("ready%d" % game, "the ready screen")
        self.key("Return")

    def settings_file(self):
        return os.path.join(self.config, "tobelyn", "settings")

    # --- The runs.

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
        self.key("x")
        self.check("option_c88", "X becomes BUTTON C (088)")
        self.key("Escape")
        time.sleep(0.6)
        self.check("title_row0", "Button B leaves the option screen")
        self.to_match(0)
        self.check("announce0", "\"301\" announcement")
        self.key("Return")          # leave the announcement
        self.check("board0", "the board after the announcement", rows=(16, 240), need=0.97)
        self.key("Return")          # fix the aim: the gauge replaces the lower board
        self.check_unlike("board0", "the gauge shows", rows=(112, 240), most=0.6)
        for _ in range(3):          # start the gauge, peak, release
            self.key("Return")
        time.sleep(1.0)
        # The result: the full board is back where the gauge was, save the
        # dart's mark, its effect, a pop-up and a caption.
        self.check("board0", "the dart lands and the result shows", rows=(112, 240), need=0.9)
        self.quiet(["wmctrl", "-i", "-c", self.window])
        self.ended(10, "a close request (wmctrl -c)")
        if not os.path.exists(self.settings_file()):
            raise Failure("no settings file after the first run")

        log("run 2: second start, redefinition kept, Count Up, minimise")
        self.start_game("run2")
        other = subprocess.Popen(["xlogo"], env=self.env, stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL)
        self.procs.append(other)
        time.sleep(1.0)
        logo = self.out(["xdotool", "search", "--onlyvisible", "--class", "xlogo"]).split()
        if logo:
            self.quiet(["xdotool", "windowactivate", "--sync", logo[0]])
        active = self.out(["xdotool", "getactivewindow"]).strip()
        if active == self.window:
            raise Failure("could not move the focus away from the game")
        second = subprocess.run([self.game], env=self.env, capture_output=True, timeout=30)
        if second.returncode != 0:
            raise Failure("the second start ended with %d" % second.returncode)
        self.wait_for(lambda: self.out(["xdotool", "getactivewindow"]).strip() == self.window,
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
        self.key("Escape")
        time.sleep(0.6)
        before = os.stat(self.settings_file()).st_mtime_ns
        self.to_match(1)
        self.check("announce1", "\"Count Up\" announcement")
        self.quiet(["xdotool", "windowminimize", self.window])
        self.ended(10, "minimising")
        if os.stat(self.settings_file()).st_mtime_ns == before:
            raise Failure("minimising did not write the settings")

        log("run 3: settings kept over a minimise, High Score, SIGTERM")
        self.start_game("run3")
        self.tap(200, 150)
        self.check("option_c88_off", "sound off and BUTTON C 088 kept over a minimise")
        self.key("Escape")
        time.sleep(0.6)
        self.to_match(2)
        self.check("announce2", "\"High Score\" announcement")
        self.proc.send_signal(signal.SIGTERM)
        self.ended(10, "SIGTERM")

        log("run 4: Round The Clock")
        self.start_game("run4")
        self.to_match(3)
        self.check("announce3", "\"Round The Clock\" announcement")
        self.quiet(["wmctrl", "-i", "-c", self.window])
        self.ended(10, "a close request (wmctrl -c)")

    def stop(self):
        for p in reversed(self.procs):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    p.kill()


def main():
    if len(sys.argv) != 3:
        print("usage: desktop_test.py GAME REPLAY", file=sys.stderr)
        return 2
    missing = [t for t in TOOLS if shutil.which(t) is None]
    if Image is None:
        missing.append("python3-pil")
    if missing:
        print("desktop: SKIPPED: missing " + ", ".join(missing) +
              " (Debian: xvfb openbox xdotool wmctrl x11-utils x11-apps python3-pil)")
        return SKIP
    work = tempfile.mkdtemp(prefix="tobelyn-desktop-")
    desktop = Desktop(os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]), work)
    began = time.time()
    try:
        desktop.run()
    except Failure as e:
        print("desktop: FAILED: %s" % e, flush=True)
        desktop.stop()
        return 1
    desktop.stop()
    shutil.rmtree(work, ignore_errors=True)
    log("passed in %.1f s" % (time.time() - began))
    return 0


if __name__ == "__main__":
    sys.exit(main())
