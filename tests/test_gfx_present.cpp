// Presenting to the display, bitmap resources and sounds, on the headless
// backend's frame buffer, resources and sound recorder.
#include <gtest/gtest.h>

#include "gfx/surface.h"
#include "platform/headless/headless.h"
#include "test_gfx_support.h"

namespace {

constexpr int32_t W = 240;
constexpr int32_t H = 320;

class DisplayTest : public GfxTest {
 protected:
  void SetUp() override {
    GfxTest::SetUp();
    headlessReset();
    ASSERT_EQ(openDisplay(nullptr), 0);
  }
  void TearDown() override {
    shutdownDisplay();
    headlessReset();
    GfxTest::TearDown();
  }
  static void reopen(long bpp, uint32_t format) {
    headlessSetDisplayFormat(W, H, bpp, format);
    ASSERT_EQ(openDisplay(nullptr), 0);
  }
  static uint16_t pixel(int32_t x, int32_t y) { return headlessFrame()[y * W + x]; }
  static int32_t presentAll(int32_t slot) { return present(slot, 0, 0, 0, 0, 0, 0, NO_KEY); }
  // A display-sized back buffer of one index under a palette whose index i
  // shows as the 5-6-5 value i & 31, so a frame pixel names its source index.
  void backBuffer(uint8_t index) {
    back.make(0, W, H, index);
    for (int32_t i = 0; i < 256; ++i) back.palette[i] = PaletteEntry{uint8_t(i << 3), 0, 0, 0};
  }
  TestSurface back;
};

TEST_F(DisplayTest, PackingTruncatesInBothFormats) {
  const struct {
    uint8_t r, g, b;
    uint16_t v565, v555;
  } colours[] = {{255, 0, 114, 0xF80E, 0x7C0E},
                 {0, 102, 0, 0x0320, 0x0180},
                 {255, 255, 255, 0xFFFF, 0x7FFF},
                 {0, 0, 0, 0, 0},
                 {7, 3, 7, 0, 0},
                 {8, 4, 8, 0x0821, 0x0401}};
  for (uint32_t format : {kfDirect565, kfDirect555, kfDirect555 | kfDirect565}) {
    reopen(16, format);
    back.make(0, 6, 1, 0);
    for (int32_t i = 0; i < 6; ++i) {
      back.at(i, 0) = static_cast<uint8_t>(10 + i);
      back.palette[10 + i] = PaletteEntry{colours[i].b, colours[i].g, colours[i].r, 0xEE};
    }
    EXPECT_EQ(presentAll(0), 0);
    for (int32_t i = 0; i < 6; ++i)
      EXPECT_EQ(pixel(i, 0), format & kfDirect555 ? colours[i].v555 : colours[i].v565)
          << "format " << format << " colour " << i;
  }
  // The Palette is read afresh on every call.
  back.palette[10].red = 0;
  presentAll(0);
  EXPECT_EQ(pixel(0, 0), 0x000E);
}

TEST_F(DisplayTest, UndrawableDisplaysAreBegunAndEndedButNotWritten) {
  const struct {
    long bpp;
    uint32_t format;
    bool suspended;
    int32_t result;
  } cases[] = {{8, kfDirect565, false, 1},
               {24, kfDirect888, false, 1},
               {16, kfDirect444, false, 0},  // neither format bit
               {16, kfDirect565, true, 1}};
  for (const auto &c : cases) {
    reopen(16, kfDirect565);
    backBuffer(31);
    ASSERT_EQ(presentAll(0), 0);
    reopen(c.bpp, c.format);
    backBuffer(2);
    if (c.suspended) GXSuspend();
    uint32_t before = headlessPresentCount();
    EXPECT_EQ(presentAll(0), c.result) << c.bpp << " " << c.format;
    EXPECT_EQ(headlessPresentCount(), before + 1) << c.bpp << " " << c.format;
    for (int32_t i = 0; i < W * H; ++i) ASSERT_EQ(headlessFrame()[i], 31) << i;
    GXResume();
  }
  uint32_t before = headlessPresentCount();
  EXPECT_EQ(present(8, 0, 0, 0, 0, 0, 0, NO_KEY), 1);
  EXPECT_EQ(present(-1, 0, 0, 0, 0, 0, 0, NO_KEY), 1);
  EXPECT_EQ(headlessPresentCount(), before);
}

TEST_F(DisplayTest, PresentClipsAndRejectsAtTheDisplayEdges) {
  TestSurface sprite;
  for (const PlaceCase &c : PLACE_CASES) {
    backBuffer(30);
    ASSERT_EQ(presentAll(0), 0);
    sprite.make(2, 16, 16, 0);
    sprite.palette = back.palette;
    for (int32_t y = 0; y < 16; ++y)
      for (int32_t x = 0; x < 16; ++x) sprite.at(x, y) = patternAt(x, y);
    uint32_t before = headlessPresentCount();
    EXPECT_EQ(present(2, 0, 0, 16, 16, c.dx, c.dy, NO_KEY), 0);
    EXPECT_EQ(headlessPresentCount(), before + (c.begun ? 1 : 0)) << c.dx << "," << c.dy;
    for (int32_t y = 0; y < H; ++y)
      for (int32_t x = 0; x < W; ++x)
        ASSERT_EQ(pixel(x, y), placed(c, x, y) ? patternAt(c.sx0 + x - c.x0, c.sy0 + y - c.y0) : 30)
            << c.dx << "," << c.dy << " at " << x << "," << y;
  }
}

TEST_F(DisplayTest, KeyedPresentKeepsTheFrameBufferUnderTheKey) {
  const uint8_t row[9] = {240, 1, 2, 240, 240, 3, 0, 240, 255};
  TestSurface s;
  for (int32_t key : {COLOR_KEY, NO_KEY, 300}) {
    backBuffer(30);
    presentAll(0);
    s.make(1, 9, 3, 0);
    s.palette = back.palette;
    for (int32_t i = 0; i < 27; ++i) s.pixels()[i] = row[i % 9];
    EXPECT_EQ(present(1, 0, 0, 9, 3, 50, 60, key), 0);
    for (int32_t y = 0; y < 3; ++y)
      for (int32_t x = -1; x <= 9; ++x) {
        bool kept = x < 0 || x == 9 || (row[x] == 240 && key == COLOR_KEY);
        EXPECT_EQ(pixel(50 + x, 60 + y), kept ? 30 : (row[x] & 31)) << key << " " << x;
      }
  }
  // Reaching outside its source surface, a rectangle is not read.
  EXPECT_EQ(present(1, 4, 0, 9, 3, 0, 0, NO_KEY), 0);
  EXPECT_EQ(pixel(0, 0), 30);
}

TEST_F(DisplayTest, OpenDisplayCopiesPropertiesAndEmptiesTheTables) {
  headlessSetDisplayFormat(W, H, 16, kfDirect555);
  ASSERT_EQ(defineSprite(17, 2, 1, 2, 3, 4), 0);
  ASSERT_EQ(createSurface(0, nullptr, 0, 5, 5), 0);
  ASSERT_EQ(openDisplay(nullptr), 0);
  EXPECT_TRUE(displayProperties.cxWidth == 240 && displayProperties.cyHeight == 320 &&
              displayProperties.cBPP == 16 && displayProperties.ffFormat == kfDirect555);
  for (int32_t i = 0; i < SPRITE_COUNT; ++i)
    ASSERT_EQ(spriteSurface[i] | spriteX[i] | spriteY[i] | spriteW[i] | spriteH[i], 0) << i;
  for (const Surface &s : surfaceTable)
    EXPECT_TRUE(s.pixels == nullptr && s.palette == nullptr && s.stride == 0 && s.height == 0);
}

TEST_F(DisplayTest, BitmapSurfacesUseTheResourceBytesInPlace) {
  const struct {
    int32_t id, stride, height;
  } bitmaps[] = {{TITLE_BITMAP, 240, 320}, {SHEET_BITMAP, 832, 825}};
  for (const auto &b : bitmaps) {
    HRSRC r = FindResourceW(nullptr, MAKEINTRESOURCEW(static_cast<WORD>(b.id)), RT_BITMAP);
    auto *data = static_cast<uint8_t *>(LoadResource(nullptr, r));
    ASSERT_NE(data, nullptr) << b.id;
    EXPECT_EQ(createSurface(2, nullptr, b.id, 3, 3), 0);
    const Surface &s = surfaceTable[2];
    EXPECT_EQ(s.stride, b.stride);
    EXPECT_EQ(s.height, b.height);
    EXPECT_EQ(reinterpret_cast<uint8_t *>(s.palette), data + 40);
    // Pixel (x, y) is resource byte 1064 + stride * y + x, row 0 at the top.
    EXPECT_EQ(&s.pixels[b.stride * (b.height - 1) + 17],
              data + 1064 + b.stride * (b.height - 1) + 17);
  }
  const Surface sheet = surfaceTable[2];
  EXPECT_EQ(createSurface(2, nullptr, 999, 0, 0), 3);
  EXPECT_EQ(createSurface(2, nullptr, 122, 0, 0), 3);  // a WAVE, not a bitmap
  EXPECT_TRUE(surfaceTable[2].pixels == sheet.pixels && surfaceTable[2].stride == 832);
}

TEST_F(DisplayTest, SoundIdsMapToTheirWavesInRequestOrder) {
  const struct {
    uint32_t enabled;
    int32_t id;
    int wave;  // 0: nothing played
  } cases[] = {{1, 1, 122}, {1, 2, 127}, {1, 3, 128}, {1, 4, 129}, {1, 0, 0}, {1, 5, 0},
               {1, 16, 0},  {1, 17, 0},  {1, -1, 0},  {0, 1, 0},   {0, 4, 0}};
  int ids[16];
  headlessTakeSounds(ids, 16);
  for (const auto &c : cases) {
    setSoundEnabled(c.enabled);
    EXPECT_EQ(isSoundEnabled(), c.enabled);
    playSound(nullptr, c.id);
    int n = headlessTakeSounds(ids, 16);
    EXPECT_EQ(n, c.wave != 0 ? 1 : 0) << "id " << c.id << " enabled " << c.enabled;
    if (n == 1) {
      EXPECT_EQ(ids[0], c.wave);
    }
  }
  setSoundEnabled(1);
  playSound(nullptr, 4);
  playSound(nullptr, 2);
  ASSERT_EQ(headlessTakeSounds(ids, 16), 2);
  EXPECT_TRUE(ids[0] == 129 && ids[1] == 127);
}

// Effects with the real sprite sheet: the sound of a frame is requested on
// its first call only; slots sound in index order; sound off draws the same.
TEST_F(DisplayTest, EffectSounds) {
  back.make(0, W, H, BACKGROUND_INDEX);
  ASSERT_EQ(createSurface(2, nullptr, SHEET_BITMAP, 0, 0), 0);
  for (int32_t i = 0; i < DEFINED_SPRITES; ++i) {
    const SpriteRect &r = spriteSheetTable[i];
    defineSprite(i, 2, r.x, r.y, r.w, r.h);
  }
  int ids[16];
  headlessTakeSounds(ids, 16);
  setSoundEnabled(1);
  const int waves[3] = {122, 129, 127};
  for (int32_t animation = 0; animation < 3; ++animation) {
    startEffect(animation, 112, 200);
    for (int32_t call = 1; call <= 25; ++call) {
      updateEffects(nullptr, 0);
      int n = headlessTakeSounds(ids, 16);
      ASSERT_EQ(n, call == 1 ? 1 : 0) << "call " << call;
      if (n == 1) {
        EXPECT_EQ(ids[0], waves[animation]);
      }
    }
  }
  startEffect(1, 0, 0);
  startEffect(2, 50, 50);
  updateEffects(nullptr, 0);
  ASSERT_EQ(headlessTakeSounds(ids, 16), 2);
  EXPECT_TRUE(ids[0] == 129 && ids[1] == 127);
  clearEffects();

  std::vector<uint8_t> drawn[2];
  for (uint32_t enabled : {1u, 0u}) {
    setSoundEnabled(enabled);
    clearSurface(0, BACKGROUND_INDEX);
    startEffect(0, 112, 200);
    updateEffects(nullptr, 0);
    clearEffects();
    drawn[enabled].assign(back.pixels(), back.pixels() + W * H);
    EXPECT_EQ(headlessTakeSounds(ids, 16), enabled == 1 ? 1 : 0);
  }
  EXPECT_EQ(drawn[0], drawn[1]);
  EXPECT_NE(drawn[0][(200 + 8) * W + 112 + 8], BACKGROUND_INDEX) << "the flash disc shows";
}

}  // namespace
