// Desktop backend: window scale, letterbox, pointer mapping, pixel
// conversion and frame pacing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "platform/sdl/logic.h"

using namespace sdlb;

TEST(SdlView, FirstWindowScaleFitsTheDesktopAndIsAtLeastTwo) {
  struct Case {
    int w, h, scale;
  } cases[] = {
      {1280, 1024, 3},                 // Xvfb's default screen
      {1920, 1040, 3},                 // 1080p less a panel
      {3840, 2112, 6}, {800, 600, 2},  // too small for 2x: still 2
      {0, 0, 2},                       // no usable area reported
      {1024, 736, 2},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(chooseWindowScale(c.w, c.h), c.scale) << c.w << "x" << c.h;
  }
}

TEST(SdlView, PictureIsCentredAtTheLargestWholeScale) {
  struct Case {
    int ww, wh;
    View want;
  } cases[] = {
      {240, 320, {0, 0, 240, 320, 1}},
      {480, 640, {0, 0, 480, 640, 2}},
      {500, 700, {10, 30, 480, 640, 2}},
      {1000, 700, {260, 30, 480, 640, 2}},  // wide window: bars left and right
      {719, 959, {119, 159, 480, 640, 2}},  // one pixel short of 3x
      {720, 960, {0, 0, 720, 960, 3}},
      // Smaller than 1x: the largest 3:4 picture, not a whole scale.
      {200, 300, {0, 17, 200, 266, 0}},
      {300, 200, {75, 0, 150, 200, 0}},
      {0, 0, {0, 0, 0, 0, 0}},
  };
  for (const Case &c : cases) {
    View v = computeView(c.ww, c.wh);
    EXPECT_EQ(v.x, c.want.x) << c.ww << "x" << c.wh;
    EXPECT_EQ(v.y, c.want.y) << c.ww << "x" << c.wh;
    EXPECT_EQ(v.w, c.want.w) << c.ww << "x" << c.wh;
    EXPECT_EQ(v.h, c.want.h) << c.ww << "x" << c.wh;
    EXPECT_EQ(v.scale, c.want.scale) << c.ww << "x" << c.wh;
  }
}

TEST(SdlView, PointsMapThroughScaleAndLetterbox) {
  const View v3{10, 20, 720, 960, 3};
  const View small{0, 17, 200, 266, 0};
  struct Case {
    const View *view;
    double x, y;
    bool inside;
    int dx, dy;
  } cases[] = {
      {&v3, 10, 20, true, 0, 0},
      {&v3, 12.9, 22.9, true, 0, 0},
      {&v3, 13, 23, true, 1, 1},
      {&v3, 10 + 3 * 5 + 2, 20 + 3 * 7, true, 5, 7},
      {&v3, 10 + 719, 20 + 959, true, 239, 319},  // last window pixel of the picture
      {&v3, 10 + 719.99, 20 + 959.99, true, 239, 319},
      {&v3, 9, 20, false, 0, 0},     // left bar
      {&v3, 9.5, 500, false, 0, 0},  // left bar, fractional
      {&v3, 730, 20, false, 0, 0},   // right bar
      {&v3, 100, 19, false, 0, 0},   // top bar
      {&v3, 100, 980, false, 0, 0},  // bottom bar
      {&v3, -5, -5, false, 0, 0},
      {&v3, NAN, 100, false, 0, 0},
      {&small, 0, 17, true, 0, 0},
      {&small, 199.999, 17 + 265.999, true, 239, 319},  // never past the edge
      {&small, 100, 16, false, 0, 0},
  };
  for (const Case &c : cases) {
    int dx = -1, dy = -1;
    bool inside = mapToDisplay(*c.view, c.x, c.y, &dx, &dy);
    EXPECT_EQ(inside, c.inside) << c.x << "," << c.y;
    if (inside && c.inside) {
      EXPECT_EQ(dx, c.dx) << c.x << "," << c.y;
      EXPECT_EQ(dy, c.dy) << c.x << "," << c.y;
    }
  }
}

TEST(SdlView, PixelTableWidensChannelsForEachWindowFormat) {
  std::vector<uint32_t> table(65536);
  struct Case {
    uint32_t r, g, b, a;
    uint16_t pixel;
    uint32_t want;
  } cases[] = {
      // ARGB8888
      {0xFF0000, 0xFF00, 0xFF, 0xFF000000, 0xFFFF, 0xFFFFFFFF},
      {0xFF0000, 0xFF00, 0xFF, 0xFF000000, 0xF800, 0xFFFF0000},
      {0xFF0000, 0xFF00, 0xFF, 0xFF000000, 0x07E0, 0xFF00FF00},
      {0xFF0000, 0xFF00, 0xFF, 0xFF000000, 0x001F, 0xFF0000FF},
      {0xFF0000, 0xFF00, 0xFF, 0xFF000000, 0x0000, 0xFF000000},
      // 5-6-5 of red 255 green 0 blue 114: blue 14 of 31 widens to 115.
      {0xFF0000, 0xFF00, 0xFF, 0xFF000000, 0xF80E, 0xFFFF0073},
      // XRGB8888 (no alpha) and ABGR8888
      {0xFF0000, 0xFF00, 0xFF, 0, 0xF800, 0x00FF0000},
      {0xFF, 0xFF00, 0xFF0000, 0xFF000000, 0xF800, 0xFF0000FF},
  };
  for (const Case &c : cases) {
    build565Table(table.data(), c.r, c.g, c.b, c.a);
    EXPECT_EQ(table[c.pixel], c.want) << std::hex << c.pixel << " masks " << c.r;
  }
}

