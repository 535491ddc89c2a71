"""The 832x825 sprite sheet: every sprite drawn into its own rectangle on
the transparent key."""
import math

import numpy as np

import board
import font
import raster
from palette import KEY, BLACK, WHITE, CAPTION_OUTLINE, CAPTION_SHADOW, ramp
from sprites import RECTS, CAPTIONS, SHEET_W, SHEET_H

Y = lambda s: ramp("yellow", s)  # noqa: E731


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
    img[raster.disc(16, 16, 8, 8, 7.5)] = ramp("grey", 12)
    img[raster.disc(16, 16, 8, 8, 6)] = WHITE
    return img


def thick_ring():
    img = raster.canvas(16, 16)
    img[raster.ring(16, 16, 8, 8, 4, 7.5)] = WHITE
    img[raster.ring(16, 16, 8, 8, 4, 5)] = ramp("grey", 12)
    return img


def thin_ring():
    img = raster.canvas(16, 16)
    img[raster.ring(16, 16, 8, 8, 6.2, 7.6)] = WHITE
    return img


def broken_ring():
    img = raster.canvas(16, 16)
    x, y = raster.grid(16, 16)
    ang = np.degrees(np.arctan2(y - 8, x - 8)) % 360
    dashes = (ang % 45) < 24
    img[raster.ring(16, 16, 8, 8, 5.8, 7.6) & dashes] = WHITE
    return img


def spark():
    img = raster.canvas(16, 16)
    pts = []
    for i in range(16):
        a = math.radians(i * 22.5 - 90)
        r = 7.6 if i % 4 == 0 else (4.5 if i % 2 == 0 else 2.4)
        pts.append((8 + r * math.cos(a), 8 + r * math.sin(a)))
    m = raster.polygon(16, 16, pts)
    img[raster.dilate(m, 1, square=False)] = CAPTION_OUTLINE
    img[m] = Y(12)
    img[raster.disc(16, 16, 8, 8, 2.3)] = Y(15)
    return img


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
    # Tick marks across the band every 20 degrees of the path.
    for a in range(180, 40, -20):
        ra = math.radians(a)
        tick = raster.capsule(w, h, 112.5 + 89 * math.cos(ra), 112.5 - 89 * math.sin(ra),
                              112.5 + 93 * math.cos(ra), 112.5 - 93 * math.sin(ra), 0.7)
        img[tick & band] = ramp("red", 0)
    return img


def small_digit(k):
    return font.small(str(k), 8, 16)


def big_digit(k):
    return font.caption(str(k), 16, 32, scales=[(2, 3)])


# --- The throwing arm -----------------------------------------------------

# Shoulder, elbow and hand for each pose, in sprite pixels (160x144), and
# the dart's tilt above level. The gauge arc is drawn over the arm; its
# centre is (80, 112) in the arm's frame and its inner edge at radius 88, so
# every pose stays inside that.
SHOULDER = (34, 118)
POSES = [
    ((76, 116), (118, 114), 0),   # stretched out level
    ((75, 110), (111, 89), 10),   # slightly bent
    ((74, 104), (92, 66), 18),    # bent further
    ((73, 100), (66, 59), 24),    # forearm raised
    ((72, 98), (42, 72), 28),     # fully cocked, hand at the shoulder
]
OUTLINE = ramp("brown", 1)


def shaded_capsule(img, a, b, r, name, steps):
    """A limb: a capsule with a one-pixel outline, lit from above: the
    shade follows the distance across the limb, not the row."""
    h, w = img.shape
    x, y = raster.grid(w, h)
    vx, vy = b[0] - a[0], b[1] - a[1]
    ll = math.hypot(vx, vy) or 1.0
    t = np.clip(((x - a[0]) * vx + (y - a[1]) * vy) / (ll * ll), 0.0, 1.0)
    px, py = a[0] + t * vx, a[1] + t * vy
    d2 = (x - px) ** 2 + (y - py) ** 2
    m = d2 <= r * r
    img[raster.dilate(m, 1)] = OUTLINE
    # Offset towards the light (up, a little left), normalised to -1..1.
    s = ((x - px) * 0.3 + (y - py) * 1.0) / (r * 1.04)
    k = np.clip(((s + 1) / 2 * len(steps)).astype(int), 0, len(steps) - 1)
    img[m] = np.array([ramp(name, v) for v in steps], dtype=np.uint8)[k[m]]
    return m


def draw_arm_dart(img, hx, hy, tilt_deg):
    """A dart held at (hx, hy), pointing right and tilted up by tilt_deg."""
    h, w = img.shape
    t = math.radians(tilt_deg)
    ux, uy = math.cos(t), -math.sin(t)
    nx, ny = -uy, ux
    at = lambda k: (hx + ux * k, hy + uy * k)  # noqa: E731
    # Flights: two fins, one above and one below the shaft.
    for side, shade in ((-1, 12), (1, 8)):
        fin = raster.polygon(w, h, [at(-12), (at(-22)[0] + side * 7 * nx, at(-22)[1] + side * 7 * ny),
                                    at(-24)])
        img[raster.dilate(fin, 1)] = OUTLINE
        img[fin] = ramp("purple", shade)
    img[raster.capsule(w, h, *at(-22), *at(-2), 1.1)] = ramp("metal", 5)
    barrel = raster.capsule(w, h, *at(-4), *at(14), 2.6)
    img[raster.dilate(barrel, 1)] = OUTLINE
    raster.ramp_fill(img, barrel, [ramp("metal", v) for v in (15, 14, 12, 10, 8, 6)])
    img[raster.capsule(w, h, *at(15), *at(26), 0.7)] = ramp("metal", 13)


