// Bob's 27's rules: the doubles in order, dropping out, the highest score.
#include "host/bobs27.h"

namespace {

// The next seat still in after `seat`, counting a round each time the
// order comes round to the first seat again. False when nobody is left.
bool nextSeatIn(Bobs27Game &game) {
  HostTurn &turn = game.turn;
  for (int32_t k = 0; k < turn.players; ++k) {
    turn.seat += 1;
    if (turn.seat == turn.players) {
      turn.seat = 0;
      turn.round += 1;
    }
    if (!game.out[turn.seat]) return true;
  }
  return false;
}

// The end: the highest score; equal highest, or a player alone, and nobody
// is named.
int32_t highestScore(const Bobs27Game &game) {
  if (game.turn.players == 1) return kNobody;
  int32_t best = 0;
  bool tied = false;
  for (int32_t s = 1; s < game.turn.players; ++s) {
    if (game.score[s] > game.score[best]) {
      best = s;
      tied = false;
    } else if (game.score[s] == game.score[best]) {
      tied = true;
    }
  }
  return tied ? kNobody : best;
}

}  // namespace

void bobs27Start(Bobs27Game &game, int32_t players) {
  game = Bobs27Game{};
  game.turn = hostTurnStart(players < 1 ? 1 : (players > kHostSeats ? kHostSeats : players), 0);
  for (int32_t s = 0; s < kHostSeats; ++s) game.score[s] = kBobs27Start;
  game.winner = kNobody;
}

int32_t bobs27Number(int32_t round) { return round < kBobs27Rounds - 1 ? round + 1 : kBullNumber; }

int32_t bobs27Value(int32_t round) { return 2 * bobs27Number(round); }

bool bobs27Hit(int32_t round, HostDart dart) {
  return dart.multiplier == 2 && dart.number == bobs27Number(round);
}

Bobs27Throw bobs27Throw(Bobs27Game &game, HostDart dart) {
  Bobs27Throw t{};
  if (game.finished) return t;
  const int32_t seat = game.turn.seat;
  const int32_t value = bobs27Value(game.turn.round);
  t.hit = bobs27Hit(game.turn.round, dart);
  game.darts[seat] += 1;
  if (t.hit) {
    game.score[seat] += value;
    game.hits[seat] += 1;
    game.hitsThisTurn += 1;
    t.change = value;
  }
  game.turn.dart += 1;
  if (game.turn.dart < kHostDartsPerTurn) return t;
  // The turn is over: no hit in it costs the double's value.
  if (game.hitsThisTurn == 0) {
    game.score[seat] -= value;
    t.change = -value;
    if (game.score[seat] <= 0) {
      game.out[seat] = true;
      t.dropsOut = true;
    }
  }
  game.hitsThisTurn = 0;
  game.turn.dart = 0;
  if (!nextSeatIn(game) || game.turn.round >= kBobs27Rounds) {
    game.finished = true;
    game.winner = highestScore(game);
  }
  t.matchOver = game.finished;
  return t;
}
