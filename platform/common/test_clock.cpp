#include "platform/common/test_clock.h"

namespace {
bool setByTest = false;
uint32_t now = 0;
}  // namespace

void shared::testClockSet(uint32_t ms) {
  setByTest = true;
  now = ms;
}

void shared::testClockAdvance(uint32_t ms) { now += ms; }
bool shared::testClockSetByTest() { return setByTest; }
uint32_t shared::testClockNow() { return now; }

void shared::testClockReset() {
  setByTest = false;
  now = 0;
}
