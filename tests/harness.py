#!/usr/bin/python3
# What every test and benchmark that drives a real game window needs, written
# once: a private X session (Xvfb found with -displayfd, openbox, its own HOME,
# XDG_CONFIG_HOME and XDG_RUNTIME_DIR), the game's window found and read,
# keys sent, processes ended and their CPU time read.
#
# Python scripts import it (tests/desktop, tests/windows, tests/resilience,
# bench/latency.py); the shell benchmarks use it from the command line:
#
#     harness.py session [--screen WxHxD] -- COMMAND...   COMMAND in a private X session
#                                                         (TOBELYN_SESSION: its work folder,
#                                                         TOBELYN_XVFB: the X server's pid)
#     harness.py window [SECONDS]                         the game window's id
#     harness.py press KEY [TIMES]                        held 60 ms, 0.6 s apart
#     harness.py close WINDOW PID                         close request, wait for PID
#     harness.py ticks PID                                CPU ticks used so far
import os, shutil, signal, subprocess, sys, tempfile, threading, time

W, H = 240, 320  # the game's display
QUIET = dict(stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
X_TOOLS = ["Xvfb", "openbox", "xdotool", "wmctrl"]
X_PACKAGES = "xvfb openbox xdotool wmctrl x11-utils x11-apps"
WINDOW_NAME = "^Tobelyn$"
SCREEN = "1024x768x24"
SANITIZER_WORDS = ("AddressSanitizer", "runtime error:", "LeakSanitizer")
try:
    from PIL import Image, ImageChops, ImageGrab
except ImportError:
    Image = ImageChops = ImageGrab = None


class Failure(Exception):
    pass


def logger(prefix):
    # A print that names the suite at the start of each line.
    return lambda *args: print(prefix + ":", *args, flush=True)


def missing(tools, pillow=False, files=()):
    # The tools not on PATH, Pillow if asked for and absent, the files absent.
    return ([t for t in tools if shutil.which(t) is None]
            + (["python3-pil"] if pillow and Image is None else [])
            + [f for f in files if not os.path.exists(f)])


def not_run(prefix, absent, packages):
    # The exit code for a test that cannot run here: skipped (77), except on
    # a CI machine, where test.sh installs every tool and a missing one is a
    # fault of the set-up, not a reason to pass.
    ci = os.environ.get("CI") == "true"
    print("%s: %s: missing %s (Debian: %s)" % (prefix, "FAILED" if ci else "SKIPPED",
                                                ", ".join(absent), packages), flush=True)
    return 1 if ci else 77


class ServerEnded(Failure):
    # The private X server did not start, or ended as it started.
    pass


class Session:
    # One private X session, the game running in it (proc, window) and every
    # other process started there. stop() ends them all, the last first.
    def __init__(self, work=None, log=print):
        self.work, self.log, self.procs = work, log, []
        self.display = self.xvfb = self.proc = self.window = None
        self.refs, self.fit = {}, False
        if work is None:  # the session (and home) this process already has
            self.env = dict(os.environ)
            return
        self.env = {k: v for k, v in os.environ.items()
                    if k not in ("WAYLAND_DISPLAY", "SDL_VIDEODRIVER", "SDL_AUDIODRIVER",
                                 "DISPLAY", "PULSE_SERVER") and not k.startswith("WINE")}
        # The player book goes to XDG_DATA_HOME: never the real one.
        for var, name in dict(HOME="home", XDG_CONFIG_HOME="config", XDG_DATA_HOME="data",
                              XDG_RUNTIME_DIR="runtime").items():
            self.env[var] = os.path.join(work, name)
            os.makedirs(self.env[var], mode=0o700, exist_ok=True)
        # X11 and SDL keep a few allocations until exit that are not ours.
        self.env.update(SDL_AUDIODRIVER="dummy", ASAN_OPTIONS="detect_leaks=0")
        self.settings = os.path.join(work, "config", "tobelyn", "settings")
        self.book = os.path.join(work, "data", "tobelyn", "book")

    # --- Processes.

    def spawn(self, argv, env=None, **kw):
        self.procs.append(subprocess.Popen(argv, env=env or self.env, **(kw or QUIET)))
        return self.procs[-1]

    def quiet(self, *argv):
        return subprocess.call(argv, env=self.env, **QUIET)

    def out(self, *argv, timeout=20):
        return subprocess.run(argv, env=self.env, capture_output=True, text=True,
                              timeout=timeout).stdout.strip()

    def wait_for(self, condition, seconds, what):
        # Polls condition until it holds; returns the seconds it took.
        began = time.time()
        while time.time() - began < seconds:
            if condition():
                return time.time() - began
            time.sleep(0.05)
        raise Failure("%s: not within %.0f s" % (what, seconds))

    def launch(self, argv, label, seconds=20, preexec=None, **extra_env):
        # Starts the game, its output in WORK/label.stderr, and waits for its
        # window; fails at once if it ends first. preexec runs in the child
        # before the game (a resource limit, say).
        self.errors_path = os.path.join(self.work, label + ".stderr")
        with open(self.errors_path, "w") as f:
            self.proc = self.spawn(argv, env=dict(self.env, **extra_env), stdout=f, stderr=f,
                                   preexec_fn=preexec)
        self.window = self.find_window(seconds, self.proc)
        return self.proc

    def errors(self):
        with open(self.errors_path, errors="replace") as f:
            return f.read()

    def ended(self, how, seconds=10):
        # The game must end with 0 within the time given, with no sanitizer
        # report in its output.
        since = time.time()
        try:
            code = self.proc.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            raise Failure("the game did not end within %.0f s after %s" % (seconds, how))
        text = self.errors()
        if code != 0:
            raise Failure("the game ended with %d after %s: %s" % (code, how, text[-4000:]))
        if any(word in text for word in SANITIZER_WORDS):
            raise Failure("a sanitizer reported a fault after %s: %s" % (how, text[-4000:]))
        self.log("ok: %s ends the game with 0 (%.2f s)" % (how, time.time() - since))

    def stop(self):
        if "WINEPREFIX" in self.env and os.path.isdir(self.env["WINEPREFIX"]):
            self.quiet("wineserver", "-k")
        for p in reversed(self.procs):
            if p.poll() is None:
                p.send_signal(signal.SIGCONT)  # a stopped process takes no SIGTERM
                p.terminate()
                try:
                    p.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()

    # --- The X server.

    def start_x(self, screen=SCREEN, window_manager=True, tries=3):
        # A private X server (and openbox). Now and then a server that has
        # told its display number ends at once, or openbox cannot open the
        # display at its first try; each is started again, and the server's
        # own words are kept in WORK/xvfb.log.
        for attempt in range(1, tries + 1):
            try:
                self.start_server(screen)
                if window_manager:
                    self.start_window_manager()
                return
            except ServerEnded as e:
                if attempt == tries:
                    raise
                self.log("%s; starting X again" % e)

    def start_server(self, screen):
        r, w = os.pipe()
        with open(os.path.join(self.work, "xvfb.log"), "ab") as xlog:
            self.xvfb = self.spawn(["Xvfb", "-displayfd", str(w), "-screen", "0", screen,
                                    "-nolisten", "tcp"], pass_fds=(w,),
                                   stdout=subprocess.DEVNULL, stderr=xlog)
        os.close(w)
        number, deadline = b"", time.time() + 15
        while not number.endswith(b"\n") and time.time() < deadline:
            chunk = os.read(r, 16)
            if not chunk:
                break
            number += chunk
        os.close(r)
        if not number.strip():
            raise ServerEnded("Xvfb did not start")
        self.display = self.env["DISPLAY"] = ":" + number.decode().strip()

    def start_window_manager(self, seconds=30):
        # A loaded machine takes its time.
        wm = [self.spawn(["openbox"])]

        def running():
            if self.xvfb.poll() is not None:
                raise ServerEnded("Xvfb on %s ended with %d" % (self.display,
                                                                self.xvfb.returncode))
            if wm[0].poll() is not None:
                self.log("openbox ended with %d at start; starting it again" % wm[0].returncode)
                time.sleep(0.5)
                wm[0] = self.spawn(["openbox"])
                return False
            return self.quiet("wmctrl", "-m") == 0
        self.wait_for(running, seconds, "openbox to start")

    # --- The game's window.

    def find_window(self, seconds=20, proc=None):
        # The first visible window of the game's name; fails at once if proc
        # ends while it is awaited.
        found = []

        def shown():
            if proc is not None and proc.poll() is not None:
                raise Failure("the game ended at start with %d" % proc.returncode)
            found[:] = self.out("xdotool", "search", "--onlyvisible", "--name",
                                WINDOW_NAME).split()
            return bool(found)
        took = self.wait_for(shown, seconds, "the game window")
        self.log("the window appeared after %.2f s" % took)
        return found[0]

    def geometry(self):
        # The window's place on the screen and its size.
        info = dict(line.strip().split(":", 1) for line in
                    self.out("xwininfo", "-id", self.window).splitlines() if ":" in line)
        return tuple(int(info[k]) for k in ("Absolute upper-left X", "Absolute upper-left Y",
                                             "Width", "Height"))

    def layout(self):
        # Where the display sits in the window: the window's place, its size,
        # the whole-number scale and the display's offset (the letterbox).
        x, y, w, h = self.geometry()
        scale = min(w // W, h // H)
        if scale < 1:
            raise Failure("window %dx%d smaller than the display" % (w, h))
        return x, y, w, h, scale, (w - W * scale) // 2, (h - H * scale) // 2

    def picture(self):
        # The window's display, one sample from the middle of each scaled
        # pixel (what a nearest-neighbour shrink by a whole factor takes).
        # In fit mode the picture is as tall or as wide as the window.
        x, y, w, h, scale, ox, oy = self.layout()
        vw, vh = W * scale, H * scale
        if self.fit:
            vw, vh = (w, w * H // W) if w * H <= h * W else (h * W // H, h)
            ox, oy = (w - vw) // 2, (h - vh) // 2
        self.last_shot = ImageGrab.grab(bbox=(x + ox, y + oy, x + ox + vw, y + oy + vh),
                                        xdisplay=self.display).convert("RGB")
        return self.last_shot.resize((W, H), Image.NEAREST)

    def check(self, ref, what, rows=(0, H), need=1.0, most=None, tries=20, gap=0.2):
        # Compares the window's rows with a reference frame, each channel
        # within 8 (the backends widen 5-6-5 colours alike or nearly so);
        # tries for a few seconds, gap apart, while a screen fades or moves.
        # With `most`, waits instead until no more than that share is like
        # the reference.
        shares, box = [], (0, rows[0], W, rows[1])
        for _ in range(tries):
            diff = ImageChops.difference(self.picture().crop(box),
                                         self.refs[ref].crop(box)).getdata()
            shares.append(sum(max(p) <= 8 for p in diff) / len(diff))
            if shares[-1] >= need if most is None else shares[-1] <= most:
                self.log("ok: %s (%.2f%% of pixels as %s)" % (what, 100.0 * shares[-1], ref))
                if os.environ.get("TOBELYN_KEEP_WORK"):
                    self.last_shot.save(os.path.join(self.work, "shot-%s.png" % ref))
                time.sleep(0.25 if most is None else 0)  # a screen takes no key for 200 ms
                return
            time.sleep(gap)
        self.last_shot.save(os.path.join(self.work, "failed-%s.png" % ref))
        raise Failure("%s: %.2f%% of pixels as %s at best (window picture kept in %s)"
                      % (what, 100 * (max(shares) if most is None else min(shares)), ref,
                         self.work))

    def drawn(self, seconds=20):
        # Waits until the game's window shows a picture: its first frame is
        # drawn (the window starts black).
        def shown():
            try:
                return self.picture().getbbox() is not None
            except (Failure, OSError, ValueError):  # not yet laid out, or gone a moment
                return False
        self.wait_for(shown, seconds, "the game's first frame")

    def activate(self, window=None):
        self.quiet("xdotool", "windowactivate", "--sync", window or self.window)

    def active_window(self):
        return self.out("xdotool", "getactivewindow")

    def focus_elsewhere(self):
        # Opens another window and gives it the focus; returns its process.
        other = self.spawn(["xlogo"])
        self.wait_for(lambda: self.out("xdotool", "search", "--onlyvisible", "--class", "xlogo"),
                      10, "another window")
        self.activate(self.out("xdotool", "search", "--onlyvisible", "--class",
                               "xlogo").split()[0])
        if self.active_window() == self.window:
            raise Failure("could not move the focus away from the game")
        return other

    def key(self, name, hold=0.1, gap=0.3):
        # Down and up with a pause, so that a game polling the key state
        # once a pass sees it held.
        self.quiet("xdotool", "keydown", name)
        time.sleep(hold)
        self.quiet("xdotool", "keyup", name)
        time.sleep(gap)

    def click(self, wx, wy):
        # A click at a point of the window.
        self.quiet("xdotool", "mousemove", "--window", self.window, str(wx), str(wy),
                   "click", "1")
        time.sleep(0.3)

    def tap(self, x, y):
        # A click on the middle of display pixel (x, y).
        _, _, _, _, scale, ox, oy = self.layout()
        self.click(ox + x * scale + scale // 2, oy + y * scale + scale // 2)

    def close(self, window=None):
        self.quiet("wmctrl", "-i", "-c", window or self.window)


class Beside:
    # A session's play() on a thread of its own, beside the suite's other
    # work in a session (X server, Wine prefix) of its own; finish() waits
    # for it and raises the failure it met.
    def __init__(self, session, what):
        self.session, self.what, self.fault = session, what, None
        self.thread = threading.Thread(target=self.play, daemon=True)
        self.thread.start()

    def play(self):
        try:
            self.session.play()
        except Failure as e:
            self.fault = e

    def finish(self, seconds=400):
        self.thread.join(seconds)
        if self.thread.is_alive():
            raise Failure("%s: still running after %d s" % (self.what, seconds))
        if self.fault is not None:
            raise Failure("%s: %s" % (self.what, self.fault))


def replay_frames(replay, folder, scripts, env=None, options=()):
    # Runs each script (name: text, commands split by ";") through the
    # headless tobelyn-replay in folder, with the runner's options given;
    # returns its shots by name.
    os.makedirs(folder, exist_ok=True)
    for name, text in scripts.items():
        with open(os.path.join(folder, name), "w") as f:
            f.write(text.replace(";", "\n") + "\n")
        result = subprocess.run([replay] + list(options) + [name], cwd=folder, env=env, capture_output=True,
                                text=True, timeout=120)
        if result.returncode != 0:
            raise Failure("reference script %s failed: %s" % (name, result.stderr))
    return {f[:-4]: Image.open(os.path.join(folder, f)).convert("RGB")
            for f in os.listdir(folder) if f.endswith(".png")}


def cpu_ticks(pid):
    # User and system time used so far, in clock ticks; 0 once it has gone.
    try:
        with open("/proc/%d/stat" % pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return int(fields[11]) + int(fields[12])
    except (OSError, IndexError, ValueError):
        return 0


def gone(pid):
    # Ended: no such process, or one only waiting for its parent to reap it.
    try:
        with open("/proc/%d/stat" % pid) as f:
            return f.read().rsplit(")", 1)[1].split()[0] == "Z"
    except (OSError, IndexError):
        return True


def run(prefix, work_name, make, play):
    # Makes a session in a fresh work folder with make(work) and runs
    # play(session); ends its processes, and removes the folder after a pass
    # unless TOBELYN_KEEP_WORK is set. Returns the exit code.
    work = tempfile.mkdtemp(prefix="tobelyn-%s-" % work_name)
    began, code = time.time(), 0
    session = make(work)
    try:
        play(session)
    except Failure as e:
        print("%s: FAILED: %s" % (prefix, e), flush=True)
        code = 1
    finally:
        session.stop()
    if code == 0 and not os.environ.get("TOBELYN_KEEP_WORK"):
        shutil.rmtree(work, ignore_errors=True)
        print("%s: passed in %.1f s" % (prefix, time.time() - began), flush=True)
    else:
        print("%s: files kept in %s" % (prefix, work), flush=True)
    return code


# --- The command line, for the shell benchmarks.

def session_command(argv):
    screen = SCREEN
    if argv[:1] == ["--screen"]:
        screen, argv = argv[1], argv[2:]
    if argv[:1] == ["--"]:
        argv = argv[1:]
    absent = missing(X_TOOLS)
    if absent or not argv:
        print("session: missing %s (Debian: %s)" % (", ".join(absent) or "a command",
                                                    X_PACKAGES), file=sys.stderr)
        return 2
    work = tempfile.mkdtemp(prefix="tobelyn-session-")
    s = Session(work, log=lambda *a: None)
    try:
        s.start_x(screen)
        return subprocess.call(argv, env=dict(s.env, TOBELYN_SESSION=work,
                                              TOBELYN_XVFB=str(s.xvfb.pid)))
    finally:
        s.stop()
        shutil.rmtree(work, ignore_errors=True)


def main(argv):
    s = Session(log=lambda *a: None)
    what, args = (argv[0], argv[1:]) if argv else ("", [])
    try:
        if what == "session":
            return session_command(args)
        if what == "window":
            print(s.find_window(float(args[0]) if args else 20))
        elif what == "press":
            for _ in range(int(args[1]) if len(args) > 1 else 1):
                s.key(args[0], hold=0.06, gap=0.6)
        elif what == "close":
            s.close(args[0])
            pid = int(args[1])
            s.wait_for(lambda: gone(pid), 20, "the game to end")
        elif what == "ticks":
            print(cpu_ticks(int(args[0])))
        else:
            print("usage: harness.py session|window|press|close|ticks ...", file=sys.stderr)
            return 2
    except Failure as e:
        print("harness: %s" % e, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
