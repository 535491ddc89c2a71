"""The program icon: the board motif at 16, 32 and 48 pixels, each image a
32-bit BGRA bitmap with its AND mask, in one .ico file."""
import struct

import numpy as np

import raster
from palette import BOARD_DARK, BOARD_CREAM, BOARD_RED, BOARD_GREEN, BOARD_RIM, BOARD_WIRE

SIZES = (16, 32, 48)
SUPER = 4  # samples per pixel side


def _rgba(size, pal):
    """A small board, drawn at SUPER times the size and averaged down so the
    edge is smooth; alpha is the covered fraction."""
    n = size * SUPER
    c = n / 2
    r = n / 2 - 0.5 * SUPER
    x, y = raster.grid(n, n)
    dx, dy = x - c, y - c
    d = np.sqrt(dx * dx + dy * dy) / r
    # Twenty sectors blur at 16 pixels; the smallest icon shows eight.
    span = 18 if size >= 32 else 45
    ang = (np.degrees(np.arctan2(-dy, dx)) + span / 2) % 360
    sector = (ang // span).astype(int)
    idx = np.full((n, n), BOARD_RIM, dtype=np.int32)
    beds = np.where(sector % 2 == 0, BOARD_CREAM, BOARD_DARK)
    rings = np.where(sector % 2 == 0, BOARD_GREEN, BOARD_RED)
    idx = np.where(d < 0.80, beds, idx)
    thin = 1.0 if size >= 32 else 1.6  # rings a pixel wide at every size
    idx = np.where((d >= 0.80 - 0.08 * thin) & (d < 0.80), rings, idx)
    idx = np.where((d >= 0.49 - 0.07 * thin) & (d < 0.49), rings, idx)
    idx = np.where(d < 0.12 * thin, BOARD_GREEN, idx)
    idx = np.where(d < 0.06 * thin, BOARD_RED, idx)
    idx = np.where((d >= 0.94) & (d <= 1.0), BOARD_WIRE, idx)
    inside = d <= 1.0
    lut = np.array(pal, dtype=np.float64)
    rgb = lut[idx] * inside[..., None]
    rgb = rgb.reshape(size, SUPER, size, SUPER, 3).sum(axis=(1, 3))
    cover = inside.reshape(size, SUPER, size, SUPER).sum(axis=(1, 3)).astype(np.float64)
    alpha = cover / (SUPER * SUPER)
    col = np.where(cover[..., None] > 0, rgb / np.maximum(cover, 1)[..., None], 0)
    out = np.zeros((size, size, 4), dtype=np.uint8)
    out[..., :3] = np.clip(np.round(col), 0, 255).astype(np.uint8)
    out[..., 3] = np.clip(np.round(alpha * 255), 0, 255).astype(np.uint8)
    return out


def _entry_image(rgba):
    size = rgba.shape[0]
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    bgra = rgba[::-1][..., [2, 1, 0, 3]].tobytes()  # bottom row first
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in rgba[::-1]:
        bits = bytearray(mask_stride)
        for x in range(size):
            if row[x, 3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bgra + bytes(mask)


def build(pal):
    images = [_entry_image(_rgba(s, pal)) for s in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, img in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    return out + b"".join(images), {s: _rgba(s, pal) for s in SIZES}
