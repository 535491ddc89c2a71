// The seats' assists, played through the real program pass by pass: at a
// slower pace the game sees the same passes, clock and presses as at full
// pace, only spread over more platform passes; auto-continue presses for
// its own seat at its announcement and result and nowhere else.
#include <gtest/gtest.h>

#include <vector>

#include "game/match.h"
#include "host/assist.h"
#include "host/book.h"
#include "host/host_internal.h"
#include "host/player_book.h"
#include "host/seats.h"
#include "host_driver.h"
#include "screens/screens.h"

namespace {

// Platform passes until one game pass has run; how many it took.
int gamePass(HostDriver &d) {
  int passes = 0;
  for (;;) {
    const bool held = hostPassHeld();
    d.pass();
    ++passes;
    if (!held) return passes;
  }
}

void gamePasses(HostDriver &d, int n) {
  for (int i = 0; i < n; ++i) gamePass(d);
}

// A press of A as the game sees it: down for one game pass, then up.
void gamePress(HostDriver &d) {
  headlessHold(VK_RETURN, true);
  headlessKey(VK_RETURN);
  gamePass(d);
  headlessHold(VK_RETURN, false);
}

// From the title to the first announcement of a "301" for this many
// players, the seats set up first.
void toAnnouncement(HostDriver &d, int players = 1) {
  d.press(VK_RETURN);
  ASSERT_TRUE(d.reach(HostScene::kGameSelect, kSetupChoosing));
  d.run(14);
  d.press(VK_RETURN);
  ASSERT_TRUE(d.reach(HostScene::kPlayerSelect, kSetupChoosing));
  d.run(14);
  for (int i = 1; i < players; ++i) d.press(VK_DOWN);
  d.press(VK_RETURN);
  ASSERT_TRUE(d.reach(HostScene::kReady, kSetupChoosing));
  d.run(14);
  // Let go at once: auto-continue's wait counts from the announcement.
  d.press(VK_RETURN, 0);
  ASSERT_TRUE(d.reach(HostScene::kMatch, kMatchAnnounce));
}

struct Landing {
  int32_t aimX, peak, release, score, sector;
  DWORD clock;  // the game's clock when the result shows, from the announcement
  bool operator==(const Landing &) const = default;
};

// One dart with presses a number of game passes apart: the announcement
// left, the pointer fixed after `aim`, the climb started, the peak after
// `climb`, the release after `fall` (each more than the game's 200 ms gap
// between presses).
Landing throwDart(int32_t pace, int aim, int climb, int fall) {
  HostDriver d;
  d.start();
  hostSetSeatAssist(0, pace);
  toAnnouncement(d);
  const DWORD start = hostGameTime();
  gamePasses(d, 14);
  gamePress(d);
  EXPECT_TRUE(d.reach(HostScene::kMatch, kMatchAimSlide));
  gamePasses(d, aim);
  gamePress(d);
  gamePasses(d, 14);
  gamePress(d);
  gamePasses(d, climb);
  gamePress(d);
  gamePasses(d, fall);
  gamePress(d);
  EXPECT_TRUE(d.reach(HostScene::kMatch, kMatchResult, 400));
  const Landing l{match.aimX,       match.gaugePeak, match.gaugeRelease,
                  match.throwScore, match.hitSector, hostGameTime() - start};
  d.finish();
  return l;
}

TEST(Assist, TheSamePressesInGamePassesLandTheSameDartAtEveryPace) {
  struct Case {
    const char *name;
    int aim, climb, fall;
  };
  const Case cases[] = {
      {"pointer fixed early, a short climb", 14, 20, 14},
      {"pointer turned at the right edge", 40, 30, 25},
      {"a long climb and fall", 30, 65, 60},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const Landing full = throwDart(kPaceFull, c.aim, c.climb, c.fall);
    EXPECT_EQ(throwDart(kPaceHalf, c.aim, c.climb, c.fall), full) << "1/2 pace";
    EXPECT_EQ(throwDart(kPaceThird, c.aim, c.climb, c.fall), full) << "1/3 pace";
  }
}

// The pointer's place (or the gauge's) after each platform pass of the aim
// (or the climb), from the first pass of that step.
std::vector<int32_t> movesOver(int32_t pace, bool gauge, int platformPasses,
                               std::vector<DWORD> *clocks = nullptr) {
  HostDriver d;
  d.start();
  hostSetSeatAssist(0, pace);
  toAnnouncement(d);
  gamePasses(d, 14);
  gamePress(d);
  EXPECT_TRUE(d.reach(HostScene::kMatch, kMatchAimSlide));
  if (gauge) {
    gamePasses(d, 14);
    gamePress(d);
    gamePasses(d, 14);
    gamePress(d);
    EXPECT_EQ(sceneStep, kMatchPowerClimbs);
  }
  std::vector<int32_t> places;
  for (int i = 0; i <= platformPasses; ++i) {
    places.push_back(gauge ? match.gaugeIndex : match.aimX);
    if (clocks != nullptr) clocks->push_back(hostGameTime());
    d.pass();
  }
  d.finish();
  return places;
}

TEST(Assist, AfterPaceTimesKPlatformPassesThePointerAndGaugeStandWhereKLeftThem) {
  struct Case {
    const char *name;
    int32_t pace;
    bool gauge;
  };
  const Case cases[] = {
      {"pointer at 1/2 pace", kPaceHalf, false},
      {"pointer at 1/3 pace", kPaceThird, false},
      {"gauge at 1/2 pace", kPaceHalf, true},
      {"gauge at 1/3 pace", kPaceThird, true},
  };
  constexpr int kPasses = 60;  // far enough to turn at an edge or the top
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<int32_t> full = movesOver(kPaceFull, c.gauge, kPasses);
    const std::vector<int32_t> slow = movesOver(c.pace, c.gauge, c.pace * kPasses);
    for (int k = 0; k <= kPasses; ++k) EXPECT_EQ(slow[c.pace * k], full[k]) << "k=" << k;
    // Moved at a steady pace: never by more than one step a game pass.
    int changes = 0;
    for (size_t i = 1; i < slow.size(); ++i) changes += slow[i] != slow[i - 1];
    EXPECT_LE(changes, kPasses);
  }
}

