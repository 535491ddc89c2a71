// Sharing a match and opening one a friend shared: the code inside what a
// player pastes or a link carries; every route in (a code received from the
// command line or a link, Ctrl+V on "Watch or answer") plays the same darts
// again; a damaged code is refused on that page with its reason; "Share" on
// the summary card and on Records puts the code on the clipboard.
#include <gtest/gtest.h>

#include <string>

#include "app/settings.h"
#include "host/book.h"
#include "host/match_code.h"
#include "host/match_codes.h"
#include "host/player_book.h"
#include "host/seats.h"
#include "host/share.h"
#include "host/summary_card.h"
#include "host_driver.h"
#include "platform/common/code_link.h"
#include "platform/headless/clipboard.h"
#include "replay_runner.h"

namespace {

constexpr int kVkControl = 0x11;

TEST(Share, TheCodeInsideAPasteOrALink) {
  struct Row {
    const char *name;
    const char *text;
    const char *code;
  };
  const Row rows[] = {
      {"a code alone", "AQEC-x_9", "AQEC-x_9"},
      {"spaces and a line end round it", "  AQEC-x_9\r\n", "AQEC-x_9"},
      {"a tobelyn: link", "tobelyn:AQEC-x_9", "AQEC-x_9"},
      {"a tobelyn:// link with a slash after", "TOBELYN://AQEC-x_9/", "AQEC-x_9"},
      {"the site's address with the code in its fragment",
       "https://example.org/games/tobelyn/#m=AQEC-x_9", "AQEC-x_9"},
      {"an address with a query before the fragment", "http://localhost:8080/?test#m=AQEC", "AQEC"},
      {"the fragment alone", "#m=AQEC", "AQEC"},
      {"the fragment without its hash", "m=AQEC", "AQEC"},
      {"a fragment with another field after it", "#m=AQEC&x=1", "AQEC"},
      {"nothing", "   ", ""},
      {"a damaged letter stays in, to be refused", "#m=AQ$EC", "AQ$EC"},
      {"a space inside stays in, to be refused", "AQ EC", "AQ EC"},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(codeFromLink(r.text), r.code);
  }
}

// Two computers play a "High Score" match to its end screen with the card
// up; the match's code.
std::string playToTheCard(HostDriver &d, const char *folder) {
  d.start();
  headlessSetRegistryDir(replayWorkDir("share", folder).c_str());
  hostResetForTests();
  hostBookOpen(nullptr, nullptr);
  for (int32_t i = 0; i < kSeatCount; ++i) hostSeat(i).cpuLevel = i < 2 ? 3 + i : 0;
  hostSetNextMatchSeed(4242);
  startMatchOf(kGameHighScore, 2);
  EXPECT_TRUE(d.reach(HostScene::kMatch, kMatchEndShown, 400000));
  d.run(20);
  EXPECT_TRUE(hostSummaryShown());
  return hostMatchCode();
}

// A watched match skipped to its end: the code its darts make again.
std::string watchedToTheEnd(HostDriver &d) {
  d.run(3);
  EXPECT_EQ(hostPlayback(), HostPlayback::kWatching);
  codesSkip();
  // Played back whole once nothing is left to skip.
  for (int i = 0; i < 100000 && codesCanSkip(); ++i) d.pass();
  EXPECT_FALSE(codesCanSkip());
  return hostMatchCode();
}

void pasteOnThePage(HostDriver &d, const std::string &text) {
  headlessSetClipboard(text.c_str());
  hostOpenMenu();
  hostOpenPage("open-code");
  ASSERT_STREQ(hostPageName(), "open-code");
  headlessHold(kVkControl, true);
  d.press('V');
  headlessHold(kVkControl, false);
}

TEST(Share, EveryRouteInWatchesTheSameDarts) {
  std::string code;
  {
    HostDriver d;
    code = playToTheCard(d, "routes");
    d.finish();
  }
  ASSERT_FALSE(code.empty());
  MatchCode shared;
  std::string message;
  ASSERT_EQ(matchCodeRead(code, &shared, &message), CodeRefusal::kNone) << message;
  enum class Route { kReceived, kPasted, kGivenOnThePage };
  struct Row {
    const char *name;
    std::string text;
    Route route;
  };
  const Row rows[] = {
      {"received as it is (--watch CODE)", code, Route::kReceived},
      {"received as a tobelyn: link", "tobelyn:" + code, Route::kReceived},
      {"received as the site's #m= link", "https://example.org/tobelyn/#m=" + code,
       Route::kReceived},
      {"pasted with Ctrl+V on Watch or answer", code + "\n", Route::kPasted},
      {"given while Watch or answer is open (the browser's field)", code, Route::kGivenOnThePage},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.name);
    HostDriver d;
    d.start();
    if (r.route == Route::kPasted) {
      pasteOnThePage(d, r.text);
    } else {
      if (r.route == Route::kGivenOnThePage) {
        hostOpenMenu();
        hostOpenPage("open-code");
      }
      platformReceiveCode(r.text.c_str());
    }
    const std::string again = watchedToTheEnd(d);
    MatchCode watched;
    ASSERT_EQ(matchCodeRead(again, &watched, &message), CodeRefusal::kNone) << message;
    EXPECT_EQ(watched.game, shared.game);
    EXPECT_EQ(watched.seed, shared.seed);
    EXPECT_EQ(watched.darts, shared.darts);
    d.finish();
  }
}

