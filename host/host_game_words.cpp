// The host's games in the player book: their extra fields and their words.
#include "host/host_game_words.h"

#include <cstdio>
#include <cstdlib>

namespace {

std::string joined(const int32_t *values, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    if (i > 0) text += ',';
    text += std::to_string(values[i]);
  }
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

bool bookSeatField(const std::string &more, const char *name, int seat, int32_t *value) {
  const std::string list = bookField(more, name);
  size_t at = 0;
  for (int i = 0; i < seat && at != std::string::npos; ++i) {
    at = list.find(',', at);
    if (at != std::string::npos) ++at;
  }
  if (list.empty() || at == std::string::npos || at >= list.size()) return false;
  *value = static_cast<int32_t>(std::strtol(list.c_str() + at, nullptr, 10));
  return true;
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
  if (cricket) {
    match->more += " marks=" + joined(marks, match->players);
    return;
  }
  match->more += " legs=" + joined(legsWon, match->players);
  // Each seat's first-nine average in tenths, and its highest checkout.
  const size_t startAt = options.find("start=");
  const int32_t start =
      startAt == std::string::npos
          ? 501
          : static_cast<int32_t>(std::strtol(options.c_str() + startAt + 6, nullptr, 10));
  int32_t nine[kMaxPlayers] = {}, high[kMaxPlayers] = {}, best[kMaxPlayers] = {};
  for (int s = 0; s < match->players && s < kMaxPlayers; ++s) {
    const X01Figures f = hostX01Figures(*darts, s, start);
    nine[s] = static_cast<int32_t>(f.firstNineAverage * 10 + 0.5);
    high[s] = f.highestCheckout;
    best[s] = f.bestLegDarts;
  }
  match->more += " firstnine=" + joined(nine, match->players);
  match->more += " checkout=" + joined(high, match->players);
  match->more += " bestleg=" + joined(best, match->players);
}

std::string hostGameResultWords(const BookMatch &m, int seat) {
  const BookSeat &s = m.seats[seat];
  if (m.game == kHostGameX01) {
    std::string words = s.finished ? "won" : std::to_string(s.final) + " left";
    const int32_t legs = seatValue(m.more, "legs", seat);
    if (bookField(m.more, "hostgame").find("legs=1") == std::string::npos && legs >= 0)
      words += ", " + std::to_string(legs) + (legs == 1 ? " leg" : " legs");
    const int32_t checkout = seatValue(m.more, "checkout", seat);
    if (checkout > 0) words += ", out " + std::to_string(checkout);
    return words;
  }
  if (m.game == kHostGameCricket || m.game == kHostGameShanghai) {
    std::string words = std::to_string(s.final) + (s.final == 1 ? " point" : " points");
    if (s.finished && !bookField(m.more, "shanghai").empty()) return "Shanghai!, " + words;
    return s.finished ? "won, " + words : words;
  }
  if (m.game == kHostGameBobs27) {
    // The scoreboard kept no sign: the game's own score, below 0 as it is.
    const int32_t score =
        bookField(m.more, "scores").empty() ? s.final : seatValue(m.more, "scores", seat);
    std::string words = "score " + std::to_string(score);
    if (seatValue(m.more, "out", seat) == 1) words += ", out";
    return s.finished ? "won, " + words : words;
  }
  return "";
}

std::string hostGameAverageWords(const BookMatch &m, int seat) {
  const BookSeat &s = m.seats[seat];
  if (s.darts == 0) return "no darts";
  if (m.game == kHostGameX01) {
    std::string words = "avg " + oneDecimal(3.0 * s.points / s.darts);
    const int32_t nine = seatValue(m.more, "firstnine", seat);
    if (nine >= 0) words += ", first 9 " + oneDecimal(nine / 10.0);
    return words;
  }
  if (m.game == kHostGameCricket) {
    const int32_t marks = seatValue(m.more, "marks", seat);
    return oneDecimal(marks < 0 ? 0.0 : 3.0 * marks / s.darts) + " marks a round";
  }
  if (m.game == kHostGameShanghai) return oneDecimal(3.0 * s.points / s.darts) + " a round";
  if (m.game == kHostGameBobs27) {
    const int32_t hits = seatValue(m.more, "hits", seat);
    return std::to_string(hits < 0 ? 0 : hits) + " of " + std::to_string(s.darts) + " doubles hit";
  }
  return "";
}

X01Figures hostX01Figures(const std::vector<BookDart> &darts, int seat, int32_t start) {
  X01Figures f;
  int32_t leg = -1, left = start, legDarts = 0, turnStart = start, turnPoints = 0;
  int32_t points = 0, nineDarts = 0, ninePoints = 0, turnRound = -1;
  auto closeTurn = [&] {
    if (turnRound < 0) return;
    if (turnPoints == 180)
      ++f.oneEighties;
    else if (turnPoints >= 140)
      ++f.tonForties;
    else if (turnPoints >= 100)
      ++f.tons;
    turnPoints = 0;
    turnRound = -1;
  };
  for (const BookDart &d : darts) {
    if (d.seat != seat) continue;
    const int32_t dartLeg =
        static_cast<int32_t>(std::strtol(bookField(d.more, "leg").c_str(), nullptr, 10));
    if (dartLeg != leg) {
      closeTurn();
      leg = dartLeg;
      left = start;
      legDarts = 0;
    }
    if (d.round != turnRound) {
      closeTurn();
      turnRound = d.round;
      turnStart = left;
    }
    ++f.darts;
    ++legDarts;
    const bool oneDartFinish = left == 50 || (left <= 40 && left % 2 == 0);
    if (oneDartFinish) ++f.checkoutAttempts;
    if (legDarts <= 9) {
      ++nineDarts;
      ninePoints += d.counted;
    }
    points += d.counted;
    turnPoints += d.counted;
    left -= d.counted;
    if (d.bust) {
      left = turnStart;
      turnPoints = 0;
    }
    if (left == 0 && d.counted > 0) {
      ++f.checkouts;
      if (f.bestLegDarts == 0 || legDarts < f.bestLegDarts) f.bestLegDarts = legDarts;
      if (turnStart > f.highestCheckout) f.highestCheckout = turnStart;
    }
  }
  closeTurn();
  if (f.darts > 0) f.threeDartAverage = 3.0 * points / f.darts;
  if (nineDarts > 0) f.firstNineAverage = 3.0 * ninePoints / nineDarts;
  return f;
}
