"""The 240x320 title picture: the logo, a darts motif and the four menu
words, each inside its menu row right of the cursor column."""
import math

import numpy as np

import board
import font
import raster
import sheet
from palette import WHITE, ramp

W, H = 240, 320
MENU = ("START", "OPTION", "ABOUT", "QUIT")
MENU_TOP = 112   # row r covers 112 + 32r to 143 + 32r
MENU_LEFT = 144  # the cursor sits at 128..143
MENU_RIGHT = 231


def backdrop():
    img = np.zeros((H, W), dtype=np.uint8)
    x, y = raster.grid(W, H)
    # A dark wall, lighter round a spotlight on the board.
    d = np.sqrt((x - 64) ** 2 + ((y - 176) * 0.8) ** 2)
    step = np.clip(8 - (d / 22).astype(int), 0, 8)
    # Ordered dither between neighbouring steps keeps the light soft.
    bayer = np.array([[0, 2], [3, 1]])
    frac = (d / 22) % 1
    step = np.where(frac * 4 < bayer[(np.arange(H) % 2)[:, None], (np.arange(W) % 2)[None, :]] + 0.5,
                    step, np.maximum(step - 1, 0))
    img[:] = (ramp("wall", 0) + step).astype(np.uint8)
    return img


def menu_word(text):
    return font.caption(text, MENU_RIGHT - MENU_LEFT, 32, scales=[(2, 3)])


def draw_dart(img, x0, y0, angle_deg, length):
    """A dart whose point is at (x0, y0), flying in from angle_deg."""
    a = math.radians(angle_deg)
    ux, uy = math.cos(a), -math.sin(a)
    pts = lambda t: (x0 + ux * t, y0 + uy * t)  # noqa: E731
    outline = ramp("brown", 1)
    h, w = img.shape
    flight_base = pts(length - 14)
    flight_end = pts(length)
    px, py = -uy, ux
    for side in (1, -1):
        fl = raster.polygon(w, h, [flight_base, (flight_end[0] + side * 7 * px, flight_end[1] + side * 7 * py),
                                   (flight_end[0] + ux * 2, flight_end[1] + uy * 2)])
        img[raster.dilate(fl, 1)] = outline
        img[fl] = ramp("purple", 10 if side > 0 else 7)
    shaft = raster.capsule(w, h, *pts(16), *pts(length - 6), 1.3)
    img[shaft] = ramp("metal", 7)
    barrel = raster.capsule(w, h, *pts(6), *pts(18), 2.6)
    img[raster.dilate(barrel, 1)] = outline
    raster.ramp_fill(img, barrel, [ramp("metal", s) for s in (15, 13, 11, 9, 7)])
    point = raster.capsule(w, h, *pts(0), *pts(6), 0.8)
    img[point] = ramp("metal", 13)


def build():
    img = backdrop()
    # The board, half size, hung on the wall at the left of the menu.
    small = board.draw(board.FULL, half=True)
    bx, by = 8, 122
    shadow = raster.disc(W, H, bx + 56 + 3, by + 56 + 4, 56)
    img[shadow] = ramp("wall", 0)
    raster.paste(img, small, bx, by)
    # Two darts home: one in the treble twenty, one just off the bull.
    draw_dart(img, bx + 57, by + 30, 72, 34)
    draw_dart(img, bx + 61, by + 52, 38, 34)
    # Logo and strapline.
    logo = sheet.logo_word(232, 60)
    raster.paste(img, logo, 4, 18)
    strap = font.caption("DARTS FOR ONE TO FOUR", 232, 20, scales=[(1, 2)])
    raster.paste(img, strap, 4, 78)
    # Menu words, left-aligned from the cursor column, centred in each row.
    for r, word in enumerate(MENU):
        t = raster.trim(menu_word(word))
        th, tw = t.shape
        raster.paste(img, t, MENU_LEFT + 4, MENU_TOP + 32 * r + (32 - th) // 2)
    # The copyright line in the about screen's white text.
    foot = font.small("(C) 2026 Qen", 120, 18, fill=[WHITE, WHITE, ramp("grey", 12)],
                      outline=ramp("night", 1), scales=[(1, 2)])
    raster.paste(img, foot, 116, 296)
    return img
