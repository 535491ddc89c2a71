// Assists for the people at the seats: a steadier hand (the aim and the
// gauge run at half or a third of the game's pace while that seat throws)
// and fewer presses (auto-continue leaves the seat's announcement and
// result by itself). Neither touches the game: the slower pace is passes
// the host holds, as a pause holds them, and auto-continue presses
// Button A through the host's one owner of it.
#pragma once

#include <cstdint>

// How often the game's pass runs while an assisted seat aims and works the
// gauge: every platform pass, one in two, one in three.
constexpr int32_t kPaceFull = 1;
constexpr int32_t kPaceHalf = 2;
constexpr int32_t kPaceThird = 3;
// How long auto-continue leaves an announcement or a result standing, in
// game passes: 1.2 s at 60 passes a second.
constexpr int32_t kAutoContinuePasses = 72;

// A seat's settings (seats 0 to 3), kept in the host's file. A computer
// seat keeps them but plays at full pace and presses for itself.
int32_t hostSeatAssist(int32_t seat);
void hostSetSeatAssist(int32_t seat, int32_t pace);
bool hostSeatAutoContinue(int32_t seat);
void hostSetSeatAutoContinue(int32_t seat, bool on);
// "Off", "1/2 pace", "1/3 pace".
const char *assistName(int32_t pace);
// The pace a seat's last dart (in this or the last match) and its match so
// far were thrown at: the slowest it aimed or worked the gauge at.
int32_t hostDartAssist(int32_t seat);
int32_t hostMatchAssist(int32_t seat);

// The feature and its page (host/features.cpp registers them; the page is
// host/assist_page.cpp, opened from the Players page as "assists").
void registerAssists();
void registerAssistPage();
