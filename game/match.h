// The darts match: its state, the throw, the scoring of a landing, the rules
// of the four games and the scoreboard.
#pragma once

#include <cstdint>

enum GameMode : int32_t {
  GAME_301 = 0,
  GAME_COUNT_UP = 1,
  GAME_HIGH_SCORE = 2,
  GAME_ROUND_THE_CLOCK = 3
};

constexpr int32_t NO_WINNER = 99;
constexpr int32_t MAX_PLAYERS = 4;
constexpr int32_t DARTS_PER_TURN = 3;
constexpr int32_t GAUGE_POINTS = 140;

// Chosen on the set-up screens, read by the match.
extern int32_t gameMode;
extern int32_t playerCount;

struct MatchState {
  int32_t currentPlayer;
  int32_t roundIndex;
  int32_t dartIndex;
  int32_t playerScores[MAX_PLAYERS];
  int32_t winner;
  int32_t dartMarkX[DARTS_PER_TURN];
  int32_t dartMarkY[DARTS_PER_TURN];
  int32_t aimX;
  int32_t aimDirection;
  int32_t gaugeIndex;
  int32_t gaugePeak;
  int32_t gaugeRelease;
  uint32_t throwTime;
  int32_t hitDistance;
  int32_t hitAngle;
  int32_t hitQuadrant;
  int32_t hitSector;
  int32_t throwScore;
  int32_t popupRise;
};
extern MatchState match;

// Built once at start-up.
extern float sinTable[360];
extern float cosTable[360];
extern int32_t gaugeArcX[GAUGE_POINTS];
extern int32_t gaugeArcY[GAUGE_POINTS];
void buildTrigTables();
void buildGaugeArc();

// The board's numbers by angle band (6) and quadrant (4): band * 4 + quadrant.
extern const int32_t sectorTable[24];

// The frame handler of MatchScene (it has no key or tap handler).
void matchSceneFrame();

// Scores the landing from aimX, gaugePeak and gaugeRelease, starts the
// effect and moves sceneStep to the result step.
void landDart();

void drawScoreboard();
void drawBigNumber(int32_t x, int32_t y, int32_t count, int32_t value);
