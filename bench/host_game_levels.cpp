// The computer levels in the host's own games, measured by the aim alone
// (tests/support/host_game_sim.h): each dart is the level's target with
// its drawn errors landed on the board grid, the rules and the choices are
// the real ones, no match is run. For each level, games alone:
//
//   X01 501 (straight in, double out): 3-dart average, legs finished in
//   the 20 rounds, checkout rate (darts at a one-dart finish that took it
//   out), darts per finished leg;
//   Cricket: marks per round, games closed in the 20 rounds, rounds to close;
//   Shanghai: mean total, games won by a Shanghai;
//   Bob's 27: mean final score, games played through the bull, hit rate.
//
//   tobelyn_host_game_levels [GAMES]     (default 300 of each game a level)
//
// Prints the table docs/figures.md keeps.
#include <cstdio>
#include <cstdlib>

#include "host/cpu.h"
#include "tests/support/host_game_sim.h"

int main(int argc, char **argv) {
  const long games = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 300;
  if (games <= 0) {
    std::fprintf(stderr, "usage: tobelyn_host_game_levels [GAMES]\n");
    return 2;
  }
  std::printf(
      "| level | X01 3-dart avg | X01 legs finished | X01 checkout rate | X01 darts a leg "
      "| Cricket marks a round | Cricket closed | Cricket rounds to close "
      "| Shanghai mean | Shanghai! | Bob's 27 mean | Bob's 27 through | Bob's 27 hits |\n");
  std::printf("|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
  const X01Options x01{.start = 501, .in = X01In::kStraight, .out = X01Out::kDouble, .legs = 1};
  for (int32_t level = 1; level <= kCpuLevelCount; ++level) {
    long xDarts = 0, xPoints = 0, xFinished = 0, xChances = 0, xFinishedDarts = 0;
    long cMarks = 0, cRounds = 0, cClosed = 0, cClosedRounds = 0;
    long sPoints = 0, sShanghais = 0;
    long bScore = 0, bThrough = 0, bHits = 0, bDarts = 0;
    for (long g = 0; g < games; ++g) {
      const uint64_t seed = static_cast<uint64_t>(level) * 1000003u + static_cast<uint64_t>(g);
      const X01AimLeg leg = simulateX01Leg(level, x01, seed);
      xDarts += leg.darts;
      xPoints += leg.points;
      xChances += leg.finishChances;
      if (leg.finished) {
        ++xFinished;
        xFinishedDarts += leg.darts;
      }
      const CricketAimGame c = simulateCricket(level, seed);
      cMarks += c.marks;
      cRounds += c.rounds;
      if (c.closed) {
        ++cClosed;
        cClosedRounds += c.rounds;
      }
      const ShanghaiAimGame s = simulateShanghai(level, seed);
      sPoints += s.points;
      sShanghais += s.shanghai ? 1 : 0;
      const Bobs27AimGame b = simulateBobs27(level, seed);
      bScore += b.score;
      bThrough += b.survived ? 1 : 0;
      bHits += b.hits;
      bDarts += b.darts;
    }
    const auto pct = [games](long n) { return 100.0 * static_cast<double>(n) / games; };
    std::printf(
        "| %s | %.1f | %.0f %% | %.1f %% | %.1f | %.2f | %.0f %% | %.1f | %.1f | %.1f %% "
        "| %.1f | %.0f %% | %.1f %% |\n",
        cpuLevels[level - 1].name, 3.0 * xPoints / xDarts, pct(xFinished),
        xChances ? 100.0 * xFinished / xChances : 0.0,
        xFinished ? static_cast<double>(xFinishedDarts) / xFinished : 0.0,
        static_cast<double>(cMarks) / cRounds, pct(cClosed),
        cClosed ? static_cast<double>(cClosedRounds) / cClosed : 0.0,
        static_cast<double>(sPoints) / games, pct(sShanghais), static_cast<double>(bScore) / games,
        pct(bThrough), bDarts ? 100.0 * bHits / bDarts : 0.0);
  }
  return 0;
}