def arm(pose):
    w, h = 160, 144
    img = raster.canvas(w, h)
    sx, sy = SHOULDER
    (ex, ey), (hx, hy), tilt = POSES[pose]
    # The thrower's head, seen from behind and to the side, and the shoulder.
    head = raster.disc(w, h, 18, 74, 19)
    img[raster.dilate(head, 1)] = OUTLINE
    raster.ramp_fill(img, head, [ramp("skin", v) for v in (11, 11, 10, 9, 8)])
    hair = head & (raster.disc(w, h, 12, 66, 20) | raster.rect(w, h, 0, 0, 160, 66))
    raster.ramp_fill(img, hair, [ramp("brown", v) for v in (7, 6, 5, 4, 3)])
    ear = raster.disc(w, h, 27, 79, 4)
    img[raster.dilate(ear, 1) & head] = OUTLINE
    img[ear] = ramp("skin", 9)
    neck = raster.rect(w, h, 8, 86, 26, 106)
    img[raster.dilate(neck, 1) & ~head] = OUTLINE
    img[neck & ~head] = ramp("skin", 8)
    body = raster.round_rect(w, h, -24, sy - 16, sx + 14, h + 16, 18)
    img[raster.dilate(body, 1)] = OUTLINE
    raster.ramp_fill(img, body, [ramp("sleeve", v) for v in (10, 9, 8, 7, 6, 5, 4)])
    # Upper arm: bare skin beyond a short sleeve.
    mid = (sx + (ex - sx) * 0.45, sy + (ey - sy) * 0.45)
    shaded_capsule(img, mid, (ex, ey), 9.5, "skin", (12, 11, 10, 9, 8, 7))
    shaded_capsule(img, (sx, sy), mid, 12, "sleeve", (12, 11, 10, 9, 8, 6))
    # Forearm to the wrist, the dart, then the fist over it.
    fx, fy = hx - ex, hy - ey
    fl = math.hypot(fx, fy)
    wx, wy = hx - fx / fl * 5, hy - fy / fl * 5
    shaded_capsule(img, (ex, ey), (wx, wy), 8, "skin", (13, 12, 11, 10, 9, 8))
    draw_arm_dart(img, hx, hy, tilt)
    fist = raster.disc(w, h, hx - 1, hy + 1, 7)
    img[raster.dilate(fist, 1)] = OUTLINE
    raster.ramp_fill(img, fist, [ramp("skin", v) for v in (13, 12, 11, 10, 9)])
    # Knuckle line and the thumb pressing on the barrel.
    img[raster.capsule(w, h, hx - 6, hy + 2, hx + 3, hy + 4, 0.5) & fist] = ramp("skin", 6)
    thumb = raster.capsule(w, h, hx - 4, hy - 4, hx + 5, hy - 2, 2.4)
    img[raster.dilate(thumb, 1)] = OUTLINE
    img[thumb] = ramp("skin", 14)
    return img


# --- Scoreboard, legends, about images ---------------------------------------

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


def producer_large():
    w, h = 112, 112
    img = raster.canvas(w, h)
    raster.paste(img, emblem(80), 16, 0)
    name = raster.trim(font.caption("QEN", 112, 30, fill=[ramp("purple", s) for s in (15, 14, 13, 12, 11, 10)],
                                    outline=ramp("purple", 1), scales=[(2, 3)]))
    raster.paste(img, name, (w - name.shape[1]) // 2, 82)
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
    logo = logo_word(176, 44)
    raster.paste(img, logo, 0, 0)
    ver = font.small("Version 1.0", 176, 18, fill=[WHITE, WHITE, ramp("grey", 12)],
                     outline=ramp("night", 1))
    raster.paste(img, ver, 0, 46)
    return img


def logo_word(w, h):
    """The name as a logo: tall red-to-yellow letters, a heavy outline and a
    dart underline."""
    box = raster.canvas(w, h)
    fill = [ramp("yellow", s) for s in (15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4)]
    for sx, sy in ((4, 5), (3, 5), (3, 4), (2, 4), (2, 3)):
        m = font.text_mask("TOBELYN", sx, sy, 1)[: font.CAP * sy]
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
        art[n] = font.caption(words, w, h)
    for n, (x, y, w, h) in enumerate(RECTS):
        a = art[n]
        if a.shape != (h, w):
            raise ValueError(f"sprite {n} drawn {a.shape[1]}x{a.shape[0]}, rectangle {w}x{h}")
        sheet[y:y + h, x:x + w] = a
    return sheet
