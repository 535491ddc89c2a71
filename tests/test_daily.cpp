// The daily challenge: the UTC day of a moment, its date, the game, level
// and seed it picks (pinned, so that every platform's build meets the same
// challenge: this file runs on Linux and under Wine), its seed recognised
// in the book, and a fixed day's match throwing the same darts every time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/settings.h"
#include "host/book.h"
#include "host/daily.h"
#include "host/match_code.h"
#include "host/match_codes.h"
#include "host/player_book.h"
#include "host/seats.h"
#include "host_driver.h"

namespace {

constexpr int32_t kDec7th2026 = 20794;  // days since 1970-01-01

TEST(Daily, TheDateOfADay) {
  struct Row {
    const char *name;
    int32_t day;
    const char *date;
  };
  const Row rows[] = {
      {"the first day", 0, "1970-01-01"},
      {"the day before it", -1, "1969-12-31"},
      {"a leap day", 19782, "2024-02-29"},
      {"the day after a leap century's February", 11017, "2000-03-01"},
      {"the test's day", kDec7th2026, "2026-12-07"},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(dailyDateText(r.day), r.date);
  }
}

TEST(Daily, AMomentBelongsToItsUtcDay) {
  struct Row {
    const char *name;
    int64_t seconds;
    int32_t day;
  };
  const int64_t midnight = int64_t{kDec7th2026} * 86400;
  const Row rows[] = {
      {"midnight UTC opens the day", midnight, kDec7th2026},
      {"a second before is the day before", midnight - 1, kDec7th2026 - 1},
      {"the last second of the day", midnight + 86399, kDec7th2026},
      {"a moment before 1970", -1, -1},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(dailyChallengeAt(r.seconds).day, r.day);
    EXPECT_EQ(dailyChallengeAt(r.seconds).seed, dailyChallenge(r.day).seed);
  }
}

// Pinned: a change here changes every player's challenge of that day.
TEST(Daily, AFixedDayPicksTheSameChallengeEverywhere) {
  const DailyChallenge c = dailyChallenge(kDec7th2026);
  EXPECT_EQ(c.game, kGameHighScore);
  EXPECT_EQ(c.level, 5);
  EXPECT_EQ(c.seed, 15713340923749869242ull);
  // A week of days: each game and level stays in range, the seeds differ.
  for (int32_t day = kDec7th2026; day < kDec7th2026 + 7; ++day) {
    SCOPED_TRACE(dailyDateText(day));
    const DailyChallenge d = dailyChallenge(day);
    EXPECT_GE(d.game, kGame301);
    EXPECT_LE(d.game, kGameRoundTheClock);
    EXPECT_GE(d.level, 1);
    EXPECT_LE(d.level, 5);
    EXPECT_NE(d.seed, dailyChallenge(day + 1).seed);
  }
}

TEST(Daily, TheBookTellsADailySeedFromAnyOther) {
  struct Row {
    const char *name;
    uint64_t seed;
    int32_t day;
  };
  const uint64_t daily = dailyChallenge(kDec7th2026).seed;
  const Row rows[] = {
      {"the day's seed", daily, kDec7th2026},
      {"the first day's seed", dailyChallenge(0).seed, 0},
      {"a clock's seed", 0x0123456789ABCDEFull, -1},
      {"a daily seed with its mixed bits changed", daily ^ 1, -1},
      {"the rematch of a daily challenge", rematchSeed(daily), -1},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(dailyDayOfSeed(r.seed), r.day);
  }
}

int64_t fixedNow() { return int64_t{kDec7th2026} * 86400 + 12 * 3600; }

// The day's match started from its page; the player presses A at the same
// passes each time; the code once a dozen darts are thrown.
std::string playTheDay() {
  HostDriver d;
  d.start();
  hostBookOpen(nullptr, nullptr);
  hostDailySetClock(fixedNow);
  hostOpenMenu();
  hostOpenPage("daily");
  EXPECT_STREQ(hostPageName(), "daily");
  hostPageAction(HostAction::kConfirm);
  EXPECT_TRUE(d.reach(HostScene::kMatch, kMatchAnnounce));
  EXPECT_EQ(hostMatchSeed(), dailyChallenge(kDec7th2026).seed);
  EXPECT_EQ(hostMatchCpuLevel(1), dailyChallenge(kDec7th2026).level);
  EXPECT_EQ(hostMatchCpuLevel(0), kSeatPerson);
  MatchCode code;
  for (int i = 0; i < 3000; ++i) {
    if (matchCodeRead(hostMatchCode(), &code, nullptr) == CodeRefusal::kNone &&
        code.darts.size() >= 12)
      break;
    // People's presses in the computer's turn are ignored: pressing all
    // along keeps the player's darts the same from run to run.
    d.press(static_cast<int>(keyBindings[kButtonA]), 20 + i % 7);
  }
  hostDailySetClock(nullptr);
  const std::string text = hostMatchCode();
  d.finish();
  return text;
}

TEST(Daily, AFixedDaysComputerThrowsTheSameDarts) {
  const std::string first = playTheDay();
  MatchCode code;
  ASSERT_EQ(matchCodeRead(first, &code, nullptr), CodeRefusal::kNone);
  EXPECT_GE(code.darts.size(), 12u);
  EXPECT_EQ(code.game, dailyChallenge(kDec7th2026).game);
  EXPECT_EQ(playTheDay(), first) << "the same presses give the same match";
  EXPECT_EQ(
      first,
      "AQwCAAIACFBMQVlFUiAxDQZDUFUgODC6Jrg6UQAR2gwDBjBgAAMGUAUdFPBxBRvAxgBsDMDGYAUd009yBR347qhV");
}

}  // namespace

