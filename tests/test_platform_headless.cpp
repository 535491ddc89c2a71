// The headless backend's display and sound recording. Its PNG snapshots are
// checked by the replay runner's shot test and pinned byte for byte by the
// golden frames.
#include <gtest/gtest.h>

#include <tuple>

#include "platform/gx.h"
#include "platform/headless/headless.h"
#include "platform/winapi.h"
#include "res/resource_ids.h"

namespace {

TEST(PlatformHeadless, FrameBufferOnlyWhileOpenAndActive) {
  headlessReset();
  EXPECT_NE(GXSuspend(), 0);  // before the display is open: no harm
  EXPECT_NE(GXResume(), 0);
  EXPECT_EQ(GXBeginDraw(), nullptr);
  EXPECT_NE(GXOpenDisplay(nullptr, GX_FULLSCREEN), 0);
  EXPECT_EQ(GXGetDisplayProperties().ffFormat, kfDirect565);
  uint16_t *fb = static_cast<uint16_t *>(GXBeginDraw());
  ASSERT_NE(fb, nullptr);
  fb[0] = 0x1234;
  fb[240 * 320 - 1] = 0xBEEF;
  GXEndDraw();
  EXPECT_EQ(
      std::make_tuple(headlessFrame()[0], headlessFrame()[240 * 320 - 1], headlessPresentCount()),
      std::make_tuple(0x1234, 0xBEEF, 1u));
  GXSuspend();
  EXPECT_EQ(GXBeginDraw(), nullptr);
  GXResume();
  EXPECT_NE(GXBeginDraw(), nullptr);
  GXEndDraw();
  GXCloseDisplay();
  EXPECT_EQ(GXBeginDraw(), nullptr);
}

TEST(PlatformHeadless, ReportedFormatTakesEffectAtTheNextOpen) {
  // A format too big for the buffer gets none at all.
  const struct {
    const char *name;
    uint32_t w, h;
    long bpp;
    bool buffer;
  } cases[] = {
      {.name = "landscape, 8 bits", .w = 320, .h = 240, .bpp = 8, .buffer = true},
      {.name = "too big for the buffer", .w = 4000, .h = 4000, .bpp = 16, .buffer = false},
      {.name = "no width", .w = 0, .h = 320, .bpp = 16, .buffer = false},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    headlessReset();
    headlessSetDisplayFormat(c.w, c.h, c.bpp, kfDirect555);
    GXOpenDisplay(nullptr, GX_FULLSCREEN);
    const GXDisplayProperties p = GXGetDisplayProperties();
    EXPECT_EQ(std::make_tuple(p.cxWidth, p.cyHeight, p.cBPP, p.ffFormat),
              std::make_tuple(c.w, c.h, c.bpp, long{kfDirect555}));
    EXPECT_EQ(GXBeginDraw() != nullptr, c.buffer) << "a frame buffer";
    GXEndDraw();
  }
}

TEST(PlatformHeadless, OnlyWaveImagesAreRecordedAsSounds) {
  headlessReset();
  HRSRC wave = FindResourceW(nullptr, MAKEINTRESOURCEW(kWaveThrow), L"WAVE");
  HRSRC bmp = FindResourceW(nullptr, MAKEINTRESOURCEW(TITLE_BITMAP), RT_BITMAP);
  EXPECT_TRUE(sndPlaySoundW(static_cast<LPCWSTR>(LoadResource(nullptr, wave)), SND_MEMORY));
  EXPECT_FALSE(sndPlaySoundW(static_cast<LPCWSTR>(LoadResource(nullptr, bmp)), SND_MEMORY));
  EXPECT_FALSE(sndPlaySoundW(L"confirm.wav", SND_ASYNC));
  int ids[8];
  ASSERT_EQ(headlessTakeSounds(ids, 8), 1);
  EXPECT_EQ(ids[0], kWaveThrow);
}

}  // namespace
