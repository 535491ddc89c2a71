// Surfaces, palettes, blitting, fades and effects, on test-owned buffers.
#include <gtest/gtest.h>

#include "gfx/surface.h"
#include "test_gfx_support.h"

namespace {

TEST_F(GfxTest, BlitClipsAndRejectsAtTheDestinationEdges) {
  for (const PlaceCase &c : PLACE_CASES) {
    TestSurface dst, src;
    dst.make(0, 240, 320, 86);
    src.make(2, 16, 16, 0);
    for (int32_t y = 0; y < 16; ++y)
      for (int32_t x = 0; x < 16; ++x) src.at(x, y) = patternAt(x, y);
    EXPECT_EQ(blit(2, 0, 0, 16, 16, 0, c.dx, c.dy, COLOR_KEY), 0);
    for (int32_t y = 0; y < 320; ++y)
      for (int32_t x = 0; x < 240; ++x)
        ASSERT_EQ(dst.at(x, y),
                  placed(c, x, y) ? patternAt(c.sx0 + x - c.x0, c.sy0 + y - c.y0) : 86)
            << c.dx << "," << c.dy << " at " << x << "," << y;
    EXPECT_TRUE(dst.guardsIntact());
  }
}

// Every byte value against keys at the edges of the byte range, in rows whose
// length is not a multiple of eight, at several offsets.
TEST_F(GfxTest, KeyedBlitSkipsExactlyTheKeyForEveryByteValue) {
  TestSurface dst, src;
  src.make(1, 259, 2, 0);
  for (int32_t x = 0; x < 259; ++x) {
    src.at(x, 0) = static_cast<uint8_t>(x);
    src.at(x, 1) = static_cast<uint8_t>(x * 7 + 3);
  }
  for (int32_t key : {0, 1, 127, 128, 240, 255, NO_KEY, 256, 300, -2}) {
    for (int32_t offset : {0, 1, 5}) {
      dst.make(0, 270, 2, 0x5A);
      ASSERT_EQ(blit(1, offset, 0, 259 - offset, 2, 0, offset, 0, key), 0);
      for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 270; ++x) {
          bool kept = x < offset || x >= 259 || src.at(x, y) == key;
          ASSERT_EQ(dst.at(x, y), kept ? 0x5A : src.at(x, y)) << key << " " << offset << " " << x;
        }
    }
  }
}

TEST_F(GfxTest, BlitAndSpriteArgumentRules) {
  TestSurface dst, src;
  dst.make(0, 40, 40, 86);
  src.make(1, 16, 16, 0);
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 16; ++x) src.at(x, y) = patternAt(x, y);
  // Width 0: the whole source, whatever the height says.
  EXPECT_EQ(blit(1, 0, 0, 0, 999, 0, 0, 0, NO_KEY), 0);
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < 40; ++x)
      ASSERT_EQ(dst.at(x, y), x < 16 && y < 16 ? patternAt(x, y) : 86);
  // Source rectangles outside their surface and empty slots are not read.
  clearSurface(0, 86);
  EXPECT_EQ(blit(1, 8, 0, 16, 16, 0, 0, 0, NO_KEY), 0);
  EXPECT_EQ(blit(1, 0, -1, 4, 4, 0, 0, 0, COLOR_KEY), 0);
  EXPECT_EQ(blit(5, 0, 0, 4, 4, 0, 0, 0, NO_KEY), 0);
  EXPECT_EQ(blit(1, 0, 0, 4, 4, 5, 0, 0, NO_KEY), 0);
  for (int32_t i = 0; i < 40 * 40; ++i) ASSERT_EQ(dst.pixels()[i], 86);
  // Bad indices give 1 and change nothing; a drawn sprite gives 0 even when
  // blit rejects it.
  EXPECT_EQ(blit(-1, 0, 0, 1, 1, 0, 0, 0, NO_KEY), 1);
  EXPECT_EQ(blit(0, 0, 0, 1, 1, 8, 0, 0, NO_KEY), 1);
  EXPECT_EQ(drawSprite(-1, 0, 0, 0, COLOR_KEY), 1);
  EXPECT_EQ(drawSprite(256, 0, 0, 0, COLOR_KEY), 1);
  EXPECT_EQ(drawSprite(0, 8, 0, 0, COLOR_KEY), 1);
  EXPECT_EQ(defineSprite(256, 1, 1, 1, 1, 1), 1);
  EXPECT_EQ(defineSprite(255, 8, 1, 2, 3, 4), 1);
  EXPECT_EQ(spriteSurface[255] | spriteX[255] | spriteW[255], 0);
  ASSERT_EQ(defineSprite(200, 1, 4, 2, 3, 2), 0);
  EXPECT_EQ(drawSprite(200, 0, 10, 20, COLOR_KEY), 0);
  EXPECT_EQ(dst.at(10, 20), patternAt(4, 2));
  EXPECT_EQ(dst.at(12, 21), patternAt(6, 3));
  EXPECT_EQ(dst.at(13, 21), 86);
  EXPECT_EQ(drawSprite(200, 0, 41, 0, COLOR_KEY), 0);
  defineSprite(200, 0, 0, 0, 0, 0);
}

