// Presenting a surface rectangle to the 16-bit display frame buffer, each
// pixel converted through the surface's own Palette.
//
// The conversion table below is built from the Palette at the start of every
// call and dropped at its end, so a Palette change (a fade step) shows on the
// very next frame; building it costs 256 packings against the 76,800 pixels
// of a full frame.
#include <bit>
#include <cstring>

#include "gfx/clip.h"
#include "gfx/surface.h"

namespace {

void buildTable565(const PaletteEntry *palette, uint16_t *table) {
  for (int32_t i = 0; i < kPaletteEntries; ++i) {
    const PaletteEntry &e = palette[i];
    // AS-DESIGNED: the low bits are dropped, never rounded or dithered, so the
    // 16-bit picture is exactly predictable (the golden frames rely on it).
    table[i] = static_cast<uint16_t>(((e.red >> 3) << 11) | ((e.green >> 2) << 5) | (e.blue >> 3));
  }
}

void buildTable555(const PaletteEntry *palette, uint16_t *table) {
  for (int32_t i = 0; i < kPaletteEntries; ++i) {
    const PaletteEntry &e = palette[i];
    table[i] = static_cast<uint16_t>(((e.red >> 3) << 10) | ((e.green >> 3) << 5) | (e.blue >> 3));
  }
}

// The row loops read and write several pixels per access in little-endian
// order, the order of every platform the game runs on.
static_assert(std::endian::native == std::endian::little);

// One opaque row: eight source bytes are read at once and become two 64-bit
// stores of four pixels each.
inline void convertRow(const uint8_t *src, uint16_t *dst, int64_t width, const uint16_t *table) {
  int64_t i = 0;
  for (; i + 8 <= width; i += 8) {
    uint64_t s;
    std::memcpy(&s, src + i, sizeof s);
    uint64_t a = uint64_t{table[s & 0xFF]} | uint64_t{table[(s >> 8) & 0xFF]} << 16 |
                 uint64_t{table[(s >> 16) & 0xFF]} << 32 | uint64_t{table[(s >> 24) & 0xFF]} << 48;
    uint64_t b = uint64_t{table[(s >> 32) & 0xFF]} | uint64_t{table[(s >> 40) & 0xFF]} << 16 |
                 uint64_t{table[(s >> 48) & 0xFF]} << 32 | uint64_t{table[s >> 56]} << 48;
    std::memcpy(dst + i, &a, sizeof a);
    std::memcpy(dst + i + 4, &b, sizeof b);
  }
  for (; i < width; ++i) dst[i] = table[src[i]];
}

// One keyed row: pixels of the key index leave the frame buffer as it was.
inline void convertRowKeyed(const uint8_t *src, uint16_t *dst, int64_t width, const uint16_t *table,
                            uint8_t key) {
  for (int64_t i = 0; i < width; ++i) {
    if (src[i] != key) dst[i] = table[src[i]];
  }
}

// The four row loops: opaque and keyed, for each packing. The packing only
// decides how the table is built, so each pair shares its row function.
void copyOpaque(const uint8_t *src, int64_t stride, uint16_t *dst, int64_t pitch, int64_t width,
                int64_t height, const uint16_t *table) {
  for (int64_t row = 0; row < height; ++row, src += stride, dst += pitch) {
    convertRow(src, dst, width, table);
  }
}

void copyKeyed(const uint8_t *src, int64_t stride, uint16_t *dst, int64_t pitch, int64_t width,
               int64_t height, const uint16_t *table, uint8_t key) {
  for (int64_t row = 0; row < height; ++row, src += stride, dst += pitch) {
    convertRowKeyed(src, dst, width, table, key);
  }
}

}  // namespace

int32_t present(int32_t source, int32_t sx, int32_t sy, int32_t width, int32_t height,
                int32_t displayX, int32_t displayY, int32_t key) {
  if (!validSurfaceSlot(source)) return kGfxFailed;
  const Surface &src = surfaceTable[source];
  const int64_t displayW = displayProperties.cxWidth;
  const int64_t displayH = displayProperties.cyHeight;

  CopyArea r{sx, sy, width, height, displayX, displayY};
  if (!clipCopy(r, src.stride, src.height, displayW, displayH)) return kGfxOk;
  const int64_t x = r.x, y = r.y, w = r.w, h = r.h, px = r.px, py = r.py;

  const bool drawable = w > 0 && h > 0;
  // A rectangle reaching outside the source surface, or a surface without
  // pixels or Palette, is never read: the frame is begun and ended empty.
  const bool sourceInside = src.pixels != nullptr && src.palette != nullptr && x >= 0 && y >= 0 &&
                            x + w <= src.stride && y + h <= src.height;

  auto *frame = static_cast<uint16_t *>(GXBeginDraw());
  if (displayProperties.cBPP != 16) {
    GXEndDraw();
    return kGfxFailed;
  }
  const DWORD format = displayProperties.ffFormat;
  const bool is555 = (format & kfDirect555) != 0;
  const bool is565 = (format & kfDirect565) != 0;
  if (!is555 && !is565) {
    GXEndDraw();
    return kGfxOk;
  }
  if (frame == nullptr) {
    // Suspended: there is no frame buffer to write to.
    GXEndDraw();
    return kGfxFailed;
  }
  if (drawable && sourceInside) {
    uint16_t table[kPaletteEntries];
    if (is555) {
      buildTable555(src.palette, table);
    } else {
      buildTable565(src.palette, table);
    }
    const uint8_t *from = src.pixels + src.stride * y + x;
    uint16_t *to = frame + displayW * py + px;
    if (key == kNoKey) {
      copyOpaque(from, src.stride, to, displayW, w, h, table);
    } else if (key >= 0 && key <= 255) {
      copyKeyed(from, src.stride, to, displayW, w, h, table, static_cast<uint8_t>(key));
    } else {
      // A key no index can equal skips nothing.
      copyOpaque(from, src.stride, to, displayW, w, h, table);
    }
  }
  GXEndDraw();
  return kGfxOk;
}
