// Presenting to the display, bitmap resources and sounds, on the headless
// backend's frame buffer, resources and sound recorder.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

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
  // Reopens the display reporting the given depth and format.
  static void reopen(long bpp, uint32_t format) {
    headlessSetDisplayFormat(W, H, bpp, format);
    ASSERT_EQ(openDisplay(nullptr), 0);
  }
  static uint16_t pixel(int32_t x, int32_t y) { return headlessFrame()[y * W + x]; }
  static int32_t takeSounds(int *ids) { return headlessTakeSounds(ids, 16); }
};

// ------------------------------------------------------------- packing

struct PackCase {
  uint8_t r, g, b;
  uint16_t v565, v555;
};

TEST_F(DisplayTest, PackingTruncatesInBothFormats) {
  const PackCase colours[] = {{255, 0, 114, 0xF80E, 0x7C0E},   {0, 102, 0, 0x0320, 0x0180},
                              {255, 255, 255, 0xFFFF, 0x7FFF}, {0, 0, 0, 0x0000, 0x0000},
                              {7, 3, 7, 0x0000, 0x0000},       {8, 4, 8, 0x0821, 0x0401}};
  const struct {
    uint32_t format;
    bool is555;
  } formats[] = {{kfDirect565, false}, {kfDirect555, true}, {kfDirect555 | kfDirect565, true}};
  for (const auto &f : formats) {
    reopen(16, f.format);
    TestSurface s;
    s.make(0, 6, 1, 0);
    for (int32_t i = 0; i < 6; ++i) {
      s.at(i, 0) = static_cast<uint8_t>(10 + i);
      s.palette[10 + i] = PaletteEntry{colours[i].b, colours[i].g, colours[i].r, 0xEE};
    }
    EXPECT_EQ(present(0, 0, 0, 0, 0, 0, 0, NO_KEY), 0);
    for (int32_t i = 0; i < 6; ++i) {
      EXPECT_EQ(pixel(i, 0), f.is555 ? colours[i].v555 : colours[i].v565)
          << "format " << f.format << " colour " << i;
    }
  }
}

// ---------------------------------------------- formats, depth, suspend

// A full white frame, so that "nothing drawn" can be seen.
void presentWhiteFrame(TestSurface &s) {
  s.make(0, W, H, 1);
  s.palette[1] = PaletteEntry{255, 255, 255, 0};
  s.palette[2] = PaletteEntry{0, 0, 0, 0};
  ASSERT_EQ(present(0, 0, 0, 0, 0, 0, 0, NO_KEY), 0);
  for (int32_t i = 0; i < W * H; ++i) ASSERT_EQ(headlessFrame()[i], 0xFFFF) << i;
}

TEST_F(DisplayTest, DisplaysThatCannotBeDrawnAreStillEnded) {
  const struct {
    const char *what;
    long bpp;
    uint32_t format;
    int32_t result;
  } cases[] = {{"8 bits", 8, kfDirect565, 1},
               {"24 bits", 24, kfDirect565, 1},
               {"24 bits, 888", 24, kfDirect888, 1},
               {"neither format bit", 16, kfDirect444, 0}};
  for (const auto &c : cases) {
    reopen(16, kfDirect565);
    TestSurface white;
    presentWhiteFrame(white);
    reopen(c.bpp, c.format);
    TestSurface black;
    black.make(0, W, H, 2);
    uint32_t before = headlessPresentCount();
    EXPECT_EQ(present(0, 0, 0, 0, 0, 0, 0, NO_KEY), c.result) << c.what;
    EXPECT_EQ(headlessPresentCount(), before + 1) << c.what;
    EXPECT_EQ(pixel(0, 0), 0xFFFF) << c.what;
    EXPECT_EQ(pixel(W - 1, H - 1), 0xFFFF) << c.what;
  }
}

