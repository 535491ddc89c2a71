"""The 832x825 sprite sheet: every sprite drawn into its own rectangle on
the transparent key."""
import math

import numpy as np

import board
from palette import build as palette_build
import font
import raster
from palette import (KEY, BLACK, WHITE, CAPTION_OUTLINE, CAPTION_SHADOW,
                     ramp, luminance)
from sprites import RECTS, CAPTIONS, SHEET_W, SHEET_H
from captions import Y, caption_sprite
from thrower import arm


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


# The thick and thin rings are white with a dark edge, so that they show on
# the cream and the coloured beds as well as on the black ones.
FLASH_EDGE = ramp("grey", 1)
# The landing's flash and broken ring are white light, not stickers: a
# white heart, a body of white going faintly blue, and a rim of clear blue
# light, the one colour of theirs that stands out on the cream beds (the
# white itself does on the black, red and green ones).
BURST = (WHITE, ramp("metal", 14), ramp("blue", 15), ramp("blue", 12), ramp("blue", 8))
BURST_RADII = (4.6, 5.6, 6.2, 6.6, 7.1)
# Short rays of light on the axes and diagonals, past the rim: their half
# width in degrees and how far out they reach.
RAY_HALF_ANGLE, RAY_REACH = 6.5, 8.4


def _polar(w=16, h=16):
    """Distance from the sprite's centre pixel (8, 8) and angle in degrees."""
    x, y = raster.grid(w, h)
    dx, dy = x - 8.5, y - 8.5
    return np.hypot(dx, dy), np.degrees(np.arctan2(dy, dx)) % 360


def flash_disc():
    """A burst of white light: a white heart and body going faintly blue
    towards a blue rim, and short rays past the rim on the axes and
    diagonals."""
    img = raster.canvas(16, 16)
    r, ang = _polar()
    off = np.minimum(ang % 45, 45 - ang % 45)
    ray = off < RAY_HALF_ANGLE
    img[ray & (r <= RAY_REACH)] = BURST[4]
    img[ray & (r <= RAY_REACH - 0.9)] = BURST[2]
    for colour, radius in reversed(list(zip(BURST, BURST_RADII))):
        img[r <= radius] = colour
    return img


def thick_ring():
    img = raster.canvas(16, 16)
    img[raster.ring(16, 16, 8.5, 8.5, 3.0, 7.6)] = FLASH_EDGE
    img[raster.ring(16, 16, 8.5, 8.5, 4.2, 6.4)] = WHITE
    return img


def thin_ring():
    img = raster.canvas(16, 16)
    img[raster.ring(16, 16, 8.5, 8.5, 5.2, 7.8)] = FLASH_EDGE
    img[raster.ring(16, 16, 8.5, 8.5, 6.2, 7.0)] = WHITE
    return img


# The broken ring: BROKEN_PIECES short arcs, each BROKEN_SPAN degrees, set
# between the spark's points. The spark's edge: an orange dark enough to
# show on the cream beds, still light.
BROKEN_PIECES, BROKEN_SPAN = 8, 30.0
SPARK_EDGE = ramp("orange", 6)


def broken_ring():
    """The flash's ring flying apart: eight short white arcs going faintly
    blue, rimmed in blue light, centred between the axes and diagonals."""
    img = raster.canvas(16, 16)
    r, ang = _polar()
    step = 360 / BROKEN_PIECES
    off = (ang - step / 2) % step
    off = np.minimum(off, step - off)
    piece = (r >= 5.3) & (r <= 8.1) & (off < BROKEN_SPAN / 2)
    img[piece] = BURST[4]
    img[piece & (r <= 7.3) & (off < BROKEN_SPAN / 2 - 3)] = BURST[2]
    img[piece & (r >= 5.7) & (r <= 7.0) & (off < BROKEN_SPAN / 2 - 4)] = WHITE
    return img


def spark():
    """A small star centred on pixel (8, 8), where the dart's point is: a
    white heart going to yellow, four points on the axes and short ones on
    the diagonals, edged in deep orange light rather than a dark line, and
    small enough that the flash round it reads as a burst."""
    img = raster.canvas(16, 16)
    r, ang = _polar()
    a = np.radians(ang)
    reach = 1.5 + 2.4 * np.abs(np.cos(2 * a)) ** 6 + 0.9 * np.abs(np.sin(2 * a)) ** 6
    star = r <= reach
    img[raster.dilate(star, 1, square=False)] = SPARK_EDGE
    img[star] = Y(12)
    img[r <= 2.3] = Y(15)
    img[r <= 1.2] = WHITE
    return img


def marker():
    img = raster.canvas(16, 16)
    img[raster.disc(16, 16, 8, 8, 7.0)] = BLACK
    img[raster.disc(16, 16, 8, 8, 5.9)] = Y(10)
    img[raster.disc(16, 16, 7.2, 7.2, 3.6)] = Y(12)
    img[raster.disc(16, 16, 6.5, 6.5, 1.6)] = Y(15)
    return img


# The gauge's colours from no power to full: deep red through red and
# orange to a pale hot yellow, every step lighter than the one before.
HEAT = ([ramp("red", k) for k in range(3, 11)] + [ramp("yellow", k) for k in range(4, 11)] +
        [ramp("yellow", 12), ramp("yellow", 14)])
