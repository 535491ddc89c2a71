// Frames at 60 a second on a backend's own clock, and the frame-interval
// statistics a backend prints on request (TOBELYN_FRAME_STATS) when its
// window goes away.
#pragma once

#include <cstdint>

namespace shared {

constexpr int64_t kFramePeriodNs = 16666667;  // 60 frames a second

// The deadline of the frame after one whose deadline was `deadline`, seen
// at time `now`. A late frame (by more than one period) starts a new
// schedule from now instead of rushing to catch up.
int64_t nextDeadline(int64_t deadline, int64_t now, int64_t period);

// Mean and 99th percentile of a set of frame intervals (microseconds).
// Sorts the array in place.
void frameStats(uint32_t *intervalsUs, int count, double *meanUs, uint32_t *p99Us);

// A backend's clock, in nanoseconds.
struct FrameClock {
  int64_t (*now)();                  // monotonic
  void (*sleepUntil)(int64_t when);  // on the same clock as now
  int64_t (*sinceStart)();           // since the process started; <= 0 unknown
};

constexpr int kMaxFrameIntervals = 1 << 16;

struct FramePacer {
  FrameClock clock;
  int64_t deadline = 0;  // 0: no schedule yet
  bool statsOn = false;
  uint32_t intervalsUs[kMaxFrameIntervals] = {};
  int intervalCount = 0;
  int64_t lastShownNs = 0;      // 0: the next shown frame starts a new run
  int64_t firstFrameAgeNs = 0;  // 0: no frame shown yet
};

// Waits for the frame's deadline and sets the next one.
void pace(FramePacer &pacer);
// Notes a frame shown (when the statistics are on).
void recordShown(FramePacer &pacer);
// The next interval is not measured: nothing was shown in between.
inline void skipInterval(FramePacer &pacer) { pacer.lastShownNs = 0; }
// Prints the statistics on stderr (when on) and starts them afresh; `more`
// is added at the end of the line.
void reportStats(FramePacer &pacer, const char *more);

}  // namespace shared
