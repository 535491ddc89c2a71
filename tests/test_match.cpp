// The match's turn flow: the rules of the four games, the throw button, the
// pointer, the gauge and the flight.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "app/scene.h"
#include "app/settings.h"
#include "game/match.h"
#include "gfx/surface.h"
#include "platform/headless/headless.h"
#include "tests/test_match_support.h"

namespace {

constexpr uint32_t kStart = 50000;

class Match : public ::testing::Test {
 protected:
  void SetUp() override {
    headlessReset();
    openDisplay(nullptr);
    setSoundEnabled(1);
    keyBindings[kButtonA] = VK_RETURN;
    headlessSetClock(kStart);
  }

  void start(int32_t mode, int32_t players) {
    gameMode = mode;
    playerCount = players;
    sceneStep = kMatchStarting;
    matchSceneFrame();
    ASSERT_EQ(sceneStep, kMatchAnnounce);
  }
  // Passes dt ms apart.
  void pass(uint32_t dt = 1, int32_t times = 1) {
    for (int32_t i = 0; i < times; ++i) {
      headlessAdvanceClock(dt);
      matchSceneFrame();
    }
  }
  // One pass with the button down, far enough after the last press.
  void press(int32_t times = 1) {
    headlessHold(VK_RETURN, true);
    pass(201, times);
    headlessHold(VK_RETURN, false);
  }
};

// A dart as applyDart sees it: its score and the sector it landed in,
// thrown `times` in a row.
struct Dart {
  int32_t score, sector, times;
};

// Preset scores are set after the start; the scores expected are the first
// players'.
struct RulesCase {
  const char *name;
  int32_t mode, players;
  std::vector<int32_t> preset = {};
  std::vector<Dart> darts;
  std::vector<int32_t> scores;
  int32_t currentPlayer, roundIndex, dartIndex, winner, step;
};

const RulesCase kRulesCases[] = {
    {.name = "301: a bust on the second dart keeps the first and ends the turn",
     .mode = kGame301,
     .players = 2,
     .preset = {30, 301},
     .darts = {{.score = 10, .sector = 10, .times = 1}, {.score = 25, .sector = 25, .times = 1}},
     .scores = {20, 301},
     .currentPlayer = 1,
     .roundIndex = 0,
     .dartIndex = 0,
     .winner = kNoWinner,
     .step = kMatchNextDart},
    {.name = "301: three players out of rounds after ten draw",
     .mode = kGame301,
     .players = 3,
     .darts = {{.score = 0, .sector = 11, .times = 90}},
     .scores = {301, 301, 301},
     .currentPlayer = 0,
     .roundIndex = 10,
     .dartIndex = 0,
     .winner = kNoWinner,
     .step = kMatchFinished},
    {.name = "count up: no round limit",
     .mode = kGameCountUp,
     .players = 1,
     .darts = {{.score = 0, .sector = 3, .times = 36}},
     .scores = {0},
     .currentPlayer = 0,
     .roundIndex = 12,
     .dartIndex = 0,
     .winner = kNoWinner,
     .step = kMatchNextDart},
    {.name = "round the clock: the target and both bulls advance by one, a miss and others not",
     .mode = kGameRoundTheClock,
     .players = 1,
     .preset = {5},
     .darts = {{.score = 15, .sector = 5, .times = 1},
               {.score = 50, .sector = 50, .times = 1},
               {.score = 25, .sector = 25, .times = 1},
               {.score = 0, .sector = 8, .times = 1},
               {.score = 3, .sector = 1, .times = 1}},
     .scores = {8},
     .currentPlayer = 0,
     .roundIndex = 1,
     .dartIndex = 2,
     .winner = kNoWinner,
     .step = kMatchNextDart},
    {.name = "a game number outside the rules table: no target, no limit, nothing read past it",
     .mode = kGameRoundTheClock + 1,
     .players = 1,
     .darts = {{.score = 20, .sector = 20, .times = 36}},
     .scores = {0},
     .currentPlayer = 0,
     .roundIndex = 12,
     .dartIndex = 0,
     .winner = kNoWinner,
     .step = kMatchNextDart},
};

TEST_F(Match, Rules) {
  for (const RulesCase &c : kRulesCases) {
    SCOPED_TRACE(c.name);
    match = MatchState{};
    start(c.mode, c.players);
    for (size_t i = 0; i < c.preset.size(); ++i) match.playerScores[i] = c.preset[i];
    for (const Dart &dart : c.darts)
      for (int32_t r = 0; r < dart.times; ++r) {
        ASSERT_TRUE(sceneStep == kMatchAnnounce || sceneStep == kMatchNextDart)
            << "a turn is waiting for its dart";
        match.dartMarkX[match.dartIndex] = match.dartMarkY[match.dartIndex] = 100;
        match.throwScore = dart.score;
        match.hitSector = dart.sector;
        sceneStep = kMatchApplyDart;
        pass();
      }
    EXPECT_EQ(std::vector<int32_t>(match.playerScores, match.playerScores + c.scores.size()),
              c.scores);
    EXPECT_EQ(match.currentPlayer, c.currentPlayer);
    EXPECT_EQ(match.roundIndex, c.roundIndex);
    EXPECT_EQ(match.dartIndex, c.dartIndex);
    EXPECT_EQ(match.winner, c.winner);
    EXPECT_EQ(sceneStep, c.step);
    for (int32_t k = 0; k < kDartsPerTurn; ++k)
      EXPECT_EQ(match.dartMarkX[k] != 0, k < match.dartIndex) << "mark of dart " << k;
  }
}

// A held button is taken only more than 200 ms after the last press, here
// across the wrap of the clock, and the board shows in the same pass.
// Presses while the dart flies or its result shows are used up; the flight
// lasts more than 500 ms; the value rises 2 a pass for ten passes.
TEST_F(Match, ButtonAndThrowTiming) {
  headlessSetClock(0xFFFFFF00u);
  start(kGame301, 1);
  headlessHold(VK_RETURN, true);
  pass(200);
  EXPECT_EQ(sceneStep, kMatchAnnounce);
  pass(1);
  EXPECT_EQ(std::tuple(sceneStep, inputDebounceTime),
            std::tuple(kMatchAimSlide, 0xFFFFFF00u + 201u));
  press(2);  // gauge ready, climb
  pass(1, 10);
  press();  // peak
  EXPECT_EQ(match.gaugePeak, 22);
  pass(1, 3);
  press();                            // release
  EXPECT_EQ(match.gaugeRelease, 14);  // the index before this pass's fall
  ASSERT_EQ(sceneStep, kMatchFlight);
  const uint32_t released = match.throwTime;  // the time of the releasing press
  press();                                    // during the flight
  EXPECT_EQ(std::tuple(sceneStep, inputDebounceTime), std::tuple(kMatchFlight, released + 201));
  pass(299);
  EXPECT_EQ(sceneStep, kMatchFlight);
  pass(1);  // lands 501 ms after the release
  ASSERT_EQ(sceneStep, kMatchResult);
  press();  // while the result shows, the value rising 2 a pass
  EXPECT_EQ(std::tuple(sceneStep, inputDebounceTime, match.popupRise),
            std::tuple(kMatchResult, released + 702, 2));
  pass(1, 8);
  EXPECT_EQ(std::tuple(sceneStep, match.popupRise), std::tuple(kMatchResult, 18));
  pass();  // the tenth pass applies the dart
  EXPECT_EQ(std::tuple(sceneStep, match.popupRise), std::tuple(kMatchApplyDart, 20));
}

TEST_F(Match, PointerTurnsAtBothEnds) {
  start(kGame301, 1);
  press();
  ASSERT_EQ(std::tuple(sceneStep, match.aimX), std::tuple(kMatchAimSlide, 112));
  for (int32_t i = 0; i < 100; ++i) {
    pass();
    // Left first, in steps of 4, turning on 16 (the 24th pass) and 208 (the 72nd).
    const int32_t phase = i < 24 ? 108 - 4 * i : i < 72 ? 16 + 4 * (i - 23) : 208 - 4 * (i - 71);
    ASSERT_EQ(match.aimX, phase) << "pass " << i + 1;
  }
}

TEST_F(Match, UnstoppedGaugeClimbsToTheTopAndFallsToNothing) {
  start(kGame301, 1);
  press(3);
  ASSERT_EQ(std::tuple(sceneStep, match.gaugeIndex), std::tuple(kMatchPowerClimbs, 2));
  pass(1, 68);
  EXPECT_EQ(std::tuple(sceneStep, match.gaugeIndex), std::tuple(kMatchPowerClimbs, 138));
  pass();
  EXPECT_EQ(std::tuple(sceneStep, match.gaugeIndex, match.gaugePeak),
            std::tuple(kMatchPowerFalls, 139, 139));
  headlessTakeSounds(nullptr, 0);
  pass(1, 69);  // falling by 2 from 139: odd all the way
  EXPECT_EQ(std::tuple(sceneStep, match.gaugeIndex), std::tuple(kMatchPowerFalls, 1));
  pass();
  EXPECT_EQ(std::tuple(sceneStep, match.gaugeIndex, match.gaugeRelease),
            std::tuple(kMatchFlight, 0, 0));
  EXPECT_EQ(match.throwTime, kStart + 3 * 201 + 139);
  int sounds[4];
  ASSERT_EQ(headlessTakeSounds(sounds, 4), 1);
  EXPECT_EQ(sounds[0], kWaveThrow) << "the throw sound";
}

// The pointer and the gauge each clear their own area before drawing on it.
// The back buffer is first filled with a colour no sprite of the synthetic
// sheet has: none of it may remain inside the cleared area, and nothing may
// change outside it but where the pointer is drawn anew.
TEST_F(Match, PointerAndGaugeClearExactlyTheirAreas) {
  struct Area {
    int32_t left, top, right, bottom;  // right and bottom exclusive
    bool contains(int32_t x, int32_t y) const {
      return x >= left && x < right && y >= top && y < bottom;
    }
  };
  const Area band = {.left = 0, .top = 112, .right = 240, .bottom = 256};
  const Area nothing = {};
  const struct {
    const char *name;
    int32_t presses;          // from the announcement to the step under test
    int32_t climbPasses = 0;  // passes the marker climbs before a press stops it
    Area cleared, drawnBeside;
  } cases[] = {
      {.name = "aiming: the pointer's square at 112 before it moves to 108",
       .presses = 1,
       .cleared = {.left = 112, .top = 0, .right = 128, .bottom = 16},
       .drawnBeside = {.left = 108, .top = 0, .right = 124, .bottom = 16}},
      {.name = "gauge ready: the whole band",
       .presses = 2,
       .cleared = band,
       .drawnBeside = nothing},
      {.name = "power climbing: the whole band",
       .presses = 3,
       .cleared = band,
       .drawnBeside = nothing},
      {.name = "power falling: the whole band",
       .presses = 4,
       .climbPasses = 20,
       .cleared = band,
       .drawnBeside = nothing},
  };
  constexpr uint8_t kUntouched = 250;
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    match_test::setUpSyntheticSheet();
    buildTrigTables();
    buildGaugeArc();
    start(kGame301, 1);
    for (int32_t k = 0; k < c.presses; ++k) {
      press();
      if (sceneStep == kMatchPowerClimbs) pass(1, c.climbPasses);
    }
    clearSurface(kBackSurface, kUntouched);
    pass();
    const Surface &back = surfaceTable[kBackSurface];
    int32_t stale = 0, changedOutside = 0;
    for (int32_t y = 0; y < back.height; ++y) {
      for (int32_t x = 0; x < back.stride; ++x) {
        const bool untouched = back.pixels[y * back.stride + x] == kUntouched;
        if (c.cleared.contains(x, y)) {
          stale += untouched ? 1 : 0;
        } else if (!c.drawnBeside.contains(x, y)) {
          changedOutside += untouched ? 0 : 1;
        }
      }
    }
    EXPECT_EQ(stale, 0) << "pixels of the area left as they were";
    EXPECT_EQ(changedOutside, 0) << "pixels changed outside the area";
  }
}

}  // namespace

