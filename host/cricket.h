// Cricket, the host's game: close 15 to 20 and the bull with three marks
// each, score on a closed number while an opponent has it open. Pure rules,
// shared by the match's slot, the tests and a computer player.
#pragma once

#include <cstdint>

#include "host/host_dart.h"

constexpr int32_t kCricketTargets = 7;  // 15, 16, 17, 18, 19, 20, bull
constexpr int32_t kCricketClosed = 3;

// The target a number is (0 for 15 ... 6 for the bull), or -1 for none.
int32_t cricketTarget(int32_t number);
// The number of a target: 15 to 20, or kBullNumber.
int32_t cricketNumber(int32_t target);

struct CricketGame {
  HostTurn turn;
  int32_t marks[kHostSeats][kCricketTargets];  // up to kCricketClosed
  int32_t points[kHostSeats];
  int32_t marksHit[kHostSeats];  // every mark that counted, closing or scoring
  int32_t darts[kHostSeats];
  bool finished;
  int32_t winner;  // a seat, or kNobody (a draw, or alone and not closed)
};

struct CricketThrow {
  int32_t marks;   // marks the dart counted (closing or scoring)
  int32_t points;  // points it scored
  bool matchOver;
};

void cricketStart(CricketGame &game, int32_t players);
// What `dart` would do for the current seat, without throwing it.
CricketThrow cricketPreview(const CricketGame &game, HostDart dart);
CricketThrow cricketThrow(CricketGame &game, HostDart dart);
bool cricketAllClosed(const CricketGame &game, int32_t seat);
// Whether a number is still open for some seat other than `seat`.
bool cricketOpenForAnother(const CricketGame &game, int32_t seat, int32_t target);
