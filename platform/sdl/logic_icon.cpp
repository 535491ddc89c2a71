// Decoding the window icon from the program's .ico resource.
#include "platform/sdl/logic.h"

namespace sdlb {

namespace {

uint32_t le32(const uint8_t *p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t le16(const uint8_t *p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// How much an entry of this size is wanted: 48 best, then 32, then bigger
// ones, then smaller ones.
int preference(int size) {
  if (size == 48) return 1000;
  if (size == 32) return 900;
  return size;
}

}  // namespace

bool decodeIcon(const uint8_t *ico, size_t size, uint32_t *argb, int maxPixels, int *width,
                int *height) {
  if (ico == nullptr || size < 6) return false;
  if (le16(ico) != 0 || le16(ico + 2) != 1) return false;
  int count = le16(ico + 4);
  if (count == 0 || 6 + static_cast<size_t>(count) * 16 > size) return false;

  int best = -1, bestPref = -1;
  for (int i = 0; i < count; ++i) {
    const uint8_t *e = ico + 6 + i * 16;
    int w = e[0] == 0 ? 256 : e[0];
    int h = e[1] == 0 ? 256 : e[1];
    uint32_t bytes = le32(e + 8), offset = le32(e + 12);
    if (w != h || offset > size || bytes > size - offset || bytes < 40) continue;
    const uint8_t *img = ico + offset;
    // A 32-bit uncompressed BMP image of the stated size; PNG images and
    // other depths are passed over.
    if (le32(img) < 40 || static_cast<int32_t>(le32(img + 4)) != w ||
        static_cast<int32_t>(le32(img + 8)) != 2 * h || le16(img + 14) != 32 ||
        le32(img + 16) != 0) {
      continue;
    }
    size_t need = le32(img) + static_cast<size_t>(w) * h * 4;
    if (need > bytes || w * h > maxPixels) continue;
    if (preference(w) > bestPref) {
      bestPref = preference(w);
      best = i;
    }
  }
  if (best < 0) return false;

  const uint8_t *e = ico + 6 + best * 16;
  int n = e[0] == 0 ? 256 : e[0];
  uint32_t bytes = le32(e + 8);
  const uint8_t *img = ico + le32(e + 12);
  const uint8_t *pixels = img + le32(img);
  // The AND mask follows the colour rows: one bit a pixel, rows padded to 4
  // bytes. Used only when the image has no alpha at all.
  size_t maskStride = static_cast<size_t>((n + 31) / 32) * 4;
  size_t maskAt = le32(img) + static_cast<size_t>(n) * n * 4;
  bool haveMask = maskAt + maskStride * n <= bytes;
  bool anyAlpha = false;
  for (int i = 0; i < n * n; ++i) anyAlpha = anyAlpha || pixels[i * 4 + 3] != 0;

  for (int y = 0; y < n; ++y) {
    // Rows are stored bottom-up.
    const uint8_t *row = pixels + static_cast<size_t>(n - 1 - y) * n * 4;
    for (int x = 0; x < n; ++x) {
      const uint8_t *p = row + x * 4;
      uint32_t a = p[3];
      if (!anyAlpha) {
        a = 255;
        if (haveMask) {
          const uint8_t *mrow = img + maskAt + static_cast<size_t>(n - 1 - y) * maskStride;
          if ((mrow[x / 8] >> (7 - x % 8)) & 1) a = 0;
        }
      }
      argb[y * n + x] = (a << 24) | (static_cast<uint32_t>(p[2]) << 16) |
                        (static_cast<uint32_t>(p[1]) << 8) | p[0];
    }
  }
  *width = n;
  *height = n;
  return true;
}

}  // namespace sdlb