TEST(Assist, TheGameClockCountsOnlyGamePasses) {
  struct Case {
    const char *name;
    int32_t pace;
  };
  const Case cases[] = {
      {"full pace", kPaceFull},
      {"1/2 pace", kPaceHalf},
      {"1/3 pace", kPaceThird},
  };
  constexpr int kGamePasses = 30;
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<DWORD> clocks;
    movesOver(c.pace, false, c.pace * kGamePasses, &clocks);
    // The driver's platform pass is 16 ms; the game sees 16 ms a game pass.
    EXPECT_EQ(clocks.back() - clocks.front(), static_cast<DWORD>(16 * kGamePasses));
  }
}

TEST(Assist, APressOnAHeldPassReachesTheGameOnItsNextPass) {
  struct Case {
    const char *name;
    int32_t pace;
    int heldPassesFirst;  // held passes let by before the press
  };
  const Case cases[] = {
      {"1/2 pace, the held pass", kPaceHalf, 0},
      {"1/3 pace, the first held pass", kPaceThird, 0},
      {"1/3 pace, the second held pass", kPaceThird, 1},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    HostDriver d;
    d.start();
    hostSetSeatAssist(0, c.pace);
    toAnnouncement(d);
    gamePasses(d, 14);
    gamePress(d);
    ASSERT_TRUE(d.reach(HostScene::kMatch, kMatchAimSlide));
    gamePasses(d, 20);
    for (int i = 0; i < c.heldPassesFirst; ++i) d.pass();
    ASSERT_TRUE(hostPassHeld());
    const int32_t aimAtPress = match.aimX;
    // Down and up within the one held pass.
    headlessHold(VK_RETURN, true);
    headlessKey(VK_RETURN);
    d.pass();
    headlessHold(VK_RETURN, false);
    while (hostPassHeld()) d.pass();
    d.pass();
    EXPECT_EQ(sceneStep, kMatchGaugeReady) << "the press fixed the pointer";
    EXPECT_EQ(match.aimX, aimAtPress) << "where it stood when pressed";
    d.finish();
  }
}

