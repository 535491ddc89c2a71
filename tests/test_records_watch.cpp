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
    if (!r.keepCode) {
      book.matches[0].more.clear();
      hostBookReplace(book);
    }
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

}  // namespace
