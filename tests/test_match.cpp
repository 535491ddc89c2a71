// The match's turn flow: the rules of the four games, the throw button, the
// pointer and the gauge, the flight, the announcement and the end screens.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "app/scene.h"
#include "app/settings.h"
#include "game/match.h"
#include "gfx/surface.h"
#include "platform/headless/headless.h"
#include "screens/screens.h"
#include "test_match_support.h"

using match_test::Placed;

namespace {

constexpr uint32_t START = 50000;

class Match : public ::testing::Test {
 protected:
  void SetUp() override {
    headlessReset();
    openDisplay(nullptr);
    match_test::setUpSyntheticSheet();
    setSoundEnabled(1);
    keyBindings[BUTTON_A] = VK_RETURN;
    headlessSetClock(START);
    match = MatchState{};
    clearEffects();
    frameHandler = matchSceneFrame;
    keyHandler = nullptr;
    tapHandler = nullptr;
  }
  void TearDown() override { headlessHold(VK_RETURN, false); }

  void start(int32_t mode, int32_t players) {
    gameMode = mode;
    playerCount = players;
    sceneStep = 0;
    matchSceneFrame();
    ASSERT_EQ(sceneStep, 1);
  }
  // One pass, dt ms after the previous one.
  void pass(uint32_t dt = 1) {
    headlessAdvanceClock(dt);
    matchSceneFrame();
  }
  // One pass with the button down, far enough after the last press.
  void press() {
    headlessHold(VK_RETURN, true);
    pass(201);
    headlessHold(VK_RETURN, false);
  }
};

// --- Rules -----------------------------------------------------------------

struct Dart {
  int32_t score, sector, repeat;
};

struct Rules {
  const char *name;
  int32_t mode, players;
  std::vector<int32_t> preset;  // playerScores after the start, when given
  std::vector<Dart> darts;
  std::vector<int32_t> scores;  // expected, first players
  int32_t currentPlayer, roundIndex, dartIndex, winner, step;
};

// clang-format off
const Rules rules[] = {
  // name; mode, players; preset; darts (score, sector, times); scores; player, round, dart, winner, step
  {"301 bust on the first dart keeps the points and ends the turn",
   GAME_301, 1, {19}, {{20, 20, 1}}, {19}, 0, 1, 0, NO_WINNER, 11},
  {"301 bust on the second dart keeps the first",
   GAME_301, 2, {30, 301}, {{10, 10, 1}, {25, 25, 1}}, {20, 301}, 1, 0, 0, NO_WINNER, 11},
  {"301 exactly zero wins at once",
   GAME_301, 2, {40, 301}, {{40, 20, 1}}, {0, 301}, 0, 0, 1, 0, 12},
  {"301 win on the third dart",
   GAME_301, 1, {60}, {{20, 20, 3}}, {0}, 0, 0, 3, 0, 12},
  {"301 three players draw after ten rounds",
   GAME_301, 3, {}, {{0, 11, 90}}, {301, 301, 301}, 0, 10, 0, NO_WINNER, 12},
  {"301 four players take turns of three",
   GAME_301, 4, {}, {{1, 1, 14}}, {296, 298, 298, 298}, 0, 1, 2, NO_WINNER, 11},
  {"count up 199 is no win, 200 wins before the others throw",
   GAME_COUNT_UP, 2, {190, 0}, {{9, 9, 1}, {1, 1, 1}}, {200, 0}, 0, 0, 2, 0, 12},
  {"count up over 200 wins",
   GAME_COUNT_UP, 2, {0, 150}, {{0, 1, 3}, {60, 20, 1}}, {0, 210}, 1, 0, 1, 1, 12},
  {"count up has no round limit",
   GAME_COUNT_UP, 1, {}, {{0, 3, 36}}, {0}, 0, 12, 0, NO_WINNER, 11},
  {"high score ends after the seventh round without a winner",
   GAME_HIGH_SCORE, 2, {}, {{60, 20, 42}}, {1260, 1260}, 0, 7, 0, NO_WINNER, 12},
  {"high score runs on through six rounds and two darts",
   GAME_HIGH_SCORE, 1, {}, {{7, 7, 20}}, {140}, 0, 6, 2, NO_WINNER, 11},
  {"round the clock: triple and bulls advance by one, misses and others do not",
   GAME_ROUND_THE_CLOCK, 1, {5}, {{15, 5, 1}, {50, 50, 1}, {25, 25, 1}, {0, 8, 1}, {3, 1, 1}},
   {8}, 0, 1, 2, NO_WINNER, 11},
  {"round the clock: 20 to 21 wins",
   GAME_ROUND_THE_CLOCK, 2, {20, 3}, {{40, 20, 1}}, {21, 3}, 0, 0, 1, 0, 12},
  {"round the clock: draw after ten rounds",
   GAME_ROUND_THE_CLOCK, 2, {}, {{0, 1, 60}}, {1, 1}, 0, 10, 0, NO_WINNER, 12},
};
// clang-format on

TEST_F(Match, Rules) {
  for (const Rules &c : rules) {
    SCOPED_TRACE(c.name);
    start(c.mode, c.players);
    for (size_t i = 0; i < c.preset.size(); ++i) match.playerScores[i] = c.preset[i];
    int32_t total = 0;
    for (const Dart &d : c.darts) total += d.repeat;
    int32_t thrown = 0;
    for (const Dart &d : c.darts) {
      for (int32_t r = 0; r < d.repeat; ++r) {
        ASSERT_TRUE(sceneStep == 1 || sceneStep == 11) << "dart " << thrown;
        match.dartMarkX[match.dartIndex] = 100;
        match.dartMarkY[match.dartIndex] = 100;
        match.throwScore = d.score;
        match.hitSector = d.sector;
        sceneStep = 10;
        pass();
        ++thrown;
        if (thrown < total) {
          ASSERT_EQ(sceneStep, 11) << "dart " << thrown;
        }
      }
    }
    for (size_t i = 0; i < c.scores.size(); ++i) EXPECT_EQ(match.playerScores[i], c.scores[i]);
    EXPECT_EQ(match.currentPlayer, c.currentPlayer);
    EXPECT_EQ(match.roundIndex, c.roundIndex);
    EXPECT_EQ(match.dartIndex, c.dartIndex);
    EXPECT_EQ(match.winner, c.winner);
    EXPECT_EQ(sceneStep, c.step);
    for (int32_t k = 0; k < DARTS_PER_TURN; ++k)
      EXPECT_EQ(match.dartMarkX[k] != 0, k < match.dartIndex) << "mark " << k;
  }
}

// --- The throw button ------------------------------------------------------

TEST_F(Match, ButtonNeedsMoreThan200ms) {
  start(GAME_301, 1);
  headlessHold(VK_RETURN, true);
  pass(100);
  EXPECT_EQ(sceneStep, 1);
  pass(100);  // 200 ms after the start: not yet
  EXPECT_EQ(sceneStep, 1);
  pass(1);  // 201 ms: the board is shown in the same pass
  EXPECT_EQ(sceneStep, 3);
  EXPECT_EQ(inputDebounceTime, START + 201);
}

TEST_F(Match, ButtonAcrossTheClockWrap) {
  headlessSetClock(0xFFFFFF00u);
  start(GAME_301, 1);
  headlessHold(VK_RETURN, true);
  pass(200);
  EXPECT_EQ(sceneStep, 1);
  pass(1);
  EXPECT_EQ(sceneStep, 3);
  EXPECT_EQ(inputDebounceTime, 0xFFFFFF00u + 201u);
}

TEST_F(Match, HeldButtonRunsTheWholeThrow) {
  start(GAME_301, 1);
  headlessHold(VK_RETURN, true);
  int32_t lastStep = sceneStep;
  uint32_t lastPress = START;
  std::vector<int32_t> reached;
  for (int32_t i = 0; i < 400 && sceneStep < 8; ++i) {
    pass(7);
    if (inputDebounceTime != lastPress) {
      EXPECT_GT(inputDebounceTime - lastPress, 200u);
      lastPress = inputDebounceTime;
    }
    if (sceneStep != lastStep) reached.push_back(sceneStep);
    lastStep = sceneStep;
  }
  // Board and aim (3), gauge (4), climb (5), fall (6), flight (7), result (8).
  const std::vector<int32_t> expected = {3, 4, 5, 6, 7, 8};
  EXPECT_EQ(reached, expected);
  EXPECT_EQ(match.gaugePeak % 2, 0);
  EXPECT_GT(match.gaugePeak, 0);
}

TEST_F(Match, PressesWhileTheDartFliesOrLandsAreUsedUp) {
  start(GAME_301, 1);
  press();  // board, aim
  press();  // gauge ready
  press();  // climb
  for (int32_t i = 0; i < 10; ++i) pass();
  press();  // peak
  EXPECT_EQ(match.gaugePeak, 22);
  for (int32_t i = 0; i < 3; ++i) pass();
  press();                            // release
  EXPECT_EQ(match.gaugeRelease, 14);  // the index before this pass's fall
  ASSERT_EQ(sceneStep, 7);
  const uint32_t released = match.throwTime;
  EXPECT_EQ(released, inputDebounceTime);
  press();  // during the flight
  EXPECT_EQ(sceneStep, 7);
  EXPECT_EQ(inputDebounceTime, released + 201);
  pass(300);  // lands
  ASSERT_EQ(sceneStep, 8);
  press();  // while the result shows
  EXPECT_EQ(inputDebounceTime, released + 702);
  EXPECT_EQ(sceneStep, 8);
  EXPECT_EQ(match.popupRise, 2);
}

TEST_F(Match, FlightLastsMoreThan500ms) {
  start(GAME_COUNT_UP, 1);
  for (int32_t i = 0; i < 3; ++i) press();
  for (int32_t i = 0; i < 5; ++i) pass();
  press();  // peak
  press();  // release
  ASSERT_EQ(sceneStep, 7);
  ASSERT_EQ(match.throwTime, inputDebounceTime);
  pass(500);
  EXPECT_EQ(sceneStep, 7);
  pass(1);
  EXPECT_EQ(sceneStep, 8);
}

TEST_F(Match, PointerTurnsAtBothEnds) {
  start(GAME_301, 1);
  press();
  ASSERT_EQ(sceneStep, 3);
  ASSERT_EQ(match.aimX, 112);
  std::vector<int32_t> path;
  for (int32_t i = 0; i < 100; ++i) {
    pass();
    path.push_back(match.aimX);
  }
  EXPECT_EQ(path[0], 108);  // left first
  int32_t at16 = 0, at208 = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    EXPECT_EQ(path[i] % 4, 0);
    EXPECT_GE(path[i], 16);
    EXPECT_LE(path[i], 208);
    if (i > 0) {
      EXPECT_EQ(std::abs(path[i] - path[i - 1]), 4) << i;
    }
    at16 += path[i] == 16;
    at208 += path[i] == 208;
  }
  EXPECT_EQ(path[23], 16);
  EXPECT_EQ(path[24], 20);
  EXPECT_EQ(path[71], 208);
  EXPECT_EQ(path[72], 204);
  EXPECT_EQ(at16, 1);
  EXPECT_EQ(at208, 1);
}

