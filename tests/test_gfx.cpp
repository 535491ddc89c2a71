// Surfaces, palettes, blitting, fades and effects, on test-owned buffers.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "gfx/surface.h"
#include "test_gfx_support.h"

namespace {

// A 16 x 16 source whose every pixel tells its own position (never 240).
uint8_t patternAt(int32_t x, int32_t y) { return static_cast<uint8_t>(1 + (y * 16 + x) % 200); }

void fillPattern(TestSurface &s) {
  for (int32_t y = 0; y < s.height; ++y)
    for (int32_t x = 0; x < s.stride; ++x) s.at(x, y) = patternAt(x, y);
}

// ---------------------------------------------------------------- blit

struct BlitCase {
  const char *name;
  int32_t dx, dy;
  // Expected drawn part: destination rectangle and its first source pixel.
  int32_t x0, y0, w, h, sx0, sy0;
};

class BlitClip : public GfxTest, public ::testing::WithParamInterface<BlitCase> {};

TEST_P(BlitClip, DrawsExactlyTheClippedRectangle) {
  const BlitCase &c = GetParam();
  TestSurface dst, src;
  dst.make(0, 240, 320, 86);
  src.make(2, 16, 16, 0);
  fillPattern(src);
  EXPECT_EQ(blit(2, 0, 0, 16, 16, 0, c.dx, c.dy, COLOR_KEY), 0);
  for (int32_t y = 0; y < 320; ++y) {
    for (int32_t x = 0; x < 240; ++x) {
      bool inside = x >= c.x0 && x < c.x0 + c.w && y >= c.y0 && y < c.y0 + c.h;
      uint8_t want = inside ? patternAt(c.sx0 + x - c.x0, c.sy0 + y - c.y0) : 86;
      ASSERT_EQ(dst.at(x, y), want) << c.name << " at " << x << "," << y;
    }
  }
  EXPECT_TRUE(dst.guardsIntact());
}

INSTANTIATE_TEST_SUITE_P(
    Edges, BlitClip,
    ::testing::Values(BlitCase{"inside", 100, 50, 100, 50, 16, 16, 0, 0},
                      BlitCase{"left -5", -5, 10, 0, 10, 11, 16, 5, 0},
                      BlitCase{"right 235", 235, 10, 235, 10, 5, 16, 0, 0},
                      BlitCase{"top -3", 20, -3, 20, 0, 16, 13, 0, 3},
                      BlitCase{"bottom 310", 20, 310, 20, 310, 16, 10, 0, 0},
                      BlitCase{"corner", -15, -15, 0, 0, 1, 1, 15, 15},
                      BlitCase{"y 320 passes, draws nothing", 0, 320, 0, 0, 0, 0, 0, 0},
                      BlitCase{"y 321 rejected", 0, 321, 0, 0, 0, 0, 0, 0},
                      BlitCase{"x 240 passes, draws nothing", 240, 0, 0, 0, 0, 0, 0, 0},
                      BlitCase{"x 241 rejected", 241, 0, 0, 0, 0, 0, 0, 0},
                      BlitCase{"w + dx = 0", -16, 0, 0, 0, 0, 0, 0, 0},
                      BlitCase{"h + dy < 0", 0, -17, 0, 0, 0, 0, 0, 0},
                      BlitCase{"far out", INT32_MIN, INT32_MIN, 0, 0, 0, 0, 0, 0}),
    [](const ::testing::TestParamInfo<BlitCase> &i) { return "case" + std::to_string(i.index); });

struct KeyCase {
  int32_t key;
  bool keepsUnderKey;  // destination kept where the source holds 240
};

class BlitKey : public GfxTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(BlitKey, KeyDecidesWhich240sAreCopied) {
  TestSurface dst, src;
  dst.make(0, 8, 2, 7);
  src.make(1, 8, 2, 0);
  const uint8_t row[8] = {240, 1, 2, 240, 240, 3, 0, 240};
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 8; ++x) src.at(x, y) = row[x];
  EXPECT_EQ(blit(1, 0, 0, 8, 2, 0, 0, 0, GetParam().key), 0);
  for (int32_t y = 0; y < 2; ++y) {
    for (int32_t x = 0; x < 8; ++x) {
      uint8_t want = (row[x] == 240 && GetParam().keepsUnderKey) ? 7 : row[x];
      EXPECT_EQ(dst.at(x, y), want) << "key " << GetParam().key << " x " << x;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Keys, BlitKey,
                         ::testing::Values(KeyCase{240, true}, KeyCase{NO_KEY, false},
                                           KeyCase{300, false}, KeyCase{256, false},
                                           KeyCase{-2, false}));

// Every byte value against keys at the edges of the byte range, in rows
// whose length is not a multiple of eight, at several offsets.
TEST_F(GfxTest, KeyedBlitSkipsExactlyTheKeyForEveryByteValue) {
  TestSurface dst, src;
  src.make(1, 259, 2, 0);
  for (int32_t x = 0; x < 259; ++x) {
    src.at(x, 0) = static_cast<uint8_t>(x);
    src.at(x, 1) = static_cast<uint8_t>(x * 7 + 3);
  }
  for (int32_t key : {0, 1, 127, 128, 129, 240, 254, 255}) {
    for (int32_t offset : {0, 1, 5}) {
      dst.make(0, 270, 2, 0x5A);
      ASSERT_EQ(blit(1, offset, 0, 259 - offset, 2, 0, offset, 0, key), 0);
      for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 270; ++x) {
          uint8_t want = x < offset || x >= 259 || src.at(x, y) == key ? 0x5A : src.at(x, y);
          ASSERT_EQ(dst.at(x, y), want) << "key " << key << " offset " << offset << " x " << x;
        }
    }
  }
}

TEST_F(GfxTest, BlitWidthZeroCopiesTheWholeSourceWhateverTheHeight) {
  TestSurface dst, src;
  dst.make(0, 40, 40, 86);
  src.make(1, 16, 16, 0);
  fillPattern(src);
  EXPECT_EQ(blit(1, 0, 0, 0, 999, 0, 0, 0, NO_KEY), 0);
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < 40; ++x)
      ASSERT_EQ(dst.at(x, y), x < 16 && y < 16 ? patternAt(x, y) : 86) << x << "," << y;
}

