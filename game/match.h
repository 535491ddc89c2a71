// The darts match: its state, the throw, the scoring of a landing, the rules
// of the four games and the scoreboard.
#pragma once

#include <cstdint>

#include "game/board.h"

enum GameMode : int32_t {
  kGame301 = 0,
  kGameCountUp = 1,
  kGameHighScore = 2,
  kGameRoundTheClock = 3
};

// The steps of a match, in the order a dart passes through them. The values
// are the ones stored in sceneStep (dumps, replay scripts and golden tests
// read the numbers). The button moves a match on from the steps marked so.
enum MatchStep : int32_t {
  kMatchStarting = 0,     // scores, round and turn set for a fresh match
  kMatchAnnounce = 1,     // "PLAYER n / ROUND nn / n TRY" over the pale board; button
  kMatchShowBoard = 2,    // the board drawn once
  kMatchAimSlide = 3,     // the pointer slides along the top; button fixes the column
  kMatchGaugeReady = 4,   // the gauge waits at its bottom; button starts the climb
  kMatchPowerClimbs = 5,  // the marker climbs; button (or the top) fixes the peak
  kMatchPowerFalls = 6,   // the marker falls; button (or the bottom) releases the dart
  kMatchFlight = 7,       // the dart flies, then lands
  kMatchResult = 8,       // the landing's caption and score ("Round The Clock" uses 9)
  kMatchClockResult = 9,  // the same in "Round The Clock": "Success!" or "Fail..."
  kMatchApplyDart = 10,   // the score applied by the game's rules; the turn moves on
  kMatchNextDart = 11,    // waits for the button, then announces the next dart
  kMatchFinished = 12,    // the match is over; waits for the button
  kMatchEndScreen = 13,   // the end screen drawn once
  kMatchEndShown = 14,    // waits for the button, then back to the title
};

constexpr int32_t kNoWinner = 99;
constexpr int32_t kMaxPlayers = 4;
constexpr int32_t kDartsPerTurn = 3;  // the most darts a turn can have (the marks kept)
constexpr int32_t kGaugePoints = 140;

// How the throw moves, one pass at a time: the aim pointer's left edge slides
// kAimStep pixels between kAimLeft and kAimRight (the aim line is 8 pixels to
// its right), and the power marker climbs or falls kGaugeStep gauge points.
constexpr int32_t kAimStep = 4;
constexpr int32_t kAimLeft = 16;
constexpr int32_t kAimRight = 208;
constexpr int32_t kAimStart = 112;  // where the pointer waits at each announcement
constexpr int32_t kGaugeStep = 2;

// What the bull's two rings score.
constexpr int32_t kDoubleBullScore = 50;
constexpr int32_t kSingleBullScore = 25;

// The rules of one game, read by the match and the scoreboard alike.
struct GameRules {
  int32_t startScore;    // every player's score at the start
  int32_t target;        // the score that wins when reached; kNoTarget: none
  int32_t roundLimit;    // the match ends after this many rounds; 0: no limit
  int32_t dartsPerTurn;  // at most kDartsPerTurn
};
constexpr int32_t kNoTarget = -1;

// By GameMode. How a dart changes the score is each game's own (applyDart).
constexpr GameRules kGameRules[] = {
    // "301": down to exactly 0; a dart that would pass it is a bust.
    {.startScore = 301, .target = 0, .roundLimit = 10, .dartsPerTurn = 3},
    // "Count Up": every dart adds its score.
    {.startScore = 0, .target = 200, .roundLimit = 0, .dartsPerTurn = 3},
    // "High Score": the most points after the last round; nobody wins outright.
    {.startScore = 0, .target = kNoTarget, .roundLimit = 7, .dartsPerTurn = 3},
    // "Round The Clock": the score is the number to hit next, 1 to 20; past 20 wins.
    {.startScore = 1, .target = 21, .roundLimit = 10, .dartsPerTurn = 3},
};

// The rules of the chosen game (a mode outside the table gets no target and
// no round limit, unless a host game gives its own).
const GameRules &currentRules();

// Chosen on the set-up screens, read by the match.
extern int32_t gameMode;
extern int32_t playerCount;

struct MatchState;

// A game the host plays through this match, with mode numbers from
// kHostGameFirst up: its rules, handed in by the host (game code never
// includes it). Every pointer is null, and the match is the handheld's
// alone, unless such a game is being played; a pointer left null keeps the
// match's own answer for that question.
constexpr int32_t kHostGameFirst = 4;
struct HostGameSlot {
  // The game's rules row.
  const GameRules *(*rules)(int32_t mode);
  // A dart just scored `score` on `sector`: what it counts in this game,
  // whether it busts (the turn ends, the score goes back), whether it
  // finishes the thrower's game.
  int32_t (*points)(const MatchState &match, int32_t score, int32_t sector);
  bool (*busts)(const MatchState &match, int32_t score, int32_t sector);
  bool (*finishes)(const MatchState &match, int32_t score, int32_t sector);
  // Who won once the match is over: a player, or kNoWinner.
  int32_t (*winner)(const MatchState &match);
  // Applies the landed dart by the game's rules: the scores in `match`
  // and, once the turn is over, who throws next, the round and a new
  // leg's scores. True when that ended the match.
  bool (*apply)(MatchState &match);
};
extern HostGameSlot hostGameSlot;

struct MatchState {
  int32_t currentPlayer;
  int32_t roundIndex;
  int32_t dartIndex;
  int32_t playerScores[kMaxPlayers];
  int32_t winner;
  int32_t dartMarkX[kDartsPerTurn];
  int32_t dartMarkY[kDartsPerTurn];
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
extern int32_t gaugeArcX[kGaugePoints];
extern int32_t gaugeArcY[kGaugePoints];
void buildTrigTables();
void buildGaugeArc();

// The frame handler of MatchScene. It has no key or tap handler: it polls
// Button A itself (see app/scene.h for why).
void matchSceneFrame();

// Leaves a match for the title menu by the same switch as a match's end
// (the host's "Quit to title"; the game itself has no such way out).
void quitToTitle();
// Starts a match of that game and number of players at once, from any
// screen: the host's way into a match it plays again or starts afresh
// (resume, watch, rematch); the set-up screens are the player's.
void startMatchOf(int32_t mode, int32_t players);

// Starts a match of a host game (mode from kHostGameFirst, its rules in
// hostGameSlot) for `players` players, as the set-up screens start one of
// the four.
void startHostMatch(int32_t mode, int32_t players);
// Whether the match being played is a host game whose slot is filled.
bool hostGamePlayed();

// Scores the landing from aimX, gaugePeak and gaugeRelease, starts the
// effect and moves sceneStep to the result step.
void landDart();

// The pure parts of the throw, for anything that wants to plan one without
// touching the match (the computer players do).
//
// One pass of the sliding pointer: moves aimX (left edge) by kAimStep in
// direction (0 left, 1 right), turning at either end.
void slideAim(int32_t &aimX, int32_t &direction);
// The row a dart lands on from the gauge's peak and release, 0 to 240.
int32_t landingRow(int32_t peak, int32_t release);
// What a dart scores on the board where its point is (aimX + 8, row).
BoardPoint landingPoint(int32_t aimX, int32_t row);

void drawScoreboard();
void drawBigNumber(int32_t x, int32_t y, int32_t count, int32_t value);
