#include "platform/common/view.h"

#include <cmath>
#include <cstddef>
#include <cstring>

namespace shared {

View computeView(int areaW, int areaH) {
  View v{0, 0, 0, 0, 0};
  if (areaW <= 0 || areaH <= 0) return v;
  int sw = areaW / kDisplayWidth;
  int sh = areaH / kDisplayHeight;
  int s = sw < sh ? sw : sh;
  if (s >= 1) {
    v.scale = s;
    v.w = kDisplayWidth * s;
    v.h = kDisplayHeight * s;
  } else if (static_cast<int64_t>(areaW) * kDisplayHeight <=
             static_cast<int64_t>(areaH) * kDisplayWidth) {
    // Narrower than 3:4: the width limits.
    v.w = areaW;
    v.h = static_cast<int>(static_cast<int64_t>(areaW) * kDisplayHeight / kDisplayWidth);
  } else {
    v.h = areaH;
    v.w = static_cast<int>(static_cast<int64_t>(areaH) * kDisplayWidth / kDisplayHeight);
  }
  if (v.w < 1) v.w = 1;
  if (v.h < 1) v.h = 1;
  v.x = (areaW - v.w) / 2;
  v.y = (areaH - v.h) / 2;
  return v;
}

bool mapToDisplay(const View &view, double ax, double ay, int *dx, int *dy) {
  if (view.w <= 0 || view.h <= 0) return false;
  if (!(std::isfinite(ax) && std::isfinite(ay))) return false;
  double rx = ax - view.x;
  double ry = ay - view.y;
  if (rx < 0 || ry < 0 || rx >= view.w || ry >= view.h) return false;
  int x = static_cast<int>(std::floor(rx * kDisplayWidth / view.w));
  int y = static_cast<int>(std::floor(ry * kDisplayHeight / view.h));
  // Rounding at the far edge must never leave the display.
  if (x > kDisplayWidth - 1) x = kDisplayWidth - 1;
  if (y > kDisplayHeight - 1) y = kDisplayHeight - 1;
  *dx = x;
  *dy = y;
  return true;
}

namespace {

// Compares two display rows eight bytes at a time: some C libraries (the
// WebAssembly one among them) compare memory a byte at a time, which made
// this the most costly step of a whole pass there.
bool sameRow(const uint16_t *a, const uint16_t *b) {
  constexpr int kWords = kDisplayWidth * 2 / 8;
  for (int i = 0; i < kWords; ++i) {
    uint64_t x, y;
    std::memcpy(&x, a + i * 4, 8);
    std::memcpy(&y, b + i * 4, 8);
    if (x != y) return false;
  }
  return true;
}

}  // namespace

bool changedRows(const uint16_t *a, const uint16_t *b, int *firstRow, int *lastRow) {
  int first = 0;
  while (first < kDisplayHeight && sameRow(a + first * kDisplayWidth, b + first * kDisplayWidth)) {
    ++first;
  }
  if (first == kDisplayHeight) return false;
  int last = kDisplayHeight - 1;
  while (last > first && sameRow(a + last * kDisplayWidth, b + last * kDisplayWidth)) --last;
  *firstRow = first;
  *lastRow = last;
  return true;
}

namespace {

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

}  // namespace shared