TEST_F(GfxTest, BlitRefusesASourceRectangleOutsideItsSurface) {
  TestSurface dst, src;
  dst.make(0, 64, 64, 86);
  src.make(1, 16, 16, 3);
  struct {
    int32_t sx, sy, w, h;
  } outside[] = {{8, 0, 16, 16}, {0, 8, 16, 16}, {-1, 0, 4, 4}, {0, -1, 4, 4}};
  for (const auto &r : outside) {
    EXPECT_EQ(blit(1, r.sx, r.sy, r.w, r.h, 0, 0, 0, NO_KEY), 0);
    EXPECT_EQ(blit(1, r.sx, r.sy, r.w, r.h, 0, 0, 0, COLOR_KEY), 0);
  }
  for (int32_t i = 0; i < 64 * 64; ++i) ASSERT_EQ(dst.pixels()[i], 86);
  EXPECT_TRUE(src.guardsIntact());
}

TEST_F(GfxTest, BlitOntoAnEmptySlotWritesNothing) {
  TestSurface src;
  src.make(1, 16, 16, 3);
  EXPECT_EQ(blit(1, 0, 0, 16, 16, 5, 0, 0, NO_KEY), 0);
  EXPECT_EQ(blit(5, 0, 0, 16, 16, 1, 0, 0, NO_KEY), 0);
  EXPECT_TRUE(src.guardsIntact());
}

TEST_F(GfxTest, BadSlotsAndSpriteIndicesGiveOne) {
  TestSurface dst;
  dst.make(0, 16, 16, 9);
  EXPECT_EQ(blit(-1, 0, 0, 1, 1, 0, 0, 0, NO_KEY), 1);
  EXPECT_EQ(blit(0, 0, 0, 1, 1, 8, 0, 0, NO_KEY), 1);
  EXPECT_EQ(drawSprite(-1, 0, 0, 0, COLOR_KEY), 1);
  EXPECT_EQ(drawSprite(256, 0, 0, 0, COLOR_KEY), 1);
  EXPECT_EQ(drawSprite(0, 8, 0, 0, COLOR_KEY), 1);

  const int32_t before[5] = {spriteSurface[255], spriteX[255], spriteY[255], spriteW[255],
                             spriteH[255]};
  EXPECT_EQ(defineSprite(256, 2, 1, 1, 1, 1), 1);
  EXPECT_EQ(defineSprite(255, 8, 1, 2, 3, 4), 1);
  EXPECT_EQ(defineSprite(255, -1, 1, 2, 3, 4), 1);
  const int32_t after[5] = {spriteSurface[255], spriteX[255], spriteY[255], spriteW[255],
                            spriteH[255]};
  EXPECT_TRUE(std::equal(before, before + 5, after));
}

