// Records and Statistics' recent matches: a finished match watched again.
// Records: A on a sheet watches the lit (newest) entry's match again when
// the book kept its code; without one A turns the sheet as it always did.
#include <gtest/gtest.h>

#include <string>

#include "host/book.h"
#include "host/match_codes.h"
#include "host/player_book.h"
#include "host/seats.h"
#include "host_driver.h"
#include "replay_runner.h"

namespace {

// A finished match of two computers in the book, back at the title; the
// match's code kept or not.
void playOneMatch(HostDriver &d, bool keepCode) {
  headlessSetRegistryDir(replayWorkDir("records-watch", "book").c_str());
  hostResetForTests();
  hostBookOpen(nullptr, nullptr);
  for (int32_t i = 0; i < kSeatCount; ++i) hostSeat(i).cpuLevel = i < 2 ? 2 + i : 0;
  hostSetNextMatchSeed(5);
  startMatchOf(kGameHighScore, 2);
  ASSERT_TRUE(d.reach(HostScene::kMatch, kMatchEndShown, 400000));
  // The computers leave the end screen for the title.
  for (int i = 0; i < 2000 && hostLastView().scene != HostScene::kTitle; ++i) d.pass();
  ASSERT_EQ(hostLastView().scene, HostScene::kTitle);
  Book book = hostBook();
  ASSERT_EQ(book.matches.size(), 1u);
  ASSERT_FALSE(bookMatchCode(book.matches[0]).empty());
  if (!keepCode) {
    book.matches[0].more.clear();
    hostBookReplace(book);
  }
}

TEST(RecordsWatch, AOnASheetWatchesTheNewestEntrysMatchWhenItHasACode) {
  struct Row {
    const char *name;
    bool keepCode;
    bool watched;
  };
  const Row rows[] = {
      {"the newest match kept its code: A watches it", true, true},
      {"a match without a code: A only turns the sheets", false, false},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.name);
    HostDriver d;
    d.start();
    playOneMatch(d, r.keepCode);
    hostOpenMenu();
    hostOpenPage("records");
    ASSERT_STREQ(hostPageName(), "records");
    // A on each sheet in turn: the sheets without a code move on.
    for (int i = 0; i < 8 && hostMenuOpen(); ++i) hostPageAction(HostAction::kConfirm);
    EXPECT_EQ(hostMenuOpen(), !r.watched);
    d.run(5);
    EXPECT_EQ(hostPlayback() == HostPlayback::kWatching, r.watched);
    d.finish();
  }
}

// Statistics' "Recent matches" lists the chosen player's finished matches
// that kept a code; A watches one, B goes back to Statistics.
TEST(RecordsWatch, StatisticsRecentMatchesListTheChosenPlayersMatches) {
  struct Row {
    const char *name;
    bool keepCode;
    int32_t listed;
  };
  const Row rows[] = {
      {"a match with its code: listed, and A watches it", true, 1},
      {"a match without a code: nothing to watch", false, 0},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.name);
    HostDriver d;
    d.start();
    playOneMatch(d, r.keepCode);
    hostOpenMenu();
    hostOpenPage("stats");
    // Recent matches is the row under Landing map.
    hostPageAction(HostAction::kDown);
    hostPageAction(HostAction::kConfirm);
    ASSERT_STREQ(hostPageName(), "recent");
    HostRow list[kHostRowsMax];
    ASSERT_EQ(hostPageRows(list, kHostRowsMax), r.listed);
    if (r.listed > 0) {
      EXPECT_NE(std::string(list[0].label).find("High Score"), std::string::npos) << list[0].label;
      hostPageAction(HostAction::kConfirm);
      EXPECT_FALSE(hostMenuOpen());
      d.run(5);
      EXPECT_EQ(hostPlayback(), HostPlayback::kWatching);
    } else {
      hostPageAction(HostAction::kConfirm);
      EXPECT_STREQ(hostPageName(), "recent") << "A on an empty list stays";
      hostPageAction(HostAction::kBack);
      EXPECT_STREQ(hostPageName(), "stats");
    }
    d.finish();
  }
}

}  // namespace