TEST_F(DisplayTest, PresentWhileSuspendedWritesNothing) {
  TestSurface white;
  presentWhiteFrame(white);
  TestSurface black;
  black.make(0, W, H, 2);
  GXSuspend();
  uint32_t before = headlessPresentCount();
  present(0, 0, 0, 0, 0, 0, 0, NO_KEY);
  EXPECT_EQ(headlessPresentCount(), before + 1);
  for (int32_t i = 0; i < W * H; ++i) ASSERT_EQ(headlessFrame()[i], 0xFFFF) << i;
  GXResume();
  EXPECT_EQ(present(0, 0, 0, 0, 0, 0, 0, NO_KEY), 0);
  EXPECT_EQ(pixel(100, 100), 0);
}

TEST_F(DisplayTest, BadSlotTouchesNoDisplay) {
  uint32_t before = headlessPresentCount();
  EXPECT_EQ(present(8, 0, 0, 0, 0, 0, 0, NO_KEY), 1);
  EXPECT_EQ(present(-1, 0, 0, 0, 0, 0, 0, NO_KEY), 1);
  EXPECT_EQ(headlessPresentCount(), before);
}

TEST_F(DisplayTest, APaletteChangeShowsOnTheNextPresent) {
  TestSurface s;
  s.make(0, W, H, 7);
  s.palette[7] = PaletteEntry{0, 0, 255, 0};
  present(0, 0, 0, 0, 0, 0, 0, NO_KEY);
  EXPECT_EQ(pixel(5, 5), 0xF800);
  s.palette[7] = PaletteEntry{255, 0, 0, 0};
  present(0, 0, 0, 0, 0, 0, 0, NO_KEY);
  EXPECT_EQ(pixel(5, 5), 0x001F);
}

// ------------------------------------------------------------ clipping

// Index i of the test palette shows as the 5-6-5 value i (blue only, low
// bits), so a frame pixel names the source index it came from.
void identityPalette(TestSurface &s) {
  for (int32_t i = 0; i < 256; ++i) s.palette[i] = PaletteEntry{uint8_t(i << 3), 0, 0, 0};
}

uint8_t patternAt(int32_t x, int32_t y) { return static_cast<uint8_t>(1 + (y * 16 + x) % 29); }

struct PresentCase {
  const char *name;
  int32_t dx, dy;
  bool begun;  // false when rejected before GXBeginDraw
  int32_t x0, y0, w, h, sx0, sy0;
};

class PresentClip : public DisplayTest, public ::testing::WithParamInterface<PresentCase> {};

TEST_P(PresentClip, WritesExactlyTheClippedRectangle) {
  const PresentCase &c = GetParam();
  TestSurface back, sprite;
  back.make(0, W, H, 30);
  identityPalette(back);
  ASSERT_EQ(present(0, 0, 0, 0, 0, 0, 0, NO_KEY), 0);
  sprite.make(2, 16, 16, 0);
  identityPalette(sprite);
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 16; ++x) sprite.at(x, y) = patternAt(x, y);

  uint32_t before = headlessPresentCount();
  EXPECT_EQ(present(2, 0, 0, 16, 16, c.dx, c.dy, NO_KEY), 0);
  EXPECT_EQ(headlessPresentCount(), before + (c.begun ? 1 : 0)) << c.name;
  for (int32_t y = 0; y < H; ++y)
    for (int32_t x = 0; x < W; ++x) {
      bool inside = x >= c.x0 && x < c.x0 + c.w && y >= c.y0 && y < c.y0 + c.h;
      uint16_t want = inside ? patternAt(c.sx0 + x - c.x0, c.sy0 + y - c.y0) : 30;
      ASSERT_EQ(pixel(x, y), want) << c.name << " at " << x << "," << y;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Edges, PresentClip,
    ::testing::Values(PresentCase{"inside", 100, 50, true, 100, 50, 16, 16, 0, 0},
                      PresentCase{"left -10", -10, 0, true, 0, 0, 6, 16, 10, 0},
                      PresentCase{"left -5", -5, 7, true, 0, 7, 11, 16, 5, 0},
                      PresentCase{"right 235", 235, 7, true, 235, 7, 5, 16, 0, 0},
                      PresentCase{"top -3", 9, -3, true, 9, 0, 16, 13, 0, 3},
                      PresentCase{"bottom 310", 9, 310, true, 9, 310, 16, 10, 0, 0},
                      PresentCase{"y 320 passes", 0, 320, true, 0, 0, 0, 0, 0, 0},
                      PresentCase{"y 321 rejected", 0, 321, false, 0, 0, 0, 0, 0, 0},
                      PresentCase{"x 240 passes", 240, 0, true, 0, 0, 0, 0, 0, 0},
                      PresentCase{"x 241 rejected", 241, 0, false, 0, 0, 0, 0, 0, 0},
                      PresentCase{"w + dx = 0 passes", -16, 0, true, 0, 0, 0, 0, 0, 0},
                      PresentCase{"w + dx < 0 rejected", -17, 0, false, 0, 0, 0, 0, 0, 0},
                      PresentCase{"h + dy < 0 rejected", 0, -17, false, 0, 0, 0, 0, 0, 0},
                      PresentCase{"far out", INT32_MAX, INT32_MIN, false, 0, 0, 0, 0, 0, 0}),
    [](const ::testing::TestParamInfo<PresentCase> &i) {
      return "case" + std::to_string(i.index);
    });

