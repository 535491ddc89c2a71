// What the player book tells: a player's statistics and landings, the words of
// a match's summary, dates, the records as text, and the CSV of every dart kept
// one by one.
#include <algorithm>
#include <cstdio>
#include <ctime>

#include "host/book.h"
#include "host/book_text.h"
#include "host/host_game_words.h"

// --- Statistics.

namespace {

// The number from 1 to kSectorMax with the most hits (direction +1) or the
// fewest (-1); 0 when two or more share that count.
int32_t soleExtreme(const int64_t (&hits)[kSectorMax + 1], int direction) {
  int32_t found = 1;
  bool shared = false;
  for (int32_t sector = 2; sector <= kSectorMax; ++sector) {
    const int64_t diff = (hits[sector] - hits[found]) * direction;
    if (diff > 0)
      found = sector, shared = false;
    else if (diff == 0)
      shared = true;
  }
  return shared ? 0 : found;
}

}  // namespace

namespace {

// Whether a game's darts make the 3-dart average and the finish rate.
bool inAverage(int32_t game) {
  const HostGameRow *row = hostGameRow(game);
  return row != nullptr && row->inAverage;
}

// Whether a seat of a match is this player's.
bool seatIs(const BookMatch &m, int s, std::string_view name, PlayerKind kind) {
  return m.seats[s].name == name && bookSeatKind(m, s) == kind;
}

}  // namespace

std::vector<BookPlayer> bookPlayers(const Book &book) {
  std::vector<BookPlayer> players;
  for (const BookMatch &m : book.matches)
    for (int s = 0; s < m.players && s < kMaxPlayers; ++s)
      players.push_back({m.seats[s].name, bookSeatKind(m, s)});
  for (const BookTotals &t : book.totals) players.push_back({t.name, bookTotalsKind(t)});
  std::sort(players.begin(), players.end(), [](const BookPlayer &a, const BookPlayer &b) {
    return a.name != b.name ? a.name < b.name : a.kind < b.kind;
  });
  players.erase(std::unique(players.begin(), players.end()), players.end());
  return players;
}

PlayerStats bookPlayerStats(const Book &book, std::string_view name, PlayerKind kind) {
  PlayerStats st;
  int64_t points301 = 0, darts301 = 0;
  std::vector<double> averages;
  for (const BookMatch &m : book.matches) {
    for (int s = 0; s < m.players; ++s) {
      const BookSeat &seat = m.seats[s];
      if (!seatIs(m, s, name, kind)) continue;
      // Assisted play is kept apart: its darts are only counted.
      if (bookSeatAssist(m, s) > 1) {
        ++st.assistedMatches;
        continue;
      }
      ++st.matches;
      st.darts += seat.darts;
      if (!inAverage(m.game)) continue;
      ++st.matches301;
      st.finished301 += seat.finished;
      points301 += seat.points;
      darts301 += seat.darts;
      if (seat.darts > 0) averages.push_back(3.0 * seat.points / seat.darts);
    }
  }
  if (darts301 > 0) st.average301 = 3.0 * static_cast<double>(points301) / darts301;
  const size_t from = averages.size() > kTrendMatches ? averages.size() - kTrendMatches : 0;
  st.trend301.assign(averages.begin() + static_cast<ptrdiff_t>(from), averages.end());
  // The recent average is over the darts of those matches, as the overall one.
  int64_t recentPoints = 0, recentDarts = 0;
  size_t seen = 0;
  for (const BookMatch &m : book.matches) {
    if (!inAverage(m.game)) continue;
    for (int s = 0; s < m.players; ++s) {
      const BookSeat &seat = m.seats[s];
      if (!seatIs(m, s, name, kind) || seat.darts == 0 || bookSeatAssist(m, s) > 1) continue;
      if (seen++ < from) continue;
      recentPoints += seat.points;
      recentDarts += seat.darts;
    }
  }
  if (recentDarts > 0) st.average301Recent = 3.0 * static_cast<double>(recentPoints) / recentDarts;

  for (const BookTotals &t : book.totals) {
    if (t.name != name || bookTotalsKind(t) != kind) continue;
    if (bookTotalsAssisted(t)) {
      st.assistedDarts += t.darts;
      continue;
    }
    // Bob's 27 is thrown at doubles only: its darts would tell nothing of
    // how often a player hits a double, a triple or a number otherwise.
    if (t.game == kHostGameBobs27) continue;
    st.ringDarts += t.darts;
    for (int i = 0; i < kRingCells; ++i) st.rings[i] += t.rings[i];
  }
  for (const BookDart &d : book.darts) {
    if (d.name != name || bookDartKind(d) != kind) continue;
    if (bookDartAssist(d) > 1) {
      ++st.assistedDarts;
      continue;
    }
    if (d.game == kHostGameBobs27) continue;
    ++st.ringDarts;
    ++st.rings[ringCell(d.ring, d.sector)];
  }
  int64_t hits[kSectorMax + 1] = {};
  for (int32_t sector = 1; sector <= kSectorMax; ++sector) {
    st.triples += st.rings[ringCell(kDartTriple, sector)];
    st.doubles += st.rings[ringCell(kDartDouble, sector)];
    for (DartRing r : {kDartSingle, kDartDouble, kDartTriple})
      hits[sector] += st.rings[ringCell(r, sector)];
  }
  st.bulls = st.rings[ringCell(kDartBull, 0)] + st.rings[ringCell(kDartOuterBull, 0)];
  // A number is named only when it alone has the most (or the fewest) hits:
  // in a short history the numbers never hit tie, and naming the first of
  // them would be a guess.
  st.bestSector = soleExtreme(hits, +1);
  st.worstSector = soleExtreme(hits, -1);
  return st;
}

