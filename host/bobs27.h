// Bob's 27, the host's practice game: each player on a score of their own
// from 27, a round at each double from 1 to 20 and then at the bull. A hit
// adds the double's value, a turn without one takes it away, and a player
// at 0 or below is out and skipped. Pure rules, shared by the match's slot,
// the tests and a computer player.
#pragma once

#include <cstdint>

#include "host/host_dart.h"

constexpr int32_t kBobs27Start = 27;
constexpr int32_t kBobs27Rounds = 21;  // double 1 ... double 20, then the bull

struct Bobs27Game {
  HostTurn turn;
  int32_t score[kHostSeats];  // may go below 0: shown as it is
  bool out[kHostSeats];
  int32_t hits[kHostSeats];
  int32_t darts[kHostSeats];
  int32_t hitsThisTurn;
  bool finished;
  int32_t winner;  // a seat, or kNobody (a draw, or a player alone)
};

struct Bobs27Throw {
  bool hit;
  int32_t change;  // what the dart, and at a turn's end the turn, did to the score
  bool dropsOut;   // the turn left the score at 0 or below
  bool matchOver;
};

void bobs27Start(Bobs27Game &game, int32_t players);
// The round's double: 1 to 20, or kBullNumber in the last round.
int32_t bobs27Number(int32_t round);
// What the round's double is worth: twice its number, 50 for the bull.
int32_t bobs27Value(int32_t round);
bool bobs27Hit(int32_t round, HostDart dart);
Bobs27Throw bobs27Throw(Bobs27Game &game, HostDart dart);
