// The daily challenge (host/daily.cpp): one match a day against a
// computer, its game, the computer's level and the seed all chosen by the
// day (UTC), so that every player on every platform meets the same one
// that day. Its seed carries the day, so the book's matches tell which
// were daily challenges and of which day with no field of their own:
// Player book... > Daily challenge shows today's, each earlier day's
// result and the best, and starts today's.
#pragma once

#include <cstdint>
#include <string>

struct DailyChallenge {
  int32_t day = 0;  // days since 1970-01-01, UTC
  int32_t game = 0;
  int32_t level = 1;
  uint64_t seed = 0;
};

// The challenge of a day, and of the day a moment (seconds since 1970,
// UTC) falls on.
DailyChallenge dailyChallenge(int32_t day);
DailyChallenge dailyChallengeAt(int64_t unixSeconds);
// The day a daily challenge's seed was made for, or -1 for any other seed.
int32_t dailyDayOfSeed(uint64_t seed);
// "2026-12-07" for a day.
std::string dailyDateText(int32_t day);

// The clock the page reads the date from (tests fix it); null: the system's.
void hostDailySetClock(int64_t (*utcNow)());
// Starts today's challenge: the player's first seat against the computer.
bool hostStartDaily();

void registerDaily();
