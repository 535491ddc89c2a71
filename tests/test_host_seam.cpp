// The host's seam: the menu never drops an entry, Button A has one owner a
// pass, the features' hooks run when a match starts and finishes, and each
// page's rows can be read as data.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/settings.h"
#include "game/match.h"
#include "gfx/surface.h"
#include "host/host.h"
#include "host/host_games.h"
#include "host/host_internal.h"
#include "host/player_book.h"
#include "host_driver.h"
#include "platform/headless/headless.h"

namespace {

void noDraw(HostLayer &) {}
void noKey(HostAction) {}
bool noTap(int32_t, int32_t) { return false; }

HostPage listedPage(const char *name, const char *under) {
  return HostPage{.name = name,
                  .title = name,
                  .under = under,
                  .available = nullptr,
                  .draw = noDraw,
                  .key = noKey,
                  .tap = noTap,
                  .typed = nullptr,
                  .opened = nullptr,
                  .left = nullptr,
                  .rows = nullptr};
}

std::vector<std::string> menuLabels() {
  HostRow rows[kHostRowsMax];
  const int32_t n = hostPageRows(rows, kHostRowsMax);
  std::vector<std::string> labels;
  for (int32_t i = 0; i < n; ++i) labels.emplace_back(rows[i].label);
  return labels;
}

// --- The menu.

TEST(HostMenuRoom, AnEntryThatWouldNotFitIsRefusedNeverDropped) {
  struct Case {
    const char *name;
    const char *page;
    const char *under;
    bool added;
  };
  const Case cases[] = {
      {"a ninth top row: a page that is its own row but no slot", "daily", "daily", false},
      {"a page under a row the menu does not have", "watch", "watching", false},
      {"a page under a row that is a page, not a group", "colours", "settings", false},
      {"a page under a group", "x01", "play", true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const HostPage page = listedPage(c.page, c.under);
    EXPECT_EQ(hostAddPage(&page), c.added);
    hostRemovePage(&page);
  }
}

TEST(HostMenuRoom, AGroupTakesSevenPagesAndRefusesAnEighth) {
  // The host's own games are in the group already: it takes as many more
  // as make seven.
  HostDriver d;
  d.start();
  hostOpenMenu();
  hostOpenPage("play");
  HostRow rows[kHostRowsMax];
  const int32_t already = hostPageRows(rows, kHostRowsMax);
  hostCloseMenu();
  EXPECT_EQ(already, kHostOwnGameCount);
  std::vector<std::string> names;
  for (int i = 0; i < kMenuGroupRowsMax + 1; ++i) names.push_back("game" + std::to_string(i));
  std::vector<HostPage> games;
  for (const std::string &name : names) games.push_back(listedPage(name.c_str(), "play"));
  // The host's own pages under Play... (resume, rematch, ...) take their room.
  // With the host's four games the group may be full already.
  const int32_t room = kMenuGroupRowsMax - hostPagesUnder("play");
  ASSERT_GE(room, 0);
  for (int i = 0; i < room; ++i)
    EXPECT_TRUE(hostAddPage(&games[i])) << "page " << i << " of the group";
  EXPECT_FALSE(hostAddPage(&games[room])) << "the eighth in a group of seven";
  for (const HostPage &page : games) hostRemovePage(&page);
  d.finish();
}

TEST(HostMenuRoom, EveryBuiltInPageIsListedInAtMostSevenTopRows) {
  HostDriver d;
  d.start();
  hostBookOpen(nullptr, nullptr);
  // A game of the host's own shows its group, "Play...".
  // (The host's own games fill it already: the group may refuse one more.)
  const HostPage game = listedPage("x01", "play");
  const bool added = hostAddPage(&game);
  hostOpenMenu();
  const std::vector<std::string> top = menuLabels();
  EXPECT_EQ(top, (std::vector<std::string>{"Resume", "Play...", "Players", "Player book...",
                                           "How to play", "Settings", "Quit..."}));
  EXPECT_LE(static_cast<int32_t>(top.size()), kMenuTopRowsMax);
  hostCloseMenu();
  if (added) hostRemovePage(&game);
  d.finish();
}

TEST(HostMenuRoom, AGroupWithNothingListedHasNoRow) {
  // The host's games are offered at the title only: in a match their group
  // has nothing listed and no row.
  HostDriver d;
  d.start();
  hostOpenMenu();
  std::vector<std::string> top = menuLabels();
  EXPECT_NE(std::find(top.begin(), top.end(), "Play..."), top.end()) << "at the title";
  hostCloseMenu();
  HostGameChoice cricket;
  cricket.mode = kHostGameCricket;
  hostPlayGame(cricket, 2);
  d.run(3);
  hostOpenMenu();
  top = menuLabels();
  EXPECT_EQ(std::find(top.begin(), top.end(), "Play..."), top.end()) << "in a match";
  hostCloseMenu();
  d.finish();
}

// --- Rows as data.

TEST(HostRows, EachPageGivesItsRowsWithTheChosenOne) {
  struct Case {
    const char *name;
    std::vector<int> keys;  // from the menu just opened at the title
    const char *page;
    std::vector<std::string> labels;
    int chosen;
  };
  const Case cases[] = {
      {"the menu, Resume chosen",
       {},
       "menu",
       {"Resume", "Play...", "Players", "Player book...", "How to play", "Settings", "Quit..."},
       0},
      {"Play..., X01 chosen",
       {VK_DOWN, VK_RETURN},
       "play",
       {"X01", "Cricket", "Shanghai", "Bob's 27"},
       0},
      {"X01's page, Players chosen",
       {VK_DOWN, VK_RETURN, VK_RETURN},
       "x01",
       {"Players", "Start", "In", "Out", "Legs", "Play"},
       0},
      {"Cricket's page, Players chosen",
       {VK_DOWN, VK_RETURN, VK_DOWN, VK_RETURN},
       "cricket",
       {"Players", "Play"},
       0},
      {"Player book..., Records chosen",
       {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN},
       "book",
       {"Records", "Statistics", "Watch a match", "Watch or answer", "Daily challenge"},
       0},
      {"Settings, Sound chosen",
       {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN},
       "settings",
       {"Sound", "Volume", "Hints", "Effects", "Speech", "Reset controls"},
       0},
      {"Quit... at the title", {VK_UP, VK_RETURN}, "quit", {"Quit game"}, 0},
      {"Quit game's confirmation, No chosen",
       {VK_UP, VK_RETURN, VK_RETURN},
       "quit-game",
       {"", "", "Yes", "No"},
       3},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    HostDriver d;
    d.start();
    hostBookOpen(nullptr, nullptr);
    d.press(VK_F1, 1);
    for (int vk : c.keys) d.press(vk, 1);
    ASSERT_STREQ(hostPageName(), c.page);
    HostRow rows[kHostRowsMax];
    const int32_t n = hostPageRows(rows, kHostRowsMax);
    std::vector<std::string> labels;
    int chosen = -1;
    for (int32_t i = 0; i < n; ++i) {
      labels.emplace_back(rows[i].label);
      if (rows[i].chosen) chosen = i;
    }
    EXPECT_EQ(labels, c.labels);
    EXPECT_EQ(chosen, c.chosen);
    d.finish();
  }
}

TEST(HostRows, ASettingsRowGivesItsValue) {
  HostDriver d;
  d.start();
  hostBookOpen(nullptr, nullptr);
  hostSettings().volume = 7;
  d.press(VK_F1, 1);
  for (int vk : {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN, VK_DOWN}) d.press(vk, 1);
  HostRow rows[kHostRowsMax];
  ASSERT_GE(hostPageRows(rows, kHostRowsMax), 2);
  EXPECT_STREQ(rows[1].label, "Volume");
  EXPECT_STREQ(rows[1].value, "7 of 10");
  EXPECT_EQ(rows[1].meterSteps, 10) << "drawn as a bar";
  EXPECT_EQ(rows[1].meterFilled, 7);
  EXPECT_TRUE(rows[1].chosen);
  d.finish();
}

// --- Button A: one owner a pass.

TEST(HostButtonA, OfTwoClaimantsOnlyTheHigherIsHeard) {
  struct Claim {
    HostButtonOwner owner;
    bool held;
  };
  struct Case {
    const char *name;
    std::vector<Claim> claims;
    HostButtonOwner owner;
    bool held;
  };
  const Case cases[] = {
      {"nobody claims: the people's own A", {}, HostButtonOwner::kPeople, false},
      {"the seats hold A", {{HostButtonOwner::kSeats, true}}, HostButtonOwner::kSeats, true},
      {"auto-continue presses while the seats keep A up: up",
       {{HostButtonOwner::kSeats, false}, {HostButtonOwner::kAutoContinue, true}},
       HostButtonOwner::kSeats,
       false},
      {"the seats press while auto-continue keeps A up: held",
       {{HostButtonOwner::kAutoContinue, false}, {HostButtonOwner::kSeats, true}},
       HostButtonOwner::kSeats,
       true},
      {"a match played back outranks the seats",
       {{HostButtonOwner::kSeats, true}, {HostButtonOwner::kPlayback, false}},
       HostButtonOwner::kPlayback,
       false},
  };
  const int buttonA = keyBindings[kButtonA];
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    hostResetForTests();
    hostEnable(true);
    for (const Claim &claim : c.claims) hostClaimButtonA(claim.owner, claim.held);
    EXPECT_EQ(hostButtonAOwner(), c.owner);
    const bool held = (static_cast<uint16_t>(hostGameKeyState(buttonA)) & 0x8000u) != 0;
    EXPECT_EQ(held, c.held);
    hostEnable(false);
  }
  hostResetForTests();
}

TEST(HostButtonA, AClaimLastsOnePassOnly) {
  hostResetForTests();
  hostEnable(true);
  hostClaimButtonA(HostButtonOwner::kAutoContinue, true);
  ASSERT_EQ(hostButtonAOwner(), HostButtonOwner::kAutoContinue);
  hostAfterPass(HostView{HostScene::kTitle, 0, nullptr, 0, 1});
  EXPECT_EQ(hostButtonAOwner(), HostButtonOwner::kPeople) << "not claimed again after the pass";
  hostEnable(false);
  hostResetForTests();
}

// --- The features' hooks.

int started;
int finished;
int observed;
void countStart(const HostView &) { ++started; }
void countFinish(const HostView &) { ++finished; }
void countPass(const HostView &) { ++observed; }

TEST(HostFeatures, AMatchStartsAndFinishesOnceEach) {
  const HostFeature counter = {.name = "counter",
                               .observe = countPass,
                               .matchStarted = countStart,
                               .matchFinished = countFinish,
                               .overlay = nullptr,
                               .overlayOrder = 0,
                               .caption = nullptr,
                               .readSetting = nullptr,
                               .writeSettings = nullptr,
                               .settingRows = nullptr,
                               .settingRowCount = 0,
                               .finish = nullptr,
                               .reset = nullptr};
  hostResetForTests();
  ASSERT_TRUE(hostAddFeature(&counter));
  started = finished = observed = 0;
  MatchState state{};
  const HostView views[] = {
      {HostScene::kReady, 0, &state, 0, 1},
      {HostScene::kMatch, kMatchStarting, &state, 0, 1},
      {HostScene::kMatch, kMatchAnnounce, &state, 0, 1},
      {HostScene::kMatch, kMatchFinished, &state, 0, 1},
      {HostScene::kMatch, kMatchFinished, &state, 0, 1},
      {HostScene::kMatch, kMatchEndScreen, &state, 0, 1},
      {HostScene::kTitle, 0, nullptr, 0, 1},
      {HostScene::kMatch, kMatchStarting, &state, 0, 1},
  };
  for (const HostView &view : views) hostAfterPass(view);
  EXPECT_EQ(started, 2) << "two matches began";
  EXPECT_EQ(finished, 1) << "one match finished, seen on two passes";
  EXPECT_EQ(observed, 8) << "every pass observed";
  hostRemoveFeature(&counter);
  hostResetForTests();
}

// --- The game's sounds pass through the host, which can hold them back.

TEST(HostSound, ASilencedGameMakesNoSoundAndTheHostOffPassesThrough) {
  struct Case {
    const char *name;
    bool hostOn;
    bool silenced;
    int sounds;
  };
  const Case cases[] = {
      {"host on, not silenced: the confirmation sounds", true, false, 1},
      {"host on, silenced (a match played again fast): nothing", true, true, 0},
      {"host off: the game's own call, whatever was asked", false, true, 1},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    HostDriver d;
    d.start();
    setSoundEnabled(1);
    hostEnable(c.hostOn);
    hostSilenceGame(c.silenced);
    int ids[16];
    (void)headlessTakeSounds(ids, 16);
    d.press(VK_RETURN, 1);  // START on the title
    EXPECT_EQ(headlessTakeSounds(ids, 16), c.sounds);
    hostSilenceGame(false);
    d.finish();
  }
}

// --- The backends' side: platform/common/host_link.h.

TEST(HostLink, BackendsAreAnsweredAsTheGameAloneUnlessTheHostIsOn) {
  struct Case {
    const char *name;
    bool linked;
    bool hostOn;
    bool minimiseTaken;
  };
  const Case cases[] = {
      {"no host linked: a minimise is the game's (it ends)", false, false, false},
      {"the host linked but off: the game's too", true, false, false},
      {"the host on: a minimise pauses instead", true, true, true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    hostResetForTests();
    hostEnable(c.hostOn);
    if (!c.linked) platformSetHostLink(nullptr);
    EXPECT_EQ(platformWindowMinimized(true), c.minimiseTaken);
    EXPECT_EQ(hostPaused(), c.minimiseTaken);
    EXPECT_FALSE(platformWindowMinimized(false)) << "a restore is always the window's too";
    EXPECT_FALSE(hostPaused());
    hostEnable(false);
  }
  hostResetForTests();
}

TEST(HostLink, TheHostPushesItsVolumeDownEveryPass) {
  hostResetForTests();
  hostEnable(true);
  EXPECT_EQ(platformVolume(), 10);
  hostSettings().volume = 3;  // as the Settings page changes it
  hostAfterPass(HostView{HostScene::kTitle, 0, nullptr, 0, 1});
  EXPECT_EQ(platformVolume(), 3);
  hostEnable(false);
  hostResetForTests();
  EXPECT_EQ(platformVolume(), 10);
}

}  // namespace