TEST(Share, ARefusedCodeIsSaidOnWatchOrAnswer) {
  std::string code;
  {
    HostDriver d;
    code = playToTheCard(d, "refused");
    d.finish();
  }
  std::string damaged = code;
  damaged[damaged.size() / 2] = damaged[damaged.size() / 2] == 'A' ? 'B' : 'A';
  struct Row {
    const char *name;
    std::string text;
    std::string reason;  // empty: matchCodeRead's own message
  };
  const Row rows[] = {
      {"a damaged code", damaged, ""},
      {"letters that are no code", "#m=A$B", ""},
      {"nothing but spaces", "  ", "No match code in that text."},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.name);
    std::string reason = r.reason;
    if (reason.empty()) {
      MatchCode unused;
      ASSERT_NE(matchCodeRead(codeFromLink(r.text), &unused, &reason), CodeRefusal::kNone);
    }
    HostDriver d;
    d.start();
    platformReceiveCode(r.text.c_str());
    d.run(3);
    EXPECT_EQ(hostPlayback(), HostPlayback::kNone);
    ASSERT_TRUE(hostMenuOpen());
    EXPECT_STREQ(hostPageName(), "open-code");
    HostRow rows[kHostRowsMax];
    const int32_t count = hostPageRows(rows, kHostRowsMax);
    std::string said;
    for (int32_t i = 0; i < count; ++i) said += (i > 0 ? " " : "") + std::string(rows[i].label);
    EXPECT_EQ(said, reason);
    d.finish();
  }
}

TEST(Share, ShareOnTheCardAndOnRecordsCopiesTheCode) {
  struct Row {
    const char *name;
    void (*act)(HostDriver &d);
  };
  const Row rows[] = {
      {"Button Start on the card",
       [](HostDriver &d) { d.press(static_cast<int>(keyBindings[kButtonStart])); }},
      {"a tap on the card's share words",
       [](HostDriver &d) {
         hostSetDevice(HostDevice::kTouch);
         const HostRect b = summaryShareBox(2);
         ASSERT_TRUE(hostTouchDown(b.x + b.w / 2, b.y + b.h / 2));
         d.pass();
         hostTouchUp();
         d.run(14);
       }},
      {"Button C on Records",
       [](HostDriver &d) {
         hostOpenMenu();
         hostOpenPage("records");
         // The sheets in turn until one's newest entry is this match.
         for (int sheet = 0; sheet < 8 && headlessClipboard().empty(); ++sheet) {
           d.press(static_cast<int>(keyBindings[kButtonC]));
           if (headlessClipboard().empty()) d.press(static_cast<int>(keyBindings[kKeyRight]));
         }
       }},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.name);
    HostDriver d;
    headlessSetClipboard("");
    const std::string code = playToTheCard(d, "card");
    ASSERT_FALSE(code.empty());
    r.act(d);
    EXPECT_EQ(headlessClipboard(), code);
    EXPECT_EQ(shareWords(), "Code copied to the clipboard.");
    EXPECT_EQ(hostPlayback(), HostPlayback::kNone) << "sharing starts nothing";
    d.finish();
  }
}

// The card's foot: the share words at its left never meet "next" and the
// rematch words, whatever device names them.
TEST(Share, TheShareWordsStayClearOfTheFootsOthers) {
  const HostDevice devices[] = {HostDevice::kKeyboard, HostDevice::kPad, HostDevice::kTouch};
  for (const HostDevice device : devices) {
    hostSetDevice(device);
    for (int32_t players = 1; players <= kMaxPlayers; ++players) {
      SCOPED_TRACE(std::to_string(players) + " players, device " +
                   std::to_string(static_cast<int>(device)));
      const HostRect share = summaryShareBox(players);
      const HostRect rematch = summaryRematchBox(players);
      const int32_t nextLeft =
          rematch.x - 12 - textWidth((std::string(buttonAName()) + ": next").c_str());
      EXPECT_LT(share.x + share.w, nextLeft);
      EXPECT_GE(share.x, 0);
    }
  }
  hostSetDevice(HostDevice::kKeyboard);
}

}  // namespace

namespace {

// A code that arrives during a match of the player's (a second start, a
// link) asks first: B stays in the match, A leaves it to watch the code.
TEST(Share, ACodeArrivingMidMatchAsksBeforeLeavingIt) {
  std::string code;
  {
    HostDriver d;
    code = playToTheCard(d, "ask");
    d.finish();
  }
  struct Row {
    const char *name;
    HostAction answer;
    bool watched;
  };
  const Row rows[] = {
      {"B: stay in the match", HostAction::kBack, false},
      {"A: leave it to watch the code", HostAction::kConfirm, true},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.name);
    HostDriver d;
    d.start();
    for (int32_t i = 0; i < kSeatCount; ++i) hostSeat(i).cpuLevel = i < 2 ? 2 : 0;
    hostSetNextMatchSeed(99);
    startMatchOf(kGame301, 2);
    ASSERT_TRUE(d.reach(HostScene::kMatch, kMatchAimSlide));
    platformReceiveCode(code.c_str());
    d.run(2);
    ASSERT_TRUE(hostMenuOpen());
    EXPECT_STREQ(hostPageName(), "open-code-ask");
    EXPECT_EQ(hostPlayback(), HostPlayback::kNone) << "nothing leaves before the answer";
    hostPageAction(r.answer);
    d.run(5);
    EXPECT_EQ(hostPlayback() == HostPlayback::kWatching, r.watched);
    if (!r.watched) {
      EXPECT_FALSE(hostMenuOpen());
      EXPECT_EQ(hostLastView().scene, HostScene::kMatch);
      EXPECT_EQ(hostMatchSeed(), 99u) << "the player's match goes on";
    }
    d.finish();
  }
}

}  // namespace
