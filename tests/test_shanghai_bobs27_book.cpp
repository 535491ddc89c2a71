// Shanghai and Bob's 27 in the player book: the Statistics page's sheets,
// the summary card's words, Bob's 27's darts (all at doubles) kept out of
// the rates of the other games, and the records of the host's four games,
// from a fixed book.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/book.h"
#include "host/host_game_stats.h"
#include "host/host_game_words.h"
#include "tests/host_game_book.h"

namespace {

struct Landing {
  int seat;
  int32_t round;
  int32_t sector;
  DartRing ring;
  int32_t counted;
  int32_t marks = 0;  // Cricket
};

// A match of ANN and BOB; `more` is what the host's game adds beside its
// options (Bob's 27's scores, a Shanghai).
void addMatch(Book *book, int32_t game, const char *options, const std::string &more,
              int32_t winner, const std::vector<Landing> &landings, const int32_t finals[2]) {
  std::vector<MadeThrow> throws;
  for (const Landing &l : landings)
    throws.push_back({l.seat, 1, l.round, l.sector, l.ring, l.counted, l.marks});
  addMadeTwoSeatMatch(book, game, options, "ANN", "BOB", winner, throws, finals, more);
}

// ANN's "301": three darts, one a double. A Shanghai that ANN wins by a
// Shanghai in round 1; a Bob's 27 where ANN hits double 1 with all three
// darts and BOB misses and has gone out below 0.
Book fixedBook() {
  Book book;
  const int32_t handheld[2] = {241, 301};
  addMatch(&book, kGame301, "", "", -1,
           {{0, 1, 20, kDartDouble, 40}, {0, 1, 20, kDartSingle, 20}, {0, 1, 5, kDartSingle, 5}},
           handheld);
  const int32_t shanghai[2] = {6, 2};
  addMatch(&book, kHostGameShanghai, "shanghai", " shanghai=1", 0,
           {{0, 1, 1, kDartSingle, 1},
            {0, 1, 1, kDartDouble, 2},
            {0, 1, 1, kDartTriple, 3},
            {1, 1, 1, kDartDouble, 2},
            {1, 1, 7, kDartSingle, 0},
            {1, 1, 7, kDartSingle, 0}},
           shanghai);
  // X01 501: ANN's nine-darter, 141 out; BOB's three 20s.
  const int32_t x01[2] = {0, 441};
  addMatch(&book, kHostGameX01, "x01 start=501 in=straight out=double legs=1", "", 0,
           {{0, 1, 20, kDartTriple, 60},
            {0, 1, 20, kDartTriple, 60},
            {0, 1, 20, kDartTriple, 60},
            {1, 1, 20, kDartSingle, 20},
            {1, 1, 20, kDartSingle, 20},
            {1, 1, 20, kDartSingle, 20},
            {0, 2, 20, kDartTriple, 60},
            {0, 2, 20, kDartTriple, 60},
            {0, 2, 20, kDartTriple, 60},
            {0, 3, 20, kDartTriple, 60},
            {0, 3, 19, kDartTriple, 57},
            {0, 3, 12, kDartDouble, 24}},
           x01);
  // X01 301: BOB out in six darts (121 out), which is no 501 record.
  const int32_t x01Short[2] = {301, 0};
  addMatch(&book, kHostGameX01, "x01 start=301 in=straight out=double legs=1", "", 1,
           {{0, 1, 1, kDartSingle, 1},
            {1, 1, 20, kDartTriple, 60},
            {1, 1, 20, kDartTriple, 60},
            {1, 1, 20, kDartTriple, 60},
            {1, 2, 20, kDartTriple, 60},
            {1, 2, 11, kDartTriple, 33},
            {1, 2, 14, kDartDouble, 28}},
           x01Short);
  // Cricket: ANN 5 marks in three darts, BOB 1 in one.
  const int32_t cricket[2] = {0, 0};
  addMatch(&book, kHostGameCricket, "cricket", "", -1,
           {{0, 1, 20, kDartTriple, 0, 3},
            {0, 1, 19, kDartDouble, 0, 2},
            {0, 1, 2, kDartSingle, 0, 0},
            {1, 1, 18, kDartSingle, 0, 1}},
           cricket);
  const int32_t bobs27[2] = {33, 0};
  addMatch(&book, kHostGameBobs27, "bobs27", " scores=33,-13 out=0,1 hits=3,0", 0,
           {{0, 1, 1, kDartDouble, 2},
            {0, 1, 1, kDartDouble, 2},
            {0, 1, 1, kDartDouble, 2},
            {1, 1, 1, kDartSingle, 0},
            {1, 1, 1, kDartMiss, 0},
            {1, 1, 1, kDartSingle, 0}},
           bobs27);
  return bookThroughText(book);
}

const BookMatch *matchOf(const Book &book, int32_t game) {
  for (const BookMatch &m : book.matches)
    if (m.game == game) return &m;
  return nullptr;
}

}  // namespace

