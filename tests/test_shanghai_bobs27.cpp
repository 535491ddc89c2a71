// Shanghai's and Bob's 27's rules: the round's number or double, the
// instant win, the totals and draws; hits, misses, dropping out, the bull.
#include <gtest/gtest.h>

#include <vector>

#include "host/bobs27.h"
#include "host/shanghai.h"

namespace {

constexpr HostDart kMiss = {0, 0};
constexpr HostDart single(int32_t n) { return {n, 1}; }
constexpr HostDart dbl(int32_t n) { return {n, 2}; }
constexpr HostDart treble(int32_t n) { return {n, 3}; }
constexpr HostDart kOuterBull = {kBullNumber, 1};
constexpr HostDart kBull = {kBullNumber, 2};

// Every dart a turn, seat by seat, round by round, from the start.
std::vector<HostDart> missesFor(int32_t turns) {
  return std::vector<HostDart>(static_cast<size_t>(turns) * kHostDartsPerTurn, kMiss);
}

}  // namespace

TEST(ShanghaiRules, WhatADartScores) {
  struct Case {
    const char *name;
    int32_t round;                 // 0 is the first
    std::vector<HostDart> before;  // earlier darts of the same turn
    HostDart dart;
    int32_t points;
    bool shanghai;
  };
  const Case cases[] = {
      {"round 1: a single 1 scores 1", 0, {}, single(1), 1, false},
      {"round 3: a treble 3 scores 9", 2, {}, treble(3), 9, false},
      {"round 3: a double 3 scores 6", 2, {}, dbl(3), 6, false},
      {"another number scores nothing", 2, {}, treble(20), 0, false},
      {"the bull scores nothing", 0, {}, kBull, 0, false},
      {"a miss scores nothing", 0, {}, kMiss, 0, false},
      {"single and double, then the triple on the last dart: Shanghai",
       4,
       {single(5), dbl(5)},
       treble(5),
       15,
       true},
      {"the rings in any order: Shanghai", 6, {treble(7), single(7)}, dbl(7), 14, true},
      {"two singles and a double are not a Shanghai", 1, {single(2), single(2)}, dbl(2), 4, false},
      {"the other rings hit on another number do not help",
       1,
       {single(3), dbl(3)},
       treble(2),
       6,
       false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    ShanghaiGame g;
    shanghaiStart(g, 2);
    g.turn.round = c.round;
    for (const HostDart &d : c.before) (void)shanghaiThrow(g, d);
    const ShanghaiThrow t = shanghaiThrow(g, c.dart);
    EXPECT_EQ(t.points, c.points);
    EXPECT_EQ(t.shanghai, c.shanghai);
    EXPECT_EQ(t.matchOver, c.shanghai) << "only a Shanghai ends the match mid-round";
    EXPECT_EQ(g.winner, c.shanghai ? 0 : kNobody);
  }
}

TEST(ShanghaiRules, TheTotalsAfterRoundSevenDecide) {
  struct Case {
    const char *name;
    int32_t players;
    std::vector<int32_t> totals;  // before the last dart, which misses
    int32_t winner;
  };
  const Case cases[] = {
      {"the highest total wins", 2, {30, 21}, 0},
      {"the second seat ahead wins", 3, {10, 40, 39}, 1},
      {"equal highest totals are a draw", 2, {25, 25}, kNobody},
      {"a tie below the top does not matter", 3, {50, 20, 20}, 0},
      {"alone, nobody is named: the total is the result", 1, {63}, kNobody},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    ShanghaiGame g;
    shanghaiStart(g, c.players);
    ShanghaiThrow last{};
    for (const HostDart &d : missesFor(kShanghaiRounds * c.players)) {
      ASSERT_FALSE(g.finished) << "over before round 7 ended";
      last = shanghaiThrow(g, d);
    }
    EXPECT_TRUE(last.matchOver);
    ShanghaiGame decided;
    shanghaiStart(decided, c.players);
    for (int32_t s = 0; s < c.players; ++s) decided.points[s] = c.totals[s];
    for (const HostDart &d : missesFor(kShanghaiRounds * c.players))
      (void)shanghaiThrow(decided, d);
    EXPECT_TRUE(decided.finished);
    EXPECT_FALSE(decided.shanghai);
    EXPECT_EQ(decided.winner, c.winner);
  }
}

TEST(Bobs27Rules, HitsMissesAndTheBull) {
  struct Case {
    const char *name;
    int32_t round;
    int32_t scoreBefore;
    std::vector<HostDart> turn;  // the three darts
    int32_t scoreAfter;
    bool out;
  };
  const Case cases[] = {
      {"double 1 hit once adds 2", 0, 27, {dbl(1), kMiss, kMiss}, 29, false},
      {"double 1 hit three times adds 6", 0, 27, {dbl(1), dbl(1), dbl(1)}, 33, false},
      {"a turn without a hit at double 1 takes 2", 0, 27, {kMiss, single(1), treble(1)}, 25, false},
      {"double 5 in round 5 adds 10", 4, 30, {kMiss, dbl(5), kMiss}, 40, false},
      {"another double is no hit", 4, 30, {dbl(6), dbl(4), dbl(20)}, 20, false},
      {"the bull round: the bull adds 50", 20, 10, {kBull, kMiss, kMiss}, 60, false},
      {"the bull round: the outer bull is no hit",
       20,
       60,
       {kOuterBull, kOuterBull, kMiss},
       10,
       false},
      {"missed down to exactly 0: out", 9, 20, {kMiss, kMiss, kMiss}, 0, true},
      {"below 0 shows as it is, and out", 19, 12, {kMiss, kMiss, kMiss}, -28, true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    Bobs27Game g;
    bobs27Start(g, 2);
    g.turn.round = c.round;
    g.score[0] = c.scoreBefore;
    for (const HostDart &d : c.turn) (void)bobs27Throw(g, d);
    EXPECT_EQ(g.score[0], c.scoreAfter);
    EXPECT_EQ(g.out[0], c.out);
    EXPECT_EQ(g.turn.seat, 1) << "the next seat throws";
  }
}

TEST(Bobs27Rules, APlayerOutIsSkippedAndTheHighestScoreWins) {
  // Three players; the second drops out in round 5 (27 - 2 - 4 - 6 - 8 - 10
  // is below 0) while the others hit one double a turn.
  Bobs27Game g;
  bobs27Start(g, 3);
  for (int32_t round = 0; round < 5; ++round) {
    const int32_t n = bobs27Number(round);
    for (HostDart d : {dbl(n), kMiss, kMiss}) (void)bobs27Throw(g, d);
    for (HostDart d : {kMiss, kMiss, kMiss}) (void)bobs27Throw(g, d);
    for (HostDart d : {kMiss, dbl(n), kMiss}) (void)bobs27Throw(g, d);
  }
  EXPECT_EQ(g.score[1], 27 - 2 - 4 - 6 - 8 - 10) << "shown below 0 as it is";
  EXPECT_TRUE(g.out[1]) << "out below 0, mid-match";
  EXPECT_FALSE(g.out[0]);
  // Round 6: the first seat throws, then the third: the second is skipped.
  for (HostDart d : {kMiss, kMiss, kMiss}) (void)bobs27Throw(g, d);
  EXPECT_EQ(g.turn.seat, 2) << "the seat that is out is skipped";
  EXPECT_EQ(g.darts[1], 15) << "no more darts for the seat that is out";
  // The rest of the match: the third seat hits everything, the first nothing.
  while (!g.finished) {
    const int32_t n = bobs27Number(g.turn.round);
    (void)bobs27Throw(g, g.turn.seat == 2 ? dbl(n) : kMiss);
  }
  EXPECT_EQ(g.turn.round, kBobs27Rounds) << "played through the bull round";
  EXPECT_EQ(g.winner, 2);
  EXPECT_EQ(g.darts[2], kBobs27Rounds * kHostDartsPerTurn);
}

TEST(Bobs27Rules, TheMatchEndsWhenEveryoneIsOutOrTheRoundsAreDone) {
  struct Case {
    const char *name;
    int32_t players;
    bool hitEverything;
    int32_t darts;  // the darts thrown before the end
    int32_t winner;
  };
  const Case cases[] = {
      // 27 - 2 - 4 - 6 - 8 - 10 = -3: out after the fifth turn.
      {"alone and missing everything: out in round 5", 1, false, 15, kNobody},
      {"two missing everything: both out in round 5, level", 2, false, 30, kNobody},
      {"alone and hitting everything: every round, nobody named", 1, true,
       kBobs27Rounds * kHostDartsPerTurn, kNobody},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    Bobs27Game g;
    bobs27Start(g, c.players);
    int32_t darts = 0;
    while (!g.finished && darts < 1000) {
      const int32_t n = bobs27Number(g.turn.round);
      (void)bobs27Throw(g, c.hitEverything ? dbl(n) : kMiss);
      ++darts;
    }
    EXPECT_EQ(darts, c.darts);
    EXPECT_EQ(g.winner, c.winner);
  }
}
