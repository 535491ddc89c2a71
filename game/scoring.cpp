// Where a dart lands, what it scores, and the result screen with its
// caption, flash and rising score.
#include <cmath>
#include <cstdlib>

#include "app/scene.h"
#include "game/match.h"
#include "gfx/surface.h"

const int32_t sectorTable[24] = {
    6,  11, 11, 6,   // 0 to 9 degrees
    13, 14, 8,  10,  // 10 to 28
    4,  9,  16, 15,  // 29 to 46
    18, 12, 7,  2,   // 47 to 64
    1,  5,  19, 17,  // 65 to 82
    20, 20, 3,  3,   // 83 to 90
};

namespace {

// Exclusive upper angle of each band.
const int32_t bandLimits[6] = {10, 29, 47, 65, 83, 91};

int32_t angleBand(int32_t angle) {
  int32_t band = 0;
  while (band < 5 && angle >= bandLimits[band]) ++band;
  return band;
}

int32_t ringScore(int32_t distance, int32_t sector) {
  if (distance <= 3) return DOUBLE_BULL_SCORE;
  if (distance <= 8) return SINGLE_BULL_SCORE;
  if (distance <= 44) return sector;
  if (distance <= 52) return 3 * sector;
  if (distance <= 79) return sector;
  if (distance <= 87) return 2 * sector;
  return 0;
}

bool isBull(int32_t score) { return score == DOUBLE_BULL_SCORE || score == SINGLE_BULL_SCORE; }

bool hitsTarget() {
  return match.hitSector == match.playerScores[match.currentPlayer] && match.throwScore != 0;
}

// A number of one or two small digits whose units digit sits at x.
void drawPopup(int32_t value, int32_t x, int32_t y) {
  if (value / 10 != 0)
    drawSprite(kSpriteSmallDigit0 + value / 10 % 10, kBackSurface, x - 8, y, COLOR_KEY);
  drawSprite(kSpriteSmallDigit0 + value % 10, kBackSurface, x, y, COLOR_KEY);
}

}  // namespace

void landDart() {
  const int32_t d = match.dartIndex;
  match.dartMarkX[d] = match.aimX;

  int32_t y = (141 - match.gaugePeak) * 8 + (50 - match.gaugeRelease) * 4;
  if (y < 0) y = 0;
  if (y > 240) y = 240;
  match.dartMarkY[d] = y - 8;

  const int32_t dx = match.aimX - 112;
  const int32_t dy = y - 128;
  match.hitDistance =
      static_cast<int32_t>(std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy));
  // On the centre column the angle is a right angle, which truncates to 89;
  // the exact centre is taken the same way rather than dividing 0 by 0.
  if (dx == 0) {
    match.hitAngle = 89;
  } else {
    const double slope = static_cast<double>(128 - y) / static_cast<double>(dx);
    match.hitAngle = std::abs(static_cast<int32_t>(std::atan(slope) * 57.29577319531843));
  }
  if (match.aimX + 8 >= 120)
    match.hitQuadrant = y <= 128 ? 0 : 3;
  else
    match.hitQuadrant = y <= 128 ? 1 : 2;
  match.hitSector = sectorTable[angleBand(match.hitAngle) * 4 + match.hitQuadrant];
  match.throwScore = ringScore(match.hitDistance, match.hitSector);

  int32_t animation = kEffectLanding;
  if (gameMode == GAME_ROUND_THE_CLOCK) {
    if (isBull(match.throwScore)) {
      match.hitSector = match.throwScore;
      animation = kEffectBull;
    } else if (hitsTarget()) {
      animation = kEffectBull;
    }
  } else if (match.throwScore == DOUBLE_BULL_SCORE) {
    animation = kEffectBull;
  } else if (match.throwScore == SINGLE_BULL_SCORE) {
    animation = kEffectConfirm;
  }
  startEffect(animation, match.dartMarkX[d], match.dartMarkY[d]);

  match.popupRise = 0;
  sceneStep = gameMode == GAME_ROUND_THE_CLOCK ? kMatchClockResult : kMatchResult;
}

// kMatchResult and kMatchClockResult: the board with the turn's marks, the caption, the score
// rising from the mark, the flash, and the new mark on top.
void showResult() {
  const int32_t d = match.dartIndex;
  const bool clock = gameMode == GAME_ROUND_THE_CLOCK;

  clearSurface(kBackSurface, BACKGROUND_INDEX);
  drawSprite(kSpriteBoard, kBackSurface, 8, 16, COLOR_KEY);
  drawScoreboard();
  for (int32_t k = 0; k < d; ++k)
    drawSprite(kSpriteSpark, kBackSurface, match.dartMarkX[k], match.dartMarkY[k], COLOR_KEY);

  int32_t caption = -1;
  if (clock) {
    caption = isBull(match.throwScore) || hitsTarget() ? kSpriteSuccess : kSpriteFail;
  } else if (match.throwScore == DOUBLE_BULL_SCORE) {
    caption = kSpriteDoubleBull;
  } else if (match.throwScore == SINGLE_BULL_SCORE) {
    caption = kSpriteSingleBull;
  } else if (match.throwScore == 3 * match.hitSector) {
    caption = kSpriteTriple;
  } else if (match.throwScore == 2 * match.hitSector) {
    caption = kSpriteDouble;
  } else if (match.throwScore == 0) {
    caption = kSpriteMiss;
  }
  if (caption >= 0) drawSprite(caption, kBackSurface, 0, 0, COLOR_KEY);

  const int32_t popupY = match.dartMarkY[d] - 8 - match.popupRise;
  if (!clock)
    drawPopup(match.throwScore, match.dartMarkX[d], popupY);
  else if (match.throwScore != 0)
    drawPopup(match.hitSector, match.dartMarkX[d], popupY);

  match.popupRise += 2;
  if (match.popupRise >= 20) sceneStep = kMatchApplyDart;

  if (gameMode == GAME_301 && match.playerScores[match.currentPlayer] < match.throwScore)
    drawSprite(kSpriteBust, kBackSurface, 88, 112, COLOR_KEY);

  updateEffects(appInstance, kBackSurface);
  drawSprite(kSpriteSpark, kBackSurface, match.dartMarkX[d], match.dartMarkY[d], COLOR_KEY);
}
