"""The 832x825 sprite sheet: every sprite drawn into its own rectangle on
the transparent key."""
import math

import numpy as np

import board
import font
import raster
from palette import KEY, BLACK, WHITE, CAPTION_OUTLINE, CAPTION_SHADOW, ramp
from sprites import RECTS, CAPTIONS, SHEET_W, SHEET_H, SPRITES

Y = lambda s: ramp("yellow", s)  # noqa: E731
NUMBER = {s.name: n for n, s in enumerate(SPRITES)}  # sprite numbers by name


def _arrow(w, h, pts):
    """A yellow arrow with a dark outline from a polygon in a w by h box."""
    img = raster.canvas(w, h)
    m = raster.polygon(w, h, pts)
    img[raster.dilate(m, 1)] = CAPTION_OUTLINE
    raster.ramp_fill(img, m, [Y(15), Y(13), Y(12), Y(11), Y(9), Y(8)], axis=0)
    return img


def cursor():
    # Pointing right, 16x32; the tip at the right edge, mid height.
    return _arrow(16, 32, [(2, 5), (14, 16), (2, 27)])


def aim_pointer():
    # Pointing down, 16x16; the tip on the aim column (x 8).
    img = _arrow(16, 16, [(1.5, 2), (14.5, 2), (8, 14)])
    return img


def flash_disc():
    img = raster.canvas(16, 16)
    img[raster.disc(16, 16, 8.5, 8.5, 7.5)] = ramp("grey", 12)
    img[raster.disc(16, 16, 8.5, 8.5, 6)] = WHITE
    return img


def thick_ring():
    img = raster.canvas(16, 16)
    img[raster.ring(16, 16, 8.5, 8.5, 4, 7.5)] = WHITE
    img[raster.ring(16, 16, 8.5, 8.5, 4, 5)] = ramp("grey", 12)
    return img


def thin_ring():
    img = raster.canvas(16, 16)
    img[raster.ring(16, 16, 8.5, 8.5, 6.2, 7.6)] = WHITE
    return img


def broken_ring():
    img = raster.canvas(16, 16)
    x, y = raster.grid(16, 16)
    ang = np.degrees(np.arctan2(y - 8.5, x - 8.5)) % 360
    dashes = (ang % 45) < 24
    img[raster.ring(16, 16, 8.5, 8.5, 5.8, 7.6) & dashes] = WHITE
    return img


SPARK = (
    "................",
    "................",
    "................",
    "........o.......",
    ".......oYo......",
    ".......oyo......",
    "......oyWyo.....",
    "....ooyWWWyoo...",
    "...oYyWWWWWyYo..",
    "....ooyWWWyoo...",
    "......oyWyo.....",
    ".......oyo......",
    ".......oYo......",
    "........o.......",
    "................",
    "................",
)


def spark():
    """A small four-pointed star centred on pixel (8, 8), where the dart's
    point is: a white heart and a dark outline, two pixels clear of the
    flash disc's edge so the flash shows all round it."""
    colours = {".": KEY, "o": CAPTION_OUTLINE, "Y": Y(11), "y": Y(14), "W": WHITE}
    return np.array([[colours[c] for c in row] for row in SPARK], dtype=np.uint8)


def marker():
    img = raster.canvas(16, 16)
    img[raster.disc(16, 16, 8, 8, 7.0)] = BLACK
    img[raster.disc(16, 16, 8, 8, 5.9)] = Y(10)
    img[raster.disc(16, 16, 7.2, 7.2, 3.6)] = Y(12)
    img[raster.disc(16, 16, 6.5, 6.5, 1.6)] = Y(15)
    return img


