#include "diagnostics/noise_chart_data.h"

#include "core/fixed_format.h"

namespace tw {

CsvTable NoiseChartTable(const NoiseChart& chart) {
  CsvTable table;
  table.header = {"frequency (Hz)", "from (Hz)",   "to (Hz)",        "level (dBV)",
                  "peak",           "floor (dBV)", "threshold (dBV)"};
  if (chart.empty) return table;
  for (const NoiseBar& bar : chart.bars) {
    table.rows.push_back({std::to_string(bar.frequencyHz), FixedFormat("%.1f", bar.left),
                          FixedFormat("%.1f", bar.right), std::to_string(bar.level),
                          bar.peak ? "yes" : "no", FixedFormat("%.1f", chart.floor),
                          FixedFormat("%.1f", chart.threshold)});
  }
  return table;
}

}  // namespace tw
