// How a computer seat plays the host's own games: what it wants from its
// next dart, given the game as it stands, turned into a point on the board
// by its level's aim (host/cpu.h). Pure choices, so that a test or a
// benchmark can play a game with the aim alone.
#pragma once

#include <cstdint>

#include "host/bobs27.h"
#include "host/cpu.h"
#include "host/cricket.h"
#include "host/shanghai.h"
#include "host/x01.h"

// X01: the double that opens the seat under double in; then the checkout
// route's next dart when the score can be finished this turn, else the
// dart that leaves the best finish (a double, when the score allows), else
// the most points.
CpuWish x01Wish(const X01Game &game);
CpuTarget x01Aim(int32_t level, const X01Game &game);

// Cricket: cover a number an opponent scores on, score where only the
// opponents are open while not ahead on points, else close the highest
// number still open.
struct CricketPlan {
  int32_t target;  // 0 for 15 ... 6 for the bull
  bool scoring;    // after points rather than marks
};
CricketPlan cricketPlan(const CricketGame &game);
CpuTarget cricketAim(int32_t level, const CricketGame &game);

// Shanghai: the round's number for the most points, and the ring that
// completes a Shanghai when the turn has the other two.
CpuTarget shanghaiAim(int32_t level, const ShanghaiGame &game);
// Bob's 27: the round's double (the bull in the last round).
CpuTarget bobs27Aim(int32_t level, const Bobs27Game &game);

// Hands the computer seats the host games' aim (host/cpu.h).
void registerHostGameAim();