# Ticks every 10 degrees of the marker's path, the long ones every 30:
# dark on the light part of the band and light on the dark part.
TICK_DARK, TICK_LIGHT = ramp("red", 1), ramp("yellow", 13)


def tick_pixels(cx, cy, angle, r0, r1):
    """The pixels a radial line from r0 to r1 at angle crosses, one per
    step along it: a line one pixel wide whatever its angle."""
    a = math.radians(angle)
    out = set()
    r = r0
    while r <= r1:
        out.add((int(math.floor(cx + r * math.cos(a))), int(math.floor(cy - r * math.sin(a)))))
        r += 0.25
    return sorted(out)


def gauge():
    """The power arc: the marker's centre runs on radius 96 about (112, 112)
    from 180 degrees over the top to 41; the band follows that path, dark
    red at the start and hot pale yellow at the end."""
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
    # A lighter centre line along the band, so the arc reads as a tube.
    t = np.clip((hi - ang) / (hi - lo), 0, 1)
    step = np.clip((t * (len(HEAT) - 1) + 0.5).astype(int), 0, len(HEAT) - 1)
    tube = np.abs(d - 96.2) < 3.0
    step = np.where(tube, np.minimum(step + 1, len(HEAT) - 1), step)
    img[edge] = ramp("red", 0)
    img[band] = np.array(HEAT, dtype=np.uint8)[step[band]]
    for a in range(180, 39, -10):
        r1 = outer - 0.5 if a % 30 == 0 else 96.0
        under = HEAT[int((hi - a) / (hi - lo) * (len(HEAT) - 1) + 0.5)]
        colour = TICK_DARK if luminance(palette_colour(under)) > 0.2 else TICK_LIGHT
        for px, py in tick_pixels(112.5, 112.5, a, inner + 0.5, r1):
            py = min(py, h - 1)  # the tick at 180 degrees runs along the last row
            if 0 <= px < w and band[py, px]:
                img[py, px] = colour
    # A rail along the top: the edge of the black band the gauge is drawn
    # in, lit on top and shaded below, so the band is framed.
    for row, shade in enumerate((4, 15, 12, 9, 6, 2)):
        img[row, 1:w - 1] = ramp("metal", shade)
    img[0:6, 0] = img[0:6, w - 1] = ramp("metal", 2)
    return img


def palette_colour(index):
    return palette_build()[index]


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
    img[raster.dilate(outline, 1, square=False)] = ramp("blue", 9)
    img[outline] = ramp("blue", 0)
    # Close the pockets a diagonal stroke leaves (ground on three sides).
    ground = img == KEY
    shut = sum(raster.shift(~ground, dx, dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
    img[ground & (shut >= 3)] = ramp("blue", 0)
    raster.ramp_fill(img, m, [WHITE, WHITE, WHITE, WHITE, ramp("blue", 14), ramp("blue", 14)])
    return img


def big_digit(k):
    return font.caption(str(k), 16, 32, scales=[(2, 3)])


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
        # A raised key: black rim, a lit top edge, a dark foot, a graded face.
        img[raster.round_rect(w, h, 0, y0, 62, y0 + 20, 4)] = BLACK
        img[raster.round_rect(w, h, 1, y0 + 1, 61, y0 + 19, 3)] = ramp("green", 2)
        img[raster.round_rect(w, h, 1, y0 + 1, 61, y0 + 17, 3)] = ramp("green", 12)
        raster.ramp_fill(img, raster.round_rect(w, h, 2, y0 + 2, 60, y0 + 17, 2),
                         [ramp("green", s) for s in (9, 8, 7, 6, 5, 4)])
        t = font.small(plate, 58, 18, fill=[WHITE, WHITE, ramp("green", 14)],
                       outline=ramp("green", 1), scales=[(1, 2)])
        raster.paste(img, t, 2, y0 + 1)
        t = font.caption(word, 62, 22, scales=[(1, 2)])
        raster.paste(img, t, 64, y0)
    return img


def press_panel():
    """"Press The Button" on a small orange panel, one word a line, kept
    between the option rows' captions and their numbers so that both stay
    readable while the panel shows."""
    w, h = 160, 64
    img = raster.canvas(w, h)
    white = [WHITE, WHITE, ramp("orange", 15), ramp("orange", 14)]
    lines = [raster.trim(font.caption(word, 80, 22, fill=white, outline=ramp("orange", 0),
                                      scales=[(2, 2)])) for word in ("Press", "The", "Button")]
    pw = max(t.shape[1] for t in lines) + 14
    x0 = PRESS_PANEL_LEFT
    box = raster.round_rect(w, h, x0, 0, x0 + pw, h, 6)
    img[box] = ramp("orange", 0)
    inner = raster.round_rect(w, h, x0 + 1, 1, x0 + pw - 1, h - 1, 5)
    raster.ramp_fill(img, inner, [ramp("orange", s) for s in (11, 10, 9, 9, 8, 8, 7, 6)])
    img[raster.round_rect(w, h, x0 + 3, 2, x0 + pw - 3, 4, 1)] = ramp("orange", 13)
    for i, t in enumerate(lines):
        raster.paste(img, t, x0 + (pw - t.shape[1]) // 2, 3 + 20 * i)
    return img


# The panel's left edge in its sprite (drawn at x 48): clear of the option
# captions beneath it, which end by screen x 76.
PRESS_PANEL_LEFT = 30


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
