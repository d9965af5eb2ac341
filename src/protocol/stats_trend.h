// The last ten minutes of the link's quality values, for the small time plot
// of the "Performance" window: each DQF and AGC report and each range
// measured, with the tick at which it came.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "protocol/plot_axis.h"

namespace tw {

// How far back the plot reaches.
constexpr uint32_t TREND_WINDOW_MS = 10u * 60u * 1000u;
// Most samples kept per series. The port poll hands over one sentence per
// 20 ms, so ten minutes hold at most 30000 of them; the cap only guards
// against a caller that adds faster.
constexpr size_t TREND_MAX_SAMPLES = 30000;
constexpr int TREND_RANGE_CHANNELS = 4;

enum class TrendKind { Quality, Agc, Range };

struct TrendSample {
  uint32_t tick;  // milliseconds, the clock's wrapping tick counter
  float value;
};

class StatsTrend {
 public:
  // `channel` is 0..3 for a range and ignored otherwise. Samples older than
  // the window before `tick` are dropped.
  void Add(TrendKind kind, int channel, uint32_t tick, float value);
  void Clear();
  // Drops what is older than the window before `now`.
  void Prune(uint32_t now);
  const std::deque<TrendSample>& Samples(TrendKind kind, int channel = 0) const;

 private:
  std::deque<TrendSample>& Series(TrendKind kind, int channel);

  std::deque<TrendSample> quality_;
  std::deque<TrendSample> agc_;
  std::array<std::deque<TrendSample>, TREND_RANGE_CHANNELS> range_;
};

// One line of a strip: x is seconds relative to now (-600 .. 0), y the value.
struct TrendLine {
  int channel = 0;  // CH1..CH4 are 0..3 on the range strip; 0 elsewhere
  std::vector<std::pair<double, double>> points;
};

// One strip of the plot, with its own value axis.
struct TrendStrip {
  std::string title;  // "DQF", "AGC", "Range (m)"
  PlotAxis y;
  std::vector<TrendLine> lines;  // only series with samples in the window
  std::string latest;            // the newest value as text, "" without one
  bool perChannel = false;       // lines are CH1..CH4 (the range strip)
};

struct TrendPlot {
  PlotAxis x;  // seconds: -600 .. 0, a tick every two minutes
  std::array<TrendStrip, 3> strips;  // quality factor, AGC, range
};

// What the plot shows at `now`: the samples of the last ten minutes.
TrendPlot MakeTrendPlot(const StatsTrend& trend, uint32_t now);

}  // namespace tw
