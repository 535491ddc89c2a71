// A dart as the host's own games read it (which number, which ring), and
// the turn order they share: three darts a turn, seats in order from the
// one that starts, a round counted each time that seat throws again.
#pragma once

#include <cstdint>

constexpr int32_t kHostSeats = 4;
constexpr int32_t kHostDartsPerTurn = 3;
constexpr int32_t kHostRoundLimit = 20;
constexpr int32_t kBullNumber = 25;
constexpr int32_t kNobody = -1;

struct HostDart {
  int32_t number;      // 1 to 20, kBullNumber, or 0 for a miss
  int32_t multiplier;  // 1 single, 2 double, 3 triple (the bull: 1 outer, 2 inner); 0 a miss
};

// What a dart scores on the board.
constexpr int32_t dartScore(HostDart d) { return d.number * d.multiplier; }
constexpr bool isDouble(HostDart d) { return d.multiplier == 2; }

// The dart from the match's landing: the points it scored and its sector.
HostDart hostDartFrom(int32_t score, int32_t sector);

// Whose turn it is in a leg, a round and which dart.
struct HostTurn {
  int32_t players;
  int32_t starter;  // the seat that opened the leg
  int32_t seat;
  int32_t round;  // 0 is the first
  int32_t dart;   // 0 to kHostDartsPerTurn - 1
};
// A fresh leg opened by `starter`.
HostTurn hostTurnStart(int32_t players, int32_t starter);
// One dart thrown: the next dart, or (turnOver, or the third dart) the next
// seat. True when that closed the last round of the leg.
bool hostTurnAfterDart(HostTurn &turn, bool turnOver);
