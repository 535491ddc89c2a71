"""The Windows installer's two pictures, in the title's look: the header
strip its pages show at the top right (150x57) and the panel down the left
of its finish page (164x314). Both are plain 24-bit bitmaps, bottom row
first, as the installer's interface reads them."""
import struct

import numpy as np

import board
import font
import raster
import sheet
import title

HEADER_SIZE = (150, 57)
PANEL_SIZE = (164, 314)


def _wall(w, h):
    """The title's lit wall, cut to size round its brightest part."""
    wall = title.backdrop()
    return wall[:h, :w].copy() if w <= wall.shape[1] and h <= wall.shape[0] else None


def header():
    w, h = HEADER_SIZE
    img = np.zeros((h, w), dtype=np.uint8)
    img[:] = _wall(w, h + 160)[160:160 + h]
    logo = raster.trim(sheet.logo_word(w - 8, h - 12))
    lh, lw = logo.shape
    raster.paste(img, logo, (w - lw) // 2, (h - lh) // 2)
    return img


def panel():
    w, h = PANEL_SIZE
    img = _wall(w, h)
    logo = raster.trim(sheet.logo_word(w - 8, 48))
    lh, lw = logo.shape
    raster.paste(img, logo, (w - lw) // 2, 14)
    strap = raster.trim(font.caption("DARTS FOR ONE TO FOUR", w - 8, 16, scales=[(1, 1)]))
    sh, sw = strap.shape
    raster.paste(img, strap, (w - sw) // 2, 14 + lh + 8)
    small = board.draw(board.FULL, half=True)
    bh, bw = small.shape
    raster.paste(img, small, (w - bw) // 2, 14 + lh + 8 + sh + 40)
    return img


def bmp24(pixels, pal):
    """A 24-bit .bmp of a palette picture, bottom row first."""
    h, w = pixels.shape
    lut = np.array(pal, dtype=np.uint8)
    rgb = lut[pixels]
    stride = (w * 3 + 3) // 4 * 4
    rows = b"".join(rgb[y][:, ::-1].tobytes() + bytes(stride - w * 3) for y in range(h - 1, -1, -1))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    offset = 14 + len(info)
    return b"BM" + struct.pack("<IHHI", offset + len(rows), 0, 0, offset) + info + rows


def build(pal):
    return {"header.bmp": bmp24(header(), pal), "panel.bmp": bmp24(panel(), pal)}
