// Helpers for the graphics tests: surfaces backed by test-owned buffers with
// guard bytes around them, so that a write outside a surface is caught.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gfx/surface.h"

constexpr uint8_t GUARD = 0xA5;
constexpr int32_t GUARD_BYTES = 64;

struct TestSurface {
  std::vector<uint8_t> bytes;
  std::vector<PaletteEntry> palette;
  int32_t stride = 0;
  int32_t height = 0;

  void make(int32_t slot, int32_t w, int32_t h, uint8_t fill) {
    stride = w;
    height = h;
    bytes.assign(static_cast<size_t>(w) * h + 2 * GUARD_BYTES, GUARD);
    std::memset(bytes.data() + GUARD_BYTES, fill, static_cast<size_t>(w) * h);
    palette.assign(PALETTE_ENTRIES, PaletteEntry{0, 0, 0, 0});
    surfaceTable[slot] = Surface{bytes.data() + GUARD_BYTES, palette.data(), w, h};
  }
  uint8_t *pixels() { return bytes.data() + GUARD_BYTES; }
  uint8_t &at(int32_t x, int32_t y) { return pixels()[y * stride + x]; }
  bool guardsIntact() const {
    for (int32_t i = 0; i < GUARD_BYTES; ++i) {
      if (bytes[i] != GUARD || bytes[bytes.size() - 1 - i] != GUARD) return false;
    }
    return true;
  }
};

// Empties every surface slot before and after each test, so no slot is left
// pointing at a buffer of a finished test, and puts back the display
// properties, effects and sound flag a test may have changed.
class GfxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedDisplay = displayProperties;
    savedSound = soundEnabled;
    emptySlots();
    clearEffects();
  }
  void TearDown() override {
    emptySlots();
    clearEffects();
    displayProperties = savedDisplay;
    soundEnabled = savedSound;
  }
  static void emptySlots() {
    for (Surface &s : surfaceTable) s = Surface{};
  }
  GXDisplayProperties savedDisplay{};
  uint32_t savedSound = 0;
};
