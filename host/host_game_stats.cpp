// The host games' figures of a player over the book's matches and darts.
#include "host/host_game_stats.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "host/games.h"
#include "host/host_game_words.h"

namespace {

std::string decimal(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", v);
  return text;
}

std::string countOrDash(int64_t n) { return n > 0 ? std::to_string(n) : "-"; }

bool seatOf(const BookMatch &m, int s, std::string_view name, PlayerKind kind) {
  return m.seats[s].name == name && bookSeatKind(m, s) == kind && bookSeatAssist(m, s) == 1;
}

// The seat's darts of one match, in the book's order.
std::vector<BookDart> seatDarts(const Book &book, const BookMatch &m, int s) {
  std::vector<BookDart> darts;
  for (const BookDart &d : book.darts)
    if (d.match == m.id && d.seat == s) darts.push_back(d);
  return darts;
}

// The darts counted in the first-nine average: up to nine of each leg.
int32_t firstNineDarts(const std::vector<BookDart> &darts) {
  std::map<std::string, int32_t> perLeg;
  for (const BookDart &d : darts) ++perLeg[bookField(d.more, "leg")];
  int32_t n = 0;
  for (const auto &leg : perLeg) n += std::min(leg.second, 9);
  return n;
}

int32_t startOf(const BookMatch &m) {
  const std::string options = bookField(m.more, "hostgame");
  const size_t at = options.find("start=");
  return at == std::string::npos
             ? 501
             : static_cast<int32_t>(std::strtol(options.c_str() + at + 6, nullptr, 10));
}

std::vector<HostGameStatLine> x01Lines(const Book &book, std::string_view name, PlayerKind kind) {
  int64_t matches = 0, darts = 0, nineDarts = 0, attempts = 0, checkouts = 0;
  int64_t tons = 0, tonForties = 0, oneEighties = 0;
  double points = 0, ninePoints = 0;
  int32_t bestLeg = 0, highest = 0;
  for (const BookMatch &m : book.matches) {
    if (m.game != kHostGameX01) continue;
    for (int s = 0; s < m.players && s < kMaxPlayers; ++s) {
      if (!seatOf(m, s, name, kind)) continue;
      ++matches;
      const std::vector<BookDart> own = seatDarts(book, m, s);
      const X01Figures f = hostX01Figures(own, s, startOf(m));
      const int32_t nine = firstNineDarts(own);
      darts += f.darts;
      points += f.threeDartAverage * f.darts / 3.0;
      nineDarts += nine;
      ninePoints += f.firstNineAverage * nine / 3.0;
      attempts += f.checkoutAttempts;
      checkouts += f.checkouts;
      tons += f.tons;
      tonForties += f.tonForties;
      oneEighties += f.oneEighties;
      if (f.bestLegDarts > 0 && (bestLeg == 0 || f.bestLegDarts < bestLeg))
        bestLeg = f.bestLegDarts;
      highest = std::max(highest, f.highestCheckout);
    }
  }
  const std::string dash = "-";
  char rate[16];
  std::snprintf(rate, sizeof rate, "%.1f%%",
                attempts > 0 ? 100.0 * static_cast<double>(checkouts) / attempts : 0.0);
  const bool any = matches > 0;
  const std::string scored = std::to_string(tons) + " / " + std::to_string(tonForties) + " / " +
                             std::to_string(oneEighties);
  return {
      {"Matches / darts", any ? std::to_string(matches) + " / " + std::to_string(darts) : dash},
      {"3-dart average", darts > 0 ? decimal(3.0 * points / darts) : dash},
      {"First-nine average", nineDarts > 0 ? decimal(3.0 * ninePoints / nineDarts) : dash},
      {"Checkout rate", attempts > 0 ? rate : dash},
      {"100+ / 140+ / 180", any ? scored : dash},
      {"Best leg, darts", countOrDash(bestLeg)},
      {"Highest checkout", countOrDash(highest)},
  };
}

// A seat's number in a match's comma list field ("marks=", "scores=",
// "hits="), or -1 when there is none.
int32_t seatValue(const BookMatch &m, int seat, const char *field) {
  const std::string list = bookField(m.more, field);
  size_t at = 0;
  for (int i = 0; i < seat && at != std::string::npos; ++i) {
    at = list.find(',', at);
    if (at != std::string::npos) ++at;
  }
  if (list.empty() || at == std::string::npos) return -1;
  return static_cast<int32_t>(std::strtol(list.c_str() + at, nullptr, 10));
}

std::vector<HostGameStatLine> cricketLines(const Book &book, std::string_view name,
                                           PlayerKind kind) {
  int64_t matches = 0, darts = 0, marks = 0;
  for (const BookMatch &m : book.matches) {
    if (m.game != kHostGameCricket) continue;
    for (int s = 0; s < m.players && s < kMaxPlayers; ++s) {
      if (!seatOf(m, s, name, kind)) continue;
      ++matches;
      darts += m.seats[s].darts;
      marks += std::max(0, seatValue(m, s, "marks"));
    }
  }
  const std::string dash = "-";
  return {
      {"Matches / darts",
       matches > 0 ? std::to_string(matches) + " / " + std::to_string(darts) : dash},
      {"Marks per round", darts > 0 ? decimal(3.0 * static_cast<double>(marks) / darts) : dash},
  };
}

// Shanghai and Bob's 27: matches, the best score and what each counts
// besides (Shanghais; doubles hit).
std::vector<HostGameStatLine> scoreLines(const Book &book, std::string_view name, PlayerKind kind,
                                         int32_t game) {
  int64_t matches = 0, darts = 0, extra = 0;
  int32_t best = 0;
  bool any = false;
  for (const BookMatch &m : book.matches) {
    if (m.game != game) continue;
    for (int s = 0; s < m.players && s < kMaxPlayers; ++s) {
      if (!seatOf(m, s, name, kind)) continue;
      const bool bobs27 = game == kHostGameBobs27;
      const int32_t score = bobs27 && !bookField(m.more, "scores").empty()
                                ? seatValue(m, s, "scores")
                                : m.seats[s].final;
      if (!any || score > best) best = score;
      any = true;
      ++matches;
      darts += m.seats[s].darts;
      if (bobs27)
        extra += std::max(0, seatValue(m, s, "hits"));
      else if (m.seats[s].finished && !bookField(m.more, "shanghai").empty())
        ++extra;
    }
  }
  const std::string dash = "-";
  const bool bobs27 = game == kHostGameBobs27;
  return {
      {"Matches / darts",
       matches > 0 ? std::to_string(matches) + " / " + std::to_string(darts) : dash},
      {bobs27 ? "Best score" : "Best total", any ? std::to_string(best) : dash},
      {bobs27 ? "Doubles hit" : "Shanghais",
       bobs27 ? (darts > 0 ? decimal(100.0 * static_cast<double>(extra) / darts) + "%" : dash)
              : (matches > 0 ? std::to_string(extra) : dash)},
  };
}

}  // namespace

std::vector<HostGameStatLine> hostGameStatLines(const Book &book, std::string_view name,
                                                PlayerKind kind, int32_t game) {
  if (game == kHostGameX01) return x01Lines(book, name, kind);
  if (game == kHostGameCricket) return cricketLines(book, name, kind);
  if (game == kHostGameShanghai || game == kHostGameBobs27)
    return scoreLines(book, name, kind, game);
  return {};
}
