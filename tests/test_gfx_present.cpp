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
    ASSERT_EQ(present(slot, 0, 0, 0, 0, 0, 0, NO_KEY), 0);
  }
  TestSurface back;
};

// blit onto a 240 x 320 surface and present onto the 240 x 320 display clip
// and reject alike.
TEST_F(DisplayTest, BlitAndPresentClipAndRejectAtTheEdges) {
  // A 16 x 16 source whose every pixel tells its position (never 240).
  const auto patternAt = [](int32_t x, int32_t y) { return uint8_t(1 + (y * 16 + x) % 29); };
  TestSurface sprite, target;
  for (const auto &c : PLACE_CASES) {
    showIndex(back, 0, W, H, 30);
    target.make(1, W, H, 30);
    sprite.make(2, 16, 16, 0);
    for (int32_t i = 0; i < 256; ++i) sprite.pixels()[i] = patternAt(i % 16, i / 16);
    sprite.palette = back.palette;
    const uint32_t before = headlessPresentCount();
    EXPECT_EQ(present(2, 0, 0, 16, 16, c[0], c[1], NO_KEY), 0);
    EXPECT_EQ(headlessPresentCount(), before + c[2]) << c[0] << "," << c[1];
    EXPECT_EQ(blit(2, 0, 0, 16, 16, 1, c[0], c[1], COLOR_KEY), 0);
    EXPECT_TRUE(target.guardsIntact());
    for (int32_t i = 0; i < W * H; ++i) {
      const int32_t x = i % W - c[3], y = i / W - c[4];  // inside the drawn part from (0, 0)
      const int32_t want =
          x >= 0 && x < c[5] && y >= 0 && y < c[6] ? patternAt(c[7] + x, c[8] + y) : 30;
      ASSERT_EQ(pixel(i % W, i / W), want) << c[0] << "," << c[1] << " at " << i;
      ASSERT_EQ(target.pixels()[i], want) << c[0] << "," << c[1] << " at " << i;
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
  for (int32_t key : {0, 1, 127, 128, 240, 255, NO_KEY, 256, 300, -2})
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
  EXPECT_EQ(present(1, 4, 0, 237, 3, 0, 0, NO_KEY), 0);
  EXPECT_EQ(pixel(0, 0), 0x5A);
}

// Four colours in each packing, and displays that cannot be drawn on: the
// frame is begun and ended but keeps what it showed.
TEST_F(DisplayTest, PackingTruncatesAndUndrawableDisplaysAreNotWritten) {
  // clang-format off
  const uint32_t colours[][3] = {  // red-green-blue, 5-6-5, 5-5-5
      {0xFF0072, 0xF80E, 0x7C0E}, {0x006600, 0x0320, 0x0180}, {0x070307, 0, 0}, {0x080408, 0x0821, 0x0401}};
  const uint32_t cases[][5] = {  // bits per pixel, format, suspended, result, packing or 0
      {16, kfDirect565, 0, 0, 565}, {16, kfDirect555, 0, 0, 555}, {16, kfDirect555 | kfDirect565, 0, 0, 555},
      {8, kfDirect565, 0, 1, 0}, {24, kfDirect888, 0, 1, 0}, {16, kfDirect444, 0, 0, 0}, {16, kfDirect565, 1, 1, 0}};
  // clang-format on
  for (const auto &c : cases) {
    reopen(16, kfDirect565);
    showIndex(back, 0, 4, 1, 31);
    reopen(c[0], c[1]);  // empties the slots
    back.make(0, 4, 1, 0);
    for (int32_t i = 0; i < 4; ++i) {
      back.at(i, 0) = static_cast<uint8_t>(10 + i);
      const uint32_t rgb = colours[i][0];
      back.palette[10 + i] =
          PaletteEntry{uint8_t(rgb), uint8_t(rgb >> 8), uint8_t(rgb >> 16), 0xEE};
    }
    if (c[2] != 0) GXSuspend();
    const uint32_t before = headlessPresentCount();
    EXPECT_EQ(present(0, 0, 0, 0, 0, 0, 0, NO_KEY), int32_t(c[3])) << c[0] << " " << c[1];
    EXPECT_EQ(headlessPresentCount(), before + 1) << c[0] << " " << c[1];
    GXResume();
    for (int32_t i = 0; i < 4; ++i)
      EXPECT_EQ(pixel(i, 0), c[4] == 0 ? 31 : colours[i][c[4] == 565 ? 1 : 2]) << c[1] << " " << i;
  }
  // The Palette is read afresh on every call.
  back.palette[10].red = 0;
  present(0, 0, 0, 0, 0, 0, 0, NO_KEY);
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
