// The host's knowledge of each game, one row a game: its name in the book,
// the CSV and the summary card, its rules on How to play, its records, what
// its statistics count, how the summary words a seat's result and how a
// computer seat aims. Everything of the host that differs by game reads this
// table; a game the host adds is a row here (and its rules through the
// match's host-game slot, game/match.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "host/x01.h"

struct BookMatch;

// How a computer seat picks its target in a game.
enum class HostAim : int32_t {
  kMostPoints,  // the most points the level can hope for
  kCheckout,    // down to exactly 0: a planned finish once in reach
  kNextNumber,  // the number to hit next
};

struct HostRecordRow {
  int32_t kind;  // a RecordKind (host/book.h)
  bool lowerIsBetter;
  const char *title;  // e.g. "fewest darts to finish"
};

struct HostGameRow {
  int32_t mode;          // the GameMode, or a host game's mode (kHostGameFirst up)
  const char *name;      // "301", "Count Up", ...: in the book's CSV and on the card
  const char *rules[4];  // How to play's sheet, a paragraph each (null: none)
  HostRecordRow records[2];
  int32_t recordCount;
  // Its darts make the statistics' 3-dart average and finish rate.
  bool inAverage;
  // A dart that scored but counted nothing went bust.
  bool bustWhenNothingCounts;
  HostAim aim;
  // The summary card's two lines of a seat.
  std::string (*resultWords)(const BookMatch &match, int seat);
  std::string (*averageWords)(const BookMatch &match, int seat);
};

constexpr int kGameCount = 4;
extern const HostGameRow kHostGames[kGameCount];
// The row of a game, or null for a game the host does not know.
const HostGameRow *hostGameRow(int32_t mode);
// "301", "Count Up", ...; "?" for a game the host does not know.
const char *gameName(int32_t game);

// --- The host's own games (modes from kHostGameFirst, game/match.h).
constexpr int32_t kHostGameX01 = 4;
constexpr int32_t kHostGameCricket = 5;
constexpr int32_t kHostGameShanghai = 6;
constexpr int32_t kHostGameBobs27 = 7;
constexpr int32_t kHostGameLast = kHostGameBobs27;

// A host game and its options, as chosen on its Play page.
struct HostGameChoice {
  int32_t mode = kHostGameX01;
  X01Options x01;
};
// The game's short name ("x01", "cricket", "shanghai", "bobs27"), or null
// for no host game.
const char *hostGameShortName(int32_t mode);
// The choice in the words of the runner's `host play` line and of anything
// that stores a host game: "x01 start=501 in=straight out=double legs=1",
// "cricket", "shanghai", "bobs27". Every option is written.
std::string hostGameText(const HostGameChoice &choice);
// Back from those words: the name, then OPTION=VALUE words in any order,
// each at most once, the rest at their defaults. False (and why, in *error)
// for an unknown game, option or value.
bool hostGameFromText(std::string_view text, HostGameChoice *choice, std::string *error);

// How to play's sheet of each host game, a paragraph a line.
struct HostOwnGameRow {
  int32_t mode;
  const char *name;
  const char *rules[4];
  HostRecordRow records[2];
  int32_t recordCount;
};
constexpr int kHostOwnGameCount = 4;
extern const HostOwnGameRow kHostOwnGames[kHostOwnGameCount];
