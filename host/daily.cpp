// The daily challenge: the day's game, level and seed, its page under
// Player book..., and its start (see host/daily.h).
#include "host/daily.h"

#include <cstdio>
#include <ctime>
#include <vector>

#include "host/book.h"
#include "host/cpu.h"
#include "host/host_internal.h"
#include "host/match_codes.h"
#include "host/player_book.h"
#include "host/seats.h"
#include "host/share.h"

namespace {

// A daily seed: these 16 bits on top, then the day (24 bits), then 24
// bits mixed from the day.
constexpr uint64_t kDailyTag = 0xDA11;
constexpr int32_t kDaySeconds = 86400;
constexpr int32_t kGames[] = {kGame301, kGameCountUp, kGameHighScore, kGameRoundTheClock};
constexpr int32_t kEarlierRows = 5;

int64_t (*clockNow)() = nullptr;

uint64_t mixOf(uint64_t value) {
  // The same mixing as a rematch's seed: the same on every platform.
  return rematchSeed(value ^ 0x70BE1717DA11C0DEull);
}

int64_t nowUtc() {
  return clockNow != nullptr ? clockNow() : static_cast<int64_t>(std::time(nullptr));
}

int32_t today() { return dailyChallengeAt(nowUtc()).day; }

// A finished match of the book that is a daily challenge, and its day.
struct DailyEntry {
  int32_t day;
  const BookMatch *match;
};

std::vector<DailyEntry> dailyEntries() {
  std::vector<DailyEntry> entries;
  for (const BookMatch &m : hostBook().matches) {
    MatchCode code;
    if (matchCodeRead(bookMatchCode(m), &code, nullptr) != CodeRefusal::kNone) continue;
    const int32_t day = dailyDayOfSeed(code.seed);
    if (day >= 0) entries.push_back({day, &m});
  }
  return entries;
}

// The better of two daily results: a win first, then fewer darts.
bool better(const BookMatch &a, const BookMatch &b) {
  const bool winA = a.winner == 0, winB = b.winner == 0;
  if (winA != winB) return winA;
  return a.seats[0].darts < b.seats[0].darts;
}

std::string resultLine(const DailyEntry &e) {
  std::string line = dailyDateText(e.day) + " " + matchResultWords(*e.match, 0);
  return line.size() > 36 ? line.substr(0, 36) : line;
}

std::string challengeLine(const DailyChallenge &c) {
  char line[48];
  std::snprintf(line, sizeof line, "%s against %s", gameName(c.game), cpuLevels[c.level - 1].name);
  return line;
}

// What the page shows, a line each (the reader is told the same).
std::vector<std::string> pageLines() {
  const DailyChallenge c = dailyChallenge(today());
  std::vector<std::string> lines;
  lines.push_back("Today, " + dailyDateText(c.day) + " (UTC):");
  lines.push_back(challengeLine(c));
  const std::vector<DailyEntry> entries = dailyEntries();
  const DailyEntry *todays = nullptr;
  const DailyEntry *best = nullptr;
  for (const DailyEntry &e : entries) {
    if (e.day == c.day) todays = &e;
    if (best == nullptr || better(*e.match, *best->match)) best = &e;
  }
  lines.push_back(todays != nullptr ? "Played: " + matchResultWords(*todays->match, 0)
                                    : std::string("Not played yet."));
  lines.push_back(best != nullptr ? "Best: " + resultLine(*best) : std::string("No best yet."));
  int32_t shown = 0;
  for (auto e = entries.rbegin(); e != entries.rend() && shown < kEarlierRows; ++e) {
    if (e->day == c.day) continue;
    if (shown == 0) lines.push_back("Earlier days:");
    lines.push_back(resultLine(*e));
    ++shown;
  }
  return lines;
}

// The newest daily match's code, for Share.
std::string newestDailyCode() {
  const std::vector<DailyEntry> entries = dailyEntries();
  return entries.empty() ? std::string() : bookMatchCode(*entries.back().match);
}

void dailyDraw(HostLayer &layer) {
  layerPanel(layer, "Daily challenge");
  int32_t y = 52;
  const std::vector<std::string> lines = pageLines();
  for (size_t i = 0; i < lines.size(); ++i) {
    const HostColour c = i == 1 ? kChosenColour : i < 4 ? kTextColour : kQuietColour;
    layerText(layer, 16, y, lines[i].c_str(), c);
    y += i == 3 ? 20 : 13;
  }
  drawShareNote(layer, 274);
  drawFoot(layer, newestDailyCode().empty() ? "A: play  B: back" : "A: play  C: share  B: back");
}

void dailyKey(HostAction action) {
  if (action == HostAction::kConfirm) (void)hostStartDaily();
  if (action == HostAction::kBack) hostOpenParent();
}

bool dailyTyped(int32_t vKey) { return recordsShareKey(vKey, newestDailyCode()); }

bool dailyTap(int32_t x, int32_t y) {
  const FootButton button = footButtonAt(x, y);
  if (button == FootButton::kBack) hostOpenParent();
  if (button == FootButton::kNone && layerRowAt(x, y) >= 0) (void)hostStartDaily();
  return button != FootButton::kNone;
}

int32_t dailyRows(HostRow *rows, int32_t max) {
  int32_t n = 0;
  for (const std::string &line : pageLines()) {
    if (n == max) break;
    std::snprintf(rows[n].label, sizeof rows[n].label, "%s", line.c_str());
    rows[n].value[0] = 0;
    rows[n].chosen = n == 1;
    rows[n].meterSteps = 0;
    rows[n].meterFilled = 0;
    ++n;
  }
  return n;
}

const HostPage kDailyPage = {.name = "daily",
                             .title = "Daily challenge",
                             .under = "book",
                             .available = nullptr,
                             .draw = dailyDraw,
                             .key = dailyKey,
                             .tap = dailyTap,
                             .typed = dailyTyped,
                             .opened = nullptr,
                             .left = nullptr,
                             .rows = dailyRows};

}  // namespace

