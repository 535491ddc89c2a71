// Which digit sprites the scoreboard and the big numbers draw where.
#include <gtest/gtest.h>

#include "game/match.h"
#include "gfx/surface.h"
#include "test_match_support.h"

using match_test::Placed;

namespace {

// Small digit d at (x, y).
constexpr Placed s(int32_t d, int32_t x, int32_t y) { return {32 + d, x, y}; }
// Big digit d at (x, y).
constexpr Placed b(int32_t d, int32_t x, int32_t y) { return {13 + d, x, y}; }

struct Board {
  const char *name;
  int32_t mode, players, current, roundIndex, dartIndex;
  int32_t scores[4];
  std::vector<Placed> digits;  // everything besides the fixed frame
};

// clang-format off
const Board boards[] = {
  // name; mode, players, current player, roundIndex, dartIndex; scores; digits and limit
  {"301 one player", GAME_301, 1, 0, 0, 0, {301, 301, 301, 301},
   {s(3, 22, 299), s(0, 30, 299), s(1, 38, 299), s(1, 56, 254), {82, 64, 254}, s(1, 72, 254),
    s(0, 80, 254), s(1, 208, 254)}},
  {"count up four players, 0 10 100 5, round 10", GAME_COUNT_UP, 4, 2, 9, 2, {0, 10, 100, 5},
   {s(0, 38, 299), s(1, 89, 299), s(0, 97, 299), s(1, 140, 299), s(0, 148, 299), s(0, 156, 299),
    s(5, 215, 299), s(1, 48, 254), s(0, 56, 254), s(3, 208, 254)}},
  {"high score totals of four digits", GAME_HIGH_SCORE, 2, 1, 6, 1, {1260, 999, 0, 0},
   {s(1, 14, 299), s(2, 22, 299), s(6, 30, 299), s(0, 38, 299), s(9, 81, 299), s(9, 89, 299),
    s(9, 97, 299), s(7, 56, 254), {82, 64, 254}, s(7, 72, 254), s(2, 208, 254)}},
  {"high score, last column with four digits", GAME_HIGH_SCORE, 4, 3, 6, 2, {45, 1000, 0, 1260},
   {s(4, 30, 299), s(5, 38, 299), s(1, 73, 299), s(0, 81, 299), s(0, 89, 299), s(0, 97, 299),
    s(0, 156, 299), s(1, 191, 299), s(2, 199, 299), s(6, 207, 299), s(0, 215, 299),
    s(7, 56, 254), {82, 64, 254}, s(7, 72, 254), s(3, 208, 254)}},
  {"round the clock, win on the third dart shows 3 of 3", GAME_ROUND_THE_CLOCK, 3, 0, 0, 3,
   {21, 1, 45, 1},
   {s(2, 30, 299), s(1, 38, 299), s(1, 97, 299), s(4, 148, 299), s(5, 156, 299),
    s(1, 56, 254), {82, 64, 254}, s(1, 72, 254), s(0, 80, 254), s(3, 208, 254)}},
  {"the end screen after ten rounds stays at 10/10", GAME_301, 2, 0, 10, 0, {5, 7, 0, 0},
   {s(5, 38, 299), s(7, 97, 299), s(1, 48, 254), s(0, 56, 254), {82, 64, 254}, s(1, 72, 254),
    s(0, 80, 254), s(1, 208, 254)}},
  {"the end screen after seven rounds stays at 7/7", GAME_HIGH_SCORE, 1, 0, 7, 0, {0, 0, 0, 0},
   {s(0, 38, 299), s(7, 56, 254), {82, 64, 254}, s(7, 72, 254), s(1, 208, 254)}},
  {"count up round 123", GAME_COUNT_UP, 1, 0, 122, 0, {105, 0, 0, 0},
   {s(1, 22, 299), s(0, 30, 299), s(5, 38, 299), s(1, 48, 254), s(2, 56, 254), s(3, 64, 254),
    s(1, 208, 254)}},
  {"count up round 1000", GAME_COUNT_UP, 1, 0, 999, 1, {199, 0, 0, 0},
   {s(1, 22, 299), s(9, 30, 299), s(9, 38, 299), s(1, 48, 254), s(0, 56, 254), s(0, 64, 254),
    s(0, 72, 254), s(2, 208, 254)}},
};
// clang-format on

class Scoreboard : public ::testing::Test {
 protected:
  void SetUp() override {
    match_test::setUpSyntheticSheet();
    match = MatchState{};
  }
  std::vector<uint8_t> draw(void (*paint)()) {
    clearSurface(0, BACKGROUND_INDEX);
    paint();
    return match_test::snapshot();
  }
};

TEST_F(Scoreboard, DigitPlacement) {
  for (const Board &c : boards) {
    SCOPED_TRACE(c.name);
    gameMode = c.mode;
    playerCount = c.players;
    match.currentPlayer = c.current;
    match.roundIndex = c.roundIndex;
    match.dartIndex = c.dartIndex;
    for (int32_t i = 0; i < 4; ++i) match.playerScores[i] = c.scores[i];
    const std::vector<uint8_t> drawn = draw(drawScoreboard);

    clearSurface(0, BACKGROUND_INDEX);
    std::vector<Placed> expected = {{76, 0, 272},   {77 + c.current, 0, 272}, {81, 0, 254},
                                    {83, 176, 254}, {82, 216, 254},           s(3, 224, 254)};
    expected.insert(expected.end(), c.digits.begin(), c.digits.end());
    match_test::drawPlaced(expected);
    EXPECT_EQ(match_test::firstDifference(drawn, match_test::snapshot()), "");
  }
}

struct BigNumber {
  int32_t x, y, count, value;
  std::vector<Placed> digits;
};

const BigNumber bigNumbers[] = {
    {160, 64, 3, 38, {b(0, 160, 64), b(3, 176, 64), b(8, 192, 64)}},
    {160, 64, 3, 7, {b(0, 160, 64), b(0, 176, 64), b(7, 192, 64)}},
    {152, 72, 2, 1, {b(0, 152, 72), b(1, 168, 72)}},
    {152, 72, 2, 123, {b(2, 152, 72), b(3, 168, 72)}},  // count wins over the value
    {160, 64, 0, 38, {}},
    {160, 64, -2, 38, {}},
    // A negative value draws the digits of its magnitude, never a sprite
    // from before the digits.
    {160, 64, 3, -63, {b(0, 160, 64), b(6, 176, 64), b(3, 192, 64)}},
    {0,
     0,
     10,
     INT32_MIN,
     {b(2, 0, 0), b(1, 16, 0), b(4, 32, 0), b(7, 48, 0), b(4, 64, 0), b(8, 80, 0), b(3, 96, 0),
      b(6, 112, 0), b(4, 128, 0), b(8, 144, 0)}},
};

TEST_F(Scoreboard, BigNumbers) {
  for (const BigNumber &c : bigNumbers) {
    SCOPED_TRACE(::testing::Message() << "count " << c.count << " value " << c.value);
    clearSurface(0, BACKGROUND_INDEX);
    drawBigNumber(c.x, c.y, c.count, c.value);
    const std::vector<uint8_t> drawn = match_test::snapshot();
    clearSurface(0, BACKGROUND_INDEX);
    match_test::drawPlaced(c.digits);
    EXPECT_EQ(match_test::firstDifference(drawn, match_test::snapshot()), "");
  }
}

}  // namespace
