// Presenting to the display, blitting beside it, effects and sounds, on the
// headless backend's frame buffer and sound recorder.
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
    reopen(16, kfDirect565);
  }
  static void reopen(long bpp, uint32_t format) {
    headlessSetDisplayFormat(W, H, bpp, format);
    ASSERT_EQ(openDisplay(nullptr), 0);
  }
  static uint16_t pixel(int32_t x, int32_t y) { return headlessFrame()[y * W + x]; }
  // A surface of one index under a palette whose index i shows as the 5-6-5
  // value i, so a frame pixel names its source index; presented whole.
  static void showIndex(TestSurface &s, int32_t slot, int32_t w, int32_t h, uint8_t index) {
    s.make(slot, w, h, index);
    for (int32_t i = 0; i < 256; ++i)
      s.palette[i] = PaletteEntry{uint8_t(i << 3), uint8_t(i >> 5 << 2), 0, 0};
    ASSERT_EQ(present(slot, 0, 0, 0, 0, 0, 0, kNoKey), 0);
  }
  TestSurface back;
};

// blit onto a 240 x 320 surface and present onto the 240 x 320 display clip
// and reject alike.
TEST_F(DisplayTest, BlitAndPresentClipAndRejectAtTheEdges) {
  // A 16 x 16 source whose every pixel tells its position (never 240).
  const auto patternAt = [](int32_t x, int32_t y) { return uint8_t(1 + (y * 16 + x) % 29); };
  // Where the 16 x 16 pattern placed at (dx, dy) lands on a 240 x 320
  // target: whether the call begins drawing at all (it is rejected before
  // that otherwise), the part drawn, and the pattern's pixel at its corner.
  struct Part {
    int32_t x, y, w, h;
  };
  struct Pixel {
    int32_t x, y;
  };
  const struct {
    const char *name;
    int32_t dx, dy;
    bool begins;
    Part drawn = {};
    Pixel firstSource = {};
  } cases[] = {
      {.name = "inside",
       .dx = 100,
       .dy = 50,
       .begins = true,
       .drawn = {.x = 100, .y = 50, .w = 16, .h = 16}},
      {.name = "over the left edge: from its eleventh column",
       .dx = -10,
       .dy = 0,
       .begins = true,
       .drawn = {.x = 0, .y = 0, .w = 6, .h = 16},
       .firstSource = {.x = 10, .y = 0}},
      {.name = "over the right edge: its 5 leftmost columns",
       .dx = 235,
       .dy = 7,
       .begins = true,
       .drawn = {.x = 235, .y = 7, .w = 5, .h = 16}},
      {.name = "over the top edge: from its fourth row",
       .dx = 9,
       .dy = -3,
       .begins = true,
       .drawn = {.x = 9, .y = 0, .w = 16, .h = 13},
       .firstSource = {.x = 0, .y = 3}},
      {.name = "over the bottom edge: its 10 top rows",
       .dx = 9,
       .dy = 310,
       .begins = true,
       .drawn = {.x = 9, .y = 310, .w = 16, .h = 10}},
      {.name = "starting on the bottom edge: begun, nothing drawn",
       .dx = 0,
       .dy = 320,
       .begins = true},
      {.name = "starting past the bottom edge: rejected", .dx = 0, .dy = 321, .begins = false},
      {.name = "starting on the right edge: begun, nothing drawn",
       .dx = 240,
       .dy = 0,
       .begins = true},
      {.name = "starting past the right edge: rejected", .dx = 241, .dy = 0, .begins = false},
      {.name = "ending on the left edge: begun, nothing drawn", .dx = -16, .dy = 0, .begins = true},
      {.name = "ending before the left edge: rejected", .dx = -17, .dy = 0, .begins = false},
      {.name = "ending above the top edge: rejected", .dx = 0, .dy = -17, .begins = false},
      {.name = "the extremes: rejected without overflow",
       .dx = INT32_MAX,
       .dy = INT32_MIN,
       .begins = false},
  };
  TestSurface sprite, target;
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    showIndex(back, 0, W, H, 30);
    target.make(1, W, H, 30);
    sprite.make(2, 16, 16, 0);
    for (int32_t i = 0; i < 256; ++i) sprite.pixels()[i] = patternAt(i % 16, i / 16);
    sprite.palette = back.palette;
    const uint32_t before = headlessPresentCount();
    EXPECT_EQ(present(2, 0, 0, 16, 16, c.dx, c.dy, kNoKey), kGfxOk);
    EXPECT_EQ(headlessPresentCount(), before + (c.begins ? 1 : 0)) << "frames begun";
    EXPECT_EQ(blit(2, 0, 0, 16, 16, 1, c.dx, c.dy, COLOR_KEY), kGfxOk);
    EXPECT_TRUE(target.guardsIntact());
    for (int32_t i = 0; i < W * H; ++i) {
      // The position inside the drawn part.
      const int32_t x = i % W - c.drawn.x, y = i / W - c.drawn.y;
      const bool drawn = x >= 0 && x < c.drawn.w && y >= 0 && y < c.drawn.h;
      const int32_t want = drawn ? patternAt(c.firstSource.x + x, c.firstSource.y + y) : 30;
      ASSERT_EQ(pixel(i % W, i / W), want) << "presented at " << i % W << "," << i / W;
      ASSERT_EQ(target.pixels()[i], want) << "blitted at " << i % W << "," << i / W;
    }
  }
}