// Which platform passes were held over a whole dart thrown with A every
// 20 game passes, by the step the game was at.
struct HeldSteps {
  int aiming = 0, other = 0;
};
HeldSteps heldOverADart(bool cpu, int32_t pace) {
  HostDriver d;
  d.start();
  hostSetSeatAssist(0, pace);
  if (cpu) hostSeat(0).cpuLevel = 3;
  toAnnouncement(d);
  HeldSteps held;
  bool started = false;
  for (int i = 0; i < 3000 && !(started && sceneStep == kMatchNextDart); ++i) {
    started = started || sceneStep != kMatchAnnounce;
    const int32_t step = sceneStep;
    if (hostPassHeld())
      (step >= kMatchAimSlide && step <= kMatchPowerFalls ? held.aiming : held.other)++;
    if (!cpu && i % 40 == 0) headlessHold(VK_RETURN, true);
    if (!cpu && i % 40 == 1) headlessHold(VK_RETURN, false);
    d.pass();
  }
  EXPECT_EQ(sceneStep, kMatchNextDart);
  d.finish();
  return held;
}

TEST(Assist, OnlyAPersonsAimAndGaugeAreSlowed) {
  struct Case {
    const char *name;
    bool cpu;
    int32_t pace;
    bool slowed;
  };
  const Case cases[] = {
      {"every assist off", false, kPaceFull, false},
      {"a person at 1/3 pace", false, kPaceThird, true},
      {"a computer seat set to 1/3 pace", true, kPaceThird, false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const HeldSteps held = heldOverADart(c.cpu, c.pace);
    EXPECT_EQ(held.aiming > 0, c.slowed);
    EXPECT_EQ(held.other, 0) << "announcement, flight and result at full pace";
  }
}

// --- Auto-continue.

struct AutoCase {
  const char *name;
  int players;
  bool autoOn[2];
  int32_t waitAt;     // the step waited at
  int32_t seatShown;  // whose step it is (the announced seat, or who threw)
  bool left;          // left by itself within 80 passes
};

TEST(AutoContinue, LeavesOnlyItsOwnSeatsAnnouncementAndResult) {
  const AutoCase cases[] = {
      {"own announcement", 1, {true, false}, kMatchAnnounce, 0, true},
      {"own result", 1, {true, false}, kMatchNextDart, 0, true},
      {"off: the announcement stays", 1, {false, false}, kMatchAnnounce, 0, false},
      {"off: the result stays", 1, {false, false}, kMatchNextDart, 0, false},
      {"another seat's announcement stays", 2, {false, true}, kMatchAnnounce, 0, false},
      {"the second seat's own announcement", 2, {false, true}, kMatchAnnounce, 1, true},
      {"the result of the turn's last dart is the thrower's",
       2,
       {true, false},
       kMatchNextDart,
       0,
       true},
      {"the other seat's last result stays", 2, {false, true}, kMatchNextDart, 0, false},
  };
  for (const AutoCase &c : cases) {
    SCOPED_TRACE(c.name);
    HostDriver d;
    d.start();
    hostSetSeatAutoContinue(0, c.autoOn[0]);
    hostSetSeatAutoContinue(1, c.autoOn[1]);
    toAnnouncement(d, c.players);
    // Darts thrown by hand until the step and seat wanted come: in a
    // two-player match the first seat's third dart ends its turn.
    int32_t thrower = 0;
    for (int dart = 0; dart < 8; ++dart) {
      const bool announced = sceneStep == kMatchAnnounce && match.currentPlayer == c.seatShown;
      const bool resulted = sceneStep == kMatchNextDart && thrower == c.seatShown &&
                            (c.players == 1 || match.currentPlayer != thrower);
      if ((c.waitAt == kMatchAnnounce && announced) || (c.waitAt == kMatchNextDart && resulted))
        break;
      if (sceneStep == kMatchAnnounce) {
        gamePasses(d, 14);
        gamePress(d);
      }
      thrower = match.currentPlayer;
      ASSERT_TRUE(d.reach(HostScene::kMatch, kMatchAimSlide));
      for (int press = 0; press < 4; ++press) {
        gamePasses(d, 14);
        gamePress(d);
      }
      ASSERT_TRUE(d.reach(HostScene::kMatch, kMatchNextDart, 600));
      gamePasses(d, 1);
      if (c.waitAt == kMatchNextDart && thrower == c.seatShown &&
          (c.players == 1 || match.currentPlayer != thrower))
        break;
      if (sceneStep == kMatchNextDart) {
        gamePasses(d, 14);
        gamePress(d);
      }
      ASSERT_TRUE(d.reach(HostScene::kMatch, kMatchAnnounce, 200));
    }
    ASSERT_EQ(sceneStep, c.waitAt);
    const int32_t before = sceneStep;
    d.run(50);
    EXPECT_EQ(sceneStep, before) << "still up after most of a second";
    d.run(30);
    EXPECT_EQ(sceneStep != before, c.left);
    d.finish();
  }
}

TEST(AutoContinue, NeverPressesWhileTheSeatAimsOrWorksTheGauge) {
  HostDriver d;
  d.start();
  hostSetSeatAutoContinue(0, true);
  hostSetSeatAssist(0, kPaceHalf);
  toAnnouncement(d);
  int aimingPasses = 0, autoPresses = 0;
  // Two darts left to auto-continue, pressed by hand only in the throw,
  // each press far apart (longer than auto-continue's wait).
  for (int i = 0; i < 4000 && match.dartIndex < 2; ++i) {
    const bool aiming = sceneStep >= kMatchAimSlide && sceneStep <= kMatchPowerFalls;
    if (aiming) {
      ++aimingPasses;
      EXPECT_NE(hostButtonAOwner(), HostButtonOwner::kAutoContinue) << "step " << sceneStep;
    }
    if (!aiming && hostButtonAOwner() == HostButtonOwner::kAutoContinue) ++autoPresses;
    headlessHold(VK_RETURN, aiming && i % 100 == 0);
    d.pass();
  }
  EXPECT_GT(aimingPasses, 300) << "the dart waited long in the aim and the gauge";
  EXPECT_EQ(match.dartIndex, 2);
  EXPECT_GE(autoPresses, 3) << "two announcements and a result left by auto-continue";
  d.finish();
}

// --- The host's file.

TEST(AssistSettings, EachSeatsAssistAndAutoContinueAreReadBack) {
  struct Case {
    const char *name;
    const char *line;
    int32_t seat;
    int32_t pace;
    bool autoOn;
  };
  const Case cases[] = {
      {"half pace", "seat2Assist 2", 1, kPaceHalf, false},
      {"a third", "seat4Assist 3", 3, kPaceThird, false},
      {"auto-continue on", "seat1AutoContinue 1", 0, kPaceFull, true},
      {"a pace out of range is full pace", "seat3Assist 7", 2, kPaceFull, false},
      {"no such seat", "seat5Assist 2", 0, kPaceFull, false},
      {"not a number", "seat1Assist half", 0, kPaceFull, false},
  };
  hostStart();
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    hostResetForTests();
    for (int i = 0; i < hostFeatureCount(); ++i)
      if (hostFeatureAt(i)->readSetting != nullptr) hostFeatureAt(i)->readSetting(c.line);
    EXPECT_EQ(hostSeatAssist(c.seat), c.pace);
    EXPECT_EQ(hostSeatAutoContinue(c.seat), c.autoOn);
  }
  hostResetForTests();
  hostSetSeatAssist(2, kPaceThird);
  hostSetSeatAutoContinue(3, true);
  std::string text;
  for (int i = 0; i < hostFeatureCount(); ++i)
    if (hostFeatureAt(i)->writeSettings != nullptr) hostFeatureAt(i)->writeSettings(text);
  EXPECT_NE(text.find("seat3Assist 3\n"), std::string::npos) << text;
  EXPECT_NE(text.find("seat4AutoContinue 1\n"), std::string::npos) << text;
  EXPECT_LT(text.find("seat4Level"), text.find("seat3Assist")) << "appended after the seats";
  EXPECT_EQ(text.find("seat1Assist"), std::string::npos) << "full pace is not written";
  EXPECT_EQ(text.find("seat1AutoContinue"), std::string::npos) << "nor auto-continue off";
  hostResetForTests();
}

}  // namespace

