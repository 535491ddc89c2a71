"""The one 256-colour palette shared by the title picture and the sprite sheet.

Four entries are fixed by the program: 0 black, 86 the background green,
240 the transparent ground of the sheet and 255 white. The rest is laid out
in ramps, each a named block of consecutive indices, so drawing code can ask
for "yellow, step 9" instead of a bare number.
"""

KEY = 240
BLACK = 0
WHITE = 255
BG_GREEN = 86

# Flat colours of the dartboard. The full board and the pale board use the
# same layout so one class map can be painted with either set.
BOARD_DARK, BOARD_CREAM, BOARD_RED, BOARD_GREEN, BOARD_WIRE, BOARD_RIM, BOARD_NUMBER = (
    80, 81, 82, 83, 84, 85, 165)
PALE_DARK, PALE_CREAM, PALE_RED, PALE_GREEN, PALE_WIRE, PALE_RIM, PALE_NUMBER = (
    160, 161, 162, 163, 164, 166, 167)
CAPTION_OUTLINE = 168
CAPTION_SHADOW = 169

# name: (first index, [colour stops]); every ramp has 16 entries unless noted.
RAMPS = {
    "grey": (1, 15, [(17, 17, 17), (238, 238, 238)]),
    "yellow": (16, 16, [(150, 50, 0), (235, 130, 0), (255, 214, 0), (255, 255, 190)]),
    "blue": (32, 16, [(0, 0, 48), (0, 60, 190), (70, 150, 255), (215, 235, 255)]),
    "red": (48, 16, [(50, 0, 0), (180, 0, 10), (255, 70, 40), (255, 205, 180)]),
    "green": (64, 16, [(0, 36, 0), (0, 130, 40), (110, 215, 110), (215, 255, 215)]),
    "wall": (87, 9, [(0, 28, 0), (0, 70, 10), (30, 140, 50)]),
    "wood": (96, 16, [(36, 16, 0), (130, 70, 25), (215, 160, 100), (255, 238, 205)]),
    "skin": (112, 16, [(60, 28, 14), (168, 98, 66), (238, 186, 146), (255, 234, 214)]),
    "sleeve": (128, 16, [(0, 22, 32), (0, 100, 122), (70, 196, 208), (200, 250, 250)]),
    "orange": (144, 16, [(60, 18, 0), (200, 78, 0), (255, 150, 40), (255, 224, 170)]),
    "purple": (176, 16, [(26, 0, 36), (116, 28, 156), (198, 118, 238), (246, 222, 255)]),
    "metal": (192, 16, [(28, 28, 34), (118, 118, 130), (200, 200, 212), (255, 255, 255)]),
    "night": (208, 16, [(4, 6, 20), (14, 30, 70), (40, 70, 130)]),
    "brown": (224, 16, [(20, 8, 0), (90, 44, 10), (170, 100, 40)]),
    # Amber: the result letters' yellow gone deeper, towards orange, and a
    # little duller, still strong enough to read against a dark outline.
    "dull": (241, 14, [(90, 36, 0), (190, 104, 6), (236, 158, 24), (250, 204, 84)]),
}

FIXED = {
    BLACK: (0, 0, 0),
    WHITE: (255, 255, 255),
    BG_GREEN: (0, 102, 0),
    KEY: (255, 0, 114),
    BOARD_DARK: (28, 28, 28),
    BOARD_CREAM: (240, 226, 178),
    BOARD_RED: (214, 30, 36),
    BOARD_GREEN: (16, 144, 64),
    BOARD_WIRE: (196, 198, 208),
    BOARD_RIM: (12, 12, 12),
    BOARD_NUMBER: (250, 250, 250),
    PALE_DARK: (204, 224, 246),
    PALE_CREAM: (255, 253, 242),
    PALE_RED: (255, 210, 206),
    PALE_GREEN: (204, 242, 214),
    PALE_WIRE: (255, 255, 255),
    PALE_RIM: (140, 176, 218),
    PALE_NUMBER: (168, 194, 228),
    CAPTION_OUTLINE: (72, 24, 0),
    CAPTION_SHADOW: (10, 10, 14),
}


def _lerp_stops(stops, n):
    """n colours evenly spread over a piecewise-linear path through stops."""
    out = []
    segs = len(stops) - 1
    for i in range(n):
        t = i * segs / (n - 1) if n > 1 else 0
        s = min(int(t), segs - 1)
        f = t - s
        a, b = stops[s], stops[s + 1]
        out.append(tuple(int(round(a[c] + (b[c] - a[c]) * f)) for c in range(3)))
    return out


def ramp(name, step):
    """Index of step (0 = darkest) of a named ramp."""
    first, n, _ = RAMPS[name]
    if not 0 <= step < n:
        raise ValueError(f"{name} has {n} steps, not {step}")
    return first + step


def build():
    """The palette as a list of 256 (r, g, b) tuples."""
    pal = [None] * 256
    for first, n, stops in RAMPS.values():
        for i, c in enumerate(_lerp_stops(stops, n)):
            if pal[first + i] is not None:
                raise ValueError(f"palette index {first + i} assigned twice")
            pal[first + i] = c
    for idx, c in FIXED.items():
        if pal[idx] is not None:
            raise ValueError(f"palette index {idx} assigned twice")
        pal[idx] = c
    for i in range(256):
        if pal[i] is None:
            pal[i] = (0, 0, 0)
    return pal


def luminance(c):
    """The relative luminance of an sRGB colour, 0 to 1."""
    lin = [v / 255 / 12.92 if v <= 10 else ((v / 255 + 0.055) / 1.055) ** 2.4 for v in c]
    return 0.2126 * lin[0] + 0.7152 * lin[1] + 0.0722 * lin[2]
