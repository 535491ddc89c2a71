// Frame pacing arithmetic and frame-interval statistics.
#include <algorithm>

#include "platform/sdl/logic.h"

namespace sdlb {

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

}  // namespace sdlb
