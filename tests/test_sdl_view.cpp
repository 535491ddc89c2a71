// Desktop backend: window scale, letterbox, pointer mapping, pixel
// conversion and frame pacing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "platform/sdl/logic.h"

using namespace sdlb;

TEST(SdlView, ScaleLetterboxAndPointMapping) {
  // The first window: the largest scale that leaves room for the window
  // frame (16 x 48 pixels), never below 2.
  const int desktops[][3] = {{1280, 1008, 3}, {1280, 1007, 2}, {736, 2000, 3},
                             {735, 2000, 2},  {3840, 2112, 6}, {0, 0, 2}};
  for (const auto &c : desktops) EXPECT_EQ(chooseWindowScale(c[0], c[1]), c[2]) << c[0] << "x";
  // Window size, then the picture's x, y, w, h and scale (0: below 1x, the
  // largest 3:4 picture instead of a whole scale).
  const int views[][7] = {{1000, 700, 260, 30, 480, 640, 2}, {719, 959, 119, 159, 480, 640, 2},
                          {720, 960, 0, 0, 720, 960, 3},     {200, 300, 0, 17, 200, 266, 0},
                          {300, 200, 75, 0, 150, 200, 0},    {0, 0, 0, 0, 0, 0, 0}};
  for (const auto &c : views) {
    View v = computeView(c[0], c[1]);
    EXPECT_EQ(std::vector<int>({v.x, v.y, v.w, v.h, v.scale}), std::vector<int>(c + 2, c + 7));
  }
  // A window point on a 3x picture at (10, 20), then the display point
  // (-1: on a bar or outside).
  const View v3{10, 20, 720, 960, 3};
  const double points[][4] = {{12.9, 22.9, 0, 0}, {27, 41, 5, 7},    {729.99, 979.99, 239, 319},
                              {9.5, 500, -1, -1}, {730, 20, -1, -1}, {100, 19, -1, -1},
                              {100, 980, -1, -1}, {NAN, 100, -1, -1}};
  for (const auto &c : points) {
    int dx = -1, dy = -1;
    bool in = mapToDisplay(v3, c[0], c[1], &dx, &dy);
    EXPECT_EQ(std::make_tuple(in, dx, dy), std::make_tuple(c[2] >= 0, int(c[2]), int(c[3])));
  }
}

TEST(SdlView, PixelsWidenAndFillOnlyThePictureAndOnlyChangedRows) {
  // Red, green, blue and alpha masks of ARGB8888, XRGB8888 and ABGR8888
  // windows, a 5-6-5 pixel and the window pixel. Full channels widen to
  // 255, blue 14 of 31 to 115.
  const uint32_t pixels[][6] = {{0xFF0000, 0xFF00, 0xFF, 0xFF000000, 0xFFFF, 0xFFFFFFFF},
                                {0xFF0000, 0xFF00, 0xFF, 0xFF000000, 0xF80E, 0xFFFF0073},
                                {0xFF0000, 0xFF00, 0xFF, 0, 0xF800, 0x00FF0000},
                                {0xFF, 0xFF00, 0xFF0000, 0xFF000000, 0xF800, 0xFF0000FF}};
  std::vector<uint32_t> table(65536);
  for (const auto &c : pixels) {
    build565Table(table.data(), c[0], c[1], c[2], c[3]);
    EXPECT_EQ(table[c[4]], c[5]) << std::hex << c[4] << " masks " << c[0];
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
  // Deadline (0: no schedule yet), now, next deadline: late by up to a
  // period keeps the schedule, later starts a new one from now.
  const int64_t P = kFramePeriodNs, d = 1000000;
  const int64_t cases[][3] = {
      {0, 5000, 5000 + P}, {d, d + P - 1, d + P}, {d, d + P, d + P}, {d, d + P + 1, d + 2 * P + 1}};
  for (const auto &c : cases) EXPECT_EQ(nextDeadline(c[0], c[1], P), c[2]) << c[0] << " " << c[1];
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
