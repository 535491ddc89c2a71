// Where a dart lands, what it scores, and the result screen with its
// caption, flash and rising score.
#include <cmath>
#include <cstdlib>

#include "app/scene.h"
#include "game/board.h"
#include "game/match.h"
#include "gfx/surface.h"

namespace {

BoardRing ringAt(int32_t distance) {
  int32_t ring = kRingDoubleBull;
  while (ring < kRingMiss && distance > ringReach[ring]) ++ring;
  return static_cast<BoardRing>(ring);
}

int32_t ringScore(BoardRing ring, int32_t sector) {
  switch (ring) {
    case kRingDoubleBull:
      return kDoubleBullScore;
    case kRingSingleBull:
      return kSingleBullScore;
    case kRingInnerSingle:
    case kRingOuterSingle:
      return sector;
    case kRingTriple:
      return 3 * sector;
    case kRingDouble:
      return 2 * sector;
    case kRingMiss:
      break;
  }
  return 0;
}

int32_t angleBand(int32_t angle) {
  int32_t band = 0;
  while (band < kAngleBands - 1 && angle >= angleBandLimits[band]) ++band;
  return band;
}

bool isBull(int32_t score) { return score == kDoubleBullScore || score == kSingleBullScore; }

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

BoardPoint boardPointAt(int32_t dx, int32_t dy) {
  BoardPoint p{};
  p.distance =
      static_cast<int32_t>(std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy));
  // On the centre column the angle is a right angle, which truncates to 89;
  // the exact centre is taken the same way rather than dividing 0 by 0.
  if (dx == 0) {
    p.angle = 89;
  } else {
    const double slope = static_cast<double>(-dy) / static_cast<double>(dx);
    p.angle = std::abs(static_cast<int32_t>(std::atan(slope) * kDegreesPerRadian));
  }
  if (dx >= 0)
    p.quadrant = dy <= 0 ? 0 : 3;
  else
    p.quadrant = dy <= 0 ? 1 : 2;
  p.sector = sectorTable[angleBand(p.angle) * kQuadrants + p.quadrant];
  p.ring = ringAt(p.distance);
  p.score = ringScore(p.ring, p.sector);
  return p;
}

int32_t landingRow(int32_t peak, int32_t release) {
  int32_t y = (141 - peak) * 8 + (50 - release) * 4;
  if (y < 0) y = 0;
  if (y > 240) y = 240;
  return y;
}

BoardPoint landingPoint(int32_t aimX, int32_t row) { return boardPointAt(aimX - 112, row - 128); }

void landDart() {
  const int32_t d = match.dartIndex;
  match.dartMarkX[d] = match.aimX;
  const int32_t y = landingRow(match.gaugePeak, match.gaugeRelease);
  match.dartMarkY[d] = y - 8;

  const BoardPoint hit = landingPoint(match.aimX, y);
  match.hitDistance = hit.distance;
  match.hitAngle = hit.angle;
  match.hitQuadrant = hit.quadrant;
  match.hitSector = hit.sector;
  match.throwScore = hit.score;

  int32_t animation = kEffectLanding;
  if (hostGamePlayed()) {
    // A host game: the dart that finishes flashes as a bull does.
    const bool finishes = hostGameSlot.finishes != nullptr &&
                          hostGameSlot.finishes(match, match.throwScore, match.hitSector);
    if (finishes || match.throwScore == kDoubleBullScore)
      animation = kEffectBull;
    else if (match.throwScore == kSingleBullScore)
      animation = kEffectConfirm;
  } else if (gameMode == kGameRoundTheClock) {
    if (isBull(match.throwScore)) {
      match.hitSector = match.throwScore;
      animation = kEffectBull;
    } else if (hitsTarget()) {
      animation = kEffectBull;
    }
  } else if (match.throwScore == kDoubleBullScore) {
    animation = kEffectBull;
  } else if (match.throwScore == kSingleBullScore) {
    animation = kEffectConfirm;
  }
  startEffect(animation, match.dartMarkX[d], match.dartMarkY[d]);

  match.popupRise = 0;
  sceneStep = gameMode == kGameRoundTheClock ? kMatchClockResult : kMatchResult;
}

// kMatchResult and kMatchClockResult: the board with the turn's marks, the caption, the score
// rising from the mark, the flash, and the new mark on top.
void showResult() {
  const int32_t d = match.dartIndex;
  const bool clock = gameMode == kGameRoundTheClock;

  clearSurface(kBackSurface, BACKGROUND_INDEX);
  drawSprite(kSpriteBoard, kBackSurface, 8, 16, COLOR_KEY);
  drawScoreboard();
  for (int32_t k = 0; k < d; ++k)
    drawSprite(kSpriteSpark, kBackSurface, match.dartMarkX[k], match.dartMarkY[k], COLOR_KEY);

  int32_t caption = -1;
  if (clock) {
    caption = isBull(match.throwScore) || hitsTarget() ? kSpriteSuccess : kSpriteFail;
  } else if (match.throwScore == kDoubleBullScore) {
    caption = kSpriteDoubleBull;
  } else if (match.throwScore == kSingleBullScore) {
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
  const bool hostGame = hostGamePlayed();
  if (hostGame)
    // What the dart counts in the host's game.
    drawPopup(hostGameSlot.points != nullptr
                  ? hostGameSlot.points(match, match.throwScore, match.hitSector)
                  : match.throwScore,
              match.dartMarkX[d], popupY);
  else if (!clock)
    drawPopup(match.throwScore, match.dartMarkX[d], popupY);
  else if (match.throwScore != 0)
    drawPopup(match.hitSector, match.dartMarkX[d], popupY);

  match.popupRise += 2;
  if (match.popupRise >= 20) sceneStep = kMatchApplyDart;

  if (hostGame) {
    if (hostGameSlot.busts != nullptr &&
        hostGameSlot.busts(match, match.throwScore, match.hitSector))
      drawSprite(kSpriteBust, kBackSurface, 88, 112, COLOR_KEY);
  } else if (gameMode == kGame301 && match.playerScores[match.currentPlayer] < match.throwScore) {
    drawSprite(kSpriteBust, kBackSurface, 88, 112, COLOR_KEY);
  }

  updateEffects(appInstance, kBackSurface);
  drawSprite(kSpriteSpark, kBackSurface, match.dartMarkX[d], match.dartMarkY[d], COLOR_KEY);
}
