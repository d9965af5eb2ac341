// Axes of the small plots (noise spectrum, link trends): a value range with
// round tick marks, and the mapping of values onto a span of pixels. Kept
// apart from any widget so that what a plot shows can be checked without
// drawing it.
#pragma once

#include <string>
#include <vector>

namespace tw {

struct PlotAxis {
  double min = 0.0;
  double max = 1.0;
  std::vector<double> ticks;  // round values from min to max, ascending

  // Where `value` falls on a span that runs from `from` (at min) to `to`
  // (at max); `to` may be smaller than `from`, as for a y axis whose
  // pixels grow downwards. Values outside the axis are held at its ends.
  double Map(double value, double from, double to) const;
  bool Contains(double value) const { return value >= min && value <= max; }
};

// An axis that holds every value of [lo, hi] with round ends and about
// `maxTicks` round tick marks (steps of 1, 2 or 5 times a power of ten).
// An empty range (lo == hi) is widened around its value; lo > hi is taken
// as the other way round; non-finite values give the axis 0..1.
PlotAxis RoundAxis(double lo, double hi, int maxTicks = 6);

// A tick value as a short label: whole numbers without decimals, others
// with as many decimals as the step needs.
std::string TickLabel(double value, double step);

}  // namespace tw
