// The Statistics page of a computer that played no "301": its name, the
// "computer player" line and the figures each stand apart, and the "301"
// figures it has none of are dashes, not zeros.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/book.h"
#include "host/player_book.h"
#include "host_driver.h"

namespace {

// One "Count Up" match of three computers; CPU 30 is the first player.
const char kCountUpBook[] =
    "tobelyn-book 2 360b01c1\n"
    "M 2 1796645029 1 3 3 1 CPU_55 9 173 173 0 CPU_65 8 207 207 1 CPU_30 6 86 86 0 "
    "0000000000000309 3 4 1 a302b33c\n";

int64_t fixedTime() { return 1796644800; }

// Pixels of a colour in a box of the frame shown.
int32_t pixelsOf(HostColour c, int32_t x, int32_t y, int32_t w, int32_t h) {
  const uint16_t want = hostPixel(c, false);
  const uint16_t *frame = headlessFrame();
  int32_t n = 0;
  for (int32_t row = y; row < y + h; ++row)
    for (int32_t col = x; col < x + w; ++col) n += frame[row * kLayerWidth + col] == want;
  return n;
}

// The pixels a text takes in one colour.
int32_t textPixels(const char *text) {
  std::vector<uint16_t> pixels(kLayerWidth * kLayerHeight, 0);
  HostLayer layer{pixels.data(), false};
  layerText(layer, 0, 0, text, kTextColour);
  int32_t n = 0;
  for (uint16_t p : pixels) n += p == hostPixel(kTextColour, false);
  return n;
}

TEST(HostStatistics, AComputerWithNoThreeOhOneShowsDashesUnderItsOwnLine) {
  HostDriver d;
  d.start();
  hostBookOpen(nullptr, fixedTime);
  Book book;
  const std::string text = kCountUpBook;
  bookParse(reinterpret_cast<const uint8_t *>(text.data()), text.size(), &book);
  ASSERT_EQ(book.matches.size(), 1u);
  hostBookReplace(book);
  d.press(VK_F1, 1);
  // Player book... is the fourth row at the title (after Resume, Play...
  // and Players); Statistics the second row in it.
  for (int vk : {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN, VK_DOWN, VK_RETURN}) d.press(vk, 1);
  ASSERT_STREQ(hostPageName(), "stats");
  d.run(2);
  // Three clear rows over "Matches / darts" (y 72): the line above ends
  // before them.
  EXPECT_EQ(pixelsOf(kQuietColour, 16, 69, kLayerWidth - 32, 3), 0)
      << "\"computer player\" runs into the figures";
  const struct {
    const char *name;
    int32_t y;
  } rows[] = {
      {"301 average", 83},
      {"last 10", 94},
      {"301 finished", 183},
  };
  for (const auto &r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(pixelsOf(kTextColour, 132, r.y, kLayerWidth - 140, 9), textPixels("-"));
  }
  d.finish();
}

}  // namespace