// --- The host-game slot: empty, the match is the handheld's alone.

namespace {

constexpr GameRules kSlotRules = {
    .startScore = 501, .target = 0, .roundLimit = 20, .dartsPerTurn = 3};
const GameRules *slotRules(int32_t mode) { return mode == kHostGameFirst ? &kSlotRules : nullptr; }

}  // namespace

TEST(HostGameSlot, RulesComeFromTheSlotOnlyForAHostGame) {
  struct Case {
    const char *name;
    bool slotFilled;
    int32_t mode;
    int32_t startScore;
    int32_t roundLimit;
  };
  const Case cases[] = {
      {"the slot empty: a mode past the four has no rules", false, kHostGameFirst, 0, 0},
      {"the slot filled: the host game's row", true, kHostGameFirst, 501, 20},
      {"the slot filled: a mode it does not know has no rules", true, kHostGameFirst + 1, 0, 0},
      {"the slot filled: 301 keeps its own row", true, kGame301, 301, 10},
  };
  const int32_t savedMode = gameMode;
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    hostGameSlot = HostGameSlot{};
    if (c.slotFilled) hostGameSlot.rules = slotRules;
    gameMode = c.mode;
    EXPECT_EQ(currentRules().startScore, c.startScore);
    EXPECT_EQ(currentRules().roundLimit, c.roundLimit);
  }
  hostGameSlot = HostGameSlot{};
  gameMode = savedMode;
}
