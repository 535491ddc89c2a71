// Window scale and the scaled copy of the frame.
#include <cstring>

#include "platform/sdl/logic.h"

namespace sdlb {

namespace {

// Room left for the window frame, title bar and panels.
constexpr int kFrameMarginW = 16;
constexpr int kFrameMarginH = 48;

}  // namespace

int chooseWindowScale(int usableW, int usableH) {
  int sw = (usableW - kFrameMarginW) / kDisplayWidth;
  int sh = (usableH - kFrameMarginH) / kDisplayHeight;
  int s = sw < sh ? sw : sh;
  return s < 2 ? 2 : s;
}

void scaleFrame(const uint16_t *frame, const uint32_t *table, const View &view, uint8_t *dst,
                int dstPitch) {
  int top, rows;
  scaleFrameRows(frame, table, view, dst, dstPitch, 0, kDisplayHeight - 1, &top, &rows);
}

void scaleFrameRows(const uint16_t *frame, const uint32_t *table, const View &view, uint8_t *dst,
                    int dstPitch, int firstRow, int lastRow, int *top, int *rows) {
  *top = view.y;
  *rows = 0;
  if (view.w <= 0 || view.h <= 0) return;
  if (firstRow < 0) firstRow = 0;
  if (lastRow > kDisplayHeight - 1) lastRow = kDisplayHeight - 1;
  if (view.scale >= 1) {
    if (firstRow > lastRow) return;
    const int s = view.scale;
    *top = view.y + firstRow * s;
    *rows = (lastRow - firstRow + 1) * s;
    for (int y = firstRow; y <= lastRow; ++y) {
      const uint16_t *src = frame + y * kDisplayWidth;
      uint8_t *rowStart = dst + static_cast<ptrdiff_t>(view.y + y * s) * dstPitch;
      uint32_t *row = reinterpret_cast<uint32_t *>(rowStart) + view.x;
      if (s == 1) {
        for (int x = 0; x < kDisplayWidth; ++x) row[x] = table[src[x]];
      } else {
        uint32_t *out = row;
        for (int x = 0; x < kDisplayWidth; ++x) {
          uint32_t c = table[src[x]];
          for (int k = 0; k < s; ++k) *out++ = c;
        }
      }
      // The other rows of this pixel row are copies of the first.
      for (int k = 1; k < s; ++k) {
        std::memcpy(rowStart + static_cast<ptrdiff_t>(k) * dstPitch + view.x * 4, row,
                    static_cast<size_t>(view.w) * 4);
      }
    }
    return;
  }
  // Below 1x: nearest-neighbour sampling, always the whole picture.
  *rows = view.h;
  for (int y = 0; y < view.h; ++y) {
    int sy = static_cast<int>(static_cast<int64_t>(y) * kDisplayHeight / view.h);
    const uint16_t *src = frame + sy * kDisplayWidth;
    uint32_t *row =
        reinterpret_cast<uint32_t *>(dst + static_cast<ptrdiff_t>(view.y + y) * dstPitch) + view.x;
    for (int x = 0; x < view.w; ++x) {
      row[x] = table[src[static_cast<int64_t>(x) * kDisplayWidth / view.w]];
    }
  }
}

}  // namespace sdlb
