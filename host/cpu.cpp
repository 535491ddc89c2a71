#include "host/cpu.h"

#include <cstdlib>
#include <vector>

#include "app/scene.h"
#include "host/games.h"

// Tuned by bench/cpu_levels.cpp: each name is the three-dart average the
// level throws in "301" over a thousand matches (docs/figures.md).
const CpuLevel cpuLevels[kCpuLevelCount] = {
    {.name = "CPU 30", .spread = 750},  // a beginner
    {.name = "CPU 45", .spread = 300}, {.name = "CPU 55", .spread = 190},
    {.name = "CPU 65", .spread = 148}, {.name = "CPU 80", .spread = 107},  // a strong club player
};

namespace {

// --- Randomness: splitmix64, the same numbers on every compiler.

uint64_t nextRandom(uint64_t &state) {
  uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

uint32_t randomBelow(uint64_t &state, uint32_t n) {
  return static_cast<uint32_t>(nextRandom(state) >> 32) % n;
}

// --- Timing errors. A reaction's error is the sum of three uniform 6-bit
// numbers (close to a bell curve, and bounded), scaled to the level's spread
// and rounded to whole passes. All in integers, so that a seed gives the
// same darts everywhere.

constexpr int32_t kUniformValues = 64;
constexpr int32_t kSumValues = 3 * (kUniformValues - 1) + 1;  // 0 to 189
constexpr int32_t kSumMiddleTwice = kSumValues - 1;           // 2 x the mean
constexpr int32_t kSumSpreadTwice = 64;  // 2 x the sum's standard deviation, near enough
constexpr int32_t kMaxError = 24;        // passes either way
constexpr int32_t kErrorSlots = 2 * kMaxError + 1;
constexpr int32_t kMaxSpread = 800;  // hundredths of a pass: keeps every error within kMaxError

static_assert((kSumValues - 1) * kMaxSpread / (kSumSpreadTwice * 100) + 1 <= kMaxError);

int32_t errorOfSum(int32_t sum, int32_t spread) {
  if (spread > kMaxSpread) spread = kMaxSpread;
  const int32_t offset = 2 * sum - kSumMiddleTwice;  // odd, spread 64
  const int32_t scale = kSumSpreadTwice * 100;
  const int32_t passes = (std::abs(offset) * spread + scale / 2) / scale;
  return offset < 0 ? -passes : passes;
}

int32_t drawError(uint64_t &state, int32_t spread) {
  const uint64_t bits = nextRandom(state);
  int32_t sum = 0;
  for (int i = 0; i < 3; ++i) sum += static_cast<int32_t>((bits >> (6 * i)) & 63u);
  return errorOfSum(sum, spread);
}

// How often each error comes, out of 2^18 reactions.
struct ErrorWeights {
  uint64_t weight[kErrorSlots];  // by error + kMaxError
};

ErrorWeights errorWeights(int32_t spread) {
  int64_t sums[kSumValues] = {};
  for (int32_t a = 0; a < kUniformValues; ++a)
    for (int32_t b = 0; b < kUniformValues; ++b)
      for (int32_t c = 0; c < kUniformValues; ++c) ++sums[a + b + c];
  ErrorWeights w{};
  for (int32_t s = 0; s < kSumValues; ++s) w.weight[errorOfSum(s, spread) + kMaxError] += sums[s];
  return w;
}

// --- The board as the throw reaches it. A pressed peak is even and so is a
// release that follows it, which puts every landing row on a multiple of 8;
// the aim line moves 4 pixels a pass. A target is one such column and row,
// and an error of one pass moves the dart one column or one row.

constexpr int32_t kColumns = (kAimRight - kAimLeft) / kAimStep + 1;
constexpr int32_t kRowStep = 8;
constexpr int32_t kLastRow = 240;
constexpr int32_t kRows = kLastRow / kRowStep + 1;
constexpr int32_t kTargets = kColumns * kRows;
constexpr int32_t kMaxDart = 60;
constexpr int32_t kBoardCentreRow = 128;

struct BoardGrid {
  bool ready;
  int8_t score[kTargets];
  int8_t sector[kTargets];
};
BoardGrid grid;

int32_t targetIndex(int32_t column, int32_t row) { return row * kColumns + column; }
int32_t columnAimX(int32_t column) { return kAimLeft + column * kAimStep; }

const BoardGrid &boardGrid() {
  if (!grid.ready) {
    for (int32_t row = 0; row < kRows; ++row)
      for (int32_t column = 0; column < kColumns; ++column) {
        const BoardPoint hit = landingPoint(columnAimX(column), row * kRowStep);
        grid.score[targetIndex(column, row)] = static_cast<int8_t>(hit.score);
        grid.sector[targetIndex(column, row)] = static_cast<int8_t>(hit.sector);
      }
    grid.ready = true;
  }
  return grid;
}

int32_t clampTo(int32_t v, int32_t low, int32_t high) {
  return v < low ? low : v > high ? high : v;
}

// --- A level's choices, worked out once: for every target, how its darts
// spread over the board, and from that the best target for each need.

// In "301" a finish is planned from here down; above it every dart goes for
// the most points.
constexpr int32_t kFinishPlannedFrom = 3 * kMaxDart;
// What a bust costs besides the dart itself: the rest of the turn, one dart
// on average.
constexpr double kBustCostDarts = 1.0;
constexpr int32_t kClockNumbers = 20;

struct LevelPlan {
  bool ready;
  // For every target, the chance of each landing (cpuSegment): what a host
  // game's wishes are weighed against.
  std::vector<float> segments;
  int16_t mostPoints;                      // the target with the best expected score
  int16_t finish[kFinishPlannedFrom + 1];  // by the points left
  int16_t clock[kClockNumbers + 1];        // by the number needed
};
LevelPlan plans[kCpuLevelCount];

// "301": with p the chance of each dart score from the target, the fewest
// darts expected to finish from each number of points left. A miss leaves
// the points as they were; a bust does too and costs the rest of the turn.
void planFinishes(LevelPlan &plan, const std::vector<double> &chance) {
  double darts[kFinishPlannedFrom + 1] = {};
  for (int32_t left = 1; left <= kFinishPlannedFrom; ++left) {
    double best = 0;
    int32_t bestTarget = -1;
    for (int32_t t = 0; t < kTargets; ++t) {
      const double *p = &chance[static_cast<size_t>(t) * (kMaxDart + 1)];
      double stay = p[0], bust = 0, onward = 1;
      for (int32_t s = 1; s <= kMaxDart; ++s) {
        if (s > left)
          bust += p[s];
        else
          onward += p[s] * darts[left - s];
      }
      onward += bust * kBustCostDarts;
      const double moving = 1 - stay - bust;
      if (moving < 1e-9) continue;
      const double expected = onward / moving;
      if (bestTarget < 0 || expected < best) {
        best = expected;
        bestTarget = t;
      }
    }
    darts[left] = best;
    plan.finish[left] = static_cast<int16_t>(bestTarget);
  }
}

const LevelPlan &levelPlan(int32_t level) {
  LevelPlan &plan = plans[level - 1];
  if (plan.ready) return plan;
  const BoardGrid &board = boardGrid();
  const CpuLevel &skill = cpuLevels[level - 1];
  // The same spread moves the aim by columns and the release by rows.
  const ErrorWeights errors = errorWeights(skill.spread);
  constexpr double kAllWeights = 68719476736.0;  // 2^18 x 2^18

  std::vector<double> chance(static_cast<size_t>(kTargets) * (kMaxDart + 1));
  plan.segments.assign(static_cast<size_t>(kTargets) * kCpuSegments, 0.0f);
  uint64_t bestPoints = 0;
  uint64_t bestHits[kClockNumbers + 1] = {};
  for (int32_t t = 0; t < kTargets; ++t) {
    const int32_t column = t % kColumns, row = t / kColumns;
    uint64_t byScore[kMaxDart + 1] = {};
    uint64_t bySector[kClockNumbers + 1] = {};
    uint64_t bulls = 0;
    uint64_t bySegment[kCpuSegments] = {};
    for (int32_t ea = -kMaxError; ea <= kMaxError; ++ea) {
      const uint64_t wa = errors.weight[ea + kMaxError];
      if (wa == 0) continue;
      for (int32_t er = -kMaxError; er <= kMaxError; ++er) {
        const uint64_t wr = errors.weight[er + kMaxError];
        if (wr == 0) continue;
        const int32_t at =
            targetIndex(clampTo(column + ea, 0, kColumns - 1), clampTo(row + er, 0, kRows - 1));
        const int32_t score = board.score[at];
        byScore[score] += wa * wr;
        bySegment[cpuSegment(hostDartFrom(score, board.sector[at]))] += wa * wr;
        if (score == kDoubleBullScore || score == kSingleBullScore)
          bulls += wa * wr;
        else if (score != 0)
          bySector[board.sector[at]] += wa * wr;
      }
    }
    for (int32_t k = 0; k < kCpuSegments; ++k)
      plan.segments[static_cast<size_t>(t) * kCpuSegments + k] =
          static_cast<float>(static_cast<double>(bySegment[k]) / kAllWeights);
    uint64_t points = 0;
    for (int32_t s = 0; s <= kMaxDart; ++s) {
      points += byScore[s] * static_cast<uint64_t>(s);
      chance[static_cast<size_t>(t) * (kMaxDart + 1) + s] =
          static_cast<double>(byScore[s]) / kAllWeights;
    }
    if (points > bestPoints) {
      bestPoints = points;
      plan.mostPoints = static_cast<int16_t>(t);
    }
    for (int32_t n = 1; n <= kClockNumbers; ++n) {
      if (bulls + bySector[n] > bestHits[n]) {
        bestHits[n] = bulls + bySector[n];
        plan.clock[n] = static_cast<int16_t>(t);
      }
    }
  }
  planFinishes(plan, chance);
  plan.ready = true;
  return plan;
}

CpuTarget targetAt(int32_t t) {
  return {.aimX = columnAimX(t % kColumns), .row = t / kColumns * kRowStep};
}

// --- Pace. The pointer and the marker move once a pass, so where a dart
// lands depends on the passes between presses, never on milliseconds: the
// brain counts the match's passes and reads the clock only to keep the
// game's own gap between presses. The pauses are written in milliseconds at
// the game's pace of a pass every kPassMs; every press waits at least
// kThrowPauseMs after the one before, so that people can follow each step,
// and the announcement and the result are given longer to be read.

constexpr uint32_t kPassMs = 16;
constexpr uint32_t passesFor(uint32_t ms) { return (ms + kPassMs - 1) / kPassMs; }

constexpr uint32_t kThrowPauseMs = 300;
struct PauseRange {
  uint32_t least, extra;  // least + a random share of extra
};
constexpr PauseRange kAnnouncePause = {600, 400};
constexpr PauseRange kGaugePause = {kThrowPauseMs, 300};
constexpr PauseRange kResultPause = {800, 600};
constexpr PauseRange kEndPause = {1500, 500};
// The end screen carries the match summary: as long as a person needs to
// read it, at either pace, before a seat of computers leaves it.
constexpr PauseRange kSummaryPause = {5000, 1000};
// The game takes a press only more than kInputGapMs after the last; a pass
// may be a little shorter or longer than the one before it.
constexpr uint32_t kGapGuardMs = kInputGapMs + kPassMs + 1;
// A timed press (the aim, the peak, the release) comes this many passes
// after the press before it at the earliest, at either pace: "Fast CPU"
// shortens the pauses a person waits through, never the throw itself.
constexpr uint32_t kThrowGapPasses = passesFor(kThrowPauseMs);
// The climb is stopped about here, near the top, so that a release can
// still reach every row of the board with time to spare.
constexpr int32_t kPlannedPeak = 128;

uint32_t paced(const CpuPlayer &cpu, uint32_t ms) { return cpu.fast ? ms / 2 : ms; }

// A pause in passes. The random share is drawn at either pace, so that the
// pace never shifts the numbers drawn after it.
uint32_t drawPause(CpuPlayer &cpu, PauseRange range) {
  return passesFor(paced(cpu, range.least + randomBelow(cpu.random, range.extra)));
}

static_assert(kThrowPauseMs >= kGapGuardMs, "a timed press keeps the game's own gap");

// The least number of passes after the last press before the next: a timed
// press's at either pace, else the pace's pause, never under the game's gap.
uint32_t leastGap(const CpuPlayer &cpu, bool timed) {
  if (timed) return kThrowGapPasses;
  const uint32_t pause = paced(cpu, kThrowPauseMs);
  return passesFor(pause > kGapGuardMs ? pause : kGapGuardMs);
}

bool gapKept(const CpuPlayer &cpu, const CpuView &view, bool timed) {
  if (!cpu.hasPressed) return true;
  // The clock is looked at only so that a press is never wasted on the
  // game's gap; at any pass of 12 ms or more the passes alone keep it.
  return view.pass - cpu.lastPressPass >= leastGap(cpu, timed) &&
         view.now - cpu.lastPressAt >= kGapGuardMs;
}

// Views from now until a timed press may come.
int32_t viewsUntilGapKept(const CpuPlayer &cpu, const CpuView &view) {
  if (!cpu.hasPressed) return 0;
  const uint32_t since = view.pass - cpu.lastPressPass;
  const uint32_t gap = leastGap(cpu, true);
  return since >= gap ? 0 : static_cast<int32_t>(gap - since);
}

// The announcement: the dart is planned and its reaction errors drawn, in a
// fixed order whatever the dart turns out to need.
void planDart(CpuPlayer &cpu, const CpuView &view) {
  const CpuLevel &skill = cpuLevels[cpu.level - 1];
  cpu.wait = drawPause(cpu, kAnnouncePause);
  cpu.gaugeWait = drawPause(cpu, kGaugePause);
  cpu.aimError = drawError(cpu.random, skill.spread);
  cpu.peakError = drawError(cpu.random, skill.spread);
  cpu.releaseError = drawError(cpu.random, skill.spread);
  cpu.target =
      cpuChooseTarget(cpu.level, view.gameMode, view.match.playerScores[view.match.currentPlayer]);
}

// The aim: the next time the sliding pointer is on the target column, late
// or early by the error, and never before the least gap.
int32_t aimCountdown(const CpuPlayer &cpu, const CpuView &view) {
  const int32_t earliest = viewsUntilGapKept(cpu, view);
  int32_t aimX = view.match.aimX, direction = view.match.aimDirection;
  // Two sweeps each way cover every column twice over.
  const int32_t horizon = earliest + kMaxError + 4 * kColumns;
  for (int32_t k = 0; k <= horizon; ++k) {
    if (aimX == cpu.target.aimX && k + cpu.aimError >= earliest) return k + cpu.aimError;
    slideAim(aimX, direction);
  }
  return earliest;
}

// The climb: stopped near kPlannedPeak; where exactly matters little, as the
// release is worked out from the peak it got.
int32_t peakCountdown(const CpuPlayer &cpu, const CpuView &view) {
  const int32_t earliest = viewsUntilGapKept(cpu, view);
  const int32_t climb = kPlannedPeak - view.match.gaugeIndex;
  const int32_t onTime = climb > 0 ? (climb + kGaugeStep - 1) / kGaugeStep : 0;
  const int32_t late = onTime + cpu.peakError;
  return late > earliest ? late : earliest;
}

// The release: of the gauge points the falling marker will pass, the one
// whose row is nearest the target's (on a tie, the one nearer the centre).
int32_t releaseCountdown(const CpuPlayer &cpu, const CpuView &view) {
  const int32_t earliest = viewsUntilGapKept(cpu, view);
  int32_t best = 0, bestMiss = -1, bestFromCentre = 0;
  for (int32_t k = 0, index = view.match.gaugeIndex; index > 0; ++k, index -= kGaugeStep) {
    const int32_t row = landingRow(view.match.gaugePeak, index);
    const int32_t miss = std::abs(row - cpu.target.row);
    const int32_t fromCentre = std::abs(row - kBoardCentreRow);
    if (bestMiss < 0 || miss < bestMiss || (miss == bestMiss && fromCentre < bestFromCentre)) {
      best = k;
      bestMiss = miss;
      bestFromCentre = fromCentre;
    }
  }
  const int32_t late = best + cpu.releaseError;
  return late > earliest ? late : earliest;
}

// A step seen for the first time: what to wait for in it.
void enterStep(CpuPlayer &cpu, const CpuView &view) {
  cpu.seenStep = view.sceneStep;
  cpu.stepSeenPass = view.pass;
  cpu.countdown = -1;
  switch (view.sceneStep) {
    case kMatchAnnounce:
      planDart(cpu, view);
      break;
    case kMatchAimSlide:
      cpu.countdown = aimCountdown(cpu, view);
      break;
    case kMatchGaugeReady:
      cpu.wait = cpu.gaugeWait;
      break;
    case kMatchPowerClimbs:
      cpu.countdown = peakCountdown(cpu, view);
      break;
    case kMatchPowerFalls:
      cpu.countdown = releaseCountdown(cpu, view);
      break;
    case kMatchNextDart:
      cpu.wait = drawPause(cpu, kResultPause);
      break;
    case kMatchFinished:
      cpu.wait = drawPause(cpu, kEndPause);
      break;
    case kMatchEndShown:
      cpu.wait = passesFor(kSummaryPause.least + randomBelow(cpu.random, kSummaryPause.extra));
      break;
    default:
      break;
  }
}

// Whether this view is the one to press on.
bool pressDue(CpuPlayer &cpu, const CpuView &view) {
  switch (view.sceneStep) {
    case kMatchAimSlide:
    case kMatchPowerClimbs:
    case kMatchPowerFalls:
      if (cpu.countdown > 0) {
        --cpu.countdown;
        return false;
      }
      return cpu.countdown == 0 && gapKept(cpu, view, true);
    case kMatchAnnounce:
    case kMatchGaugeReady:
    case kMatchNextDart:
    case kMatchFinished:
    case kMatchEndShown:
      return view.pass - cpu.stepSeenPass >= cpu.wait && gapKept(cpu, view, false);
    default:
      return false;
  }
}

CpuHostGameAim hostGameAim = nullptr;

}  // namespace

int32_t cpuSegment(HostDart dart) {
  const int32_t slot = dart.number == kBullNumber ? kCpuSegmentSlots - 1 : dart.number;
  if (slot < 0 || slot >= kCpuSegmentSlots || dart.multiplier < 0 || dart.multiplier > 3) return 0;
  return slot * 4 + dart.multiplier;
}

CpuTarget cpuBestTarget(int32_t level, const CpuWish &wish) {
  const LevelPlan &plan = levelPlan(clampTo(level, 1, kCpuLevelCount));
  int32_t best = plan.mostPoints;
  double bestWorth = 0;
  for (int32_t t = 0; t < kTargets; ++t) {
    const float *p = &plan.segments[static_cast<size_t>(t) * kCpuSegments];
    double worth = 0;
    for (int32_t k = 0; k < kCpuSegments; ++k) worth += static_cast<double>(p[k]) * wish.value[k];
    // The first of equal worth: a fixed choice on every compiler.
    if (t == 0 || worth > bestWorth + 1e-12) {
      best = t;
      bestWorth = worth;
    }
  }
  return targetAt(best);
}

HostDart cpuSimulatedDart(int32_t level, CpuTarget target, uint64_t &random) {
  const BoardGrid &board = boardGrid();
  const int32_t spread = cpuLevels[clampTo(level, 1, kCpuLevelCount) - 1].spread;
  const int32_t column = (target.aimX - kAimLeft) / kAimStep + drawError(random, spread);
  const int32_t row = target.row / kRowStep + drawError(random, spread);
  const int32_t at = targetIndex(clampTo(column, 0, kColumns - 1), clampTo(row, 0, kRows - 1));
  return hostDartFrom(board.score[at], board.sector[at]);
}

void cpuSetHostGameAim(CpuHostGameAim aim) { hostGameAim = aim; }

CpuTarget cpuChooseTarget(int32_t level, int32_t mode, int32_t playerScore) {
  CpuTarget own;
  if (mode >= kHostGameFirst && hostGameAim != nullptr && hostGameAim(level, mode, &own))
    return own;
  const LevelPlan &plan = levelPlan(clampTo(level, 1, kCpuLevelCount));
  const HostGameRow *game = hostGameRow(mode);
  const HostAim aim = game != nullptr ? game->aim : HostAim::kMostPoints;
  if (aim == HostAim::kCheckout && playerScore >= 1 && playerScore <= kFinishPlannedFrom)
    return targetAt(plan.finish[playerScore]);
  if (aim == HostAim::kNextNumber)
    return targetAt(plan.clock[clampTo(playerScore, 1, kClockNumbers)]);
  return targetAt(plan.mostPoints);
}

void cpuPlayerStart(CpuPlayer &cpu, int32_t level, uint64_t seed, bool fast) {
  cpu = CpuPlayer{};
  cpu.level = clampTo(level, 1, kCpuLevelCount);
  cpu.fast = fast;
  cpu.random = seed;
  cpu.seenStep = -1;
  cpu.countdown = -1;
}

bool cpuHoldsButton(CpuPlayer &cpu, const CpuView &view) {
  if (view.sceneStep != cpu.seenStep) enterStep(cpu, view);
  const bool due = pressDue(cpu, view);
  if (cpu.pressedLastView) {  // a press is one pass long
    cpu.pressedLastView = false;
    return false;
  }
  if (!due) return false;
  cpu.pressedLastView = true;
  cpu.hasPressed = true;
  cpu.lastPressPass = view.pass;
  cpu.lastPressAt = view.now;
  // Whatever the press did, the next view looks at its step afresh: a press
  // the game did not take is planned again from where the throw is then.
  cpu.seenStep = -1;
  return true;
}

void cpuSeatsStart(CpuSeats &seats, int32_t playerCount, const int32_t levels[kMaxPlayers],
                   uint64_t seed, bool fast) {
  seats.playerCount = playerCount;
  uint64_t stream = seed;
  for (int32_t seat = 0; seat < kMaxPlayers; ++seat) {
    seats.levels[seat] = levels[seat];
    // Each seat draws from its own stream, so one seat's choices never
    // shift another's.
    cpuPlayerStart(seats.players[seat], levels[seat], nextRandom(stream), fast);
  }
}

int32_t cpuSeatInCharge(const CpuSeats &seats, const CpuView &view) {
  int32_t thrower = view.match.currentPlayer;
  // A dart's result belongs to its thrower, even when that dart ended the
  // turn and the match has already moved on to the next player.
  if (view.sceneStep == kMatchNextDart && view.match.dartIndex == 0 && seats.playerCount > 0)
    thrower = (thrower + seats.playerCount - 1) % seats.playerCount;
  if (thrower < 0 || thrower >= seats.playerCount) return -1;
  if (view.sceneStep >= kMatchAnnounce && view.sceneStep <= kMatchNextDart)
    return seats.levels[thrower] != kCpuPerson ? thrower : -1;
  if (view.sceneStep >= kMatchFinished && view.sceneStep <= kMatchEndShown) {
    for (int32_t seat = 0; seat < seats.playerCount; ++seat)
      if (seats.levels[seat] == kCpuPerson) return -1;
    return thrower;
  }
  return -1;
}

bool cpuSeatsHoldButton(CpuSeats &seats, const CpuView &view) {
  const int32_t seat = cpuSeatInCharge(seats, view);
  return seat >= 0 && cpuHoldsButton(seats.players[seat], view);
}

void cpuSeatsFollow(CpuSeats &seats, const CpuView &view) {
  const int32_t seat = cpuSeatInCharge(seats, view);
  if (seat < 0) return;
  CpuPlayer &cpu = seats.players[seat];
  // Every press of a match played straight through moves it to another
  // step, and the seat then looks at that step afresh: the same steps are
  // entered here, in the same order.
  if (view.sceneStep != cpu.seenStep) enterStep(cpu, view);
}
