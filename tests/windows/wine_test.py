#!/usr/bin/python3
# The Windows builds under Wine, on a private X server with a window manager:
#   1. the headless test build's unit tests (tobelyn_tests.exe), Wine started
#      once for the whole binary; among them the landing hash, pinned to the
#      Linux build's value;
#   2. the golden-frame scripts run by the Windows tobelyn-replay.exe, every
#      frame compared pixel for pixel with the Linux tobelyn-replay's; two
#      computer seats playing a match out with the same book and CSV;
#   3. the real tobelyn.exe driven with xdotool: the title against the
#      headless frame, taps on the option screen (also through the letterbox
#      of a resized window, where a click on the bars does nothing), a key
#      redefined, a clean exit, the value read back with `wine reg query`
#      under HKEY_CURRENT_USER and seen again at the next start, a second
#      start that brings the first forward and exits with 0, and eight starts
#      at once that leave one game whose changed setting survives its exit;
#   4. the window's modes: F11 and Alt+Enter to full screen over the monitor
#      and back (never a key of the game, not even while the option screen
#      waits for one), F10 to fit mode, and the size, place and mode seen
#      again at the next start; at 125%, 150% and 200% scaling a first
#      window at a whole scale that fits;
#   5. the installer: a silent install into the prefix, the installed game
#      showing its title, a silent install and uninstall refused (exit 2, a
#      message, nothing changed) while it runs, and a silent uninstall that
#      removes every file it installed and leaves the settings; then its
#      pages, the version in their title, clicked through with Enter, the
#      last one's "Run Tobelyn" starting the installed game;
#   6. names outside the ANSI code page: %APPDATA% under a CJK user folder
#      holding the host file and the book across two starts, --records,
#      --export to a Cyrillic folder and file name, and --export - to a full
#      device or a closed pipe failing;
#   7. two computer seats, set in %APPDATA%\Tobelyn\host under a Cyrillic
#      user folder, playing a "301" match out in the real game: the summary
#      card over the end screen, the book in %APPDATA%\Tobelyn\book, and
#      tobelyn.exe --records (its standard output) and --export to a CJK
#      folder and file name read back;
#   8. a seat's assists (tests/assists_match.py): seat 1 set to half pace
#      with auto-continue on the Players page, its announcement left by
#      itself, its gauge still working when at full pace it would be over,
#      and both kept in the host file;
#   9. match codes (tests/windows/codes_cases.py): tobelyn.exe --watch CODE,
#      and a second start with another code reaching the running game.
#
#     wine_test.py [--only CASE,...] WINDOWS_BUILD_DIR LINUX_REPLAY
#
# --only runs some of the cases, named as in CASES, in a fresh prefix.
#
# WINDOWS_BUILD_DIR holds tobelyn.exe, tobelyn-setup.exe, tobelyn_tests.exe
# and tobelyn-replay.exe. Every run makes its own Wine prefix in a temporary
# folder (the seats' match a second one beside it), kept with its
# screenshots when TOBELYN_KEEP_WORK is set. A missing
# tool skips the test (exit 77), except where CI=true: there it fails.
import base64, glob, json, os, re, subprocess, sys, time

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from harness import (Beside, Failure, H, Image, ImageChops, ImageGrab, Session, W, WINDOW_NAME, X_PACKAGES,
                     X_TOOLS, logger, missing, not_run, replay_frames, run)
import assists_match, host_games_ends, seats_match
import codes_cases

TOOLS = ["wine", "wineserver"] + X_TOOLS + ["xwininfo", "xlogo"]
SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SETTINGS_KEY = r"HKCU\Software\Qen\Tobelyn"

# Reference frames, made headless by the Linux tobelyn-replay. The clock
# steps 16 ms a pass; 14 passes clear the 200 ms input gap.
STEP = "run 14;"
REF_SCRIPT = ("clock 100000;" + STEP + "shot title.png;"
              + ("key 0x28;" + STEP) + "key 0x0D;wait 0;wait 2;" + STEP + "shot option.png;"
              + "tap 20 260;run 1;shot option_panel.png;key 0x58;" + STEP
              + "shot option_c88.png")
# The host's menu over the title, called up by F1.
REF_MENU = "host on;clock 100000;" + STEP + "key 112;run 2;shot menu.png"
# The host's X01 from the menu's Play...: its page, then Play (one player).
REF_X01 = ("host on;clock 100000;" + STEP + "key 112;run 2;key 0x28;run 1;key 0x0D;run 2;"
           "key 0x0D;run 2;shot x01_page.png;" + "key 0x28;run 1;" * 5 + "key 0x0D;run 3;"
           "shot x01_announce.png")


# Two computer seats play "301" out headless, leaving a book and its CSV.
CPU_SCRIPT = ("host on\nseat 1 cpu 5\nseat 2 cpu 4\nseed 11\nclock 100000\n"
              "run 14\nkey 0x0D\nwait 0\nrun 14\nkey 0x0D\nwait 0\nrun 14\nkey 0x28\n"
              "run 14\nkey 0x0D\nwait 0\nrun 14\nkey 0x0D\nwait 0\nwait 14 400000\n")
# User folders and file names the ANSI code page cannot spell.
CYRILLIC = "\u0420\u043e\u043c\u0430\u043d"   # a user name
CYRILLIC_FILE = "\u0444\u0430\u0439\u043b.csv"
CJK = "\u5c71\u7530\u592a\u90ce"                # a user name
CJK_FOLDER = "\u8a18\u9332"
CJK_FILE = "\u30c0\u30fc\u30c4.csv"


log = logger("windows")


