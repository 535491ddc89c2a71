// The clock tests drive: once set, timeGetTime reads it and it moves only
// when told. The headless backend always reads it; the browser backend reads
// it after the page's tests set it, so that its frames can be compared with
// the headless build's.
#pragma once

#include <cstdint>

namespace shared {

// Sets the clock and makes it the one timeGetTime reads.
void testClockSet(uint32_t ms);
// Moves the clock on; it wraps like the real one.
void testClockAdvance(uint32_t ms);
bool testClockSetByTest();
uint32_t testClockNow();
// Back to zero and not set, as at the start of the process.
void testClockReset();

}  // namespace shared