TEST_F(GfxTest, DrawSpriteCopiesItsRectangleAndGivesZeroEvenWhenRejected) {
  TestSurface dst, sheet;
  dst.make(0, 32, 32, 86);
  sheet.make(2, 16, 16, 0);
  fillPattern(sheet);
  ASSERT_EQ(defineSprite(200, 2, 4, 2, 3, 2), 0);
  EXPECT_EQ(drawSprite(200, 0, 10, 20, COLOR_KEY), 0);
  for (int32_t y = 0; y < 32; ++y)
    for (int32_t x = 0; x < 32; ++x) {
      bool inside = x >= 10 && x < 13 && y >= 20 && y < 22;
      ASSERT_EQ(dst.at(x, y), inside ? patternAt(x - 10 + 4, y - 20 + 2) : 86);
    }
  EXPECT_EQ(drawSprite(200, 0, 33, 0, COLOR_KEY), 0);  // rejected by blit
}

// ------------------------------------------------- surfaces and palettes

TEST_F(GfxTest, CreateBlankSurfaceSizes) {
  displayProperties.cxWidth = 240;
  displayProperties.cyHeight = 320;
  struct {
    int32_t width, height, stride, rows, result;
  } cases[] = {
      {0, 7, 240, 320, 0},  // display-sized whatever the height says
      {6, 3, 6, 3, 0},      // not rounded
      {-4, 3, 0, 0, 1},     // refused, left empty
      {3, -4, 0, 0, 1},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(createSurface(3, nullptr, 0, c.width, c.height), c.result) << c.width;
    EXPECT_EQ(surfaceTable[3].stride, c.stride) << c.width;
    EXPECT_EQ(surfaceTable[3].height, c.rows) << c.width;
    EXPECT_EQ(surfaceTable[3].pixels != nullptr, c.result == 0);
    EXPECT_EQ(clearSurface(3, 1), 0);  // harmless in every case
  }
  EXPECT_EQ(createSurface(8, nullptr, 0, 6, 3), 1);
  EXPECT_EQ(createSurface(-1, nullptr, 0, 6, 3), 1);
}

TEST_F(GfxTest, ClearSurfaceUsesTheLowByteAndSparesEmptySlots) {
  TestSurface s;
  s.make(0, 10, 4, 0);
  EXPECT_EQ(clearSurface(0, 0x1FF), 0);
  for (int32_t i = 0; i < 40; ++i) ASSERT_EQ(s.pixels()[i], 0xFF);
  EXPECT_TRUE(s.guardsIntact());
  EXPECT_EQ(clearSurface(4, 3), 0);
  EXPECT_EQ(clearSurface(8, 3), 1);
}

struct RectCase {
  int32_t left, top, right, bottom;
  int32_t x0, y0, x1, y1;  // expected filled area after clipping
};

class FillRect : public GfxTest, public ::testing::WithParamInterface<RectCase> {};

TEST_P(FillRect, FillsTheRectangleInsideTheSurfaceOnly) {
  const RectCase &c = GetParam();
  TestSurface s;
  s.make(0, 20, 10, 86);
  EXPECT_EQ(fillRect(0, c.left, c.top, c.right, c.bottom, 0x100 | 5), 0);
  for (int32_t y = 0; y < 10; ++y)
    for (int32_t x = 0; x < 20; ++x) {
      bool inside = x >= c.x0 && x < c.x1 && y >= c.y0 && y < c.y1;
      ASSERT_EQ(s.at(x, y), inside ? 5 : 86) << x << "," << y;
    }
  EXPECT_TRUE(s.guardsIntact());
}

