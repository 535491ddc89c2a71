"""The art's own rules, checked over the finished sheet: caption widths,
letter heights, colours and contrast, the flash and the throw."""
import math

import numpy as np

import board
import raster
from palette import KEY, BG_GREEN, CAPTION_OUTLINE, ramp, luminance
from sprites import RECTS, CAPTIONS, SPRITES, NUMBER
from sheet import BROKEN_PIECES, HEAT, TICK_DARK, TICK_LIGHT
from thrower import SPOT_STEPS
from captions import (BOARD_AT, BUST, CAPTION_FILL, DRAWN_AT, FAILED, FAILED_OUTLINE,
                      FAILED_ROWS, RESULT_CAPTIONS, RESULT_FILL, SETUP_WORDS, letters_of,
                      pieces, rim_numbers_under)


def contrast(a, b):
    """The contrast ratio of two sRGB colours, 1 to 21."""
    hi, lo = sorted((luminance(a), luminance(b)), reverse=True)
    return (hi + 0.05) / (lo + 0.05)


def hue_chroma(c):
    """Hue in degrees (0 red, 60 yellow) and chroma (0 to 255) of a colour."""
    r, g, b = (float(v) for v in c)
    hi, lo = max(r, g, b), min(r, g, b)
    if hi == lo:
        return 0.0, 0.0
    if hi == r:
        hue = 60 * (g - b) / (hi - lo)
    elif hi == g:
        hue = 60 * (2 + (b - r) / (hi - lo))
    else:
        hue = 60 * (4 + (r - g) / (hi - lo))
    return hue % 360, hi - lo


# Every fill colour against the letters' outline, and the letters' edge
# (their outline or their darkest fill, whichever stands out more) against
# every colour of the ground the caption is drawn on. A failure's letters,
# darker than a success's, stand out harder from their outline, and stay
# a strong yellow-orange: no fill colour greyer than the saturation floor
# or under the chroma floor (a khaki or an ochre fails both).
LETTERS_OUTLINE_FLOOR, OUTLINE_GROUND_FLOOR = 4.5, 3.0
FAILED_OUTLINE_FLOOR, FAILED_SATURATION_FLOOR, FAILED_CHROMA_FLOOR = 7.0, 0.6, 150
# Result letters: capitals at least this tall, in yellow (hues from orange
# to lemon); a failure's letters darker and duller than a success's.
LETTER_HEIGHT_FLOOR = 22
YELLOW_HUES = (35.0, 65.0)
# A rim number keeps this many pixels of the board's own rim round it.
RIM_CLEARANCE = 1


def tallest_letter(fill):
    """The most rows from the top to the bottom of one letter's fill in any
    column (cracks inside the letter count as letter)."""
    best = 0
    for col in fill.T:
        ys = np.nonzero(col)[0]
        if len(ys):
            best = max(best, ys.max() - ys.min() + 1)
    return best


def ground_under(n, pal):
    """The colours the caption's figure borders on the screen: the board on
    the felt green, where the caption is drawn."""
    x, y, w, h = RECTS[n]
    dx, dy = DRAWN_AT[n]
    screen = np.full((h + 2, w + 2), BG_GREEN, dtype=np.uint8)
    b = board.draw(board.FULL)
    bx, by = BOARD_AT[0] - dx + 1, BOARD_AT[1] - dy + 1
    region = screen[max(by, 0):by + b.shape[0], max(bx, 0):bx + b.shape[1]]
    part = b[max(-by, 0):max(-by, 0) + region.shape[0], max(-bx, 0):max(-bx, 0) + region.shape[1]]
    region[part != KEY] = part[part != KEY]
    return screen