class Wine(Session):
    # user: the name of the prefix's user, whose folder holds %APPDATA%.
    def __init__(self, build, replay, work, cases, log=log, user=CJK):
        super().__init__(work, log)
        self.build, self.replay, self.cases = build, replay, cases
        self.seats = None
        self.exe = os.path.join(build, "tobelyn.exe")
        # Wine reads the command line's names as UTF-8 only in a UTF-8 locale.
        self.env.update(WINEPREFIX=os.path.join(work, "prefix"), WINEDEBUG="-all",
                        LANG="C.UTF-8", LC_ALL="C.UTF-8", USER=user, LOGNAME=user,
                        # No Mono or Gecko installer dialogs (there is no
                        # network), no desktop menu entries.
                        WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")

    def make_prefix(self):
        began = time.time()
        result = subprocess.run(["wine", "wineboot", "-i"], env=self.env, capture_output=True,
                                text=True, timeout=300)
        if result.returncode != 0:
            raise Failure("the Wine prefix was not made: " + result.stderr[-2000:])
        # No debugger on a crash: a crashing program just ends, with its
        # exception code, so that the crash fails the test.
        self.quiet("wine", "reg", "delete", r"HKLM\Software\Microsoft\Windows NT\CurrentVersion"
                   r"\AeDebug", "/v", "Debugger", "/f")
        # One Wine server for every program of the run.
        self.spawn(["wineserver", "-p"])
        self.log("ok: Wine prefix made in %.1f s" % (time.time() - began))

    # --- 1. Unit tests.

    def unit_tests(self):
        began = time.time()
        # The test runner keeps its files in %TEMP%, which it reads narrow:
        # under the prefix's CJK user folder it would be question marks. The
        # tests that need names outside ASCII make them themselves.
        temp = os.path.join(self.work, "unit-temp")
        os.makedirs(temp)
        line = "set TEMP=%s&& set TMP=%s&& %s" % (windows_path(temp), windows_path(temp),
                                                  windows_path(os.path.join(self.build,
                                                                            "tobelyn_tests.exe")))
        result = subprocess.run(["wine", "cmd", "/c", line], env=self.env, capture_output=True,
                                text=True, timeout=600, cwd=self.work)
        output = result.stdout.replace("\r", "")
        with open(os.path.join(self.work, "unit.txt"), "w") as f:
            f.write(output + result.stderr)
        summary = [l for l in output.splitlines() if l.startswith("[==========]")]
        if result.returncode != 0:
            failed = [l for l in output.splitlines() if l.startswith("[  FAILED  ]")]
            raise Failure("unit tests under Wine ended with %d:\n%s\n%s"
                          % (result.returncode, "\n".join(failed), result.stderr[-2000:]))
        if "[       OK ] Landings.EveryLandingAndTheGaugeArcHashAsRecorded" not in output:
            raise Failure("the landing hash test did not run under Wine")
        log("ok: unit tests under Wine, %s (%.1f s)" % (summary[-1][13:] if summary else "?",
                                                        time.time() - began))
        log("ok: the landings and the gauge arc hash as on Linux")

    # --- 2. Golden frames.

    def golden_frames(self):
        began = time.time()
        frames = 0
        for script in sorted(glob.glob(os.path.join(SOURCE, "tests", "golden", "golden_*.txt"))):
            name = os.path.basename(script)
            shots = {}
            for side, argv in (("linux", [self.replay, script]),
                               ("windows", ["wine", os.path.join(self.build,
                                                                 "tobelyn-replay.exe"), script])):
                folder = os.path.join(self.work, "golden", side, name)
                os.makedirs(folder)
                result = subprocess.run(argv, cwd=folder, env=self.env, capture_output=True,
                                        text=True, timeout=300)
                if result.returncode != 0:
                    raise Failure("%s replay of %s ended with %d: %s"
                                  % (side, name, result.returncode, result.stderr[-2000:]))
                shots[side] = sorted(f for f in os.listdir(folder) if f.endswith(".png"))
            if not shots["linux"] or shots["linux"] != shots["windows"]:
                raise Failure("%s: frames saved differ: %s" % (name, shots))
            for png in shots["linux"]:
                a, b = (Image.open(os.path.join(self.work, "golden", side, name, png))
                        .convert("RGB") for side in ("linux", "windows"))
                if a.size != b.size or ImageChops.difference(a, b).getbbox() is not None:
                    raise Failure("%s: frame %s differs between Linux and Windows (kept in %s)"
                                  % (name, png, self.work))
                frames += 1
        log("ok: %d golden frames of the Windows replay equal Linux's (%.1f s)"
            % (frames, time.time() - began))

    # --- 2b. Computer seats and the player book.

    def cpu_match_book(self):
        # Two computer seats play "301" out by themselves; the Windows runner
        # must throw the same darts and keep the same book and CSV as Linux's.
        script = CPU_SCRIPT
        kept = {}
        for side, runner in (("linux", [self.replay]),
                             ("windows", ["wine", os.path.join(self.build, "tobelyn-replay.exe")])):
            folder = os.path.join(self.work, "cpu", side)
            os.makedirs(folder)
            with open(os.path.join(folder, "cpu.txt"), "w") as f:
                f.write(script)
            result = subprocess.run(runner + ["--data", ".", "--export", "out.csv", "cpu.txt"],
                                    cwd=folder, env=self.env, capture_output=True, text=True,
                                    timeout=300)
            if result.returncode != 0:
                raise Failure("%s replay of the CPU match ended with %d: %s"
                              % (side, result.returncode, result.stderr[-2000:]))
            kept[side] = [open(os.path.join(folder, name), "rb").read()
                          for name in ("book", "out.csv")]
        if not kept["linux"][1].count(b"\n") > 10 or kept["linux"] != kept["windows"]:
            raise Failure("the CPU match's book or CSV differs between Linux and Windows")
        log("ok: two CPU seats play the same match, book and CSV as on Linux")

    # --- 2c. Match codes: a match cut off and kept by the Linux runner is
    # resumed by the Windows one, and the finished match watched again.

    def codes_resume_watch(self):
        cut = CPU_SCRIPT.replace("wait 14 400000\n", "run 1500\n")
        resume = "host on\nclock 100000\nrun 10\nhost resume\nwait 12 400000\ndump\n"
        runners = (("linux", [self.replay]),
                   ("windows", ["wine", os.path.join(self.build, "tobelyn-replay.exe")]))
        dumps = {}
        for side, runner in runners:
            folder = os.path.join(self.work, "codes", side)
            os.makedirs(folder)
            for name, text in (("cut.txt", cut), ("resume.txt", resume)):
                with open(os.path.join(folder, name), "w") as f:
                    f.write(text)
            # The cut by Linux's runner on both sides: the kept file is the
            # same text on every platform.
            subprocess.run([self.replay, "--registry", ".", "cut.txt"], cwd=folder,
                           env=self.env, capture_output=True, timeout=300, check=True)
            if not open(os.path.join(folder, "match")).read().strip():
                raise Failure("no match was kept by the cut-off run")
            result = subprocess.run(runner + ["--registry", ".", "resume.txt"], cwd=folder,
                                    env=self.env, capture_output=True, text=True, timeout=300)
            lines = [l for l in result.stdout.splitlines() if l.startswith('{"pass"')]
            if result.returncode != 0 or not lines:
                raise Failure("%s resume ended with %d: %s" % (side, result.returncode,
                                                               result.stderr[-2000:]))
            dumps[side] = json.loads(lines[-1])["host"]["code"]
        if dumps["linux"] != dumps["windows"]:
            raise Failure("the resumed match ends differently on Windows")
        # C on the summary card (the host's card up) of the match cut and
        # resumed again: the rematch, the seats moved round, kept from its
        # first dart.
        folder = os.path.join(self.work, "codes", "windows")
        subprocess.run([self.replay, "--registry", ".", "cut.txt"], cwd=folder,
                       env=self.env, capture_output=True, timeout=300, check=True)
        with open(os.path.join(folder, "rematch.txt"), "w") as f:
            f.write(resume.replace("host on\n", "host summary\n") +
                    "wait 14 400000\nrun 20\nkey 0x43\nrun 1500\ndump\n")
        result = subprocess.run(runners[1][1] + ["--registry", ".", "rematch.txt"], cwd=folder,
                                env=self.env, capture_output=True, text=True, timeout=300)
        lines = [l for l in result.stdout.splitlines() if l.startswith('{"pass"')]
        rematch = json.loads(lines[-1])["host"]["code"] if lines else ""
        if not rematch or code_seats(rematch) != list(reversed(code_seats(dumps["linux"]))):
            raise Failure("C on the card did not start the rematch on Windows: %s then %s (%s)"
                          % (code_seats(dumps["linux"]), code_seats(rematch) if rematch else "",
                             result.stderr[-2000:]))
        log("ok: C on the summary card starts the rematch on Windows, seats %s"
            % code_seats(rematch))
        folder = os.path.join(self.work, "codes", "windows")
        with open(os.path.join(folder, "watch.txt"), "w") as f:
            f.write("host on\nclock 100000\nrun 10\nhost watch %s\nwait 12 400000\ndump\n"
                    % dumps["linux"])
        result = subprocess.run(runners[1][1] + ["watch.txt"], cwd=folder, env=self.env,
                                capture_output=True, text=True, timeout=300)
        lines = [l for l in result.stdout.splitlines() if l.startswith('{"pass"')]
        if not lines or json.loads(lines[-1])["host"]["code"] != dumps["linux"]:
            raise Failure("the watched match lands other darts on Windows: %s"
                          % result.stderr[-2000:])
        log("ok: a match kept on Linux resumes on Windows to the same end, and watched again "
            "lands every dart the same (%d letters)" % len(dumps["linux"]))

    # --- 3. The real game.

    def make_refs(self):
        self.refs = replay_frames(self.replay, os.path.join(self.work, "refs"),
                                  {"refs.txt": REF_SCRIPT, "menu.txt": REF_MENU,
                                   "x01.txt": REF_X01})

    def start_game(self, label):
        if "title" not in self.refs:  # a case run alone (--only)
            self.make_refs()
        self.launch(["wine", self.exe], label, seconds=60, TOBELYN_FRAME_STATS="1",
                    TOBELYN_TRACE="1")
        self.activate()
        self.drawn()

    def leave_option(self):
        self.key("Escape")
        self.check("title", "Escape leaves the option screen for the title")

    def registry_value(self, name):
        text = self.out("wine", "reg", "query", SETTINGS_KEY, "/v", name, timeout=60).replace("\r", "")
        for line in text.splitlines():
            parts = line.split()
            if len(parts) == 3 and parts[0] == name:
                return parts[1], parts[2]
        return None

    def game(self):
        self.make_refs()
        log("run 1: title, option screen by taps, a redefinition, QUIT")
        # The menu has been opened before: the title shows no hint to open it.
        folder = os.path.join(self.user_folder("AppData", "Roaming"), "Tobelyn")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "host"), "w") as f:
            f.write("menuOpened 1\n")
        self.start_game("run1")
        self.check("title", "title screen")
        self.key("F1")
        self.check("menu", "F1 lays the host's menu over the title")
        self.key("F1")
        self.check("title", "F1 again closes it")
        # The host's X01: Play..., X01, its page; down to Play and A.
        self.key("F1")
        for name in ("Down", "Return", "Return"):
            self.key(name)
        self.check("x01_page", "Play..., X01: the game's page with its options")
        for name in ("Down",) * 5 + ("Return",):
            self.key(name)
        # The rows above the strip: the game's hints (on here) sit over it.
        self.check("x01_announce", "Play starts X01 at its first announcement", rows=(0, 240))
        # Back to the title: Quit... (Up from Resume), Quit to title, Yes.
        self.key("F1")
        for name in ("Up", "Return", "Return", "Up", "Return"):
            self.key(name)
        self.check("title", "Quit to title leaves the host's game for the title")
        self.tap(200, 150)          # OPTION
        self.check("option", "a tap on OPTION opens the option screen")
        self.tap(20, 260)           # BUTTON C
        self.check("option_panel", "a tap on the BUTTON C row asks for a key")
        self.key("x")
        self.check("option_c88", "X becomes BUTTON C (088)")
        self.leave_option()
        self.check("title", "Escape leaves the option screen")
        for name in ("Down", "Down", "Down", "Return"):  # QUIT
            self.key(name)
        self.ended("QUIT", seconds=30)
        value = self.registry_value("ButtonC")
        if value != ("REG_BINARY", "5800"):
            raise Failure("ButtonC under %s is %s, not REG_BINARY 5800" % (SETTINGS_KEY, value))
        log("ok: wine reg query %s /v ButtonC gives REG_BINARY 5800" % SETTINGS_KEY)

        log("run 2: the redefinition kept, the letterbox, a second start, a close")
        self.start_game("run2")
        self.check("title", "title screen at the next start")
        # A window wider than the picture: bars left and right.
        _, _, w, h, scale, _, _ = self.layout()
        self.quiet("xdotool", "windowsize", "--sync", self.window, str(w + 3 * W // 2), str(h))
        self.wait_for(lambda: self.layout()[5] >= 20, 10, "bars beside the picture")
        _, _, w2, _, scale2, ox, oy = self.layout()
        if ox < 20:
            raise Failure("no letterbox bars after widening the window to %d" % w2)
        self.check("title", "title letterboxed in a widened window")
        self.click(ox // 2, oy + 150 * scale2)  # the bar beside OPTION
        time.sleep(0.4)
        self.check("title", "a click on the bar beside OPTION does nothing")
        self.tap(200, 150)
        self.check("option_c88", "BUTTON C is still 088 after a restart (tap through the bars)")
        self.leave_option()
        before = len(open(self.errors_path).read())
        other = self.focus_elsewhere()
        # Wine takes the focus change in its own time: the game must have
        # been told it is inactive before the second start, or bringing it
        # forward changes nothing it could see.
        self.wait_for(lambda: "message 0x0006 wParam 0x0 " in open(self.errors_path).read()[before:],
                      10, "the game to be deactivated")
        seen = len(open(self.errors_path).read())
        second = subprocess.run(["wine", self.exe], env=self.env, capture_output=True,
                                timeout=60)
        if second.returncode != 0:
            raise Failure("the second start ended with %d" % second.returncode)
        # The running game is made the foreground window: its window
        # procedure is told it is active again (WM_ACTIVATE, WA_ACTIVE).
        activated = "message 0x0006 wParam 0x1 "
        self.wait_for(lambda: activated in open(self.errors_path).read()[seen:], 10,
                      "the running game to be activated by the second start")
        if self.proc.poll() is not None:
            raise Failure("the first game ended when the second started")
        log("ok: a second start exits with 0 and makes the running game the foreground window")
        # Wine 8 does not ask the X window manager to focus a window another
        # process brought forward; newer Wine and Windows itself do.
        try:
            self.wait_for(lambda: self.active_window() == self.window, 2, "the X focus")
            moved = True
        except Failure:
            moved = False
        if moved:
            log("note: the X focus moved to the game too")
        else:
            log("note: the X focus stayed where it was (Wine 8 does not pass an activation "
                "by another process on to the window manager)")
        other.terminate()
        self.activate()
        self.close()
        self.ended("a close request (wmctrl -c)", seconds=30)
        stats = [l for l in open(self.errors_path).read().splitlines()
                 if "first frame" in l]
        if stats:
            log("figures of run 2: " + stats[-1])
        self.starts_at_once()

    def starts_at_once(self):
        log("run 3: eight starts at once, one game; a setting changed in it is kept")
        logs = [open(os.path.join(self.work, "start%d.stderr" % i), "w") for i in range(8)]
        starts = [subprocess.Popen(["wine", self.exe], env=self.env, stdout=f, stderr=f)
                  for f in logs]
        self.procs.extend(starts)
        # Every start but one ends by itself, each within its 2 s wait for
        # the game's window (Wine itself is slow to start eight programs).
        deadline = time.time() + 60
        while time.time() < deadline and sum(p.poll() is None for p in starts) > 1:
            time.sleep(0.2)
        running = [i for i, p in enumerate(starts) if p.poll() is None]
        codes = [p.returncode for p in starts if p.poll() is not None]
        if len(running) != 1:
            raise Failure("%d of the eight starts still run after 60 s" % len(running))
        if codes != [0] * 7:
            raise Failure("the other starts ended with %s, not 0" % codes)
        self.proc, self.errors_path = starts[running[0]], logs[running[0]].name
        windows = self.out("xdotool", "search", "--onlyvisible", "--name", WINDOW_NAME).split()
        if len(windows) != 1:
            raise Failure("%d game windows after eight starts" % len(windows))
        self.window = windows[0]
        log("ok: one game runs; the seven other starts ended with 0")
        self.activate()
        self.drawn()
        self.check("title", "title screen of the one game")
        self.tap(200, 150)
        self.check("option_c88", "the option screen")
        self.tap(20, 260)
        self.key("c")
        self.check("option", "C becomes BUTTON C again (067)")
        self.leave_option()
        self.close()
        self.ended("a close request (wmctrl -c) of the one game", seconds=30)
        value = self.registry_value("ButtonC")
        if value != ("REG_BINARY", "4300"):
            raise Failure("ButtonC under %s is %s after the one game's exit, not REG_BINARY "
                          "4300" % (SETTINGS_KEY, value))
        log("ok: the setting changed in the one game survived its exit")

    # --- 4. The window's modes.

    def lit_box(self):
        # The part of the window that is not black: the picture.
        x, y, w, h = self.geometry()
        shot = ImageGrab.grab(bbox=(x, y, x + w, y + h), xdisplay=self.display).convert("RGB")
        self.last_shot = shot
        return shot.point(lambda v: 255 if v > 12 else 0).getbbox()

    def expect_geometry(self, wanted, what):
        got = None

        def same():
            nonlocal got
            got = self.geometry()
            return all(abs(a - b) <= 2 for a, b in zip(got, wanted))
        try:
            self.wait_for(same, 10, what)
        except Failure:
            raise Failure("%s: window at %s, not %s" % (what, got, wanted))
        log("ok: %s (%d,%d %dx%d)" % ((what,) + tuple(got)))

    def window_file(self):
        found = glob.glob(os.path.join(self.env["WINEPREFIX"], "drive_c", "users", "*",
                                       "AppData", "Roaming", "Tobelyn", "window"))
        return open(found[0]).read() if found else None

    def modes(self):
        screen = (0, 0, 1024, 768)
        log("run 3: full screen and back, the keys kept from the game, fit mode")
        self.start_game("run3")
        self.check("title", "title screen")
        framed = self.geometry()
        self.key("F11")
        self.expect_geometry(screen, "F11 makes the window cover the screen")
        self.check("title", "the title whole-scaled in full screen")
        self.key("F11")
        self.expect_geometry(framed, "F11 again gives the window back its size and place")
        self.quiet("xdotool", "key", "alt+Return")
        self.expect_geometry(screen, "Alt+Enter makes the window cover the screen")
        self.quiet("xdotool", "key", "alt+Return")
        self.expect_geometry(framed, "Alt+Enter again restores it")
        self.check("title", "the title after Alt+Enter twice (Enter never reached the game)")
        self.tap(200, 150)          # OPTION
        self.check("option", "the option screen, BUTTON C 067")
        self.tap(20, 260)           # BUTTON C
        self.check("option_panel", "the BUTTON C row waits for a key")
        for name in ("F11", "F11", "F10", "F10"):
            self.key(name)
        self.expect_geometry(framed, "the window framed again")
        self.key("x")
        self.check("option_c88", "the key wait took X, not F10 or F11")
        self.leave_option()
        # A window whose shape leaves room beyond the whole scale.
        self.quiet("xdotool", "windowsize", "--sync", self.window, "600", "700")
        self.wait_for(lambda: all(abs(a - b) <= 40 for a, b in zip(self.geometry()[2:],
                                                                     (600, 700))),
                      10, "the window at 600x700")
        x, y, w, h = self.geometry()
        self.check("title", "the title drawn again, whole-scaled, in the resized window")
        whole = self.lit_box()
        self.key("F10")
        fit = None

        def fitted():
            nonlocal fit
            fit = self.lit_box()
            return fit is not None and fit[3] - fit[1] >= h - 2
        try:
            self.wait_for(fitted, 10, "F10 to fit the picture")
        except Failure:
            pass
        log("picture in %dx%d: %s whole, %s fitted" % (w, h, whole, fit))
        if fit is None or whole is None or fit[3] - fit[1] < h - 2 or fit[3] - fit[1] <= whole[3] - whole[1]:
            self.last_shot.save(os.path.join(self.work, "failed-fit.png"))
            raise Failure("F10: the fitted picture %s does not fill the window's height %d" % (fit, h))
        self.last_shot.save(os.path.join(self.work, "shot-fit.png"))
        log("ok: F10 fits the picture to the window's height")
        placed = self.geometry()
        self.quiet("wmctrl", "-i", "-c", self.window)
        self.ended("a close request in fit mode")
        text = self.window_file()
        if text is None or "fit 1" not in text:
            raise Failure("the window file says %r" % text)
        log("ok: %%APPDATA%%\\Tobelyn\\window written: %s" % text.replace("\n", "; "))

        log("run 4: size, place and fit mode restored; full screen at the close")
        self.start_game("run4")
        self.expect_geometry(placed, "a restart restores the size and place")
        fit = self.lit_box()
        if fit is None or fit[3] - fit[1] < placed[3] - 2:
            raise Failure("fit mode not restored: picture %s" % (fit,))
        log("ok: a restart restores fit mode")
        self.key("F11")
        self.expect_geometry(screen, "full screen again")
        self.quiet("wmctrl", "-i", "-c", self.window)
        self.ended("a close request in full screen")

        log("run 5: full screen restored, and left for the remembered window")
        self.start_game("run5")
        self.expect_geometry(screen, "a restart restores full screen")
        self.key("F11")
        self.expect_geometry(placed, "F11 leaves it for the remembered size and place")
        self.quiet("wmctrl", "-i", "-c", self.window)
        self.ended("a close request")

    def high_dpi(self):
        for dpi, percent in ((120, 125), (144, 150), (192, 200)):
            self.first_start_at(dpi, percent)

    def first_start_at(self, dpi, percent):
        log("a first start at %d%% scaling" % percent)
        saved = glob.glob(os.path.join(self.env["WINEPREFIX"], "drive_c", "users", "*",
                                       "AppData", "Roaming", "Tobelyn", "window"))
        for f in saved:
            os.remove(f)
        self.quiet("wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t",
                   "REG_DWORD", "/d", str(dpi), "/f")
        try:
            self.start_game("dpi%d" % dpi)
            x, y, w, h, scale, ox, oy = self.layout()
            if (w, h) != (W * scale, H * scale) or x < 0 or y < 0 or x + w > 1024 or y + h > 768:
                raise Failure("at %d%%: inside %dx%d at %d,%d" % (percent, w, h, x, y))
            log("ok: at %d%% the first window is %dx%d (%dx) at %d,%d, on the screen"
                % (percent, w, h, scale, x, y))
            self.check("title", "the title at %d%%" % percent)
            self.quiet("wmctrl", "-i", "-c", self.window)
            self.ended("a close request")
        finally:
            self.quiet("wine", "reg", "delete", r"HKCU\Control Panel\Desktop", "/v", "LogPixels",
                       "/f")

    # --- 5. The installer.

    def user_folder(self, *parts):
        found = glob.glob(os.path.join(self.env["WINEPREFIX"], "drive_c", "users", "*", *parts))
        return found[0] if found else None

    def installer(self):
        log("the installer: a silent install, the installed game, a silent uninstall")
        began = time.time()
        result = subprocess.run(["wine", os.path.join(self.build, "tobelyn-setup.exe"), "/S"],
                                env=self.env, capture_output=True, timeout=120)
        folder = self.user_folder("AppData", "Local", "Programs", "Tobelyn")
        installed = sorted(os.listdir(folder)) if folder else []
        if result.returncode != 0 or installed != ["README.txt", "tobelyn.exe", "uninstall.exe"]:
            raise Failure("the installer ended with %d and installed %s"
                          % (result.returncode, installed))
        shortcut = self.user_folder("AppData", "Roaming", "Microsoft", "Windows", "Start Menu",
                                    "Programs", "Tobelyn.lnk")
        uninstall_key = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tobelyn"
        listed = self.out("wine", "reg", "query", uninstall_key, "/v", "DisplayVersion")
        if shortcut is None or "DisplayVersion" not in listed:
            raise Failure("no Start-menu entry (%s) or no entry among the installed programs (%s)"
                          % (shortcut, listed))
        link_key = r"HKCU\Software\Classes\tobelyn\shell\open\command"
        opens = self.out("wine", "reg", "query", link_key, "/ve")
        if "--watch" not in opens or "tobelyn.exe" not in opens:
            raise Failure("tobelyn: links are not registered to the game: %s" % opens)
        log("ok: installed silently in %.1f s: %s, the Start-menu entry and %s"
            % (time.time() - began, ", ".join(installed), listed.split()[-1]))
        self.exe = os.path.join(folder, "tobelyn.exe")
        self.start_game("installed")
        self.check("title", "the installed game starts")
        self.while_running(folder, uninstall_key)
        self.quiet("wmctrl", "-i", "-c", self.window)
        self.ended("a close request")
        subprocess.run(["wine", os.path.join(folder, "uninstall.exe"), "/S"], env=self.env,
                       capture_output=True, timeout=120)
        # The uninstaller runs on from a copy of itself in the temporary folder.
        self.wait_for(lambda: not os.path.exists(folder), 60, "the uninstaller to finish")
        if self.user_folder("AppData", "Roaming", "Microsoft", "Windows", "Start Menu",
                            "Programs", "Tobelyn.lnk"):
            raise Failure("the Start-menu entry is still there after the uninstall")
        if self.quiet("wine", "reg", "query", uninstall_key) == 0:
            raise Failure("the entry among the installed programs is still there")
        if self.quiet("wine", "reg", "query", r"HKCU\Software\Classes\tobelyn") == 0:
            raise Failure("the tobelyn: link type is still registered after the uninstall")
        if self.quiet("wine", "reg", "query", SETTINGS_KEY) != 0 or self.window_file() is None:
            raise Failure("the uninstall took the settings or the window file without being asked")
        log("ok: the silent uninstall removed every installed file, the Start-menu entry and the "
            "programs list entry, and kept the settings")
        self.installer_pages(uninstall_key)

    def installer_pages(self, uninstall_key):
        # The installer as a player meets it: its window's title names the
        # version; Enter presses each page's default button, Install on the
        # folder page, then Finish with "Run Tobelyn" ticked, which starts the
        # installed game. While the files are copied Enter does nothing.
        log("the installer's pages: Install, then Finish with Run Tobelyn ticked")
        if "title" not in self.refs:  # a case run alone (--only)
            self.make_refs()
        setup = self.spawn(["wine", os.path.join(self.build, "tobelyn-setup.exe")])
        setup_window = lambda: self.out("xdotool", "search", "--onlyvisible", "--name",  # noqa: E731
                                        "^Tobelyn .*Setup").split()
        self.wait_for(setup_window, 60, "the installer's window")
        named = self.out("xdotool", "getwindowname", setup_window()[0])
        if not re.match(r"^Tobelyn [0-9]+\.[0-9]+\.[0-9]+ Setup$", named):
            raise Failure("the installer's window is titled %r, without the version" % named)
        games = []

        def started():
            games[:] = self.out("xdotool", "search", "--onlyvisible", "--name",
                                WINDOW_NAME).split()
            if games:
                return True
            shown = setup_window()
            if shown:  # never a key once the installer is gone: it would reach the game
                self.activate(shown[0])
                self.key("Return")
            return False
        self.wait_for(started, 120, "the game started from the installer's last page")
        self.window = games[0]
        self.activate()
        self.drawn()
        self.check("title", "the game started by Run Tobelyn shows its title")
        if setup.wait(timeout=60) != 0:
            raise Failure("the installer ended with %d after Finish" % setup.returncode)
        folder = self.user_folder("AppData", "Local", "Programs", "Tobelyn")
        if folder is None or self.quiet("wine", "reg", "query", uninstall_key) != 0:
            raise Failure("the installer's pages installed no game or no programs entry")
        self.close()
        self.wait_for(lambda: not self.out("xdotool", "search", "--onlyvisible", "--name",
                                           WINDOW_NAME), 30, "the started game to close")
        result = subprocess.run(["wine", os.path.join(folder, "uninstall.exe"), "/S"],
                                env=self.env, capture_output=True, timeout=120)
        self.wait_for(lambda: not os.path.exists(folder), 60, "the uninstaller to finish")
        log("ok: the installer's pages carry the version, Finish with Run Tobelyn starts the "
            "installed game, and it uninstalls again (%d)" % result.returncode)

    def while_running(self, folder, uninstall_key):
        # With the game running, a silent install or uninstall fails with a
        # message and leaves the game, its files and its entries alone. The
        # uninstaller is run in place (_?=) to have its own exit status.
        installed = {name: open(os.path.join(folder, name), "rb").read()
                     for name in ("tobelyn.exe", "README.txt")}
        where = self.out("wine", "winepath", "-w", folder, timeout=60)
        runs = (("a silent install", [os.path.join(self.build, "tobelyn-setup.exe"), "/S"]),
                ("a silent uninstall", [os.path.join(folder, "uninstall.exe"), "/S",
                                        "_?=" + where]))
        for what, argv in runs:
            result = subprocess.run(["wine"] + argv, env=self.env, capture_output=True,
                                    timeout=120)
            said = (result.stdout + result.stderr).decode("utf-8", "replace")
            if result.returncode == 0 or "Tobelyn is running" not in said:
                raise Failure("%s with the game running ended with %d, saying %r"
                              % (what, result.returncode, said[-500:]))
            if self.proc.poll() is not None:
                raise Failure("%s ended the running game" % what)
            kept = {name: open(os.path.join(folder, name), "rb").read()
                    for name in installed if os.path.exists(os.path.join(folder, name))}
            listed = self.quiet("wine", "reg", "query", uninstall_key) == 0
            shortcut = self.user_folder("AppData", "Roaming", "Microsoft", "Windows",
                                        "Start Menu", "Programs", "Tobelyn.lnk")
            if kept != installed or not listed or shortcut is None:
                raise Failure("%s with the game running changed what is installed: files %s, "
                              "programs entry %s, Start-menu entry %s"
                              % (what, sorted(kept), listed, shortcut is not None))
            log("ok: %s with the game running fails with %d and says so; the game, its files "
                "and entries stay" % (what, result.returncode))

    # --- 6. Computer seats in the real game.

    def seats_match(self):
        self.log("two computer seats play a 301 match out in the real game")
        exe = os.path.join(self.build, "tobelyn.exe")  # the installer's may be gone
        # The prefix's user has a Cyrillic name (alone, a CJK one): the host
        # file that seats the computers, the book and the options all live
        # under that user's folder.
        folder = os.path.join(self.user_folder("AppData", "Roaming"), "Tobelyn")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "host"), "w") as f:
            f.write(seats_match.HOST)
        book = os.path.join(folder, "book")
        if os.path.exists(book):
            os.remove(book)
        seats_match.make_refs(self, self.replay)
        self.launch(["wine", exe], "seats", seconds=60)
        self.activate()
        self.drawn()
        began = seats_match.set_up(self)
        seats_match.play_out(self, book, began)
        self.quiet("wmctrl", "-i", "-c", self.window)
        self.ended("a close request after the match")
        records = self.out("wine", exe, "--records", timeout=60)
        # A CJK folder and file name, as the wide command line gives them.
        os.makedirs(os.path.join(self.work, CJK_FOLDER))
        export = os.path.join(self.work, CJK_FOLDER, CJK_FILE)
        result = subprocess.run(["wine", exe, "--export", windows_path(export)], cwd=self.work,
                                env=self.env, capture_output=True, text=True, timeout=60)
        if result.returncode != 0 or not os.path.exists(export):
            raise Failure("tobelyn.exe --export ended with %d: %s"
                          % (result.returncode, (result.stdout + result.stderr)[-2000:]))
        with open(book, encoding="utf-8") as b, open(export, newline="", encoding="utf-8") as f:
            seats_match.check_book(self.log, b.read(), records, f.read())

    def host_games(self):
        # The host's four games chosen by keys from the menu over the title
        # of the real game, each played to its end (tests/host_games_ends.py).
        self.log("the host's four games played to their ends in the real game")
        exe = os.path.join(self.build, "tobelyn.exe")
        folder = os.path.join(self.user_folder("AppData", "Roaming"), "Tobelyn")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "host"), "w") as f:
            f.write(seats_match.HOST)
        book = os.path.join(folder, "book")
        if os.path.exists(book):
            os.remove(book)
        self.launch(["wine", exe], "host-games", seconds=60)
        self.activate()
        self.drawn()
        host_games_ends.play_all(self, book)
        self.quiet("wmctrl", "-i", "-c", self.window)
        self.ended("a close request after the games")

    def speech(self):
        # Speech switched on in the host's file: the game makes its voice
        # through the system's speech API at the first announcement. Wine
        # has no voice to speak with (its SAPI makes no sound here), so what
        # this shows is that the game starts, plays a whole match saying
        # every announcement and ends cleanly with speech on.
        self.log("speech on: two computer seats play a 301 match out")
        folder = os.path.join(self.user_folder("AppData", "Roaming"), "Tobelyn")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "host"), "w") as f:
            f.write(seats_match.HOST + "speech 1\n")
        book = os.path.join(folder, "book")
        if os.path.exists(book):
            os.remove(book)
        if "seats_title" not in self.refs:
            seats_match.make_refs(self, self.replay)
        self.launch(["wine", os.path.join(self.build, "tobelyn.exe")], "speech", seconds=60)
        self.activate()
        self.drawn()
        seats_match.set_up(self)
        # The book is written as the match ends: the match played out (the
        # summary card is the seats' case's to check).
        self.wait_for(lambda: os.path.exists(book), 300, "the match to end with speech on")
        self.quiet("wmctrl", "-i", "-c", self.window)
        self.ended("a close request after the match with speech on")
        with open(os.path.join(folder, "host")) as f:
            if "speech 1" not in f.read():
                raise Failure("the host file lost its speech line")

    # --- 7. Names outside the ANSI code page.

    def wide_paths(self):
        log("a CJK user folder: the host file and the book kept there across restarts, "
            "--records, --export to a Cyrillic name, and failed writes")
        exe = self.exe = os.path.join(self.build, "tobelyn.exe")  # the installer's may be gone
        ref = os.path.join(self.work, "wide-ref")
        os.makedirs(ref)
        with open(os.path.join(ref, "cpu.txt"), "w") as f:
            f.write(CPU_SCRIPT)
        made = subprocess.run([self.replay, "--data", ".", "--export", "out.csv", "cpu.txt"],
                              cwd=ref, env=self.env, capture_output=True, timeout=300)
        if made.returncode != 0:
            raise Failure("the reference book was not made: %r" % made.stderr[-1000:])
        book_text = open(os.path.join(ref, "book"), "rb").read()
        csv_text = open(os.path.join(ref, "out.csv"), "rb").read()
        # The prefix's user has a CJK name: %APPDATA% lies under it.
        folder = os.path.join(self.user_folder("AppData", "Roaming"), "Tobelyn")
        if CJK not in folder:
            raise Failure("the prefix's user folder is %s, not %s's" % (folder, CJK))
        os.makedirs(folder, exist_ok=True)
        book, host = os.path.join(folder, "book"), os.path.join(folder, "host")
        with open(book, "wb") as f:
            f.write(book_text)
        with open(host, "w") as f:
            f.write("volume 3\nseat1Name ROMAN\nmenuOpened 1\n")

        result = subprocess.run(["wine", exe, "--records"], env=self.env,
                                capture_output=True, text=True, timeout=60)
        if result.returncode != 0 or not re.search(r"\n +1\. ", result.stdout):
            raise Failure("--records under %s ended with %d: %r"
                          % (CJK, result.returncode, (result.stdout + result.stderr)[-800:]))
        log("ok: --records reads the book under the CJK user folder")
        os.makedirs(os.path.join(self.work, CYRILLIC))
        export = os.path.join(self.work, CYRILLIC, CYRILLIC_FILE)
        result = subprocess.run(["wine", exe, "--export", windows_path(export)],
                                env=self.env, capture_output=True, text=True, timeout=60)
        written = open(export, "rb").read() if os.path.exists(export) else None
        if result.returncode != 0 or written != csv_text:
            raise Failure("--export to a Cyrillic name ended with %d and wrote %s bytes of "
                          "%d: %r" % (result.returncode, None if written is None else
                                      len(written), len(csv_text), result.stderr[-800:]))
        log("ok: --export writes the whole CSV to a Cyrillic folder and file name")
        self.failed_writes(exe)

        for run in ("wide1", "wide2"):
            self.start_game(run)
            self.check("title", "the game starts with its files under the CJK user folder")
            self.close()
            self.ended("a close request")
        kept = open(host).read()
        if not all(line in kept.splitlines() for line in
                   ("volume 3", "seat1Name ROMAN", "matchesFinished 0")):
            raise Failure("the host file under the CJK user folder was not read and "
                          "written again: %r" % kept)
        if open(book, "rb").read() != book_text:
            raise Failure("the book under the CJK user folder changed without a match")
        log("ok: the host file under the CJK user folder is read and written across two "
            "starts; the book is kept")

    def failed_writes(self, exe):
        # --export - whose output cannot take the CSV ends with an error, as
        # on the desktop: a full device, and a pipe its reader has closed.
        with open("/dev/full", "wb") as full:
            result = subprocess.run(["wine", exe, "--export", "-"], env=self.env, stdout=full,
                                    stderr=subprocess.PIPE, timeout=60)
        said = result.stderr.decode("utf-8", "replace")
        if result.returncode != 1 or "cannot write the standard output" not in said:
            raise Failure("--export - to a full device ended with %d, saying %r"
                          % (result.returncode, said[-500:]))
        r, w = os.pipe()
        os.close(r)
        try:
            result = subprocess.run(["wine", exe, "--export", "-"], env=self.env, stdout=w,
                                    stderr=subprocess.PIPE, timeout=60)
        finally:
            os.close(w)
        if result.returncode == 0:
            raise Failure("--export - to a pipe closed by its reader ended with 0")
        log("ok: --export - to a full device or a closed pipe fails (%d)" % result.returncode)

    # --- 8. A seat's assists.

    def assists(self):
        log("seat 1 at 1/2 pace with auto-continue, set on the Players page")
        exe = os.path.join(self.build, "tobelyn.exe")  # the installer's may be gone
        folder = os.path.join(self.user_folder("AppData", "Roaming"), "Tobelyn")
        os.makedirs(folder, exist_ok=True)
        host = os.path.join(folder, "host")
        with open(host, "w") as f:
            f.write(assists_match.HOST)
        assists_match.make_refs(self, self.replay)
        self.launch(["wine", exe], "assists", seconds=60)
        self.activate()
        self.drawn()
        assists_match.play(self)
        self.quiet("wmctrl", "-i", "-c", self.window)
        self.ended("a close request after the dart")
        assists_match.check_kept(log, host)

    def watch_codes(self):
        codes_cases.watch_codes(self)

    def stop(self):
        if self.seats is not None:
            self.seats.stop()
        super().stop()

    def play(self):
        self.start_x()
        cases, beside = list(self.cases), None
        if "seats_match" in cases and len(cases) > 1:
            # The seats' match takes as long as every other case together:
            # it plays in a prefix and on an X server of its own meanwhile.
            cases.remove("seats_match")
            self.seats = Wine(self.build, self.replay, os.path.join(self.work, "seats"),
                              ["seats_match"], logger("windows (seats' match)"), CYRILLIC)
            beside = Beside(self.seats, "the seats' match")
        self.make_prefix()
        for case in cases:
            getattr(self, case)()
        if beside is not None:
            beside.finish()


