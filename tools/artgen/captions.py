"""The captions: the set-up words, the result captions in their block face
(the failed ones darker, duller and cracked) and the win caption."""
import numpy as np

import board
import font
import raster
from palette import KEY, BLACK, WHITE, CAPTION_OUTLINE, CAPTION_SHADOW, ramp
from sprites import RECTS, SPRITES, NUMBER

Y = lambda s: ramp("yellow", s)  # noqa: E731


# Every caption's letters span at least this share of its sprite's width,
# so that a caption reads at 1x and sits where its sprite is drawn.
CAPTION_FILL = 0.75

# Where a caption's letters stand in their sprite: from a left inset, up to
# a right inset, or centred. Captions in a list share one left inset, so a
# list reads down a straight line; a caption followed by a number ends at
# its sprite's right edge, next to the number.
LIST_INSET = 2
ALIGN = {name: ("left", LIST_INSET) for name in (
    "SelectGame", "SelectPlayer", "Game301", "GameCountUp", "GameHighScore", "GameRoundTheClock",
    "Sound", "Up", "Down", "Left", "Right", "ButtonA", "ButtonB", "ButtonC", "On", "Off",
    "Ready")}
ALIGN.update({"Player": ("right", 2), "Round": ("right", 8), "NextTarget": ("right", 8)})
# "1st" ends where "TRY" (drawn 48 pixels to its right) begins, a word
# space before its letters.
ALIGN.update({"FirstDart": ("left", 0), "SecondDart": ("left", 0), "ThirdDart": ("left", 0),
              "Try": ("left", 8)})
# The words of the set-up screens stand in one face with one spacing: the
# menus' scale, letters two pixels apart and no widening to fill a sprite,
# so that "301" and "Count Up" read as one list with the other games.
SETUP_WORDS = {NUMBER[name] for name in (
    "SelectGame", "SelectPlayer", "Game301", "GameCountUp", "GameHighScore",
    "GameRoundTheClock", "Player", "Ready")}
SETUP_SCALE = (2, 3)

# Result captions: one bold block face for all of them (font.block_caption),
# capitals BLOCK_CAP pixels tall. They are drawn at the screen's top left
# over the board, so their letters start on the screen's top row (the
# outline above them would fall off the sprite) and their outline and
# shadow give way round the rim numbers they would touch.
RESULT_CAPTIONS = {NUMBER[name] for name in (
    "Triple", "Double", "Miss", "SingleBull", "DoubleBull", "Success", "Fail")}
RESULT_INSET = 4
ALIGN.update({SPRITES[n].name: ("left", RESULT_INSET) for n in RESULT_CAPTIONS})
RESULT_FILL = font.YELLOW_ROWS
RESULT_STEM = 3
# Results that failed: the same yellow block letters gone darker and duller,
# heavier, sinking towards their end and cracked through. "Bust!!" is drawn
# over the middle of the board and keeps its outline all round.
FAILED = {NUMBER[name] for name in ("Bust", "Miss", "Fail")}
BUST = NUMBER["Bust"]
ALIGN["Bust"] = ("left", 4)
# Their fill runs from a pale yellow at the cap line down through the amber
# ramp, as far from top to bottom as a success's does over the small
# letters; its foot stays light enough to part from the felt.
FAILED_ROWS = [Y(12), Y(12)] + [ramp("dull", s) for s in (13, 13, 12, 11, 11, 10, 10, 9, 9, 9)]
FAILED_OUTLINE = ramp("brown", 0)
# The cracks: a deep brown, dark against the amber, and only in letters at
# least this many pixels wide (not in "!" or ".").
CRACK, CRACK_MIN_WIDTH = ramp("brown", 3), 7
FAILED_STEM, FAILED_SAG = 3, 3
# "Bust!!" outweighs the result beside it: a double outline and a deeper
# shadow part it from the board's beds.
BUST_TOP, BUST_EDGE, BUST_SHADOW = 0, 2, (3, 3)
# The scales tried for the other captions, best first.
MENU_SCALES = [(2, 3), (3, 3), (2, 2), (1, 2)]
# Where the board is drawn under the result captions, and where "Bust!!" is.
BOARD_AT = (8, 16)
DRAWN_AT = {n: (0, 0) for n in RESULT_CAPTIONS}
DRAWN_AT[BUST] = (88, 112)


def letters_of(img):
    """The caption's letters: its pixels off the key, less its shadow."""
    return np.isin(img, [KEY, CAPTION_SHADOW, BLACK], invert=True)


