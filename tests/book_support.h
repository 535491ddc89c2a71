// The tests' own made-up player book and a file read whole, shared by the
// book's tests and the desktop game's book options.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

#include "game/match.h"
#include "host/book.h"

inline std::string readText(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A book of a few made-up matches, written and read back.
inline BookDart madeDart(int32_t seat, const char *name, int32_t round, int32_t dart, DartRing ring,
                         int32_t sector, int32_t score, int32_t counted) {
  BookDart d;
  d.seat = seat;
  d.name = name;
  d.round = round;
  d.dart = dart;
  d.aimX = 16 + 4 * ((round * 7 + dart * 3 + seat) % 49);
  d.peak = (round * 13 + dart) % kGaugePoints;
  d.release = (round * 5 + dart * 11) % kGaugePoints;
  d.x = d.aimX + 8;
  d.y = 4 * ((round * 11 + dart * 7) % 61);
  d.ring = ring;
  d.sector = sector;
  d.score = score;
  d.counted = counted;
  return d;
}

// A "301" match of `darts` darts for two names, the first finishing when
// asked; each dart a triple 20, a single 1, or a miss in turn.
inline void addMadeMatch(Book *book, int64_t time, int darts, bool finish, int32_t game = kGame301,
                         size_t keep = kBookDartsKept) {
  BookMatch m;
  m.time = time;
  m.game = game;
  m.players = 2;
  m.seats[0].name = "ANNA";
  m.seats[1].name = "BO";
  std::vector<BookDart> list;
  for (int i = 0; i < 2 * darts; ++i) {
    const int32_t seat = i / 3 % 2, round = i / 6 + 1, dart = i % 3 + 1;
    const DartRing ring = i % 3 == 0 ? kDartTriple : i % 3 == 1 ? kDartSingle : kDartMiss;
    const int32_t sector = ring == kDartMiss ? 0 : ring == kDartTriple ? 20 : 1;
    const int32_t score = ring == kDartTriple ? 60 : ring == kDartSingle ? 1 : 0;
    list.push_back(
        madeDart(seat, m.seats[seat].name.c_str(), round, dart, ring, sector, score, score));
    m.seats[seat].darts += 1;
    m.seats[seat].points += score;
    m.rounds = round;
  }
  for (int s = 0; s < 2; ++s)
    m.seats[s].final = game == kGame301 ? std::max(0, 301 - m.seats[s].points) : m.seats[s].points;
  if (finish) {
    m.winner = 0;
    m.seats[0].finished = true;
  }
  bookAddMatch(book, m, list, nullptr, keep);
}

inline Book madeBook() {
  Book book;
  addMadeMatch(&book, 1796644800, 12, true);
  addMadeMatch(&book, 1796731200, 9, false);
  addMadeMatch(&book, 1796817600, 6, true, kGameCountUp);
  return book;
}
