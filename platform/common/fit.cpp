// Fit mode: the picture as large as the window allows, enlarged by the
// largest whole number by repeating pixels and by the rest with bilinear
// filtering between those enlarged pixels ("sharp bilinear"). Edges stay
// crisp: at most one blended pixel lies between two source pixels.
#include "platform/common/fit.h"

#include <cstddef>
#include <cstring>

namespace shared {

namespace {

// a * (256 - w) + b * w, per 8-bit channel of two 32-bit pixels.
inline uint32_t mix(uint32_t a, uint32_t b, uint32_t w) {
  const uint32_t rb = ((a & 0x00FF00FFu) * (256 - w) + (b & 0x00FF00FFu) * w) >> 8;
  const uint32_t ag = ((a >> 8) & 0x00FF00FFu) * (256 - w) + ((b >> 8) & 0x00FF00FFu) * w;
  return (rb & 0x00FF00FFu) | (ag & 0xFF00FF00u);
}

// Where output pixel i of n takes its colour from, along one axis of
// `source` pixels enlarged by `whole`: source pixels s0 and s1, with weight
// 0..256 for s1.
void axisTaps(int n, int source, int whole, FitTap *taps) {
  const int64_t big = static_cast<int64_t>(source) * whole;  // the enlarged size
  for (int i = 0; i < n; ++i) {
    // The output pixel's centre in enlarged pixels, in 1/256ths, less half
    // a pixel: the position between two enlarged pixel centres.
    int64_t u = ((2 * i + 1) * big * 256) / (2 * static_cast<int64_t>(n)) - 128;
    if (u < 0) u = 0;
    int64_t p = u >> 8;
    int w = static_cast<int>(u & 255);
    int s0 = static_cast<int>(p / whole);
    int s1 = static_cast<int>((p + 1) / whole);
    if (s1 >= source) s1 = source - 1;
    if (s0 >= source) s0 = source - 1;
    taps[i].s0 = static_cast<int16_t>(s0);
    taps[i].s1 = static_cast<int16_t>(s1);
    taps[i].w = static_cast<uint16_t>(s0 == s1 ? 0 : w);
  }
}

}  // namespace

View computeFitView(int windowW, int windowH) {
  View v{0, 0, 0, 0, 0};
  if (windowW <= 0 || windowH <= 0) return v;
  if (static_cast<int64_t>(windowW) * kDisplayHeight <=
      static_cast<int64_t>(windowH) * kDisplayWidth) {
    v.w = windowW;
    v.h = static_cast<int>(static_cast<int64_t>(windowW) * kDisplayHeight / kDisplayWidth);
  } else {
    v.h = windowH;
    v.w = static_cast<int>(static_cast<int64_t>(windowH) * kDisplayWidth / kDisplayHeight);
  }
  if (v.w < 1) v.w = 1;
  if (v.h < 1) v.h = 1;
  int sw = v.w / kDisplayWidth, sh = v.h / kDisplayHeight;
  v.scale = sw < sh ? sw : sh;
  v.x = (windowW - v.w) / 2;
  v.y = (windowH - v.h) / 2;
  return v;
}

bool buildFitTaps(const View &view, FitTaps *taps) {
  if (view.w <= 0 || view.h <= 0 || view.w > kFitMaxSide || view.h > kFitMaxSide) return false;
  const int whole = view.scale >= 1 ? view.scale : 1;
  axisTaps(view.w, kDisplayWidth, whole, taps->x);
  axisTaps(view.h, kDisplayHeight, whole, taps->y);
  return true;
}

void fitFrameRows(const uint16_t *frame, const uint32_t *table, const View &view,
                  const FitTaps &taps, uint8_t *dst, int dstPitch, int firstRow, int lastRow,
                  int *top, int *rows) {
  *top = view.y;
  *rows = 0;
  if (firstRow < 0) firstRow = 0;
  if (lastRow > kDisplayHeight - 1) lastRow = kDisplayHeight - 1;
  if (view.w <= 0 || view.h <= 0 || firstRow > lastRow) return;
  // The window rows that read a changed display row: the taps only grow
  // down the picture, so they form one run.
  int y0 = 0;
  while (y0 < view.h && taps.y[y0].s1 < firstRow) ++y0;
  int y1 = view.h - 1;
  while (y1 >= y0 && taps.y[y1].s0 > lastRow) --y1;
  if (y0 > y1) return;
  *top = view.y + y0;
  *rows = y1 - y0 + 1;

  uint32_t mixed[kDisplayWidth];
  const uint32_t *prevOut = nullptr;
  FitTap prev{-1, -1, 0};
  for (int y = y0; y <= y1; ++y) {
    const FitTap t = taps.y[y];
    uint32_t *out =
        reinterpret_cast<uint32_t *>(dst + static_cast<ptrdiff_t>(view.y + y) * dstPitch) + view.x;
    if (prevOut != nullptr && t.s0 == prev.s0 && t.s1 == prev.s1 && t.w == prev.w) {
      // Inside one enlarged pixel row: the same as the row above.
      std::memcpy(out, prevOut, static_cast<size_t>(view.w) * 4);
      continue;
    }
    const uint16_t *a = frame + t.s0 * kDisplayWidth;
    const uint16_t *b = frame + t.s1 * kDisplayWidth;
    if (t.w == 0) {
      for (int x = 0; x < kDisplayWidth; ++x) mixed[x] = table[a[x]];
    } else {
      for (int x = 0; x < kDisplayWidth; ++x) mixed[x] = mix(table[a[x]], table[b[x]], t.w);
    }
    for (int x = 0; x < view.w; ++x) {
      const FitTap &c = taps.x[x];
      out[x] = c.w == 0 ? mixed[c.s0] : mix(mixed[c.s0], mixed[c.s1], c.w);
    }
    prevOut = out;
    prev = t;
  }
}

}  // namespace shared
