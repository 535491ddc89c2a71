#!/usr/bin/python3
# wine_test.py's cases for match codes in the real tobelyn.exe
# (tests/codes_watch.py): started with --watch CODE, and a second
# tobelyn.exe --watch with another code while it runs, which reaches the
# running game as a WM_COPYDATA message and ends with 0.
import os, subprocess

import codes_watch


def watch_codes(wine):
    wine.log("match codes: tobelyn.exe --watch CODE, and a second start with another code")
    exe = os.path.join(wine.build, "tobelyn.exe")  # the installer's may be gone
    folder = os.path.join(wine.user_folder("AppData", "Roaming"), "Tobelyn")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "host"), "w") as f:
        f.write(codes_watch.HOST)
    wine.codes = codes_watch.make_codes(wine, wine.replay)

    def second_start(code):
        return subprocess.run(["wine", exe, "--watch", code], env=wine.env, capture_output=True,
                              timeout=60).returncode

    wine.launch(["wine", exe, "--watch", wine.codes[0]], "watch", seconds=60)
    wine.activate()
    wine.drawn()
    codes_watch.watch_both(wine, second_start)
    wine.quiet("wmctrl", "-i", "-c", wine.window)
    wine.ended("a close request after the watched matches")
