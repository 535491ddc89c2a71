#include "platform/common/view.h"

#include <cmath>
#include <cstddef>
#include <cstring>

namespace shared {

View computeView(int areaW, int areaH) {
  View v{0, 0, 0, 0, 0};
  if (areaW <= 0 || areaH <= 0) return v;
  int sw = areaW / kDisplayWidth;
  int sh = areaH / kDisplayHeight;
  int s = sw < sh ? sw : sh;
  if (s >= 1) {
    v.scale = s;
    v.w = kDisplayWidth * s;
    v.h = kDisplayHeight * s;
  } else if (static_cast<int64_t>(areaW) * kDisplayHeight <=
             static_cast<int64_t>(areaH) * kDisplayWidth) {
    // Narrower than 3:4: the width limits.
    v.w = areaW;
    v.h = static_cast<int>(static_cast<int64_t>(areaW) * kDisplayHeight / kDisplayWidth);
  } else {
    v.h = areaH;
    v.w = static_cast<int>(static_cast<int64_t>(areaH) * kDisplayWidth / kDisplayHeight);
  }
  if (v.w < 1) v.w = 1;
  if (v.h < 1) v.h = 1;
  v.x = (areaW - v.w) / 2;
  v.y = (areaH - v.h) / 2;
  return v;
}

bool mapToDisplay(const View &view, double ax, double ay, int *dx, int *dy) {
  if (view.w <= 0 || view.h <= 0) return false;
  if (!(std::isfinite(ax) && std::isfinite(ay))) return false;
  double rx = ax - view.x;
  double ry = ay - view.y;
  if (rx < 0 || ry < 0 || rx >= view.w || ry >= view.h) return false;
  int x = static_cast<int>(std::floor(rx * kDisplayWidth / view.w));
  int y = static_cast<int>(std::floor(ry * kDisplayHeight / view.h));
  // Rounding at the far edge must never leave the display.
  if (x > kDisplayWidth - 1) x = kDisplayWidth - 1;
  if (y > kDisplayHeight - 1) y = kDisplayHeight - 1;
  *dx = x;
  *dy = y;
  return true;
}

bool changedRows(const uint16_t *a, const uint16_t *b, int *firstRow, int *lastRow) {
  const size_t rowBytes = kDisplayWidth * sizeof(uint16_t);
  int first = 0;
  while (first < kDisplayHeight &&
         std::memcmp(a + first * kDisplayWidth, b + first * kDisplayWidth, rowBytes) == 0) {
    ++first;
  }
  if (first == kDisplayHeight) return false;
  int last = kDisplayHeight - 1;
  while (last > first &&
         std::memcmp(a + last * kDisplayWidth, b + last * kDisplayWidth, rowBytes) == 0) {
    --last;
  }
  *firstRow = first;
  *lastRow = last;
  return true;
}

}  // namespace shared