std::vector<uint32_t> bookLandingGrid(const Book &book, std::string_view name, int32_t game,
                                      PlayerKind kind) {
  std::vector<uint32_t> grid(kGridCells, 0);
  for (const BookTotals &t : book.totals) {
    if (t.name != name || bookTotalsKind(t) != kind || (game >= 0 && t.game != game)) continue;
    if (bookTotalsAssisted(t)) continue;
    for (int c = 0; c < kGridCells; ++c) grid[c] += t.grid[c];
  }
  for (const BookDart &d : book.darts)
    if (d.name == name && bookDartKind(d) == kind && (game < 0 || d.game == game) &&
        bookDartAssist(d) == 1)
      ++grid[gridCell(d.x, d.y)];
  return grid;
}

// --- Words.

namespace {

// The civil date of a day count from 1970-01-01 (proleptic Gregorian).
void civilFromDays(int64_t days, int64_t *year, int *month, int *day) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t doe = days - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  *day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  *month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  *year = yoe + era * 400 + (*month <= 2);
}

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
int64_t daysFromCivil(int64_t year, int month, int day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yoe = year - era * 400;
  const int64_t doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

}  // namespace

int64_t localClockNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return daysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) * 86400 +
         local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
}

namespace {

// Whole days since 1970-01-01 of a time, rounded down (a time before 1970
// lies in the day before, not the one after).
int64_t dayOf(int64_t time) { return time >= 0 ? time / 86400 : -((-time + 86399) / 86400); }

}  // namespace

std::string formatDate(int64_t time) {
  int64_t year;
  int month, day;
  civilFromDays(dayOf(time), &year, &month, &day);
  char text[32];
  std::snprintf(text, sizeof text, "%04lld-%02d-%02d", static_cast<long long>(year), month, day);
  return text;
}

std::string formatDateTime(int64_t time) {
  const int64_t second = time - dayOf(time) * 86400;
  char text[16];
  std::snprintf(text, sizeof text, " %02d:%02d:%02d", static_cast<int>(second / 3600),
                static_cast<int>(second / 60 % 60), static_cast<int>(second % 60));
  return formatDate(time) + text;
}

std::string matchResultWords(const BookMatch &m, int seat) {
  const HostGameRow *row = hostGameRow(m.game);
  return row != nullptr ? row->resultWords(m, seat) : hostGameResultWords(m, seat);
}

std::string matchAverageWords(const BookMatch &m, int seat) {
  const HostGameRow *row = hostGameRow(m.game);
  return row != nullptr ? row->averageWords(m, seat) : hostGameAverageWords(m, seat);
}

// --- Records as text.

std::string bookRecordsText(const Book &book) {
  std::string out;
  // The records at full pace, then those of assisted play where there are any.
  for (int sheet = 0; sheet < 2 * kRecordKinds; ++sheet) {
    const int kind = sheet % kRecordKinds;
    const bool assisted = sheet >= kRecordKinds;
    const RecordInfo &info = kRecordInfo[kind];
    const std::vector<RecordEntry> entries =
        bookRecords(book, static_cast<RecordKind>(kind), assisted);
    if (assisted && entries.empty()) continue;
    out += std::string(assisted ? "Assisted, \"" : "\"") + gameName(info.game) +
           "\": " + info.title + "\n";
    if (entries.empty()) out += "  none yet\n";
    for (size_t i = 0; i < entries.size(); ++i) {
      const RecordEntry &e = entries[i];
      char value[32], line[96];
      const bool darts = kRecordInfo[kind].lowerIsBetter;
      if (kind == kRecord301BestAverage)
        std::snprintf(value, sizeof value, "%.1f avg", e.value);
      else if (kind == kRecordCricketBestMarks)
        std::snprintf(value, sizeof value, "%.1f marks", e.value);
      else
        std::snprintf(value, sizeof value, "%.0f %s", e.value, darts ? "darts" : "points");
      std::snprintf(line, sizeof line, "  %zu. %-10s  %-11s %s\n", i + 1, e.name.c_str(), value,
                    formatDate(e.time).c_str());
      out += line;
    }
  }
  return out;
}

// --- Export.

std::string csvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + '"';
}

std::string bookCsv(const Book &book) {
  static const char *const ringNames[kDartRings] = {"miss",   "single",     "double",
                                                    "triple", "outer bull", "bull"};
  std::string out =
      "match,date,game,seat,name,round,dart,aim_x,gauge_peak,gauge_release,x,y,sector,ring,"
      "score,counted,bust\r\n";
  for (const BookDart &d : book.darts) {
    const BookMatch *m = bookFindMatch(book, d.match);
    put(out, 0, d.match);
    put(out, ',', m != nullptr ? formatDateTime(m->time) : std::string());
    put(out, ',', csvField(gameName(d.game)));
    put(out, ',', d.seat + 1);
    put(out, ',', csvField(d.name));
    const int32_t numbers[] = {d.round, d.dart, d.aimX, d.peak, d.release, d.x, d.y, d.sector};
    for (int32_t v : numbers) put(out, ',', v);
    put(out, ',', csvField(ringNames[d.ring]));
    for (int32_t v : {d.score, d.counted, int32_t{d.bust}}) put(out, ',', v);
    out += "\r\n";
  }
  return out;
}