def fitted_caption(n, words, w, h):
    """The caption at the first scale and letter spacing whose letters span
    CAPTION_FILL of the width and still fit, aligned as ALIGN says (else
    the widest that fits); the set-up words at their one scale and
    spacing."""
    side, inset = ALIGN.get(SPRITES[n].name, ("centre", 0))
    if n in SETUP_WORDS:
        img = raster.trim(font.caption(words, 2 * w, h, scales=[SETUP_SCALE], left=0))
        iw = img.shape[1]
        left = {"left": inset, "right": w - inset - iw, "centre": (w - iw) // 2}[side]
        return font.caption(words, w, h, scales=[SETUP_SCALE], left=left)
    room = w - (inset if side != "centre" else 0)
    # Modest letter spacing at every scale before wide spacing at any.
    tries = [(sx, sy, e) for wide in (False, True) for sx, sy in MENU_SCALES
             for e in (range(sx + 1, 2 * sx + 1) if wide else range(0, sx + 1))]
    best = None
    for sx, sy, extra in tries:
        try:
            probe = font.caption(words, 2 * w, h, scales=[(sx, sy)], left=0, extra=extra)
        except ValueError:
            continue
        trimmed = raster.trim(probe)
        if trimmed.shape[1] > room:
            continue
        xs = np.nonzero(letters_of(probe).any(axis=0))[0]
        span = xs.max() - xs.min() + 1
        if best is None or span > best[0]:
            best = (span, sx, sy, extra, trimmed.shape[1])
        if span >= CAPTION_FILL * w:
            break
    _, sx, sy, extra, iw = best
    left = {"left": inset, "right": w - inset - iw, "centre": (w - iw) // 2}[side]
    return font.caption(words, w, h, scales=[(sx, sy)], left=left, extra=extra)


def rim_numbers_under(n):
    """The board's rim numbers under caption n where it is drawn, in the
    caption's own pixels."""
    x, y, w, h = RECTS[n]
    dx, dy = DRAWN_AT[n]
    numbers = np.zeros((h, w), dtype=bool)
    b = board.draw(board.FULL) == board.BOARD_NUMBER
    bx, by = BOARD_AT[0] - dx, BOARD_AT[1] - dy
    ys, xs = np.nonzero(b)
    ys, xs = ys + by, xs + bx
    inside = (ys >= 0) & (ys < h) & (xs >= 0) & (xs < w)
    numbers[ys[inside], xs[inside]] = True
    return numbers


def result_caption(n, words, w, h):
    """A result in the block face: letters spread until they span
    CAPTION_FILL of the sprite, from the results' left inset."""
    failed = n in FAILED
    style = dict(fill=FAILED_ROWS if failed else RESULT_FILL,
                 outline=FAILED_OUTLINE if failed else CAPTION_OUTLINE, shadow=CAPTION_SHADOW,
                 stem=FAILED_STEM if failed else RESULT_STEM, sag=FAILED_SAG if failed else 0)
    if n == BUST:
        style.update(edge=BUST_EDGE, shadow_off=BUST_SHADOW)
    _, inset = ALIGN[SPRITES[n].name]
    chosen = None
    for extra in range(0, 8):
        img = font.block_caption(words, extra=extra, **style)
        if img.shape[1] > w - inset:
            break
        chosen = img
        xs = np.nonzero(letters_of(img).any(axis=0))[0]
        if xs.max() - xs.min() + 1 >= CAPTION_FILL * w:
            break
    if chosen is None:
        raise ValueError(f"caption {words!r} does not fit {w}x{h}")
    box = raster.canvas(w, h)
    if n == BUST:
        raster.paste(box, chosen, inset, BUST_TOP)
    else:
        # The letters' cap line on the sprite's (and screen's) top row.
        raster.paste(box, chosen[1:], inset, 0)
        near = raster.dilate(rim_numbers_under(n), 1)
        box[near & np.isin(box, [CAPTION_OUTLINE, FAILED_OUTLINE, CAPTION_SHADOW])] = KEY
    if failed:
        crack(box)
    return box


def pieces(mask):
    """The 4-connected pieces of a mask, each as a mask, left to right."""
    h, w = mask.shape
    seen = np.zeros((h, w), dtype=bool)
    out = []
    for x in range(w):
        for y in range(h):
            if not mask[y, x] or seen[y, x]:
                continue
            piece = np.zeros((h, w), dtype=bool)
            todo = [(y, x)]
            seen[y, x] = True
            while todo:
                cy, cx = todo.pop()
                piece[cy, cx] = True
                for ny, nx in ((cy - 1, cx), (cy + 1, cx), (cy, cx - 1), (cy, cx + 1)):
                    if 0 <= ny < h and 0 <= nx < w and mask[ny, nx] and not seen[ny, nx]:
                        seen[ny, nx] = True
                        todo.append((ny, nx))
            out.append(piece)
    return out


def crack(img):
    """A short dark split down from the top of every letter wide enough to
    carry one, zigzagging to about half the letter's height: cracked, yet
    every letter keeps its shape."""
    h, w = img.shape
    line = np.zeros((h, w), dtype=bool)
    for letter in pieces(np.isin(img, FAILED_ROWS)):
        ys, xs = np.nonzero(letter)
        if xs.max() - xs.min() + 1 < CRACK_MIN_WIDTH:
            continue
        top, tall = ys.min(), ys.max() - ys.min()
        cx = xs.min() + (xs.max() - xs.min() + 1) * 0.55
        pts = [(cx, top), (cx - 1.5, top + tall * 0.22), (cx + 1.0, top + tall * 0.38),
               (cx - 0.5, top + tall * 0.52)]
        for (x0, y0), (x1, y1) in zip(pts, pts[1:]):
            line |= raster.capsule(w, h, x0, y0, x1, y1, 0.5) & letter
    img[line] = CRACK


WIN = NUMBER["Win"]


def win_caption(w, h):
    """"WIN!" filling its sprite: tall letters from white to gold, and a few
    glints on the letters themselves."""
    fill = [WHITE, WHITE, Y(15), Y(15), Y(14), Y(14), Y(13), Y(13), Y(12), Y(12), Y(11), Y(10)]
    img = font.caption("WIN!", w, h, fill=fill, scales=[(3, 3)], left=0)
    inside = np.isin(img, fill)
    for (x, y, r) in ((4, 7, 2), (31, 16, 2), (53, 6, 1)):
        star = np.zeros((h, w), dtype=bool)
        star[max(y - r, 0):y + r + 1, x] = True
        star[y, max(x - r, 0):x + r + 1] = True
        img[star & inside] = WHITE
    return img


def caption_sprite(n, words, w, h):
    if n == WIN:
        return win_caption(w, h)
    if n in RESULT_CAPTIONS or n == BUST:
        return result_caption(n, words, w, h)
    return fitted_caption(n, words, w, h)
