// Helpers for the match tests: a synthetic sprite sheet in which every
// sprite has its own pixels, so that two pictures are equal only when the
// same sprites were drawn at the same places, and a way to draw an expected
// picture from a list of sprites.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "game/match.h"
#include "gfx/surface.h"

namespace match_test {

struct Placed {
  int32_t sprite;
  int32_t x;
  int32_t y;
};

inline void setUpSyntheticSheet() {
  createSurface(0, nullptr, 0, 240, 320);
  createSurface(2, nullptr, 0, 832, 825);
  const Surface &sheet = surfaceTable[2];
  for (int32_t y = 0; y < sheet.height; ++y) {
    for (int32_t x = 0; x < sheet.stride; ++x) {
      uint32_t h = static_cast<uint32_t>(x) * 2654435761u ^ static_cast<uint32_t>(y) * 40503u;
      h ^= h >> 13;
      sheet.pixels[y * sheet.stride + x] = static_cast<uint8_t>(h % 240);  // never the key
    }
  }
  for (int32_t i = 0; i < DEFINED_SPRITES; ++i) {
    const SpriteRect &r = spriteSheetTable[i];
    defineSprite(i, 2, r.x, r.y, r.w, r.h);
  }
}

inline std::vector<uint8_t> snapshot() {
  const Surface &s = surfaceTable[0];
  return std::vector<uint8_t>(s.pixels, s.pixels + s.stride * s.height);
}

inline void drawPlaced(const std::vector<Placed> &sprites) {
  for (const Placed &p : sprites) drawSprite(p.sprite, 0, p.x, p.y, COLOR_KEY);
}

// First differing pixel as "x,y", or "" when the pictures are equal.
inline std::string firstDifference(const std::vector<uint8_t> &a, const std::vector<uint8_t> &b) {
  const int32_t stride = surfaceTable[0].stride;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i)
    if (a[i] != b[i]) return std::to_string(i % stride) + "," + std::to_string(i / stride);
  return a.size() == b.size() ? "" : "size";
}

}  // namespace match_test
