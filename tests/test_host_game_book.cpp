// The host's own games in the player book: the fields a match and its darts
// keep, the CSV naming the game, and the summary card's words.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "host/book.h"
#include "host/host_game_words.h"
#include "replay_runner.h"

namespace {

BookDart dartOf(int seat, int32_t dart, int32_t score) {
  BookDart d;
  d.seat = seat;
  d.dart = dart;
  d.name = defaultPlayerName(seat);
  d.score = score;
  d.sector = 20;
  d.aimX = kAimStart;
  d.ring = score == 60 ? kDartTriple : kDartDouble;
  d.counted = 999;  // as the recorder read it off a scoreboard a new leg reset
  return d;
}

}  // namespace

TEST(HostGameBook, AMatchKeepsItsOptionsLegsAndEachDartsLeg) {
  BookMatch m;
  m.game = kHostGameX01;
  m.players = 2;
  for (int s = 0; s < 2; ++s) m.seats[s].name = defaultPlayerName(s);
  std::vector<BookDart> darts = {dartOf(0, 1, 60), dartOf(0, 2, 60), dartOf(1, 1, 40)};
  const std::vector<HostGameDart> rules = {{1, 0, false, 0}, {1, 0, true, 0}, {2, 40, false, 0}};
  const int32_t legs[4] = {1, 2, 0, 0};
  hostGameIntoBook("x01 start=301 in=straight out=double legs=3", legs, rules, &m, &darts);
  EXPECT_EQ(bookField(m.more, "hostgame"), "x01,start=301,in=straight,out=double,legs=3");
  EXPECT_EQ(bookField(m.more, "legs"), "1,2");
  EXPECT_EQ(bookField(darts[2].more, "leg"), "2");
  EXPECT_EQ(darts[0].counted, 0) << "as the rules counted it, not the scoreboard";
  EXPECT_TRUE(darts[1].bust);
  EXPECT_EQ(m.seats[0].points, 0);
  EXPECT_EQ(m.seats[1].points, 40);

  // The match's line reads back with its fields.
  Book book;
  bookAddMatch(&book, m, darts);
  const std::string text = bookFormat(book);
  Book again;
  bookParse(reinterpret_cast<const uint8_t *>(text.data()), text.size(), &again);
  ASSERT_EQ(again.matches.size(), 1u);
  EXPECT_EQ(again.matches[0].game, kHostGameX01);
  EXPECT_EQ(bookField(again.matches[0].more, "legs"), "1,2");
  ASSERT_EQ(again.darts.size(), 3u);
  EXPECT_EQ(bookField(again.darts[2].more, "leg"), "2");
}

TEST(HostGameBook, TheSummaryCardWordsASeat) {
  struct Case {
    const char *name;
    int32_t game;
    const char *more;
    int32_t darts, points, final;
    bool finished;
    const char *result;
    const char *average;
  };
  const Case cases[] = {
      {"x01 won over legs", kHostGameX01,
       " hostgame=x01,start=501,in=straight,out=double,legs=3 legs=2,1 firstnine=612,400 "
       "checkout=96,0",
       30, 501, 0, true, "won, 2 legs, out 96", "avg 50.1, first 9 61.2"},
      {"x01 one leg, not finished", kHostGameX01,
       " hostgame=x01,start=501,in=straight,out=double,legs=1 legs=0,1", 60, 461, 40, false,
       "40 left", "avg 23.1"},
      {"cricket won", kHostGameCricket, " hostgame=cricket marks=21,9", 27, 60, 60, true,
       "won, 60 points", "2.3 marks a round"},
      {"cricket, one point", kHostGameCricket, " hostgame=cricket marks=21,9", 27, 1, 1, false,
       "1 point", "2.3 marks a round"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    BookMatch m;
    m.game = c.game;
    m.players = 2;
    m.more = c.more;
    m.seats[0].darts = c.darts;
    m.seats[0].points = c.points;
    m.seats[0].final = c.final;
    m.seats[0].finished = c.finished;
    EXPECT_EQ(matchResultWords(m, 0), c.result);
    EXPECT_EQ(matchAverageWords(m, 0), c.average);
  }
}

TEST(HostGameBook, ACricketMatchIsKeptAndExportedNamingTheGame) {
  const std::string dir = replayWorkDir("hostgames-work", "book");
  std::ofstream(dir + "/script.txt")
      << "host on\nseat 1 cpu 5\nseed 3\nclock 100000\nrun 3\n"
         "host play cricket 1\nrun 1\nwait 14 3000000\nrun 2\ndump\n";
  const ReplayRun run = runReplay(dir, "--data data --export out.csv script.txt");
  ASSERT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(field(run.lines[0], "bookMatches"), "1");
  const std::string book = readAll(dir + "/data/book");
  EXPECT_NE(book.find("\nM 1 "), std::string::npos);
  EXPECT_NE(book.find(" hostgame=cricket marks="), std::string::npos) << book.substr(0, 300);
  EXPECT_NE(book.find(" leg=1 marks="), std::string::npos);
  const std::string csv = readAll(dir + "/out.csv");
  EXPECT_NE(csv.find(",Cricket,1,"), std::string::npos) << csv.substr(0, 300);
}

TEST(HostGameBook, X01FiguresOfASeat) {
  struct Throw {
    int32_t leg, round, counted;
    bool bust;
  };
  // Seat 0 over two legs of 301; seat 1's darts between must not count.
  const std::vector<Throw> throws = {
      {1, 1, 60, false}, {1, 1, 60, false}, {1, 1, 60, false},  // 180: 121 left
      {1, 2, 60, false}, {1, 2, 11, false}, {1, 2, 50, false},  // 121 checked out, bull
      {2, 1, 60, false}, {2, 1, 60, false}, {2, 1, 20, false},  // 140: 161 left
      {2, 2, 0, false},  {2, 2, 0, false},  {2, 2, 0, true},    // a bust, taken back
  };
  std::vector<BookDart> darts;
  for (const Throw &t : throws) {
    BookDart d;
    d.seat = 0;
    d.round = t.round;
    d.counted = t.counted;
    d.bust = t.bust;
    d.more = " leg=" + std::to_string(t.leg);
    darts.push_back(d);
    BookDart other = d;
    other.seat = 1;
    other.counted = 7;
    darts.push_back(other);
  }
  const X01Figures f = hostX01Figures(darts, 0, 301);
  struct Row {
    const char *name;
    double got, want;
  };
  const Row rows[] = {
      {"darts", static_cast<double>(f.darts), 12},
      {"3-dart average", f.threeDartAverage, 3.0 * 441 / 12},
      {"first-nine average (each leg's first nine)", f.firstNineAverage, 3.0 * 441 / 12},
      {"checkout attempts (50 left)", static_cast<double>(f.checkoutAttempts), 1},
      {"checkouts", static_cast<double>(f.checkouts), 1},
      {"100+ (the 121)", static_cast<double>(f.tons), 1},
      {"140+", static_cast<double>(f.tonForties), 1},
      {"180", static_cast<double>(f.oneEighties), 1},
      {"best leg in darts", static_cast<double>(f.bestLegDarts), 6},
      {"highest checkout", static_cast<double>(f.highestCheckout), 121},
  };
  for (const Row &r : rows) EXPECT_DOUBLE_EQ(r.got, r.want) << r.name;
}
