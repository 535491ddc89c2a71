// The host's games played by a computer's aim alone: the rules and the
// seat's choices as the real match has them, each dart landed by the
// level's drawn errors on the board grid (cpuSimulatedDart) instead of by
// passes of the match. Thousands of games a second, for the tests and the
// level benchmark; whole matches are in cpu_match.h.
#pragma once

#include <cstdint>

#include "host/x01.h"

// One X01 leg alone, to its finish or the round limit.
struct X01AimLeg {
  bool finished;
  int32_t darts;
  int32_t points;         // taken off the start
  int32_t finishChances;  // darts thrown with a one-dart finish on
  int32_t busts;
};
X01AimLeg simulateX01Leg(int32_t level, const X01Options &options, uint64_t seed);

// One Cricket game alone, to all closed or the round limit.
struct CricketAimGame {
  bool closed;
  int32_t rounds;  // rounds thrown
  int32_t marks;
};
CricketAimGame simulateCricket(int32_t level, uint64_t seed);

// One Shanghai game alone: its total after seven rounds, or at a Shanghai.
struct ShanghaiAimGame {
  int32_t points;
  bool shanghai;
};
ShanghaiAimGame simulateShanghai(int32_t level, uint64_t seed);

// One Bob's 27 game alone: the score at the end (out or through the bull).
struct Bobs27AimGame {
  int32_t score;
  bool survived;
  int32_t hits, darts;
};
Bobs27AimGame simulateBobs27(int32_t level, uint64_t seed);
