// Host-game matches made up for the book's tests: two seats' darts kept as
// the recorder keeps them, the book read back through its text, and one
// figure of a Statistics sheet by its label.
#pragma once

#include <string>
#include <vector>

#include "host/book.h"
#include "host/host_game_stats.h"
#include "host/host_game_words.h"

// One dart of a made-up match: who threw it, in which leg and round, where
// it landed, what it counted and (Cricket) how many marks it made.
struct MadeThrow {
  int seat;
  int32_t leg;
  int32_t round;
  int32_t sector;
  DartRing ring;
  int32_t counted;
  int32_t marks;
};

// A match of two named seats; a host game's darts go through the game's
// own book words (hostGameIntoBook), the handheld's add up their points.
// `more` is what the host's game adds beside its options (Bob's 27's
// scores, a Shanghai). Seats marked in `finished` finish; `finals` may be
// null.
inline void addMadeTwoSeatMatch(Book *book, int32_t game, const char *options, const char *a,
                                const char *b, int32_t winner, const std::vector<MadeThrow> &throws,
                                const int32_t *finals = nullptr, const std::string &more = "",
                                const int32_t *legsWon = nullptr) {
  BookMatch m;
  m.game = game;
  m.players = 2;
  m.time = 1796644800;
  m.winner = winner;
  m.seats[0].name = a;
  m.seats[1].name = b;
  std::vector<BookDart> darts;
  std::vector<HostGameDart> rules;
  int32_t thrown[2] = {};
  for (const MadeThrow &t : throws) {
    BookDart d;
    d.seat = t.seat;
    d.name = m.seats[t.seat].name;
    d.round = t.round;
    d.dart = thrown[t.seat]++ % 3 + 1;
    d.aimX = kAimStart;
    d.sector = t.sector;
    d.ring = t.ring;
    d.score = t.counted;
    d.counted = t.counted;
    darts.push_back(d);
    rules.push_back({t.leg, t.counted, false, t.marks});
    ++m.seats[t.seat].darts;
  }
  for (int s = 0; s < 2 && finals != nullptr; ++s) {
    m.seats[s].final = finals[s];
    m.seats[s].finished = s == winner;
  }
  if (game >= kHostGameFirst) {
    const int32_t noLegs[kMaxPlayers] = {};
    hostGameIntoBook(options, legsWon != nullptr ? legsWon : noLegs, rules, &m, &darts);
    m.more += more;
  } else {
    for (const BookDart &d : darts) m.seats[d.seat].points += d.counted;
  }
  bookAddMatch(book, m, darts);
}

// The book as the pages read it: written to its text and read back.
inline Book bookThroughText(const Book &book) {
  const std::string text = bookFormat(book);
  Book read;
  bookParse(reinterpret_cast<const uint8_t *>(text.data()), text.size(), &read);
  return read;
}

// The value of a sheet's line, or a note naming the missing label.
inline std::string statValue(const std::vector<HostGameStatLine> &lines, const char *label) {
  for (const HostGameStatLine &line : lines)
    if (line.label == label) return line.value;
  return "(no line " + std::string(label) + ")";
}
