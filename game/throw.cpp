// Everything before a dart lands: who throws next, the sliding pointer, the
// arm and its gauge, the short wait while the dart is in the air; and the
// trigonometry tables the gauge is drawn from.
#include <cmath>

#include "app/scene.h"
#include "game/match.h"
#include "gfx/surface.h"

float sinTable[360];
float cosTable[360];
int32_t gaugeArcX[kGaugePoints];
int32_t gaugeArcY[kGaugePoints];

void buildTrigTables() {
  for (int32_t d = 0; d < 360; ++d) {
    const double radians = d * 0.017453292519943295;
    sinTable[d] = static_cast<float>(std::sin(radians));
    cosTable[d] = static_cast<float>(std::cos(radians));
  }
}

// Where the gauge marker's corner sits for each of its positions: a half
// circle, radius 96, centre (112, 216), run left to right over the top.
// Single precision throughout, so every machine truncates to the same pixels.
void buildGaugeArc() {
  for (int32_t i = 0; i < kGaugePoints; ++i) {
    const float cosScaled = cosTable[180 - i] * 96.0f;
    const float xOffset = 8.0f - cosScaled;
    const float sinScaled = sinTable[180 - i] * 96.0f;
    const float yOffset = sinScaled - 8.0f;
    gaugeArcX[i] = 120 - static_cast<int32_t>(xOffset);
    gaugeArcY[i] = 208 - static_cast<int32_t>(yOffset);
  }
}

namespace {

// A number as big digits, leftmost at x: two digits at least, more when the
// number needs them, so that a round of 100 or more still reads right.
void drawBigNumberAtLeastTwo(int32_t x, int32_t y, int32_t value) {
  int32_t count = 2;
  for (int32_t rest = value / 100; rest > 0; rest /= 10) ++count;
  drawBigNumber(x, y, count, value);
}

void drawTurnMarks() {
  for (int32_t k = 0; k < match.dartIndex && k < kDartsPerTurn; ++k)
    drawSprite(kSpriteSpark, kBackSurface, match.dartMarkX[k], match.dartMarkY[k], COLOR_KEY);
}

// The gauge band, x 0 to 239 and y 112 to 255, to black (fillRect's right
// and bottom are exclusive).
void clearGaugeArea() { fillRect(kBackSurface, 0, 112, 240, 256, 0); }

// Arm pose, arc and the marker at the current gauge index.
void drawGauge() {
  drawSprite(kSpriteArm1 + match.gaugeIndex / 30, kBackSurface, 40, 112, COLOR_KEY);
  drawSprite(kSpriteGauge, kBackSurface, 8, 112, COLOR_KEY);
  drawSprite(kSpritePowerMarker, kBackSurface, gaugeArcX[match.gaugeIndex],
             gaugeArcY[match.gaugeIndex], COLOR_KEY);
}

}  // namespace

// kMatchAnnounce: the player, round and dart about to be thrown on the faded
// board, plus the number to aim at in "Round The Clock".
void announceDart() {
  clearSurface(kBackSurface, BACKGROUND_INDEX);
  drawSprite(kSpritePaleBoard, kBackSurface, 8, 16, COLOR_KEY);
  drawSprite(kSpriteAimPointer, kBackSurface, match.aimX, 0, COLOR_KEY);
  drawScoreboard();
  drawTurnMarks();
  drawSprite(kSpritePlayer, kBackSurface, 64, 32, COLOR_KEY);
  drawSprite(kSpriteBigDigit1 + match.currentPlayer, kBackSurface, 160, 32, COLOR_KEY);
  drawSprite(kSpriteRound, kBackSurface, 56, 72, COLOR_KEY);
  drawBigNumberAtLeastTwo(152, 72, match.roundIndex + 1);
  const int32_t darts = currentRules().dartsPerTurn;
  const int32_t dart = match.dartIndex < darts ? match.dartIndex : darts - 1;
  drawSprite(kSpriteFirstDart + dart, kBackSurface, 72, 112, COLOR_KEY);
  drawSprite(kSpriteTry, kBackSurface, 120, 112, COLOR_KEY);
  if (gameMode == kGameRoundTheClock) {
    drawSprite(kSpriteNextTarget, kBackSurface, 32, 152, COLOR_KEY);
    drawBigNumberAtLeastTwo(176, 152, match.playerScores[match.currentPlayer]);
  }
  match.aimX = kAimStart;
  match.aimDirection = 0;
}

