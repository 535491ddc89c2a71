// Every landing the throw can produce, and the gauge arc, folded into one
// hash. A build made by another compiler or against another maths library
// (the browser's, Windows') proves with it that it scores exactly as the
// Linux build: a different sin, cos, atan or sqrt could move a truncated
// angle or a rounded arc point by one.
#pragma once

#include <cstdint>

// FNV-1a, 64 bits, over: the gauge arc as built at start-up, then, for every
// aim column the pointer can stop at (16 to 208), every peak and every
// release (0 to kGaugePoints - 1), the landing row, distance, angle,
// quadrant, sector and score. Builds the tables itself; leaves match,
// gameMode and the effects changed.
//
// The sine and cosine tables themselves are left out: they only feed the
// arc, and maths libraries legitimately differ in their last bits where the
// true value is almost zero (MinGW's cos of 90 degrees is 6.1230e-17 where
// glibc's is 6.1232e-17) without moving any arc point or landing.
uint64_t landingTableHash();
