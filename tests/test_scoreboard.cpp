// What the scoreboard and the big numbers show at their edges: totals of
// four digits, rounds past the limit or past 99, the last dart of a turn,
// and numbers that do not fit their digits.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "game/match.h"
#include "gfx/surface.h"
#include "test_match_support.h"

namespace {

using match_test::differenceFrom;
using match_test::Placed;
using match_test::shows;

// A run of small digits, the first one's left edge at x, as a player reads it.
struct SmallText {
  const char *digits;
  int32_t x, y;
};

struct BoardCase {
  const char *name;
  int32_t mode, players, roundIndex, dartIndex;
  std::vector<int32_t> scores;
  std::vector<SmallText> reads;
};

const BoardCase kBoards[] = {
    {.name = "a High Score total of four digits puts its thousands left of the column",
     .mode = kGameHighScore,
     .players = 4,
     .roundIndex = 6,
     .dartIndex = 2,
     .scores = {45, 1000, 0, 1260},
     .reads = {{.digits = "45", .x = 30, .y = 299},
               {.digits = "1000", .x = 73, .y = 299},
               {.digits = "0", .x = 156, .y = 299},
               {.digits = "1260", .x = 191, .y = 299},
               {.digits = "7", .x = 56, .y = 254},
               {.digits = "7", .x = 72, .y = 254}}},
    {.name = "a win on a turn's third dart reads TRY 3/3",
     .mode = kGameRoundTheClock,
     .players = 3,
     .roundIndex = 0,
     .dartIndex = 3,
     .scores = {21, 1, 45},
     .reads = {{.digits = "21", .x = 30, .y = 299},
               {.digits = "3", .x = 208, .y = 254},
               {.digits = "3", .x = 224, .y = 254}}},
    {.name = "a match out of rounds counts no further than the limit",
     .mode = kGame301,
     .players = 1,
     .roundIndex = 10,
     .dartIndex = 0,
     .scores = {301},
     .reads = {{.digits = "10", .x = 48, .y = 254}, {.digits = "10", .x = 72, .y = 254}}},
    {.name = "Count Up's round 1000 runs on to the right, where no limit is drawn",
     .mode = kGameCountUp,
     .players = 1,
     .roundIndex = 999,
     .dartIndex = 1,
     .scores = {199},
     .reads = {{.digits = "199", .x = 22, .y = 299}, {.digits = "1000", .x = 48, .y = 254}}},
};

TEST(Scoreboard, ReadsRightAtItsEdges) {
  match_test::setUpSyntheticSheet();
  for (const BoardCase &c : kBoards) {
    SCOPED_TRACE(c.name);
    match = MatchState{};
    match.roundIndex = c.roundIndex;
    match.dartIndex = c.dartIndex;
    gameMode = c.mode;
    playerCount = c.players;
    for (size_t i = 0; i < c.scores.size(); ++i) match.playerScores[i] = c.scores[i];
    clearSurface(kBackSurface, BACKGROUND_INDEX);
    drawScoreboard();
    for (const SmallText &text : c.reads) {
      for (int32_t k = 0; text.digits[k] != 0; ++k) {
        EXPECT_TRUE(shows(kSpriteSmallDigit0 + text.digits[k] - '0', text.x + 8 * k, text.y))
            << "\"" << text.digits << "\" at " << text.x << "," << text.y << ", digit " << k;
      }
    }
  }
}

// drawBigNumber: the count of digits wins over the value, and a negative
// value shows the digits of its magnitude, never a sprite before the digits.
TEST(Scoreboard, BigNumbers) {
  const struct {
    const char *name;
    int32_t count, value;
    const char *shown;
  } cases[] = {
      {.name = "too many digits: the last two", .count = 2, .value = 123, .shown = "23"},
      {.name = "no digits", .count = 0, .value = 38, .shown = ""},
      {.name = "a negative value", .count = 3, .value = -63, .shown = "063"},
      {.name = "the most negative value", .count = 10, .value = INT32_MIN, .shown = "2147483648"},
  };
  match_test::setUpSyntheticSheet();
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    clearSurface(kBackSurface, BACKGROUND_INDEX);
    drawBigNumber(0, 72, c.count, c.value);
    std::vector<Placed> expected;
    for (int32_t k = 0; c.shown[k] != '\0'; ++k)
      expected.push_back({.sprite = kSpriteBigDigit0 + c.shown[k] - '0', .x = 16 * k, .y = 72});
    EXPECT_EQ(differenceFrom(expected), "") << "the first pixel that differs";
  }
}

}  // namespace
