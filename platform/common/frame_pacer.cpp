// Frame pacing and frame-interval statistics.
#include "platform/common/frame_pacer.h"

#include <algorithm>
#include <cstdio>

namespace shared {

int64_t nextDeadline(int64_t deadline, int64_t now, int64_t period) {
  int64_t next = deadline + period;
  // On time or a little late: keep the schedule, so that the average stays
  // at one period. More than a period late (a stall, a suspended process):
  // start again from now rather than running a burst of frames. A deadline
  // of 0 means no schedule yet.
  if (deadline == 0 || next < now) return now + period;
  return next;
}

void frameStats(uint32_t *intervalsUs, int count, double *meanUs, uint32_t *p99Us) {
  *meanUs = 0;
  *p99Us = 0;
  if (count <= 0) return;
  double sum = 0;
  for (int i = 0; i < count; ++i) sum += intervalsUs[i];
  *meanUs = sum / count;
  std::sort(intervalsUs, intervalsUs + count);
  // Nearest rank: the smallest value with at least 99% of the set at or
  // below it.
  int rank = static_cast<int>((static_cast<int64_t>(count) * 99 + 99) / 100);
  *p99Us = intervalsUs[rank - 1];
}

void pace(FramePacer &pacer) {
  int64_t now = pacer.clock.now();
  if (pacer.deadline != 0 && now < pacer.deadline) {
    pacer.clock.sleepUntil(pacer.deadline);
    now = pacer.clock.now();
  }
  pacer.deadline = nextDeadline(pacer.deadline, now, kFramePeriodNs);
}

void recordShown(FramePacer &pacer) {
  if (!pacer.statsOn) return;
  const int64_t now = pacer.clock.now();
  if (pacer.firstFrameAgeNs == 0) pacer.firstFrameAgeNs = pacer.clock.sinceStart();
  if (pacer.lastShownNs != 0 && pacer.intervalCount < kMaxFrameIntervals) {
    pacer.intervalsUs[pacer.intervalCount++] =
        static_cast<uint32_t>((now - pacer.lastShownNs) / 1000);
  }
  pacer.lastShownNs = now;
}

void reportStats(FramePacer &pacer, const char *more) {
  if (!pacer.statsOn) return;
  double mean;
  uint32_t p99;
  const int n = pacer.intervalCount;
  frameStats(pacer.intervalsUs, n, &mean, &p99);
  const double firstMs = pacer.firstFrameAgeNs > 0 ? pacer.firstFrameAgeNs / 1e6 : -1.0;
  std::fprintf(stderr,
               "tobelyn: first frame %.1f ms after start; %d frame intervals, mean %.2f ms, "
               "p99 %.2f ms%s\n",
               firstMs, n, mean / 1000.0, p99 / 1000.0, more);
  std::fflush(stderr);
  pacer.intervalCount = 0;
}

}  // namespace shared
