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
  // bad indices and sizes are refused, and none of the calls changes
  // anything. Each call runs as its row is made, in order.
  const struct {
    const char *name;
    int32_t result, expected;
  } calls[] = {
      {.name = "blit of a rectangle reaching past its source: nothing read",
       .result = blit(1, 8, 0, 16, 16, 0, 0, 0, kNoKey),
       .expected = kGfxOk},
      {.name = "keyed blit from above its source: nothing read",
       .result = blit(1, 0, -1, 4, 4, 0, 0, 0, 240),
       .expected = kGfxOk},
      {.name = "blit from an empty slot",
       .result = blit(5, 0, 0, 4, 4, 0, 0, 0, kNoKey),
       .expected = kGfxOk},
      {.name = "fillRect of an empty slot",
       .result = fillRect(6, 0, 0, 240, 320, 1),
       .expected = kGfxOk},
      {.name = "blit from slot -1",
       .result = blit(-1, 0, 0, 1, 1, 0, 0, 0, kNoKey),
       .expected = kGfxFailed},
      {.name = "blit to slot 8",
       .result = blit(0, 0, 0, 1, 1, 8, 0, 0, kNoKey),
       .expected = kGfxFailed},
      {.name = "drawSprite of sprite 256",
       .result = drawSprite(256, 0, 0, 0, COLOR_KEY),
       .expected = kGfxFailed},
      {.name = "drawSprite to slot 8",
       .result = drawSprite(0, 8, 0, 0, COLOR_KEY),
       .expected = kGfxFailed},
      {.name = "defineSprite on slot 8",
       .result = defineSprite(255, 8, 1, 2, 3, 4),
       .expected = kGfxFailed},
      {.name = "fillRect of slot 8", .result = fillRect(8, 0, 0, 1, 1, 1), .expected = kGfxFailed},
      {.name = "getPalette of an empty slot", .result = getPalette(5, out), .expected = kGfxFailed},
      {.name = "getPalette of slot 8", .result = getPalette(8, out), .expected = kGfxFailed},
      {.name = "setPalette of slot -1", .result = setPalette(-1, out), .expected = kGfxFailed},
      {.name = "fillPalette of an empty slot",
       .result = fillPalette(5, 1, 2, 3),
       .expected = kGfxFailed},
      {.name = "fadeToward on slot 8", .result = fadeToward(8, out, 8), .expected = kFadeFailed},
      {.name = "fadeToWhiteOrBlack on slot -1",
       .result = fadeToWhiteOrBlack(-1, 1, 8),
       .expected = kFadeFailed},
      {.name = "present of slot 8",
       .result = present(8, 0, 0, 0, 0, 0, 0, kNoKey),
       .expected = kGfxFailed},
      {.name = "createSurface in slot 8",
       .result = createSurface(8, nullptr, 0, 6, 3),
       .expected = kGfxFailed},
      {.name = "createSurface of negative width",
       .result = createSurface(3, nullptr, 0, -4, 3),
       .expected = kGfxFailed},
      {.name = "createSurface from a bitmap that does not exist",
       .result = createSurface(1, nullptr, 999, 0, 0),
       .expected = kGfxNoSuchBitmap},
      {.name = "createSurface from a wave's number, which is no bitmap",
       .result = createSurface(1, nullptr, kWaveConfirm, 0, 0),
       .expected = kGfxNoSuchBitmap},
  };
  for (const auto &c : calls) EXPECT_EQ(c.result, c.expected) << c.name;
  for (int32_t i = 0; i < 40 * 40; ++i) ASSERT_EQ(dst.pixels()[i], 86);
  EXPECT_EQ(spriteSurface[255] | spriteX[255] | spriteW[255], 0);
  EXPECT_EQ(out[255].red, 0x77);
  EXPECT_TRUE(surfaceTable[1].pixels == src.pixels() && surfaceTable[3].pixels == nullptr);
}