CASES = ("unit_tests", "golden_frames", "cpu_match_book", "game", "modes", "high_dpi",
         "installer", "wide_paths", "seats_match", "assists", "codes_resume_watch", "speech",
         "host_games", "watch_codes")


def code_seats(code):
    # The seat names of a match code (host/match_code.h), in throwing order:
    # after the version, the sequence and game varints and the options.
    data = base64.urlsafe_b64decode(code + "=" * (-len(code) % 4))
    at = 1
    for _ in range(2):
        while data[at] & 0x80:
            at += 1
        at += 1
    at += 1 + data[at]
    players = data[at]
    at += 1
    names = []
    for _ in range(players):
        names.append(data[at + 2:at + 2 + data[at + 1]].decode("latin-1"))
        at += 2 + data[at + 1]
    return names


def windows_path(path):
    # A path of this machine as Windows programs under Wine name it.
    return "Z:" + path.replace("/", "\\")


def main():
    args, cases = sys.argv[1:], CASES
    if args[:1] == ["--only"] and len(args) > 1:
        cases, args = args[1].split(","), args[2:]
    if len(args) != 2 or any(case not in CASES for case in cases):
        print("usage: wine_test.py [--only CASE,...] WINDOWS_BUILD_DIR LINUX_REPLAY\n"
              "cases: " + ", ".join(CASES), file=sys.stderr)
        return 2
    build, replay = (os.path.abspath(a) for a in args)
    absent = missing(TOOLS, pillow=True, files=[os.path.join(build, f) for f in (
        "tobelyn.exe", "tobelyn-setup.exe", "tobelyn_tests.exe", "tobelyn-replay.exe")])
    if absent:
        return not_run("windows", absent, "wine wine64 g++-mingw-w64-x86-64-posix nsis " + X_PACKAGES
                       + " python3-pil")
    return run("windows", "wine", lambda work: Wine(build, replay, work, cases), Wine.play)


if __name__ == "__main__":
    sys.exit(main())
