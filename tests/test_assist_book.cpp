// Assisted play in the player book: each dart and each seat's match keeps
// its pace, and records, statistics, the landing map and the folded totals
// keep assisted play apart from play at full pace.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/match.h"
#include "host/assist.h"
#include "host/book.h"
#include "host/player_book.h"
#include "host_driver.h"
#include "screens/screens.h"

namespace {

// A one-player "301" finished in `darts` darts of `points` each, at a pace.
BookMatch madeMatch(const char *name, int darts, int32_t pace, int32_t points = 60) {
  BookMatch m;
  m.game = kGame301;
  m.players = 1;
  m.time = 1796644800;
  m.seats[0].name = name;
  m.seats[0].darts = darts;
  m.seats[0].points = darts * points;
  // Finished, so that it sets the records of "301".
  m.seats[0].final = 0;
  m.seats[0].finished = true;
  m.winner = 0;
  m.rounds = (darts + 2) / 3;
  const int32_t paces[kMaxPlayers] = {pace, 1, 1, 1};
  bookMarkMatchAssist(&m, paces);
  return m;
}

std::vector<BookDart> madeDarts(const char *name, int darts, int32_t pace) {
  std::vector<BookDart> list;
  for (int i = 0; i < darts; ++i) {
    BookDart d;
    d.name = name;
    d.round = i / 3 + 1;
    d.dart = i % 3 + 1;
    d.aimX = 112;
    d.peak = 30;
    d.release = 50;
    d.x = 120;
    d.y = 40;
    d.ring = kDartTriple;
    d.sector = 20;
    d.score = d.counted = 60;
    bookMarkDartAssist(&d, pace);
    list.push_back(d);
  }
  return list;
}

void addMatch(Book *book, const char *name, int darts, int32_t pace, int32_t points = 60,
              NewBests *news = nullptr) {
  bookAddMatch(book, madeMatch(name, darts, pace, points), madeDarts(name, darts, pace), news);
}

Book reread(const Book &book) {
  const std::string text = bookFormat(book);
  Book again;
  bookParse(reinterpret_cast<const uint8_t *>(text.data()), text.size(), &again);
  return again;
}

TEST(AssistBook, EachDartAndSeatKeepsItsPaceThroughTheFile) {
  struct Case {
    const char *name;
    int32_t pace;
    const char *dartField;   // on each D line, or "" for none
    const char *matchField;  // on the M line
  };
  const Case cases[] = {
      {"full pace writes nothing", kPaceFull, "", ""},
      {"1/2 pace", kPaceHalf, " assist=2", " assist=2"},
      {"1/3 pace", kPaceThird, " assist=3", " assist=3"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    Book book;
    addMatch(&book, "ANNA", 6, c.pace);
    const Book again = reread(book);
    ASSERT_EQ(again.matches.size(), 1u);
    ASSERT_EQ(again.darts.size(), 6u);
    EXPECT_EQ(again.matches[0].more, c.matchField);
    EXPECT_EQ(again.darts[0].more, c.dartField);
    EXPECT_EQ(bookSeatAssist(again.matches[0], 0), c.pace);
    EXPECT_EQ(bookDartAssist(again.darts[5]), c.pace);
  }
}

TEST(AssistBook, AMatchKeepsEachSeatsPace) {
  BookMatch m;
  m.players = 4;
  const int32_t paces[kMaxPlayers] = {1, 3, 1, 2};
  bookMarkMatchAssist(&m, paces);
  EXPECT_EQ(m.more, " assist=1,3,1,2");
  for (int s = 0; s < 4; ++s) EXPECT_EQ(bookSeatAssist(m, s), paces[s]) << "seat " << s;
  // Another build's fields beside it are no trouble.
  m.more = " code=AB12 assist=1,2 legs=3";
  EXPECT_EQ(bookSeatAssist(m, 1), 2);
  EXPECT_EQ(bookSeatAssist(m, 2), 1) << "a seat past the list is at full pace";
}

TEST(AssistBook, RecordsAtASlowerPaceStandOnTheirOwnSheet) {
  Book book;
  addMatch(&book, "ANNA", 6, kPaceFull, 40);
  addMatch(&book, "BO", 6, kPaceThird, 60);
  struct Case {
    const char *name;
    bool assisted;
    const char *best;
  };
  const Case cases[] = {
      {"full pace: the assisted 60 average is not there", false, "ANNA"},
      {"assisted: only the assisted seat", true, "BO"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<RecordEntry> best = bookRecords(book, kRecord301BestAverage, c.assisted);
    ASSERT_EQ(best.size(), 1u);
    EXPECT_EQ(best[0].name, c.best);
  }
  const std::string text = bookRecordsText(book);
  EXPECT_NE(text.find("Assisted, \"301\""), std::string::npos) << text;
  EXPECT_EQ(bookRecordsText(Book{}).find("Assisted"), std::string::npos)
      << "no assisted lines in a book without assisted play";
}

TEST(AssistBook, AnAssistedBestIsNewOnlyOnItsOwnSheet) {
  struct Case {
    const char *name;
    int32_t firstPace, secondPace;
    int32_t firstPoints, secondPoints;
    bool newBest;
  };
  const Case cases[] = {
      {"a better assisted match beside a full-pace one: new there", kPaceFull, kPaceHalf, 40, 60,
       true},
      {"a worse full-pace match after a better assisted one: still new", kPaceHalf, kPaceFull, 60,
       40, true},
      {"a worse assisted one after a better assisted one", kPaceHalf, kPaceThird, 60, 40, false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    Book book;
    addMatch(&book, "ANNA", 6, c.firstPace, c.firstPoints);
    NewBests news;
    addMatch(&book, "ANNA", 6, c.secondPace, c.secondPoints, &news);
    EXPECT_EQ(news.seat[0], c.newBest);
  }
}

TEST(AssistBook, StatisticsCountAssistedDartsApartKeptOrFolded) {
  struct Case {
    const char *name;
    size_t keep;  // darts kept one by one; the rest folded
  };
  const Case cases[] = {
      {"every dart kept", kBookDartsKept},
      {"every dart folded", 0},
      {"folded and read back", 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    Book book;
    addMatch(&book, "ANNA", 6, kPaceFull, 20);
    addMatch(&book, "ANNA", 9, kPaceHalf, 60);
    bookFold(&book, c.keep);
    if (std::string(c.name) == "folded and read back") book = reread(book);
    const PlayerStats st = bookPlayerStats(book, "ANNA");
    EXPECT_EQ(st.matches, 1);
    EXPECT_EQ(st.darts, 6);
    EXPECT_DOUBLE_EQ(st.average301, 60.0) << "three darts of 20";
    EXPECT_EQ(st.ringDarts, 6);
    EXPECT_EQ(st.assistedMatches, 1);
    EXPECT_EQ(st.assistedDarts, 9);
    const std::vector<uint32_t> grid = bookLandingGrid(book, "ANNA", -1);
    EXPECT_EQ(grid[gridCell(120, 40)], 6u) << "the landing map shows full pace only";
  }
}

TEST(AssistBook, AMatchPlayedAtHalfPaceIsKeptAssisted) {
  HostDriver d;
  d.start();
  hostBookOpen(nullptr, [] { return int64_t{1796644800}; });
  hostSetSeatAssist(0, kPaceHalf);
  ASSERT_TRUE(d.toReady());
  d.press(VK_RETURN);
  ASSERT_TRUE(d.reach(HostScene::kMatch, kMatchAnnounce));
  // The pace turned off after the first dart: the match is still assisted.
  for (int i = 0; i < 2000 && sceneStep != kMatchFinished; ++i) {
    if (match.roundIndex > 0) hostSetSeatAssist(0, kPaceFull);
    d.press(VK_RETURN, 30);
  }
  ASSERT_TRUE(d.reach(HostScene::kMatch, kMatchFinished));
  const Book &book = hostBook();
  ASSERT_EQ(book.matches.size(), 1u);
  EXPECT_EQ(bookSeatAssist(book.matches[0], 0), kPaceHalf);
  ASSERT_GT(book.darts.size(), 3u);
  EXPECT_EQ(bookDartAssist(book.darts[0]), kPaceHalf) << "the first dart at 1/2 pace";
  EXPECT_EQ(bookDartAssist(book.darts.back()), kPaceFull) << "the last at full pace";
  const PlayerStats st = bookPlayerStats(book, "PLAYER 1");
  EXPECT_EQ(st.matches, 0) << "nothing at full pace";
  EXPECT_EQ(st.assistedMatches, 1);
  EXPECT_EQ(st.assistedDarts, 3) << "the first round's darts";
  d.finish();
  hostBookReplace(Book{});
}

}  // namespace
