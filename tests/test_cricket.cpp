// Cricket's rules: closing, points while an opponent is open, the win,
// the round limit and draws.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/cricket.h"

namespace {

constexpr HostDart kMiss = {0, 0};
constexpr HostDart single(int32_t n) { return {n, 1}; }
constexpr HostDart dbl(int32_t n) { return {n, 2}; }
constexpr HostDart treble(int32_t n) { return {n, 3}; }
constexpr HostDart kOuterBull = {kBullNumber, 1};
constexpr HostDart kBull = {kBullNumber, 2};

// A game where `seat` is about to throw its first dart of a turn, with the
// given marks (15..20, bull) for every seat.
CricketGame gameWith(int32_t players, int32_t seat,
                     const std::vector<std::vector<int32_t>> &marks) {
  CricketGame g;
  cricketStart(g, players);
  g.turn.seat = seat;
  for (size_t s = 0; s < marks.size(); ++s)
    for (int32_t t = 0; t < kCricketTargets; ++t) g.marks[s][t] = marks[s][t];
  return g;
}

const std::vector<int32_t> kNone = {0, 0, 0, 0, 0, 0, 0};
const std::vector<int32_t> kAll = {3, 3, 3, 3, 3, 3, 3};

}  // namespace

TEST(CricketRules, WhatADartMarksAndScores) {
  struct Case {
    const char *name;
    std::vector<std::vector<int32_t>> marks;  // seat 0 throws
    HostDart dart;
    int32_t marksCounted;
    int32_t points;
    int32_t targetMarksAfter;  // seat 0's marks on the dart's number
  };
  const Case cases[] = {
      {"a single is one mark", {kNone, kNone}, single(20), 1, 0, 1},
      {"a double is two marks", {kNone, kNone}, dbl(19), 2, 0, 2},
      {"a treble closes at once", {kNone, kNone}, treble(18), 3, 0, 3},
      {"the outer bull is one mark of the bull", {kNone, kNone}, kOuterBull, 1, 0, 1},
      {"the bull is two marks of the bull", {kNone, kNone}, kBull, 2, 0, 2},
      {"a number below 15 counts nothing", {kNone, kNone}, treble(14), 0, 0, -1},
      {"a miss counts nothing", {kNone, kNone}, kMiss, 0, 0, -1},
      {"marks beyond three score while an opponent is open",
       {{0, 0, 0, 0, 0, 2, 0}, kNone},
       treble(20),
       3,
       40,
       3},
      {"a closed number scores in full while an opponent is open",
       {{0, 0, 0, 0, 0, 3, 0}, kNone},
       treble(20),
       3,
       60,
       3},
      {"the bull scores 25 a mark beyond three", {{0, 0, 0, 0, 0, 0, 3}, kNone}, kBull, 2, 50, 3},
      {"no points on a number every opponent closed",
       {{0, 0, 0, 0, 0, 3, 0}, {0, 0, 0, 0, 0, 3, 0}},
       treble(20),
       0,
       0,
       3},
      {"closing with marks to spare scores nothing when the opponent closed",
       {{0, 0, 0, 0, 0, 2, 0}, {0, 0, 0, 0, 0, 3, 0}},
       treble(20),
       1,
       0,
       3},
      {"points while one of three opponents is still open",
       {{0, 0, 0, 0, 3, 0, 0}, {0, 0, 0, 0, 3, 0, 0}, {0, 0, 0, 0, 3, 0, 0}, {0, 0, 0, 0, 1, 0, 0}},
       single(19),
       1,
       19,
       3},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    CricketGame g = gameWith(static_cast<int32_t>(c.marks.size()), 0, c.marks);
    const CricketThrow t = cricketThrow(g, c.dart);
    EXPECT_EQ(t.marks, c.marksCounted);
    EXPECT_EQ(t.points, c.points);
    EXPECT_EQ(g.points[0], c.points);
    const int32_t target = cricketTarget(c.dart.number);
    if (target >= 0) {
      EXPECT_EQ(g.marks[0][target], c.targetMarksAfter);
    }
  }
}

TEST(CricketRules, TheWinNeedsAllSevenClosedAndEnoughPoints) {
  struct Case {
    const char *name;
    int32_t points0;
    int32_t points1;
    bool wins;
  };
  const Case cases[] = {
      {"closed all seven and ahead: wins at once", 40, 20, true},
      {"closed all seven and level: wins at once", 20, 20, true},
      {"closed all seven but behind: plays on", 0, 20, false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    CricketGame g = gameWith(2, 0, {{3, 3, 3, 3, 3, 3, 2}, kNone});
    g.points[0] = c.points0;
    g.points[1] = c.points1;
    const CricketThrow t = cricketThrow(g, kOuterBull);
    EXPECT_EQ(t.matchOver, c.wins);
    EXPECT_EQ(g.finished, c.wins);
    EXPECT_EQ(g.winner, c.wins ? 0 : kNobody);
  }
}

TEST(CricketRules, AloneClosingAllSevenEndsTheGame) {
  CricketGame g = gameWith(1, 0, {{3, 3, 3, 3, 3, 3, 1}});
  const CricketThrow t = cricketThrow(g, kBull);
  EXPECT_EQ(t.points, 0) << "alone, nobody is open to score on";
  EXPECT_TRUE(g.finished);
  EXPECT_EQ(g.winner, 0);
}

TEST(CricketRules, AfterTwentyRoundsTheMostPointsThenMarksWin) {
  struct Case {
    const char *name;
    int32_t players;
    int32_t points[4];
    int32_t marks[4];
    int32_t winner;
  };
  const Case cases[] = {
      {"the most points", 2, {30, 60, 0, 0}, {9, 3, 0, 0}, 1},
      {"level on points: the most marks", 3, {60, 60, 0, 0}, {9, 12, 20, 0}, 1},
      {"level on both: a draw", 2, {60, 60, 0, 0}, {9, 9, 0, 0}, kNobody},
      {"alone and not closed: nobody", 1, {0, 0, 0, 0}, {20, 0, 0, 0}, kNobody},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    CricketGame g;
    cricketStart(g, c.players);
    int32_t darts = 0;
    while (!g.finished && darts < 1000) {
      for (int32_t s = 0; s < c.players; ++s) {
        g.points[s] = c.points[s];
        g.marksHit[s] = c.marks[s];
      }
      cricketThrow(g, kMiss);
      ++darts;
    }
    EXPECT_EQ(darts, kHostRoundLimit * kHostDartsPerTurn * c.players);
    EXPECT_EQ(g.winner, c.winner);
  }
}

TEST(CricketRules, APreviewChangesNothing) {
  CricketGame g = gameWith(2, 0, {{0, 0, 0, 0, 0, 3, 0}, kNone});
  const CricketThrow preview = cricketPreview(g, treble(20));
  EXPECT_EQ(preview.points, 60);
  EXPECT_EQ(g.points[0], 0);
  EXPECT_EQ(g.turn.dart, 0);
}
