// Window scale and the scaled 5-6-5 copy.
#include <cstring>

#include "platform/sdl/logic.h"

namespace sdlb {

namespace {

// Room left for the window frame, title bar and panels.
constexpr int kFrameMarginW = 16;
constexpr int kFrameMarginH = 48;

int channelValue(uint32_t value8, uint32_t mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1u) == 0) ++shift;
  int bits = 0;
  while (shift + bits < 32 && ((mask >> (shift + bits)) & 1u) != 0) ++bits;
  uint32_t v = bits >= 8 ? value8 << (bits - 8) : value8 >> (8 - bits);
  return static_cast<int>((v << shift) & mask);
}

}  // namespace

int chooseWindowScale(int usableW, int usableH) {
  int sw = (usableW - kFrameMarginW) / kDisplayWidth;
  int sh = (usableH - kFrameMarginH) / kDisplayHeight;
  int s = sw < sh ? sw : sh;
  return s < 2 ? 2 : s;
}

void build565Table(uint32_t *table, uint32_t rmask, uint32_t gmask, uint32_t bmask,
                   uint32_t amask) {
  for (uint32_t p = 0; p < 65536; ++p) {
    // Widen each channel to 8 bits, repeating the top bits so that full
    // intensity stays full (31 -> 255, 63 -> 255).
    uint32_t r5 = (p >> 11) & 31, g6 = (p >> 5) & 63, b5 = p & 31;
    uint32_t r = (r5 << 3) | (r5 >> 2), g = (g6 << 2) | (g6 >> 4), b = (b5 << 3) | (b5 >> 2);
    table[p] = static_cast<uint32_t>(channelValue(r, rmask)) |
               static_cast<uint32_t>(channelValue(g, gmask)) |
               static_cast<uint32_t>(channelValue(b, bmask)) | amask;
  }
}

void scaleFrame(const uint16_t *frame, const uint32_t *table, const View &view, uint8_t *dst,
                int dstPitch) {
  int top, rows;
  scaleFrameRows(frame, table, view, dst, dstPitch, 0, kDisplayHeight - 1, &top, &rows);
}

void scaleFrameRows(const uint16_t *frame, const uint32_t *table, const View &view, uint8_t *dst,
                    int dstPitch, int firstRow, int lastRow, int *top, int *rows) {
  *top = view.y;
  *rows = 0;
  if (view.w <= 0 || view.h <= 0) return;
  if (firstRow < 0) firstRow = 0;
  if (lastRow > kDisplayHeight - 1) lastRow = kDisplayHeight - 1;
  if (view.scale >= 1) {
    if (firstRow > lastRow) return;
    const int s = view.scale;
    *top = view.y + firstRow * s;
    *rows = (lastRow - firstRow + 1) * s;
    for (int y = firstRow; y <= lastRow; ++y) {
      const uint16_t *src = frame + y * kDisplayWidth;
      uint8_t *rowStart = dst + static_cast<ptrdiff_t>(view.y + y * s) * dstPitch;
      uint32_t *row = reinterpret_cast<uint32_t *>(rowStart) + view.x;
      if (s == 1) {
        for (int x = 0; x < kDisplayWidth; ++x) row[x] = table[src[x]];
      } else {
        uint32_t *out = row;
        for (int x = 0; x < kDisplayWidth; ++x) {
          uint32_t c = table[src[x]];
          for (int k = 0; k < s; ++k) *out++ = c;
        }
      }
      // The other rows of this pixel row are copies of the first.
      for (int k = 1; k < s; ++k) {
        std::memcpy(rowStart + static_cast<ptrdiff_t>(k) * dstPitch + view.x * 4, row,
                    static_cast<size_t>(view.w) * 4);
      }
    }
    return;
  }
  // Below 1x: nearest-neighbour sampling, always the whole picture.
  *rows = view.h;
  for (int y = 0; y < view.h; ++y) {
    int sy = static_cast<int>(static_cast<int64_t>(y) * kDisplayHeight / view.h);
    const uint16_t *src = frame + sy * kDisplayWidth;
    uint32_t *row =
        reinterpret_cast<uint32_t *>(dst + static_cast<ptrdiff_t>(view.y + y) * dstPitch) + view.x;
    for (int x = 0; x < view.w; ++x) {
      row[x] = table[src[static_cast<int64_t>(x) * kDisplayWidth / view.w]];
    }
  }
}

}  // namespace sdlb
