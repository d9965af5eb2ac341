// The last complete noise report, kept for the "Noise Spectrum" window, and
// the bar chart drawn from it: one bar per bin (frequency against level),
// the floor estimate and the peak threshold as lines, the peaks marked.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/settings.h"
#include "diagnostics/noise_report.h"
#include "protocol/plot_axis.h"

namespace tw {

// One complete report as the terminal showed it.
struct NoiseReading {
  int reports = 0;  // complete reports seen so far; 0: none yet
  int32_t band = -1;
  std::array<int32_t, NOISE_BINS> frequency{};
  std::array<int32_t, NOISE_BINS> level{};
  std::array<bool, NOISE_BINS> peak{};
  float floor = 0.0f;
  int32_t threshold = 0;
};

// Keeps the last complete report and tells one listener (the window) about
// each new one.
class NoiseChartRecord {
 public:
  // After ShowNoiseReport returned `floor` for a complete report: copies the
  // levels, frequencies and peaks it left in `state`.
  void Record(const RunState& state, const NoiseFloor& floor);
  const NoiseReading& last() const { return last_; }
  // One listener at a time; an empty function removes it.
  void SetListener(std::function<void()> listener) { listener_ = std::move(listener); }

 private:
  NoiseReading last_;
  std::function<void()> listener_;
};

struct NoiseBar {
  int32_t frequencyHz = 0;
  int32_t level = 0;
  double left = 0.0;  // Hz: the bar spans the bin's width
  double right = 0.0;
  bool peak = false;
};

struct NoiseMark {
  double x = 0.0;  // Hz
  double y = 0.0;  // dBV
  std::string label;
};

struct NoiseChart {
  bool empty = true;  // no complete report yet: nothing but `caption`
  PlotAxis x;         // Hz, from the first bin's lower edge to the last one's upper edge
  PlotAxis y;         // dBV; bars rise from y.min to their level
  std::vector<NoiseBar> bars;
  double floor = 0.0;      // dBV, the floor estimate's line
  double threshold = 0.0;  // dBV, the peak threshold's line
  std::vector<NoiseMark> peaks;
  std::string caption;
};

// The chart of a report (or of none yet).
NoiseChart MakeNoiseChart(const NoiseReading& spectrum);

// The diagnostics room's window, opened by the Qt layer
// (QtDiagnosticsDialogs).
class DiagnosticsDialogs {
 public:
  virtual ~DiagnosticsDialogs() = default;
  // The "Noise Spectrum" window on `record`; modeless: one window, brought
  // to the front when it is open already, and this returns at once.
  virtual void ShowNoiseChart(NoiseChartRecord& record) = 0;
};

}  // namespace tw
