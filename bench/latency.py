#!/usr/bin/python3
# Input latency of the desktop game, measured from outside as a player sees
# it: a key press is sent to the X server (XTest) and the window is read back
# (XGetImage on one small patch) until the first frame that shows the
# press's effect, the title cursor moving to the next row.
#
#     bench/latency.py GAME [PRESSES]      prints mean, median, p99 and max in ms
#
# Needs a running X server with a window manager (DISPLAY) and the game
# built; runs the game itself with a private HOME.
import ctypes, ctypes.util, os, shutil, sys, tempfile, time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))),
                                "tests"))
from harness import Session
# The title cursor, a yellow arrow, sits left of the menu words; rows are
# 32 display pixels apart (see docs/title.png). The patch covers the arrow
# of the first and the second row.
PATCH = (128, 116, 24, 56)   # x, y, w, h in display pixels

x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
xtst = ctypes.CDLL(ctypes.util.find_library("Xtst"))
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XGetImage.restype = ctypes.c_void_p
x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                          ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
x11.XDestroyImage = None  # a macro; the image's own destroy function is used
x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XStringToKeysym.restype = ctypes.c_ulong
x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
x11.XFlush.argtypes = [ctypes.c_void_p]
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
x11.XFree.argtypes = [ctypes.c_void_p]
xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]


class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_char)),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int), ("red_mask", ctypes.c_ulong),
                ("green_mask", ctypes.c_ulong), ("blue_mask", ctypes.c_ulong),
                ("obdata", ctypes.c_void_p),
                ("create_image", ctypes.c_void_p), ("destroy_image", ctypes.CFUNCTYPE(
                    ctypes.c_int, ctypes.c_void_p))]


def main():
    game = sys.argv[1]
    presses = int(sys.argv[2]) if len(sys.argv) > 2 else 100
    work = tempfile.mkdtemp(prefix="tobelyn-latency-")
    # The game with a private HOME, on the X server already running.
    session = Session(work, log=lambda *a: None)
    session.env["DISPLAY"] = os.environ["DISPLAY"]
    try:
        session.spawn([game])
        session.window = session.find_window(10, session.procs[-1])
        session.activate()
        time.sleep(1.0)
        _, _, _, _, scale, ox, oy = session.layout()
        window = int(session.window)
        px, py, pw, ph = PATCH
        d = x11.XOpenDisplay(None)
        codes = {k: x11.XKeysymToKeycode(d, x11.XStringToKeysym(k)) for k in (b"Down", b"Up")}

        def patch():
            img = x11.XGetImage(d, window, ox + px * scale, oy + py * scale, pw * scale,
                                ph * scale, 0xFFFFFFFF, 2)  # ZPixmap
            im = ctypes.cast(img, ctypes.POINTER(XImage)).contents
            data = ctypes.string_at(im.data, im.bytes_per_line * im.height)
            im.destroy_image(img)
            return data

        samples = []
        key = b"Down"
        for i in range(presses):
            before = patch()
            t0 = time.perf_counter()
            xtst.XTestFakeKeyEvent(d, codes[key], 1, 0)
            x11.XFlush(d)
            while True:
                now = patch()
                t1 = time.perf_counter()
                if now != before:
                    break
                if t1 - t0 > 1.0:
                    raise SystemExit("no change seen within a second after press %d" % i)
            samples.append((t1 - t0) * 1000)
            xtst.XTestFakeKeyEvent(d, codes[key], 0, 0)
            x11.XSync(d, 0)
            key = b"Up" if key == b"Down" else b"Down"
            time.sleep(0.25 + 0.017 * (i % 7) / 7)  # past the 200 ms gap, at varied phases
        samples.sort()
        n = len(samples)
        print("input latency, key press to the first frame showing it, %d presses: mean %.1f ms, "
              "median %.1f ms, p99 %.1f ms, max %.1f ms (target: mean at most 16.7 ms)"
              % (n, sum(samples) / n, samples[n // 2], samples[min(n - 1, int(n * 0.99))],
                 samples[-1]))
    finally:
        session.stop()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
