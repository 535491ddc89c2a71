// The host's games in the player book: their extra fields and their words.
#include "host/host_game_words.h"

#include <cstdio>
#include <cstdlib>

namespace {

std::string joined(const int32_t *values, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += (i > 0 ? "," : "") + std::to_string(values[i]);
  return text;
}

// The seat's number in a comma list field, or -1.
int32_t seatValue(const std::string &more, const char *name, int seat) {
  const std::string list = bookField(more, name);
  size_t at = 0;
  for (int i = 0; i < seat && at != std::string::npos; ++i) {
    at = list.find(',', at);
    if (at != std::string::npos) ++at;
  }
  if (list.empty() || at == std::string::npos) return -1;
  return static_cast<int32_t>(std::strtol(list.c_str() + at, nullptr, 10));
}

std::string oneDecimal(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", v);
  return text;
}

}  // namespace

std::string bookField(const std::string &more, const char *name) {
  const std::string key = std::string(" ") + name + "=";
  const size_t at = more.find(key);
  if (at == std::string::npos) return "";
  const size_t from = at + key.size();
  const size_t end = more.find(' ', from);
  return more.substr(from, end == std::string::npos ? std::string::npos : end - from);
}

void hostGameIntoBook(const std::string &gameText, const int32_t *legsWon,
                      const std::vector<HostGameDart> &rules, BookMatch *match,
                      std::vector<BookDart> *darts) {
  // The options in one field: their words joined by commas.
  std::string options = gameText;
  for (char &c : options)
    if (c == ' ') c = ',';
  match->more += " hostgame=" + options;
  const bool cricket = match->game == kHostGameCricket;
  int32_t marks[kMaxPlayers] = {};
  if (darts->size() == rules.size()) {
    for (int s = 0; s < kMaxPlayers; ++s) match->seats[s].points = 0;
    for (size_t i = 0; i < darts->size(); ++i) {
      BookDart &d = (*darts)[i];
      d.counted = rules[i].counted;
      d.bust = rules[i].bust;
      d.more += " leg=" + std::to_string(rules[i].leg);
      if (cricket) d.more += " marks=" + std::to_string(rules[i].marks);
      if (d.seat >= 0 && d.seat < kMaxPlayers) {
        match->seats[d.seat].points += d.counted;
        marks[d.seat] += rules[i].marks;
      }
    }
  }
  if (cricket)
    match->more += " marks=" + joined(marks, match->players);
  else
    match->more += " legs=" + joined(legsWon, match->players);
}

std::string hostGameResultWords(const BookMatch &m, int seat) {
  const BookSeat &s = m.seats[seat];
  if (m.game == kHostGameX01) {
    std::string words = s.finished ? "won" : std::to_string(s.final) + " left";
    const int32_t legs = seatValue(m.more, "legs", seat);
    if (bookField(m.more, "hostgame").find("legs=1") == std::string::npos && legs >= 0)
      words += ", " + std::to_string(legs) + (legs == 1 ? " leg" : " legs");
    return words;
  }
  if (m.game == kHostGameCricket) {
    std::string words = std::to_string(s.final) + (s.final == 1 ? " point" : " points");
    return s.finished ? "won, " + words : words;
  }
  return "";
}

std::string hostGameAverageWords(const BookMatch &m, int seat) {
  const BookSeat &s = m.seats[seat];
  if (s.darts == 0) return "no darts";
  if (m.game == kHostGameX01) return "3-dart average " + oneDecimal(3.0 * s.points / s.darts);
  if (m.game == kHostGameCricket) {
    const int32_t marks = seatValue(m.more, "marks", seat);
    return oneDecimal(marks < 0 ? 0.0 : 3.0 * marks / s.darts) + " marks a round";
  }
  return "";
}
