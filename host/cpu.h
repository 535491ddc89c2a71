// Computer players. A CPU seat throws the way a person does: it watches the
// match after every pass and answers one question, whether Button A is held
// in the next pass. It picks a point on the board for each dart, works out
// when the sliding pointer and the climbing and falling marker will be where
// that point needs them, and presses then, late or early by a timing error
// drawn for its level. The match never knows who pressed.
//
// How the host drives it, as an observer (hostAddObserver, host/host.h):
//
//  - When a match starts (the first view whose scene is the match, after one
//    that was not), cpuSeatsStart with the seats, the match's seed (drawn
//    from the host's clock and kept with the match) and the fast setting.
//  - After every game pass while the match runs (observers never run while
//    the game is paused):
//
//      const CpuView view{v.sceneStep, *v.match, v.gameMode, hostGameTime(), passes};
//      if (cpuSeatInCharge(seats, view) < 0)
//        hostSetButtonA(HostButtonA::kFromPeople);
//      else
//        hostSetButtonA(cpuSeatsHoldButton(seats, view) ? HostButtonA::kHeld
//                                                       : HostButtonA::kUp);
//
//    The answer is what the game's poll of Button A reads in the next pass.
//    kUp while a seat is in charge is what ignores people's A in a CPU turn
//    (the menu key still works); outside the match, kFromPeople.
//
// The clock in the view is the one the game reads (it stands still while
// the host pauses); passes counts the match's passes before this view. Every
// random choice comes from the seed and every press is timed in passes, so
// the same seed, levels and people's darts give the same CPU darts on every
// platform, at either pace and at any frame rate.
#pragma once

#include <cstdint>

#include "game/match.h"
#include "host/host_dart.h"

constexpr int32_t kCpuLevelCount = 5;
constexpr int32_t kCpuPerson = 0;  // a seat's level when a person throws from it

struct CpuLevel {
  const char *name;  // "CPU nn": nn is its measured three-dart average in "301"
  // How far its presses stray, in hundredths of a pass: the spread of a
  // human reaction, the same at each press of a dart.
  int32_t spread;
};
// Level 1 first.
extern const CpuLevel cpuLevels[kCpuLevelCount];

// What a brain may see of the game after a pass. It only reads.
struct CpuView {
  int32_t sceneStep;
  const MatchState &match;
  int32_t gameMode;
  uint32_t now;   // the clock the game reads, in milliseconds
  uint32_t pass;  // the match's passes so far: what the brain times its presses by
};

// Where a dart is meant to land: the pointer's left edge and the row.
struct CpuTarget {
  int32_t aimX;
  int32_t row;
};

// The point a CPU of this level aims its next dart at, by the game and the
// thrower's score (points left in "301", the number needed in "Round The
// Clock", the total otherwise).
CpuTarget cpuChooseTarget(int32_t level, int32_t mode, int32_t playerScore);

// --- Aiming at what a host game wants. A landing is one of these slots
// (a miss, 1 to 20, the bull) times its ring (0 for a miss, 1 to 3).
constexpr int32_t kCpuSegmentSlots = 22;
constexpr int32_t kCpuSegments = kCpuSegmentSlots * 4;
int32_t cpuSegment(HostDart dart);
// What each landing is worth to the thrower now.
struct CpuWish {
  double value[kCpuSegments];
};
// The target where a dart of this level is worth the most on average.
CpuTarget cpuBestTarget(int32_t level, const CpuWish &wish);
// A dart at `target` with the level's errors drawn, as the board grid
// lands it: the aim alone, without a match, for tests and benchmarks.
HostDart cpuSimulatedDart(int32_t level, CpuTarget target, uint64_t &random);
// The host's games choose their own targets (their state is the host's):
// asked first for a mode from kHostGameFirst; false keeps the usual aim.
using CpuHostGameAim = bool (*)(int32_t level, int32_t mode, CpuTarget *target);
void cpuSetHostGameAim(CpuHostGameAim aim);

// One CPU seat's brain.
struct CpuPlayer {
  int32_t level;  // 1 to kCpuLevelCount
  bool fast;      // pauses halved (never under the game's own gap between presses)
  uint64_t random;

  int32_t seenStep;       // the step of the last view; -1 after a press, to look afresh
  uint32_t stepSeenPass;  // the pass that step was first seen in
  bool pressedLastView;
  bool hasPressed;
  uint32_t lastPressPass;
  uint32_t lastPressAt;  // the clock then, only to keep the game's own gap
  uint32_t wait;         // a pause step's wait in passes, from stepSeenPass
  int32_t countdown;     // views left before a timed press; -1 when none is due

  // The dart in hand, chosen at its announcement.
  CpuTarget target;
  int32_t aimError, peakError, releaseError;  // passes; late is positive
  uint32_t gaugeWait;                         // passes
};

void cpuPlayerStart(CpuPlayer &cpu, int32_t level, uint64_t seed, bool fast);
// Whether Button A is held in the next pass. Called once a pass while it is
// this player's turn; a press is one pass held, then one released.
bool cpuHoldsButton(CpuPlayer &cpu, const CpuView &view);

// The seats of one match.
struct CpuSeats {
  int32_t playerCount;
  int32_t levels[kMaxPlayers];  // kCpuPerson or 1 to kCpuLevelCount
  CpuPlayer players[kMaxPlayers];
};

// At the start of a match (before its first pass), with the match's seed.
void cpuSeatsStart(CpuSeats &seats, int32_t playerCount, const int32_t levels[kMaxPlayers],
                   uint64_t seed, bool fast);
// The CPU seat whose press it is now, or -1 when it is the people's. A dart,
// the press that announces it and the press that leaves its result belong
// to its thrower (the last dart of a turn too); the presses after the match
// is over belong to the people, unless every seat is a CPU.
int32_t cpuSeatInCharge(const CpuSeats &seats, const CpuView &view);
// The seat in charge's answer; false when people are in charge.
bool cpuSeatsHoldButton(CpuSeats &seats, const CpuView &view);
// A match played back from its code: the seat in charge sees the view as it
// would when throwing (its choices drawn at the same steps) but presses
// nothing, so that a match resumed goes on with the computers' choices
// where they were.
void cpuSeatsFollow(CpuSeats &seats, const CpuView &view);
