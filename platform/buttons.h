// The game's live button codes, for inputs that are buttons rather than keys
// (a gamepad's). The game hands over its table of eight signed 16-bit key
// codes, in the order of GXKeyList (Up, Down, Left, Right, A, B, C, Start),
// once at start-up; a backend reads it at each press, so a button redefined
// on the option screen is followed at once.
#pragma once

#include <cstdint>

void platformUseButtonCodes(const int16_t *codes);
// The table handed over, or null before start-up.
const int16_t *platformButtonCodes();
