"""The 832x825 sprite sheet: every sprite drawn into its own rectangle on
the transparent key."""
import math

import numpy as np

import board
from palette import build as palette_build
import font
import raster
from palette import (KEY, BLACK, WHITE, BG_GREEN, CAPTION_OUTLINE, CAPTION_SHADOW,
                     RAMPS as palette_ramps, ramp)
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
    ((88, 76), (55, 84)),     # drawn right back: elbow up and out, the hand by the shoulder
]
# The dart's angle in the last pose, where the forearm points back at the
# thrower and the dart, held back by the ear, still points at the board.
DRAWN_BACK_DART = 80
# The shirt fades into the dark over its last rows, so that the sprite's
# foot leaves no hard edge across the body.
TORSO_FADE_ROWS = 22
ARC_CENTRE = (80.5, 112.5)
REACH = 83
HEAD = (22, 86, 16)
OUTLINE = ramp("brown", 1)
BACK_RIM = ramp("night", 12)
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


def dart_axis(hx, hy, angle_deg):
    a = math.radians(angle_deg)
    ux, uy = math.cos(a), -math.sin(a)
    return a, ux, uy, (lambda k: (hx + ux * k, hy + uy * k))


def draw_flights(img, hx, hy, angle_deg):
    """The dart's flights, nearest the eye, fanned out behind the fist: only
    their tips show round the fingers."""
    h, w = img.shape
    a, ux, uy, at = dart_axis(hx, hy, angle_deg)
    fx, fy = at(-10)
    fins = np.zeros((h, w), dtype=bool)
    for k in range(4):
        fa = a + math.radians(45 + 90 * k)
        fins |= raster.polygon(w, h, [(fx + ux * 3, fy + uy * 3),
                                      (fx + 11.5 * math.cos(fa), fy - 11.5 * math.sin(fa)),
                                      (fx - ux * 2, fy - uy * 2)])
    img[raster.dilate(fins, 1, square=False)] = OUTLINE
    lit_fill(img, fins, "purple", 11, 14, 8, rim=1, shade=2)


def draw_side_flight(img, hx, hy, angle_deg):
    """The dart seen side on behind the fist: a thin shaft and a flight
    spread wide at its back, a kite on the dart's line."""
    h, w = img.shape
    a, ux, uy, at = dart_axis(hx, hy, angle_deg)
    px, py = -uy, ux  # across the dart
    shaft = limb(w, h, at(-2), at(-9), 0.8)
    (fx, fy), (bx, by) = at(-7), at(-19)
    fins = raster.polygon(w, h, [(fx, fy), (bx + 4.5 * px, by + 4.5 * py), (bx - ux * 1.5, by - uy * 1.5),
                                 (bx - 4.5 * px, by - 4.5 * py)])
    img[raster.dilate(fins | shaft, 1, square=False)] = OUTLINE
    img[shaft] = ramp("metal", 8)
    lit_fill(img, fins, "purple", 10, 14, 6, rim=1, shade=1)
    # The flight's spine down its middle.
    img[limb(w, h, at(-9), at(-17), 0.5) & fins] = ramp("purple", 4)


def draw_barrel(img, hx, hy, angle_deg, length=10):
    """The barrel and point, out of the top of the fist towards the board:
    a barrel length pixels long, grooved across, and a point two thirds
    as long again."""
    h, w = img.shape
    _, _, _, at = dart_axis(hx, hy, angle_deg)
    barrel = limb(w, h, at(1), at(length), 2.0)
    point = limb(w, h, at(length + 1), at(length * 1.6), 0.6)
    img[raster.dilate(barrel, 1, square=False)] = OUTLINE
    if length > 10:
        img[raster.dilate(point, 1, square=False) & (img != OUTLINE) & ~barrel] = OUTLINE
    lit_fill(img, barrel, "metal", 11, 15, 6, rim=1, shade=1)
    if length > 10:
        for k in range(4, length - 1, 3):
            img[limb(w, h, at(k), at(k), 1.6) & barrel] = ramp("metal", 7)
    img[point] = ramp("metal", 14)