// Every byte value against keys at the edges of the byte range, in rows whose
// length is not a multiple of eight, at several offsets; blit and present
// leave the same pixels under the key.
TEST_F(DisplayTest, KeyedCopiesSkipExactlyTheKeyForEveryByteValue) {
  TestSurface dst, src;
  src.make(1, 237, 3, 0);
  for (int32_t x = 0; x < 237; ++x)  // each row in its own order; together every value
    for (uint8_t y : {0, 1, 2}) src.at(x, y) = uint8_t(y == 0 ? x : y == 1 ? x * 7 + 3 : 255 - x);
  for (int32_t key : {0, 1, 127, 128, 240, 255, kNoKey, 256, 300, -2})
    for (int32_t offset : {0, 1, 5}) {
      showIndex(back, 0, W, H, 0x5A);
      src.palette = back.palette;
      dst.make(0, W, 3, 0x5A);
      ASSERT_EQ(blit(1, offset, 0, 237 - offset, 3, 0, offset, 0, key), 0);
      ASSERT_EQ(present(1, offset, 0, 237 - offset, 3, offset, 0, key), 0);
      for (int32_t i = 0; i < W * 3; ++i) {
        const int32_t x = i % W, y = i / W;
        const bool kept = x < offset || x >= 237 || src.at(x, y) == key;
        ASSERT_EQ(dst.at(x, y), kept ? 0x5A : src.at(x, y)) << key << " " << offset << " " << i;
        ASSERT_EQ(pixel(x, y), dst.at(x, y)) << key << " " << offset << " " << i;
      }
    }
  // Reaching outside its source surface, a rectangle is not read.
  EXPECT_EQ(present(1, 4, 0, 237, 3, 0, 0, kNoKey), 0);
  EXPECT_EQ(pixel(0, 0), 0x5A);
}

// Four colours in each packing, and displays that cannot be drawn on: the
// frame is begun and ended but keeps what it showed.
TEST_F(DisplayTest, PackingTruncatesAndUndrawableDisplaysAreNotWritten) {
  const struct {
    uint32_t rgb, packed565, packed555;
  } colours[] = {
      {.rgb = 0xFF0072, .packed565 = 0xF80E, .packed555 = 0x7C0E},
      {.rgb = 0x006600, .packed565 = 0x0320, .packed555 = 0x0180},
      {.rgb = 0x070307, .packed565 = 0, .packed555 = 0},
      {.rgb = 0x080408, .packed565 = 0x0821, .packed555 = 0x0401},
  };
  enum Packing { kNotDrawn, k565, k555 };
  const struct {
    const char *name;
    long bitsPerPixel;
    DWORD format;
    bool suspended;
    int32_t result;
    Packing packing;
  } cases[] = {
      {.name = "5-6-5",
       .bitsPerPixel = 16,
       .format = kfDirect565,
       .suspended = false,
       .result = kGfxOk,
       .packing = k565},
      {.name = "5-5-5",
       .bitsPerPixel = 16,
       .format = kfDirect555,
       .suspended = false,
       .result = kGfxOk,
       .packing = k555},
      {.name = "both flags: 5-5-5",
       .bitsPerPixel = 16,
       .format = kfDirect555 | kfDirect565,
       .suspended = false,
       .result = kGfxOk,
       .packing = k555},
      {.name = "8 bits a pixel",
       .bitsPerPixel = 8,
       .format = kfDirect565,
       .suspended = false,
       .result = kGfxFailed,
       .packing = kNotDrawn},
      {.name = "4-4-4",
       .bitsPerPixel = 16,
       .format = kfDirect444,
       .suspended = false,
       .result = kGfxOk,
       .packing = kNotDrawn},
      {.name = "suspended",
       .bitsPerPixel = 16,
       .format = kfDirect565,
       .suspended = true,
       .result = kGfxFailed,
       .packing = kNotDrawn},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    reopen(16, kfDirect565);
    showIndex(back, 0, 4, 1, 31);
    reopen(c.bitsPerPixel, c.format);  // empties the slots
    back.make(0, 4, 1, 0);
    for (int32_t i = 0; i < 4; ++i) {
      back.at(i, 0) = static_cast<uint8_t>(10 + i);
      const uint32_t rgb = colours[i].rgb;
      back.palette[10 + i] =
          PaletteEntry{uint8_t(rgb), uint8_t(rgb >> 8), uint8_t(rgb >> 16), 0xEE};
    }
    if (c.suspended) GXSuspend();
    const uint32_t before = headlessPresentCount();
    EXPECT_EQ(present(0, 0, 0, 0, 0, 0, 0, kNoKey), c.result);
    EXPECT_EQ(headlessPresentCount(), before + 1) << "the frame is begun and ended";
    GXResume();
    for (int32_t i = 0; i < 4; ++i) {
      const uint32_t want = c.packing == k565   ? colours[i].packed565
                            : c.packing == k555 ? colours[i].packed555
                                                : 31;  // what the display showed before
      EXPECT_EQ(pixel(i, 0), want) << "colour " << i;
    }
  }
  // A palette change shows at the very next present: nothing is cached.
  back.palette[10].red = 0;
  present(0, 0, 0, 0, 0, 0, 0, kNoKey);
  EXPECT_EQ(pixel(0, 0), 0x000E);
}

// Ids without a wave play nothing; a ninth Effect and an animation outside
// the table are dropped.
TEST_F(DisplayTest, SoundIdsAndEffectSlots) {
  setSoundEnabled(1);
  for (int32_t id : {0, 5, 16, 17, -1}) playSound(nullptr, id);
  int ids[8];
  EXPECT_EQ(headlessTakeSounds(ids, 8), 0);
  for (int32_t animation : {0, 0, 0, 0, 0, 0, 0, 0, 1, 8}) startEffect(animation, 5, 6);
  for (const Effect &e : effects) EXPECT_TRUE(e.active == 1 && e.animation == 0);
}

}  // namespace
