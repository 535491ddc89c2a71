// Desktop backend: window scale, letterbox, pointer mapping, pixel
// conversion and frame pacing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

#include "platform/sdl/logic.h"

using namespace sdlb;

struct DesktopCase {
  const char *name;
  int usableW, usableH;
  int scale;
};
// The first window: the largest scale that leaves room for the window frame
// (16 x 48 pixels), never below 2.
const DesktopCase kDesktops[] = {
    {.name = "1280x1008 just fits 3x", .usableW = 1280, .usableH = 1008, .scale = 3},
    {.name = "one row less falls to 2x", .usableW = 1280, .usableH = 1007, .scale = 2},
    {.name = "736 wide just fits 3x", .usableW = 736, .usableH = 2000, .scale = 3},
    {.name = "one column less falls to 2x", .usableW = 735, .usableH = 2000, .scale = 2},
    {.name = "a 4K desktop takes 6x", .usableW = 3840, .usableH = 2112, .scale = 6},
    {.name = "an unknown desktop still gets 2x", .usableW = 0, .usableH = 0, .scale = 2},
};

struct ViewCase {
  const char *name;
  int windowW, windowH;
  int x, y, w, h, scale;  // scale 0: below 1x, the largest 3:4 picture instead
};
const ViewCase kViews[] = {
    {.name = "wide window: 2x, centred with bars left and right",
     .windowW = 1000,
     .windowH = 700,
     .x = 260,
     .y = 30,
     .w = 480,
     .h = 640,
     .scale = 2},
    {.name = "one pixel short of 3x stays 2x",
     .windowW = 719,
     .windowH = 959,
     .x = 119,
     .y = 159,
     .w = 480,
     .h = 640,
     .scale = 2},
    {.name = "exactly 3x fills the window",
     .windowW = 720,
     .windowH = 960,
     .x = 0,
     .y = 0,
     .w = 720,
     .h = 960,
     .scale = 3},
    {.name = "narrower than 1x: the widest 3:4 picture",
     .windowW = 200,
     .windowH = 300,
     .x = 0,
     .y = 17,
     .w = 200,
     .h = 266,
     .scale = 0},
    {.name = "lower than 1x: the tallest 3:4 picture",
     .windowW = 300,
     .windowH = 200,
     .x = 75,
     .y = 0,
     .w = 150,
     .h = 200,
     .scale = 0},
    {.name = "no window area: an empty picture",
     .windowW = 0,
     .windowH = 0,
     .x = 0,
     .y = 0,
     .w = 0,
     .h = 0,
     .scale = 0},
};

struct PointCase {
  const char *name;
  double wx, wy;  // a window point on a 3x picture at (10, 20)
  bool inside;    // false: on a bar or outside
  int dx, dy;     // the display point under it
};
const PointCase kPoints[] = {
    {.name = "inside the first pixel", .wx = 12.9, .wy = 22.9, .inside = true, .dx = 0, .dy = 0},
    {.name = "a pixel inside", .wx = 27, .wy = 41, .inside = true, .dx = 5, .dy = 7},
    {.name = "the last pixel's far corner",
     .wx = 729.99,
     .wy = 979.99,
     .inside = true,
     .dx = 239,
     .dy = 319},
    {.name = "the left bar", .wx = 9.5, .wy = 500, .inside = false, .dx = -1, .dy = -1},
    {.name = "just right of the picture", .wx = 730, .wy = 20, .inside = false, .dx = -1, .dy = -1},
    {.name = "just above the picture", .wx = 100, .wy = 19, .inside = false, .dx = -1, .dy = -1},
    {.name = "just below the picture", .wx = 100, .wy = 980, .inside = false, .dx = -1, .dy = -1},
    {.name = "not a number", .wx = NAN, .wy = 100, .inside = false, .dx = -1, .dy = -1},
};

TEST(SdlView, ScaleLetterboxAndPointMapping) {
  for (const DesktopCase &c : kDesktops) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(chooseWindowScale(c.usableW, c.usableH), c.scale);
  }
  for (const ViewCase &c : kViews) {
    SCOPED_TRACE(c.name);
    const View v = computeView(c.windowW, c.windowH);
    EXPECT_EQ(std::make_tuple(v.x, v.y, v.w, v.h, v.scale),
              std::make_tuple(c.x, c.y, c.w, c.h, c.scale));
  }
  const View v3{10, 20, 720, 960, 3};
  for (const PointCase &c : kPoints) {
    SCOPED_TRACE(c.name);
    int dx = -1, dy = -1;
    const bool inside = mapToDisplay(v3, c.wx, c.wy, &dx, &dy);
    EXPECT_EQ(inside, c.inside);
    if (c.inside) {
      EXPECT_EQ(std::make_tuple(dx, dy), std::make_tuple(c.dx, c.dy));
    }
  }
}

