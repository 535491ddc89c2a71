// The four seats of a match and who throws from each: a person, known by a
// name, or a computer player of a level. Seat n plays as player n of the
// match. The Players page changes them; the player book files darts under
// the name, and the computer seats take Button A on their turns.
#pragma once

#include <cstdint>

#include "host/book.h"

constexpr int32_t kSeatCount = 4;
// A seat's name follows the player book's rule (validPlayerName).
constexpr int32_t kSeatNameChars = kPlayerNameMax;
// A seat's level when a person throws from it; computer levels are 1 to 5.
constexpr int32_t kSeatPerson = 0;

struct HostSeat {
  char name[kSeatNameChars + 1];
  int32_t cpuLevel;
  // A friend far away throws from this seat, one turn at a time by codes
  // (host/correspondence.h): only the second seat of a two-seat match.
  bool friendSeat;
};
// The seat a friend may take.
constexpr int32_t kFriendSeat = 1;

// Seats 0 to 3; another number gives seat 0. Its name is the one given,
// "PLAYER n" until then.
HostSeat &hostSeat(int32_t seat);
// The name a seat plays and is filed under: a computer seat not renamed
// goes by its level ("CPU 55"), never by "PLAYER n".
const char *hostSeatName(int32_t seat);
bool hostSeatIsCpu(int32_t seat);
// Every seat back to a person named "PLAYER 1" to "PLAYER 4".
void hostSeatsReset();

// The "Fast CPU" switch: computer seats wait half as long before a press.
bool hostCpuFast();
void hostSetCpuFast(bool fast);
// The seed of the computer seats' choices in the current (or last) match,
// drawn from the clock when the match starts; the same seed, seats and
// people's presses give the same darts again.
uint64_t hostMatchSeed();
// The level a seat threw at in the current (or last) match: kSeatPerson for
// a person. Changes on the Players page count from the next match.
int32_t hostMatchCpuLevel(int32_t seat);
// Every match from now on takes this seed instead of one from the clock
// (tobelyn-replay's `seed S`).
void hostFixMatchSeed(uint64_t seed);
// The next match alone takes this seed (a match played again from its
// code, a rematch); the one after goes back to the clock or the fixed seed.
void hostSetNextMatchSeed(uint64_t seed);
