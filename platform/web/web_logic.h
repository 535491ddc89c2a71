// The browser backend's pure parts: the pass pacer driven by animation
// frames, where the picture goes on the page, and the 5-6-5 to RGBA copy.
// Nothing here calls the browser, so the unit tests link these directly.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/common/view.h"

namespace webb {

// --- Pacing: 60 passes a second from animation frames of any rate.

constexpr double kPassMs = 1000.0 / 60.0;
// An animation frame further behind than this many passes (a hidden page,
// a stall) runs one pass and starts a new schedule instead of catching up.
constexpr int kMaxPassesPerFrame = 4;

struct Pacer {
  bool started = false;
  double originMs = 0;  // schedule start, half a pass before a boundary
  int64_t passesRun = 0;
};

// The number of passes to run in the animation frame stamped nowMs
// (milliseconds, as the browser stamps frames), counted as run.
int passesDue(Pacer &pacer, double nowMs);
// Forgets the schedule: the next frame runs one pass and starts anew.
void resetPacer(Pacer &pacer);

// --- Where the picture goes.

// The picture's place in an area of areaW x areaH device pixels. Upright
// (an area taller than wide), at the top of the area, so that the pad sits
// under it with no band above: the largest whole-number scale when it fills
// most of the width, otherwise the largest 3:4 picture that fits. Sideways,
// centred and always the largest that fits, as the desktop's fit mode
// draws it. A picture larger than a whole scale is drawn from the
// whole-number scale *sharpScale (at least 1) and smoothed the rest of the
// way, so pixel edges stay sharp. *sharpScale equals view.scale when no
// smoothing is needed.
shared::View pagePictureView(int areaW, int areaH, int *sharpScale);

// --- Pixels.

// Writes display rows firstRow..lastRow of a 5-6-5 frame as RGBA bytes
// (opaque), each channel widened with its top bits repeated.
void rowsToRgba(const uint16_t *frame, uint8_t *rgba, int firstRow, int lastRow);

}  // namespace webb