def gauge():
    """The power arc: the marker's centre runs on radius 96 about (112, 112)
    from 180 degrees over the top to 41; the band follows that path, dark at
    the start and light at the end."""
    w, h = 224, 112
    img = raster.canvas(w, h)
    x, y = raster.grid(w, h)
    dx, dy = x - 112.5, y - 112.5
    d = np.sqrt(dx * dx + dy * dy)
    ang = np.degrees(np.arctan2(-dy, dx))  # 0 right, 90 up, 180 left
    ang = np.where(ang < -90, ang + 360, ang)
    lo, hi = 36.0, 181.0
    inner, outer = 89.0, 103.5
    band = (d >= inner) & (d <= outer) & (ang >= lo) & (ang <= hi)
    edge = raster.dilate(band, 1) & ~band
    # Shade from dark red at the start to pale red at the end, with a
    # lighter centre line so the arc reads as a tube.
    t = np.clip((hi - ang) / (hi - lo), 0, 1)
    step = np.clip((t * 12).astype(int) + 2, 2, 14)
    tube = np.abs(d - 96.2) < 3.0
    idx = np.where(tube, np.minimum(step + 1, 15), step)
    img[edge] = ramp("red", 0)
    img[band] = (ramp("red", 0) + idx[band]).astype(np.uint8)
    # Tick marks every 10 degrees of the path, the long ones every 30 right
    # across the band, the short ones from the inner edge to the middle:
    # dark grooves with a lit edge, so they read on the dark and the light
    # end alike.
    for a in range(180, 39, -10):
        ra = math.radians(a)
        r1 = 103.5 if a % 30 == 0 else 96.0
        ca, sa = math.cos(ra), math.sin(ra)
        groove = raster.capsule(w, h, 112.5 + 89 * ca, 112.5 - 89 * sa,
                                112.5 + r1 * ca, 112.5 - r1 * sa, 0.75)
        lit = raster.capsule(w, h, 112.5 + 89 * ca + sa * 1.4, 112.5 - 89 * sa + ca * 1.4,
                             112.5 + r1 * ca + sa * 1.4, 112.5 - r1 * sa + ca * 1.4, 0.55)
        img[lit & band & ~groove] = ramp("red", 15)
        img[groove & band] = ramp("red", 0)
    return img


# Digits of the scoreboard and the score pop-up: bold, six columns by six
# rows drawn two pixels tall, white, a dark outline, and a lighter blue
# outer edge where the 8 by 16 sprite leaves room (above, below and round
# the corners), so that the number reads on every colour of the board.
SMALL_DIGITS = {
    0: (".####.", "##..##", "##..##", "##..##", "##..##", ".####."),
    1: ("..##..", ".###..", "..##..", "..##..", "..##..", ".####."),
    2: (".####.", "##..##", "....##", "..###.", ".##...", "######"),
    3: ("#####.", "....##", "..###.", "....##", "....##", "#####."),
    4: ("##..##", "##..##", "##..##", "######", "....##", "....##"),
    5: ("######", "##....", "#####.", "....##", "##..##", ".####."),
    6: (".####.", "##....", "#####.", "##..##", "##..##", ".####."),
    7: ("######", "....##", "...##.", "..##..", "..##..", "..##.."),
    8: (".####.", "##..##", ".####.", "##..##", "##..##", ".####."),
    9: (".####.", "##..##", "##..##", ".#####", "....##", ".####."),
}