DailyChallenge dailyChallenge(int32_t day) {
  DailyChallenge c;
  c.day = day;
  const uint64_t mixed = mixOf(static_cast<uint64_t>(day));
  c.seed = (kDailyTag << 48) | ((static_cast<uint64_t>(day) & 0xFFFFFF) << 24) | (mixed & 0xFFFFFF);
  c.game = kGames[(mixed >> 32) % (sizeof kGames / sizeof kGames[0])];
  c.level = 1 + static_cast<int32_t>((mixed >> 40) % 5);
  return c;
}

DailyChallenge dailyChallengeAt(int64_t unixSeconds) {
  int64_t day = unixSeconds / kDaySeconds;
  if (unixSeconds < 0 && unixSeconds % kDaySeconds != 0) --day;
  return dailyChallenge(static_cast<int32_t>(day));
}

int32_t dailyDayOfSeed(uint64_t seed) {
  if ((seed >> 48) != kDailyTag) return -1;
  const int32_t day = static_cast<int32_t>((seed >> 24) & 0xFFFFFF);
  return dailyChallenge(day).seed == seed ? day : -1;
}

std::string dailyDateText(int32_t day) {
  // Days to a civil date (the proleptic Gregorian calendar).
  int64_t z = static_cast<int64_t>(day) + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp < 10 ? mp + 3 : mp - 9;
  const int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", static_cast<int>(y), static_cast<int>(m),
                static_cast<int>(d));
  return text;
}

void hostDailySetClock(int64_t (*utcNow)()) { clockNow = utcNow; }

bool hostStartDaily() {
  const DailyChallenge c = dailyChallenge(today());
  MatchCode code;
  code.game = c.game;
  code.players = 2;
  code.seats[0].kind = CodeSeatKind::kPerson;
  code.seats[0].name = hostSeatIsCpu(0) ? "PLAYER 1" : hostSeat(0).name;
  code.seats[1].kind = CodeSeatKind::kComputer;
  code.seats[1].level = c.level;
  code.seats[1].name = "PLAYER 2";  // a computer not renamed goes by its level
  code.seed = c.seed;
  return hostStartCodeMatch(code);
}

void registerDaily() { (void)hostAddPage(&kDailyPage); }
