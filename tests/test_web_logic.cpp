// Browser backend: the pass pacer under animation frames of any rate, the
// picture's place on the page, and the RGBA rows.
#include <gtest/gtest.h>

#include <vector>

#include "platform/web/web_logic.h"

namespace {

struct RateCase {
  const char *name;
  double frameMs;  // time between animation frames
  int maxPerFrame;
};

TEST(WebPacer, SixtyPassesAGameSecondAtAnyFrameRateAndNoBurstAfterAGap) {
  const RateCase rates[] = {
      {.name = "30 Hz", .frameMs = 1000.0 / 30, .maxPerFrame = 2},
      {.name = "60 Hz", .frameMs = 1000.0 / 60, .maxPerFrame = 1},
      {.name = "120 Hz", .frameMs = 1000.0 / 120, .maxPerFrame = 1},
      {.name = "144 Hz", .frameMs = 1000.0 / 144, .maxPerFrame = 1},
      {.name = "59.94 Hz", .frameMs = 1000.0 / 59.94, .maxPerFrame = 2},
  };
  for (const RateCase &r : rates) {
    webb::Pacer pacer;
    double t = 123456.0;
    int total = 0, most = 0;
    for (double end = t + 10000; t < end; t += r.frameMs) {
      // Stamps up to a fifth of a millisecond early or late.
      int n = webb::passesDue(pacer, t + (static_cast<int>(t) % 5 - 2) * 0.1);
      total += n;
      most = n > most ? n : most;
    }
    EXPECT_NEAR(total, 600, 1) << r.name;
    EXPECT_LE(most, r.maxPerFrame) << r.name;
    // Ten seconds hidden: one pass, then the new schedule.
    t += 10000;
    EXPECT_EQ(webb::passesDue(pacer, t), 1) << r.name << " after a gap";
    EXPECT_LE(webb::passesDue(pacer, t + r.frameMs), r.maxPerFrame) << r.name;
  }
}

TEST(WebPacer, StampsGoingBackwardsRunNothing) {
  webb::Pacer pacer;
  EXPECT_EQ(webb::passesDue(pacer, 1000), 1);
  EXPECT_EQ(webb::passesDue(pacer, 900), 0);
  EXPECT_EQ(webb::passesDue(pacer, 1000 + webb::kPassMs), 1);
}

struct LayoutCase {
  const char *name;
  int areaW, areaH;
  shared::View view;
  int sharp;
};

TEST(WebLayout, UprightAtTheTopWholeWhenItFillsMostSidewaysFilledFromTheLargestWholeScale) {
  const LayoutCase cases[] = {
      {.name = "exact 3x", .areaW = 720, .areaH = 960, .view = {0, 0, 720, 960, 3}, .sharp = 3},
      {.name = "desktop window, sideways: the height filled, sharp from 2x",
       .areaW = 1000,
       .areaH = 665,
       .view = {251, 0, 498, 665, 0},
       .sharp = 2},
      {.name = "phone 1080 wide: 4x would leave 120 pixels; at the top",
       .areaW = 1080,
       .areaH = 1800,
       .view = {0, 0, 1080, 1440, 0},
       .sharp = 4},
      {.name = "upright, 3x fills 96% of the width: whole, at the top",
       .areaW = 750,
       .areaH = 1400,
       .view = {15, 0, 720, 960, 3},
       .sharp = 3},
      {.name = "phone sideways (915x412 CSS at 2.625, less the frame's margin): 3x then smoothed",
       .areaW = 2402,
       .areaH = 1045,
       .view = {809, 0, 783, 1045, 0},
       .sharp = 3},
      {.name = "sideways, exactly 2x high",
       .areaW = 1200,
       .areaH = 640,
       .view = {360, 0, 480, 640, 2},
       .sharp = 2},
      {.name = "smaller than 1x",
       .areaW = 200,
       .areaH = 300,
       .view = {0, 0, 200, 266, 0},
       .sharp = 1},
      {.name = "empty area", .areaW = 0, .areaH = 0, .view = {0, 0, 0, 0, 0}, .sharp = 0},
  };
  for (const LayoutCase &c : cases) {
    int sharp = -1;
    shared::View v = webb::pagePictureView(c.areaW, c.areaH, &sharp);
    EXPECT_EQ(std::vector<int>({v.x, v.y, v.w, v.h, v.scale, sharp}),
              std::vector<int>({c.view.x, c.view.y, c.view.w, c.view.h, c.view.scale, c.sharp}))
        << c.name;
  }
}

TEST(WebPixels, RowsWidenEachChannelAndTouchOnlyTheRowsAsked) {
  std::vector<uint16_t> frame(240 * 320, 0xF80E);  // full red, blue 14 of 31
  std::vector<uint8_t> rgba(240 * 320 * 4, 7);
  webb::rowsToRgba(frame.data(), rgba.data(), 10, 11);
  const uint8_t *p = &rgba[10 * 240 * 4];
  EXPECT_EQ(std::vector<int>({p[0], p[1], p[2], p[3]}), std::vector<int>({255, 0, 115, 255}));
  EXPECT_EQ(rgba[10 * 240 * 4 - 1], 7);  // row 9 untouched
  EXPECT_EQ(rgba[12 * 240 * 4], 7);      // row 12 untouched
}

}  // namespace
