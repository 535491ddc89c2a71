"""The thrower seen from behind: the five poses of the throwing arm, lit
from the board and fading into the dark below."""
import math

import numpy as np

import raster
from palette import RAMPS as palette_ramps, ramp


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


def spotlight(w, h):
    img = raster.canvas(w, h)
    x, y = raster.grid(w, h)
    d = np.hypot((x - SPOT_CENTRE[0]) / SPOT_RADII[0], (y - SPOT_CENTRE[1]) / SPOT_RADII[1])
    level = SPOT_STEPS * np.clip(1 - d, 0, 1) ** 1.3
    threshold = raster.BAYER4[np.arange(h)[:, None] % 4, np.arange(w)[None, :] % 4]
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
    threshold = raster.BAYER4[np.arange(h)[:, None] % 4, np.arange(w)[None, :] % 4]
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
