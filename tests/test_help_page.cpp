// How to play, "A dart": the throw's picture is labelled, and the note on
// the effects under it reads as a text of its own, not the label's next
// line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host_driver.h"

namespace {

// Runs of rows, from y on, holding a quiet (grey) text pixel.
std::vector<std::pair<int32_t, int32_t>> quietRuns(int32_t from, int32_t to) {
  const uint16_t quiet = hostPixel(kQuietColour, false);
  const uint16_t *frame = headlessFrame();
  std::vector<std::pair<int32_t, int32_t>> runs;
  for (int32_t y = from; y < to; ++y) {
    bool any = false;
    for (int32_t x = 16; x < kLayerWidth - 16; ++x)
      any = any || frame[y * kLayerWidth + x] == quiet;
    if (!any) continue;
    if (!runs.empty() && runs.back().second == y - 1)
      runs.back().second = y;
    else
      runs.push_back({y, y});
  }
  return runs;
}

TEST(HostHelp, TheThrowPicturesLabelStandsApartFromTheNoteUnderIt) {
  HostDriver d;
  d.start();
  d.press(VK_F1, 1);
  hostOpenPage("help");
  d.press(VK_RIGHT, 1);
  ASSERT_STREQ(hostPageName(), "help");
  d.run(2);
  // Below the picture (its label first) down to the foot's rule.
  const std::vector<std::pair<int32_t, int32_t>> runs = quietRuns(226, 282);
  ASSERT_GE(runs.size(), 2u) << "the label and the note";
  const int32_t gap = runs[1].first - runs[0].second - 1;
  // Lines of one text are 4 rows apart; a text of its own, twice that.
  EXPECT_GE(gap, 8) << "label rows " << runs[0].first << "-" << runs[0].second << ", note from "
                    << runs[1].first;
  d.finish();
}

// Every sheet's words end above the foot's rule: the two rows over it are
// the panel's plain fill on each of the sheets, whatever the device.
TEST(HostHelp, EverySheetEndsAboveTheFoot) {
  HostDriver d;
  d.start();
  d.press(VK_F1, 1);
  hostOpenPage("help");
  for (int32_t sheet = 1; sheet <= 12; ++sheet) {
    SCOPED_TRACE("sheet " + std::to_string(sheet));
    ASSERT_STREQ(hostPageName(), "help");
    d.run(2);
    const uint16_t *frame = headlessFrame();
    int32_t differing = 0;
    for (int32_t y = 280; y < 282; ++y)
      for (int32_t x = 16; x < kLayerWidth - 16; ++x)
        differing += frame[y * kLayerWidth + x] != frame[y * kLayerWidth + 16];
    EXPECT_EQ(differing, 0);
    d.press(VK_RIGHT, 1);
  }
  d.finish();
}

}  // namespace
