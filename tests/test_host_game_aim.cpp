// Computer seats in the host's own games: what they want from a dart in
// each situation, and how the levels compare when they play by the aim
// alone (tests/support/host_game_sim.h).
#include <gtest/gtest.h>

#include <string>

#include "host/host_game_aim.h"
#include "tests/support/host_game_sim.h"

namespace {

// The landing a wish values most, as the checkout table writes darts.
std::string mostWanted(const CpuWish &wish) {
  int32_t best = 0;
  for (int32_t k = 1; k < kCpuSegments; ++k)
    if (wish.value[k] > wish.value[best]) best = k;
  const int32_t slot = best / 4, ring = best % 4;
  if (slot == kCpuSegmentSlots - 1) return ring == 2 ? "Bull" : "25";
  const char *prefix = ring == 3 ? "T" : ring == 2 ? "D" : "";
  return prefix + std::to_string(slot);
}

X01Game x01At(X01Options options, int32_t left, bool opened, int32_t dart) {
  X01Game game;
  x01Start(game, options, 1);
  game.left[0] = left;
  game.opened[0] = opened;
  game.turn.dart = dart;
  return game;
}

}  // namespace

TEST(HostGameAim, X01WantsTheRightDartForEachRuleAndScore) {
  const X01Options doubleOut{.start = 501, .in = X01In::kStraight, .out = X01Out::kDouble};
  const X01Options doubleIn{.start = 501, .in = X01In::kDouble, .out = X01Out::kDouble};
  const X01Options masterOut{.start = 301, .in = X01In::kStraight, .out = X01Out::kMaster};
  struct Case {
    const char *name;
    X01Options options;
    int32_t left;
    bool opened;
    int32_t dart;
    const char *wanted;
  };
  const Case cases[] = {
      {"double in, not yet in: a double, the bull the most", doubleIn, 501, false, 0, "Bull"},
      {"double in, once in: the most points", doubleIn, 481, true, 0, "T20"},
      {"far from home: the most points", doubleOut, 501, true, 0, "T20"},
      {"170 with three darts: the route's treble 20", doubleOut, 170, true, 0, "T20"},
      {"40 with the last dart: double 20", doubleOut, 40, true, 2, "D20"},
      {"50 with the last dart: the bull", doubleOut, 50, true, 2, "Bull"},
      {"32 with two darts: double 16", doubleOut, 32, true, 1, "D16"},
      {"master out finishes on the route's double too", masterOut, 36, true, 0, "D18"},
      // 169 has no three-dart finish: the dart that leaves one next turn.
      {"169, no finish this turn: sets up a finish", doubleOut, 169, true, 0, "T20"},
      // 41 with one dart left: a single that leaves a double.
      {"41 with the last dart: a single 1 leaves double 20", doubleOut, 41, true, 2, "1"},
      {"72 with the last dart: double 16 leaves double 20", doubleOut, 72, true, 2, "D16"},
      {"3 with the last dart: a single 1 leaves double 1", doubleOut, 3, true, 2, "1"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(mostWanted(x01Wish(x01At(c.options, c.left, c.opened, c.dart))), c.wanted);
  }
}

TEST(HostGameAim, CricketClosesCoversAndScoresByTheKnownPlan) {
  struct Case {
    const char *name;
    int32_t mine[kCricketTargets];  // 15 ... 20, bull
    int32_t theirs[kCricketTargets];
    int32_t myPoints, theirPoints;
    int32_t number;  // 15 to 20, 25 the bull
    bool scoring;
  };
  const Case cases[] = {
      {"nothing closed: the highest number, 20", {}, {}, 0, 0, 20, false},
      {"20 closed, ahead: the next highest open", {0, 0, 0, 0, 0, 3, 0}, {}, 20, 0, 19, false},
      {"20 closed, level on points: score on 20 while they are open",
       {0, 0, 0, 0, 0, 3, 0},
       {},
       0,
       0,
       20,
       true},
      {"they closed 19 and score on it: cover 19 first",
       {0, 0, 0, 0, 0, 3, 0},
       {0, 0, 0, 0, 3, 0, 0},
       0,
       19,
       19,
       false},
      {"behind, but 20 is closed for both: no points there, close 19",
       {0, 0, 0, 0, 0, 3, 0},
       {0, 0, 0, 0, 0, 3, 0},
       0,
       0,
       19,
       false},
      {"all numbers closed: the bull", {3, 3, 3, 3, 3, 3, 0}, {}, 60, 0, 25, false},
      {"all closed but behind: points where they are open",
       {3, 3, 3, 3, 3, 3, 3},
       {0, 0, 0, 0, 0, 3, 3},
       10,
       40,
       19,
       true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    CricketGame game;
    cricketStart(game, 2);
    for (int32_t t = 0; t < kCricketTargets; ++t) {
      game.marks[0][t] = c.mine[t];
      game.marks[1][t] = c.theirs[t];
    }
    game.points[0] = c.myPoints;
    game.points[1] = c.theirPoints;
    const CricketPlan plan = cricketPlan(game);
    EXPECT_EQ(cricketNumber(plan.target), c.number);
    EXPECT_EQ(plan.scoring, c.scoring);
  }
}

TEST(HostGameAim, AHigherLevelFinishesX01AndClosesCricketMoreOftenAndSooner) {
  // Alone, within the 20 rounds: the weaker levels finish some legs and
  // close some games, the stronger all of them, in fewer darts.
  constexpr int32_t kGames = 120;
  const X01Options options{.start = 501, .in = X01In::kStraight, .out = X01Out::kDouble};
  struct Tally {
    int32_t finished = 0, finishedDarts = 0, closed = 0, closedRounds = 0;
  };
  Tally at[kCpuLevelCount + 1];
  for (int32_t level = 1; level <= kCpuLevelCount; ++level) {
    for (int32_t g = 0; g < kGames; ++g) {
      const uint64_t seed = 1000u * level + g;
      const X01AimLeg leg = simulateX01Leg(level, options, seed);
      const CricketAimGame cricket = simulateCricket(level, seed);
      at[level].finished += leg.finished ? 1 : 0;
      at[level].finishedDarts += leg.finished ? leg.darts : 0;
      at[level].closed += cricket.closed ? 1 : 0;
      at[level].closedRounds += cricket.closed ? cricket.rounds : 0;
    }
  }
  for (int32_t level = 2; level <= 3; ++level) {
    SCOPED_TRACE("level " + std::to_string(level) + " against the one below");
    EXPECT_GT(at[level].finished, at[level - 1].finished) << "501 double out legs finished";
    EXPECT_GT(at[level].closed, at[level - 1].closed) << "Cricket games closed";
  }
  for (int32_t level = 4; level <= kCpuLevelCount; ++level) {
    SCOPED_TRACE("level " + std::to_string(level) + " against the one below");
    ASSERT_GT(at[level].finished, 0);
    ASSERT_GT(at[level - 1].finished, 0);
    ASSERT_GT(at[level].closed, 0);
    ASSERT_GT(at[level - 1].closed, 0);
    // Fewer darts a finished leg, fewer rounds a closed game (per game, in
    // whole numbers: a * b' < a' * b).
    EXPECT_LT(at[level].finishedDarts * at[level - 1].finished,
              at[level - 1].finishedDarts * at[level].finished);
    EXPECT_LT(at[level].closedRounds * at[level - 1].closed,
              at[level - 1].closedRounds * at[level].closed);
  }
}

TEST(HostGameAim, TheSameSeedPlaysTheSameGame) {
  const X01Options options{.start = 501, .in = X01In::kDouble, .out = X01Out::kMaster};
  const X01AimLeg a = simulateX01Leg(4, options, 99), b = simulateX01Leg(4, options, 99);
  EXPECT_EQ(a.darts, b.darts);
  EXPECT_EQ(a.points, b.points);
  const CricketAimGame c = simulateCricket(2, 99), d = simulateCricket(2, 99);
  EXPECT_EQ(c.marks, d.marks);
  EXPECT_EQ(c.rounds, d.rounds);
}
