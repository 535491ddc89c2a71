#include "host/seats.h"

#include <cstdio>

#include "host/cpu.h"

namespace {

HostSeat seats[kSeatCount];
bool seatsReady;

void ready() {
  if (!seatsReady) hostSeatsReset();
}

}  // namespace

void hostSeatsReset() {
  for (int32_t i = 0; i < kSeatCount; ++i) {
    std::snprintf(seats[i].name, sizeof seats[i].name, "%s", defaultPlayerName(i).c_str());
    seats[i].cpuLevel = kSeatPerson;
    seats[i].friendSeat = false;
  }
  seatsReady = true;
}

HostSeat &hostSeat(int32_t seat) {
  ready();
  return seats[seat >= 0 && seat < kSeatCount ? seat : 0];
}

const char *hostSeatName(int32_t seat) {
  const HostSeat &s = hostSeat(seat);
  // A computer keeps no person's name: until renamed it goes by its level.
  if (s.cpuLevel >= 1 && s.cpuLevel <= kCpuLevelCount &&
      s.name == defaultPlayerName(seat >= 0 && seat < kSeatCount ? seat : 0))
    return cpuLevels[s.cpuLevel - 1].name;
  return s.name;
}

bool hostSeatIsCpu(int32_t seat) { return hostSeat(seat).cpuLevel != kSeatPerson; }