TEST(SdlView, ScaledFrameFillsOnlyThePictureWithSquarePixels) {
  std::vector<uint32_t> table(65536);
  for (uint32_t i = 0; i < 65536; ++i) table[i] = i + 1;  // identity, never 0
  std::vector<uint16_t> frame(kDisplayWidth * kDisplayHeight);
  for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint16_t>(i * 7919);

  for (int ww : {240, 245, 500, 730}) {
    int wh = ww * 4 / 3 + 7;
    View v = computeView(ww, wh);
    const int pitch = ww * 4 + 12;  // padded rows
    const uint32_t sentinel = 0xDEADBEEF;
    std::vector<uint32_t> dst(static_cast<size_t>(pitch / 4) * wh, sentinel);
    scaleFrame(frame.data(), table.data(), v, reinterpret_cast<uint8_t *>(dst.data()), pitch);
    int wrong = 0;
    for (int y = 0; y < wh; ++y) {
      for (int x = 0; x < ww; ++x) {
        uint32_t got = dst[static_cast<size_t>(y) * (pitch / 4) + x];
        int dx, dy;
        uint32_t want =
            mapToDisplay(v, x, y, &dx, &dy) ? frame[dy * kDisplayWidth + dx] + 1u : sentinel;
        if (got != want) ++wrong;
      }
    }
    EXPECT_EQ(wrong, 0) << "window width " << ww;
  }
}

TEST(SdlView, OnlyChangedRowsAreSentAgain) {
  std::vector<uint16_t> a(kDisplayWidth * kDisplayHeight, 7), b = a;
  int first = -1, last = -1;
  EXPECT_FALSE(changedRows(a.data(), b.data(), &first, &last));
  struct Case {
    std::vector<int> changedPixels;  // pixel indices
    int first, last;
  } cases[] = {
      {{5}, 0, 0},
      {{10 * kDisplayWidth, 300 * kDisplayWidth + 239}, 10, 300},
      {{kDisplayWidth * kDisplayHeight - 1}, 319, 319},
  };
  for (const Case &c : cases) {
    b = a;
    for (int i : c.changedPixels) b[i] = 8;
    ASSERT_TRUE(changedRows(a.data(), b.data(), &first, &last));
    EXPECT_EQ(first, c.first);
    EXPECT_EQ(last, c.last);
  }

  // Converting rows 5 to 7 at 2x touches window rows 10 to 15 of the
  // picture and nothing else.
  std::vector<uint32_t> table(65536, 1);
  View v = computeView(500, 700);
  std::vector<uint32_t> dst(500 * 700, 0);
  int top = 0, rows = 0;
  scaleFrameRows(a.data(), table.data(), v, reinterpret_cast<uint8_t *>(dst.data()), 500 * 4, 5, 7,
                 &top, &rows);
  EXPECT_EQ(top, v.y + 10);
  EXPECT_EQ(rows, 6);
  for (int y = 0; y < 700; ++y) {
    int written = 0;
    for (int x = 0; x < 500; ++x) written += dst[y * 500 + x];
    EXPECT_EQ(written, y >= top && y < top + rows ? v.w : 0) << "window row " << y;
  }
}

TEST(SdlPacing, DeadlinesHoldSixtyFramesASecondAndSkipAfterAStall) {
  const int64_t P = kFramePeriodNs;
  struct Case {
    int64_t deadline, now, want;
  } cases[] = {
      {0, 5000, 5000 + P},              // no schedule yet
      {1000000, 1000100, 1000000 + P},  // on time
      {1000000, 1000000 + P - 1, 1000000 + P},
      {1000000, 1000000 + P + 1, 1000000 + 2 * P + 1},  // more than a frame late
      {1000000, 1000000 + 10 * P, 1000000 + 11 * P},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(nextDeadline(c.deadline, c.now, P), c.want) << c.deadline << " " << c.now;
  }

  // A game whose frames take anything up to 15 ms is shown every period on
  // average: lateness from slow wake-ups never accumulates.
  std::mt19937 rng(7);
  std::uniform_int_distribution<int64_t> work(0, 15000000), wake(0, 2000000);
  int64_t now = 1000000000, deadline = 0, first = 0, last = 0;
  const int frames = 6000;
  for (int i = 0; i < frames; ++i) {
    now += work(rng);
    if (deadline != 0 && now < deadline) now = deadline + wake(rng);
    if (i == 0) first = now;
    last = now;
    deadline = nextDeadline(deadline, now, P);
  }
  double mean = static_cast<double>(last - first) / (frames - 1);
  EXPECT_NEAR(mean, static_cast<double>(P), P * 0.001);
}

TEST(SdlPacing, FrameStatsGiveMeanAndNearestRankP99) {
  std::vector<uint32_t> v;
  for (uint32_t i = 1000; i >= 1; --i) v.push_back(i);
  double mean;
  uint32_t p99;
  frameStats(v.data(), static_cast<int>(v.size()), &mean, &p99);
  EXPECT_DOUBLE_EQ(mean, 500.5);
  EXPECT_EQ(p99, 990u);

  uint32_t one = 16667;
  frameStats(&one, 1, &mean, &p99);
  EXPECT_EQ(p99, 16667u);
  frameStats(nullptr, 0, &mean, &p99);
  EXPECT_EQ(p99, 0u);
  EXPECT_EQ(mean, 0.0);
}