TEST_F(GfxTest, CreateBlankSurfaceSizes) {
  displayProperties.cxWidth = 240;
  displayProperties.cyHeight = 320;
  const struct {
    int32_t slot, width, height, stride, rows, result;
  } cases[] = {{3, 0, 7, 240, 320, 0},  // display-sized whatever the height says
               {3, 6, 3, 6, 3, 0},      // not rounded
               {3, -4, 3, 0, 0, 1},     // refused, left empty
               {3, 3, -4, 0, 0, 1},    {8, 6, 3, 0, 0, 1}, {-1, 6, 3, 0, 0, 1}};
  for (const auto &c : cases) {
    EXPECT_EQ(createSurface(c.slot, nullptr, 0, c.width, c.height), c.result) << c.width;
    if (c.slot != 3) continue;
    EXPECT_EQ(surfaceTable[3].stride, c.stride) << c.width;
    EXPECT_EQ(surfaceTable[3].height, c.rows) << c.width;
    EXPECT_EQ(clearSurface(3, 1), 0);  // harmless in every case
  }
}

TEST_F(GfxTest, FillRectFillsInsideTheSurfaceOnly) {
  const struct {
    int32_t left, top, right, bottom, x0, y0, x1, y1;  // asked for, then filled
  } cases[] = {{2, 3, 6, 5, 2, 3, 6, 5},       {0, 0, 20, 10, 0, 0, 20, 10},
               {4, 4, 8, 4, 0, 0, 0, 0},       {4, 4, 4, 8, 0, 0, 0, 0},
               {6, 6, 2, 2, 0, 0, 0, 0},       {-5, -5, 3, 2, 0, 0, 3, 2},
               {15, 8, 99, 99, 15, 8, 20, 10}, {30, 0, 40, 5, 0, 0, 0, 0}};
  for (const auto &c : cases) {
    TestSurface s;
    s.make(0, 20, 10, 86);
    EXPECT_EQ(fillRect(0, c.left, c.top, c.right, c.bottom, 0x105), 0);
    for (int32_t y = 0; y < 10; ++y)
      for (int32_t x = 0; x < 20; ++x)
        ASSERT_EQ(s.at(x, y), x >= c.x0 && x < c.x1 && y >= c.y0 && y < c.y1 ? 5 : 86)
            << c.left << "," << c.top << " at " << x << "," << y;
    EXPECT_TRUE(s.guardsIntact());
  }
  EXPECT_EQ(fillRect(6, 0, 0, 240, 320, 1), 0);  // empty slot
  EXPECT_EQ(fillRect(8, 0, 0, 1, 1, 1), 1);
}

TEST_F(GfxTest, PaletteOperationsAndReservedBytes) {
  TestSurface s;
  s.make(0, 4, 4, 0);
  Palette in, out;
  for (int32_t i = 0; i < 256; ++i)
    in[i] = PaletteEntry{uint8_t(i), uint8_t(255 - i), uint8_t(i * 3), uint8_t(i ^ 0x5A)};
  EXPECT_EQ(setPalette(0, in), 0);
  EXPECT_EQ(getPalette(0, out), 0);
  EXPECT_EQ(std::memcmp(in, out, PALETTE_BYTES), 0);  // reserved bytes copied too
  EXPECT_EQ(fillPalette(0, 0x112, 0x234, 0x356), 0);
  for (int32_t i = 0; i < 256; ++i) {
    const PaletteEntry &e = s.palette[i];
    ASSERT_TRUE(e.red == 0x12 && e.green == 0x34 && e.blue == 0x56) << i;
    ASSERT_EQ(e.reserved, in[i].reserved);
  }
  // Empty and bad slots touch nothing and say so.
  std::memset(out, 0x77, sizeof out);
  EXPECT_EQ(getPalette(5, out) + getPalette(8, out) + setPalette(5, in) + setPalette(-1, in) +
                fillPalette(5, 1, 2, 3) + fillPalette(8, 1, 2, 3) + fadeToward(5, in, 8) +
                fadeToward(8, in, 8) + fadeToWhiteOrBlack(-1, 1, 8),
            9);
  EXPECT_EQ(out[255].red, 0x77);
}

TEST_F(GfxTest, FadeFromBlackReportsDoneOneCallLate) {
  Palette target;
  for (int32_t i = 0; i < 256; ++i)
    target[i] = PaletteEntry{uint8_t(i), uint8_t(i / 2), 255, uint8_t(200 - i / 2)};
  for (auto [step, zeros] : {std::pair{8, 32}, {4, 64}, {255, 1}, {1, 255}}) {
    TestSurface s;
    s.make(0, 1, 1, 0);
    for (int32_t i = 0; i < 256; ++i) s.palette[i] = PaletteEntry{0, 0, 0, uint8_t(i)};
    for (int32_t call = 0; call < zeros; ++call) ASSERT_EQ(fadeToward(0, target, step), 0);
    EXPECT_EQ(fadeToward(0, target, step), FADE_DONE) << "step " << step;
    for (int32_t i = 0; i < 256; ++i) {
      const PaletteEntry &e = s.palette[i];
      ASSERT_TRUE(e.blue == target[i].blue && e.green == target[i].green && e.red == 255);
      ASSERT_EQ(e.reserved, i);
    }
  }
}

