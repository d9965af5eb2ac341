// The Performance window's plot as a table for "Save Data...": one row per
// point of every line it draws.
#pragma once

#include "core/csv_table.h"
#include "protocol/stats_trend.h"

namespace tw {

// Columns "series", "seconds" (before now, as the time axis shows them) and
// "value"; the range strip's series are named by channel ("Range (m) CH1").
CsvTable TrendPlotTable(const TrendPlot& plot);

}  // namespace tw