// kMatchShowBoard: the board itself, once.
void showBoard() {
  clearSurface(kBackSurface, BACKGROUND_INDEX);
  drawSprite(kSpriteBoard, kBackSurface, 8, 16, COLOR_KEY);
  drawSprite(kSpriteAimPointer, kBackSurface, match.aimX, 0, COLOR_KEY);
  drawScoreboard();
  drawTurnMarks();
  sceneStep = kMatchAimSlide;
}

void slideAim(int32_t &aimX, int32_t &direction) {
  if (direction == 1) {
    aimX += kAimStep;
    if (aimX >= kAimRight) {
      aimX = kAimRight;
      direction = 0;
    }
  } else {
    aimX -= kAimStep;
    if (aimX <= kAimLeft) {
      aimX = kAimLeft;
      direction = 1;
    }
  }
}

// kMatchAimSlide: the pointer slides 4 pixels a pass between 16 and 208.
void aimPointer() {
  // The pointer's whole 16 x 16 square (fillRect's right and bottom are exclusive).
  fillRect(kBackSurface, match.aimX, 0, match.aimX + 16, 16, BACKGROUND_INDEX);
  slideAim(match.aimX, match.aimDirection);
  drawSprite(kSpriteAimPointer, kBackSurface, match.aimX, 0, COLOR_KEY);
}

// kMatchGaugeReady: the gauge waits at its bottom. The marker is drawn where
// the last dart's gauge stopped before the index goes back to 0.
void gaugeReady() {
  clearGaugeArea();
  drawSprite(kSpriteArm1, kBackSurface, 40, 112, COLOR_KEY);
  drawSprite(kSpriteGauge, kBackSurface, 8, 112, COLOR_KEY);
  drawSprite(kSpritePowerMarker, kBackSurface, gaugeArcX[match.gaugeIndex],
             gaugeArcY[match.gaugeIndex], COLOR_KEY);
  match.gaugeIndex = 0;
}

// kMatchPowerClimbs: the marker climbs 2 a pass; at the top the peak fixes itself.
void powerClimbs() {
  clearGaugeArea();
  match.gaugeIndex += kGaugeStep;
  if (match.gaugeIndex > kGaugePoints - 1) {
    match.gaugeIndex = kGaugePoints - 1;
    // AS-DESIGNED: a peak nobody pressed is 139, odd, where a pressed one is
    // always even; the release indices after it are odd too.
    match.gaugePeak = kGaugePoints - 1;
    sceneStep = kMatchPowerFalls;
  }
  drawGauge();
}

// kMatchPowerFalls: the marker falls 2 a pass; at the bottom the dart leaves by itself.
void powerFalls(uint32_t now) {
  clearGaugeArea();
  match.gaugeIndex -= kGaugeStep;
  if (match.gaugeIndex <= 0) {
    match.gaugeIndex = 0;
    match.gaugeRelease = 0;
    playSound(appInstance, kSoundThrow);
    match.throwTime = now;
    sceneStep = kMatchFlight;
  }
  drawGauge();
  drawSprite(kSpritePowerMarker, kBackSurface, gaugeArcX[match.gaugePeak],
             gaugeArcY[match.gaugePeak], COLOR_KEY);
}

// kMatchFlight: the dart flies for more than 500 ms, then lands.
void flight(uint32_t now) {
  if (now - match.throwTime > 500) landDart();
}