TEST_F(Match, UnstoppedGaugeClimbsToTheTopAndFallsToNothing) {
  start(GAME_301, 1);
  press();
  press();
  press();
  ASSERT_EQ(sceneStep, 5);
  EXPECT_EQ(match.gaugeIndex, 2);
  for (int32_t i = 0; i < 68; ++i) pass();
  EXPECT_EQ(match.gaugeIndex, 138);
  EXPECT_EQ(sceneStep, 5);
  pass();
  EXPECT_EQ(match.gaugeIndex, 139);
  EXPECT_EQ(match.gaugePeak, 139);
  EXPECT_EQ(sceneStep, 6);
  headlessTakeSounds(nullptr, 0);
  for (int32_t i = 0; i < 69; ++i) {
    pass();
    ASSERT_EQ(match.gaugeIndex % 2, 1) << "odd while falling from 139";
  }
  EXPECT_EQ(match.gaugeIndex, 1);
  EXPECT_EQ(sceneStep, 6);
  pass();
  EXPECT_EQ(match.gaugeIndex, 0);
  EXPECT_EQ(match.gaugeRelease, 0);
  EXPECT_EQ(sceneStep, 7);
  EXPECT_EQ(match.throwTime, START + 3 * 201 + 139);
  int sounds[4];
  ASSERT_EQ(headlessTakeSounds(sounds, 4), 1);
  EXPECT_EQ(sounds[0], soundTable[2]);
}