TEST(ShanghaiBobs27Book, EachPlayersFiguresOfEachGame) {
  const Book book = fixedBook();
  ASSERT_EQ(book.matches.size(), 6u);
  struct Row {
    const char *name;
    const char *player;
    int32_t game;
    const char *label;
    const char *want;
  };
  const Row rows[] = {
      {"ANN's Shanghai matches and darts", "ANN", kHostGameShanghai, "Matches / darts", "1 / 3"},
      {"ANN's best Shanghai total", "ANN", kHostGameShanghai, "Best total", "6"},
      {"ANN won by one Shanghai", "ANN", kHostGameShanghai, "Shanghais", "1"},
      {"BOB lost: no Shanghai of his", "BOB", kHostGameShanghai, "Shanghais", "0"},
      {"ANN's best Bob's 27 score", "ANN", kHostGameBobs27, "Best score", "33"},
      {"BOB's best Bob's 27 score, below 0 as it was", "BOB", kHostGameBobs27, "Best score", "-13"},
      {"ANN hit every double", "ANN", kHostGameBobs27, "Doubles hit", "100.0%"},
      {"BOB hit no double", "BOB", kHostGameBobs27, "Doubles hit", "0.0%"},
      {"a player with no Bob's 27 has a dash", "CAL", kHostGameBobs27, "Best score", "-"},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(statValue(hostGameStatLines(book, r.player, PlayerKind::kPerson, r.game), r.label),
              r.want);
  }
}

TEST(ShanghaiBobs27Book, TheSummaryCardsWords) {
  const Book book = fixedBook();
  struct Row {
    const char *name;
    int32_t game;
    int seat;
    const char *result;
    const char *average;
  };
  const Row rows[] = {
      {"Shanghai won by a Shanghai", kHostGameShanghai, 0, "Shanghai!, 6 points", "6.0 a round"},
      {"Shanghai lost", kHostGameShanghai, 1, "2 points", "2.0 a round"},
      {"Bob's 27 won", kHostGameBobs27, 0, "won, score 33", "3 of 3 doubles hit"},
      {"Bob's 27 out below 0: the score as it is", kHostGameBobs27, 1, "score -13, out",
       "0 of 3 doubles hit"},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.name);
    const BookMatch *m = matchOf(book, r.game);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(hostGameResultWords(*m, r.seat), r.result);
    EXPECT_EQ(hostGameAverageWords(*m, r.seat), r.average);
  }
}

TEST(ShanghaiBobs27Book, BobsDartsNeverCountTowardTheDoubleRate) {
  const Book book = fixedBook();
  const PlayerStats ann = bookPlayerStats(book, "ANN", PlayerKind::kPerson);
  // Every dart but Bob's 27's three: 3 of "301", 3 of Shanghai, 9 and 1 of
  // X01, 3 of Cricket; its doubles are one each in "301", Shanghai, the
  // nine-darter and Cricket.
  EXPECT_EQ(ann.ringDarts, 19);
  EXPECT_EQ(ann.doubles, 4);
  // The darts themselves still count as thrown.
  EXPECT_EQ(ann.darts, 22);
}

TEST(ShanghaiBobs27Book, TheRecordsOfTheHostsGames) {
  const Book book = fixedBook();
  struct Row {
    const char *name;
    RecordKind kind;
    size_t places;
    const char *first;
    double best;
  };
  const Row rows[] = {
      {"X01: the nine-darter; a 301 leg is no 501 record", kRecordX01FewestDarts, 1, "ANN", 9},
      {"X01: the highest checkout, of either start", kRecordX01HighestCheckout, 2, "ANN", 141},
      {"Cricket: marks per round, each seat", kRecordCricketBestMarks, 2, "ANN", 5},
      {"Shanghai: the best total, each seat", kRecordShanghaiBestTotal, 2, "ANN", 6},
      {"Bob's 27: the best score, each seat", kRecordBobs27BestScore, 2, "ANN", 33},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.name);
    const std::vector<RecordEntry> best = bookRecords(book, r.kind);
    ASSERT_EQ(best.size(), r.places);
    EXPECT_EQ(best.front().name, r.first);
    EXPECT_DOUBLE_EQ(best.front().value, r.best);
  }
  const std::vector<RecordEntry> bobs = bookRecords(book, kRecordBobs27BestScore);
  ASSERT_EQ(bobs.size(), 2u);
  EXPECT_EQ(bobs[1].value, -13) << "below 0 as it was, not the scoreboard's 0";
  const std::string text = bookRecordsText(book);
  for (const char *line :
       {"\"X01\": fewest darts in a leg of 501", "\"Cricket\": best marks per round", "5.0 marks",
        "\"Shanghai\": best total", "\"Bob's 27\": best score", "-13 points"})
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
}