# A spotlight on the thrower: a pool of cool light behind his shoulders,
# dithered down to the black of the band well inside the sprite, so that no
# edge of the rectangle shows. Its steps stay below the thrower's back rim
# (BACK_RIM) in the ramp.
SPOT_CENTRE, SPOT_RADII, SPOT_STEPS = (62, 98), (56, 42), 12
BAYER4 = np.array([[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]) / 16 + 1 / 32


def spotlight(w, h):
    img = raster.canvas(w, h)
    x, y = raster.grid(w, h)
    d = np.hypot((x - SPOT_CENTRE[0]) / SPOT_RADII[0], (y - SPOT_CENTRE[1]) / SPOT_RADII[1])
    level = SPOT_STEPS * np.clip(1 - d, 0, 1) ** 1.3
    threshold = BAYER4[np.arange(h)[:, None] % 4, np.arange(w)[None, :] % 4]
    step = (level + threshold).astype(int) - 1
    lit = step >= 0
    img[lit] = (ramp("night", 0) + np.minimum(step[lit], SPOT_STEPS - 1)).astype(np.uint8)
    return img


def arm(pose):
    w, h = 160, 144
    img = spotlight(w, h)
    (ex, ey), (hx, hy) = POSES[pose]
    sx, sy = SHOULDER
    hx0, hy0, hr = HEAD
    # Body: shoulders and back in the shirt, cut only by the sprite's foot.
    torso = raster.polygon(w, h, [(3, 144), (3, 126), (9, 112), (20, 104), (36, 104), (50, 108),
                                  (58, 118), (57, 144)])
    torso = raster.dilate(torso, 1, square=False)
    neck = raster.round_rect(w, h, hx0 - 8, hy0 + 6, hx0 + 9, 108, 4)
    head = hair_shape(w, h, hx0, hy0, hr)
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
    draw_hair(img, hair, hx0, hy0, hr)
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
    drawn_back = hx < ex - 20 and hy > ey
    dart_angle = DRAWN_BACK_DART if drawn_back else 62 + (lean - 62) * 0.25
    if drawn_back:
        draw_side_flight(img, hx + 1, hy - 4, dart_angle)
    else:
        draw_flights(img, hx + 1, hy - 4, dart_angle)
    img[raster.dilate(fist, 1) & ~fist & ~raster.dilate(fore, 0)] = OUTLINE
    lit_fill(img, fist, "skin", 11, 14, 8, rim=2, shade=2)
    draw_barrel(img, hx + 1, hy - 4, dart_angle, length=13 if drawn_back else 10)
    # The thumb over the barrel.
    thumb = limb(w, h, (hx - 4, hy - 2), (hx + 1, hy - 4), 2.2)
    img[raster.dilate(thumb, 1, square=False)] = OUTLINE
    lit_fill(img, thumb, "skin", 12, 14, 9, rim=1, shade=1)
    # Knuckles: a short darker line across the fist.
    img[limb(w, h, (hx - 4, hy + 1), (hx + 3, hy + 2), 0.5) & fist] = ramp("skin", 7)
    rim_light(img, figure)
    fade_torso(img, spotlight(w, h))
    return img


def fade_torso(img, ground):
    """Darken the shirt and its outline row by row over the sprite's last
    TORSO_FADE_ROWS rows and dither them out to the ground underneath."""
    h, w = img.shape
    first, n, _ = palette_ramps["sleeve"]
    threshold = BAYER4[np.arange(h)[:, None] % 4, np.arange(w)[None, :] % 4]
    for y in range(h - TORSO_FADE_ROWS, h):
        f = (y - (h - TORSO_FADE_ROWS) + 1) / TORSO_FADE_ROWS
        row = img[y]
        shirt = (row >= first) & (row < first + n)
        row[shirt] = np.maximum(row[shirt].astype(int) - int(round(10 * f ** 0.8)), first).astype(np.uint8)
        body = shirt | (row == OUTLINE) | (row == BACK_RIM)
        gone = body & (threshold[y] < (f - 0.45) / 0.55)
        row[gone] = ground[y][gone]


# Each colour's lit counterpart for the rim light, by ramp.
RIM_RAMPS = ("skin", "sleeve", "brown", "wood", "red", "metal")


def rim_light(img, figure):
    """A one-pixel rim of light along the figure's edges that face the board
    (up and to the right), so the thrower's outline reads against the black
    band."""
    dx, dy = LIGHT
    edge = figure & ~raster.shift(figure, -dx, -dy) & ~raster.shift(figure, 0, 1)
    edge |= figure & ~raster.shift(figure, -dx, 0)
    for name in RIM_RAMPS:
        first, n, _ = palette_ramps[name]
        part = edge & (img >= first) & (img < first + n)
        img[part] = np.minimum(img[part].astype(int) + 5, first + n - 1).astype(np.uint8)
    # The outline on the far side, away from the light, in a cool blue-grey
    # rather than near-black, so the back of the head and body stay apart
    # from the black band.
    ring = raster.dilate(figure, 1) & ~figure
    back = ring & raster.shift(figure, -1, 0)
    img[back & (img == OUTLINE)] = BACK_RIM


def hair_shape(w, h, hx0, hy0, hr):
    """The head's outline with the hair on: tufts over the crown and a
    ragged line at the nape."""
    m = raster.disc(w, h, hx0 + 0.5, hy0 + 0.5, hr)
    for ang, r in ((-150, 3.5), (-110, 4.0), (-70, 4.0), (-30, 3.5), (180, 3.0)):
        a = math.radians(ang)
        m |= raster.disc(w, h, hx0 + 0.5 + (hr - 1.5) * math.cos(a),
                         hy0 + 0.5 + (hr - 1.5) * math.sin(a), r)
    return m


def draw_hair(img, hair, hx0, hy0, hr):
    """Short hair seen from behind: a warm mid brown, shaded on the side away
    from the light, a broad sheen and a bright rim along the edge that faces
    the board, and a few dark partings between the locks."""
    h, w = img.shape
    x, y = raster.grid(w, h)
    dx, dy = LIGHT
    img[hair] = ramp("brown", 11)
    img[hair & ~raster.shift(hair, 4 * dx, 4 * dy)] = ramp("brown", 7)
    img[hair & ~raster.shift(hair, 2 * dx, 2 * dy)] = ramp("brown", 5)
    lit = hair & ~raster.shift(hair, -3 * dx, -3 * dy)
    img[lit] = ramp("wood", 9)
    img[hair & ~raster.shift(hair, -dx, -dy)] = ramp("wood", 12)
    # Partings: short dark strokes from the crown towards the nape.
    for (x0, y0, x1, y1) in ((-6, -9, -11, -2), (-1, -11, -5, -3), (5, -10, 2, -3),
                             (-12, 3, -8, 8)):
        stroke = limb(w, h, (hx0 + x0, hy0 + y0), (hx0 + x1, hy0 + y1), 0.5)
        img[stroke & hair & ~lit] = ramp("brown", 6)


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


def luminance(c):
    lin = [v / 255 / 12.92 if v <= 10 else ((v / 255 + 0.055) / 1.055) ** 2.4 for v in c]
    return 0.2126 * lin[0] + 0.7152 * lin[1] + 0.0722 * lin[2]


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
