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
#include "host/host.h"
#include "host/host_internal.h"
#include "platform/headless/headless.h"
#include "replay_runner.h"

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
  // Up from Resume wraps to Quit game; its confirmation starts on No.
  const std::string script =
      "host on\nrun 30\nkey 112\nrun 2\nkey 0x26\nrun 1\nkey 0x0D\nrun 1\ndump\n"
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
  // Rows start at y 52, 28 apart: Resume, How to play, Settings, Quit to
  // title (in a match only), Records, Statistics, Players, Quit game.
  const std::string script = std::string(kToMatch) +
                             "key 112\nrun 2\ntap 120 148\nrun 1\ndump\n"  // Quit to title
                             "tap 120 116\nrun 1\nrun 30\ndump\n"          // Yes
                             "key 112\nrun 2\ntap 120 228\nrun 1\ndump\n"  // now Quit game
                             "tap 120 144\nrun 1\ndump\n"                  // No
                             "tap 120 60\nrun 1\ndump\n";                  // Resume
  expectDumps(runScript("taps", script),
              {"page=quit-title scene=MatchScene", "scene=TitleScene menu=0", "page=quit-game",
               "page=menu", "menu=0 paused=0"});
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

TEST(HostSettingsFile, DamagedOrOutOfRangeLinesKeepTheDefaults) {
  struct Case {
    const char *name;
    const char *text;
    int32_t volume, hints, hintsChosen, matchesFinished;
  };
  const Case cases[] = {
      {"a whole file", "volume 4\nhints 0\nhintsChosen 1\nmatchesFinished 7\n", 4, 0, 1, 7},
      {"a volume past 10 is 10", "volume 99\n", 10, 1, 0, 0},
      {"negative numbers are 0", "volume -3\nmatchesFinished -8\n", 0, 1, 0, 0},
      {"unknown names and words are skipped", "colour 3\nvolume loud\nhints\n", 10, 1, 0, 0},
      {"no line feed at the end", "volume 2", 2, 1, 0, 0},
  };
  const std::string dir = makeWorkDir("settings-file");
  headlessSetRegistryDir(dir.c_str());
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    std::ofstream(dir + "/host", std::ios::trunc) << c.text;
    hostResetForTests();
    hostReadSettings();
    const HostSettings &s = hostSettings();
    EXPECT_EQ(s.volume, c.volume);
    EXPECT_EQ(s.hints, c.hints);
    EXPECT_EQ(s.hintsChosen, c.hintsChosen);
    EXPECT_EQ(s.matchesFinished, c.matchesFinished);
  }
  headlessSetRegistryDir(nullptr);
  hostResetForTests();
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

}  // namespace
