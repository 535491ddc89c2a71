// The host's games by the aim alone.
#include "tests/support/host_game_sim.h"

#include "host/checkouts.h"
#include "host/host_game_aim.h"

namespace {

// Whether one dart can take exactly `left` out under the rule.
bool oneDartFinish(X01Out out, int32_t left) {
  if (out != X01Out::kStraight) return checkoutRoute(left, 1, out) != nullptr;
  if (left == kBullNumber || left == 2 * kBullNumber) return true;
  for (int32_t m = 1; m <= 3; ++m)
    if (left % m == 0 && left / m >= 1 && left / m <= 20) return true;
  return false;
}

}  // namespace

X01AimLeg simulateX01Leg(int32_t level, const X01Options &options, uint64_t seed) {
  X01Game game;
  x01Start(game, options, 1);
  uint64_t random = seed;
  X01AimLeg leg{};
  while (!game.finished) {
    const CpuTarget target = x01Aim(level, game);
    const int32_t left = game.left[0];
    const bool in = game.opened[0] || options.in == X01In::kStraight;
    if (in && oneDartFinish(options.out, left)) ++leg.finishChances;
    const X01Throw t = x01Throw(game, cpuSimulatedDart(level, target, random));
    ++leg.darts;
    if (t.dart.bust) ++leg.busts;
    if (t.dart.checkout) leg.finished = true;
    // The leg is the match here (best of one): it ends with it.
  }
  leg.points = options.start - game.left[0];
  if (leg.finished) leg.points = options.start;
  return leg;
}

CricketAimGame simulateCricket(int32_t level, uint64_t seed) {
  CricketGame game;
  cricketStart(game, 1);
  uint64_t random = seed;
  CricketAimGame result{};
  int32_t darts = 0;
  while (!game.finished) {
    const CpuTarget target = cricketAim(level, game);
    result.marks += cricketThrow(game, cpuSimulatedDart(level, target, random)).marks;
    ++darts;
  }
  result.closed = cricketAllClosed(game, 0);
  result.rounds = (darts + kHostDartsPerTurn - 1) / kHostDartsPerTurn;
  return result;
}

ShanghaiAimGame simulateShanghai(int32_t level, uint64_t seed) {
  ShanghaiGame game;
  shanghaiStart(game, 1);
  uint64_t random = seed;
  while (!game.finished)
    (void)shanghaiThrow(game, cpuSimulatedDart(level, shanghaiAim(level, game), random));
  return {game.points[0], game.shanghai};
}

Bobs27AimGame simulateBobs27(int32_t level, uint64_t seed) {
  Bobs27Game game;
  bobs27Start(game, 1);
  uint64_t random = seed;
  while (!game.finished)
    (void)bobs27Throw(game, cpuSimulatedDart(level, bobs27Aim(level, game), random));
  return {game.score[0], !game.out[0], game.hits[0], game.darts[0]};
}