namespace {

// --- The Assists page, opened from the Players page.

void openAssistsPage(HostDriver &d) {
  for (int vk :
       {VK_F1, VK_DOWN, VK_DOWN, VK_RETURN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN})
    d.press(vk, 1);
}

TEST(AssistsPage, KeysChangeAPersonsSeatAndNeverAComputers) {
  struct Case {
    const char *name;
    std::vector<int> keys;  // after the page opens on seat 1's assist
    int32_t seat;
    int32_t pace;
    bool autoOn;
    const char *row;  // the chosen row as the page gives it
  };
  const Case cases[] = {
      {"Right: 1/2 pace", {VK_RIGHT}, 0, kPaceHalf, false, "Seat 1: 1/2 pace"},
      {"Right twice: 1/3 pace", {VK_RIGHT, VK_RIGHT}, 0, kPaceThird, false, "Seat 1: 1/3 pace"},
      {"Left from Off: round to 1/3", {VK_LEFT}, 0, kPaceThird, false, "Seat 1: 1/3 pace"},
      {"A on auto-continue", {VK_DOWN, VK_RETURN}, 0, kPaceFull, true, "  Auto-continue: on"},
      {"seat 2's pace", {VK_DOWN, VK_DOWN, VK_RIGHT}, 1, kPaceHalf, false, "Seat 2: 1/2 pace"},
      {"a computer's pace does not change",
       {VK_UP, VK_UP, VK_UP, VK_UP, VK_UP, VK_UP, VK_RIGHT},
       3,
       kPaceFull,
       false,
       "Seat 4: none (CPU)"},
      {"nor its auto-continue",
       {VK_UP, VK_UP, VK_UP, VK_UP, VK_UP, VK_RETURN},
       3,
       kPaceFull,
       false,
       "  Auto-continue: -"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    HostDriver d;
    d.start();
    hostSeat(3).cpuLevel = 2;
    openAssistsPage(d);
    ASSERT_STREQ(hostPageName(), "assists");
    for (int vk : c.keys) d.press(vk, 1);
    EXPECT_EQ(hostSeatAssist(c.seat), c.pace);
    EXPECT_EQ(hostSeatAutoContinue(c.seat), c.autoOn);
    HostRow rows[kHostRowsMax];
    const int32_t n = hostPageRows(rows, kHostRowsMax);
    ASSERT_EQ(n, 12) << "two rows a seat, then each seat's cues";
    std::string chosen;
    for (int32_t i = 0; i < n; ++i)
      if (rows[i].chosen) chosen = std::string(rows[i].label) + ": " + rows[i].value;
    EXPECT_EQ(chosen, c.row);
    d.press(VK_ESCAPE, 1);
    EXPECT_STREQ(hostPageName(), "players") << "B goes back to Players";
    d.finish();
  }
}

// Twelve rows and the foot: the line of pixels just above the foot's rule
// is the panel's plain fill, not the last row's letters.
TEST(AssistsPage, TheLastRowClearsTheFoot) {
  HostDriver d;
  d.start();
  openAssistsPage(d);
  ASSERT_STREQ(hostPageName(), "assists");
  std::vector<uint16_t> pixels(kLayerWidth * kLayerHeight, 0);
  HostLayer layer{pixels.data(), false};
  ASSERT_TRUE(hostDrawPage(layer));
  const int32_t aboveFoot = 280;
  int32_t differing = 0;
  for (int32_t x = 16; x < kLayerWidth - 16; ++x)
    differing += pixels[aboveFoot * kLayerWidth + x] != pixels[aboveFoot * kLayerWidth + 16];
  EXPECT_EQ(differing, 0);
  d.finish();
}

}  // namespace
