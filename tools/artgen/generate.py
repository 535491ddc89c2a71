#!/usr/bin/python3
"""Generates Tobelyn's pictures, icon and sounds into res/.

    generate.py [RESDIR]                  write every file into RESDIR (default: res/)
    generate.py --check [RESDIR]          regenerate in memory and compare byte for byte
    generate.py --contact-sheet OUTDIR    write upright PNGs for looking at (not committed)

The output depends only on this code: no fonts, no randomness, no clock.
Run with Debian's python3 (it needs python3-numpy, and python3-pil for the
contact sheet only).
"""
import os
import re
import struct
import sys

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import icon  # noqa: E402
import palette  # noqa: E402
import sheet  # noqa: E402
import sound  # noqa: E402
import sprites  # noqa: E402
import title  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(HERE))


def bmp_bytes(pixels, pal):
    """An 8-bit .bmp with a 256-entry palette, rows stored top row first
    although the height is positive, as the game's resource loader reads
    them."""
    h, w = pixels.shape
    stride = (w + 3) // 4 * 4
    rows = bytearray()
    for y in range(h):
        rows += pixels[y].tobytes() + bytes(stride - w)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, 0, 0, 0, 256, 0)
    table = b"".join(struct.pack("BBBB", b, g, r, 0) for (r, g, b) in pal)
    offset = 14 + len(info) + len(table)
    head = b"BM" + struct.pack("<IHHI", offset + len(rows), 0, 0, offset)
    return head + info + table + bytes(rows)


def build_all():
    pal = palette.build()
    files = {
        "title.bmp": bmp_bytes(title.build(), pal),
        "sprites.bmp": bmp_bytes(sheet.build(), pal),
        "tobelyn.ico": icon.build(pal)[0],
    }
    files.update(sound.build())
    return files


def check_table():
    """The sprite rectangles here must be the game's own."""
    src = open(os.path.join(ROOT, "gfx", "sprite_table.cpp")).read()
    game = [tuple(map(int, m)) for m in re.findall(r"\{(-?\d+), (-?\d+), (-?\d+), (-?\d+)\}", src)]
    if game != sprites.RECTS:
        print("sprite rectangles differ from gfx/sprite_table.cpp", file=sys.stderr)
        return False
    return True


def contact_sheet(outdir):
    from PIL import Image, ImageDraw
    import numpy as np

    os.makedirs(outdir, exist_ok=True)
    pal = palette.build()
    flat = [c for rgb in pal for c in rgb]

    def save(pixels, name, scale):
        im = Image.fromarray(pixels, "P")
        im.putpalette(flat)
        im = im.convert("RGB").resize((im.width * scale, im.height * scale), Image.NEAREST)
        im.save(os.path.join(outdir, name))
        return im

    save(title.build(), "title.png", 2)
    im = save(sheet.build(), "sheet.png", 2)
    d = ImageDraw.Draw(im)
    for n, (x, y, w, h) in enumerate(sprites.RECTS):
        d.rectangle([2 * x, 2 * y, 2 * (x + w) - 1, 2 * (y + h) - 1], outline=(255, 255, 255))
        d.text((2 * x + 2, 2 * y + 1), str(n), fill=(255, 255, 255))
    im.save(os.path.join(outdir, "sheet_numbered.png"))
    icons = icon.build(pal)[1]
    strip = Image.new("RGBA", (16 + 32 + 48 + 16, 48), (0, 102, 0, 255))
    x = 0
    for s in icon.SIZES:
        strip.alpha_composite(Image.fromarray(icons[s], "RGBA"), (x, 0))
        x += s + 8
    strip.resize((strip.width * 4, strip.height * 4), Image.NEAREST).save(
        os.path.join(outdir, "icon.png"))
    sound_plots(files=sound.build()).save(os.path.join(outdir, "sounds.png"))
    del np
    print("contact sheet written to", outdir)


def sound_plots(files):
    """Each wave's shape (green, the -1 dBFS line in red) over its spectrum
    up to 11 kHz (1024-point windows, 70 dB of range), one band per sound."""
    from PIL import Image, ImageDraw
    import numpy as np

    w, wave_h, spec_h = 900, 120, 256
    out = Image.new("RGB", (w, (wave_h + spec_h + 8) * len(files)), (20, 20, 20))
    for row, name in enumerate(sorted(files)):
        x = np.frombuffer(files[name][44:], "<i2").astype(np.float64) / 32768
        top = row * (wave_h + spec_h + 8)
        d = ImageDraw.Draw(out)
        mid, half = top + wave_h // 2, wave_h // 2 - 2
        for i, part in enumerate(np.array_split(x, w)):
            d.line([(i, mid - part.max() * half), (i, mid - part.min() * half)], fill=(120, 220, 120))
        for level in (10 ** (-1 / 20), -(10 ** (-1 / 20))):
            d.line([(0, mid - level * half), (w, mid - level * half)], fill=(150, 40, 40))
        d.text((4, top + 2), f"{name}  {len(x) / sound.RATE * 1000:.0f} ms  "
               f"loudness {sound.loudness(x):.1f} dB  peak {20 * np.log10(np.abs(x).max()):.1f} dBFS",
               fill=(255, 255, 255))
        n = 1024
        padded = np.concatenate([np.zeros(n // 2), x, np.zeros(n // 2)])
        spec = np.array([np.abs(np.fft.rfft(padded[i * len(x) // w:][:n] * np.hanning(n)))[:spec_h]
                         for i in range(w)]).T
        db = 20 * np.log10(spec + 1e-9)
        level = np.clip((db - db.max() + 70) / 70, 0, 1)[::-1]
        rgb = np.stack([level * 255, level * 180, (1 - level) * 255 * (level > 0)], axis=-1)
        out.paste(Image.fromarray(rgb.astype(np.uint8), "RGB"), (0, top + wave_h))
        for khz in (0.5, 1, 2, 4, 8):
            y = top + wave_h + spec_h - int(khz * 1000 / (sound.RATE / n))
            d.line([(0, y), (8, y)], fill=(255, 255, 0))
            d.text((10, y - 5), f"{khz:g}k", fill=(255, 255, 0))
    return out


def main(argv):
    if argv and argv[0] == "--contact-sheet":
        contact_sheet(argv[1] if len(argv) > 1 else "artgen-contact")
        return 0
    check = bool(argv) and argv[0] == "--check"
    if check:
        argv = argv[1:]
    resdir = argv[0] if argv else os.path.join(ROOT, "res")
    files = build_all()
    if check:
        ok = check_table()
        for name, data in sorted(files.items()):
            path = os.path.join(resdir, name)
            try:
                have = open(path, "rb").read()
            except OSError:
                have = None
            if have != data:
                print(f"{path} differs from what the generator makes", file=sys.stderr)
                ok = False
        print("art files match" if ok else "art files differ")
        return 0 if ok else 1
    for name, data in sorted(files.items()):
        with open(os.path.join(resdir, name), "wb") as f:
            f.write(data)
    print("wrote", ", ".join(sorted(files)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