def small_digit(k):
    img = raster.canvas(8, 16)
    glyph = np.array([[c == "#" for c in row] for row in SMALL_DIGITS[k]], dtype=bool)
    m = np.zeros((16, 8), dtype=bool)
    m[2:14, 1:7] = np.repeat(glyph, 2, axis=0)
    outline = raster.dilate(m, 1, square=False)
    img[raster.dilate(outline, 1, square=False)] = ramp("blue", 7)
    img[outline] = ramp("blue", 0)
    # Close the pockets a diagonal stroke leaves (ground on three sides).
    ground = img == KEY
    shut = sum(raster.shift(~ground, dx, dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
    img[ground & (shut >= 3)] = ramp("blue", 0)
    raster.ramp_fill(img, m, [WHITE, WHITE, WHITE, WHITE, ramp("blue", 14), ramp("blue", 14)])
    return img


def big_digit(k):
    return font.caption(str(k), 16, 32, scales=[(2, 3)])


# --- The throwing arm -----------------------------------------------------

# The thrower is seen from behind, the board ahead of him up the screen.
# Shoulder, elbow and hand for each pose, in sprite pixels (160x144). The
# gauge arc is drawn over the arm; its centre is (80, 112) in the arm's
# frame and its inner edge at radius 88, so every pose, dart included,
# stays within REACH of that centre.
SHOULDER = (46, 116)
POSES = [
    ((82, 108), (120, 100)),  # stretched out level
    ((82, 102), (114, 80)),   # slightly bent
    ((81, 96), (99, 64)),     # bent further, the elbow high
    ((80, 92), (78, 56)),     # forearm raised
    ((76, 94), (50, 74)),     # fully cocked, hand by the head
]
ARC_CENTRE = (80.5, 112.5)
REACH = 83
HEAD = (22, 86, 16)
OUTLINE = ramp("brown", 1)
LIGHT = (1, -1)  # the light comes from the board: up and to the right


def lit_fill(img, mask, name, base, light, shadow, rim=2, shade=3):
    """Fill mask with a ramp's base step, a lit band along its edges facing
    the light and a shaded band along those facing away: shading that
    follows the shape instead of running in rows."""
    dx, dy = LIGHT
    img[mask] = ramp(name, base)
    img[mask & ~raster.shift(mask, dx * shade, dy * shade)] = ramp(name, shadow)
    img[mask & ~raster.shift(mask, -dx * rim, -dy * rim)] = ramp(name, light)


def limb(w, h, a, b, r):
    return raster.capsule(w, h, a[0], a[1], b[0], b[1], r)


def draw_dart_end_on(img, hx, hy, angle_deg):
    """The dart in the fist, pointing away from the viewer towards the
    board: seen foreshortened, a short barrel and point up the screen and
    the flights, nearest the eye, spread below the hand."""
    h, w = img.shape
    a = math.radians(angle_deg)
    ux, uy = math.cos(a), -math.sin(a)
    at = lambda k: (hx + ux * k, hy + uy * k)  # noqa: E731
    # Flights: a cross of four fins round the shaft's back end.
    fx, fy = at(-13)
    fins = np.zeros((h, w), dtype=bool)
    for k in range(4):
        fa = a + math.radians(45 + 90 * k)
        fins |= raster.polygon(w, h, [(fx + ux * 4, fy + uy * 4),
                                      (fx + 7.5 * math.cos(fa), fy - 7.5 * math.sin(fa)),
                                      (fx - ux * 2, fy - uy * 2)])
    img[raster.dilate(fins, 1, square=False)] = OUTLINE
    lit_fill(img, fins, "purple", 11, 14, 7, rim=1, shade=2)
    shaft = limb(w, h, at(-12), at(0), 1.0)
    img[raster.dilate(shaft, 1, square=False)] = OUTLINE
    img[shaft] = ramp("metal", 9)
    barrel = limb(w, h, at(1), at(10), 2.0)
    img[raster.dilate(barrel, 1, square=False)] = OUTLINE
    lit_fill(img, barrel, "metal", 11, 15, 6, rim=1, shade=1)
    point = limb(w, h, at(11), at(16), 0.6)
    img[point] = ramp("metal", 14)


def arm(pose):
    w, h = 160, 144
    img = raster.canvas(w, h)
    (ex, ey), (hx, hy) = POSES[pose]
    sx, sy = SHOULDER
    hx0, hy0, hr = HEAD
    # Body: shoulders and back in the shirt, cut only by the sprite's foot.
    torso = raster.polygon(w, h, [(3, 144), (3, 126), (9, 112), (20, 104), (36, 104), (50, 108),
                                  (58, 118), (57, 144)])
    torso = raster.dilate(torso, 1, square=False)
    neck = raster.round_rect(w, h, hx0 - 8, hy0 + 6, hx0 + 9, 108, 4)
    head = raster.disc(w, h, hx0 + 0.5, hy0 + 0.5, hr)
    ear = raster.disc(w, h, hx0 + hr + 0.5, hy0 + 4, 3.6) & ~raster.disc(w, h, hx0 + 0.5, hy0 + 0.5,
                                                                        hr - 2)
    upper = limb(w, h, (sx, sy), (ex, ey), 8.5)
    sleeve = limb(w, h, (sx, sy), (sx + (ex - sx) * 0.55, sy + (ey - sy) * 0.55), 10.0)
    fl = math.hypot(hx - ex, hy - ey)
    wrist = (hx - (hx - ex) / fl * 4, hy - (hy - ey) / fl * 4)
    fore = limb(w, h, (ex, ey), wrist, 7.0)
    fist = raster.disc(w, h, hx, hy, 6.5)
    figure = torso | neck | head | ear | upper | sleeve | fore | fist
    # One outline round the whole figure, so parts join without seams.
    img[raster.dilate(figure, 1)] = OUTLINE
    lit_fill(img, neck & ~head, "skin", 8, 10, 5)
    lit_fill(img, torso, "sleeve", 8, 11, 5, rim=3, shade=5)
    # A crease where the arm leaves the back.
    img[raster.ring(w, h, sx, sy, 10.0, 11.0) & torso & ~sleeve] = ramp("sleeve", 4)
    hair = head & ~ear
    lit_fill(img, hair, "brown", 5, 8, 3, rim=2, shade=4)
    # A sheen across the crown where the light falls.
    sheen = (hair & raster.disc(w, h, hx0 + 4, hy0 - 3, hr - 5)
             & ~raster.disc(w, h, hx0 + 1, hy0 + 1, hr - 8))
    img[sheen & ~raster.dilate(~hair, 1)] = ramp("brown", 7)
    lit_fill(img, ear, "skin", 10, 13, 7, rim=1, shade=1)
    img[raster.disc(w, h, hx0 + hr + 0.5, hy0 + 4.5, 1.3) & ear] = ramp("skin", 6)
    # The nape below the hair, and the shirt's collar round the neck.
    nape = head & raster.disc(w, h, hx0 + 3, hy0 + hr + 6, 9)
    lit_fill(img, nape, "skin", 9, 11, 7, rim=1, shade=2)
    collar = raster.round_rect(w, h, hx0 - 10, 102, hx0 + 12, 107, 2) & torso
    img[raster.dilate(collar, 1) & torso] = ramp("sleeve", 4)
    lit_fill(img, collar, "sleeve", 10, 13, 7, rim=1, shade=1)
    lit_fill(img, upper, "skin", 10, 13, 7)
    lit_fill(img, sleeve, "sleeve", 9, 12, 6)
    img[raster.dilate(sleeve, 1) & ~sleeve & upper] = OUTLINE
    # The forearm over the upper arm, with a shade line where they meet.
    img[raster.dilate(fore, 1) & ~fore & upper & ~sleeve] = ramp("skin", 5)
    lit_fill(img, fore, "skin", 11, 14, 8)
    # The dart leans towards the board, in the direction the forearm points.
    lean = math.degrees(math.atan2(ey - hy, hx - ex))
    dart_angle = 62 + (lean - 62) * 0.25
    img[raster.dilate(fist, 1) & ~fist & ~raster.dilate(fore, 0)] = OUTLINE
    lit_fill(img, fist, "skin", 11, 14, 8, rim=2, shade=2)
    draw_dart_end_on(img, hx + 1, hy - 4, dart_angle)
    # The thumb over the barrel.
    thumb = limb(w, h, (hx - 4, hy - 2), (hx + 1, hy - 4), 2.2)
    img[raster.dilate(thumb, 1, square=False)] = OUTLINE
    lit_fill(img, thumb, "skin", 12, 14, 9, rim=1, shade=1)
    # Knuckles: a short darker line across the fist.
    img[limb(w, h, (hx - 4, hy + 1), (hx + 3, hy + 2), 0.5) & fist] = ramp("skin", 7)
    return img


# --- Scoreboard, legends, about images ---------------------------------------# --- Scoreboard, legends, about images ---------------------------------------

CELL_W = 59


def scoreboard(lit=None):
    """The scoreboard frame: four label cells over four score cells."""
    w, h = 256, 64
    img = raster.canvas(w, h)
    for i in range(4):
        x0 = 2 + CELL_W * i
        x1 = x0 + CELL_W - 4
        for (y0, y1, fill) in ((1, 23, ramp("blue", 2)), (24, 47, ramp("night", 1))):
            box = raster.round_rect(w, h, x0, y0, x1, y1, 3)
            inner = raster.round_rect(w, h, x0 + 1, y0 + 1, x1 - 1, y1 - 1, 2)
            border = ramp("yellow", 12) if (lit == i and y0 == 1) else ramp("blue", 8)
            img[box] = border
            img[inner] = fill
        label = "P-%d" % (i + 1)
        if lit == i:
            t = font.caption(label, x1 - x0 - 4, 20, scales=[(1, 2)])
            bx = raster.round_rect(w, h, x0 + 1, 2, x1 - 1, 22, 2)
            img[bx] = ramp("blue", 5)
        else:
            t = font.small(label, x1 - x0 - 4, 20, fill=[ramp("blue", s) for s in (13, 12, 11, 10)],
                           outline=ramp("blue", 0))
        raster.paste(img, t, x0 + 2, 2)
    return img


def button_legend():
    w, h = 128, 48
    img = raster.canvas(w, h)
    for row, (plate, word) in enumerate((("BUTTON A", "OK"), ("BUTTON B", "CANCEL"))):
        y0 = 24 * row + 2
        box = raster.round_rect(w, h, 0, y0, 62, y0 + 20, 4)
        img[raster.dilate(box, 0)] = ramp("green", 1)
        raster.ramp_fill(img, raster.round_rect(w, h, 1, y0 + 1, 61, y0 + 19, 3),
                         [ramp("green", s) for s in (9, 8, 7, 6, 5, 4)])
        t = font.small(plate, 58, 18, fill=[WHITE, WHITE, ramp("green", 14)],
                       outline=ramp("green", 1), scales=[(1, 2)])
        raster.paste(img, t, 2, y0 + 1)
        t = font.caption(word, 62, 22, scales=[(1, 2)])
        raster.paste(img, t, 64, y0)
    return img


def press_panel():
    w, h = 160, 64
    img = raster.canvas(w, h)
    box = raster.round_rect(w, h, 1, 2, 159, 62, 10)
    img[box] = ramp("orange", 1)
    inner = raster.round_rect(w, h, 3, 4, 157, 60, 8)
    raster.ramp_fill(img, inner, [ramp("orange", s) for s in (12, 11, 10, 9, 8, 7, 6, 5)])
    shine = raster.round_rect(w, h, 8, 6, 152, 14, 4)
    img[shine] = ramp("orange", 13)
    white = [WHITE, WHITE, ramp("orange", 15), ramp("orange", 14)]
    top = font.caption("Press The", 150, 26, fill=white, scales=[(2, 2)])
    bot = font.caption("Button", 150, 26, fill=white, scales=[(2, 2)])
    raster.paste(img, top, 5, 6)
    raster.paste(img, bot, 5, 32)
    return img


def emblem(size):
    """The producer's emblem: a ring like a Q with a dart for its tail."""
    img = raster.canvas(size, size)
    c = size / 2
    r = size * 0.40
    ring_o = raster.disc(size, size, c - size * 0.04, c - size * 0.04, r)
    ring_i = raster.disc(size, size, c - size * 0.04, c - size * 0.04, r * 0.62)
    band = ring_o & ~ring_i
    img[raster.dilate(band, max(1, size // 40))] = ramp("purple", 1)
    raster.ramp_fill(img, band, [ramp("purple", v) for v in (14, 13, 12, 11, 10, 9, 8, 7, 6)])
    dot = raster.disc(size, size, c - size * 0.04, c - size * 0.04, r * 0.22)
    img[raster.dilate(dot, 1)] = ramp("purple", 1)
    img[dot] = ramp("yellow", 13)
    # The dart: from the lower right, its point resting in the ring.
    a0 = (c + size * 0.02, c + size * 0.02)
    a1 = (size - size * 0.06, size - size * 0.06)
    lw = max(1.2, size / 28)
    shaft = raster.capsule(size, size, *a0, *a1, lw)
    img[raster.dilate(shaft, 1)] = ramp("purple", 1)
    img[shaft] = ramp("metal", 13)
    fl = size * 0.16
    for sgn in (1, -1):
        fin = raster.polygon(size, size, [
            (a1[0] - fl * 0.9, a1[1] - fl * 0.9),
            (a1[0] - fl * 0.2 + sgn * fl * 0.55, a1[1] - fl * 0.2 - sgn * fl * 0.55),
            (a1[0] + 0.5, a1[1] + 0.5)])
        img[raster.dilate(fin, 1)] = ramp("purple", 1)
        img[fin] = ramp("yellow", 12 if sgn > 0 else 9)
    return img


# The about screen centres its text lines on screen column 120; the logos
# are drawn at x 72 (the producer's) and x 48 (the product's), so their
# own axes are these sprite columns.
PRODUCER_AXIS, PRODUCT_AXIS = 48, 72


def producer_large():
    w, h = 112, 112
    img = raster.canvas(w, h)
    raster.paste(img, emblem(80), PRODUCER_AXIS - 40, 0)
    name = raster.trim(font.caption("QEN", 112, 30, fill=[ramp("purple", s) for s in (15, 14, 13, 12, 11, 10)],
                                    outline=ramp("purple", 1), scales=[(2, 3)]))
    raster.paste(img, name, PRODUCER_AXIS - name.shape[1] // 2, 82)
    return img


def producer_small():
    w, h = 112, 32
    img = raster.canvas(w, h)
    raster.paste(img, emblem(30), 10, 1)
    name = raster.trim(font.caption("QEN", 70, 28, fill=[ramp("purple", s) for s in (15, 14, 13, 12, 11, 10)],
                                    outline=ramp("purple", 1), scales=[(2, 3)]))
    raster.paste(img, name, 46, (h - name.shape[0]) // 2)
    return img


def product_logo():
    w, h = 176, 64
    img = raster.canvas(w, h)
    logo = raster.trim(logo_word(2 * PRODUCT_AXIS, 44, narrow=True))
    raster.paste(img, logo, PRODUCT_AXIS - logo.shape[1] // 2, 0)
    ver = raster.trim(font.small("Version 1.0", 176, 18, fill=[WHITE, WHITE, ramp("grey", 12)],
                                 outline=ramp("night", 1)))
    raster.paste(img, ver, PRODUCT_AXIS - ver.shape[1] // 2, 46)
    return img


# The logo's own letters, twice as fine across as the text font so that the
# N gets a full diagonal and the Y long arms; strokes are two columns wide.
LOGO_GLYPHS = {
    "T": ("##########", "....##....", "....##....", "....##....", "....##....", "....##....",
          "....##...."),
    "O": (".########.", "##......##", "##......##", "##......##", "##......##", "##......##",
          ".########."),
    "B": ("#########.", "##......##", "##......##", "#########.", "##......##", "##......##",
          "#########."),
    "E": ("##########", "##........", "##........", "########..", "##........", "##........",
          "##########"),
    "L": ("##......", "##......", "##......", "##......", "##......", "##......", "########"),
    "Y": ("##......##", "##......##", ".##....##.", "..######..", "....##....", "....##....",
          "....##...."),
    "N": ("###.....##", "####....##", "##.##...##", "##..##..##", "##...##.##", "##....####",
          "##.....###"),
}
# Columns between letters: two, less where a letter's open top lets the
# next one tuck in.
LOGO_KERN = {("L", "Y"): -1}


def logo_mask(word, sx, sy, narrow=False):
    """The word in the logo's letters; narrow drops the third column from
    each side of every letter."""
    cols = []
    for i, ch in enumerate(word):
        g = np.array([[c == "#" for c in row] for row in LOGO_GLYPHS[ch]], dtype=bool)
        if narrow:
            g = np.delete(g, [3, g.shape[1] - 4], axis=1)
        if i:
            gap = 2 + LOGO_KERN.get((word[i - 1], ch), 0)
            cols.append(np.zeros((7, gap), dtype=bool))
        cols.append(g)
    m = np.concatenate(cols, axis=1)
    return np.repeat(np.repeat(m, sy, axis=0), sx, axis=1)


def logo_word(w, h, narrow=False):
    """The name as a logo: tall red-to-yellow letters, a heavy outline and a
    drop shadow."""
    box = raster.canvas(w, h)
    fill = [ramp("yellow", s) for s in (15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4)]
    for sx, sy in ((2, 5), (2, 4), (1, 4), (1, 3)):
        m = logo_mask("TOBELYN", sx, sy, narrow)
        if m.shape[1] + 6 <= w and m.shape[0] + 6 <= h:
            break
    mh, mw = m.shape
    img = raster.canvas(mw + 6, mh + 6)
    big = np.zeros(img.shape, dtype=bool)
    big[2:2 + mh, 2:2 + mw] = m
    img[raster.shift(raster.dilate(big, 2), 2, 2)] = CAPTION_SHADOW
    img[raster.dilate(big, 2)] = ramp("red", 2)
    img[raster.dilate(big, 1)] = ramp("red", 6)
    raster.ramp_fill(img, big, fill)
    raster.centred(box, raster.trim(img))
    return box


def legal_caption():
    return font.small("(C) 2026 Qen. Free to play, not for sale.", 192, 32,
                      fill=[WHITE, WHITE, ramp("grey", 12)], outline=ramp("night", 1),
                      scales=[(1, 2), (1, 1)])


def credits():
    w, h = 208, 48
    img = raster.canvas(w, h)
    for i, line in enumerate(("Game and art: the Tobelyn team", "Mail: hello@tobelyn.invalid")):
        t = font.small(line, w, 24, fill=[WHITE, WHITE, ramp("grey", 12)],
                       outline=ramp("night", 1))
        raster.paste(img, t, 0, 24 * i)
    return img


# Captions that stand in a list start at one left inset, so the list has one
# left edge: the game names, the option rows and the two set-up headings.
# "PLAYER" is always followed by a big digit, so it ends at its right edge.
PLAYER = NUMBER["Player"]
LIST_CAPTIONS = {NUMBER[name] for name in (
    "SelectGame", "SelectPlayer", "Game301", "GameCountUp", "GameHighScore", "GameRoundTheClock",
    "Sound", "Up", "Down", "Left", "Right", "ButtonA", "ButtonB", "ButtonC")}
LIST_INSET = 2
# Result captions, drawn at the screen's top left over the board: small
# enough to stay above the rim numbers, all from one left inset.
RESULT_CAPTIONS = {NUMBER[name] for name in (
    "Triple", "Double", "Miss", "SingleBull", "DoubleBull", "Success", "Fail")}
RESULT_INSET, RESULT_TOP = 4, 1
# Results that failed: dull letters, a crack and a sagging shadow. "Bust!!"
# is drawn over the board's centre, at sprite column 32.
FAILED = {NUMBER[name] for name in ("Bust", "Miss", "Fail")}
BUST, BUST_AXIS = NUMBER["Bust"], 32


def crack(img):
    """A dark zigzag split through the letters' fill, left to right."""
    h, w = img.shape
    ys, xs = np.nonzero(img != KEY)
    top, bottom = ys.min(), ys.max()
    fill = (img != KEY) & (img != CAPTION_OUTLINE) & (img != CAPTION_SHADOW)
    line = np.zeros((h, w), dtype=bool)
    mid = top + (bottom - top) * 0.45
    pts = [(x, mid + (2.2 if (x // 5) % 2 else -2.2) + (x - xs.min()) * 0.04)
           for x in range(xs.min(), xs.max() + 6, 5)]
    for (x0, y0), (x1, y1) in zip(pts, pts[1:]):
        line |= raster.capsule(w, h, x0 + 0.5, y0, x1 + 0.5, y1, 0.55)
    img[line & fill] = CAPTION_OUTLINE


WIN = NUMBER["Win"]


def win_caption(w, h):
    """"WIN!" filling its sprite: tall letters from white to gold, and a few
    twinkles round them."""
    fill = [WHITE, WHITE, Y(15), Y(15), Y(14), Y(14), Y(13), Y(13), Y(12), Y(12), Y(11), Y(10)]
    img = font.caption("WIN!", w, h, fill=fill, scales=[(3, 4)], left=0, top=0)
    for (x, y, r) in ((59, 5, 3), (59, 24, 2)):
        star = np.zeros((h, w), dtype=bool)
        star[max(y - r, 0):y + r + 1, x] = True
        star[y, max(x - r, 0):x + r + 1] = True
        free = img == KEY
        img[raster.dilate(star, 1, square=False) & free & ~star] = CAPTION_OUTLINE
        img[star & free] = Y(14)
        img[y, x] = WHITE
    return img


def caption_sprite(n, words, w, h):
    failed = n in FAILED
    style = dict(fill=font.DULL_ROWS, droop=3) if failed else {}
    if n in RESULT_CAPTIONS:
        img = font.caption(words, w, h, scales=[(2, 2)], left=RESULT_INSET, top=RESULT_TOP, **style)
    elif n == BUST:
        probe = raster.trim(font.caption(words, w, h, scales=[(2, 3)], **style))
        img = font.caption(words, w, h, scales=[(2, 3)], left=BUST_AXIS - probe.shape[1] // 2,
                           **style)
        # A dark plate behind it, so it reads over the busy middle of the board.
        ys, xs = np.nonzero(img != KEY)
        plate = raster.round_rect(w, h, xs.min() - 3, ys.min() - 2, xs.max() + 3, ys.max() + 2, 4)
        under = img == KEY
        img[plate & under] = ramp("grey", 1)
        img[plate & ~raster.round_rect(w, h, xs.min() - 2, ys.min() - 1, xs.max() + 2,
                                       ys.max() + 1, 3) & under] = ramp("dull", 5)
    elif n in LIST_CAPTIONS:
        img = font.caption(words, w, h, left=LIST_INSET)
    elif n == PLAYER:
        probe = raster.trim(font.caption(words, w, h))
        img = font.caption(words, w, h, left=w - 2 - probe.shape[1])
    elif n == WIN:
        img = win_caption(w, h)
    else:
        img = font.caption(words, w, h)
    if failed:
        crack(img)
    return img


def build():
    sheet = raster.canvas(SHEET_W, SHEET_H)
    art = {0: cursor(), 1: flash_disc(), 2: thick_ring(), 3: thin_ring(), 4: broken_ring(),
           5: spark(), 24: board.draw(board.FULL), 25: gauge(), 31: aim_pointer(),
           70: marker(), 71: producer_large(), 72: producer_small(),
           75: board.draw(board.PALE), 76: scoreboard(), 81: font.small("ROUND", 48, 16),
           82: font.small("/", 8, 16), 83: font.small("TRY", 32, 16), 84: button_legend(),
           85: product_logo(), 86: legal_caption(), 87: credits(), 88: press_panel()}
    for k in range(10):
        art[13 + k] = big_digit(k)
        art[32 + k] = small_digit(k)
    for p in range(5):
        art[26 + p] = arm(p)
    for i in range(4):
        art[77 + i] = scoreboard(lit=i)[:32]
    for n, words in CAPTIONS.items():
        x, y, w, h = RECTS[n]
        art[n] = caption_sprite(n, words, w, h)
    for n, (x, y, w, h) in enumerate(RECTS):
        a = art[n]
        if a.shape != (h, w):
            raise ValueError(f"sprite {n} drawn {a.shape[1]}x{a.shape[0]}, rectangle {w}x{h}")
        sheet[y:y + h, x:x + w] = a
    return sheet
