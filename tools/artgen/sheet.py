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
    img[raster.disc(16, 16, 8, 8, 6.6)] = BLACK
    img[raster.disc(16, 16, 8, 8, 5.4)] = Y(10)
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

# Shoulder, elbow and hand for each pose, in sprite pixels (160x144). The
# gauge arc is drawn over the arm; its centre is (80, 112) in the arm's
# frame and its inner edge at radius 88, so every pose stays inside that.
POSES = [
    ((34, 118), (78, 116), (120, 114)),   # stretched out level
    ((34, 118), (76, 112), (110, 90)),    # slightly bent
    ((34, 118), (74, 108), (92, 70)),     # bent further
    ((34, 118), (70, 104), (64, 62)),     # forearm raised
    ((34, 118), (68, 104), (42, 80)),     # fully cocked, hand at the shoulder
]


def arm(pose):
    w, h = 160, 144
    img = raster.canvas(w, h)
    (sx, sy), (ex, ey), (hx, hy) = POSES[pose]
    # Forearm direction decides where the hand and the dart point.
    fx, fy = hx - ex, hy - ey
    fl = math.hypot(fx, fy)
    ux, uy = fx / fl, fy / fl
    # The dart is held level, pointing at the board (to the right), tilting
    # up a little as the arm cocks.
    tilt = math.radians([0, 8, 14, 18, 20][pose])
    dux, duy = math.cos(tilt), -math.sin(tilt)
    tip = (hx + 30 * dux, hy + 30 * duy)
    tail = (hx - 16 * dux, hy - 16 * duy)
    outline = ramp("brown", 1)

    def limb(a, b, r, shades):
        m = raster.capsule(w, h, a[0], a[1], b[0], b[1], r)
        img[raster.dilate(m, 1)] = outline
        raster.ramp_fill(img, m, shades, axis=0)
        return m

    # Shoulder and a piece of the body at the bottom left.
    body = raster.round_rect(w, h, -20, sy - 10, 46, h + 12, 14)
    img[raster.dilate(body, 1)] = outline
    raster.ramp_fill(img, body, [ramp("sleeve", s) for s in (9, 8, 7, 6, 5, 4)], axis=0)
    limb((sx, sy), (ex, ey), 11, [ramp("sleeve", s) for s in (11, 10, 9, 8, 7, 6)])
    # Forearm, then the dart, then the hand over it.
    limb((ex, ey), (hx - 4 * ux, hy - 4 * uy), 8,
         [ramp("skin", s) for s in (12, 11, 10, 9, 8)])
    flight = raster.polygon(w, h, [
        (tail[0] + 6 * duy * 0 - 2 * dux, tail[1] - 2 * duy),
        (tail[0] - 8 * dux - 6 * duy * -1 * 0 + 6 * math.sin(tilt) * 0, tail[1] - 8 * duy - 6),
        (tail[0] - 10 * dux, tail[1] - 10 * duy),
        (tail[0] - 8 * dux, tail[1] - 8 * duy + 6),
    ])
    img[raster.dilate(flight, 1)] = outline
    img[flight] = ramp("purple", 10)
    shaft = raster.capsule(w, h, tail[0], tail[1], hx, hy, 1.2)
    img[shaft] = ramp("metal", 6)
    barrel = raster.capsule(w, h, hx - 4 * dux, hy - 4 * duy, hx + 14 * dux, hy + 14 * duy, 2.4)
    img[raster.dilate(barrel, 1)] = outline
    raster.ramp_fill(img, barrel, [ramp("metal", s) for s in (15, 13, 11, 9, 7)], axis=0)
    point = raster.capsule(w, h, hx + 14 * dux, hy + 14 * duy, tip[0], tip[1], 0.8)
    img[point] = ramp("metal", 12)
    hand = raster.disc(w, h, hx, hy, 7.5)
    img[raster.dilate(hand, 1)] = outline
    raster.ramp_fill(img, hand, [ramp("skin", s) for s in (13, 12, 11, 10, 9)], axis=0)
    # Thumb over the barrel.
    thumb = raster.capsule(w, h, hx - 2, hy - 2, hx + 5 * dux, hy + 5 * duy - 3, 2.6)
    img[raster.dilate(thumb, 1)] = outline
    img[thumb] = ramp("skin", 13)
    # Cuff where the sleeve ends.
    cuff = raster.capsule(w, h, ex, ey, ex + 3 * (ex - sx) / math.hypot(ex - sx, ey - sy),
                          ey + 3 * (ey - sy) / math.hypot(ex - sx, ey - sy), 10)
    img[cuff & (img != KEY) & (img != outline)] = ramp("sleeve", 13)
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
    """The producer's emblem: a ringed target with a rising spark."""
    img = raster.canvas(size, size)
    c = size / 2
    img[raster.disc(size, size, c, c, c - 0.5)] = ramp("purple", 2)
    img[raster.disc(size, size, c, c, c - 2.5)] = ramp("purple", 8)
    img[raster.disc(size, size, c, c, c * 0.78)] = ramp("purple", 4)
    img[raster.disc(size, size, c, c, c * 0.62)] = ramp("purple", 11)
    img[raster.disc(size, size, c, c, c * 0.44)] = ramp("purple", 4)
    img[raster.disc(size, size, c, c, c * 0.26)] = ramp("yellow", 13)
    return img


def producer_large():
    w, h = 112, 112
    img = raster.canvas(w, h)
    raster.paste(img, emblem(80), 16, 2)
    # A monogram Q across the emblem's centre.
    q = font.caption("Q", 40, 40, scales=[(4, 4)])
    raster.paste(img, raster.trim(q), 45, 24)
    name = font.caption("QEN", 112, 30, fill=[ramp("purple", s) for s in (15, 14, 13, 12, 11, 10)],
                        outline=ramp("purple", 1), scales=[(2, 3)])
    raster.paste(img, raster.trim(name), (w - raster.trim(name).shape[1]) // 2, 84)
    return img


def producer_small():
    w, h = 112, 32
    img = raster.canvas(w, h)
    raster.paste(img, emblem(28), 8, 2)
    name = font.caption("QEN", 70, 28, fill=[ramp("purple", s) for s in (15, 14, 13, 12, 11, 10)],
                        outline=ramp("purple", 1), scales=[(2, 3)])
    raster.paste(img, raster.trim(name), 44, 4)
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
