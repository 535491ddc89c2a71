// The table of games the host knows, and the words of each game's summary.
#include "host/games.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "game/match.h"
#include "host/book.h"
#include "host/book_text.h"

namespace {

std::string dartsWords(const BookSeat &s) {
  return std::to_string(s.darts) + (s.darts == 1 ? " dart" : " darts");
}

std::string leftWords(int32_t left) {
  std::string words = "not finished,";
  put(words, ' ', left);
  return words + " left";
}

std::string reachedWords(int32_t target) {
  std::string words = "reached";
  put(words, ' ', target);
  return words;
}

std::string placeWords(int place) {
  static const char *const suffix[] = {"st", "nd", "rd", "th"};
  return std::to_string(place) + suffix[std::min(place, 4) - 1];
}

std::string oneDecimal(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", v);
  return text;
}

std::string checkoutResult(const BookMatch &m, int seat) {
  const BookSeat &s = m.seats[seat];
  return s.finished ? "won, checked out in " + dartsWords(s) : leftWords(s.final);
}

std::string countUpResult(const BookMatch &m, int seat) {
  const BookSeat &s = m.seats[seat];
  return s.finished ? "reached 200 in " + dartsWords(s) : std::to_string(s.final) + " at the end";
}

std::string highScoreResult(const BookMatch &m, int seat) {
  const BookSeat &s = m.seats[seat];
  std::string words = std::to_string(s.final) + " after seven rounds";
  if (m.players == 1) return words;
  int place = 1;
  for (int other = 0; other < m.players; ++other) place += m.seats[other].final > s.final;
  return words + ", " + placeWords(place) + " place";
}

std::string clockResult(const BookMatch &m, int seat) {
  const BookSeat &s = m.seats[seat];
  return s.finished ? "finished in " + dartsWords(s) : reachedWords(s.final);
}

std::string threeDartAverage(const BookMatch &m, int seat) {
  const BookSeat &s = m.seats[seat];
  if (s.darts == 0) return "no darts";
  std::string words = "3-dart average";
  put(words, ' ', oneDecimal(3.0 * s.points / s.darts));
  return words;
}

std::string dartsANumber(const BookMatch &m, int seat) {
  const BookSeat &s = m.seats[seat];
  if (s.points == 0) return "no number hit";
  return oneDecimal(static_cast<double>(s.darts) / s.points) + " darts a number";
}

}  // namespace

const HostGameRow kHostGames[kGameCount] = {
    {.mode = kGame301,
     .name = "301",
     .rules = {"Everyone starts at 301 and counts down.", "Land on exactly 0 to win.",
               "Score more than you have left and you bust: that dart counts for nothing and "
               "your turn is over.",
               "No winner after ten rounds: a draw."},
     .records = {{kRecord301FewestDarts, true, "fewest darts to finish"},
                 {kRecord301BestAverage, false, "best 3-dart average of a finished match"}},
     .recordCount = 2,
     .inAverage = true,
     .bustWhenNothingCounts = true,
     .aim = HostAim::kCheckout,
     .resultWords = checkoutResult,
     .averageWords = threeDartAverage},
    {.mode = kGameCountUp,
     .name = "Count Up",
     .rules = {"Every dart adds its score.", "The first total of 200 or more wins at once.",
               "There is no round limit.", nullptr},
     .records = {{kRecordCountUpFewestDarts, true, "fewest darts to 200"}, {}},
     .recordCount = 1,
     .inAverage = false,
     .bustWhenNothingCounts = false,
     .aim = HostAim::kMostPoints,
     .resultWords = countUpResult,
     .averageWords = threeDartAverage},
    {.mode = kGameHighScore,
     .name = "High Score",
     .rules = {"Every dart adds its score.", "The match ends after seven rounds.",
               "Nobody is named winner: compare the totals.", nullptr},
     .records = {{kRecordHighScoreBestTotal, false, "best seven-round total"}, {}},
     .recordCount = 1,
     .inAverage = false,
     .bustWhenNothingCounts = false,
     .aim = HostAim::kMostPoints,
     .resultWords = highScoreResult,
     .averageWords = threeDartAverage},
    {.mode = kGameRoundTheClock,
     .name = "Round The Clock",
     .rules = {"Hit 1, then 2, and so on up to 20; any ring of the number counts once.",
               "Either bull counts as a hit, whatever the number.", "Passing 20 wins.",
               "No winner after ten rounds: a draw."},
     .records = {{kRecordClockFewestDarts, true, "fewest darts to finish"}, {}},
     .recordCount = 1,
     .inAverage = false,
     .bustWhenNothingCounts = false,
     .aim = HostAim::kNextNumber,
     .resultWords = clockResult,
     .averageWords = dartsANumber},
};

const HostGameRow *hostGameRow(int32_t mode) {
  for (const HostGameRow &row : kHostGames)
    if (row.mode == mode) return &row;
  return nullptr;
}

const char *gameName(int32_t game) {
  const HostGameRow *row = hostGameRow(game);
  if (row != nullptr) return row->name;
  for (const HostOwnGameRow &own : kHostOwnGames)
    if (own.mode == game) return own.name;
  return "?";
}

// The records of every game, by kind, as the book's pages and the records
// text list them.
const std::array<RecordInfo, kRecordKinds> kRecordInfo = [] {
  std::array<RecordInfo, kRecordKinds> info{};
  for (const HostGameRow &row : kHostGames)
    for (int32_t r = 0; r < row.recordCount; ++r)
      info[row.records[r].kind] = {row.mode, row.records[r].lowerIsBetter, row.records[r].title};
  for (const HostOwnGameRow &row : kHostOwnGames)
    for (int32_t r = 0; r < row.recordCount; ++r)
      info[row.records[r].kind] = {row.mode, row.records[r].lowerIsBetter, row.records[r].title};
  return info;
}();
