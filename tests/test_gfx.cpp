// Argument rules, rectangles and palette fades, on test-owned buffers.
#include <gtest/gtest.h>

#include "gfx/surface.h"
#include "test_gfx_support.h"

namespace {

TEST_F(GfxTest, ArgumentRulesAndResultCodes) {
  TestSurface dst, src;
  dst.make(0, 40, 40, 86);
  src.make(1, 16, 16, 7);
  Palette out;
  std::memset(out, 0x77, sizeof out);
  // Source rectangles outside their surface and empty slots are not read;
  // bad indices and sizes are refused with 1, missing bitmaps with 3, and
  // none of them changes anything.
  // clang-format off
  const int32_t codes[][2] = {
      {blit(1, 8, 0, 16, 16, 0, 0, 0, NO_KEY), 0}, {blit(1, 0, -1, 4, 4, 0, 0, 0, 240), 0}, {blit(5, 0, 0, 4, 4, 0, 0, 0, NO_KEY), 0},
      {fillRect(6, 0, 0, 240, 320, 1), 0}, {blit(-1, 0, 0, 1, 1, 0, 0, 0, NO_KEY), 1}, {blit(0, 0, 0, 1, 1, 8, 0, 0, NO_KEY), 1},
      {drawSprite(256, 0, 0, 0, COLOR_KEY), 1}, {drawSprite(0, 8, 0, 0, COLOR_KEY), 1}, {defineSprite(255, 8, 1, 2, 3, 4), 1},
      {fillRect(8, 0, 0, 1, 1, 1), 1}, {getPalette(5, out), 1}, {getPalette(8, out), 1}, {setPalette(-1, out), 1},
      {fillPalette(5, 1, 2, 3), 1}, {fadeToward(8, out, 8), 1}, {fadeToWhiteOrBlack(-1, 1, 8), 1},
      {present(8, 0, 0, 0, 0, 0, 0, NO_KEY), 1}, {present(-1, 0, 0, 0, 0, 0, 0, NO_KEY), 1},
      {createSurface(8, nullptr, 0, 6, 3), 1}, {createSurface(3, nullptr, 0, -4, 3), 1}, {createSurface(3, nullptr, 0, 3, -4), 1},
      {createSurface(1, nullptr, 999, 0, 0), 3}, {createSurface(1, nullptr, 122, 0, 0), 3}};  // 122: a WAVE, not a bitmap
  // clang-format on
  for (size_t i = 0; i < std::size(codes); ++i) EXPECT_EQ(codes[i][0], codes[i][1]) << "call " << i;
  for (int32_t i = 0; i < 40 * 40; ++i) ASSERT_EQ(dst.pixels()[i], 86);
  EXPECT_EQ(spriteSurface[255] | spriteX[255] | spriteW[255], 0);
  EXPECT_EQ(out[255].red, 0x77);
  EXPECT_TRUE(surfaceTable[1].pixels == src.pixels() && surfaceTable[3].pixels == nullptr);
}

TEST_F(GfxTest, FillRectFillsInsideTheSurfaceOnly) {
  // clang-format off
  const int32_t cases[][8] = {  // asked for left, top, right, bottom, then filled
      {2, 3, 6, 5, 2, 3, 6, 5},   {0, 0, 20, 10, 0, 0, 20, 10},   {4, 4, 8, 4, 0, 0, 0, 0},
      {4, 4, 4, 8, 0, 0, 0, 0},   {6, 6, 2, 2, 0, 0, 0, 0},       {-5, -5, 3, 2, 0, 0, 3, 2},
      {30, 0, 40, 5, 0, 0, 0, 0}, {15, 8, 99, 99, 15, 8, 20, 10}};
  // clang-format on
  for (const auto &c : cases) {
    TestSurface s;
    s.make(0, 20, 10, 86);
    EXPECT_EQ(fillRect(0, c[0], c[1], c[2], c[3], 0x105), 0);
    for (int32_t i = 0; i < 200; ++i) {
      const int32_t x = i % 20, y = i / 20;
      ASSERT_EQ(s.pixels()[i], x >= c[4] && x < c[6] && y >= c[5] && y < c[7] ? 5 : 86) << i;
    }
    EXPECT_TRUE(s.guardsIntact());
  }
}

// One step of one channel of entry 10: a step that changes anything gives 0,
// even when it reaches the target, and only the next one reports the end.
// Every reserved byte stays as it was, and setPalette copies them too.
TEST_F(GfxTest, OneFadeStepOfOneChannel) {
  // mode 0 toward the target, 1 to white, 2 to black; a step below 1 never
  // reaches the target, but no byte wraps.
  // clang-format off
  const int32_t cases[][6] = {  // mode, from, target, step, after, result
      {0, 100, 105, 8, 105, 0}, {0, 105, 100, 8, 100, 0}, {0, 100, 120, 8, 108, 0},
      {0, 120, 100, 8, 112, 0}, {0, 50, 50, 8, 50, kFadeDone}, {0, 250, 0, -8, 255, 0},
      {1, 250, 0, 8, 255, 0},   {1, 255, 0, 8, 255, kFadeDone},
      {2, 3, 0, 4, 0, 0},       {2, 4, 0, 4, 0, 0},  {2, 5, 0, 4, 1, 0},  {2, 0, 0, 4, 0, kFadeDone},
      {2, 3, 0, -8, 11, 0}};
  // clang-format on
  for (const auto &c : cases) {
    TestSurface s;
    s.make(0, 1, 1, 0);
    Palette start, target;
    const uint8_t level = c[0] == 2 ? 0 : 255;
    for (int32_t i = 0; i < 256; ++i) {
      start[i] = PaletteEntry{level, level, level, uint8_t(i ^ 0x5A)};
      target[i] = PaletteEntry{level, level, level, uint8_t(i)};
    }
    start[10].green = static_cast<uint8_t>(c[1]);
    target[10].green = static_cast<uint8_t>(c[2]);
    ASSERT_EQ(setPalette(0, start), 0);
    const int32_t r = c[0] ? fadeToWhiteOrBlack(0, c[0] == 1, c[3]) : fadeToward(0, target, c[3]);
    start[10].green = static_cast<uint8_t>(c[4]);
    EXPECT_EQ(std::memcmp(start, s.palette.data(), PALETTE_BYTES), 0) << c[1] << " step " << c[3];
    EXPECT_EQ(r, c[5]) << c[1] << " step " << c[3];
  }
}

}  // namespace