TEST(SdlView, PixelsWidenAndFillOnlyThePictureAndOnlyChangedRows) {
  struct PixelCase {
    const char *name;
    uint32_t rmask, gmask, bmask, amask;
    uint16_t pixel565;
    uint32_t windowPixel;
  };
  // Full channels widen to 255, blue 14 of 31 to 115.
  const PixelCase kPixels[] = {
      {.name = "ARGB8888 white",
       .rmask = 0xFF0000,
       .gmask = 0xFF00,
       .bmask = 0xFF,
       .amask = 0xFF000000,
       .pixel565 = 0xFFFF,
       .windowPixel = 0xFFFFFFFF},
      {.name = "ARGB8888 yellow with some blue",
       .rmask = 0xFF0000,
       .gmask = 0xFF00,
       .bmask = 0xFF,
       .amask = 0xFF000000,
       .pixel565 = 0xF80E,
       .windowPixel = 0xFFFF0073},
      {.name = "XRGB8888 red, no alpha set",
       .rmask = 0xFF0000,
       .gmask = 0xFF00,
       .bmask = 0xFF,
       .amask = 0,
       .pixel565 = 0xF800,
       .windowPixel = 0x00FF0000},
      {.name = "ABGR8888 red lands in the low byte",
       .rmask = 0xFF,
       .gmask = 0xFF00,
       .bmask = 0xFF0000,
       .amask = 0xFF000000,
       .pixel565 = 0xF800,
       .windowPixel = 0xFF0000FF},
  };
  std::vector<uint32_t> table(65536);
  for (const PixelCase &c : kPixels) {
    SCOPED_TRACE(c.name);
    build565Table(table.data(), c.rmask, c.gmask, c.bmask, c.amask);
    EXPECT_EQ(table[c.pixel565], c.windowPixel);
  }
  // Whole frames at 1x, 2x, 3x and below 1x, into padded rows: each window
  // pixel shows the display pixel under it, the bars stay untouched.
  for (uint32_t i = 0; i < 65536; ++i) table[i] = i + 1;  // never 0
  std::vector<uint16_t> frame(kDisplayWidth * kDisplayHeight);
  for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint16_t>(i * 7919);
  for (int ww : {240, 245, 500, 730}) {
    int wh = ww * 4 / 3 + 7, stride = ww + 3, wrong = 0, dx, dy;
    View v = computeView(ww, wh);
    std::vector<uint32_t> dst(static_cast<size_t>(stride) * wh, 0xDEADBEEF);
    scaleFrame(frame.data(), table.data(), v, reinterpret_cast<uint8_t *>(dst.data()), stride * 4);
    for (int y = 0; y < wh; ++y) {
      for (int x = 0; x < ww; ++x) {
        bool in = mapToDisplay(v, x, y, &dx, &dy);
        wrong += dst[y * stride + x] != (in ? frame[dy * kDisplayWidth + dx] + 1u : 0xDEADBEEF);
      }
    }
    EXPECT_EQ(wrong, 0) << "window width " << ww;
  }
  // Two changed pixels, then the first and last changed row.
  std::vector<uint16_t> a(kDisplayWidth * kDisplayHeight, 7), b = a;
  int first = -1, last = -1;
  EXPECT_FALSE(changedRows(a.data(), b.data(), &first, &last));
  const int changes[][4] = {{5, 5, 0, 0}, {2400, 72239, 10, 300}, {76799, 76799, 319, 319}};
  for (const auto &c : changes) {
    b = a, b[c[0]] = b[c[1]] = 8;
    ASSERT_TRUE(changedRows(a.data(), b.data(), &first, &last));
    EXPECT_EQ(std::make_pair(first, last), std::make_pair(c[2], c[3]));
  }
  // Display rows 5 to 7 at 2x draw window rows 10 to 15 of the picture,
  // whole, and nothing else.
  View v = computeView(500, 700);
  std::vector<uint32_t> dst(500 * 700, 0);
  int top = 0, rows = 0;
  scaleFrameRows(a.data(), table.data(), v, reinterpret_cast<uint8_t *>(dst.data()), 500 * 4, 5, 7,
                 &top, &rows);
  EXPECT_EQ(std::make_pair(top, rows), std::make_pair(v.y + 10, 6));
  EXPECT_EQ(std::count(dst.begin() + top * 500, dst.begin() + (top + rows) * 500, 8u), 6 * v.w);
}

TEST(SdlPacing, DeadlinesKeepTheScheduleUntilAFrameIsLateAndStatsUseNearestRank) {
  // Late by up to a period keeps the schedule; later starts a new one from
  // now instead of rushing to catch up.
  const int64_t P = kFramePeriodNs, d = 1000000;
  struct DeadlineCase {
    const char *name;
    int64_t deadline, now, next;
  };
  const DeadlineCase kDeadlines[] = {
      {.name = "no schedule yet: one period from now",
       .deadline = 0,
       .now = 5000,
       .next = 5000 + P},
      {.name = "on time: the next period", .deadline = d, .now = d + P - 1, .next = d + P},
      {.name = "late by exactly a period: kept", .deadline = d, .now = d + P, .next = d + P},
      {.name = "later than a period: a new schedule from now",
       .deadline = d,
       .now = d + P + 1,
       .next = d + 2 * P + 1},
  };
  for (const DeadlineCase &c : kDeadlines) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(nextDeadline(c.deadline, c.now, P), c.next);
  }
  // Nearest rank: of three intervals the largest, of none 0.
  uint32_t v[] = {30, 10, 20}, p99;
  double mean;
  frameStats(v, 3, &mean, &p99);
  EXPECT_EQ(std::make_pair(mean, p99), std::make_pair(20.0, 30u));
  frameStats(nullptr, 0, &mean, &p99);
  EXPECT_EQ(std::make_pair(mean, p99), std::make_pair(0.0, 0u));
}