// On a 20 x 10 surface; right and bottom are exclusive.
TEST_F(GfxTest, FillRectFillsInsideTheSurfaceOnly) {
  struct Rect {
    int32_t left, top, right, bottom;
  };
  const Rect nothing = {};
  const struct {
    const char *name;
    Rect asked, filled;
  } cases[] = {
      {.name = "inside",
       .asked = {.left = 2, .top = 3, .right = 6, .bottom = 5},
       .filled = {.left = 2, .top = 3, .right = 6, .bottom = 5}},
      {.name = "the whole surface",
       .asked = {.left = 0, .top = 0, .right = 20, .bottom = 10},
       .filled = {.left = 0, .top = 0, .right = 20, .bottom = 10}},
      {.name = "no height",
       .asked = {.left = 4, .top = 4, .right = 8, .bottom = 4},
       .filled = nothing},
      {.name = "ends before starts",
       .asked = {.left = 6, .top = 6, .right = 2, .bottom = 2},
       .filled = nothing},
      {.name = "cut at the top left",
       .asked = {.left = -5, .top = -5, .right = 3, .bottom = 2},
       .filled = {.left = 0, .top = 0, .right = 3, .bottom = 2}},
      {.name = "right of the surface",
       .asked = {.left = 30, .top = 0, .right = 40, .bottom = 5},
       .filled = nothing},
      {.name = "cut at the bottom right",
       .asked = {.left = 15, .top = 8, .right = 99, .bottom = 99},
       .filled = {.left = 15, .top = 8, .right = 20, .bottom = 10}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    TestSurface s;
    s.make(0, 20, 10, 86);
    EXPECT_EQ(fillRect(0, c.asked.left, c.asked.top, c.asked.right, c.asked.bottom, 0x105), kGfxOk);
    for (int32_t i = 0; i < 200; ++i) {
      const int32_t x = i % 20, y = i / 20;
      const bool inside =
          x >= c.filled.left && x < c.filled.right && y >= c.filled.top && y < c.filled.bottom;
      ASSERT_EQ(s.pixels()[i], inside ? 5 : 86) << "pixel " << x << "," << y;
    }
    EXPECT_TRUE(s.guardsIntact());
  }
}

// One step of one channel of entry 10: a step that changes anything gives 0,
// even when it reaches the target, and only the next one reports the end.
// Every reserved byte stays as it was, and setPalette copies them too.
TEST_F(GfxTest, OneFadeStepOfOneChannel) {
  // A step below 1 never reaches the target, but no byte wraps.
  enum Fade { kToward, kToWhite, kToBlack };
  const struct {
    const char *name;
    Fade fade;
    int32_t from;
    int32_t target = 0;  // for kToward
    int32_t step, after, result;
  } cases[] = {
      {.name = "up, reaching the target",
       .fade = kToward,
       .from = 100,
       .target = 105,
       .step = 8,
       .after = 105,
       .result = kFadeStepped},
      {.name = "up by a step",
       .fade = kToward,
       .from = 100,
       .target = 120,
       .step = 8,
       .after = 108,
       .result = kFadeStepped},
      {.name = "down by a step",
       .fade = kToward,
       .from = 120,
       .target = 100,
       .step = 8,
       .after = 112,
       .result = kFadeStepped},
      {.name = "already there",
       .fade = kToward,
       .from = 50,
       .target = 50,
       .step = 8,
       .after = 50,
       .result = kFadeDone},
      {.name = "a negative step away from the target stops at 255",
       .fade = kToward,
       .from = 250,
       .target = 0,
       .step = -8,
       .after = 255,
       .result = kFadeStepped},
      {.name = "to white, reaching it",
       .fade = kToWhite,
       .from = 250,
       .step = 8,
       .after = 255,
       .result = kFadeStepped},
      {.name = "to black, 3 by 4",
       .fade = kToBlack,
       .from = 3,
       .step = 4,
       .after = 0,
       .result = kFadeStepped},
      {.name = "to black, 5 by 4",
       .fade = kToBlack,
       .from = 5,
       .step = 4,
       .after = 1,
       .result = kFadeStepped},
      {.name = "to black, already black",
       .fade = kToBlack,
       .from = 0,
       .step = 4,
       .after = 0,
       .result = kFadeDone},
      {.name = "to black by a negative step: away from black",
       .fade = kToBlack,
       .from = 3,
       .step = -8,
       .after = 11,
       .result = kFadeStepped},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    TestSurface s;
    s.make(0, 1, 1, 0);
    Palette start, target;
    const uint8_t level = c.fade == kToBlack ? 0 : 255;
    for (int32_t i = 0; i < 256; ++i) {
      start[i] = PaletteEntry{level, level, level, uint8_t(i ^ 0x5A)};
      target[i] = PaletteEntry{level, level, level, uint8_t(i)};
    }
    start[10].green = static_cast<uint8_t>(c.from);
    target[10].green = static_cast<uint8_t>(c.target);
    ASSERT_EQ(setPalette(0, start), kGfxOk);
    const int32_t r = c.fade == kToward ? fadeToward(0, target, c.step)
                                        : fadeToWhiteOrBlack(0, c.fade == kToWhite, c.step);
    start[10].green = static_cast<uint8_t>(c.after);
    EXPECT_EQ(std::memcmp(start, s.palette.data(), kPaletteBytes), 0) << "the palette after";
    EXPECT_EQ(r, c.result);
  }
}

}  // namespace
