"""Small deterministic raster toolkit over numpy index arrays.

Shapes are evaluated per pixel at pixel centres (x + 0.5, y + 0.5), so the
result depends only on the arithmetic, never on a drawing library's
rasteriser.
"""
import numpy as np

from palette import KEY


def canvas(w, h, fill=KEY):
    return np.full((h, w), fill, dtype=np.uint8)


def grid(w, h):
    """Pixel-centre coordinate arrays (x, y) for a w by h area."""
    ys, xs = np.mgrid[0:h, 0:w]
    return xs + 0.5, ys + 0.5


def disc(w, h, cx, cy, r):
    x, y = grid(w, h)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(w, h, cx, cy, r0, r1):
    x, y = grid(w, h)
    d2 = (x - cx) ** 2 + (y - cy) ** 2
    return (d2 >= r0 * r0) & (d2 <= r1 * r1)


def capsule(w, h, ax, ay, bx, by, r):
    """Pixels within r of the segment a-b: a thick line with round ends."""
    x, y = grid(w, h)
    vx, vy = bx - ax, by - ay
    ll = vx * vx + vy * vy
    t = np.clip(((x - ax) * vx + (y - ay) * vy) / ll, 0.0, 1.0) if ll else 0.0
    px, py = ax + t * vx, ay + t * vy
    return (x - px) ** 2 + (y - py) ** 2 <= r * r


def polygon(w, h, pts):
    """Even-odd fill of a closed polygon given as (x, y) vertices."""
    x, y = grid(w, h)
    inside = np.zeros((h, w), dtype=bool)
    n = len(pts)
    for i in range(n):
        x0, y0 = pts[i]
        x1, y1 = pts[(i + 1) % n]
        if y0 == y1:
            continue
        cond = (y >= min(y0, y1)) & (y < max(y0, y1))
        xc = x0 + (y - y0) * (x1 - x0) / (y1 - y0)
        inside ^= cond & (x < xc)
    return inside


def rect(w, h, x0, y0, x1, y1):
    """Pixels with x0 <= x < x1 and y0 <= y < y1."""
    m = np.zeros((h, w), dtype=bool)
    m[max(y0, 0):max(y1, 0), max(x0, 0):max(x1, 0)] = True
    return m


def round_rect(w, h, x0, y0, x1, y1, r):
    """Rectangle x0 <= x < x1, y0 <= y < y1 with corners rounded by r."""
    x, y = grid(w, h)
    cx = np.clip(x, x0 + r, x1 - r)
    cy = np.clip(y, y0 + r, y1 - r)
    return ((x - cx) ** 2 + (y - cy) ** 2 <= r * r) & (x >= x0) & (x < x1) & (y >= y0) & (y < y1)


def shift(mask, dx, dy):
    """The mask moved by (dx, dy); what leaves the area is dropped."""
    h, w = mask.shape
    out = np.zeros_like(mask)
    xs0, xs1 = max(0, -dx), min(w, w - dx)
    ys0, ys1 = max(0, -dy), min(h, h - dy)
    if xs0 < xs1 and ys0 < ys1:
        out[ys0 + dy:ys1 + dy, xs0 + dx:xs1 + dx] = mask[ys0:ys1, xs0:xs1]
    return out


def dilate(mask, r=1, square=True):
    out = mask.copy()
    for dy in range(-r, r + 1):
        for dx in range(-r, r + 1):
            if (dx or dy) and (square or abs(dx) + abs(dy) <= r):
                out |= shift(mask, dx, dy)
    return out


def paint(img, mask, index):
    img[mask] = index


def paste(dst, src, x, y, key=KEY):
    """Copy src into dst at (x, y), skipping key pixels; src must fit."""
    h, w = src.shape
    region = dst[y:y + h, x:x + w]
    if region.shape != src.shape:
        raise ValueError(f"{w}x{h} at ({x}, {y}) does not fit {dst.shape[1]}x{dst.shape[0]}")
    sel = src != key
    region[sel] = src[sel]


def centred(dst, src, key=KEY):
    """Paste src centred in dst (rounded towards the top left)."""
    h, w = src.shape
    H, W = dst.shape
    if w > W or h > H:
        raise ValueError(f"{w}x{h} does not fit in {W}x{H}")
    paste(dst, src, (W - w) // 2, (H - h) // 2, key)


def trim(img, key=KEY):
    """Crop to the bounding box of non-key pixels."""
    ys, xs = np.nonzero(img != key)
    if len(xs) == 0:
        return img[:0, :0]
    return img[ys.min():ys.max() + 1, xs.min():xs.max() + 1]


def ramp_fill(img, mask, indices, axis=0, lo=None, hi=None):
    """Fill mask with a list of indices graded along rows (axis 0) or columns."""
    ys, xs = np.nonzero(mask)
    if len(ys) == 0:
        return
    v = ys if axis == 0 else xs
    a = v.min() if lo is None else lo
    b = v.max() if hi is None else hi
    span = max(b - a, 1)
    k = np.clip(((v - a) * len(indices)) // (span + 1), 0, len(indices) - 1)
    img[ys, xs] = np.array(indices, dtype=np.uint8)[k]


# An ordered 4x4 dither: thresholds in (0, 1), one per pixel of each 4x4 tile.
BAYER4 = np.array([[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]) / 16 + 1 / 32
