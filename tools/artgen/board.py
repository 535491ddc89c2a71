"""The dartboard, painted by the game's own scoring rule so that what the
player sees is what scores.

Every pixel of the 224x224 board is classified exactly as a dart landing on
it would be: distance and angle from the centre pixel (112, 112) give the
ring and the sector. Wires are the pixels on the edges between regions.
"""
import math
import os
import re

import numpy as np

import font
import raster
from palette import (KEY, BOARD_DARK, BOARD_CREAM, BOARD_RED, BOARD_GREEN, BOARD_WIRE,
                     BOARD_RIM, BOARD_NUMBER, PALE_DARK, PALE_CREAM, PALE_RED, PALE_GREEN,
                     PALE_WIRE, PALE_RIM, PALE_NUMBER)

SIZE = 224
CENTRE = 112
RIM_RADIUS = 111

# The rings, bands and numbers are the game's own, read from the header the
# match scores with.
GEOMETRY_HEADER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "game",
                               "board.h")


def _read_geometry(path):
    with open(path, encoding="utf-8") as f:
        text = re.sub(r"//[^\n]*", "", f.read())

    def found(pattern, what):
        m = re.search(pattern, text)
        if m is None:
            raise ValueError(f"{path}: {what} not found")
        return m.group(1)

    def table(name):
        body = found(r"\b%s\[[^\]]*\]\s*=\s*\{([^}]*)\}" % name, f"table {name}")
        return tuple(int(v) for v in body.replace(",", " ").split())

    rings = found(r"\benum\s+BoardRing\b[^{]*\{([^}]*)\}", "enum BoardRing")
    names = tuple(n.split("=")[0].strip() for n in rings.split(",") if n.strip())
    quadrants = int(found(r"\bkQuadrants\s*=\s*([0-9]+)\s*;", "kQuadrants"))
    degrees = float(found(r"\bkDegreesPerRadian\s*=\s*([0-9.]+)\s*;", "kDegreesPerRadian"))
    sectors = table("sectorTable")
    by_band = tuple(sectors[b:b + quadrants] for b in range(0, len(sectors), quadrants))
    return names, table("ringReach"), table("angleBandLimits"), by_band, degrees


# SECTORS: the numbers by angle band and quadrant.
(_RING_NAMES, _RING_REACH, BAND_LIMITS, SECTORS,
 DEGREES_PER_RADIAN) = _read_geometry(GEOMETRY_HEADER)

# A ring's rank is its place in BoardRing, from the centre outwards.
(BULL, OUTER_BULL, INNER_SINGLE, TRIPLE, OUTER_SINGLE, DOUBLE, OFF_BOARD) = (
    _RING_NAMES.index("kRing" + n)
    for n in ("DoubleBull", "SingleBull", "InnerSingle", "Triple", "OuterSingle", "Double",
              "Miss"))
# Rings by distance: (first distance, rank).
RINGS = tuple((0 if rank == 0 else _RING_REACH[rank - 1] + 1, rank)
              for rank in range(len(_RING_REACH) + 1))
# The first distance off the scoring area.
OFF_BOARD_DISTANCE = _RING_REACH[-1] + 1


def clockwise_numbers():
    """The twenty numbers clockwise from the top: down the right side through
    quadrants 0 and 3, then up the left through 2 and 1."""
    last = len(SECTORS) - 1
    walk = ([(b, 0) for b in range(last, -1, -1)] + [(b, 3) for b in range(last + 1)] +
            [(b, 2) for b in range(last, -1, -1)] + [(b, 1) for b in range(last + 1)])
    order = []
    for band, quadrant in walk:
        if SECTORS[band][quadrant] not in order:
            order.append(SECTORS[band][quadrant])
    return order


# Sectors with a dark bed (and a red double and triple), every other one from
# the top; the others are cream with green rings.
DARK_SECTORS = set(clockwise_numbers()[::2])


