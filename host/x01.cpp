// X01's rules: a dart's effect on a score, legs and the match.
#include "host/x01.h"

bool x01OptionsValid(const X01Options &o) {
  const bool start = o.start == 301 || o.start == 501 || o.start == 701;
  const bool in = o.in == X01In::kStraight || o.in == X01In::kDouble;
  const bool out =
      o.out == X01Out::kStraight || o.out == X01Out::kDouble || o.out == X01Out::kMaster;
  const bool legs = o.legs == 1 || o.legs == 3 || o.legs == 5;
  return start && in && out && legs;
}

int32_t x01LegsToWin(const X01Options &options) { return options.legs / 2 + 1; }

bool x01Finishable(X01Out out, int32_t left) { return left >= (out == X01Out::kStraight ? 1 : 2); }

X01DartResult x01Dart(const X01Options &options, int32_t left, bool opened, HostDart dart) {
  X01DartResult r{};
  if (!opened && options.in == X01In::kDouble) {
    // Nothing counts until a double (the inner bull among them) opens the seat.
    if (!isDouble(dart)) return r;
    r.opens = true;
  }
  const int32_t score = dartScore(dart);
  const int32_t rest = left - score;
  bool allowedLast = true;
  if (options.out == X01Out::kDouble) allowedLast = isDouble(dart);
  if (options.out == X01Out::kMaster) allowedLast = dart.multiplier >= 2;
  if (rest < 0 || (rest > 0 && !x01Finishable(options.out, rest)) || (rest == 0 && !allowedLast)) {
    r.bust = true;
    r.opens = false;
    return r;
  }
  r.counted = score;
  r.checkout = rest == 0;
  return r;
}

namespace {

void startLeg(X01Game &game, int32_t starter) {
  game.turn = hostTurnStart(game.turn.players, starter);
  for (int32_t s = 0; s < kHostSeats; ++s) {
    game.left[s] = game.options.start;
    game.turnStart[s] = game.options.start;
    game.opened[s] = false;
    game.legDarts[s] = 0;
  }
}

// Out of rounds: the lowest score left takes the leg; equal lowest scores,
// or a seat alone that has not finished, take nobody.
int32_t legByLowestScore(const X01Game &game) {
  const int32_t players = game.turn.players;
  if (players == 1) return kNobody;
  int32_t best = kNobody;
  bool tied = false;
  for (int32_t s = 0; s < players; ++s) {
    if (best == kNobody || game.left[s] < game.left[best]) {
      best = s;
      tied = false;
    } else if (game.left[s] == game.left[best]) {
      tied = true;
    }
  }
  return tied ? kNobody : best;
}

// After a leg: the match is won on reaching the legs needed; when every
// leg of the best-of has been played (drawn legs count as played) the most
// legs won takes it, and equal most is a draw.
bool matchDecided(X01Game &game) {
  const int32_t players = game.turn.players;
  for (int32_t s = 0; s < players; ++s) {
    if (game.legsWon[s] >= x01LegsToWin(game.options)) {
      game.winner = s;
      return true;
    }
  }
  if (game.leg + 1 < game.options.legs) return false;
  int32_t best = 0;
  bool tied = false;
  for (int32_t s = 1; s < players; ++s) {
    if (game.legsWon[s] > game.legsWon[best]) {
      best = s;
      tied = false;
    } else if (game.legsWon[s] == game.legsWon[best]) {
      tied = true;
    }
  }
  game.winner = tied || game.legsWon[best] == 0 ? kNobody : best;
  return true;
}

}  // namespace

void x01Start(X01Game &game, const X01Options &options, int32_t players) {
  game = X01Game{};
  game.options = options;
  game.turn.players = players < 1 ? 1 : (players > kHostSeats ? kHostSeats : players);
  game.winner = kNobody;
  startLeg(game, 0);
}

X01Throw x01Throw(X01Game &game, HostDart dart) {
  X01Throw t{};
  t.legWinner = kNobody;
  if (game.finished) return t;
  const int32_t seat = game.turn.seat;
  if (game.turn.dart == 0) game.turnStart[seat] = game.left[seat];
  t.dart = x01Dart(game.options, game.left[seat], game.opened[seat], dart);
  game.legDarts[seat] += 1;
  if (t.dart.opens) game.opened[seat] = true;
  if (t.dart.bust) game.left[seat] = game.turnStart[seat];
  game.left[seat] -= t.dart.counted;

  if (t.dart.checkout) {
    t.legOver = true;
    t.legWinner = seat;
  } else if (hostTurnAfterDart(game.turn, t.dart.bust)) {
    t.legOver = true;
    t.legWinner = legByLowestScore(game);
  }
  if (!t.legOver) return t;

  if (t.legWinner != kNobody) game.legsWon[t.legWinner] += 1;
  if (matchDecided(game)) {
    game.finished = true;
    t.matchOver = true;
    return t;
  }
  // Each new leg is opened by the next seat after the one that opened the last.
  const int32_t starter = (game.turn.starter + 1) % game.turn.players;
  game.leg += 1;
  startLeg(game, starter);
  return t;
}
