// Whole matches played by CPU seats on the headless backend: the real
// program, started, taken through its menus to a match by key presses and
// then left to the CPUs, whose answers hold Button A exactly as a person's
// key would. For the tests and the level benchmark; nothing here is part of
// the game on any platform.
#pragma once

#include <cstdint>
#include <vector>

#include "host/cpu.h"

struct CpuMatchSetup {
  int32_t mode;
  int32_t playerCount;
  int32_t levels[kMaxPlayers];  // every seat a CPU here: 1 to kCpuLevelCount
  uint64_t seed;
  bool fast;
  // The window behind another from the start: the game plays exactly the
  // same, but no frame reaches the display, which makes a pass far cheaper.
  bool inBackground;
  // The clock's step each pass, swinging by up to passJitterMs either way
  // in a fixed pattern (the replay runner steps 16 ms).
  uint32_t passMs = 16;
  uint32_t passJitterMs = 0;
};

struct CpuDartRecord {
  int32_t player;
  int32_t round;
  int32_t scoreBefore;  // the thrower's score as the dart landed, before it counted
  int32_t aimX, peak, release;
  int32_t points;
  bool bust;  // "301": worth more than the points left
};

// A pass in which a CPU held Button A.
struct CpuPressRecord {
  uint32_t at;   // the clock the pass read
  int32_t step;  // the match's step before the pass
  bool taken;    // the game took the press (it restarted its gap)
};

struct CpuMatchRecord {
  bool backAtTitle;  // the match ran to its end and the title menu came back
  int32_t winner;
  int32_t roundIndex;
  int32_t scores[kMaxPlayers];
  std::vector<CpuDartRecord> darts;
  std::vector<CpuPressRecord> presses;
  uint64_t passes;  // passes of the match, from its first to the title's return
};

// Plays one match to its end (or gives up after a pass limit, leaving
// backAtTitle false) and closes the program again.
CpuMatchRecord playCpuMatch(const CpuMatchSetup &setup);
