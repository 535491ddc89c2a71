// X01, the host's game: every seat counts down from 301, 501 or 701 to
// exactly 0, with the chosen in and out rules, over one, three or five
// legs. Pure rules: no drawing, no match, so that a test, the match's slot
// and a computer player ask the same questions.
#pragma once

#include <cstdint>

#include "host/host_dart.h"

enum class X01In : int32_t { kStraight, kDouble };
enum class X01Out : int32_t { kStraight, kDouble, kMaster };

struct X01Options {
  int32_t start = 501;  // 301, 501 or 701
  X01In in = X01In::kStraight;
  X01Out out = X01Out::kDouble;
  int32_t legs = 1;  // best of 1, 3 or 5
};
bool x01OptionsValid(const X01Options &options);
// Legs a seat needs to win the match: 1, 2 or 3.
int32_t x01LegsToWin(const X01Options &options);

// What one dart does to a seat's score under the rules.
struct X01DartResult {
  int32_t counted;  // what it takes off (0 before the seat is in, 0 on a bust)
  bool opens;       // the seat's first counting dart under double in
  bool bust;        // the score goes back to the turn's start, the turn ends
  bool checkout;    // the score reached 0 on a dart the out rule allows
};
X01DartResult x01Dart(const X01Options &options, int32_t left, bool opened, HostDart dart);
// Whether `left` can still be finished under the out rule at all (1 cannot
// under double or master out).
bool x01Finishable(X01Out out, int32_t left);

// A whole match of X01.
struct X01Game {
  X01Options options;
  HostTurn turn;
  int32_t left[kHostSeats];
  int32_t turnStart[kHostSeats];  // each seat's score when its turn began
  bool opened[kHostSeats];
  int32_t legsWon[kHostSeats];
  int32_t leg;  // 0 is the first
  bool finished;
  int32_t winner;                // a seat, or kNobody (alone and short of the legs, or a draw)
  int32_t legDarts[kHostSeats];  // darts thrown this leg
};

struct X01Throw {
  X01DartResult dart;
  bool legOver;
  int32_t legWinner;  // a seat, or kNobody for a drawn leg
  bool matchOver;
};

void x01Start(X01Game &game, const X01Options &options, int32_t players);
// The current seat throws `dart`: scores, turn, leg and match move on.
X01Throw x01Throw(X01Game &game, HostDart dart);