struct PresentKeyCase {
  int32_t key;
  bool keepsUnderKey;
};

class PresentKey : public DisplayTest, public ::testing::WithParamInterface<PresentKeyCase> {};

TEST_P(PresentKey, KeyedPixelsKeepTheFrameBuffer) {
  const uint8_t row[9] = {240, 1, 2, 240, 240, 3, 0, 240, 255};
  for (uint32_t format : {kfDirect565, kfDirect555}) {
    reopen(16, format);
    TestSurface back;
    back.make(0, W, H, 30);
    identityPalette(back);
    present(0, 0, 0, 0, 0, 0, 0, NO_KEY);
    TestSurface s;
    s.make(1, 9, 3, 0);
    identityPalette(s);
    for (int32_t y = 0; y < 3; ++y)
      for (int32_t x = 0; x < 9; ++x) s.at(x, y) = row[x];
    EXPECT_EQ(present(1, 0, 0, 9, 3, 50, 60, GetParam().key), 0);
    for (int32_t y = 0; y < 3; ++y)
      for (int32_t x = 0; x < 9; ++x) {
        bool kept = row[x] == 240 && GetParam().keepsUnderKey;
        uint16_t want = kept ? 30 : (row[x] & 0x1F);
        EXPECT_EQ(pixel(50 + x, 60 + y), want) << "key " << GetParam().key << " x " << x;
      }
    EXPECT_EQ(pixel(49, 60), 30);
    EXPECT_EQ(pixel(59, 60), 30);
  }
}

INSTANTIATE_TEST_SUITE_P(Keys, PresentKey,
                         ::testing::Values(PresentKeyCase{240, true}, PresentKeyCase{NO_KEY, false},
                                           PresentKeyCase{300, false}));

TEST_F(DisplayTest, SourceOutsideItsSurfaceIsNotRead) {
  TestSurface back;
  back.make(0, W, H, 30);
  identityPalette(back);
  present(0, 0, 0, 0, 0, 0, 0, NO_KEY);
  TestSurface small;
  small.make(1, 8, 8, 3);
  identityPalette(small);
  EXPECT_EQ(present(1, 4, 4, 8, 8, 0, 0, NO_KEY), 0);
  EXPECT_EQ(present(5, 0, 0, 8, 8, 0, 0, NO_KEY), 0);  // empty slot
  for (int32_t i = 0; i < W * H; ++i) ASSERT_EQ(headlessFrame()[i], 30) << i;
}

// ----------------------------------------------- display and resources