def score_point(dx, dy):
    """(ring rank, sector) of the point dx, dy from the centre, by the game's rule."""
    dist = int(math.sqrt(dx * dx + dy * dy))
    rank = 0
    for first, r in RINGS:
        if dist >= first:
            rank = r
    if dx == 0:
        angle = 89
    else:
        angle = abs(int(math.atan(-dy / dx) * DEGREES_PER_RADIAN))
    if dx >= 0:
        quadrant = 0 if dy <= 0 else 3
    else:
        quadrant = 1 if dy <= 0 else 2
    band = next(i for i, lim in enumerate(BAND_LIMITS) if angle < lim)
    return rank, SECTORS[band][quadrant]


def region_map(half=False):
    """Per pixel: distance, ring rank and sector (sector 0 where rings have
    none). At half size (for the title picture) each pixel stands for the
    full-size point under its centre."""
    size = SIZE // 2 if half else SIZE
    dist = np.zeros((size, size), dtype=np.int32)
    rank = np.zeros((size, size), dtype=np.int32)
    sector = np.zeros((size, size), dtype=np.int32)
    for y in range(size):
        for x in range(size):
            if half:
                dx, dy = (x - size // 2) * 2 + 1, (y - size // 2) * 2 + 1
            else:
                dx, dy = x - CENTRE, y - CENTRE
            dist[y, x] = int(math.sqrt(dx * dx + dy * dy))
            r, s = score_point(dx, dy)
            rank[y, x] = r
            sector[y, x] = s if r in (INNER_SINGLE, TRIPLE, OUTER_SINGLE, DOUBLE) else 0
    return dist, rank, sector


def wire_mask(rank, sector):
    """Pixels that border another region: on a ring edge the outer pixel,
    on a sector edge the pixel whose right or lower neighbour differs."""
    region = rank * 32 + sector
    wire = np.zeros(region.shape, dtype=bool)
    h, w = region.shape
    for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
        q_rank = np.full_like(rank, -1)
        q_region = np.full_like(region, -1)
        ys0, ys1 = max(0, -dy), min(h, h - dy)
        xs0, xs1 = max(0, -dx), min(w, w - dx)
        q_rank[ys0:ys1, xs0:xs1] = rank[ys0 + dy:ys1 + dy, xs0 + dx:xs1 + dx]
        q_region[ys0:ys1, xs0:xs1] = region[ys0 + dy:ys1 + dy, xs0 + dx:xs1 + dx]
        valid = q_rank >= 0
        ring_edge = valid & (q_rank < rank)
        sector_edge = valid & (q_rank == rank) & (q_region != region) & (dx + dy > 0)
        wire |= ring_edge | sector_edge
    return wire


FULL = dict(dark=BOARD_DARK, cream=BOARD_CREAM, red=BOARD_RED, green=BOARD_GREEN,
            wire=BOARD_WIRE, rim=BOARD_RIM, number=BOARD_NUMBER)
PALE = dict(dark=PALE_DARK, cream=PALE_CREAM, red=PALE_RED, green=PALE_GREEN,
            wire=PALE_WIRE, rim=PALE_RIM, number=PALE_NUMBER)


def number_positions():
    """Top-left corner of each rim number, beside the middle of its sector."""
    last = len(BAND_LIMITS) - 1
    # The first band straddles the horizontal and the last the vertical.
    mids = {0: 0.0, last: 90.0}
    for band in range(1, last):
        mids[band] = (BAND_LIMITS[band - 1] + BAND_LIMITS[band]) / 2
    out = {}
    for band, row in enumerate(SECTORS):
        for quadrant, n in enumerate(row):
            if n in out:
                continue
            a = mids[band]
            if band == 0 and quadrant in (1, 2):
                a = 180.0
            elif band == last and quadrant in (2, 3):
                a = 270.0
            elif quadrant == 1:
                a = 180.0 - a
            elif quadrant == 2:
                a = 180.0 + a
            elif quadrant == 3:
                a = 360.0 - a
            out[n] = a
    return out


def _clearest_spot(dist, glyphs, a, centre):
    """Top-left corner for a number on the half-size board: near its
    sector's middle angle, where its nearest pixel is farthest from both the
    double ring and the outer band (distances here are full-size units, two
    to a pixel)."""
    gh, gw = glyphs.shape
    ink = glyphs != KEY
    best, spot = None, None
    for rr in np.arange(96.0, 106.01, 0.5):
        for along in (-1, 0, 1):
            ca = math.radians(a)
            cx = centre + rr / 2 * math.cos(ca) - along * math.sin(ca)
            cy = centre - rr / 2 * math.sin(ca) - along * math.cos(ca)
            x0, y0 = int(round(cx - gw / 2)), int(round(cy - gh / 2))
            box = dist[y0:y0 + gh, x0:x0 + gw]
            if box.shape != (gh, gw):
                continue
            d = box[ink]
            room = min(d.min() - OFF_BOARD_DISTANCE, RIM_RADIUS - d.max()) - abs(along) * 0.5
            if best is None or room > best:
                best, spot = room, (x0, y0)
    return spot


def draw(colours, half=False):
    dist, rank, sector = region_map(half)
    size = dist.shape[0]
    scale = 1 if half else 2
    centre = size // 2
    img = raster.canvas(size, size)
    dark = np.isin(sector, list(DARK_SECTORS))
    img[dist <= RIM_RADIUS] = colours["rim"]
    img[rank <= OUTER_BULL] = colours["green"]
    img[rank == BULL] = colours["red"]
    beds = (rank == INNER_SINGLE) | (rank == OUTER_SINGLE)
    rings = (rank == TRIPLE) | (rank == DOUBLE)
    img[beds & dark] = colours["dark"]
    img[beds & ~dark] = colours["cream"]
    img[rings & dark] = colours["red"]
    img[rings & ~dark] = colours["green"]
    img[wire_mask(rank, sector) & (dist <= OFF_BOARD_DISTANCE)] = colours["wire"]
    # A metal band round the outside of the rim.
    img[(dist >= RIM_RADIUS + 1 - scale) & (dist <= RIM_RADIUS)] = colours["wire"]
    # Numbers on the rim, upright, centred on their sector's middle angle.
    for n, a in number_positions().items():
        glyphs = font.plain(str(n), colours["number"], scale, scale, 1, font.NARROW_DIGITS)
        glyphs = glyphs[: font.CAP * scale]
        gh, gw = glyphs.shape
        if half:
            x0, y0 = _clearest_spot(dist, glyphs, a, centre)
        else:
            # Of the radii that keep the digits clear of the double ring and
            # the outer band, take the one that leaves equal room inside and out.
            r, best = 99.5, None
            for rr in np.arange(94.0, 106.01, 0.5):
                cx = centre + rr / 2 * scale * math.cos(math.radians(a))
                cy = centre - rr / 2 * scale * math.sin(math.radians(a))
                x0, y0 = int(round(cx - gw / 2)), int(round(cy - gh / 2))
                box = dist[y0:y0 + gh, x0:x0 + gw]
                if (box.shape != (gh, gw) or box.min() < OFF_BOARD_DISTANCE + 2
                        or box.max() > RIM_RADIUS - 2):
                    continue
                slack = abs((box.min() - OFF_BOARD_DISTANCE) - (RIM_RADIUS - 1 - box.max()))
                if best is None or slack < best:
                    r, best = rr, slack
            cx = centre + r / 2 * scale * math.cos(math.radians(a))
            cy = centre - r / 2 * scale * math.sin(math.radians(a))
            x0, y0 = int(round(cx - gw / 2)), int(round(cy - gh / 2))
        raster.paste(img, glyphs, x0, y0)
    return img
