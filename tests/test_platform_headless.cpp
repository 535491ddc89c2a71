// The headless backend's display, sound recording and PNG snapshots.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "platform/common/checksum.h"
#include "platform/gx.h"
#include "platform/headless/headless.h"
#include "platform/winapi.h"

namespace {

class PlatformHeadless : public ::testing::Test {
 protected:
  void SetUp() override { headlessReset(); }
  void TearDown() override { headlessReset(); }
};

TEST_F(PlatformHeadless, FrameBufferOnlyWhileOpenAndActive) {
  // Suspending and resuming before the display is open does no harm.
  EXPECT_NE(GXSuspend(), 0);
  EXPECT_NE(GXResume(), 0);
  EXPECT_EQ(GXBeginDraw(), nullptr);
  EXPECT_NE(GXOpenDisplay(nullptr, GX_FULLSCREEN), 0);
  EXPECT_TRUE(headlessDisplayOpen());
  EXPECT_EQ(GXGetDisplayProperties().ffFormat, kfDirect565);

  uint16_t *fb = static_cast<uint16_t *>(GXBeginDraw());
  ASSERT_NE(fb, nullptr);
  fb[0] = 0x1234;
  fb[240 * 320 - 1] = 0xBEEF;
  GXEndDraw();
  EXPECT_EQ(headlessFrame()[0], 0x1234);
  EXPECT_EQ(headlessFrame()[240 * 320 - 1], 0xBEEF);
  EXPECT_EQ(headlessPresentCount(), 1u);

  GXSuspend();
  EXPECT_TRUE(headlessSuspended());
  EXPECT_EQ(GXBeginDraw(), nullptr);
  GXResume();
  EXPECT_NE(GXBeginDraw(), nullptr);
  GXEndDraw();
  GXCloseDisplay();
  EXPECT_EQ(GXBeginDraw(), nullptr);

  headlessReset();
  EXPECT_EQ(headlessPresentCount(), 0u);
  EXPECT_EQ(headlessFrame()[0], 0);
  EXPECT_FALSE(headlessDisplayOpen());
}

TEST_F(PlatformHeadless, ReportedFormatTakesEffectAtTheNextOpen) {
  const struct {
    uint32_t w, h;
    long bpp;
    bool buffer;
  } cases[] = {
      {320, 240, 8, true},
      {4000, 4000, 16, false},  // too big for the buffer: none at all
      {0, 320, 16, false},
  };
  for (const auto &c : cases) {
    headlessReset();
    headlessSetDisplayFormat(c.w, c.h, c.bpp, kfDirect555);
    GXOpenDisplay(nullptr, GX_FULLSCREEN);
    GXDisplayProperties p = GXGetDisplayProperties();
    EXPECT_EQ(p.cxWidth, c.w);
    EXPECT_EQ(p.cyHeight, c.h);
    EXPECT_EQ(p.cBPP, c.bpp);
    EXPECT_EQ(p.ffFormat, kfDirect555);
    EXPECT_EQ(GXBeginDraw() != nullptr, c.buffer) << c.w << "x" << c.h;
    GXEndDraw();
  }
}

TEST_F(PlatformHeadless, SoundsAreRecordedByWaveResource) {
  const int order[] = {128, 122, 129, 127, 128};
  for (int id : order) {
    HRSRC r = FindResourceW(nullptr, MAKEINTRESOURCEW(static_cast<WORD>(id)), L"WAVE");
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE(
        sndPlaySoundW(static_cast<LPCWSTR>(LoadResource(nullptr, r)), SND_ASYNC | SND_MEMORY));
  }
  // Not a wave image: nothing recorded.
  HRSRC bmp = FindResourceW(nullptr, MAKEINTRESOURCEW(119), RT_BITMAP);
  EXPECT_FALSE(sndPlaySoundW(static_cast<LPCWSTR>(LoadResource(nullptr, bmp)), SND_MEMORY));
  EXPECT_FALSE(sndPlaySoundW(L"confirm.wav", SND_ASYNC));
  int ids[8];
  ASSERT_EQ(headlessTakeSounds(ids, 8), 5);
  EXPECT_EQ(std::vector<int>(ids, ids + 5), std::vector<int>(order, order + 5));
  EXPECT_EQ(headlessTakeSounds(ids, 8), 0);
}

// --- PNG snapshots, read back with a small reader of what the writer makes.

uint32_t be32(const uint8_t *p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

struct Png {
  uint32_t width = 0, height = 0;
  std::vector<uint8_t> rgb;  // width * height * 3
};

// Checks signature, chunk CRCs, the zlib wrapping and stored blocks, and
// unfilters rows of filter type 0.
::testing::AssertionResult readPng(const std::string &path, Png *png) {
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> f((std::istreambuf_iterator<char>(in)), {});
  const uint8_t sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (f.size() < 8 || std::memcmp(f.data(), sig, 8) != 0)
    return ::testing::AssertionFailure() << "signature";
  std::vector<uint8_t> z;
  std::vector<std::string> types;
  for (size_t p = 8; p < f.size();) {
    if (f.size() - p < 12) return ::testing::AssertionFailure() << "short chunk";
    uint32_t len = be32(&f[p]);
    if (f.size() - p - 12 < len) return ::testing::AssertionFailure() << "chunk length";
    std::string type(reinterpret_cast<const char *>(&f[p + 4]), 4);
    if (crc32Update(0, &f[p + 4], len + 4) != be32(&f[p + 8 + len]))
      return ::testing::AssertionFailure() << type << " CRC";
    types.push_back(type);
    if (type == "IHDR") {
      png->width = be32(&f[p + 8]);
      png->height = be32(&f[p + 12]);
      if (f[p + 16] != 8 || f[p + 17] != 2 || f[p + 18] || f[p + 19] || f[p + 20])
        return ::testing::AssertionFailure() << "not 8-bit RGB";
    }
    if (type == "IDAT") z.insert(z.end(), &f[p + 8], &f[p + 8 + len]);
    p += 12 + len;
  }
  if (types.front() != "IHDR" || types.back() != "IEND")
    return ::testing::AssertionFailure() << "chunk order";
  if (z.size() < 6 || ((z[0] << 8) | z[1]) % 31 != 0 || (z[0] & 0x0F) != 8)
    return ::testing::AssertionFailure() << "zlib header";
  std::vector<uint8_t> raw;
  size_t p = 2;
  for (bool last = false; !last;) {
    if (p + 5 > z.size()) return ::testing::AssertionFailure() << "block header";
    last = z[p] & 1;
    if ((z[p] >> 1) != 0) return ::testing::AssertionFailure() << "not a stored block";
    uint32_t len = z[p + 1] | (z[p + 2] << 8), nlen = z[p + 3] | (z[p + 4] << 8);
    if ((len ^ 0xFFFF) != nlen || p + 5 + len > z.size())
      return ::testing::AssertionFailure() << "stored length";
    raw.insert(raw.end(), &z[p + 5], &z[p + 5 + len]);
    p += 5 + len;
  }
  if (p + 4 != z.size() || be32(&z[p]) != adler32Update(1, raw.data(), raw.size()))
    return ::testing::AssertionFailure() << "Adler-32";
  size_t row = 1 + 3 * size_t{png->width};
  if (raw.size() != row * png->height) return ::testing::AssertionFailure() << "data size";
  for (uint32_t y = 0; y < png->height; ++y) {
    if (raw[y * row] != 0) return ::testing::AssertionFailure() << "filter";
    png->rgb.insert(png->rgb.end(), &raw[y * row + 1], &raw[(y + 1) * row]);
  }
  return ::testing::AssertionSuccess();
}

TEST_F(PlatformHeadless, SnapshotDecodesToTheFrame) {
  const struct {
    uint16_t pixel;
    uint8_t r, g, b;
  } colours[] = {
      {0xFFFF, 255, 255, 255}, {0x0000, 0, 0, 0},   {0xF800, 255, 0, 0},
      {0x07E0, 0, 255, 0},     {0x001F, 0, 0, 255}, {0x0821, 8, 4, 8},
      {0xF80E, 255, 0, 115},   {0x0320, 0, 101, 0}, {0x8410, 132, 130, 132},
  };
  GXOpenDisplay(nullptr, GX_FULLSCREEN);
  uint16_t *fb = static_cast<uint16_t *>(GXBeginDraw());
  ASSERT_NE(fb, nullptr);
  for (int i = 0; i < 240 * 320; ++i) fb[i] = colours[(i / 7) % 9].pixel;
  GXEndDraw();

  std::string path = ::testing::TempDir() + "tobelyn-snapshot.png";
  ASSERT_TRUE(headlessSavePng(path.c_str()));
  Png png;
  ASSERT_TRUE(readPng(path, &png));
  ASSERT_EQ(png.width, 240u);
  ASSERT_EQ(png.height, 320u);
  for (int i = 0; i < 240 * 320; ++i) {
    const auto &c = colours[(i / 7) % 9];
    ASSERT_EQ(png.rgb[3 * i], c.r) << i;
    ASSERT_EQ(png.rgb[3 * i + 1], c.g) << i;
    ASSERT_EQ(png.rgb[3 * i + 2], c.b) << i;
  }
  std::remove(path.c_str());
  EXPECT_FALSE(headlessSavePng("/nonexistent-folder/x.png"));
}

}  // namespace
