// What a listener makes of a stretch of the headless mixer's output: how
// loud each ear is, the side, the pitch of the tone and whether a short
// sharp mark (a tick, a chime) struck in it. Read from the samples alone.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/headless/headless.h"

struct Heard {
  size_t frames = 0;
  double left = 0;  // root mean square, 16-bit units
  double right = 0;
  double hz = 0;  // the tone's pitch; 0 when too few crossings
  bool mark = false;
  bool tone() const { return left + right > 400; }
  // -1 (all left) to 1 (all right), undoing the equal-power pan.
  double pan() const {
    const double l2 = left * left;
    const double r2 = right * right;
    if (l2 + r2 <= 0) return 0;
    return 2 / 3.14159265358979 * std::asin((r2 - l2) / (r2 + l2));
  }
};

// A change of the voice eases in over a fraction of a millisecond: the
// first millisecond of a stretch is left out of its measures.
constexpr size_t kSettleFrames = kHeadlessMixRate / 1000;
// A step between two samples this large is no soft tone's: a mark struck.
constexpr int32_t kMarkStep = 1000;

inline Heard hear(const std::vector<int16_t> &stereo) {
  Heard h;
  h.frames = stereo.size() / 2;
  std::vector<double> mono;
  double l2 = 0;
  double r2 = 0;
  for (size_t i = 0; i < h.frames; ++i) {
    const int32_t l = stereo[2 * i];
    const int32_t r = stereo[2 * i + 1];
    if (i > 0) {
      const int32_t step = (l + r) - (stereo[2 * i - 2] + stereo[2 * i - 1]);
      if (std::abs(step) > kMarkStep) h.mark = true;
    }
    if (i < kSettleFrames) continue;
    l2 += double(l) * l;
    r2 += double(r) * r;
    mono.push_back(double(l) + r);
  }
  if (mono.empty()) return h;
  h.left = std::sqrt(l2 / mono.size());
  h.right = std::sqrt(r2 / mono.size());
  // Rising zero crossings, placed between samples by straight lines.
  double first = -1;
  double last = -1;
  int crossings = 0;
  for (size_t i = 1; i < mono.size(); ++i) {
    if (mono[i - 1] < 0 && mono[i] >= 0) {
      const double at = double(i - 1) + (-mono[i - 1]) / (mono[i] - mono[i - 1]);
      if (first < 0) first = at;
      last = at;
      ++crossings;
    }
  }
  if (crossings >= 2) h.hz = (crossings - 1) * double(kHeadlessMixRate) / (last - first);
  return h;
}

// The mixer's output since the last take.
inline std::vector<int16_t> takeMix() {
  std::vector<int16_t> out(2 * 4 * kHeadlessMixRate);
  out.resize(2 * headlessTakeMix(out.data(), out.size() / 2));
  return out;
}
