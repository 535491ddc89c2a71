// A player book for the browser tests, made and read by the book's own code,
// so that the tests never restate its file format.
//
//   tobelyn_book_tool make BYTES   prints a valid book of at least BYTES bytes:
//                                  solo "301" matches of three players, the
//                                  oldest darts folded as the game folds them
//   tobelyn_book_tool count        reads a book on stdin and prints what it
//                                  holds, as one line of JSON
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "game/board.h"
#include "game/match.h"
#include "host/book.h"
#include "host/recorder.h"

namespace {

constexpr int64_t kFirstMatchTime = 1767225600;  // 2026-01-01 00:00
constexpr int64_t kMatchEvery = 20 * 60;         // seconds between two matches
constexpr int32_t kStartingPoints = 301;
constexpr int32_t kRoundsMax = 10;
constexpr int kMatchesPerBatch = 250;
const char *const kNames[] = {"ANNA", "BO", "CHARLOTTE"};

// A small generator of its own, so that the book is the same on every run.
uint32_t nextRandom(uint64_t *state) {
  *state = *state * 6364136223846793005ull + 1442695040888963407ull;
  return static_cast<uint32_t>(*state >> 33);
}

// One dart aimed near the board's centre, scored by the game's own board and
// kept as the recorder keeps a dart.
BookDart throwDart(uint64_t *random, const std::string &name, int32_t round, int32_t dart) {
  BookDart d;
  d.name = name;
  d.round = round;
  d.dart = dart;
  d.aimX = 16 + 4 * static_cast<int32_t>(14 + nextRandom(random) % 21);
  d.peak = static_cast<int32_t>(nextRandom(random) % kGaugePoints);
  d.release = static_cast<int32_t>(nextRandom(random) % kGaugePoints);
  const int32_t row = 4 * static_cast<int32_t>(18 + nextRandom(random) % 29);
  const BoardPoint point = landingPoint(d.aimX, row);
  d.x = d.aimX + 8;
  d.y = row + 8;
  recorderScoreDart(&d, point.score, point.sector);
  return d;
}

// A solo "301" match: finished on exactly nothing left, a dart worth more
// than the points left busts.
void addMatch(Book *book, uint64_t *random, int64_t index) {
  BookMatch m;
  m.time = kFirstMatchTime + index * kMatchEvery;
  m.game = kGame301;
  m.players = 1;
  BookSeat &seat = m.seats[0];
  seat.name = kNames[index % 3];
  std::vector<BookDart> darts;
  int32_t left = kStartingPoints;
  for (int32_t round = 1; round <= kRoundsMax && left > 0; ++round) {
    m.rounds = round;
    for (int32_t dart = 1; dart <= kDartsPerTurn && left > 0; ++dart) {
      BookDart d = throwDart(random, seat.name, round, dart);
      d.bust = d.score > left;
      d.counted = d.bust ? 0 : d.score;
      left -= d.counted;
      ++seat.darts;
      seat.points += d.counted;
      darts.push_back(d);
    }
  }
  seat.final = left;
  seat.finished = left == 0;
  if (seat.finished) m.winner = 0;
  bookAddMatch(book, m, std::move(darts), nullptr, SIZE_MAX);
}

int make(size_t bytes) {
  Book book;
  uint64_t random = 0x5EEDB00Cull;
  int64_t index = 0;
  std::string text = bookFormat(book);
  while (text.size() < bytes) {
    for (int i = 0; i < kMatchesPerBatch; ++i) addMatch(&book, &random, index++);
    bookFold(&book, kBookDartsKept);
    text = bookFormat(book);
  }
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}

const char *fileWord(BookFile file) {
  switch (file) {
    case BookFile::kNew:
      return "new";
    case BookFile::kOurs:
      return "ours";
    case BookFile::kForeign:
      return "foreign";
    case BookFile::kFuture:
      return "future";
    case BookFile::kUnreadable:
      return "unreadable";
  }
  return "?";
}

int count() {
  const std::string text(std::istreambuf_iterator<char>(std::cin), {});
  Book book;
  bookParse(reinterpret_cast<const uint8_t *>(text.data()), text.size(), &book);
  int64_t folded = 0;
  for (const BookTotals &t : book.totals) folded += t.darts;
  int64_t lastMatchDarts = 0;
  if (!book.matches.empty()) {
    const BookMatch &last = book.matches.back();
    for (int s = 0; s < last.players; ++s) lastMatchDarts += last.seats[s].darts;
  }
  std::printf(
      "{\"file\":\"%s\",\"bytes\":%zu,\"skipped\":%d,\"matches\":%zu,\"firstMatch\":%" PRId64
      ",\"lastMatch\":%" PRId64 ",\"lastMatchDarts\":%" PRId64 ",\"darts\":%zu,\"folded\":%" PRId64
      "}\n",
      fileWord(book.file), text.size(), book.skippedLines, book.matches.size(),
      book.matches.empty() ? int64_t{0} : book.matches.front().id,
      book.matches.empty() ? int64_t{0} : book.matches.back().id, lastMatchDarts, book.darts.size(),
      folded);
  return 0;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc == 3 && std::strcmp(argv[1], "make") == 0)
    return make(std::strtoull(argv[2], nullptr, 10));
  if (argc == 2 && std::strcmp(argv[1], "count") == 0) return count();
  std::fprintf(stderr, "usage: %s make BYTES | count < BOOK\n", argv[0]);
  return 2;
}
