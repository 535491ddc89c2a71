#include "platform/web/web_logic.h"

namespace webb {

using shared::kDisplayHeight;
using shared::kDisplayWidth;
using shared::View;

namespace {

// The whole-number scale is kept when it leaves less than this share of the
// largest picture's width unused; a phone's width left a tenth empty looks
// like a mistake.
constexpr double kWholeScaleMinShare = 0.9;

void startSchedule(Pacer &pacer, double nowMs) {
  pacer.started = true;
  // Pass boundaries fall half a pass away from this frame, so frames that
  // arrive a little early or late still count the same number of passes.
  pacer.originMs = nowMs - 1.5 * kPassMs;
  pacer.passesRun = 1;
}

}  // namespace

int passesDue(Pacer &pacer, double nowMs) {
  if (!pacer.started) {
    startSchedule(pacer, nowMs);
    return 1;
  }
  double elapsed = nowMs - pacer.originMs;
  if (!(elapsed >= 0)) return 0;  // a stamp from before the schedule
  int64_t due = static_cast<int64_t>(elapsed / kPassMs) - pacer.passesRun;
  if (due <= 0) return 0;
  if (due > kMaxPassesPerFrame) {
    startSchedule(pacer, nowMs);
    return 1;
  }
  pacer.passesRun += due;
  return static_cast<int>(due);
}

void resetPacer(Pacer &pacer) { pacer = Pacer{}; }

View pagePictureView(int areaW, int areaH, int *sharpScale) {
  View whole = shared::computeView(areaW, areaH);
  *sharpScale = whole.scale;
  if (whole.w <= 0 || whole.h <= 0) return whole;
  // The largest 3:4 picture that fits.
  View fill = whole;
  if (static_cast<int64_t>(areaW) * kDisplayHeight <= static_cast<int64_t>(areaH) * kDisplayWidth) {
    fill.w = areaW;
    fill.h = static_cast<int>(static_cast<int64_t>(areaW) * kDisplayHeight / kDisplayWidth);
  } else {
    fill.h = areaH;
    fill.w = static_cast<int>(static_cast<int64_t>(areaH) * kDisplayWidth / kDisplayHeight);
  }
  const bool upright = areaH > areaW;
  if (whole.scale >= 1 &&
      (whole.w == fill.w || (upright && whole.w >= kWholeScaleMinShare * fill.w))) {
    if (upright) whole.y = 0;
    return whole;
  }
  fill.x = (areaW - fill.w) / 2;
  fill.y = upright ? 0 : (areaH - fill.h) / 2;
  fill.scale = 0;
  *sharpScale = whole.scale >= 1 ? whole.scale : 1;
  return fill;
}

void rowsToRgba(const uint16_t *frame, uint8_t *rgba, int firstRow, int lastRow) {
  if (firstRow < 0) firstRow = 0;
  if (lastRow > kDisplayHeight - 1) lastRow = kDisplayHeight - 1;
  for (int i = firstRow * kDisplayWidth; i < (lastRow + 1) * kDisplayWidth; ++i) {
    uint32_t v = frame[i];
    uint32_t r = (v >> 11) & 31, g = (v >> 5) & 63, b = v & 31;
    uint8_t *p = rgba + static_cast<size_t>(i) * 4;
    p[0] = static_cast<uint8_t>((r << 3) | (r >> 2));
    p[1] = static_cast<uint8_t>((g << 2) | (g >> 4));
    p[2] = static_cast<uint8_t>((b << 3) | (b >> 2));
    p[3] = 255;
  }
}

}  // namespace webb
