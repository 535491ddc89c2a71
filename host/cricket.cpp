// Cricket's rules: marks, points, the win and the round limit.
#include "host/cricket.h"

int32_t cricketTarget(int32_t number) {
  if (number >= 15 && number <= 20) return number - 15;
  return number == kBullNumber ? 6 : -1;
}

int32_t cricketNumber(int32_t target) { return target == 6 ? kBullNumber : 15 + target; }

bool cricketOpenForAnother(const CricketGame &game, int32_t seat, int32_t target) {
  for (int32_t s = 0; s < game.turn.players; ++s)
    if (s != seat && game.marks[s][target] < kCricketClosed) return true;
  return false;
}

bool cricketAllClosed(const CricketGame &game, int32_t seat) {
  for (int32_t t = 0; t < kCricketTargets; ++t)
    if (game.marks[seat][t] < kCricketClosed) return false;
  return true;
}

namespace {

bool leadsOnPoints(const CricketGame &game, int32_t seat) {
  for (int32_t s = 0; s < game.turn.players; ++s)
    if (game.points[s] > game.points[seat]) return false;
  return true;
}

// Out of rounds: the most points, then the most marks; alone, or level on
// both, nobody wins.
int32_t winnerAtTheLimit(const CricketGame &game) {
  if (game.turn.players == 1) return kNobody;
  int32_t best = 0;
  bool tied = false;
  for (int32_t s = 1; s < game.turn.players; ++s) {
    const bool more =
        game.points[s] > game.points[best] ||
        (game.points[s] == game.points[best] && game.marksHit[s] > game.marksHit[best]);
    const bool same =
        game.points[s] == game.points[best] && game.marksHit[s] == game.marksHit[best];
    if (more) {
      best = s;
      tied = false;
    } else if (same) {
      tied = true;
    }
  }
  return tied ? kNobody : best;
}

}  // namespace

void cricketStart(CricketGame &game, int32_t players) {
  game = CricketGame{};
  game.turn = hostTurnStart(players < 1 ? 1 : (players > kHostSeats ? kHostSeats : players), 0);
  game.winner = kNobody;
}

CricketThrow cricketPreview(const CricketGame &game, HostDart dart) {
  CricketThrow t{};
  const int32_t target = cricketTarget(dart.number);
  if (target < 0 || dart.multiplier <= 0) return t;
  const int32_t seat = game.turn.seat;
  const int32_t had = game.marks[seat][target];
  const int32_t closing =
      dart.multiplier < kCricketClosed - had ? dart.multiplier : kCricketClosed - had;
  const int32_t beyond = dart.multiplier - closing;
  t.marks = closing;
  if (beyond > 0 && cricketOpenForAnother(game, seat, target)) {
    t.marks += beyond;
    t.points = beyond * cricketNumber(target);
  }
  return t;
}

CricketThrow cricketThrow(CricketGame &game, HostDart dart) {
  CricketThrow t = cricketPreview(game, dart);
  if (game.finished) return CricketThrow{};
  const int32_t seat = game.turn.seat;
  const int32_t target = cricketTarget(dart.number);
  if (target >= 0) {
    const int32_t had = game.marks[seat][target];
    game.marks[seat][target] =
        had + dart.multiplier < kCricketClosed ? had + dart.multiplier : kCricketClosed;
  }
  game.points[seat] += t.points;
  game.marksHit[seat] += t.marks;
  game.darts[seat] += 1;

  if (cricketAllClosed(game, seat) && leadsOnPoints(game, seat)) {
    game.finished = true;
    game.winner = seat;
  } else if (hostTurnAfterDart(game.turn, false)) {
    game.finished = true;
    game.winner = winnerAtTheLimit(game);
  }
  t.matchOver = game.finished;
  return t;
}
