// The look of the host's pages where it can be measured: the menu's
// smaller panel clear of the aim pointer, the summary card over the end
// screen's scoreboard and under its captions, the volume's equal loudness
// steps, and the title's hint until the menu has been opened once.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/match.h"
#include "host/book.h"
#include "host/host.h"
#include "host/host_internal.h"
#include "host/summary_card.h"
#include "host/trend.h"
#include "platform/common/host_link.h"
#include "platform/headless/headless.h"
#include "replay_runner.h"
#include "screens/screens.h"

namespace {

// A layer of one colour that nothing the host draws uses, and what was
// drawn over it.
constexpr uint16_t kUntouched = 0x0821;

struct Canvas {
  std::vector<uint16_t> pixels = std::vector<uint16_t>(kLayerWidth * kLayerHeight, kUntouched);
  HostLayer layer{pixels.data(), false};
  bool touched(int32_t x, int32_t y) const { return pixels[y * kLayerWidth + x] != kUntouched; }
  // Rows [from, to) with any pixel drawn.
  int32_t rowsTouched(int32_t from, int32_t to) const {
    int32_t n = 0;
    for (int32_t y = from; y < to; ++y) {
      bool any = false;
      for (int32_t x = 0; x < kLayerWidth; ++x) any = any || touched(x, y);
      n += any;
    }
    return n;
  }
  int32_t pixelsUntouched(int32_t from, int32_t to) const {
    int32_t n = 0;
    for (int32_t y = from; y < to; ++y)
      for (int32_t x = 0; x < kLayerWidth; ++x) n += !touched(x, y);
    return n;
  }
};

BookMatch matchOf(int32_t players, int32_t winner, bool soloFinished) {
  BookMatch m;
  m.game = kGame301;
  m.players = players;
  m.winner = winner;
  const char *const names[] = {"ROBIN", "PLAYER 2", "JO ASH", "CPU 80"};
  for (int32_t s = 0; s < players; ++s) {
    m.seats[s].name = names[s];
    m.seats[s].darts = 21;
    m.seats[s].points = 250;
    m.seats[s].final = 51;
    m.seats[s].finished = s == winner || (players == 1 && soloFinished);
  }
  return m;
}

struct CardCase {
  const char *name;
  int32_t players;
  int32_t winner;
  bool soloFinished;
};

TEST(SummaryCard, CoversTheScoreboardWholeAndNoCaptionRowForOneToFourPlayers) {
  const CardCase cases[] = {
      {.name = "one player, finished", .players = 1, .winner = 0, .soloFinished = true},
      {.name = "one player, not finished", .players = 1, .winner = -1, .soloFinished = false},
      {.name = "two players, the second won", .players = 2, .winner = 1, .soloFinished = false},
      {.name = "three players, a draw", .players = 3, .winner = -1, .soloFinished = false},
      {.name = "four players, the first won", .players = 4, .winner = 0, .soloFinished = false},
  };
  for (const CardCase &c : cases) {
    SCOPED_TRACE(c.name);
    Canvas canvas;
    NewBests news;
    news.seat[0] = true;
    drawSummaryCard(canvas.layer, matchOf(c.players, c.winner, c.soloFinished), news);
    EXPECT_EQ(canvas.rowsTouched(0, kEndCaptionsBottom), 0) << "a caption row is covered";
    EXPECT_EQ(canvas.pixelsUntouched(kScoreboardTop, kLayerHeight), 0)
        << "part of the scoreboard shows";
    const HostRect r = summaryCardRect(c.players);
    EXPECT_GE(r.y, kEndCaptionsBottom);
    EXPECT_EQ(r.y + r.h, kLayerHeight);
  }
}

TEST(SummaryCard, TheWinnerAndASoloFinishAreLitInGoldAndAFailureIsNot) {
  const HostColour gold = {255, 200, 40};
  const uint16_t goldPixel = hostPixel(gold, false);
  auto goldPixels = [&](const BookMatch &m) {
    Canvas canvas;
    drawSummaryCard(canvas.layer, m, NewBests{});
    int32_t n = 0;
    for (uint16_t p : canvas.pixels) n += p == goldPixel;
    return n;
  };
  const int32_t soloWin = goldPixels(matchOf(1, 0, true));
  const int32_t soloFail = goldPixels(matchOf(1, -1, false));
  const int32_t twoWon = goldPixels(matchOf(2, 1, false));
  const int32_t twoDrawn = goldPixels(matchOf(2, -1, false));
  EXPECT_GT(soloWin, 300) << "a frame and a lit block";
  EXPECT_EQ(soloFail, 0);
  EXPECT_GT(twoWon, 200);
  EXPECT_EQ(twoDrawn, 0);
}

TEST(MenuPanel, LeavesTheGameRoundItAndThePointerStripClearForEveryRowCount) {
  for (int32_t rows = 1; rows <= kMenuTopRowsMax; ++rows) {
    for (bool foot : {false, true}) {
      SCOPED_TRACE(std::to_string(rows) + (foot ? " rows and a foot" : " rows"));
      Canvas canvas;
      const HostMenuPanel panel = menuPanel(rows, foot);
      drawMenuPanel(canvas.layer, panel, "Paused");
      // The aim pointer's strip, y 0 to 15, and a line under it.
      EXPECT_EQ(canvas.rowsTouched(0, 18), 0);
      EXPECT_LE(panel.rect.w, kLayerWidth * 2 / 3) << "the game shows on both sides";
      EXPECT_LE(panel.rect.y + panel.rect.h, kLayerHeight - 16);
      const HostRowBox &box = panel.rows;
      EXPECT_GE(box.x, panel.rect.x);
      EXPECT_LE(box.x + box.w, panel.rect.x + panel.rect.w);
      const int32_t lastRowFoot = box.y + (rows - 1) * box.step + box.h;
      EXPECT_LE(lastRowFoot, foot ? panel.footY : panel.rect.y + panel.rect.h);
    }
  }
}

TEST(MenuPanel, EveryFullPageKeepsTheTopStripClear) {
  Canvas canvas;
  layerPanel(canvas.layer, "Statistics");
  EXPECT_EQ(canvas.rowsTouched(0, 16), 0);
}

struct RowTextCase {
  const char *name;
  const char *label;
  const char *value;
  bool shortened;  // drawn with "..." in place of its end
};

// Whatever a row says, its words stay inside its box (a list of four long
// names ran across the panel's edge to the screen's), and a text that fits
// is drawn whole.
TEST(PageRows, EveryRowsWordsStayInsideItsBox) {
  const RowTextCase cases[] = {
      {"a short label is drawn whole", "Landing map", "", false},
      {"a label and value that fit", "Players", "2", false},
      {"four long names of a watched match", "12-07 Count Up: MWMWMWMWMW, WMWMWMWMWM, M", "", true},
      {"a long label and a long value", "Fewest darts in a 501 leg", "ROBIN 12-07 (assisted)",
       true},
      {"letters of the widest glyph", "MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM", "", true},
  };
  for (const RowTextCase &c : cases) {
    SCOPED_TRACE(c.name);
    Canvas canvas;
    HostRow row = {};
    std::snprintf(row.label, sizeof row.label, "%s", c.label);
    std::snprintf(row.value, sizeof row.value, "%s", c.value);
    std::string drawn;
    layerTextSink(&drawn);
    layerRows(canvas.layer, &row, 1);
    layerTextSink(nullptr);
    const HostRowBox &box = kPageRows;
    for (int32_t y = box.y; y < box.y + box.h; ++y) {
      for (int32_t x = 0; x < kLayerWidth; ++x) {
        if (x >= box.x && x < box.x + box.w) continue;
        EXPECT_FALSE(canvas.touched(x, y)) << "at " << x << "," << y;
      }
    }
    EXPECT_EQ(drawn.find("...") != std::string::npos, c.shortened) << drawn;
  }
}

struct TrendCase {
  const char *name;
  std::vector<double> values;
};

// The points (gold) of a trend span most of its box's height, whatever the
// averages' level: a run of averages close together is not flattened
// against the foot of the chart.
TEST(StatisticsTrend, ThePointsSpanMostOfTheBoxFromTheLowestToTheHighest) {
  const TrendCase cases[] = {
      {.name = "close averages in the forties", .values = {41.2, 44.0, 42.5, 43.1, 45.0}},
      {.name = "a rise from 20 to 90", .values = {20, 35, 50, 70, 90}},
      {.name = "two matches", .values = {60.5, 58.1}},
      {.name = "ten matches, the last the lowest",
       .values = {50, 52, 51, 55, 53, 54, 56, 52, 51, 30}},
  };
  const HostRect box = {20, 100, 200, 30};
  const uint16_t gold = hostPixel(kChosenColour, false);
  for (const TrendCase &c : cases) {
    SCOPED_TRACE(c.name);
    Canvas canvas;
    drawTrend(canvas.layer, box, c.values);
    int32_t top = kLayerHeight, bottom = -1;
    for (int32_t y = box.y; y < box.y + box.h; ++y)
      for (int32_t x = box.x + 30; x < box.x + box.w - 30; ++x)
        if (canvas.pixels[y * kLayerWidth + x] == gold) {
          top = std::min(top, y);
          bottom = std::max(bottom, y);
        }
    ASSERT_GE(bottom, top);
    EXPECT_GE(bottom - top + 1, box.h * 9 / 10);
    EXPECT_EQ(canvas.rowsTouched(0, box.y), 0) << "drawn above its box";
    EXPECT_EQ(canvas.rowsTouched(box.y + box.h + 1, kLayerHeight), 0) << "drawn below its box";
  }
}

// With fewer than two matches there is no line to draw: one match's
// average is said once, in gold, and nothing else is drawn.
TEST(StatisticsTrend, FewerThanTwoPointsDrawNoLine) {
  const struct {
    const char *name;
    std::vector<double> values;
    bool valueShown;
    const char *note;  // said in the quiet colour instead, or null
  } cases[] = {
      {"no match: a note says so", {}, false, "no match yet"},
      {"one match", {70.5}, true, nullptr},
  };
  const HostRect box = {20, 100, 200, 30};
  const uint16_t gold = hostPixel(kChosenColour, false);
  const uint16_t quiet = hostPixel(kQuietColour, false);
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    Canvas canvas;
    drawTrend(canvas.layer, box, c.values);
    int32_t goldPixels = 0, quietPixels = 0, otherPixels = 0;
    for (uint16_t p : canvas.pixels) {
      if (p == kUntouched) continue;
      if (p == gold)
        ++goldPixels;
      else if (p == quiet)
        ++quietPixels;
      else
        ++otherPixels;
    }
    EXPECT_EQ(otherPixels, 0) << "a frame or a line";
    EXPECT_EQ(goldPixels > 0, c.valueShown);
    // Said once: the gold drawn is the value's text and no more, the quiet
    // the note's.
    Canvas once;
    if (c.valueShown) layerText(once.layer, 0, 0, "70.5", kChosenColour);
    if (c.note != nullptr) layerText(once.layer, 0, 20, c.note, kQuietColour);
    int32_t textPixels = 0, notePixels = 0;
    for (uint16_t p : once.pixels) {
      textPixels += p == gold;
      notePixels += p == quiet;
    }
    EXPECT_EQ(goldPixels, textPixels);
    EXPECT_EQ(quietPixels, notePixels);
  }
}

