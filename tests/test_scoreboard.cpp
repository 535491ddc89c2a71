// Which digit sprites the scoreboard and the big numbers draw where.
#include <gtest/gtest.h>

#include "game/match.h"
#include "gfx/surface.h"
#include "test_match_support.h"

using match_test::differenceFrom;
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
  {"high score, last column with four digits", GAME_HIGH_SCORE, 4, 3, 6, 2, {45, 1000, 0, 1260},
   {s(4, 30, 299), s(5, 38, 299), s(1, 73, 299), s(0, 81, 299), s(0, 89, 299), s(0, 97, 299),
    s(0, 156, 299), s(1, 191, 299), s(2, 199, 299), s(6, 207, 299), s(0, 215, 299),
    s(7, 56, 254), {82, 64, 254}, s(7, 72, 254), s(3, 208, 254)}},
  {"round the clock, win on the third dart shows 3 of 3", GAME_ROUND_THE_CLOCK, 3, 0, 0, 3, {21, 1, 45, 1},
   {s(2, 30, 299), s(1, 38, 299), s(1, 97, 299), s(4, 148, 299), s(5, 156, 299),
    s(1, 56, 254), {82, 64, 254}, s(1, 72, 254), s(0, 80, 254), s(3, 208, 254)}},
  {"count up round 1000", GAME_COUNT_UP, 1, 0, 999, 1, {199, 0, 0, 0},
   {s(1, 22, 299), s(9, 30, 299), s(9, 38, 299), s(1, 48, 254), s(0, 56, 254), s(0, 64, 254),
    s(0, 72, 254), s(2, 208, 254)}},
};

// The count wins over the value; a negative value draws the digits of its
// magnitude, never a sprite from before the digits.
const struct {
  int32_t count, value;
  const char *digits;
} bigNumbers[] = {{2, 123, "23"}, {0, 38, ""}, {-2, 38, ""}, {3, -63, "063"}, {10, INT32_MIN, "2147483648"}};
// clang-format on

TEST(Scoreboard, DigitPlacementAndBigNumbers) {
  match_test::setUpSyntheticSheet();
  for (const Board &c : boards) {
    SCOPED_TRACE(c.name);
    match = MatchState{};
    match.currentPlayer = c.current;
    match.roundIndex = c.roundIndex;
    match.dartIndex = c.dartIndex;
    gameMode = c.mode;
    playerCount = c.players;
    for (int32_t i = 0; i < 4; ++i) match.playerScores[i] = c.scores[i];
    clearSurface(0, BACKGROUND_INDEX);
    drawScoreboard();
    std::vector<Placed> expected = {{76, 0, 272},   {77 + c.current, 0, 272}, {81, 0, 254},
                                    {83, 176, 254}, {82, 216, 254},           s(3, 224, 254)};
    expected.insert(expected.end(), c.digits.begin(), c.digits.end());
    EXPECT_EQ(differenceFrom(expected), "");
  }
  for (const auto &c : bigNumbers) {
    clearSurface(0, BACKGROUND_INDEX);
    drawBigNumber(0, 72, c.count, c.value);
    std::vector<Placed> expected;
    for (int32_t k = 0; c.digits[k] != '\0'; ++k)
      expected.push_back(b(c.digits[k] - '0', 16 * k, 72));
    EXPECT_EQ(differenceFrom(expected), "") << c.count << " " << c.value;
  }
}

}  // namespace
