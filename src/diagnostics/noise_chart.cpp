#include "diagnostics/noise_chart.h"

#include <algorithm>

#include "core/fixed_format.h"
#include "protocol/config_params.h"

namespace tw {

void NoiseChartRecord::Record(const RunState& state, const NoiseFloor& floor) {
  NoiseReading& s = last_;
  ++s.reports;
  s.band = state.modemBand;
  s.frequency = state.noiseFrequency;
  s.level = state.noiseLevel;
  for (size_t i = 0; i < s.peak.size(); ++i) s.peak[i] = state.noisePeak[i] != 0;
  s.floor = floor.floor;
  s.threshold = floor.threshold;
  if (listener_) listener_();
}

namespace {

std::string BandText(int32_t band) {
  const ModemBand* b = FindModemBand(band);
  return b ? FixedFormat("Band %c", b->letter) : std::string("Band not reported");
}

}  // namespace

NoiseChart MakeNoiseChart(const NoiseReading& s) {
  NoiseChart chart;
  if (s.reports == 0) {
    chart.caption = "No noise report yet: measure the receiver noise from the Modem menu.";
    chart.x = RoundAxis(0.0, 1.0);
    chart.y = RoundAxis(-100.0, -90.0);
    return chart;
  }
  chart.empty = false;
  chart.floor = s.floor;
  chart.threshold = s.threshold;

  // The levels and both lines fit, with a little room above the highest so
  // that a peak's label stays inside.
  double lo = std::min<double>(s.floor, s.threshold);
  double hi = std::max<double>(s.floor, s.threshold);
  for (int32_t level : s.level) {
    lo = std::min<double>(lo, level);
    hi = std::max<double>(hi, level);
  }
  chart.y = RoundAxis(lo - 2.0, hi + 3.0);

  const double half = NOISE_BIN_WIDTH / 2.0;
  for (int i = 0; i < NOISE_BINS; ++i) {
    NoiseBar bar;
    bar.frequencyHz = s.frequency[i];
    bar.level = s.level[i];
    bar.left = s.frequency[i] - half;
    bar.right = s.frequency[i] + half;
    bar.peak = s.peak[i];
    chart.bars.push_back(bar);
    if (bar.peak) {
      chart.peaks.push_back({static_cast<double>(bar.frequencyHz), static_cast<double>(bar.level),
                             FixedFormat("%d dBV @ %d Hz", bar.level, bar.frequencyHz)});
    }
  }
  chart.x.min = chart.bars.front().left;
  chart.x.max = chart.bars.back().right;
  // A tick under every other bin keeps the labels apart.
  for (int i = 0; i < NOISE_BINS; i += 2) chart.x.ticks.push_back(s.frequency[i]);

  chart.caption =
      FixedFormat("Floor %.1f dBV   Peak threshold %d dBV   %s   Report %d",
                  static_cast<double>(s.floor), s.threshold, BandText(s.band).c_str(), s.reports);
  return chart;
}

}  // namespace tw
