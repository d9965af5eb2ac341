// The Noise Spectrum chart as a table for "Save Data...": one row per bin.
#pragma once

#include "core/csv_table.h"
#include "diagnostics/noise_chart.h"

namespace tw {

// Columns: the bin's frequency, the edges of its bar, its level, whether it
// is a peak, and the floor and peak threshold lines drawn across the chart.
// A chart without a report gives the header alone.
CsvTable NoiseChartTable(const NoiseChart& chart);

}  // namespace tw
