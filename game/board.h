// The dartboard's geometry: its rings, its angle bands and the numbers in
// them. This file is the one place these numbers are written. The match
// scores a landing with them, and tools/artgen/board.py reads this very file
// to paint the board, so the picture always shows what a dart there scores.
// The generator picks the tables out by name: keep each one a plain list of
// numbers (comments and line breaks are fine).
#pragma once

#include <cstdint>

// The rings from the centre outwards.
enum BoardRing : int32_t {
  kRingDoubleBull,
  kRingSingleBull,
  kRingInnerSingle,
  kRingTriple,
  kRingOuterSingle,
  kRingDouble,
  kRingMiss,  // past the double ring: off the scoring area
};

// How far from the centre each ring reaches, in whole pixels, inclusive.
inline constexpr int32_t ringReach[kRingMiss] = {3, 8, 44, 52, 79, 87};

// A landing's angle from the horizontal (whole degrees, 0 to 89) falls in
// one of six bands; each limit is the first angle past its band. They are
// not evenly spaced, and that is how the board has always scored.
constexpr int32_t kAngleBands = 6;
inline constexpr int32_t angleBandLimits[kAngleBands] = {10, 29, 47, 65, 83, 91};

// The number hit in each band and quadrant, at band * kQuadrants + quadrant.
// Quadrant 0 is above and right of the centre, 1 above and left, 2 below and
// left, 3 below and right; the centre row counts as above and the centre
// column as right.
constexpr int32_t kQuadrants = 4;
inline constexpr int32_t sectorTable[kAngleBands * kQuadrants] = {
    6,  11, 11, 6,   // band 0
    13, 14, 8,  10,  // band 1
    4,  9,  16, 15,  // band 2
    18, 12, 7,  2,   // band 3
    1,  5,  19, 17,  // band 4
    20, 20, 3,  3,   // band 5
};

// AS-DESIGNED: radians to degrees by a factor a hair short of 180/pi, as the
// landing has always been converted; a point on a band's edge may score
// otherwise with the exact one.
inline constexpr double kDegreesPerRadian = 57.29577319531843;

// Where a point lands on the board and what a dart there scores.
struct BoardPoint {
  int32_t distance;  // from the centre, whole pixels
  int32_t angle;     // from the horizontal, whole degrees; 89 on the centre column
  int32_t quadrant;
  int32_t sector;  // the number of the point's bed, whatever its ring
  BoardRing ring;
  int32_t score;
};

// Scores the point dx pixels right of the board's centre and dy below it.
BoardPoint boardPointAt(int32_t dx, int32_t dy);
