// Graphics test helpers: surfaces on test-owned buffers with guard bytes
// around them (a write outside a surface is caught), and a fixture that
// empties the slots and puts back the globals a test changes.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gfx/surface.h"

struct TestSurface {
  static constexpr size_t GUARD = 64;
  std::vector<uint8_t> bytes;
  std::vector<PaletteEntry> palette;
  int32_t stride = 0;

  void make(int32_t slot, int32_t w, int32_t h, uint8_t fill) {
    stride = w;
    bytes.assign(static_cast<size_t>(w) * h + 2 * GUARD, 0xA5);
    std::memset(bytes.data() + GUARD, fill, static_cast<size_t>(w) * h);
    palette.assign(PALETTE_ENTRIES, PaletteEntry{0, 0, 0, 0});
    surfaceTable[slot] = Surface{bytes.data() + GUARD, palette.data(), w, h};
  }
  uint8_t *pixels() { return bytes.data() + GUARD; }
  uint8_t &at(int32_t x, int32_t y) { return pixels()[y * stride + x]; }
  bool guardsIntact() const {
    for (size_t i = 0; i < GUARD; ++i)
      if (bytes[i] != 0xA5 || bytes[bytes.size() - 1 - i] != 0xA5) return false;
    return true;
  }
};

class GfxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedDisplay = displayProperties;
    savedSound = soundEnabled;
    for (Surface &s : surfaceTable) s = Surface{};
    clearEffects();
  }
  void TearDown() override {
    for (Surface &s : surfaceTable) s = Surface{};
    clearEffects();
    displayProperties = savedDisplay;
    soundEnabled = savedSound;
  }
  GXDisplayProperties savedDisplay{};
  uint32_t savedSound = 0;
};

// A 16 x 16 source whose every pixel tells its position (never 240).
inline uint8_t patternAt(int32_t x, int32_t y) {
  return static_cast<uint8_t>(1 + (y * 16 + x) % 29);
}

// Where a 16 x 16 rectangle placed at (dx, dy) should land on a 240 x 320
// target: the drawn part and its first source pixel; begun is false when the
// call is rejected before any drawing starts.
struct PlaceCase {
  int32_t dx, dy;
  bool begun;
  int32_t x0, y0, w, h, sx0, sy0;
};

inline const PlaceCase PLACE_CASES[] = {
    {100, 50, true, 100, 50, 16, 16, 0, 0},  // inside
    {-10, 0, true, 0, 0, 6, 16, 10, 0},      // shows from its eleventh column
    {235, 7, true, 235, 7, 5, 16, 0, 0},     // keeps its 5 leftmost columns
    {9, -3, true, 9, 0, 16, 13, 0, 3},
    {9, 310, true, 9, 310, 16, 10, 0, 0},
    {-15, -15, true, 0, 0, 1, 1, 15, 15},
    {0, 320, true, 0, 0, 0, 0, 0, 0},  // passes, empty
    {0, 321, false, 0, 0, 0, 0, 0, 0},
    {240, 0, true, 0, 0, 0, 0, 0, 0},
    {241, 0, false, 0, 0, 0, 0, 0, 0},
    {-16, 0, true, 0, 0, 0, 0, 0, 0},  // w + dx = 0
    {-17, 0, false, 0, 0, 0, 0, 0, 0},
    {0, -17, false, 0, 0, 0, 0, 0, 0},
    {INT32_MAX, INT32_MIN, false, 0, 0, 0, 0, 0, 0}};

inline bool placed(const PlaceCase &c, int32_t x, int32_t y) {
  return x >= c.x0 && x < c.x0 + c.w && y >= c.y0 && y < c.y0 + c.h;
}
