#include "host/trend.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int32_t kLabelRoom = 30;  // the labels left of the plot
constexpr int32_t kLastRoom = 30;   // the last value right of it
constexpr int32_t kPoint = 3;

}  // namespace

TrendScale trendScale(const std::vector<double> &values) {
  if (values.empty()) return {0, 1};
  const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
  TrendScale s = {*lo, *hi};
  if (s.hi - s.lo < 1) {
    const double mid = (s.hi + s.lo) / 2;
    s = {mid - 0.5, mid + 0.5};
  }
  return s;
}

int32_t trendRow(double value, const TrendScale &scale, int32_t top, int32_t h) {
  const double t = (value - scale.lo) / (scale.hi - scale.lo);
  return top + static_cast<int32_t>(std::lround((1 - t) * (h - 1)));
}

void drawTrend(HostLayer &layer, const HostRect &box, const std::vector<double> &values) {
  const int32_t plotX = box.x + kLabelRoom;
  const int32_t plotW = box.w - kLabelRoom - kLastRoom;
  char text[16];
  // Fewer than two points make no line: the one value, said once.
  if (values.size() < 2) {
    if (values.empty()) {
      layerText(layer, plotX, box.y + (box.h - kTextHeight) / 2, "no match yet", kQuietColour);
      return;
    }
    std::snprintf(text, sizeof text, "%.1f", values[0]);
    layerText(layer, plotX, box.y + (box.h - kTextHeight) / 2, text, kChosenColour);
    return;
  }
  // The plot's frame: a rule on the left and at the foot.
  layerFill(layer, plotX - 2, box.y, 1, box.h, kEdgeColour);
  layerFill(layer, plotX - 2, box.y + box.h, plotW + 4, 1, kEdgeColour);
  const TrendScale scale = trendScale(values);
  std::snprintf(text, sizeof text, "%.1f", *std::max_element(values.begin(), values.end()));
  layerText(layer, plotX - 5 - textWidth(text), box.y, text, kQuietColour);
  std::snprintf(text, sizeof text, "%.1f", *std::min_element(values.begin(), values.end()));
  layerText(layer, plotX - 5 - textWidth(text), box.y + box.h - kTextHeight, text, kQuietColour);
  const int32_t n = static_cast<int32_t>(values.size());
  const int32_t rows = box.h - kPoint + 1;  // a point's top row: its 3 pixels stay inside
  int32_t lastX = 0, lastY = 0;
  for (int32_t i = 0; i < n; ++i) {
    const int32_t px = plotX + (n > 1 ? i * (plotW - kPoint) / (n - 1) : (plotW - kPoint) / 2);
    const int32_t py = trendRow(values[i], scale, box.y, rows);
    // Joined by steps a pixel wide between the points.
    if (i > 0)
      for (int32_t s = 1; s < px - lastX; ++s)
        layerFill(layer, lastX + 1 + s, lastY + 1 + (py - lastY) * s / (px - lastX), 1, 1,
                  kQuietColour);
    layerFill(layer, px, py, kPoint, kPoint, kChosenColour);
    lastX = px;
    lastY = py;
  }
  std::snprintf(text, sizeof text, "%.1f", values.back());
  layerText(layer, lastX + kPoint + 4, std::min(lastY, box.y + box.h - kTextHeight), text,
            kChosenColour);
}

HostColour heatColour(double t) {
  // Stops along a perceptually even scale that colour-blind eyes read in
  // order too: dark blue, blue, teal, green, yellow.
  static const HostColour kStops[] = {
      {40, 60, 150}, {50, 110, 200}, {30, 170, 160}, {110, 210, 80}, {253, 231, 37}};
  constexpr int32_t kSegments = 4;
  t = std::clamp(t, 0.0, 1.0);
  const double at = t * kSegments;
  const int32_t i = std::min(static_cast<int32_t>(at), kSegments - 1);
  const double f = at - i;
  auto mix = [f](uint8_t a, uint8_t b) {
    return static_cast<uint8_t>(std::lround(a + (b - a) * f));
  };
  const HostColour &a = kStops[i], &b = kStops[i + 1];
  return {mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)};
}
