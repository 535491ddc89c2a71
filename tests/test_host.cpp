// The host around the game: a pause that leaves no trace in the game, a
// closing press that never reaches it, Quit game ending as QUIT does, and
// hints that keep clear of what the player watches.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/scene.h"
#include "game/match.h"
#include "host/book.h"
#include "host/host.h"
#include "host/host_internal.h"
#include "host/player_book.h"
#include "host/seats.h"
#include "host_driver.h"
#include "platform/headless/headless.h"
#include "replay_runner.h"
#include "screens/screens.h"

namespace {

std::string makeWorkDir(const std::string &name) { return replayWorkDir("host-work", name); }

ReplayRun runScript(const std::string &name, const std::string &script,
                    const std::string &options = "") {
  return runScriptIn("host-work", name, script, options);
}

// From the title to the first announcement of a one-player "301", the clock
// stepping 16 ms a pass.
const char kToMatch[] =
    "host on\nclock 100000\n"
    "run 14\nkey 0x0D\nwait 0\nrun 14\nkey 0x0D\nwait 0\n"
    "run 14\nkey 0x0D\nwait 0\nrun 14\nkey 0x0D\nwait 0\nrun 20\n";
// One press of A, then time enough for the next to count.
const char kPress[] = "hold 0x0D\nrun 1\nrelease 0x0D\nrun 14\n";

// A whole dart from its announcement; `pause` goes in at `at` (0 to 5: on
// the announcement, aiming, gauge ready, climbing, falling, in flight).
std::string dart(int at, const std::string &pause) {
  std::string s;
  const char *const waits[] = {"run 3\n", "run 7\n", "run 2\n", "run 9\n", "run 4\n", "run 5\n"};
  for (int step = 0; step < 6; ++step) {
    if (step > 0) s += kPress;
    s += waits[step];
    if (step == at) s += pause;
  }
  return s + "wait 8\ndump\nrun 200\n" + kPress;
}

// Ten seconds of menu at 16 ms a pass, opened and closed by F1.
const char kTenSeconds[] = "key 112\nrun 625\nkey 112\nrun 1\n";

TEST(HostPause, TenSecondsOfMenuChangeNoLandingAndNoPassCount) {
  const std::string plain = std::string(kToMatch) + dart(-1, "") + dart(-1, "");
  const ReplayRun reference = runScript("reference", plain);
  ASSERT_EQ(reference.status, 0) << reference.errors;
  ASSERT_EQ(reference.lines.size(), 3u);

  struct Case {
    const char *name;
    int at;
  };
  const Case cases[] = {
      {"menu on the announcement", 0},   {"menu while aiming", 1},
      {"menu with the gauge ready", 2},  {"menu while the power climbs", 3},
      {"menu while the power falls", 4}, {"menu mid-flight", 5},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const std::string script = std::string(kToMatch) + dart(c.at, kTenSeconds) + dart(-1, "");
    const ReplayRun run = runScript("pause", script);
    ASSERT_EQ(run.status, 0) << run.errors;
    ASSERT_EQ(run.lines.size(), 3u);
    for (size_t d = 0; d < 2; ++d) {
      // The game's clock moves 16 ms with each of its passes: the same clock
      // at a landing is the same number of passes.
      EXPECT_EQ(field(run.lines[d], "match"), field(reference.lines[d], "match")) << "dart " << d;
      EXPECT_EQ(field(run.lines[d], "gameClock"), field(reference.lines[d], "gameClock"))
          << "dart " << d;
      EXPECT_EQ(
          std::stoll(field(run.lines[d], "clock")) - std::stoll(field(reference.lines[d], "clock")),
          626 * 16)
          << "the menu stayed open ten seconds";
    }
  }
}

TEST(HostPause, ThePressThatClosesTheMenuNeverThrows) {
  // Resume chosen with A while aiming; A stays held well past the button
  // gap, then is pressed again.
  const std::string script = std::string(kToMatch) + kPress +
                             "run 5\nkey 112\nrun 2\nhold 0x0D\nkey 0x0D\nrun 40\ndump\n"
                             "release 0x0D\nrun 1\nhold 0x0D\nrun 1\ndump\nrelease 0x0D\n";
  expectDumps(runScript("closing-press", script),
              {"sceneStep=3 menu=0 paused=0", "sceneStep=4 menu=0"});
}

TEST(HostMenu, QuitGameSavesTheSettingsAndExitsZero) {
  // Up from Resume wraps to "Quit...", whose first row at the title is
  // Quit game; its confirmation starts on No.
  const std::string script =
      "host on\nrun 30\nkey 112\nrun 2\nkey 0x26\nrun 1\nkey 0x0D\nrun 1\nkey 0x0D\nrun 1\ndump\n"
      "key 0x26\nrun 1\nkey 0x0D\nrun 5\ndump\n";
  const std::string dir = makeWorkDir("quit-game");
  std::ofstream(dir + "/script.txt") << script;
  const ReplayRun run = runReplay(dir, "--registry reg script.txt");
  expectDumps(run, {"page=quit-game paused=1", "framesEnabled=0"});
  EXPECT_FALSE(readAll(dir + "/reg/settings").empty()) << "the game's settings were saved";
  EXPECT_NE(readAll(dir + "/reg/host").find("volume 10"), std::string::npos)
      << "the host's settings were saved beside them";
}

TEST(HostMenu, TapsChooseRowsAndQuitToTitleOnlyInAMatch) {
  // The menu's panel is centred: its six rows in a match (Resume, Players,
  // "Player book...", How to play, Settings, "Quit...") start at y 115, 20
  // apart; at the title "Play..." after Resume makes seven, from y 105.
  // "Quit..." in a match has two rows from y 147 (Quit to title, Quit game),
  // at the title one from y 157 (Quit game); a tap below them, on "B: back",
  // goes back. A confirmation's Yes and No are at y 92 and 112.
  const std::string script = std::string(kToMatch) +
                             "key 112\nrun 2\ntap 120 223\nrun 1\ndump\n"  // Quit...
                             "tap 120 155\nrun 1\ndump\n"                  // Quit to title
                             "tap 120 100\nrun 1\nrun 30\ndump\n"          // Yes
                             "key 112\nrun 2\ntap 120 233\nrun 1\n"        // Quit...
                             "tap 120 165\nrun 1\ndump\n"                  // now Quit game
                             "tap 120 120\nrun 1\ndump\n"                  // No
                             "tap 120 290\nrun 1\ndump\n"                  // back
                             "tap 120 115\nrun 1\ndump\n";                 // Resume
  expectDumps(
      runScript("taps", script),
      {"page=quit scene=MatchScene", "page=quit-title scene=MatchScene", "scene=TitleScene menu=0",
       "page=quit-game", "page=quit", "page=menu", "menu=0 paused=0"});
}

TEST(HostMenu, F1IsNeverBoundOnTheOptionScreen) {
  // The option screen waits for BUTTON C's new key; F1 opens the menu
  // instead, and Escape there closes it without reaching the game.
  const std::string script =
      "host on\nclock 100000\nrun 14\nkey 0x28\nrun 14\n"
      "key 0x0D\nwait 0\nwait 2\nrun 14\ntap 20 260\nrun 1\n"
      "key 112\nrun 2\ndump\nkey 0x1B\nrun 2\nkey 0x58\nrun 14\ndump\n";
  expectDumps(runScript("f1-unbound", script),
              {"scene=OptionScene menu=1 ButtonC=67", "menu=0 ButtonC=88"});
}

// WCAG relative luminance and contrast of two of the host's colours.
double luminance(HostColour c) {
  auto channel = [](uint8_t v) {
    const double x = v / 255.0;
    return x <= 0.04045 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(c.r) + 0.7152 * channel(c.g) + 0.0722 * channel(c.b);
}

TEST(HostLayer, EveryTextColourReadsAtSevenToOneOnThePanel) {
  struct Case {
    const char *name;
    HostColour text;
  };
  const Case cases[] = {
      {"plain text", kTextColour}, {"the chosen row", kChosenColour}, {"notes", kQuietColour}};
  for (const Case &c : cases) {
    const double a = luminance(c.text) + 0.05, b = luminance(kPanelColour) + 0.05;
    EXPECT_GE(a > b ? a / b : b / a, 7.0) << c.name;
  }
}

// --- Hints, in the same process: the hint's box against every pointer and
// marker drawn over a whole played match.

struct Rect {
  int32_t x, y, w, h;
};
bool overlap(const HostRect &a, const Rect &b) {
  return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

TEST(HostHints, NeverCoverThePointerTheGaugeOrTheScoreboard) {
  headlessReset();
  headlessClearMemoryRegistry();
  headlessSetRegistryDir(nullptr);
  int code = 0;
  ASSERT_TRUE(appStart(GetModuleHandleW(nullptr), SW_SHOW, &code));
  hostResetForTests();
  hostEnable(true);
  hostStart();
  hostForceHints(true);
  headlessSetClock(100000);
  auto pass = [&] {
    const bool running = appPass(&code);
    headlessAdvanceClock(16);
    return running;
  };
  for (int screen = 0; screen < 4; ++screen) {
    for (int i = 0; i < 20; ++i) pass();
    headlessKey(VK_RETURN);
    for (int i = 0; i < 200 && sceneStep != 0; ++i) pass();
  }
  // Seven rounds of "301" at most (a bust ends a turn early): A pressed
  // every 23 passes, so aims, peaks and releases spread over the board.
  int hinted = 0;
  for (int i = 0; i < 20000 && hostLastView().scene != HostScene::kTitle; ++i) {
    headlessHold(VK_RETURN, i % 23 == 0);
    ASSERT_TRUE(pass());
    const HostView &view = hostLastView();
    HostRect box;
    if (!hintBox(view, &box)) continue;
    ++hinted;
    const Rect watched[] = {
        {match.aimX, 0, 16, 16},                                             // pointer
        {gaugeArcX[match.gaugeIndex], gaugeArcY[match.gaugeIndex], 16, 16},  // marker
        {gaugeArcX[match.gaugePeak], gaugeArcY[match.gaugePeak], 16, 16},    // peak marker
        {8, 112, 224, 112},                                                  // the arc
        {40, 112, 160, 144},                                                 // thrower and dart
        {0, 254, 240, 66},                                                   // scoreboard
    };
    const bool gauge = view.sceneStep >= kMatchGaugeReady && view.sceneStep <= kMatchPowerFalls;
    for (const Rect &r : watched) {
      if (&r != &watched[0] && &r != &watched[5] && !gauge) continue;
      ASSERT_FALSE(overlap(box, r)) << "step " << view.sceneStep << " hint at " << box.x << ","
                                    << box.y << " over " << r.x << "," << r.y;
    }
  }
  EXPECT_GT(hinted, 1000) << "the match was played with hints";
  headlessHold(VK_RETURN, false);
  headlessClose();
  for (int i = 0; i < 100 && pass();) ++i;
  hostEnable(false);
  hostResetForTests();
}

// --- Button A after the menu, on every screen: the press that closes the
// menu is the menu's, and the next one is the screen's again.

// Each screen reached from the title by keys, the way a person goes there.
void toGameSelect(HostDriver &d) {
  d.press(VK_RETURN);
  ASSERT_TRUE(d.reach(HostScene::kGameSelect, kSetupChoosing));
  d.run(14);
}
void toPlayerSelect(HostDriver &d) {
  toGameSelect(d);
  d.press(VK_RETURN);
  ASSERT_TRUE(d.reach(HostScene::kPlayerSelect, kSetupChoosing));
  d.run(14);
}
void toReady(HostDriver &d) {
  toPlayerSelect(d);
  d.press(VK_RETURN);
  ASSERT_TRUE(d.reach(HostScene::kReady, kSetupChoosing));
  d.run(14);
}
void toOption(HostDriver &d) {
  d.press(VK_DOWN);
  d.press(VK_RETURN);
  ASSERT_TRUE(d.reach(HostScene::kOption, kOptionIdle));
  d.run(14);
}
void toAbout(HostDriver &d) {
  d.press(VK_DOWN);
  d.press(VK_DOWN);
  d.press(VK_RETURN);
  ASSERT_TRUE(d.reach(HostScene::kAbout, kAboutShowing));
  d.run(14);
}
// A one-player "301" thrown with A every 20 passes until it is over.
void toMatchOver(HostDriver &d) {
  toReady(d);
  d.press(VK_RETURN);
  ASSERT_TRUE(d.reach(HostScene::kMatch, kMatchAnnounce));
  for (int i = 0; i < 2000 && sceneStep != kMatchFinished; ++i) d.press(VK_RETURN, 19);
  ASSERT_TRUE(d.reach(HostScene::kMatch, kMatchFinished));
  d.run(14);
}
void toEndScreen(HostDriver &d) {
  toMatchOver(d);
  d.press(VK_RETURN);
  ASSERT_TRUE(d.reach(HostScene::kMatch, kMatchEndShown));
  d.run(14);
}

TEST(HostMenuClosed, TheNextPressOfAActsOnEveryScreen) {
  struct Screen {
    const char *name;
    void (*reach)(HostDriver &);
  };
  const Screen screens[] = {
      {"the title", [](HostDriver &) {}}, {"SELECT GAME", toGameSelect},
      {"SELECT PLAYER", toPlayerSelect},  {"the ready screen", toReady},
      {"the option screen", toOption},    {"the about screen", toAbout},
      {"the match over", toMatchOver},    {"the end screen", toEndScreen},
  };
  struct Closing {
    const char *name;
    void (*close)(HostDriver &);
  };
  const Closing closings[] = {
      {"Resume chosen with A", [](HostDriver &d) { d.press(VK_RETURN, 0); }},
      {"F1", [](HostDriver &d) { d.press(VK_F1, 0); }},
      {"Escape", [](HostDriver &d) { d.press(VK_ESCAPE, 0); }},
  };
  for (const Screen &screen : screens) {
    for (const Closing &closing : closings) {
      SCOPED_TRACE(std::string(screen.name) + ", menu closed by " + closing.name);
      HostDriver d;
      d.start();
      screen.reach(d);
      const HostScene scene = hostLastView().scene;
      const int32_t step = sceneStep;
      d.press(VK_F1, 2);
      ASSERT_TRUE(hostMenuOpen());
      closing.close(d);
      d.run(14);
      ASSERT_FALSE(hostMenuOpen());
      EXPECT_EQ(hostLastView().scene, scene) << "closing the menu changed nothing";
      EXPECT_EQ(sceneStep, step) << "closing the menu changed nothing";
      d.press(VK_RETURN, 2);
      EXPECT_TRUE(hostLastView().scene != scene || sceneStep != step) << "the next A did nothing";
      d.finish();
    }
  }
}

TEST(HostMenuClosed, AfterYesOnQuitToTitleTheNextAActs) {
  HostDriver d;
  d.start();
  toReady(d);
  d.press(VK_RETURN);
  ASSERT_TRUE(d.reach(HostScene::kMatch, kMatchAnnounce));
  // Up from Resume wraps to "Quit...", whose first row in a match is Quit
  // to title; its confirmation starts on No.
  d.press(VK_F1, 1);
  for (int vk : {VK_UP, VK_RETURN, VK_RETURN, VK_UP}) d.press(vk, 1);
  ASSERT_STREQ(hostPageName(), "quit-title");
  d.press(VK_RETURN, 0);
  ASSERT_TRUE(d.reach(HostScene::kTitle, kTitleChoosing));
  d.run(14);
  d.press(VK_RETURN, 2);
  EXPECT_EQ(sceneStep, kTitleStartChosen) << "A on START after the menu";
  d.finish();
}

// --- A name edit left unfinished on the Players page ends with the menu.

TEST(PlayersPage, AnEditLeftOpenIsDroppedWhenTheMenuCloses) {
  struct Case {
    const char *name;
    void (*close)(HostDriver &);
  };
  const Case cases[] = {
      {"closed by F1", [](HostDriver &d) { d.press(VK_F1, 1); }},
      {"closed by the pad's Back",
       [](HostDriver &d) {
         PostMessageW(mainWindow, WM_TOBELYN_MENU, 0, 0);
         d.run(1);
       }},
      {"closed by the page's Menu button",
       [](HostDriver &d) {
         // The browser page posts the same message as the pad.
         PostMessageW(mainWindow, WM_TOBELYN_MENU, 0, 0);
         d.run(1);
       }},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    HostDriver d;
    d.start();
    // At the title Players is two rows below Resume, after "Play...". A on
    // seat 1 starts its edit, and "ZZ" is typed.
    d.press(VK_F1, 1);
    for (int vk : {VK_DOWN, VK_DOWN, VK_RETURN, VK_RETURN, int{'Z'}, int{'Z'}}) d.press(vk, 1);
    ASSERT_STREQ(hostPageName(), "players");
    c.close(d);
    ASSERT_FALSE(hostMenuOpen());
    EXPECT_STREQ(hostSeatName(0), "PLAYER 1") << "the abandoned edit is dropped";
    // Opened again: A on Resume closes it, and letters and Escape reach no
    // edit.
    d.press(VK_F1, 1);
    d.press(VK_RETURN, 1);
    EXPECT_FALSE(hostMenuOpen()) << "A on Resume closed the menu";
    d.press(VK_F1, 1);
    for (int vk : {int{'Q'}, VK_ESCAPE}) d.press(vk, 1);
    EXPECT_FALSE(hostMenuOpen()) << "Escape closed the menu";
    EXPECT_STREQ(hostSeatName(0), "PLAYER 1");
    d.finish();
  }
}

TEST(PlayersPage, AnEditLeftForAnotherPageIsDroppedToo) {
  HostDriver d;
  d.start();
  d.press(VK_F1, 1);
  for (int vk : {VK_DOWN, VK_DOWN, VK_RETURN, VK_RETURN, int{'Z'}, int{'Z'}}) d.press(vk, 1);
  ASSERT_STREQ(hostPageName(), "players");
  // A page opened over it by name, as another page would: a letter and
  // Escape are the menu's now, not the edit's.
  hostOpenPage("menu");
  d.press('Z', 1);
  d.press(VK_ESCAPE, 1);
  EXPECT_FALSE(hostMenuOpen()) << "Escape closed the menu";
  EXPECT_STREQ(hostSeatName(0), "PLAYER 1");
  d.finish();
}

// --- The Statistics page: figures worked out when it opens or the book
// changes, and Landing map first each time it opens.

int64_t fixedClock() { return 1796644800; }

// A "301" match of ANNA alone, three darts, finished or not.
void addAnnasMatch(Book *book, int32_t points) {
  BookMatch m;
  m.time = 1796644800;
  m.players = 1;
  m.rounds = 1;
  m.seats[0].name = "ANNA";
  m.seats[0].darts = 3;
  m.seats[0].points = points;
  m.seats[0].final = 301 - points;
  std::vector<BookDart> darts(3);
  for (int i = 0; i < 3; ++i) {
    darts[i].name = "ANNA";
    darts[i].dart = i + 1;
    darts[i].aimX = 112;
    darts[i].x = 120;
    darts[i].y = 40 + 60 * i;
  }
  bookAddMatch(book, m, darts);
}

std::vector<uint16_t> frameNow() {
  const uint16_t *frame = headlessFrame();
  return std::vector<uint16_t>(frame, frame + kLayerWidth * kLayerHeight);
}

// From the title's menu: Resume, "Play...", Players, "Player book...", then
// its Records and Statistics.
void openStatistics(HostDriver &d) {
  d.press(VK_F1, 1);
  for (int vk : {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN, VK_DOWN, VK_RETURN}) d.press(vk, 1);
  ASSERT_STREQ(hostPageName(), "stats");
}

TEST(HostStatistics, FiguresAreWorkedOutWhenThePageOpensOrTheBookChanges) {
  HostDriver d;
  d.start();
  hostBookOpen(nullptr, fixedClock);
  Book book;
  addAnnasMatch(&book, 60);
  hostBookReplace(book);
  openStatistics(d);
  d.run(2);
  const std::vector<uint16_t> opened = frameNow();
  // Changed behind the page's back, the book is not looked at again on
  // each frame: the page shows what it worked out when it opened.
  addAnnasMatch(&hostBookForPages(), 180);
  d.run(2);
  EXPECT_EQ(frameNow(), opened) << "the figures were worked out again on a frame";
  // A change the book announces is shown at once.
  hostBookChangedByPages();
  d.run(2);
  EXPECT_NE(frameNow(), opened) << "the figures follow a change of the book";
  d.finish();
}

TEST(HostStatistics, ThePageOpensOnLandingMapEveryTime) {
  struct Case {
    const char *name;
    std::vector<int> keys;  // on the Statistics page, before it opens again
  };
  const Case cases[] = {
      {"after No on Reset player?", {VK_DOWN, VK_DOWN, VK_RETURN, VK_RETURN}},
      {"after No on Reset all?", {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN, VK_RETURN}},
      {"after B from Recent matches", {VK_DOWN, VK_RETURN, VK_ESCAPE}},
      {"after B from the landing map", {VK_RETURN, VK_ESCAPE}},
      {"after the menu and back", {VK_DOWN, VK_ESCAPE, VK_RETURN}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    HostDriver d;
    d.start();
    hostBookOpen(nullptr, fixedClock);
    Book book;
    addAnnasMatch(&book, 60);
    hostBookReplace(book);
    openStatistics(d);
    for (int vk : c.keys) d.press(vk, 1);
    ASSERT_STREQ(hostPageName(), "stats");
    d.press(VK_RETURN, 1);
    EXPECT_STREQ(hostPageName(), "landing") << "A on the first row";
    d.finish();
  }
}

}  // namespace
