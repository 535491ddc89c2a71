// The rectangle a copy from a surface touches on a target of a given size,
// shared by blit (the destination surface) and present (the display), so
// that both place and cut a rectangle alike.
#pragma once

#include <cstdint>

// Source corner (x, y), size (w, h) and target corner (px, py), in 64 bits
// so that no argument can overflow the sums below.
struct CopyArea {
  int64_t x, y, w, h, px, py;
};

// A width of 0 stands for the whole source. Returns false when the rectangle
// lies wholly beyond the target (nothing is to be done at all); otherwise
// cuts it to the target, after which w or h may be 0 or less (nothing to
// copy). The source bounds are the caller's to check.
inline bool clipCopy(CopyArea &r, int64_t sourceW, int64_t sourceH, int64_t targetW,
                     int64_t targetH) {
  if (r.w == 0) {
    r.w = sourceW;
    r.h = sourceH;
  }
  if (r.px > targetW || r.py > targetH || r.w + r.px < 0 || r.h + r.py < 0) return false;
  if (r.px < 0) {
    r.x -= r.px;
    r.w += r.px;
    r.px = 0;
  }
  if (r.py < 0) {
    r.y -= r.py;
    r.h += r.py;
    r.py = 0;
  }
  if (r.px + r.w > targetW) r.w = targetW - r.px;
  if (r.py + r.h > targetH) r.h = targetH - r.py;
  return true;
}