TEST_F(Match, EveryPassPresentsOnce) {
  const uint32_t before = headlessPresentCount();
  start(GAME_301, 1);
  pass();
  sceneStep = 11;  // waits, draws nothing
  pass();
  sceneStep = 14;
  pass();
  EXPECT_EQ(headlessPresentCount(), before + 4);
}

TEST_F(Match, LastPressReturnsToTheTitle) {
  start(GAME_301, 2);
  sceneStep = 12;
  press();
  EXPECT_EQ(sceneStep, 14);  // end screen drawn in the same pass, then shown
  const uint32_t presented = headlessPresentCount();
  press();
  EXPECT_EQ(sceneStep, 0);
  EXPECT_EQ(frameHandler, titleSceneFrame);
  EXPECT_EQ(keyHandler, titleSceneKey);
  EXPECT_EQ(tapHandler, titleSceneTap);
  EXPECT_EQ(headlessPresentCount(), presented + 1);
}

// --- Pictures --------------------------------------------------------------

struct EndScreen {
  const char *name;
  int32_t mode, players, winner;
  std::vector<Placed> sprites;
};

// clang-format off
const EndScreen endScreens[] = {
  {"one player wins", GAME_301, 1, 0, {{65, 64, 80}}},
  {"high score", GAME_HIGH_SCORE, 3, NO_WINNER, {{65, 64, 80}}},
  {"draw", GAME_ROUND_THE_CLOCK, 2, NO_WINNER, {{64, 56, 80}, {65, 64, 120}}},
  {"player 3 wins", GAME_COUNT_UP, 4, 2, {{12, 24, 80}, {16, 120, 80}, {66, 152, 80}, {65, 64, 120}}},
};
// clang-format on

