// Shanghai's rules: the round's number, the instant win and the totals.
#include "host/shanghai.h"

namespace {

int32_t ringBit(int32_t multiplier) { return 1 << (multiplier - 1); }
constexpr int32_t kAllRings = 7;

// After round 7: the highest total; equal highest, or a seat alone, and
// nobody is named.
int32_t highestTotal(const ShanghaiGame &game) {
  if (game.turn.players == 1) return kNobody;
  int32_t best = 0;
  bool tied = false;
  for (int32_t s = 1; s < game.turn.players; ++s) {
    if (game.points[s] > game.points[best]) {
      best = s;
      tied = false;
    } else if (game.points[s] == game.points[best]) {
      tied = true;
    }
  }
  return tied ? kNobody : best;
}

}  // namespace

void shanghaiStart(ShanghaiGame &game, int32_t players) {
  game = ShanghaiGame{};
  game.turn = hostTurnStart(players < 1 ? 1 : (players > kHostSeats ? kHostSeats : players), 0);
  game.winner = kNobody;
}

int32_t shanghaiNumber(const ShanghaiGame &game) {
  return game.turn.round < kShanghaiRounds ? game.turn.round + 1 : kShanghaiRounds;
}

ShanghaiThrow shanghaiPreview(const ShanghaiGame &game, HostDart dart) {
  ShanghaiThrow t{};
  if (dart.number != shanghaiNumber(game) || dart.multiplier < 1 || dart.multiplier > 3) return t;
  t.points = dartScore(dart);
  t.shanghai = (game.ringsThisTurn | ringBit(dart.multiplier)) == kAllRings &&
               game.ringsThisTurn != kAllRings;
  return t;
}

ShanghaiThrow shanghaiThrow(ShanghaiGame &game, HostDart dart) {
  if (game.finished) return ShanghaiThrow{};
  ShanghaiThrow t = shanghaiPreview(game, dart);
  const int32_t seat = game.turn.seat;
  game.points[seat] += t.points;
  game.darts[seat] += 1;
  if (t.points > 0) game.ringsThisTurn |= ringBit(dart.multiplier);
  if (t.shanghai) {
    game.finished = true;
    game.shanghai = true;
    game.winner = seat;
    t.matchOver = true;
    return t;
  }
  (void)hostTurnAfterDart(game.turn, false);
  if (game.turn.dart == 0) game.ringsThisTurn = 0;
  if (game.turn.round >= kShanghaiRounds) {
    game.finished = true;
    game.winner = highestTotal(game);
  }
  t.matchOver = game.finished;
  return t;
}
