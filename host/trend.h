// The statistics' small charts: the trend of a player's last matches,
// scaled from its own lowest value to its highest, and the landing map's
// colour scale (host/trend.cpp).
#pragma once

#include <cstdint>
#include <vector>

#include "host/host_internal.h"

// The values' lowest and highest, at least one apart so that an even run
// draws as a level line in the middle.
struct TrendScale {
  double lo, hi;
};
TrendScale trendScale(const std::vector<double> &values);
// The row of a value in a plot of height h from top: hi on the top row, lo
// on the bottom one.
int32_t trendRow(double value, const TrendScale &scale, int32_t top, int32_t h);
// The whole chart in box: the highest and lowest labelled on its left, the
// line, and the last value beside its point.
void drawTrend(HostLayer &layer, const HostRect &box, const std::vector<double> &values);

// A colour-blind-safe scale from few (dark blue) to most (yellow), its
// brightness rising all the way: t from 0 to 1.
HostColour heatColour(double t);
