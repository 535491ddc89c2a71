// MatchScene: the match's state, its frame handler with the throw button
// rule, the start of a match, applying a dart by the rules of the four
// games, turn and round advance, and the end screen.
#include "game/match.h"

#include "app/scene.h"
#include "app/settings.h"
#include "gfx/surface.h"
#include "screens/screens.h"

int32_t gameMode;
int32_t playerCount;
MatchState match;

// Step work of the throw (throw.cpp) and of the result (scoring.cpp).
void announceDart();
void showBoard();
void aimPointer();
void gaugeReady();
void powerClimbs();
void powerFalls(uint32_t now);
void flight(uint32_t now);
void showResult();

namespace {

// Step 0: a fresh match.
void startMatch(uint32_t now) {
  match.currentPlayer = 0;
  match.roundIndex = 0;
  match.dartIndex = 0;
  match.aimX = 112;
  match.winner = NO_WINNER;
  for (int32_t k = 0; k < DARTS_PER_TURN; ++k) {
    match.dartMarkX[k] = 0;
    match.dartMarkY[k] = 0;
  }
  int32_t start = 0;
  if (gameMode == GAME_301) start = 301;
  if (gameMode == GAME_ROUND_THE_CLOCK) start = 1;
  for (int32_t i = 0; i < MAX_PLAYERS; ++i) match.playerScores[i] = start;
  sceneStep = 1;
  clearEffects();
  inputDebounceTime = now;
}

// Step 10: applies the landed dart's score, then advances the turn.
void applyDart() {
  const int32_t p = match.currentPlayer;
  int32_t &score = match.playerScores[p];
  bool finished = false;
  bool bust = false;
  switch (gameMode) {
    case GAME_301:
      if (score < match.throwScore) {
        bust = true;
      } else {
        score -= match.throwScore;
        if (score == 0) {
          finished = true;
          match.winner = p;
        }
      }
      break;
    case GAME_COUNT_UP:
      score += match.throwScore;
      if (score >= 200) {
        finished = true;
        match.winner = p;
      }
      break;
    case GAME_HIGH_SCORE:
      score += match.throwScore;
      break;
    case GAME_ROUND_THE_CLOCK:
      if (match.throwScore == 50 || match.throwScore == 25 ||
          (match.hitSector == score && match.throwScore != 0)) {
        score += 1;
        if (score > 20) {
          finished = true;
          match.winner = p;
        }
      }
      break;
    default:
      break;
  }

  drawScoreboard();
  match.dartIndex += 1;

  if (!finished && (match.dartIndex == DARTS_PER_TURN || bust)) {
    for (int32_t k = 0; k < DARTS_PER_TURN; ++k) {
      match.dartMarkX[k] = 0;
      match.dartMarkY[k] = 0;
    }
    match.dartIndex = 0;
    match.currentPlayer += 1;
    if (match.currentPlayer == playerCount) {
      match.currentPlayer = 0;
      match.roundIndex += 1;
      if ((gameMode == GAME_301 || gameMode == GAME_ROUND_THE_CLOCK) && match.roundIndex == 10) {
        finished = true;
        match.winner = NO_WINNER;
      } else if (gameMode == GAME_HIGH_SCORE && match.roundIndex == 7) {
        finished = true;
      }
    }
  }
  sceneStep = finished ? 12 : 11;
}

// Step 13: the end screen over the pale board and the final scoreboard.
void drawEndScreen() {
  clearSurface(0, BACKGROUND_INDEX);
  drawSprite(75, 0, 8, 16, COLOR_KEY);
  drawScoreboard();
  if (gameMode == GAME_HIGH_SCORE || playerCount == 1) {
    drawSprite(65, 0, 64, 80, COLOR_KEY);
  } else if (match.winner == NO_WINNER) {
    drawSprite(64, 0, 56, 80, COLOR_KEY);
    drawSprite(65, 0, 64, 120, COLOR_KEY);
  } else {
    drawSprite(12, 0, 24, 80, COLOR_KEY);
    drawSprite(14 + match.winner, 0, 120, 80, COLOR_KEY);
    drawSprite(66, 0, 152, 80, COLOR_KEY);
    drawSprite(65, 0, 64, 120, COLOR_KEY);
  }
  sceneStep = 14;
}

// The throw button: polled, taken only more than 200 ms after the last
// accepted press. Returns true when the press left the match.
bool throwButton(uint32_t now) {
  if (now - inputDebounceTime <= INPUT_GAP_MS) return false;
  const SHORT state = GetAsyncKeyState(static_cast<int>(keyBindings[BUTTON_A]));
  if ((static_cast<uint16_t>(state) & 0x8000u) == 0) return false;

  inputDebounceTime = now;
  switch (sceneStep) {
    case 1:
      sceneStep = 2;
      break;
    case 3:
      sceneStep = 4;
      break;
    case 4:
      sceneStep = 5;
      break;
    case 5:
      match.gaugePeak = match.gaugeIndex;
      sceneStep = 6;
      break;
    case 6:
      match.gaugeRelease = match.gaugeIndex;
      playSound(appInstance, 3);
      match.throwTime = now;
      sceneStep = 7;
      break;
    case 11:
      sceneStep = 1;
      break;
    case 12:
      sceneStep = 13;
      break;
    case 14:
      installTitleScene();
      return true;
    default:
      // Any other step uses the press up without effect.
      break;
  }
  return false;
}

}  // namespace

void matchSceneFrame() {
  const uint32_t now = timeGetTime();
  if (!throwButton(now)) {
    switch (sceneStep) {
      case 0:
        startMatch(now);
        break;
      case 1:
        announceDart();
        break;
      case 2:
        showBoard();
        break;
      case 3:
        aimPointer();
        break;
      case 4:
        gaugeReady();
        break;
      case 5:
        powerClimbs();
        break;
      case 6:
        powerFalls(now);
        break;
      case 7:
        flight(now);
        break;
      case 8:
      case 9:
        showResult();
        break;
      case 10:
        applyDart();
        break;
      case 13:
        drawEndScreen();
        break;
      default:
        // 11, 12 and 14 wait for the button and draw nothing.
        break;
    }
  }
  present(0, 0, 0, 0, 0, 0, 0, NO_KEY);
}
