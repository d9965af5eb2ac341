#include "protocol/trend_plot_data.h"

#include "core/fixed_format.h"

namespace tw {

CsvTable TrendPlotTable(const TrendPlot& plot) {
  CsvTable table;
  table.header = {"series", "seconds", "value"};
  for (const TrendStrip& strip : plot.strips) {
    for (const TrendLine& line : strip.lines) {
      const std::string series =
          strip.perChannel ? strip.title + " CH" + std::to_string(line.channel + 1) : strip.title;
      for (const auto& [seconds, value] : line.points) {
        // "+ 0.0" writes now as 0.000, not as the -0.000 of a negative zero.
        table.rows.push_back(
            {series, FixedFormat("%.3f", seconds + 0.0), FixedFormat("%.2f", value + 0.0)});
      }
    }
  }
  return table;
}

}  // namespace tw
