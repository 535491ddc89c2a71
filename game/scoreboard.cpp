// The scoreboard strip at the bottom of the match screens, and numbers in
// big digits.
#include <cstdint>

#include "app/scene.h"
#include "game/match.h"
#include "gfx/surface.h"

namespace {

void smallDigit(int32_t digit, int32_t x, int32_t y) {
  drawSprite(kSpriteSmallDigit0 + digit, kBackSurface, x, y, COLOR_KEY);
}

// A player's score right-aligned on x + 16 without leading zeros. Three
// digits fit the column; a "High Score" total of 1000 or more puts its
// thousands digit one place further left, at x - 8.
void drawScore(int32_t score, int32_t x) {
  if (score < 0) score = 0;
  if (score >= 1000) {
    smallDigit(score / 1000 % 10, x - 8, 299);
    score %= 1000;
    smallDigit(score / 100, x, 299);
    smallDigit(score / 10 % 10, x + 8, 299);
    smallDigit(score % 10, x + 16, 299);
    return;
  }
  const int32_t h = score / 100;
  int32_t r = score;
  if (h != 0) {
    smallDigit(h, x, 299);
    r = score - 100 * h;
  }
  if (h == 0 && r / 10 == 0) {
    smallDigit(r, x + 16, 299);
  } else {
    smallDigit(r / 10, x + 8, 299);
    smallDigit(r % 10, x + 16, 299);
  }
}

// A positive number in small digits on the round line, leftmost at x.
void drawDigits(int32_t n, int32_t x) {
  int32_t digits = 0;
  for (int32_t rest = n; rest > 0; rest /= 10) ++digits;
  for (int32_t k = 0; k < digits; ++k, n /= 10) smallDigit(n % 10, x + 8 * (digits - 1 - k), 254);
}

// The round number after "ROUND": one or two digits ending at 56; a round
// of 100 or more (only "Count Up" has no limit) runs on to the right, where
// that game draws no limit.
void drawRound(int32_t n) {
  if (n >= 100) {
    drawDigits(n, 48);
    return;
  }
  if (n / 10 != 0) smallDigit(n / 10, 48, 254);
  smallDigit(n % 10, 56, 254);
}

}  // namespace

void drawScoreboard() {
  drawSprite(kSpriteScoreboardFrame, kBackSurface, 0, 272, COLOR_KEY);
  drawSprite(kSpriteScoreboardLit1 + match.currentPlayer, kBackSurface, 0, 272, COLOR_KEY);
  // AS-DESIGNED: the four player labels are always drawn; only the players'
  // own columns get a score.
  for (int32_t i = 0; i < playerCount && i < kMaxPlayers; ++i)
    drawScore(match.playerScores[i], 22 + 59 * i);

  // A match that ran out of rounds has counted one round past its limit by
  // the time the end screen draws; the counter stops at the limit.
  const GameRules &rules = currentRules();
  const int32_t limit = rules.roundLimit;
  int32_t round = match.roundIndex + 1;
  if (limit != 0 && round > limit) round = limit;
  drawSprite(kSpriteSmallRound, kBackSurface, 0, 254, COLOR_KEY);
  drawRound(round);
  if (limit != 0) {
    drawSprite(kSpriteSmallSlash, kBackSurface, 64, 254, COLOR_KEY);
    drawDigits(limit, 72);
  }

  // After a win on a turn's last dart the turn is over at 3 of 3.
  const int32_t darts = rules.dartsPerTurn;
  const int32_t dart = match.dartIndex < darts ? match.dartIndex : darts - 1;
  drawSprite(kSpriteSmallTry, kBackSurface, 176, 254, COLOR_KEY);
  smallDigit(dart + 1, 208, 254);
  drawSprite(kSpriteSmallSlash, kBackSurface, 216, 254, COLOR_KEY);
  smallDigit(darts, 224, 254);
}

void drawBigNumber(int32_t x, int32_t y, int32_t count, int32_t value) {
  // Digits of the magnitude: a negative value would otherwise give negative
  // remainders and pick sprites before the digits.
  int64_t rest = value < 0 ? -static_cast<int64_t>(value) : value;
  for (int32_t k = 0; k < count; ++k) {
    drawSprite(kSpriteBigDigit0 + static_cast<int32_t>(rest % 10), kBackSurface,
               x + 16 * (count - 1 - k), y, COLOR_KEY);
    rest /= 10;
  }
}
