// Where the 240x320 picture lies in a window or page area, how a pointer
// position maps back to a display pixel, which rows changed between two
// frames and how a 5-6-5 pixel becomes a window's 32-bit one: the decisions
// every backend that shows the picture shares.
#pragma once

#include <cstdint>

namespace shared {

constexpr int kDisplayWidth = 240;
constexpr int kDisplayHeight = 320;

// Where the picture lies inside an area of areaW x areaH pixels.
struct View {
  int x, y;   // top-left corner of the picture in the area
  int w, h;   // picture size in area pixels
  int scale;  // whole-number scale, or 0 when the area is smaller than 1x
};
// The largest whole-number scale that fits, centred; when even 1x does not
// fit, the largest picture of the right shape, so something is always shown.
View computeView(int areaW, int areaH);

// Maps an area point (pixels, possibly fractional for touches) to the
// display point under it. Returns false when the point lies outside the
// picture (on the letterbox bars or outside the area).
bool mapToDisplay(const View &view, double ax, double ay, int *dx, int *dy);

// The first and last of the 320 rows where two frames differ; false when
// they are the same.
bool changedRows(const uint16_t *a, const uint16_t *b, int *firstRow, int *lastRow);

// Builds the 65536-entry table from 5-6-5 pixels to a window's 32-bit
// pixels, given the window format's channel masks (alpha set to opaque).
void build565Table(uint32_t *table, uint32_t rmask, uint32_t gmask, uint32_t bmask, uint32_t amask);

}  // namespace shared
