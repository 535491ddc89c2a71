// The CPU levels measured over whole matches of the real game, headless:
// for each level, single-player "301" matches (three-dart average, legs
// finished within the ten rounds, checkout rate, darts per finished leg,
// bust rate) and "Round The Clock" matches (darts to finish). The names in
// host/cpu.cpp come from the "301" averages printed here.
//
//   tobelyn_cpu_levels [MATCHES] [--fast] [--level N] [--clock-matches N]
//
// MATCHES is a level's "301" matches (default 1000). --fast halves the
// pauses, which leaves every level's skill as it is and only shortens the
// run; --level measures one level alone (several can run side by side);
// --clock-matches sets the "Round The Clock" matches (default MATCHES, 0
// for none). Progress goes to the standard error every hundred "301" matches.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/support/cpu_match.h"

namespace {

// Whether one dart can score exactly this.
bool oneDartFinish(int32_t points) {
  if (points == kSingleBullScore || points == kDoubleBullScore) return true;
  for (int32_t n = 1; n <= 20; ++n)
    if (points == n || points == 2 * n || points == 3 * n) return true;
  return false;
}

constexpr int32_t kMostForOneDart = 60;

struct Tally {
  long darts = 0, points = 0, legs = 0, finished = 0, finishedDarts = 0;
  long atFinish = 0, checkouts = 0, canBust = 0, busts = 0;
};

CpuMatchRecord play(int32_t mode, int32_t level, uint64_t seed, bool fast) {
  // In the background: the same darts, without the cost of showing frames.
  const CpuMatchSetup setup{.mode = mode,
                            .playerCount = 1,
                            .levels = {level},
                            .seed = seed,
                            .fast = fast,
                            .inBackground = true};
  CpuMatchRecord record = playCpuMatch(setup);
  if (!record.backAtTitle) {
    std::fprintf(stderr, "level %d, mode %d, seed %llu: the match did not end\n", level, mode,
                 static_cast<unsigned long long>(seed));
    std::exit(1);
  }
  return record;
}

double percent(long part, long whole) { return whole == 0 ? 0.0 : 100.0 * part / whole; }
double ratio(long part, long whole) { return whole == 0 ? 0.0 : static_cast<double>(part) / whole; }

}  // namespace

int main(int argc, char **argv) {
  long matches = 1000;
  long clockMatches = -1;
  bool fast = false;
  int32_t first = 1, last = kCpuLevelCount;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--fast") == 0) {
      fast = true;
    } else if (std::strcmp(argv[i], "--clock-matches") == 0 && i + 1 < argc) {
      clockMatches = std::strtol(argv[++i], nullptr, 10);
    } else if (std::strcmp(argv[i], "--level") == 0 && i + 1 < argc) {
      first = last = static_cast<int32_t>(std::strtol(argv[++i], nullptr, 10));
    } else {
      matches = std::strtol(argv[i], nullptr, 10);
    }
  }
  if (clockMatches < 0) clockMatches = matches;
  if (matches < 1 || first < 1 || last > kCpuLevelCount) {
    std::fprintf(stderr,
                 "usage: tobelyn_cpu_levels [MATCHES] [--fast] [--level N] [--clock-matches N]\n");
    return 2;
  }
  std::printf("%ld single-player \"301\" and %ld \"Round The Clock\" matches a level, %s pace\n\n",
              matches, clockMatches, fast ? "fast" : "normal");
  std::printf(
      "| level | name | 3-dart average | legs finished | checkout rate | darts per finished leg "
      "| bust rate | \"Round The Clock\" finished | darts to finish |\n");
  std::printf("|---|---|---|---|---|---|---|---|---|\n");
  for (int32_t level = first; level <= last; ++level) {
    const auto started = std::chrono::steady_clock::now();
    Tally t;
    for (long m = 0; m < matches; ++m) {
      const CpuMatchRecord r = play(kGame301, level, 0x301000000ull + m, fast);
      ++t.legs;
      for (const CpuDartRecord &d : r.darts) {
        ++t.darts;
        if (!d.bust) t.points += d.points;
        if (oneDartFinish(d.scoreBefore)) {
          ++t.atFinish;
          if (d.points == d.scoreBefore) ++t.checkouts;
        }
        if (d.scoreBefore < kMostForOneDart) {
          ++t.canBust;
          if (d.bust) ++t.busts;
        }
      }
      if (r.winner == 0) {
        ++t.finished;
        t.finishedDarts += static_cast<long>(r.darts.size());
      }
      if ((m + 1) % 100 == 0)
        std::fprintf(stderr, "level %d: %ld matches, average %.2f, finished %ld\n", level, m + 1,
                     3.0 * ratio(t.points, t.darts), t.finished);
    }
    Tally c;
    for (long m = 0; m < clockMatches; ++m) {
      const CpuMatchRecord r = play(kGameRoundTheClock, level, 0xC10C000000ull + m, fast);
      ++c.legs;
      c.darts += static_cast<long>(r.darts.size());
      if (r.winner == 0) {
        ++c.finished;
        c.finishedDarts += static_cast<long>(r.darts.size());
      }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("| %d | %s | %.1f | %.1f %% | %.1f %% | %.1f | %.1f %% | %.1f %% | %.1f |\n", level,
                cpuLevels[level - 1].name, 3.0 * ratio(t.points, t.darts),
                percent(t.finished, t.legs), percent(t.checkouts, t.atFinish),
                ratio(t.finishedDarts, t.finished), percent(t.busts, t.canBust),
                percent(c.finished, c.legs), ratio(c.finishedDarts, c.finished));
    std::fflush(stdout);
    std::fprintf(stderr, "level %d: %.0f s\n", level, seconds);
  }
  return 0;
}
