// Shanghai, the host's game: seven rounds, the round's number the only one
// that scores (its single, double and triple), and a single, double and
// triple of it in one turn wins at once. Pure rules, shared by the match's
// slot, the tests and a computer player.
#pragma once

#include <cstdint>

#include "host/host_dart.h"

constexpr int32_t kShanghaiRounds = 7;

struct ShanghaiGame {
  HostTurn turn;
  int32_t points[kHostSeats];
  int32_t darts[kHostSeats];
  // The rings of the round's number the thrower has hit this turn: bit 1
  // single, bit 2 double, bit 4 triple.
  int32_t ringsThisTurn;
  bool finished;
  bool shanghai;   // ended by a Shanghai
  int32_t winner;  // a seat, or kNobody (a draw, or alone without a Shanghai)
};

struct ShanghaiThrow {
  int32_t points;
  bool shanghai;  // this dart completed single, double and triple
  bool matchOver;
};

void shanghaiStart(ShanghaiGame &game, int32_t players);
// The number that scores in the current round: 1 to 7.
int32_t shanghaiNumber(const ShanghaiGame &game);
// What `dart` would do for the current seat, without throwing it.
ShanghaiThrow shanghaiPreview(const ShanghaiGame &game, HostDart dart);
ShanghaiThrow shanghaiThrow(ShanghaiGame &game, HostDart dart);