namespace {

// A finished two-seat match of the book, its code made with this seed.
BookMatch bookEntry(int64_t id, uint64_t seed, bool won, int32_t darts) {
  BookMatch m;
  m.id = id;
  m.time = fixedNow();
  m.game = kGameHighScore;
  m.players = 2;
  m.winner = won ? 0 : 1;
  m.seats[0].name = "ANNA";
  m.seats[0].darts = darts;
  m.seats[0].final = won ? 900 : 300;
  m.seats[1].name = "CPU 80";
  m.seats[1].cpuLevel = 5;
  m.seats[1].darts = darts;
  m.seats[1].final = won ? 300 : 900;
  MatchCode code;
  code.game = kGameHighScore;
  code.players = 2;
  code.seats[0].name = "ANNA";
  code.seats[1].kind = CodeSeatKind::kComputer;
  code.seats[1].level = 5;
  code.seats[1].name = "CPU 80";
  code.seed = seed;
  std::string text;
  EXPECT_TRUE(matchCodeWrite(code, &text));
  m.more = " code=" + text;
  return m;
}

std::string pageText() {
  HostRow rows[kHostRowsMax];
  const int32_t count = hostPageRows(rows, kHostRowsMax);
  std::string text;
  for (int32_t i = 0; i < count; ++i) text += std::string(rows[i].label) + "\n";
  return text;
}

TEST(Daily, ThePageKeepsEachDaysResultAndTheBest) {
  struct Row {
    const char *name;
    std::vector<BookMatch> matches;
    std::vector<std::string> shown;
    std::vector<std::string> notShown;
  };
  const uint64_t today = dailyChallenge(kDec7th2026).seed;
  const uint64_t before = dailyChallenge(kDec7th2026 - 1).seed;
  const uint64_t older = dailyChallenge(kDec7th2026 - 2).seed;
  const Row rows[] = {
      {"an empty book", {}, {"Today, 2026-12-07 (UTC):", "Not played yet.", "No best yet."}, {}},
      {"a match of the clock's seed is no daily challenge",
       {bookEntry(1, 0x1234, true, 21)},
       {"Not played yet.", "No best yet."},
       {"Earlier days:"}},
      {"today's played, lost; an earlier day won is the best",
       {bookEntry(1, older, true, 21), bookEntry(2, before, false, 21),
        bookEntry(3, today, false, 21)},
       {"Played: ", "Best: 2026-12-05 ", "Earlier days:", "2026-12-06 "},
       {"Not played yet."}},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.name);
    HostDriver d;
    d.start();
    hostBookOpen(nullptr, nullptr);
    Book book;
    for (const BookMatch &m : r.matches) book.matches.push_back(m);
    hostBookReplace(book);
    hostDailySetClock(fixedNow);
    hostOpenMenu();
    hostOpenPage("daily");
    const std::string text = pageText();
    for (const std::string &s : r.shown)
      EXPECT_NE(text.find(s), std::string::npos) << s << "\n" << text;
    for (const std::string &s : r.notShown)
      EXPECT_EQ(text.find(s), std::string::npos) << s << "\n" << text;
    hostDailySetClock(nullptr);
    d.finish();
  }
}

}  // namespace
