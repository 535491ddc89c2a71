// MatchScene: the match's state, its frame handler with the throw button
// rule, the start of a match, applying a dart by the rules of the four
// games, turn and round advance, and the end screen.
#include "game/match.h"

#include <iterator>

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

static_assert(std::size(kGameRules) == kGameRoundTheClock + 1, "one row per game");
static_assert(kHostGameFirst == std::size(kGameRules), "host games number on from the four");
static_assert(
    [] {
      for (const GameRules &r : kGameRules)
        if (r.dartsPerTurn < 1 || r.dartsPerTurn > kDartsPerTurn) return false;
      return true;
    }(),
    "a turn has 1 to kDartsPerTurn darts: the marks are kept in arrays of that size");

const GameRules &currentRules() {
  static constexpr GameRules noRules = {
      .startScore = 0, .target = kNoTarget, .roundLimit = 0, .dartsPerTurn = kDartsPerTurn};
  const bool known = gameMode >= 0 && gameMode < static_cast<int32_t>(std::size(kGameRules));
  if (known) return kGameRules[gameMode];
  if (hostGameSlot.rules != nullptr && gameMode >= kHostGameFirst)
    if (const GameRules *rules = hostGameSlot.rules(gameMode)) return *rules;
  return noRules;
}

HostGameSlot hostGameSlot = {};

