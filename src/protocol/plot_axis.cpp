#include "protocol/plot_axis.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/fixed_format.h"

namespace tw {

double PlotAxis::Map(double value, double from, double to) const {
  const double span = max - min;
  if (!(span > 0.0)) return from;
  const double t = std::clamp((value - min) / span, 0.0, 1.0);
  return from + t * (to - from);
}

namespace {

// The round step (1, 2 or 5 times a power of ten) that cuts `span` into at
// most `maxTicks` parts.
double RoundStep(double span, int maxTicks) {
  const double rough = span / std::max(1, maxTicks);
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  for (double m : {1.0, 2.0, 5.0, 10.0}) {
    if (m * power >= rough) return m * power;
  }
  return 10.0 * power;
}

}  // namespace

PlotAxis RoundAxis(double lo, double hi, int maxTicks) {
  PlotAxis axis;
  if (!std::isfinite(lo) || !std::isfinite(hi)) {
    axis.ticks = {0.0, 1.0};
    return axis;
  }
  if (lo > hi) std::swap(lo, hi);
  if (hi - lo < 1e-9 * std::max(1.0, std::fabs(hi))) {
    // One value: give it room on both sides.
    const double pad = std::max(1.0, std::fabs(hi) * 0.1);
    lo -= pad;
    hi += pad;
  }
  const double step = RoundStep(hi - lo, maxTicks);
  axis.min = std::floor(lo / step) * step;
  axis.max = std::ceil(hi / step) * step;
  // Counted rather than summed, so that rounding cannot add or lose a tick.
  const auto count = static_cast<long long>(std::llround((axis.max - axis.min) / step));
  for (long long i = 0; i <= count && i <= 1000; ++i) {
    axis.ticks.push_back(axis.min + static_cast<double>(i) * step);
  }
  return axis;
}

std::string TickLabel(double value, double step) {
  int decimals = 0;
  for (double s = std::fabs(step); decimals < 6 && s > 0.0 && s < 0.999999; s *= 10.0) ++decimals;
  // "-0" reads oddly under a plot.
  if (std::fabs(value) < 0.5 * std::pow(10.0, -decimals)) value = 0.0;
  return FixedFormat("%.*f", decimals, value);
}

}  // namespace tw
