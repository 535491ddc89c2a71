// The summary card's own rematch: Button C (or a tap on its words) on the
// card of a match just finished starts the rematch, seats moved round and a
// new seed; Button A still only leaves the end screen; with
// no finished match on the end screen nothing is offered.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/settings.h"
#include "host/book.h"
#include "host/match_codes.h"
#include "host/player_book.h"
#include "host/seats.h"
#include "host/summary_card.h"
#include "host_driver.h"
#include "replay_runner.h"

namespace {

constexpr int32_t kLevels[] = {1, 3, 5};

// Three computers play a "High Score" match to its end screen, the card up;
// the seat names as they were.
void playToTheCard(HostDriver &d, std::vector<std::string> *names) {
  d.start();
  headlessSetRegistryDir(replayWorkDir("card-rematch", "book").c_str());
  hostResetForTests();
  hostBookOpen(nullptr, nullptr);
  for (int32_t i = 0; i < kSeatCount; ++i) hostSeat(i).cpuLevel = i < 3 ? kLevels[i] : 0;
  hostSetNextMatchSeed(77);
  startMatchOf(kGameHighScore, 3);
  ASSERT_TRUE(d.reach(HostScene::kMatch, kMatchEndShown, 400000));
  // Past the game's gap between presses; the computers wait seconds more.
  d.run(20);
  ASSERT_TRUE(hostSummaryShown());
  names->clear();
  for (int32_t i = 0; i < 3; ++i) names->push_back(hostSeatName(i));
}

void tapAt(HostDriver &d, int32_t x, int32_t y) {
  ASSERT_TRUE(hostTouchDown(x, y));
  d.pass();
  hostTouchUp();
  d.run(14);
}

void tapRematchWords(HostDriver &d) {
  hostSetDevice(HostDevice::kTouch);
  const HostRect b = summaryRematchBox(3);
  tapAt(d, b.x + b.w / 2, b.y + b.h / 2);
}

// A touch, then the click the backends post after it, as they do.
void touchThenItsClick(HostDriver &d) {
  hostSetDevice(HostDevice::kTouch);
  const HostRect b = summaryRematchBox(3);
  ASSERT_TRUE(hostTouchDown(b.x + b.w / 2, b.y + b.h / 2));
  headlessTap(b.x + b.w / 2, b.y + b.h / 2);
  d.pass();
  hostTouchUp();
  d.run(14);
}

void clickRematchWords(HostDriver &d) {
  hostSetDevice(HostDevice::kKeyboard);
  const HostRect b = summaryRematchBox(3);
  headlessTap(b.x + b.w / 2, b.y + b.h / 2);
  d.run(15);
}

TEST(CardRematch, TheCardsKeyStartsARematchAndAStillGoesOn) {
  struct Row {
    const char *name;
    void (*act)(HostDriver &d);
    bool rematch;
  };
  const Row rows[] = {
      {"Button C on the card",
       [](HostDriver &d) { d.press(static_cast<int>(keyBindings[kButtonC])); }, true},
      {"a tap on the card's rematch words", tapRematchWords, true},
      {"a touch and the click posted after it: one rematch", touchThenItsClick, true},
      {"a mouse click on the card's rematch words", clickRematchWords, true},
      {"Button A on the card",
       [](HostDriver &d) { d.press(static_cast<int>(keyBindings[kButtonA])); }, false},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.name);
    HostDriver d;
    std::vector<std::string> names;
    playToTheCard(d, &names);
    if (HasFatalFailure()) return;
    const uint64_t seed = hostMatchSeed();
    r.act(d);
    if (!r.rematch) {
      // A computer seat owns Button A on its end screen: the card stays
      // until the seats leave it, for the title and never a rematch.
      d.run(450);
      EXPECT_EQ(hostLastView().scene, HostScene::kTitle) << "the end screen left for the title";
      EXPECT_FALSE(hostSummaryShown());
      d.finish();
      continue;
    }
    ASSERT_TRUE(d.reach(HostScene::kMatch, kMatchAimSlide));
    EXPECT_EQ(gameMode, kGameHighScore);
    EXPECT_EQ(playerCount, 3);
    for (int32_t seat = 0; seat < 3; ++seat) {
      SCOPED_TRACE("seat " + std::to_string(seat + 1));
      EXPECT_EQ(hostMatchCpuLevel(seat), kLevels[(seat + 1) % 3]);
      EXPECT_EQ(std::string(hostSeatName(seat)), names[(seat + 1) % 3]);
    }
    EXPECT_EQ(hostMatchSeed(), rematchSeed(seed));
    EXPECT_NE(hostMatchSeed(), seed);
    d.finish();
  }
}

TEST(CardRematch, WithoutAFinishedMatchNothingIsOffered) {
  HostDriver d;
  d.start();
  hostBookOpen(nullptr, nullptr);
  for (int32_t i = 0; i < kSeatCount; ++i) hostSeat(i).cpuLevel = i < 3 ? kLevels[i] : 0;
  hostSetNextMatchSeed(91);
  startMatchOf(kGameHighScore, 3);
  ASSERT_TRUE(d.reach(HostScene::kMatch, kMatchAimSlide));
  const uint64_t seed = hostMatchSeed();
  const std::string name = hostSeatName(0);
  d.press(static_cast<int>(keyBindings[kButtonC]));
  EXPECT_EQ(hostLastView().scene, HostScene::kMatch) << "the match goes on";
  EXPECT_FALSE(codesCanRematch());
  EXPECT_EQ(hostMatchSeed(), seed);
  EXPECT_EQ(std::string(hostSeatName(0)), name);
  d.finish();
}

// The card drawn aside: its foot shows the rematch words only when offered.
TEST(CardRematch, TheFootShowsRematchOnlyWhenOffered) {
  BookMatch m;
  m.game = kGameHighScore;
  m.players = 2;
  m.seats[0].name = "ANNA";
  m.seats[1].name = "BEA";
  m.winner = 0;
  const NewBests news{};
  std::vector<uint16_t> plain(kLayerWidth * kLayerHeight), offered(plain.size());
  HostLayer a{plain.data(), false};
  HostLayer b{offered.data(), false};
  hostSetDevice(HostDevice::kKeyboard);
  drawSummaryCard(a, m, news, false);
  drawSummaryCard(b, m, news, true);
  const HostRect box = summaryRematchBox(2);
  int32_t differing = 0;
  for (int32_t y = box.y; y < box.y + box.h; ++y)
    for (int32_t x = box.x; x < box.x + box.w; ++x)
      if (plain[y * kLayerWidth + x] != offered[y * kLayerWidth + x]) ++differing;
  EXPECT_GT(differing, 20) << "the rematch words are drawn in their box";
  EXPECT_EQ(std::string(summaryRematchWords()),
            std::string(keyName(keyBindings[kButtonC])) + ": rematch");
  const HostRect card = summaryCardRect(2);
  for (int32_t y = 0; y < card.y; ++y)
    for (int32_t x = 0; x < kLayerWidth; ++x)
      ASSERT_EQ(plain[y * kLayerWidth + x], offered[y * kLayerWidth + x]) << "above the card";
}

}  // namespace