namespace {

// A window-sized 32-bit canvas and an identity table (5-6-5 code = pixel),
// so that output pixels can be compared with source values directly.
struct Canvas {
  int w, h;
  std::vector<uint32_t> px;
  Canvas(int ww, int hh) : w(ww), h(hh), px(static_cast<size_t>(ww) * hh, 0xDEADBEEF) {}
  uint8_t *bytes() { return reinterpret_cast<uint8_t *>(px.data()); }
  uint32_t at(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
};

std::vector<uint32_t> greyTable() {
  std::vector<uint32_t> t(65536);
  for (uint32_t i = 0; i < 65536; ++i) t[i] = (i & 0xFF) * 0x010101u;  // low byte as grey
  return t;
}

}  // namespace

TEST(SdlFit, FillsTheWindowWithCrispPixelsBlendedOnlyAtEdges) {
  struct Case {
    const char *name;
    int windowW, windowH;
    View expected;
  };
  const Case cases[] = {
      {.name = "1920x1080: 810x1080, 3x and the rest",
       .windowW = 1920,
       .windowH = 1080,
       .expected = {555, 0, 810, 1080, 3}},
      {.name = "1100x900: 675x900, 2x and the rest",
       .windowW = 1100,
       .windowH = 900,
       .expected = {212, 0, 675, 900, 2}},
      {.name = "tall 500x1000: the width limits",
       .windowW = 500,
       .windowH = 1000,
       .expected = {0, 167, 500, 666, 2}},
      {.name = "exactly 2x", .windowW = 480, .windowH = 640, .expected = {0, 0, 480, 640, 2}},
  };
  static uint16_t frame[kDisplayWidth * kDisplayHeight];
  // Left half black (0), right half white (255): one edge down the middle.
  for (int y = 0; y < kDisplayHeight; ++y) {
    for (int x = 0; x < kDisplayWidth; ++x) frame[y * kDisplayWidth + x] = x < 120 ? 0 : 255;
  }
  const std::vector<uint32_t> table = greyTable();
  static FitTaps taps;
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const View v = computeFitView(c.windowW, c.windowH);
    EXPECT_EQ(std::vector<int>({v.x, v.y, v.w, v.h, v.scale}),
              std::vector<int>(
                  {c.expected.x, c.expected.y, c.expected.w, c.expected.h, c.expected.scale}));
    ASSERT_TRUE(buildFitTaps(v, &taps));
    Canvas out(c.windowW, c.windowH);
    int top = 0, rows = 0;
    fitFrameRows(frame, table.data(), v, taps, out.bytes(), c.windowW * 4, 0, kDisplayHeight - 1,
                 &top, &rows);
    EXPECT_EQ(top, v.y);
    EXPECT_EQ(rows, v.h) << "the whole picture drawn";
    int blended = 0;
    for (int x = v.x; x < v.x + v.w; ++x) {
      const uint32_t p = out.at(x, v.y + v.h / 2);
      if (p != 0 && p != 0xFFFFFF) ++blended;
      EXPECT_EQ(p, out.at(x, v.y)) << "every row alike at column " << x;
    }
    EXPECT_LE(blended, 2) << "the edge blends over less than one enlarged pixel";
    if (v.w == kDisplayWidth * v.scale) {
      EXPECT_EQ(blended, 0) << "no blending at a whole scale";
    }
    EXPECT_EQ(out.at(v.x - (v.x > 0 ? 1 : 0), v.y), v.x > 0 ? 0xDEADBEEFu : 0u)
        << "the bars are not touched";
  }
}

TEST(SdlFit, OnlyTheWindowRowsOfChangedDisplayRowsAreDrawn) {
  static uint16_t frame[kDisplayWidth * kDisplayHeight] = {};
  const std::vector<uint32_t> table = greyTable();
  static FitTaps taps;
  const View v = computeFitView(1920, 1080);  // 3.375 window rows a display row
  ASSERT_TRUE(buildFitTaps(v, &taps));
  Canvas out(1920, 1080);
  int top = 0, rows = 0;
  fitFrameRows(frame, table.data(), v, taps, out.bytes(), 1920 * 4, 100, 100, &top, &rows);
  EXPECT_GE(top, 100 * 1080 / 320 - 1);
  EXPECT_LE(top + rows, 101 * 1080 / 320 + 2);
  EXPECT_GE(rows, 3);
  EXPECT_EQ(out.at(v.x, top - 1), 0xDEADBEEFu) << "the row above is not drawn";
  EXPECT_EQ(out.at(v.x, top + rows), 0xDEADBEEFu) << "the row below is not drawn";
}