TEST_F(Match, EndScreens) {
  for (const EndScreen &c : endScreens) {
    SCOPED_TRACE(c.name);
    start(c.mode, c.players);
    match.winner = c.winner;
    match.playerScores[0] = 123;
    sceneStep = 13;
    pass();
    EXPECT_EQ(sceneStep, 14);
    const std::vector<uint8_t> drawn = match_test::snapshot();
    clearSurface(0, BACKGROUND_INDEX);
    drawSprite(75, 0, 8, 16, COLOR_KEY);
    drawScoreboard();
    match_test::drawPlaced(c.sprites);
    EXPECT_EQ(match_test::firstDifference(drawn, match_test::snapshot()), "");
  }
}

struct Announcement {
  const char *name;
  int32_t mode, player, roundIndex, dartIndex, target;
  std::vector<Placed> numbers;  // round digits and the target
};

// clang-format off
const Announcement announcements[] = {
  {"first round shows 01", GAME_301, 0, 0, 0, 0, {{13, 152, 72}, {14, 168, 72}}},
  {"round the clock target", GAME_ROUND_THE_CLOCK, 1, 8, 2, 7,
   {{13, 152, 72}, {22, 168, 72}, {69, 32, 152}, {13, 176, 152}, {20, 192, 152}}},
  {"round 100 of count up", GAME_COUNT_UP, 3, 99, 1, 0, {{14, 152, 72}, {13, 168, 72}, {13, 184, 72}}},
};
// clang-format on

TEST_F(Match, AnnouncementScreens) {
  for (const Announcement &c : announcements) {
    SCOPED_TRACE(c.name);
    start(c.mode, 4);
    match.currentPlayer = c.player;
    match.roundIndex = c.roundIndex;
    match.dartIndex = c.dartIndex;
    match.playerScores[c.player] = c.target;
    for (int32_t k = 0; k < c.dartIndex; ++k) {
      match.dartMarkX[k] = 40 + 30 * k;
      match.dartMarkY[k] = 70 + 10 * k;
    }
    match.aimX = 60;
    pass();
    EXPECT_EQ(match.aimX, 112);
    EXPECT_EQ(match.aimDirection, 0);
    const std::vector<uint8_t> drawn = match_test::snapshot();

    clearSurface(0, BACKGROUND_INDEX);
    match_test::drawPlaced({{75, 8, 16}, {31, 60, 0}});
    drawScoreboard();
    for (int32_t k = 0; k < c.dartIndex; ++k)
      drawSprite(5, 0, match.dartMarkX[k], match.dartMarkY[k], COLOR_KEY);
    match_test::drawPlaced({{12, 64, 32}, {14 + c.player, 160, 32}, {68, 56, 72}});
    match_test::drawPlaced({{53 + c.dartIndex, 72, 112}, {56, 120, 112}});
    match_test::drawPlaced(c.numbers);
    EXPECT_EQ(match_test::firstDifference(drawn, match_test::snapshot()), "");
  }
}

}  // namespace
