// Fit mode: the picture as large as the window allows, enlarged by the
// largest whole number by repeating pixels and by the rest with bilinear
// filtering between those enlarged pixels ("sharp bilinear"), for every
// backend that draws into a window of its own.
#pragma once

#include <cstdint>

#include "platform/common/view.h"

namespace shared {

// The largest picture of the display's shape that fits the window, centred;
// scale is the whole-number part of its enlargement (0 below 1x).
View computeFitView(int windowW, int windowH);

// For each window column (or row) of a fitted picture, the two display
// columns (rows) it blends and the weight of the second, 0..256.
struct FitTap {
  int16_t s0, s1;
  uint16_t w;
};
constexpr int kFitMaxSide = 8192;
struct FitTaps {
  FitTap x[kFitMaxSide];
  FitTap y[kFitMaxSide];
};
// False when the view is empty or larger than kFitMaxSide on a side.
bool buildFitTaps(const View &view, FitTaps *taps);

// Draws display rows firstRow..lastRow of the 5-6-5 frame into a 32-bit
// destination at the fitted view's place (sharp bilinear: whole-number
// enlargement, then bilinear between the enlarged pixels). Returns the
// window rows touched as [*top, *top + *rows).
void fitFrameRows(const uint16_t *frame, const uint32_t *table, const View &view,
                  const FitTaps &taps, uint8_t *dst, int dstPitch, int firstRow, int lastRow,
                  int *top, int *rows);

}  // namespace shared