TEST_F(DisplayTest, OpenDisplayCopiesPropertiesAndEmptiesTheTables) {
  headlessSetDisplayFormat(W, H, 16, kfDirect555);
  ASSERT_EQ(defineSprite(17, 2, 1, 2, 3, 4), 0);
  ASSERT_EQ(createSurface(0, nullptr, 0, 5, 5), 0);
  ASSERT_EQ(openDisplay(nullptr), 0);
  EXPECT_EQ(displayProperties.cxWidth, 240u);
  EXPECT_EQ(displayProperties.cyHeight, 320u);
  EXPECT_EQ(displayProperties.cBPP, 16);
  EXPECT_EQ(displayProperties.ffFormat, kfDirect555);
  for (int32_t i = 0; i < SPRITE_COUNT; ++i) {
    ASSERT_EQ(spriteSurface[i] | spriteX[i] | spriteY[i] | spriteW[i] | spriteH[i], 0) << i;
  }
  for (const Surface &s : surfaceTable) {
    EXPECT_EQ(s.pixels, nullptr);
    EXPECT_EQ(s.palette, nullptr);
    EXPECT_EQ(s.stride | s.height, 0);
  }
  ASSERT_EQ(createSurface(0, nullptr, 0, 0, 5), 0);
  EXPECT_EQ(surfaceTable[0].stride, 240);
  EXPECT_EQ(surfaceTable[0].height, 320);
}

const uint8_t *bitmapBytes(int32_t id) {
  HRSRC r = FindResourceW(nullptr, MAKEINTRESOURCEW(static_cast<WORD>(id)), RT_BITMAP);
  return static_cast<const uint8_t *>(LoadResource(nullptr, r));
}

TEST_F(DisplayTest, BitmapSurfacesUseTheResourceBytesInPlace) {
  const struct {
    int32_t slot, id, stride, height;
  } bitmaps[] = {{1, TITLE_BITMAP, 240, 320}, {2, SHEET_BITMAP, 832, 825}};
  for (const auto &b : bitmaps) {
    const uint8_t *data = bitmapBytes(b.id);
    ASSERT_NE(data, nullptr) << b.id;
    EXPECT_EQ(createSurface(b.slot, nullptr, b.id, 3, 3), 0);
    const Surface &s = surfaceTable[b.slot];
    EXPECT_EQ(s.stride, b.stride);
    EXPECT_EQ(s.height, b.height);
    EXPECT_EQ(reinterpret_cast<const uint8_t *>(s.palette), data + 40);
    EXPECT_EQ(s.pixels, data + 1064);
  }
  // The sheet's pixel at column x, row y is resource byte 1064 + 832 y + x.
  const uint8_t *sheet = bitmapBytes(SHEET_BITMAP);
  for (auto [x, y] : {std::pair{0, 0}, {831, 0}, {0, 824}, {831, 824}, {417, 300}}) {
    EXPECT_EQ(&surfaceTable[2].pixels[surfaceTable[2].stride * y + x], sheet + 1064 + 832 * y + x);
  }
  // The four colours every picture keeps.
  const PaletteEntry *p = surfaceTable[2].palette;
  EXPECT_EQ((std::array<int, 3>{p[COLOR_KEY].red, p[COLOR_KEY].green, p[COLOR_KEY].blue}),
            (std::array<int, 3>{255, 0, 114}));
  EXPECT_EQ((std::array<int, 3>{p[BACKGROUND_INDEX].red, p[BACKGROUND_INDEX].green,
                                p[BACKGROUND_INDEX].blue}),
            (std::array<int, 3>{0, 102, 0}));
  EXPECT_EQ(p[0].red | p[0].green | p[0].blue, 0);
  EXPECT_EQ(p[255].red & p[255].green & p[255].blue, 255);
}

TEST_F(DisplayTest, MissingBitmapLeavesTheSlotAsItWas) {
  TestSurface s;
  s.make(3, 4, 4, 0);
  const Surface before = surfaceTable[3];
  EXPECT_EQ(createSurface(3, nullptr, 999, 0, 0), 3);
  EXPECT_EQ(createSurface(3, nullptr, 122, 0, 0), 3);  // a WAVE, not a bitmap
  EXPECT_EQ(surfaceTable[3].pixels, before.pixels);
  EXPECT_EQ(surfaceTable[3].stride, before.stride);
}

// -------------------------------------------------------------- sounds