INSTANTIATE_TEST_SUITE_P(Rects, FillRect,
                         ::testing::Values(RectCase{2, 3, 6, 5, 2, 3, 6, 5},
                                           RectCase{0, 0, 20, 10, 0, 0, 20, 10},
                                           RectCase{4, 4, 8, 4, 0, 0, 0, 0},    // bottom = top
                                           RectCase{4, 4, 4, 8, 0, 0, 0, 0},    // right = left
                                           RectCase{6, 6, 2, 2, 0, 0, 0, 0},    // inverted
                                           RectCase{-5, -5, 3, 2, 0, 0, 3, 2},  // clipped
                                           RectCase{15, 8, 99, 99, 15, 8, 20, 10},
                                           RectCase{30, 0, 40, 5, 0, 0, 0, 0}));

TEST_F(GfxTest, FillRectOnAnEmptySlotDoesNothing) {
  EXPECT_EQ(fillRect(6, 0, 0, 240, 320, 1), 0);
  EXPECT_EQ(fillRect(8, 0, 0, 1, 1, 1), 1);
}

TEST_F(GfxTest, PaletteOperationsAndReservedBytes) {
  TestSurface s;
  s.make(0, 4, 4, 0);
  Palette in;
  for (int32_t i = 0; i < 256; ++i)
    in[i] = PaletteEntry{uint8_t(i), uint8_t(255 - i), uint8_t(i * 3), uint8_t(i ^ 0x5A)};
  EXPECT_EQ(setPalette(0, in), 0);
  Palette out;
  EXPECT_EQ(getPalette(0, out), 0);
  EXPECT_EQ(std::memcmp(in, out, PALETTE_BYTES), 0);  // reserved bytes copied too

  EXPECT_EQ(fillPalette(0, 0x112, 0x234, 0x356), 0);
  ASSERT_EQ(getPalette(0, out), 0);
  for (int32_t i = 0; i < 256; ++i) {
    EXPECT_EQ(out[i].red, 0x12);
    EXPECT_EQ(out[i].green, 0x34);
    EXPECT_EQ(out[i].blue, 0x56);
    EXPECT_EQ(out[i].reserved, in[i].reserved);
  }

  // Empty and bad slots touch nothing and say so.
  Palette untouched;
  std::memset(untouched, 0x77, sizeof untouched);
  EXPECT_EQ(getPalette(5, untouched), 1);
  EXPECT_EQ(getPalette(8, untouched), 1);
  for (int32_t i = 0; i < 256; ++i) ASSERT_EQ(untouched[i].red, 0x77);
  EXPECT_EQ(setPalette(5, in), 1);
  EXPECT_EQ(fillPalette(5, 1, 2, 3), 1);
  EXPECT_EQ(setPalette(-1, in), 1);
  EXPECT_EQ(fillPalette(8, 1, 2, 3), 1);
}

// ---------------------------------------------------------------- fades

// Runs fadeToward until it reports done; gives how many calls gave 0.
int32_t callsUntilDone(int32_t step, const PaletteEntry *target) {
  for (int32_t n = 0; n < 1000; ++n) {
    int32_t r = fadeToward(0, target, step);
    if (r == FADE_DONE) return n;
    EXPECT_EQ(r, 0);
  }
  return -1;
}

TEST_F(GfxTest, FadeFromBlackReportsDoneOneCallLate) {
  Palette target;
  for (int32_t i = 0; i < 256; ++i)
    target[i] = PaletteEntry{uint8_t(i), uint8_t(i / 2), 255, uint8_t(200 - i / 2)};
  struct {
    int32_t step, calls;
  } cases[] = {{8, 32}, {4, 64}, {255, 1}, {256, 1}, {1, 255}};
  for (const auto &c : cases) {
    TestSurface s;
    s.make(0, 1, 1, 0);
    for (int32_t i = 0; i < 256; ++i) s.palette[i] = PaletteEntry{0, 0, 0, uint8_t(i)};
    EXPECT_EQ(callsUntilDone(c.step, target), c.calls) << "step " << c.step;
    for (int32_t i = 0; i < 256; ++i) {
      EXPECT_EQ(s.palette[i].red, target[i].red);
      EXPECT_EQ(s.palette[i].green, target[i].green);
      EXPECT_EQ(s.palette[i].blue, target[i].blue);
      EXPECT_EQ(s.palette[i].reserved, i);
    }
  }
}

