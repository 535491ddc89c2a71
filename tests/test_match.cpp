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

constexpr uint32_t START = 50000;

class Match : public ::testing::Test {
 protected:
  void SetUp() override {
    headlessReset();
    openDisplay(nullptr);
    setSoundEnabled(1);
    keyBindings[BUTTON_A] = VK_RETURN;
    headlessSetClock(START);
  }

  void start(int32_t mode, int32_t players) {
    gameMode = mode;
    playerCount = players;
    sceneStep = 0;
    matchSceneFrame();
    ASSERT_EQ(sceneStep, 1);
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

// Darts are given as score, sector and how many times in a row; preset
// scores are set after the start, and the scores expected are the first
// players'.
struct Rules {
  const char *name;
  int32_t mode, players;
  std::vector<int32_t> preset;
  std::vector<std::tuple<int32_t, int32_t, int32_t>> darts;
  std::vector<int32_t> scores;
  int32_t currentPlayer, roundIndex, dartIndex, winner, step;
};

// clang-format off
const Rules rules[] = {
  {"301 bust on the 2nd dart keeps the 1st", GAME_301, 2, {30, 301}, {{10, 10, 1}, {25, 25, 1}}, {20, 301}, 1, 0, 0, NO_WINNER, 11},
  {"301 three players draw after ten rounds", GAME_301, 3, {}, {{0, 11, 90}}, {301, 301, 301}, 0, 10, 0, NO_WINNER, 12},
  {"count up has no round limit", GAME_COUNT_UP, 1, {}, {{0, 3, 36}}, {0}, 0, 12, 0, NO_WINNER, 11},
  {"clock: triple and bulls advance by one, misses and others not", GAME_ROUND_THE_CLOCK, 1, {5}, {{15, 5, 1}, {50, 50, 1}, {25, 25, 1}, {0, 8, 1}, {3, 1, 1}}, {8}, 0, 1, 2, NO_WINNER, 11},
};
// clang-format on

TEST_F(Match, Rules) {
  for (const Rules &c : rules) {
    SCOPED_TRACE(c.name);
    match = MatchState{};
    start(c.mode, c.players);
    for (size_t i = 0; i < c.preset.size(); ++i) match.playerScores[i] = c.preset[i];
    for (const auto &[score, sector, times] : c.darts)
      for (int32_t r = 0; r < times; ++r) {
        ASSERT_TRUE(sceneStep == 1 || sceneStep == 11);  // a turn is waiting for its dart
        match.dartMarkX[match.dartIndex] = match.dartMarkY[match.dartIndex] = 100;
        std::tie(match.throwScore, match.hitSector, sceneStep) = std::tuple(score, sector, 10);
        pass();
      }
    EXPECT_EQ(std::vector<int32_t>(match.playerScores, match.playerScores + c.scores.size()),
              c.scores);
    EXPECT_EQ(
        std::tuple(match.currentPlayer, match.roundIndex, match.dartIndex, match.winner, sceneStep),
        std::tuple(c.currentPlayer, c.roundIndex, c.dartIndex, c.winner, c.step));
    for (int32_t k = 0; k < DARTS_PER_TURN; ++k)
      EXPECT_EQ(match.dartMarkX[k] != 0, k < match.dartIndex) << "mark " << k;
  }
}

// A held button is taken only more than 200 ms after the last press, here
// across the wrap of the clock, and the board shows in the same pass.
// Presses while the dart flies or its result shows are used up; the flight
// lasts more than 500 ms; the value rises 2 a pass for ten passes.
TEST_F(Match, ButtonAndThrowTiming) {
  headlessSetClock(0xFFFFFF00u);
  start(GAME_301, 1);
  headlessHold(VK_RETURN, true);
  pass(200);
  EXPECT_EQ(sceneStep, 1);
  pass(1);
  EXPECT_EQ(std::tuple(sceneStep, inputDebounceTime), std::tuple(3, 0xFFFFFF00u + 201u));
  press(2);  // gauge ready, climb
  pass(1, 10);
  press();  // peak
  EXPECT_EQ(match.gaugePeak, 22);
  pass(1, 3);
  press();                            // release
  EXPECT_EQ(match.gaugeRelease, 14);  // the index before this pass's fall
  ASSERT_EQ(sceneStep, 7);
  const uint32_t released = match.throwTime;  // the time of the releasing press
  press();                                    // during the flight
  EXPECT_EQ(std::tuple(sceneStep, inputDebounceTime), std::tuple(7, released + 201));
  pass(299);
  EXPECT_EQ(sceneStep, 7);
  pass(1);  // lands 501 ms after the release
  ASSERT_EQ(sceneStep, 8);
  press();  // while the result shows, the value rising 2 a pass
  EXPECT_EQ(std::tuple(sceneStep, inputDebounceTime, match.popupRise),
            std::tuple(8, released + 702, 2));
  pass(1, 8);
  EXPECT_EQ(std::tuple(sceneStep, match.popupRise), std::tuple(8, 18));
  pass();  // the tenth pass applies the dart
  EXPECT_EQ(std::tuple(sceneStep, match.popupRise), std::tuple(10, 20));
}

TEST_F(Match, PointerTurnsAtBothEnds) {
  start(GAME_301, 1);
  press();
  ASSERT_EQ(std::tuple(sceneStep, match.aimX), std::tuple(3, 112));
  for (int32_t i = 0; i < 100; ++i) {
    pass();
    // Left first, in steps of 4, turning on 16 (the 24th pass) and 208 (the 72nd).
    const int32_t phase = i < 24 ? 108 - 4 * i : i < 72 ? 16 + 4 * (i - 23) : 208 - 4 * (i - 71);
    ASSERT_EQ(match.aimX, phase) << "pass " << i + 1;
  }
}

TEST_F(Match, UnstoppedGaugeClimbsToTheTopAndFallsToNothing) {
  start(GAME_301, 1);
  press(3);
  ASSERT_EQ(std::tuple(sceneStep, match.gaugeIndex), std::tuple(5, 2));
  pass(1, 68);
  EXPECT_EQ(std::tuple(sceneStep, match.gaugeIndex), std::tuple(5, 138));
  pass();
  EXPECT_EQ(std::tuple(sceneStep, match.gaugeIndex, match.gaugePeak), std::tuple(6, 139, 139));
  headlessTakeSounds(nullptr, 0);
  pass(1, 69);  // falling by 2 from 139: odd all the way
  EXPECT_EQ(std::tuple(sceneStep, match.gaugeIndex), std::tuple(6, 1));
  pass();
  EXPECT_EQ(std::tuple(sceneStep, match.gaugeIndex, match.gaugeRelease), std::tuple(7, 0, 0));
  EXPECT_EQ(match.throwTime, START + 3 * 201 + 139);
  int sounds[4];
  ASSERT_EQ(headlessTakeSounds(sounds, 4), 1);
  EXPECT_EQ(sounds[0], soundTable[2]);
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
    start(GAME_301, 1);
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