TEST_F(DisplayTest, SoundIdsMapToTheirWaves) {
  const struct {
    uint32_t enabled;
    int32_t id;
    int wave;  // 0: nothing played
  } cases[] = {{1, 1, 122}, {1, 2, 127}, {1, 3, 128}, {1, 4, 129}, {1, 0, 0}, {1, 5, 0},
               {1, 16, 0},  {1, 17, 0},  {1, -1, 0},  {0, 1, 0},   {0, 4, 0}};
  int ids[16];
  takeSounds(ids);
  for (const auto &c : cases) {
    setSoundEnabled(c.enabled);
    EXPECT_EQ(isSoundEnabled(), c.enabled);
    playSound(nullptr, c.id);
    int n = takeSounds(ids);
    EXPECT_EQ(n, c.wave != 0 ? 1 : 0) << "id " << c.id << " enabled " << c.enabled;
    if (n == 1) {
      EXPECT_EQ(ids[0], c.wave);
    }
  }
}

TEST_F(DisplayTest, TwoRequestsAreMadeInOrder) {
  setSoundEnabled(1);
  int ids[16];
  takeSounds(ids);
  playSound(nullptr, 4);
  playSound(nullptr, 2);
  ASSERT_EQ(takeSounds(ids), 2);
  EXPECT_EQ(ids[0], 129);
  EXPECT_EQ(ids[1], 127);
}

// Effects with the real sprite sheet and sounds.
class EffectSoundTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    back.make(0, W, H, 0);
    ASSERT_EQ(createSurface(2, nullptr, SHEET_BITMAP, 0, 0), 0);
    for (int32_t i = 0; i < DEFINED_SPRITES; ++i) {
      const SpriteRect &r = spriteSheetTable[i];
      defineSprite(i, 2, r.x, r.y, r.w, r.h);
    }
    int ids[16];
    takeSounds(ids);
  }
  TestSurface back;
};

TEST_F(EffectSoundTest, EachAnimationSoundsOnItsFirstCallOnly) {
  const int waves[3] = {122, 129, 127};
  setSoundEnabled(1);
  for (int32_t animation = 0; animation < 3; ++animation) {
    startEffect(animation, 112, 200);
    int ids[16];
    for (int32_t call = 1; call <= 25; ++call) {
      updateEffects(nullptr, 0);
      int n = takeSounds(ids);
      if (call == 1) {
        ASSERT_EQ(n, 1);
        EXPECT_EQ(ids[0], waves[animation]);
      } else {
        EXPECT_EQ(n, 0) << "call " << call;
      }
    }
    EXPECT_EQ(anyEffectActive(), 0);
  }
}

TEST_F(EffectSoundTest, SoundOffDrawsTheSameAndPlaysNothing) {
  std::vector<uint8_t> drawn[2];
  for (uint32_t enabled : {1u, 0u}) {
    setSoundEnabled(enabled);
    clearSurface(0, BACKGROUND_INDEX);
    startEffect(0, 112, 200);
    updateEffects(nullptr, 0);
    drawn[enabled].assign(back.pixels(), back.pixels() + W * H);
    int ids[16];
    EXPECT_EQ(takeSounds(ids), enabled == 1 ? 1 : 0);
    clearEffects();
  }
  EXPECT_EQ(drawn[0], drawn[1]);
  int changed = 0;
  for (uint8_t v : drawn[0]) changed += v != BACKGROUND_INDEX;
  EXPECT_GT(changed, 0) << "the flash disc shows";
}

TEST_F(EffectSoundTest, HigherSlotSoundsLastAndClearingStopsSounds) {
  setSoundEnabled(1);
  startEffect(1, 0, 0);
  startEffect(2, 50, 50);
  updateEffects(nullptr, 0);
  int ids[16];
  ASSERT_EQ(takeSounds(ids), 2);
  EXPECT_EQ(ids[0], 129);
  EXPECT_EQ(ids[1], 127);
  clearEffects();
  startEffect(0, 0, 0);
  clearEffects();
  for (int32_t call = 0; call < 30; ++call) updateEffects(nullptr, 0);
  EXPECT_EQ(takeSounds(ids), 0);
}

}  // namespace