def caption_problems(n, img, pal, mean_lum):
    name = SPRITES[n].name
    out = []
    failed = n in FAILED
    fills = FAILED_ROWS if failed else RESULT_FILL
    outline = FAILED_OUTLINE if failed else CAPTION_OUTLINE
    fill = np.isin(img, fills)
    tall = tallest_letter(fill)
    if tall < LETTER_HEIGHT_FLOOR:
        out.append(f"{name}: letters {tall} pixels tall, under {LETTER_HEIGHT_FLOOR}")
    used = sorted(set(img[fill].tolist()))
    for c in used:
        hue, chroma = hue_chroma(pal[c])
        if not YELLOW_HUES[0] <= hue <= YELLOW_HUES[1]:
            out.append(f"{name}: fill colour {c} of hue {hue:.0f}, not yellow")
        floor = FAILED_OUTLINE_FLOOR if failed else LETTERS_OUTLINE_FLOOR
        if contrast(pal[c], pal[outline]) < floor:
            out.append(f"{name}: fill {c} against its outline at "
                       f"{contrast(pal[c], pal[outline]):.2f}:1, under {floor}:1")
        if failed and (chroma < FAILED_CHROMA_FLOOR or
                       chroma / max(pal[c]) < FAILED_SATURATION_FLOOR):
            out.append(f"{name}: fill colour {c} {pal[c]} too grey for yellow letters")
    mean_lum[n] = np.mean([luminance(pal[c]) for c in img[fill].tolist()])
    darkest = min(used, key=lambda c: luminance(pal[c]))
    screen = ground_under(n, pal)
    figure = np.zeros(screen.shape, dtype=bool)
    figure[1:-1, 1:-1] = img != KEY
    border = raster.dilate(figure, 1, square=False) & ~figure
    for g in sorted(set(screen[border].tolist())):
        best = max(contrast(pal[outline], pal[g]), contrast(pal[darkest], pal[g]))
        if best < OUTLINE_GROUND_FLOOR:
            out.append(f"{name}: edge against ground colour {g} at {best:.2f}:1, "
                       f"under {OUTLINE_GROUND_FLOOR}:1")
    if n != BUST:
        near = raster.dilate(rim_numbers_under(n), RIM_CLEARANCE)
        if (near & (img != KEY)).any():
            out.append(f"{name}: touches a rim number")
    return out


# The landing's flash, broken ring and spark: no pixel darker than this
# luminance (light has no dark outline), and on every bed of the board some
# colour of theirs stands out at the ground floor.
FLASH_DARKEST = 0.15
# The flash disc reads as white: more than this share of its pixels near
# white (at least WHITE_LUMINANCE light, at most WHITE_CHROMA coloured).
FLASH_WHITE_SHARE, WHITE_LUMINANCE, WHITE_CHROMA = 0.5, 0.8, 48
BEDS = {"cream": board.BOARD_CREAM, "black": board.BOARD_DARK, "red": board.BOARD_RED,
        "green": board.BOARD_GREEN}


def flash_problems(sheet, pal):
    """The flash, the broken ring and the spark drawn over them are light
    (nothing dark, so the spark makes no dark cross on the flash) and show
    on every bed; the ring breaks into all its pieces."""
    out = []
    x, y, w, h = RECTS[NUMBER["BrokenRing"]]
    count = len(pieces(sheet[y:y + h, x:x + w] != KEY))
    if count != BROKEN_PIECES:
        out.append(f"BrokenRing: {count} pieces, not {BROKEN_PIECES}")
    x, y, w, h = RECTS[NUMBER["FlashDisc"]]
    disc = sheet[y:y + h, x:x + w]
    disc = disc[disc != KEY].tolist()
    white = sum(luminance(pal[c]) >= WHITE_LUMINANCE and hue_chroma(pal[c])[1] <= WHITE_CHROMA
                for c in disc)
    if white <= FLASH_WHITE_SHARE * len(disc):
        out.append(f"FlashDisc: {white} of its {len(disc)} pixels near white")
    for name in ("FlashDisc", "BrokenRing", "Spark"):
        x, y, w, h = RECTS[NUMBER[name]]
        img = sheet[y:y + h, x:x + w]
        colours = sorted(set(img[img != KEY].tolist()))
        for c in colours:
            if luminance(pal[c]) < FLASH_DARKEST:
                out.append(f"{name}: colour {c} too dark for light")
        for bed, g in BEDS.items():
            best = max(contrast(pal[c], pal[g]) for c in colours)
            if best < OUTLINE_GROUND_FLOOR:
                out.append(f"{name}: on the {bed} beds at best {best:.2f}:1")
    return out


# The thrower's spotlight leaves this many pixels at every edge of his
# sprites black (the key, over the black band).
SPOT_MARGIN = 4
# Degrees of hue the gauge may step back towards red (its deep reds lean
# a little to crimson).
HUE_SLACK = 4.0
# A tick's pixels average within this many degrees of its place.
TICK_ANGLE_SLACK = 0.75


