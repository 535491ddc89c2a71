// Fades move each colour of a palette one step nearer a goal (another palette,
// or white, or black) per call. Nothing is remembered between calls: a screen
// fades by calling once a frame until it is told kFadeDone.
#include "gfx/surface.h"

namespace {

// One step of channel c toward t. The new value is kept within 0..255, so
// even a step below 1 can never wrap a byte round.
bool stepChannel(uint8_t &c, int32_t t, int32_t step) {
  int32_t v = c;
  if (v == t) return false;
  if (v > t) {
    v = v - t > step ? v - step : t;
  } else {
    v = t - v > step ? v + step : t;
  }
  c = static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
  return true;
}

}  // namespace

int32_t fadeToward(int32_t slot, const PaletteEntry *target, int32_t step) {
  if (!validSurfaceSlot(slot)) return kFadeFailed;
  PaletteEntry *palette = surfaceTable[slot].palette;
  if (palette == nullptr || target == nullptr) return kFadeFailed;
  bool changed = false;
  for (int32_t i = 0; i < kPaletteEntries; ++i) {
    changed |= stepChannel(palette[i].red, target[i].red, step);
    changed |= stepChannel(palette[i].green, target[i].green, step);
    changed |= stepChannel(palette[i].blue, target[i].blue, step);
  }
  return changed ? kFadeStepped : kFadeDone;
}

int32_t fadeToWhiteOrBlack(int32_t slot, int32_t toWhite, int32_t step) {
  if (!validSurfaceSlot(slot)) return kFadeFailed;
  PaletteEntry *palette = surfaceTable[slot].palette;
  if (palette == nullptr) return kFadeFailed;
  const int32_t limit = toWhite != 0 ? 255 : 0;
  bool changed = false;
  for (int32_t i = 0; i < kPaletteEntries; ++i) {
    changed |= stepChannel(palette[i].red, limit, step);
    changed |= stepChannel(palette[i].green, limit, step);
    changed |= stepChannel(palette[i].blue, limit, step);
  }
  return changed ? kFadeStepped : kFadeDone;
}