namespace {

// kMatchStarting: a fresh match.
void startMatch(uint32_t now) {
  match.currentPlayer = 0;
  match.roundIndex = 0;
  match.dartIndex = 0;
  match.aimX = kAimStart;
  match.winner = kNoWinner;
  for (int32_t k = 0; k < kDartsPerTurn; ++k) {
    match.dartMarkX[k] = 0;
    match.dartMarkY[k] = 0;
  }
  for (int32_t i = 0; i < kMaxPlayers; ++i) match.playerScores[i] = currentRules().startScore;
  sceneStep = kMatchAnnounce;
  clearEffects();
  inputDebounceTime = now;
}

void clearDartMarks() {
  for (int32_t k = 0; k < kDartsPerTurn; ++k) {
    match.dartMarkX[k] = 0;
    match.dartMarkY[k] = 0;
  }
}

// kMatchApplyDart of a host game: its rules move the scores, the turn and
// the legs on.
void applyHostDart() {
  const bool over = hostGameSlot.apply(match);
  drawScoreboard();
  if (match.dartIndex == 0) clearDartMarks();
  match.winner = kNoWinner;
  if (over && hostGameSlot.winner != nullptr) match.winner = hostGameSlot.winner(match);
  sceneStep = over ? kMatchFinished : kMatchNextDart;
}

// kMatchApplyDart: applies the landed dart's score, then advances the turn.
void applyDart() {
  if (hostGamePlayed()) {
    applyHostDart();
    return;
  }
  const GameRules &rules = currentRules();
  const int32_t p = match.currentPlayer;
  int32_t &score = match.playerScores[p];
  bool finished = false;
  bool bust = false;
  switch (gameMode) {
    case kGame301:
      if (score < match.throwScore) {
        bust = true;
      } else {
        score -= match.throwScore;
        if (score == rules.target) {
          finished = true;
          match.winner = p;
        }
      }
      break;
    case kGameCountUp:
      score += match.throwScore;
      if (score >= rules.target) {
        finished = true;
        match.winner = p;
      }
      break;
    case kGameHighScore:
      score += match.throwScore;
      break;
    case kGameRoundTheClock:
      if (match.throwScore == kDoubleBullScore || match.throwScore == kSingleBullScore ||
          (match.hitSector == score && match.throwScore != 0)) {
        score += 1;
        if (score >= rules.target) {
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

  if (!finished && (match.dartIndex >= rules.dartsPerTurn || bust)) {
    for (int32_t k = 0; k < kDartsPerTurn; ++k) {
      match.dartMarkX[k] = 0;
      match.dartMarkY[k] = 0;
    }
    match.dartIndex = 0;
    match.currentPlayer += 1;
    if (match.currentPlayer == playerCount) {
      match.currentPlayer = 0;
      match.roundIndex += 1;
      // Out of rounds: nobody won (in "High Score" nobody wins anyway).
      if (rules.roundLimit != 0 && match.roundIndex == rules.roundLimit) {
        finished = true;
        match.winner = kNoWinner;
      }
    }
  }
  sceneStep = finished ? kMatchFinished : kMatchNextDart;
}

// kMatchEndScreen: the end screen over the pale board and the final scoreboard.
void drawEndScreen() {
  clearSurface(kBackSurface, BACKGROUND_INDEX);
  drawSprite(kSpritePaleBoard, kBackSurface, 8, 16, COLOR_KEY);
  drawScoreboard();
  // AS-DESIGNED: alone, or in "High Score", the match ends on "GameOver" win or
  // lose; the scoreboard beside it tells how it went.
  if (gameMode == kGameHighScore || playerCount == 1) {
    drawSprite(kSpriteGameOver, kBackSurface, 64, 80, COLOR_KEY);
  } else if (match.winner == kNoWinner) {
    drawSprite(kSpriteDrawGame, kBackSurface, 56, 80, COLOR_KEY);
    drawSprite(kSpriteGameOver, kBackSurface, 64, 120, COLOR_KEY);
  } else {
    drawSprite(kSpritePlayer, kBackSurface, 24, 80, COLOR_KEY);
    drawSprite(kSpriteBigDigit1 + match.winner, kBackSurface, 120, 80, COLOR_KEY);
    drawSprite(kSpriteWin, kBackSurface, 152, 80, COLOR_KEY);
    drawSprite(kSpriteGameOver, kBackSurface, 64, 120, COLOR_KEY);
  }
  sceneStep = kMatchEndShown;
}

// The throw button: polled, taken only more than 200 ms after the last
// accepted press. Returns true when the press left the match.
bool throwButton(uint32_t now) {
  if (now - inputDebounceTime <= kInputGapMs) return false;
  const SHORT state = GetAsyncKeyState(static_cast<int>(keyBindings[kButtonA]));
  if ((static_cast<uint16_t>(state) & 0x8000u) == 0) return false;

  inputDebounceTime = now;
  switch (sceneStep) {
    case kMatchAnnounce:
      sceneStep = kMatchShowBoard;
      break;
    case kMatchAimSlide:
      sceneStep = kMatchGaugeReady;
      break;
    case kMatchGaugeReady:
      sceneStep = kMatchPowerClimbs;
      break;
    case kMatchPowerClimbs:
      match.gaugePeak = match.gaugeIndex;
      sceneStep = kMatchPowerFalls;
      break;
    case kMatchPowerFalls:
      match.gaugeRelease = match.gaugeIndex;
      playSound(appInstance, kSoundThrow);
      match.throwTime = now;
      sceneStep = kMatchFlight;
      break;
    case kMatchNextDart:
      sceneStep = kMatchAnnounce;
      break;
    case kMatchFinished:
      sceneStep = kMatchEndScreen;
      break;
    case kMatchEndShown:
      installTitleScene();
      return true;
    default:
      // Any other step uses the press up without effect.
      break;
  }
  return false;
}

}  // namespace

void quitToTitle() { installTitleScene(); }

bool hostGamePlayed() { return gameMode >= kHostGameFirst && hostGameSlot.apply != nullptr; }

void startHostMatch(int32_t mode, int32_t players) { startMatchOf(mode, players); }

void startMatchOf(int32_t mode, int32_t players) {
  gameMode = mode;
  playerCount = players < 1 ? 1 : (players > kMaxPlayers ? kMaxPlayers : players);
  // The match polls its button itself: no key or tap handler.
  switchSceneWithTap(matchSceneFrame, nullptr, nullptr);
}

void matchSceneFrame() {
  const uint32_t now = timeGetTime();
  if (!throwButton(now)) {
    switch (sceneStep) {
      case kMatchStarting:
        startMatch(now);
        break;
      case kMatchAnnounce:
        announceDart();
        break;
      case kMatchShowBoard:
        showBoard();
        break;
      case kMatchAimSlide:
        aimPointer();
        break;
      case kMatchGaugeReady:
        gaugeReady();
        break;
      case kMatchPowerClimbs:
        powerClimbs();
        break;
      case kMatchPowerFalls:
        powerFalls(now);
        break;
      case kMatchFlight:
        flight(now);
        break;
      case kMatchResult:
      case kMatchClockResult:
        showResult();
        break;
      case kMatchApplyDart:
        applyDart();
        break;
      case kMatchEndScreen:
        drawEndScreen();
        break;
      default:
        // kMatchNextDart, kMatchFinished and kMatchEndShown wait for the
        // button and draw nothing.
        break;
    }
  }
  present(kBackSurface, 0, 0, 0, 0, 0, 0, kNoKey);
}