TEST_F(GfxTest, FadeTowardEqualPaletteIsDoneAtOnce) {
  TestSurface s;
  s.make(0, 1, 1, 0);
  for (int32_t i = 0; i < 256; ++i) s.palette[i] = PaletteEntry{uint8_t(i), 3, 9, 1};
  std::vector<PaletteEntry> same = s.palette;
  same[7].reserved = 99;  // reserved bytes are not compared
  EXPECT_EQ(fadeToward(0, same.data(), 8), FADE_DONE);
  EXPECT_EQ(s.palette[7].reserved, 1);
}

struct ChannelCase {
  const char *what;
  int32_t mode;  // 0 toward target, 1 to white, 2 to black
  uint8_t from, target;
  int32_t step;
  uint8_t after;
  int32_t result;
};

class FadeChannel : public GfxTest, public ::testing::WithParamInterface<ChannelCase> {};

TEST_P(FadeChannel, OneCall) {
  const ChannelCase &c = GetParam();
  TestSurface s;
  s.make(0, 1, 1, 0);
  PaletteEntry base = c.mode == 2 ? PaletteEntry{0, 0, 0, 0} : PaletteEntry{255, 255, 255, 0};
  std::vector<PaletteEntry> target(256, base);
  for (PaletteEntry &e : s.palette) e = base;
  s.palette[10].green = c.from;
  target[10].green = c.target;
  int32_t r = c.mode == 0 ? fadeToward(0, target.data(), c.step)
                          : fadeToWhiteOrBlack(0, c.mode == 1 ? 1 : 0, c.step);
  EXPECT_EQ(s.palette[10].green, c.after) << c.what;
  EXPECT_EQ(r, c.result) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Steps, FadeChannel,
    ::testing::Values(ChannelCase{"5 below, step 8", 0, 100, 105, 8, 105, 0},
                      ChannelCase{"5 above, step 8", 0, 105, 100, 8, 100, 0},
                      ChannelCase{"20 below, step 8", 0, 100, 120, 8, 108, 0},
                      ChannelCase{"20 above, step 8", 0, 120, 100, 8, 112, 0},
                      ChannelCase{"equal", 0, 50, 50, 8, 50, FADE_DONE},
                      ChannelCase{"250 to white", 1, 250, 0, 8, 255, 0},
                      ChannelCase{"white stays", 1, 255, 0, 8, 255, FADE_DONE},
                      ChannelCase{"3 to black", 2, 3, 0, 4, 0, 0},
                      ChannelCase{"4 to black", 2, 4, 0, 4, 0, 0},
                      ChannelCase{"5 to black", 2, 5, 0, 4, 1, 0},
                      ChannelCase{"black stays", 2, 0, 0, 4, 0, FADE_DONE},
                      // A step below 1 never reaches the target but never wraps.
                      ChannelCase{"negative step clamps", 0, 250, 0, -8, 255, 0},
                      ChannelCase{"negative step to black", 2, 3, 0, -8, 11, 0}),
    [](const ::testing::TestParamInfo<ChannelCase> &i) {
      return "case" + std::to_string(i.index);
    });

TEST_F(GfxTest, FadesRejectBadAndEmptySlots) {
  Palette target{};
  EXPECT_EQ(fadeToward(8, target, 8), 1);
  EXPECT_EQ(fadeToward(-1, target, 8), 1);
  EXPECT_EQ(fadeToWhiteOrBlack(8, 1, 8), 1);
  EXPECT_EQ(fadeToWhiteOrBlack(4, 1, 8), 1);  // no Palette to fade
}

// -------------------------------------------------------------- effects