TEST(StatisticsTrend, ALevelRunSitsInTheMiddle) {
  const TrendScale s = trendScale({40, 40, 40});
  EXPECT_EQ(trendRow(40, s, 100, 31), 115);
}

TEST(Volume, TenEqualLoudnessStepsDownFromTheRecordedLevelThenSilence) {
  EXPECT_EQ(volumeGainOf(10), 65536u);
  EXPECT_EQ(volumeGainOf(0), 0u);
  for (int32_t v = 2; v <= 10; ++v) {
    SCOPED_TRACE(v);
    const double db = 20 * std::log10(static_cast<double>(volumeGainOf(v)) / volumeGainOf(v - 1));
    EXPECT_NEAR(db, kVolumeStepDb, 0.01);
  }
}

// The title's hint says how to open the menu until it has been opened once,
// and the host file keeps that it was.
class TitleHint : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = replayWorkDir("host-work", "title-hint");
    headlessSetRegistryDir(dir.c_str());
    std::remove((dir + "/host").c_str());
    hostResetForTests();
    hostStart();
    hostEnable(true);
  }
  void TearDown() override {
    hostEnable(false);
    headlessSetRegistryDir(nullptr);
    hostResetForTests();
  }
  std::string dir;
};

TEST_F(TitleHint, ShownUntilTheMenuIsOpenedOnceAndThatIsKept) {
  const HostView title = {HostScene::kTitle, kTitleChoosing, nullptr, 0, 1};
  const char *before = hintFor(title);
  ASSERT_NE(before, nullptr);
  EXPECT_NE(std::string(before).find("menu"), std::string::npos) << before;
  hostOpenMenu();
  hostCloseMenu();
  EXPECT_EQ(hintFor(title), nullptr);
  hostWriteSettings();
  hostResetForTests();
  hostReadSettings();
  EXPECT_EQ(hintFor(title), nullptr) << "read back from the host file";
}

TEST_F(TitleHint, NamesTheDeviceUsedLast) {
  const HostView title = {HostScene::kTitle, kTitleChoosing, nullptr, 0, 1};
  const HostView result = {HostScene::kMatch, kMatchNextDart, nullptr, 0, 1};
  struct Row {
    const char *name;
    HostDevice device;
    const char *menu;
    const char *next;
  };
  const Row rows[] = {
      {.name = "keyboard", .device = HostDevice::kKeyboard, .menu = "F1: menu", .next = ": next"},
      {.name = "pad", .device = HostDevice::kPad, .menu = "Pad Back: menu", .next = "Pad A: next"},
      {.name = "touch",
       .device = HostDevice::kTouch,
       .menu = "Menu button: menu",
       .next = "Tap: next"},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.name);
    hostSetDevice(r.device);
    ASSERT_NE(hintFor(title), nullptr);
    EXPECT_STREQ(hintFor(title), r.menu);
    ASSERT_NE(hintFor(result), nullptr);
    EXPECT_NE(std::string(hintFor(result)).find(r.next), std::string::npos) << hintFor(result);
  }
}

}  // namespace
