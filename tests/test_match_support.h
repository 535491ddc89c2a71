// Helpers for the match tests: a synthetic sprite sheet in which every
// sprite has its own pixels, so that two pictures are equal only when the
// same sprites were drawn at the same places, and a check that the back
// buffer shows exactly a given list of sprites.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "game/match.h"
#include "gfx/surface.h"

namespace match_test {

struct Placed {
  int32_t sprite, x, y;
};

inline void setUpSyntheticSheet() {
  createSurface(0, nullptr, 0, 240, 320);
  createSurface(2, nullptr, 0, 832, 825);
  const Surface &sheet = surfaceTable[2];
  for (uint32_t i = 0; i < 832u * 825u; ++i)
    sheet.pixels[i] = static_cast<uint8_t>((i * 2654435761u >> 13) % 240);  // never the key
  for (const SpriteRect &r : spriteSheetTable)
    defineSprite(static_cast<int32_t>(&r - spriteSheetTable), 2, r.x, r.y, r.w, r.h);
}

// The first pixel where the back buffer differs from the background with the
// scoreboard (when asked) and then the given sprites drawn on it, as "x,y",
// or "" when the pictures agree. The back buffer is left holding the
// expected picture.
inline std::string differenceFrom(const std::vector<Placed> &sprites, bool scoreboard = false) {
  const Surface &s = surfaceTable[0];
  const std::vector<uint8_t> drawn(s.pixels, s.pixels + s.stride * s.height);
  clearSurface(0, BACKGROUND_INDEX);
  if (scoreboard) drawScoreboard();
  for (const Placed &p : sprites) drawSprite(p.sprite, 0, p.x, p.y, COLOR_KEY);
  for (size_t i = 0; i < drawn.size(); ++i)
    if (drawn[i] != s.pixels[i])
      return std::to_string(i % s.stride) + "," + std::to_string(i / s.stride);
  return "";
}

// Whether the back buffer already shows the sprite at (x, y): drawing it
// again changes nothing.
inline bool shows(int32_t sprite, int32_t x, int32_t y) {
  const Surface &s = surfaceTable[0];
  const std::vector<uint8_t> before(s.pixels, s.pixels + s.stride * s.height);
  drawSprite(sprite, 0, x, y, COLOR_KEY);
  return std::equal(before.begin(), before.end(), s.pixels);
}

}  // namespace match_test
