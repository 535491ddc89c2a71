// X01's rules: every in and out rule's busts, the checkout table, legs.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "host/checkouts.h"
#include "host/x01.h"

namespace {

constexpr HostDart kMiss = {0, 0};
constexpr HostDart single(int32_t n) { return {n, 1}; }
constexpr HostDart dbl(int32_t n) { return {n, 2}; }
constexpr HostDart treble(int32_t n) { return {n, 3}; }
constexpr HostDart kOuterBull = {kBullNumber, 1};
constexpr HostDart kBull = {kBullNumber, 2};

X01Options options(X01In in, X01Out out) {
  X01Options o;
  o.in = in;
  o.out = out;
  return o;
}

}  // namespace

TEST(X01Rules, WhatADartDoesUnderEachInAndOutRule) {
  struct Case {
    const char *name;
    X01In in;
    X01Out out;
    int32_t left;
    bool opened;
    HostDart dart;
    int32_t counted;
    bool opens;
    bool bust;
    bool checkout;
  };
  const X01In S = X01In::kStraight, D = X01In::kDouble;
  const Case cases[] = {
      // Straight in: everything counts from the first dart.
      {"straight in: a single counts at once", S, X01Out::kDouble, 501, false, single(20), 20,
       false, false, false},
      {"straight in: a miss counts nothing and is no bust", S, X01Out::kDouble, 501, false, kMiss,
       0, false, false, false},
      // Double in.
      {"double in: a single before the double counts nothing", D, X01Out::kDouble, 501, false,
       treble(20), 0, false, false, false},
      {"double in: a double opens and counts", D, X01Out::kDouble, 501, false, dbl(20), 40, true,
       false, false},
      {"double in: the bull is a double and opens", D, X01Out::kDouble, 501, false, kBull, 50, true,
       false, false},
      {"double in: the outer bull does not open", D, X01Out::kDouble, 501, false, kOuterBull, 0,
       false, false, false},
      {"double in: once open a single counts", D, X01Out::kDouble, 461, true, single(5), 5, false,
       false, false},
      {"double in: the opening double that would bust busts and does not open", D, X01Out::kDouble,
       30, false, dbl(20), 0, false, true, false},
      // Straight out.
      {"straight out: below zero busts", S, X01Out::kStraight, 10, true, single(11), 0, false, true,
       false},
      {"straight out: a single finishes", S, X01Out::kStraight, 10, true, single(10), 10, false,
       false, true},
      {"straight out: leaving 1 is allowed", S, X01Out::kStraight, 10, true, single(9), 9, false,
       false, false},
      {"straight out: a treble finishes", S, X01Out::kStraight, 60, true, treble(20), 60, false,
       false, true},
      // Double out.
      {"double out: below zero busts", S, X01Out::kDouble, 40, true, treble(20), 0, false, true,
       false},
      {"double out: leaving 1 busts", S, X01Out::kDouble, 20, true, single(19), 0, false, true,
       false},
      {"double out: zero on a single busts", S, X01Out::kDouble, 20, true, single(20), 0, false,
       true, false},
      {"double out: zero on a treble busts", S, X01Out::kDouble, 60, true, treble(20), 0, false,
       true, false},
      {"double out: zero on the outer bull busts", S, X01Out::kDouble, 25, true, kOuterBull, 0,
       false, true, false},
      {"double out: zero on a double finishes", S, X01Out::kDouble, 40, true, dbl(20), 40, false,
       false, true},
      {"double out: zero on the bull finishes", S, X01Out::kDouble, 50, true, kBull, 50, false,
       false, true},
      {"double out: leaving 2 is fine", S, X01Out::kDouble, 40, true, treble(6), 18, false, false,
       false},
      // Master out.
      {"master out: below zero busts", S, X01Out::kMaster, 40, true, treble(19), 0, false, true,
       false},
      {"master out: leaving 1 busts", S, X01Out::kMaster, 39, true, dbl(19), 0, false, true, false},
      {"master out: zero on a single busts", S, X01Out::kMaster, 20, true, single(20), 0, false,
       true, false},
      {"master out: zero on the outer bull busts", S, X01Out::kMaster, 25, true, kOuterBull, 0,
       false, true, false},
      {"master out: zero on a treble finishes", S, X01Out::kMaster, 60, true, treble(20), 60, false,
       false, true},
      {"master out: zero on a double finishes", S, X01Out::kMaster, 40, true, dbl(20), 40, false,
       false, true},
      {"master out: zero on the bull finishes", S, X01Out::kMaster, 50, true, kBull, 50, false,
       false, true},
      // Both rules at once: the opening double may finish.
      {"double in and out: one double opens and finishes", D, X01Out::kDouble, 40, false, dbl(20),
       40, true, false, true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const X01DartResult r = x01Dart(options(c.in, c.out), c.left, c.opened, c.dart);
    EXPECT_EQ(r.counted, c.counted);
    EXPECT_EQ(r.opens, c.opens);
    EXPECT_EQ(r.bust, c.bust);
    EXPECT_EQ(r.checkout, c.checkout);
  }
}

TEST(X01Rules, ABustPutsTheScoreBackToTheTurnsStartAndEndsTheTurn) {
  struct Case {
    const char *name;
    X01Out out;
    int32_t left;
    HostDart darts[3];
  };
  const Case cases[] = {
      {"double out: the third dart leaves 1",
       X01Out::kDouble,
       60,
       {single(20), single(19), single(20)}},
      {"double out: the second dart goes below 0",
       X01Out::kDouble,
       60,
       {single(20), treble(20), kMiss}},
      {"straight out: the second dart goes below 0",
       X01Out::kStraight,
       30,
       {single(20), single(20), kMiss}},
      {"master out: zero on a single", X01Out::kMaster, 40, {single(20), single(20), kMiss}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    X01Options o;
    o.out = c.out;
    X01Game game;
    x01Start(game, o, 2);
    game.left[0] = c.left;
    bool bust = false;
    for (const HostDart &d : c.darts) {
      if (game.turn.seat != 0) break;
      bust = x01Throw(game, d).dart.bust;
    }
    EXPECT_TRUE(bust);
    EXPECT_EQ(game.left[0], c.left) << "back to the turn's start";
    EXPECT_EQ(game.turn.seat, 1) << "the turn ended";
    EXPECT_EQ(game.turn.dart, 0);
  }
}

TEST(X01Checkouts, EveryRouteInTheTableFinishesItsScoreOnADouble) {
  std::set<int32_t> scores;
  for (int32_t i = 0; i < kCheckoutRouteCount; ++i) {
    const CheckoutRow &row = kCheckoutRoutes[i];
    SCOPED_TRACE(std::to_string(row.score) + " = " + row.route);
    EXPECT_TRUE(scores.insert(row.score).second) << "one route a score";
    HostDart darts[3];
    const int32_t n = checkoutDarts(row.route, darts, 3);
    ASSERT_GE(n, 1);
    // Played through the rules from the score, under double and master out
    // alike: no dart busts, the last finishes.
    for (X01Out out : {X01Out::kDouble, X01Out::kMaster, X01Out::kStraight}) {
      X01Options o;
      o.out = out;
      int32_t left = row.score;
      for (int32_t k = 0; k < n; ++k) {
        const X01DartResult r = x01Dart(o, left, true, darts[k]);
        ASSERT_FALSE(r.bust) << "dart " << k + 1;
        EXPECT_EQ(r.checkout, k == n - 1) << "dart " << k + 1;
        left -= r.counted;
      }
    }
    // No shorter way exists than the table's: a one-dart finish is a double.
    if (n > 1) {
      EXPECT_FALSE(row.score <= 40 && row.score % 2 == 0) << "one double would do";
    }
  }
}

TEST(X01Checkouts, TheTableHoldsEveryScoreThreeDartsCanFinishOnADouble) {
  // Every double-out finish in three darts, found by trying them all.
  std::set<int32_t> finishable;
  std::vector<int32_t> any = {0};
  for (int32_t n = 1; n <= 20; ++n)
    for (int32_t m = 1; m <= 3; ++m) any.push_back(n * m);
  any.push_back(25);
  any.push_back(50);
  std::vector<int32_t> doubles = {50};
  for (int32_t n = 1; n <= 20; ++n) doubles.push_back(2 * n);
  for (int32_t a : any)
    for (int32_t b : any)
      for (int32_t d : doubles) finishable.insert(a + b + d);
  std::set<int32_t> inTable;
  for (int32_t i = 0; i < kCheckoutRouteCount; ++i) inTable.insert(kCheckoutRoutes[i].score);
  EXPECT_EQ(inTable, finishable);
  for (int32_t bogey : {159, 162, 163, 165, 166, 168, 169})
    EXPECT_EQ(inTable.count(bogey), 0u) << bogey << " has no three-dart finish";
}

TEST(X01Checkouts, ARouteIsShownOnlyWhenTheDartsLeftReachIt) {
  struct Case {
    const char *name;
    int32_t left;
    int32_t dartsLeft;
    const char *route;
  };
  const Case cases[] = {
      {"170 with three darts", 170, 3, "T20 T20 Bull"},
      {"170 with two darts: none", 170, 2, nullptr},
      {"40 with one dart", 40, 1, "D20"},
      {"100 with two darts", 100, 2, "T20 D20"},
      {"100 with one dart: none", 100, 1, nullptr},
      {"50 with one dart: the bull", 50, 1, "Bull"},
      {"169: none", 169, 3, nullptr},
      {"171: none", 171, 3, nullptr},
      {"1: none", 1, 3, nullptr},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const char *route = checkoutRoute(c.left, c.dartsLeft, X01Out::kDouble);
    if (c.route == nullptr) {
      EXPECT_EQ(route, nullptr);
    } else {
      ASSERT_NE(route, nullptr);
      EXPECT_STREQ(route, c.route);
    }
  }
  HostDart target{};
  ASSERT_TRUE(checkoutTarget(170, 3, X01Out::kDouble, &target));
  EXPECT_EQ(target.number, 20);
  EXPECT_EQ(target.multiplier, 3);
}

TEST(X01Checkouts, TextThatIsNoRouteIsRefused) {
  HostDart darts[3];
  for (const char *bad : {"T25", "D21", "X20", "T20 T20 T20 T20", "20a", "D"})
    EXPECT_EQ(checkoutDarts(bad, darts, 3), -1) << bad;
}

namespace {

// Seat `seat` checks out a 40 leg: the others miss until then.
void checkoutLeg(X01Game &game, int32_t seat) {
  for (int32_t s = 0; s < kHostSeats; ++s) game.left[s] = 40;
  for (int guard = 0; guard < 40 && game.turn.seat != seat; ++guard) x01Throw(game, kMiss);
  ASSERT_EQ(game.turn.seat, seat);
  ASSERT_EQ(game.turn.dart, 0);
  game.turnStart[seat] = 40;
  x01Throw(game, dbl(20));
}

void missWholeLeg(X01Game &game) {
  const int32_t leg = game.leg;
  for (int guard = 0; guard < 1000 && game.leg == leg && !game.finished; ++guard)
    x01Throw(game, kMiss);
}

}  // namespace

TEST(X01Legs, EachNewLegStartsWithTheNextSeat) {
  X01Options o;
  o.legs = 5;
  X01Game game;
  x01Start(game, o, 3);
  const int32_t expectedStarters[] = {0, 1, 2, 0};
  for (int32_t leg = 0; leg < 4; ++leg) {
    SCOPED_TRACE("leg " + std::to_string(leg + 1));
    EXPECT_EQ(game.leg, leg);
    EXPECT_EQ(game.turn.starter, expectedStarters[leg]);
    EXPECT_EQ(game.turn.seat, expectedStarters[leg]);
    EXPECT_EQ(game.left[0], 501) << "a new leg starts every score afresh";
    checkoutLeg(game, leg % 3);
  }
}

TEST(X01Legs, HowAMatchOfLegsEnds) {
  struct Case {
    const char *name;
    int32_t players;
    int32_t legs;
    // Who takes each leg in turn: a seat, or -1 for a leg drawn at the round limit.
    std::vector<int32_t> legWinners;
    int32_t winner;
  };
  const Case cases[] = {
      {"best of 1: the first checkout wins", 2, 1, {1}, 1},
      {"best of 3: two legs win", 2, 3, {0, 0}, 0},
      {"best of 3: one all, then the decider", 2, 3, {0, 1, 1}, 1},
      {"best of 5: three legs win", 2, 5, {1, 0, 1, 0, 1}, 1},
      {"best of 3: a drawn leg, then 1-1: the legs ran out level, a draw", 2, 3, {-1, 0, 1}, -1},
      {"best of 3, three players: two legs drawn, one won: the most legs won",
       3,
       3,
       {-1, 2, -1},
       2},
      {"best of 1: the leg drawn is a drawn match", 2, 1, {-1}, -1},
      {"best of 3 with three players: one leg each is a draw", 3, 3, {0, 1, 2}, -1},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    X01Options o;
    o.legs = c.legs;
    X01Game game;
    x01Start(game, o, c.players);
    for (int32_t w : c.legWinners) {
      ASSERT_FALSE(game.finished);
      if (w < 0)
        missWholeLeg(game);
      else
        checkoutLeg(game, w);
    }
    EXPECT_TRUE(game.finished);
    EXPECT_EQ(game.winner, c.winner);
  }
}

TEST(X01Legs, TheRoundLimitGivesTheLegToTheLowestScore) {
  struct Case {
    const char *name;
    int32_t players;
    int32_t left[4];
    int32_t legWinner;
  };
  const Case cases[] = {
      {"the lowest score left takes the leg", 3, {100, 40, 60, 0}, 1},
      {"equal lowest: drawn, nobody's", 3, {40, 40, 60, 0}, -1},
      {"alone: an unfinished leg is nobody's", 1, {2, 0, 0, 0}, -1},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    X01Options o;
    o.legs = 3;
    X01Game game;
    x01Start(game, o, c.players);
    int32_t darts = 0;
    X01Throw last{};
    while (!last.legOver && darts < 1000) {
      for (int32_t s = 0; s < c.players; ++s) game.left[s] = c.left[s];
      last = x01Throw(game, kMiss);
      ++darts;
    }
    EXPECT_EQ(darts, kHostRoundLimit * kHostDartsPerTurn * c.players) << "twenty rounds";
    EXPECT_EQ(last.legWinner, c.legWinner);
  }
}