TEST_F(GfxTest, OneFadeStepOfOneChannel) {
  const struct {
    int32_t mode;  // 0 toward target, 1 to white, 2 to black
    uint8_t from, target;
    int32_t step;
    uint8_t after;
    int32_t result;
  } cases[] = {{0, 100, 105, 8, 105, 0},
               {0, 105, 100, 8, 100, 0},
               {0, 100, 120, 8, 108, 0},
               {0, 120, 100, 8, 112, 0},
               {0, 50, 50, 8, 50, FADE_DONE},
               {1, 250, 0, 8, 255, 0},
               {1, 255, 0, 8, 255, FADE_DONE},
               {2, 3, 0, 4, 0, 0},
               {2, 4, 0, 4, 0, 0},
               {2, 5, 0, 4, 1, 0},
               {2, 0, 0, 4, 0, FADE_DONE},
               // A step below 1 never reaches the target, but no byte wraps.
               {0, 250, 0, -8, 255, 0},
               {2, 3, 0, -8, 11, 0}};
  for (const auto &c : cases) {
    TestSurface s;
    s.make(0, 1, 1, 0);
    PaletteEntry base = c.mode == 2 ? PaletteEntry{0, 0, 0, 0} : PaletteEntry{255, 255, 255, 0};
    std::vector<PaletteEntry> target(256, base);
    for (PaletteEntry &e : s.palette) e = base;
    s.palette[10].green = c.from;
    target[10].green = c.target;
    int32_t r = c.mode == 0 ? fadeToward(0, target.data(), c.step)
                            : fadeToWhiteOrBlack(0, c.mode == 1, c.step);
    EXPECT_EQ(s.palette[10].green, c.after) << int(c.from) << " step " << c.step;
    EXPECT_EQ(r, c.result) << int(c.from) << " step " << c.step;
  }
}

// Sprite 1 is a 4 x 4 block of 11s and sprite 4 one of 44s, each with a
// transparent corner; each call shows what updateEffects drew.
class EffectTest : public GfxTest {
 protected:
  TestSurface dst, sheet;
  void SetUp() override {
    GfxTest::SetUp();
    soundEnabled = 0;
    dst.make(0, 240, 320, 0);
    sheet.make(2, 64, 16, 240);
    for (int32_t n : {1, 4}) {
      defineSprite(n, 2, n * 8, 0, 4, 4);
      for (int32_t i = 1; i < 16; ++i)
        sheet.at(n * 8 + i % 4, i / 4) = static_cast<uint8_t>(n * 11);
    }
  }
  uint8_t stepAndLook(int32_t x, int32_t y) {
    std::memset(dst.pixels(), 0, 240 * 320);
    updateEffects(nullptr, 0);
    EXPECT_EQ(dst.at(x, y), 0) << "the key corner is transparent";
    return dst.at(x + 1, y + 1);
  }
};

TEST_F(EffectTest, AnimationLastsTwentyFiveCallsAndDrawsItsFrames) {
  for (int32_t animation = 0; animation < 3; ++animation) {
    startEffect(animation, 112, 200);
    for (int32_t call = 1; call <= 26; ++call) {
      uint8_t want = call <= 2 ? 11 : call <= 4 ? 44 : 0;
      EXPECT_EQ(stepAndLook(112, 200), want) << "animation " << animation << " call " << call;
      EXPECT_EQ(anyEffectActive(), call < 25 ? 1 : 0) << "call " << call;
    }
  }
}

TEST_F(EffectTest, SlotsNinthStartAndClearing) {
  for (int32_t i = 0; i < 8; ++i) startEffect(0, i * 10, 0);
  Effect before[EFFECT_COUNT];
  std::memcpy(before, effects, sizeof effects);
  startEffect(1, 99, 99);  // dropped
  startEffect(8, 0, 0);    // outside the table: dropped
  EXPECT_EQ(std::memcmp(before, effects, sizeof effects), 0);
  effects[0].active = 0;
  effects[2].active = 0;
  startEffect(2, 5, 6);
  EXPECT_TRUE(effects[0].active == 1 && effects[0].animation == 2 && effects[0].x == 5 &&
              effects[0].y == 6 && effects[2].active == 0);
  // Cleared in the middle: stopped at once, every field zero.
  EXPECT_EQ(stepAndLook(5, 6), 11);
  clearEffects();
  EXPECT_EQ(anyEffectActive(), 0);
  EXPECT_EQ(stepAndLook(5, 6), 0);
  const Effect zero{};
  for (const Effect &e : effects) EXPECT_EQ(std::memcmp(&e, &zero, sizeof e), 0);
}

}  // namespace
