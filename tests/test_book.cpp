// The player book's file against damage and foreign files, the fold of old
// darts, the words and the CSV export.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/scene.h"
#include "book_support.h"
#include "game/match.h"
#include "host/book.h"
#include "host/recorder.h"
#include "platform/common/checksum.h"
#include "platform/headless/headless.h"
#include "replay/script.h"

namespace {

// --- The file.

std::vector<std::string> linesOf(const std::string &text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

std::string joined(const std::vector<std::string> &lines) {
  std::string out;
  for (const std::string &l : lines) out += l + "\n";
  return out;
}

void parseText(const std::string &text, Book *book) {
  bookParse(reinterpret_cast<const uint8_t *>(text.data()), text.size(), book);
}

TEST(BookFile, WrittenAndReadBackUnchanged) {
  const Book book = madeBook();
  const std::string text = bookFormat(book);
  Book again;
  parseText(text, &again);
  EXPECT_EQ(again.file, BookFile::kOurs);
  EXPECT_EQ(again.skippedLines, 0);
  EXPECT_EQ(bookFormat(again), text);
  EXPECT_EQ(again.nextMatch, 4);
}

struct Damage {
  const char *name;
  std::string (*damage)(std::vector<std::string> lines);  // the good file's lines
  int lost;                                               // good lines lost
  int skipped;                                            // lines counted as skipped
};

const Damage kDamages[] = {
    {.name = "a digit changed in a dart line",
     .damage =
         [](std::vector<std::string> l) {
           l[10][4] ^= 1;
           return joined(l);
         },
     .lost = 1,
     .skipped = 1},
    {.name = "a match line's name changed",
     .damage =
         [](std::vector<std::string> l) {
           l[2][l[2].find("BO")] = 'X';
           return joined(l);
         },
     .lost = 1,
     .skipped = 1},
    {.name = "cut in the middle of the last line",
     .damage =
         [](std::vector<std::string> l) { return joined(l).substr(0, joined(l).size() - 20); },
     .lost = 1,
     .skipped = 1},
    {.name = "noise lines between good ones",
     .damage =
         [](std::vector<std::string> l) {
           l.insert(l.begin() + 5, "\x01\xff garbage 00000000");
           l.insert(l.begin() + 2, "D 1 0 0 ANNA 1 1 112 126 48 120 128 25 5 50 50 0 deadbeef");
           return joined(l);
         },
     .lost = 0,
     .skipped = 2},
    {.name = "carriage returns before every line feed",
     .damage =
         [](std::vector<std::string> l) {
           std::string out;
           for (const std::string &line : l) out += line + "\r\n";
           return out;
         },
     .lost = 0,
     .skipped = 0},
    {.name = "the first line damaged",
     .damage =
         [](std::vector<std::string> l) {
           l[0] += "x";
           return joined(l);
         },
     .lost = 0,
     .skipped = 1},
    {.name = "a dart line repeated",
     .damage =
         [](std::vector<std::string> l) {
           l.insert(l.begin() + 8, l[7]);
           return joined(l);
         },
     .lost = 0,
     .skipped = 1},
    {.name = "a match line repeated",
     .damage =
         [](std::vector<std::string> l) {
           l.insert(l.begin() + 3, l[1]);
           return joined(l);
         },
     .lost = 0,
     .skipped = 1},
};

TEST(BookFile, ADamagedLineCostsOnlyItself) {
  const Book good = madeBook();
  const std::vector<std::string> goodLines = linesOf(bookFormat(good));
  for (const Damage &c : kDamages) {
    SCOPED_TRACE(c.name);
    Book book;
    parseText(c.damage(goodLines), &book);
    EXPECT_EQ(book.file, BookFile::kOurs);
    EXPECT_EQ(book.skippedLines, c.skipped);
    // Every line kept is one of the good file's, and only c.lost are missing.
    const std::vector<std::string> kept = linesOf(bookFormat(book));
    for (size_t i = 1; i < kept.size(); ++i)
      EXPECT_NE(std::find(goodLines.begin(), goodLines.end(), kept[i]), goodLines.end()) << kept[i];
    EXPECT_EQ(kept.size() + c.lost, goodLines.size());
  }
}

struct NotOurs {
  const char *name;
  const char *text;
  BookFile file;
};

const NotOurs kNotOurs[] = {
    {.name = "a newer book",
     .text = "tobelyn-book 3 00000000\nZ what comes later\n",
     .file = BookFile::kFuture},
    {.name = "someone's notes", .text = "shopping list\neggs\n", .file = BookFile::kForeign},
    {.name = "the settings file",
     .text = "tobelyn-settings 1\nSound 3 0100\n",
     .file = BookFile::kForeign},
    {.name = "binary", .text = "\x89PNG\r\n\x1a\n", .file = BookFile::kForeign},
};

TEST(BookFile, AForeignOrNewerFileIsReadAsEmptyAndNeverWritten) {
  const std::string dir = ::testing::TempDir() + "tobelyn_book_not_ours";
  std::remove((dir + "/book").c_str());
  std::remove((dir + "/book.tmp").c_str());
  for (const NotOurs &c : kNotOurs) {
    SCOPED_TRACE(c.name);
    const std::string path = dir + "/book";
    Book empty;
    ASSERT_TRUE(bookSave(path.c_str(), empty)) << "a new book is written";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << c.text;
    Book book;
    bookLoad(path.c_str(), &book);
    EXPECT_EQ(book.file, c.file);
    EXPECT_TRUE(book.matches.empty() && book.darts.empty());
    addMadeMatch(&book, 1796644800, 3, true);
    EXPECT_FALSE(bookSave(path.c_str(), book));
    EXPECT_EQ(readText(path), c.text);
  }
}

// --- Lines of a later build: kept and written back, never lost.

// A line as the book writes it: the payload, a space and its check.
std::string checkedLine(const std::string &payload) {
  char check[10];
  std::snprintf(check, sizeof check, " %08x",
                static_cast<unsigned>(crc32Update(0, payload.data(), payload.size())));
  return payload + check;
}

TEST(BookFile, LinesAndFieldsOfALaterBuildAreKeptWhenTheBookIsWrittenAgain) {
  const Book good = madeBook();
  const std::string goodText = bookFormat(good);
  const std::vector<std::string> goodLines = linesOf(goodText);
  // The last dart line, with a field of a later build added.
  const std::string lastDart = goodLines.back().substr(0, goodLines.back().size() - 9);
  // The first match line, with a match's options, legs, assists and code.
  std::string firstMatch;
  for (const std::string &l : goodLines)
    if (firstMatch.empty() && l[0] == 'M') firstMatch = l.substr(0, l.size() - 9);
  struct Case {
    const char *name;
    std::string line;     // added to the book
    std::string dropped;  // the good line it replaces, if any
    size_t matches, darts;
    int64_t keptId;  // a match id the kept line holds (0: none)
  };
  const Case cases[] = {
      {"a line of a kind this build does not know", checkedLine("X 4 a later kind of line"), "", 3,
       good.darts.size(), 0},
      {"a match of a game this build does not know",
       checkedLine("M 9 1796900000 9 1 1 - ANNA 3 30 30 0 0000000000000000 0"), "", 3,
       good.darts.size(), 9},
      {"a dart of that match", checkedLine("D 9 9 0 ANNA 1 1 100 60 30 108 120 5 1 5 5 0"), "", 3,
       good.darts.size(), 9},
      {"a match with its options, legs, assists and code",
       checkedLine(firstMatch + " options=double-out legs=3 assists=aim code=K7Q2"),
       goodLines[1].rfind("M ", 0) == 0 ? goodLines[1] : "", 3, good.darts.size(), 0},
      {"a dart with a later field", checkedLine(lastDart + " wind=2"), goodLines.back(), 3,
       good.darts.size(), 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    // In the place of the line it replaces, or at the end.
    std::vector<std::string> lines = goodLines;
    const auto at = std::find(lines.begin(), lines.end(), c.dropped);
    if (at != lines.end())
      *at = c.line;
    else
      lines.push_back(c.line);
    Book book;
    parseText(joined(lines), &book);
    EXPECT_EQ(book.file, BookFile::kOurs);
    EXPECT_EQ(book.skippedLines, 0);
    EXPECT_EQ(book.matches.size(), c.matches);
    EXPECT_EQ(book.darts.size(), c.darts);
    // Written again, with a match more: the later build's line is still there.
    addMadeMatch(&book, 1797000000, 3, true);
    const std::vector<std::string> written = linesOf(bookFormat(book));
    EXPECT_NE(std::find(written.begin(), written.end(), c.line), written.end())
        << "lost: " << c.line;
    // No match of this build takes the id of one it keeps unread.
    EXPECT_GT(book.matches.back().id, c.keptId);
  }
}

TEST(BookFile, AVersionOneBookReadsWholeAndIsKeptBesideTheFirstWrite) {
  // As the first build wrote them: the version 1 header, a match from
  // before computer seats (no seed, no levels) and one with them.
  const std::string v1 =
      joined({checkedLine("tobelyn-book 1"), checkedLine("M 1 1796644800 0 1 2 - ANNA 6 120 181 0"),
              checkedLine("M 2 1796648400 0 1 1 - BO 3 61 240 0 "
                          "00000000000004d2 3"),
              checkedLine("D 2 0 0 BO 1 1 100 60 30 108 120 5 1 5 5 0")});
  Book book;
  parseText(v1, &book);
  EXPECT_EQ(book.file, BookFile::kOurs);
  EXPECT_EQ(book.version, 1);
  EXPECT_EQ(book.skippedLines, 0);
  ASSERT_EQ(book.matches.size(), 2u);
  EXPECT_EQ(book.matches[1].seed, 1234u);
  EXPECT_EQ(book.matches[1].seats[0].cpuLevel, 3);
  ASSERT_EQ(book.darts.size(), 1u);
  EXPECT_TRUE(book.darts[0].cpu) << "a dart of a computer's seat is the computer's";
  EXPECT_TRUE(book.keptLines.empty());

  const std::string dir = ::testing::TempDir() + "tobelyn_book_v1";
  const std::string path = dir + "/book";
  std::remove((dir + "/book.v1").c_str());
  ASSERT_TRUE(bookSave(path.c_str(), Book{})) << "the folder is made";
  std::ofstream(path, std::ios::binary | std::ios::trunc) << v1;
  Book loaded;
  bookLoad(path.c_str(), &loaded);
  addMadeMatch(&loaded, 1797000000, 3, true);
  ASSERT_TRUE(bookSave(path.c_str(), loaded));
  EXPECT_EQ(readText(dir + "/book.v1"), v1) << "the version 1 file is kept beside";
  Book upgraded;
  bookLoad(path.c_str(), &upgraded);
  EXPECT_EQ(upgraded.version, kBookVersion);
  EXPECT_EQ(readText(path).rfind("tobelyn-book 2 ", 0), 0u);
  EXPECT_EQ(upgraded.matches.size(), 3u);
  EXPECT_EQ(upgraded.skippedLines, 0);
  // Saved again, the kept copy stays the version 1 file.
  ASSERT_TRUE(bookSave(path.c_str(), upgraded));
  EXPECT_EQ(readText(dir + "/book.v1"), v1);
}

// --- Dates before 1970 in the player's own time zone.

TEST(BookFile, AMatchDatedBefore1970IsReadAsWritten) {
  const struct {
    const char *name;
    int64_t time;
    const char *shown;
  } cases[] = {
      {"the first second", 0, "1970-01-01 00:00:00"},
      {"one second before", -1, "1969-12-31 23:59:59"},
      {"the day before at midnight", -86400, "1969-12-31 00:00:00"},
      {"a second before that", -86401, "1969-12-30 23:59:59"},
      {"a leap day", -58060800, "1968-02-29 00:00:00"},
      {"the first of 1900", -2208988800, "1900-01-01 00:00:00"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(formatDateTime(c.time), c.shown);
    Book book;
    addMadeMatch(&book, c.time, 3, true);
    Book read;
    parseText(bookFormat(book), &read);
    EXPECT_EQ(read.skippedLines, 0);
    ASSERT_EQ(read.matches.size(), 1u) << "the match is kept";
    EXPECT_EQ(read.matches[0].time, c.time);
    const std::vector<std::string> rows = linesOf(bookCsv(read));
    ASSERT_GT(rows.size(), 1u);
    EXPECT_NE(rows[1].find(std::string(",") + c.shown + ","), std::string::npos)
        << "each dart has its match's date: " << rows[1];
  }
}

// --- A computer is never filed under a person's name.

TEST(BookStats, APersonAndAComputerOfOneNameAreTwoPlayers) {
  // ANNA plays BO twice; in the second match "BO" is a computer seat.
  Book book;
  addMadeMatch(&book, 1796644800, 6, true);
  BookMatch m;
  m.time = 1796648400;
  m.players = 2;
  m.seats[0].name = "ANNA";
  m.seats[1].name = "BO";
  m.seats[1].cpuLevel = 4;
  m.seats[1].darts = 3;
  m.seats[1].points = 180;
  m.seats[1].final = 121;
  m.rounds = 1;
  std::vector<BookDart> darts;
  for (int d = 1; d <= 3; ++d) darts.push_back(madeDart(1, "BO", 1, d, kDartTriple, 20, 60, 60));
  bookAddMatch(&book, m, darts);

  const struct {
    const char *name;
    PlayerKind kind;
    int64_t matches, darts, triples;
  } cases[] = {
      {"the person BO", PlayerKind::kPerson, 1, 6, 2},
      {"the computer BO", PlayerKind::kComputer, 1, 3, 3},
  };
  for (int folded = 0; folded < 2; ++folded) {
    // Folded away, the darts stay with the same player.
    if (folded == 1) bookFold(&book, 0);
    for (const auto &c : cases) {
      SCOPED_TRACE(std::string(c.name) + (folded ? ", darts folded" : ""));
      const PlayerStats st = bookPlayerStats(book, "BO", c.kind);
      EXPECT_EQ(st.matches, c.matches);
      EXPECT_EQ(st.darts, c.darts);
      EXPECT_EQ(st.ringDarts, c.darts);
      EXPECT_EQ(st.triples, c.triples);
    }
    const std::vector<BookPlayer> players = bookPlayers(book);
    ASSERT_EQ(players.size(), 3u);
    EXPECT_EQ(players[1], (BookPlayer{"BO", PlayerKind::kPerson}));
    EXPECT_EQ(players[2], (BookPlayer{"BO", PlayerKind::kComputer}));
    // Written and read again, the folded totals keep their player.
    Book read;
    parseText(bookFormat(book), &read);
    EXPECT_EQ(bookPlayerStats(read, "BO", PlayerKind::kComputer).ringDarts, 3);
    EXPECT_EQ(bookPlayerStats(read, "BO", PlayerKind::kPerson).ringDarts, 6);
  }
}

// --- The fold.

TEST(BookFold, TwentyThousandDartsKeepRecordsAndAveragesExact) {
  // 800 matches of 2 x 12 to 15 darts: 21,600 darts, the oldest 1,600
  // folded; beside them the same matches with nothing folded.
  Book book, unfolded;
  for (int i = 0; i < 800; ++i) {
    const int32_t game = i % 5 == 4 ? kGameHighScore : kGame301;
    addMadeMatch(&book, 1796644800 + 3600 * i, 15 - i % 4, i % 3 == 0, game);
    addMadeMatch(&unfolded, 1796644800 + 3600 * i, 15 - i % 4, i % 3 == 0, game, SIZE_MAX);
  }
  ASSERT_GT(unfolded.darts.size(), kBookDartsKept);
  EXPECT_EQ(book.darts.size(), kBookDartsKept);
  EXPECT_FALSE(book.totals.empty());

  // Written and read back, the folded book answers as the whole one does.
  Book read;
  parseText(bookFormat(book), &read);
  ASSERT_EQ(read.skippedLines, 0);
  for (const Book *b : {&book, &read}) {
    for (int kind = 0; kind < kRecordKinds; ++kind) {
      const std::vector<RecordEntry> want = bookRecords(unfolded, RecordKind(kind));
      const std::vector<RecordEntry> got = bookRecords(*b, RecordKind(kind));
      ASSERT_EQ(got.size(), want.size()) << "record " << kind;
      for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].match, want[i].match) << "record " << kind << " place " << i;
        EXPECT_EQ(got[i].value, want[i].value) << "record " << kind << " place " << i;
      }
    }
    for (const char *name : {"ANNA", "BO"}) {
      SCOPED_TRACE(name);
      const PlayerStats want = bookPlayerStats(unfolded, name);
      const PlayerStats got = bookPlayerStats(*b, name);
      EXPECT_EQ(got.matches, want.matches);
      EXPECT_EQ(got.darts, want.darts);
      EXPECT_EQ(got.average301, want.average301);
      EXPECT_EQ(got.trend301, want.trend301);
      EXPECT_EQ(got.ringDarts, want.ringDarts);
      EXPECT_EQ(got.triples, want.triples);
      EXPECT_EQ(got.bestSector, want.bestSector);
      EXPECT_EQ(got.finished301, want.finished301);
      for (int game : {-1, int(kGame301), int(kGameHighScore)})
        EXPECT_EQ(bookLandingGrid(*b, name, game), bookLandingGrid(unfolded, name, game))
            << "game " << game;
    }
  }
}

// Best and worst sector: a number is named only when no other shares its
// count, so a short history does not name one of many numbers never hit.
struct SectorCase {
  const char *name;
  std::vector<int32_t> hits;  // the sector of each dart, 0 a miss
  int32_t best, worst;
};

std::vector<int32_t> everyNumberOnce() {
  std::vector<int32_t> hits;
  for (int32_t sector = 1; sector <= kSectorMax; ++sector) hits.push_back(sector);
  return hits;
}

std::vector<int32_t> withChanges(std::vector<int32_t> hits, std::vector<int32_t> more,
                                 int32_t without) {
  hits.erase(std::remove(hits.begin(), hits.end(), without), hits.end());
  hits.insert(hits.end(), more.begin(), more.end());
  return hits;
}

TEST(BookStats, BestAndWorstSectorOnlyWhenOneNumberStandsOut) {
  const SectorCase cases[] = {
      {.name = "no darts", .hits = {}, .best = 0, .worst = 0},
      {.name = "misses only", .hits = {0, 0, 0}, .best = 0, .worst = 0},
      {.name = "one dart: nineteen numbers never hit tie", .hits = {20}, .best = 20, .worst = 0},
      {.name = "two numbers share the most", .hits = {20, 1, 5, 5, 20}, .best = 0, .worst = 0},
      {.name = "every number once", .hits = everyNumberOnce(), .best = 0, .worst = 0},
      {.name = "every number, 20 twice, 3 never",
       .hits = withChanges(everyNumberOnce(), {20}, 3),
       .best = 20,
       .worst = 3},
      {.name = "every number, 19 twice, 6 three times",
       .hits = withChanges(everyNumberOnce(), {19, 6, 6}, 0),
       .best = 6,
       .worst = 0},
  };
  for (const SectorCase &c : cases) {
    Book book;
    for (size_t i = 0; i < c.hits.size(); ++i) {
      const int32_t sector = c.hits[i], round = static_cast<int32_t>(i / 3) + 1;
      const DartRing ring = sector == 0 ? kDartMiss : kDartSingle;
      book.darts.push_back(madeDart(0, "ANNA", round, static_cast<int32_t>(i % 3) + 1, ring, sector,
                                    sector, sector));
    }
    const PlayerStats st = bookPlayerStats(book, "ANNA");
    EXPECT_EQ(st.bestSector, c.best) << c.name;
    EXPECT_EQ(st.worstSector, c.worst) << c.name;
  }
}

struct PathCase {
  const char *name;
  const char *xdgDataHome, *home;
  const char *path;  // nullptr: no place for the book
};

const PathCase kPaths[] = {
    {.name = "XDG_DATA_HOME first", .xdgDataHome = "/d", .home = "/h", .path = "/d/tobelyn/book"},
    {.name = "a relative XDG_DATA_HOME is ignored",
     .xdgDataHome = "d",
     .home = "/h",
     .path = "/h/.local/share/tobelyn/book"},
    {.name = "HOME alone",
     .xdgDataHome = nullptr,
     .home = "/h",
     .path = "/h/.local/share/tobelyn/book"},
    {.name = "neither", .xdgDataHome = "", .home = nullptr, .path = nullptr},
};

TEST(BookFile, LivesInTheUsersDataFolder) {
  for (const PathCase &c : kPaths) {
    std::string path;
    EXPECT_EQ(bookPathPosix(c.xdgDataHome, c.home, &path), c.path != nullptr) << c.name;
    if (c.path != nullptr) {
      EXPECT_EQ(path, c.path) << c.name;
    }
  }
  std::string windows;
  ASSERT_TRUE(bookPathWindows("C:\\Users\\x\\AppData\\Roaming", &windows));
  EXPECT_EQ(windows, "C:\\Users\\x\\AppData\\Roaming\\Tobelyn\\book");
}

// Dates are the player's own: the book's clock reads as the local calendar.
TEST(BookWords, TheLocalClockGivesTheLocalDate) {
  const std::time_t now = std::time(nullptr);
  char local[32];
  std::strftime(local, sizeof local, "%Y-%m-%d %H:%M", std::localtime(&now));
  EXPECT_EQ(formatDateTime(localClockNow()).substr(0, 16), local) << "unless a minute turned";
  EXPECT_EQ(formatDateTime(0), "1970-01-01 00:00:00");
  EXPECT_EQ(formatDate(951782400), "2000-02-29");
}

// --- The export.

struct CsvCase {
  const char *name;
  const char *text;
  const char *field;
};

const CsvCase kCsvFields[] = {
    {.name = "plain words stay as they are", .text = "Round The Clock", .field = "Round The Clock"},
    {.name = "a comma is quoted", .text = "a,b", .field = "\"a,b\""},
    {.name = "a quote is doubled inside quotes",
     .text = "say \"hi\"",
     .field = "\"say \"\"hi\"\"\""},
    {.name = "a line break is quoted", .text = "two\r\nlines", .field = "\"two\r\nlines\""},
};

TEST(BookCsv, OneDartARowWithRfc4180Quoting) {
  for (const CsvCase &c : kCsvFields) EXPECT_EQ(csvField(c.text), c.field) << c.name;

  const Book book = madeBook();
  const std::string csv = bookCsv(book);
  ASSERT_EQ(csv.substr(csv.size() - 2), "\r\n");
  std::vector<std::string> rows;
  for (size_t at = 0; at < csv.size();) {
    const size_t end = csv.find("\r\n", at);
    ASSERT_NE(end, std::string::npos);
    rows.push_back(csv.substr(at, end - at));
    at = end + 2;
  }
  ASSERT_EQ(rows.size(), book.darts.size() + 1);
  const auto columns = [](const std::string &row) {
    return std::count(row.begin(), row.end(), ',');
  };
  for (const std::string &row : rows) EXPECT_EQ(columns(row), columns(rows[0])) << row;
  EXPECT_EQ(rows[0].substr(0, 17), "match,date,game,s");
  EXPECT_EQ(rows[1].substr(0, 31), "1,2026-12-07 12:00:00,301,1,ANN");
}

}  // namespace
