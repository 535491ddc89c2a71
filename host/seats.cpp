#include "host/seats.h"

#include <cstdio>

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
  }
  seatsReady = true;
}

HostSeat &hostSeat(int32_t seat) {
  ready();
  return seats[seat >= 0 && seat < kSeatCount ? seat : 0];
}

const char *hostSeatName(int32_t seat) { return hostSeat(seat).name; }

bool hostSeatIsCpu(int32_t seat) { return hostSeat(seat).cpuLevel != kSeatPerson; }
