// Graphics test helpers: surfaces on test-owned buffers with guard bytes
// around them (a write outside a surface is caught), a fixture that empties
// the slots and puts back the globals a test changes, and the placements of
// a 16 x 16 rectangle on a 240 x 320 target that blit and present share.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "gfx/surface.h"

struct TestSurface {
  static constexpr size_t kGuard = 64;
  std::vector<uint8_t> bytes;
  std::vector<PaletteEntry> palette;
  int32_t stride = 0;

  void make(int32_t slot, int32_t w, int32_t h, uint8_t fill) {
    stride = w;
    bytes.assign(static_cast<size_t>(w) * h + 2 * kGuard, 0xA5);
    std::memset(bytes.data() + kGuard, fill, static_cast<size_t>(w) * h);
    palette.assign(kPaletteEntries, PaletteEntry{0, 0, 0, 0});
    surfaceTable[slot] = Surface{bytes.data() + kGuard, palette.data(), w, h};
  }
  uint8_t *pixels() { return bytes.data() + kGuard; }
  uint8_t &at(int32_t x, int32_t y) { return pixels()[y * stride + x]; }
  bool guardsIntact() const {
    return std::count(bytes.begin(), bytes.begin() + kGuard, 0xA5) +
               std::count(bytes.end() - kGuard, bytes.end(), 0xA5) ==
           2 * kGuard;
  }
};

// Empties the slots and the Effects before and after each test, and puts
// back the globals a test changes.
class GfxTest : public ::testing::Test {
 protected:
  void SetUp() override { GfxTest::TearDown(); }
  void TearDown() override {
    for (Surface &s : surfaceTable) s = Surface{};
    clearEffects();
    displayProperties = savedDisplay;
    soundEnabled = savedSound;
  }
  const GXDisplayProperties savedDisplay = displayProperties;
  const uint32_t savedSound = soundEnabled;
};
