#include "protocol/stats_trend.h"

#include <algorithm>
#include <limits>

#include "core/fixed_format.h"

namespace tw {
namespace {

// Age of a sample at `now`; the tick counter wraps, so the difference is
// taken modulo 2^32 and stays right across the wrap.
uint32_t Age(uint32_t tick, uint32_t now) { return now - tick; }

void DropOld(std::deque<TrendSample>& series, uint32_t now) {
  while (!series.empty() && Age(series.front().tick, now) > TREND_WINDOW_MS) series.pop_front();
}

}  // namespace

std::deque<TrendSample>& StatsTrend::Series(TrendKind kind, int channel) {
  switch (kind) {
    case TrendKind::Quality:
      return quality_;
    case TrendKind::Agc:
      return agc_;
    case TrendKind::Range:
      break;
  }
  return range_[static_cast<size_t>(std::clamp(channel, 0, TREND_RANGE_CHANNELS - 1))];
}

const std::deque<TrendSample>& StatsTrend::Samples(TrendKind kind, int channel) const {
  return const_cast<StatsTrend*>(this)->Series(kind, channel);
}

void StatsTrend::Add(TrendKind kind, int channel, uint32_t tick, float value) {
  if (kind == TrendKind::Range && (channel < 0 || channel >= TREND_RANGE_CHANNELS)) return;
  auto& series = Series(kind, channel);
  series.push_back({tick, value});
  DropOld(series, tick);
  while (series.size() > TREND_MAX_SAMPLES) series.pop_front();
}

void StatsTrend::Clear() {
  quality_.clear();
  agc_.clear();
  for (auto& r : range_) r.clear();
}

void StatsTrend::Prune(uint32_t now) {
  DropOld(quality_, now);
  DropOld(agc_, now);
  for (auto& r : range_) DropOld(r, now);
}

namespace {

// The samples of one series inside the window, oldest first, as points.
TrendLine LineOf(const std::deque<TrendSample>& series, int channel, uint32_t now) {
  TrendLine line;
  line.channel = channel;
  for (const TrendSample& s : series) {
    const uint32_t age = Age(s.tick, now);
    if (age > TREND_WINDOW_MS) continue;  // older, or stamped after `now`
    line.points.emplace_back(-static_cast<double>(age) / 1000.0, static_cast<double>(s.value));
  }
  return line;
}

TrendStrip StripOf(const char* title, std::vector<TrendLine> lines, bool perChannel = false) {
  TrendStrip strip;
  strip.title = title;
  strip.perChannel = perChannel;
  double lo = std::numeric_limits<double>::infinity();
  double hi = -lo;
  double newestX = -lo;
  for (TrendLine& line : lines) {
    if (line.points.empty()) continue;
    for (const auto& [x, y] : line.points) {
      lo = std::min(lo, y);
      hi = std::max(hi, y);
      if (x >= newestX) {
        newestX = x;
        strip.latest =
            perChannel ? FixedFormat("CH%d %.1f", line.channel + 1, y) : FixedFormat("%.1f", y);
      }
    }
    strip.lines.push_back(std::move(line));
  }
  // An empty strip still gets an axis to draw.
  strip.y = strip.lines.empty() ? RoundAxis(0.0, 1.0, 4) : RoundAxis(lo, hi, 4);
  return strip;
}

}  // namespace

TrendPlot MakeTrendPlot(const StatsTrend& trend, uint32_t now) {
  TrendPlot plot;
  const double window = static_cast<double>(TREND_WINDOW_MS) / 1000.0;
  plot.x.min = -window;
  plot.x.max = 0.0;
  for (double t = -window; t <= 0.0; t += 120.0) plot.x.ticks.push_back(t);

  plot.strips[0] = StripOf("DQF", {LineOf(trend.Samples(TrendKind::Quality), 0, now)});
  plot.strips[1] = StripOf("AGC", {LineOf(trend.Samples(TrendKind::Agc), 0, now)});
  std::vector<TrendLine> ranges;
  for (int c = 0; c < TREND_RANGE_CHANNELS; ++c) {
    ranges.push_back(LineOf(trend.Samples(TrendKind::Range, c), c, now));
  }
  plot.strips[2] = StripOf("Range (m)", std::move(ranges), true);
  return plot;
}

}  // namespace tw
