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
    # A 4x4 ordered dither between neighbouring steps, sixteen levels to a
    # step, keeps the light soft with no ring where one step meets the next.
    frac = (d / 22) % 1
    step = np.where(frac < raster.BAYER4[(np.arange(H) % 4)[:, None], (np.arange(W) % 4)[None, :]],
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


# Where the two darts' points are on the small board, and the angle they
# come in from.
DARTS = ((57, 30), (61, 52))
DART_ANGLE = -35


# The small board's place on the wall.
BOARD_AT = (8, 122)


def build():
    img = backdrop()
    # The board, half size, hung on the wall at the left of the menu.
    small = board.draw(board.FULL, half=True)
    bx, by = BOARD_AT
    shadow = raster.disc(W, H, bx + 56 + 3, by + 56 + 4, 56)
    img[shadow] = ramp("wall", 0)
    raster.paste(img, small, bx, by)
    # Two darts home, one in the treble twenty and one just off the bull,
    # both thrown from the lower right, so that their flights lie over the
    # board's beds and leave the rim numbers clear.
    for x, y in DARTS:
        draw_dart(img, bx + x, by + y, DART_ANGLE, 34)
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


def problems(img):
    """What the title gets wrong by its own rules: a dart over a rim number
    of the small board, or within a pixel of one."""
    small = board.draw(board.FULL, half=True)
    numbers = np.zeros((H, W), dtype=bool)
    h, w = small.shape
    numbers[BOARD_AT[1]:BOARD_AT[1] + h, BOARD_AT[0]:BOARD_AT[0] + w] = small == board.BOARD_NUMBER
    near = raster.dilate(numbers, 1)
    bare = backdrop()
    raster.paste(bare, small, *BOARD_AT)
    covered = near & (img != bare) & ~numbers | numbers & (img != board.BOARD_NUMBER)
    ys, xs = np.nonzero(covered)
    return [f"title: a dart covers or touches a rim number at ({x}, {y})"
            for x, y in zip(xs[:3], ys[:3])]