def throw_problems(sheet, pal):
    """The gauge lighter and hotter (from red towards yellow) at every step
    of the marker's path and yellow at full power, its ticks alike and
    evenly spaced; the spotlight faded out before the arm sprites'
    edges and the body faded out before their foot."""
    out = []
    x, y, w, h = RECTS[NUMBER["Gauge"]]
    img = sheet[y:y + h, x:x + w]
    path = []
    for a in range(180, 40, -1):
        px = int(112.5 + 92 * math.cos(math.radians(a)))
        py = min(int(112.5 - 92 * math.sin(math.radians(a))), h - 1)
        c = img[py, px]
        if c in HEAT:
            hue = hue_chroma(pal[c])[0]
            path.append((a, luminance(pal[c]), hue - 360 if hue > 180 else hue))
    for (a0, l0, h0), (a1, l1, h1) in zip(path, path[1:]):
        if l1 < l0:
            out.append(f"Gauge: darker at {a1} degrees than at {a0}")
        if h1 < h0 - HUE_SLACK:
            out.append(f"Gauge: cooler (redder) at {a1} degrees than at {a0}")
    if not YELLOW_HUES[0] <= path[-1][2] <= YELLOW_HUES[1]:
        out.append(f"Gauge: full power is not yellow hot (hue {path[-1][2]:.0f})")
    ticks = {}
    for py, px in zip(*np.nonzero(np.isin(img, [TICK_DARK, TICK_LIGHT]))):
        ddx, ddy = px + 0.5 - 112.5, 112.5 - (py + 0.5)
        a = math.degrees(math.atan2(ddy, ddx))
        ticks.setdefault(int(round(a / 10)) * 10, []).append((a, math.hypot(ddx, ddy)))
    if sorted(ticks) != list(range(40, 181, 10)):
        out.append(f"Gauge: ticks at {sorted(ticks)}")
    for a, pts in sorted(ticks.items()):
        mean = sum(p[0] for p in pts) / len(pts)
        if abs(mean - a) > TICK_ANGLE_SLACK:
            out.append(f"Gauge: the tick at {a} degrees lies at {mean:.1f}")
    for long_tick in (False, True):
        reach = {a: max(p[1] for p in pts) - min(p[1] for p in pts)
                 for a, pts in ticks.items() if (a % 30 == 0) == long_tick}
        if reach and max(reach.values()) - min(reach.values()) > 1.5:
            out.append(f"Gauge: ticks of uneven length {reach}")
    for p in range(5):
        x, y, w, h = RECTS[NUMBER[f"Arm{p + 1}"]]
        img = sheet[y:y + h, x:x + w]
        first = ramp("night", 0)
        spot = (img >= first) & (img < first + SPOT_STEPS)
        border = np.ones((h, w), dtype=bool)
        border[SPOT_MARGIN:h - SPOT_MARGIN, SPOT_MARGIN:w - SPOT_MARGIN] = False
        if (spot & border).any():
            out.append(f"Arm{p + 1}: the spotlight reaches the sprite's edge")
        if (img[h - 1] != KEY).any():
            out.append(f"Arm{p + 1}: the body cut off by the sprite's foot")
    return out


def problems(sheet, pal):
    """What the art gets wrong by its own rules: captions that leave more
    than a quarter of their sprite's width empty (the set-up words aside,
    which keep one spacing), result captions whose letters are short, not
    yellow, under the contrast floors or on a rim number, and failed
    results no darker or duller than the successes."""
    out = []
    for n in CAPTIONS:
        if n in SETUP_WORDS:
            continue
        x, y, w, h = RECTS[n]
        img = sheet[y:y + h, x:x + w]
        xs = np.nonzero(letters_of(img).any(axis=0))[0]
        if xs.max() - xs.min() + 1 < CAPTION_FILL * w:
            out.append(f"{SPRITES[n].name}: letters span {xs.max() - xs.min() + 1} of {w} pixels")
    mean_lum = {}
    for n in sorted(RESULT_CAPTIONS | {BUST}):
        x, y, w, h = RECTS[n]
        out += caption_problems(n, sheet[y:y + h, x:x + w], pal, mean_lum)
    fill_chroma = {False: [hue_chroma(pal[c])[1] for c in RESULT_FILL],
                   True: [hue_chroma(pal[c])[1] for c in FAILED_ROWS]}
    brightest_failure = max(mean_lum[n] for n in FAILED)
    dimmest_success = min(mean_lum[n] for n in RESULT_CAPTIONS - FAILED)
    if brightest_failure >= dimmest_success:
        out.append(f"failed results' letters not darker than the successes' "
                   f"({brightest_failure:.3f} against {dimmest_success:.3f})")
    if np.mean(fill_chroma[True]) >= np.mean(fill_chroma[False]):
        out.append("failed results' letters not duller than the successes'")
    return out + flash_problems(sheet, pal) + throw_problems(sheet, pal)
