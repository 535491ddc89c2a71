// Named rectangles of a surface and how they are drawn: one copy routine,
// cut to fit the target surface, that can skip one colour index.
#include <cstring>

#include "gfx/clip.h"
#include "gfx/surface.h"

int32_t spriteSurface[kSpriteCount];
int32_t spriteX[kSpriteCount];
int32_t spriteY[kSpriteCount];
int32_t spriteW[kSpriteCount];
int32_t spriteH[kSpriteCount];

namespace {

bool validSprite(int32_t index) { return index >= 0 && index < kSpriteCount; }

constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
constexpr uint64_t kHigh1 = 0x8080808080808080ull;
constexpr uint64_t kOnes = 0x0101010101010101ull;

// One keyed row. Eight bytes at a time: a byte of the mask is 0xFF where the
// source byte differs from the key (exact zero-byte test of source ^ key),
// and the destination takes the source there and keeps its own byte
// elsewhere.
void copyRowKeyed(const uint8_t *from, uint8_t *to, size_t n, uint8_t key) {
  const uint64_t keys = kOnes * key;
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t s, d;
    std::memcpy(&s, from + i, 8);
    std::memcpy(&d, to + i, 8);
    const uint64_t x = s ^ keys;
    const uint64_t differs = (((x & kLow7) + kLow7) | x) & kHigh1;
    const uint64_t mask = (differs >> 7) * 0xFF;
    d = (s & mask) | (d & ~mask);
    std::memcpy(to + i, &d, 8);
  }
  for (; i < n; ++i) {
    if (from[i] != key) to[i] = from[i];
  }
}

}  // namespace

int32_t defineSprite(int32_t index, int32_t slot, int32_t x, int32_t y, int32_t w, int32_t h) {
  if (!validSprite(index) || !validSurfaceSlot(slot)) return kGfxFailed;
  spriteSurface[index] = slot;
  spriteX[index] = x;
  spriteY[index] = y;
  spriteW[index] = w;
  spriteH[index] = h;
  return kGfxOk;
}

int32_t drawSprite(int32_t index, int32_t destination, int32_t x, int32_t y, int32_t key) {
  if (!validSprite(index) || !validSurfaceSlot(destination)) return kGfxFailed;
  blit(spriteSurface[index], spriteX[index], spriteY[index], spriteW[index], spriteH[index],
       destination, x, y, key);
  return kGfxOk;
}

int32_t blit(int32_t source, int32_t sx, int32_t sy, int32_t width, int32_t height,
             int32_t destination, int32_t dx, int32_t dy, int32_t key) {
  if (!validSurfaceSlot(source) || !validSurfaceSlot(destination)) return kGfxFailed;
  const Surface &src = surfaceTable[source];
  const Surface &dst = surfaceTable[destination];

  CopyArea r{sx, sy, width, height, dx, dy};
  if (!clipCopy(r, src.stride, src.height, dst.stride, dst.height)) return kGfxOk;
  const int64_t x = r.x, y = r.y, w = r.w, h = r.h, px = r.px, py = r.py;
  if (w <= 0 || h <= 0) return kGfxOk;

  // A source rectangle reaching outside its own surface is never asked for;
  // should one come, it is refused rather than read out of bounds.
  if (src.pixels == nullptr || dst.pixels == nullptr || x < 0 || y < 0 || x + w > src.stride ||
      y + h > src.height) {
    return kGfxOk;
  }

  const uint8_t *from = src.pixels + src.stride * y + x;
  uint8_t *to = dst.pixels + dst.stride * py + px;
  const size_t n = static_cast<size_t>(w);

  if (key == kNoKey) {
    // memmove: a surface may be blitted onto itself.
    for (int64_t row = 0; row < h; ++row, from += src.stride, to += dst.stride) {
      std::memmove(to, from, n);
    }
  } else if (key >= 0 && key <= 255) {
    const uint8_t k = static_cast<uint8_t>(key);
    for (int64_t row = 0; row < h; ++row, from += src.stride, to += dst.stride) {
      copyRowKeyed(from, to, n, k);
    }
  } else {
    // No byte can equal a key outside 0..255: every byte is copied.
    for (int64_t row = 0; row < h; ++row, from += src.stride, to += dst.stride) {
      for (size_t i = 0; i < n; ++i) to[i] = from[i];
    }
  }
  return kGfxOk;
}