class EffectTest : public GfxTest {
 protected:
  TestSurface dst, sheet;
  void SetUp() override {
    GfxTest::SetUp();
    soundEnabled = 0;
    dst.make(0, 240, 320, 0);
    sheet.make(2, 64, 16, 240);
    // Sprite 1 is a block of 11s, sprite 4 a block of 44s, each with a 240
    // corner that the key must leave alone.
    std::memset(savedSprites, 0, sizeof savedSprites);
    for (int32_t n : {1, 4}) {
      saved(n);
      defineSprite(n, 2, n * 8, 0, 4, 4);
      for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 4; ++x) sheet.at(n * 8 + x, y) = (x + y == 0) ? 240 : n * 11;
    }
  }
  void TearDown() override {
    for (int32_t n : {1, 4}) {
      defineSprite(n, savedSprites[n][0], savedSprites[n][1], savedSprites[n][2],
                   savedSprites[n][3], savedSprites[n][4]);
    }
    GfxTest::TearDown();
  }
  void saved(int32_t n) {
    int32_t v[5] = {spriteSurface[n], spriteX[n], spriteY[n], spriteW[n], spriteH[n]};
    std::memcpy(savedSprites[n], v, sizeof v);
  }
  // What one call of updateEffects drew at (x, y): 11, 44 or 0 for nothing.
  uint8_t stepAndLook(int32_t x, int32_t y) {
    std::memset(dst.pixels(), 0, 240 * 320);
    updateEffects(nullptr, 0);
    EXPECT_EQ(dst.at(x, y), 0) << "the key corner is transparent";
    return dst.at(x + 1, y + 1);
  }
  int32_t savedSprites[5][5];
};

TEST_F(EffectTest, AnimationLastsTwentyFiveCallsAndDrawsItsFrames) {
  for (int32_t animation = 0; animation < 3; ++animation) {
    clearEffects();
    startEffect(animation, 112, 200);
    EXPECT_EQ(anyEffectActive(), 1);
    for (int32_t call = 1; call <= 25; ++call) {
      uint8_t want = call <= 2 ? 11 : call <= 4 ? 44 : 0;
      EXPECT_EQ(stepAndLook(112, 200), want) << "animation " << animation << " call " << call;
      EXPECT_EQ(anyEffectActive(), call < 25 ? 1 : 0) << "call " << call;
    }
    EXPECT_EQ(stepAndLook(112, 200), 0);
  }
}

TEST_F(EffectTest, NinthEffectIsDroppedAndTheLowestFreeSlotIsTaken) {
  for (int32_t i = 0; i < 8; ++i) startEffect(0, i * 10, 0);
  Effect before[EFFECT_COUNT];
  std::memcpy(before, effects, sizeof effects);
  startEffect(1, 99, 99);
  EXPECT_EQ(std::memcmp(before, effects, sizeof effects), 0);

  effects[0].active = 0;
  effects[2].active = 0;
  startEffect(2, 5, 6);
  EXPECT_EQ(effects[0].active, 1);
  EXPECT_EQ(effects[0].animation, 2);
  EXPECT_EQ(effects[0].x, 5);
  EXPECT_EQ(effects[0].y, 6);
  EXPECT_EQ(effects[2].active, 0);
}

TEST_F(EffectTest, StartResetsFrameAndTickAndOutOfTableAnimationsAreDropped) {
  effects[0] = Effect{0, 1, 5, 9, 1, 1};
  startEffect(0, 3, 4);
  EXPECT_EQ(effects[0].frame, 0);
  EXPECT_EQ(effects[0].tick, 0);
  clearEffects();
  startEffect(8, 0, 0);
  startEffect(-1, 0, 0);
  EXPECT_EQ(anyEffectActive(), 0);
}

TEST_F(EffectTest, ClearEffectsStopsAnEffectAtOnce) {
  startEffect(0, 50, 60);
  EXPECT_EQ(stepAndLook(50, 60), 11);
  clearEffects();
  EXPECT_EQ(anyEffectActive(), 0);
  EXPECT_EQ(stepAndLook(50, 60), 0);
  const Effect zero{};
  for (const Effect &e : effects) EXPECT_EQ(std::memcmp(&e, &zero, sizeof e), 0);
}

TEST_F(EffectTest, EffectsAtTheEdgeAreClipped) {
  startEffect(0, 238, 318);
  updateEffects(nullptr, 0);
  EXPECT_EQ(dst.at(239, 319), 11);
  EXPECT_TRUE(dst.guardsIntact());
}

}  // namespace
