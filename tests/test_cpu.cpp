// Computer players: whole matches of the real game played by CPU seats on
// the headless backend, and the points they choose to aim at.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/match.h"
#include "host/cpu.h"
#include "tests/support/cpu_match.h"

namespace {

std::string dartsOf(const CpuMatchRecord &r) {
  std::string text;
  for (const CpuDartRecord &d : r.darts)
    text += std::to_string(d.aimX) + "/" + std::to_string(d.peak) + "/" +
            std::to_string(d.release) + "=" + std::to_string(d.points) + " ";
  return text;
}

TEST(CpuMatch, TwoCpusPlayEachGameToItsEndWithoutAKey) {
  const struct {
    const char *name;
    int32_t mode;
    int32_t levels[kMaxPlayers];
  } games[] = {
      {.name = "301", .mode = kGame301, .levels = {5, 4}},
      {.name = "Count Up", .mode = kGameCountUp, .levels = {5, 3}},
      {.name = "High Score", .mode = kGameHighScore, .levels = {2, 5}},
      {.name = "Round The Clock", .mode = kGameRoundTheClock, .levels = {4, 5}},
  };
  for (const auto &game : games) {
    SCOPED_TRACE(game.name);
    const CpuMatchRecord r = playCpuMatch({.mode = game.mode,
                                           .playerCount = 2,
                                           .levels = {game.levels[0], game.levels[1]},
                                           .seed = 24,
                                           .fast = true,
                                           .inBackground = true});
    EXPECT_TRUE(r.backAtTitle) << "the CPUs left the match unfinished";
    ASSERT_FALSE(r.darts.empty());
    EXPECT_EQ(r.darts.front().player, 0) << "the first seat throws first";
    bool secondSeatThrew = false;
    for (const CpuDartRecord &d : r.darts) secondSeatThrew |= d.player == 1;
    EXPECT_TRUE(secondSeatThrew) << "the second seat never threw";
    for (const CpuPressRecord &press : r.presses)
      EXPECT_TRUE(press.taken) << "a press in step " << press.step << " was not taken";
    if (game.mode == kGameHighScore) {
      EXPECT_EQ(r.darts.size(), 2u * 7 * kDartsPerTurn) << "seven full rounds";
    }
  }
}

TEST(CpuMatch, TheSameSeedThrowsTheSameDarts) {
  const CpuMatchSetup setup = {.mode = kGame301,
                               .playerCount = 2,
                               .levels = {3, 2},
                               .seed = 7,
                               .fast = true,
                               .inBackground = true};
  const CpuMatchRecord first = playCpuMatch(setup);
  const CpuMatchRecord again = playCpuMatch(setup);
  ASSERT_TRUE(first.backAtTitle);
  EXPECT_EQ(dartsOf(again), dartsOf(first));
  // The first turns as the Linux build throws them (aim, peak, release and
  // points): a build by another compiler, or against another maths library,
  // must throw them too.
  EXPECT_EQ(dartsOf(first).substr(0, 78),
            "92/134/20=57 92/128/26=19 100/126/36=57 72/120/58=8 72/126/56=27 64/126/44=24 ");

  CpuMatchSetup otherSeed = setup;
  otherSeed.seed = 8;
  EXPECT_NE(dartsOf(playCpuMatch(otherSeed)), dartsOf(first))
      << "another seed should change at least one dart";
}

// A computer's darts follow from the seed, the levels and the match alone:
// neither "Fast CPU" nor how long each pass takes on the clock moves one.
TEST(CpuMatch, NeitherThePaceNorThePassTimingMovesADart) {
  const CpuMatchSetup reference = {.mode = kGame301,
                                   .playerCount = 2,
                                   .levels = {5, 3},
                                   .seed = 12345,
                                   .fast = false,
                                   .inBackground = true};
  const CpuMatchRecord expected = playCpuMatch(reference);
  ASSERT_TRUE(expected.backAtTitle);
  const struct {
    const char *name;
    bool fast;
    uint32_t passMs, passJitterMs;
  } cases[] = {
      {.name = "at fast pace", .fast = true, .passMs = 16, .passJitterMs = 0},
      {.name = "with passes of 17 ms", .fast = false, .passMs = 17, .passJitterMs = 0},
      {.name = "with passes of 12 to 22 ms", .fast = false, .passMs = 17, .passJitterMs = 5},
      {.name = "fast, with passes of 13 to 21 ms", .fast = true, .passMs = 17, .passJitterMs = 4},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    CpuMatchSetup setup = reference;
    setup.fast = c.fast;
    setup.passMs = c.passMs;
    setup.passJitterMs = c.passJitterMs;
    const CpuMatchRecord r = playCpuMatch(setup);
    ASSERT_TRUE(r.backAtTitle);
    EXPECT_EQ(dartsOf(r), dartsOf(expected));
    for (const CpuPressRecord &press : r.presses)
      EXPECT_TRUE(press.taken) << "a press in step " << press.step << " was not taken";
  }
}

TEST(CpuMatch, LevelFiveFinishesThreeOhOneFarMoreOftenThanLevelOne) {
  constexpr int kMatches = 6;
  int finished[2] = {};
  const int32_t levels[2] = {1, 5};
  for (int which = 0; which < 2; ++which) {
    for (int m = 0; m < kMatches; ++m) {
      const CpuMatchRecord r = playCpuMatch({.mode = kGame301,
                                             .playerCount = 1,
                                             .levels = {levels[which]},
                                             .seed = 100u + m,
                                             .fast = true,
                                             .inBackground = true});
      ASSERT_TRUE(r.backAtTitle);
      if (r.winner == 0) ++finished[which];
    }
  }
  EXPECT_GE(finished[1], finished[0] + kMatches / 2)
      << "level 1 finished " << finished[0] << ", level 5 " << finished[1] << " of " << kMatches;
}

// Each press is one pass long and taken by the game, and comes at least the
// least pause after the one before: 300 ms, or at fast pace more than the
// game's own 200 ms gap.
TEST(CpuMatch, PressesComeAtAPaceAPersonCanFollow) {
  const struct {
    const char *name;
    bool fast;
    uint32_t leastGapMs;
  } paces[] = {
      {.name = "normal pace", .fast = false, .leastGapMs = 300},
      {.name = "fast pace", .fast = true, .leastGapMs = 201},
  };
  for (const auto &pace : paces) {
    SCOPED_TRACE(pace.name);
    const CpuMatchRecord r = playCpuMatch({.mode = kGameRoundTheClock,
                                           .playerCount = 1,
                                           .levels = {5},
                                           .seed = 3,
                                           .fast = pace.fast,
                                           .inBackground = true});
    ASSERT_TRUE(r.backAtTitle);
    ASSERT_GE(r.presses.size(), 5 * r.darts.size()) << "five presses a dart";
    for (size_t i = 0; i < r.presses.size(); ++i) {
      SCOPED_TRACE("press " + std::to_string(i) + " in step " + std::to_string(r.presses[i].step));
      EXPECT_TRUE(r.presses[i].taken) << "the game ignored a CPU press";
      if (i > 0) {
        EXPECT_GE(r.presses[i].at - r.presses[i - 1].at, pace.leastGapMs);
      }
    }
  }
}

// Where the best CPU aims, as the board scores the exact point. (Weaker
// ones may well aim elsewhere: with a wide spread the best chance of a
// number can lie beside it.)
TEST(CpuTargets, TheBestLevelAimsWhereEachGameRewards) {
  for (int32_t left = 1; left <= 60; ++left) {
    const CpuTarget t = cpuChooseTarget(kCpuLevelCount, kGame301, left);
    const int32_t score = landingPoint(t.aimX, t.row).score;
    // The outer bull is a thin ring round the bull: with 25 left, the
    // middle is a fair aim, as any near miss of it finishes.
    const bool bullForTwentyFive = left == kSingleBullScore && score == kDoubleBullScore;
    EXPECT_TRUE(score <= left || bullForTwentyFive)
        << "with " << left << " left it aims at " << score;
  }
  for (int32_t number = 1; number <= 20; ++number) {
    const CpuTarget t = cpuChooseTarget(kCpuLevelCount, kGameRoundTheClock, number);
    const BoardPoint hit = landingPoint(t.aimX, t.row);
    const bool bull = hit.score == kSingleBullScore || hit.score == kDoubleBullScore;
    EXPECT_TRUE(bull || (hit.sector == number && hit.score != 0))
        << "needing " << number << " it aims at " << hit.sector;
  }
  const CpuTarget best = cpuChooseTarget(kCpuLevelCount, kGameCountUp, 0);
  const BoardPoint hit = landingPoint(best.aimX, best.row);
  EXPECT_EQ(hit.score, 3 * hit.sector) << "it goes for a treble";
  EXPECT_GE(hit.sector, 17);
}

}  // namespace
