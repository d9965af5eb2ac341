// `tidewire --summary PATH...`: the logs read once, the summary as text.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "logging/nmea_log_records.h"
#include "summary/cruise_summary.h"

namespace tw {

// The calendar time of seconds since 1970-01-01 00:00:00 (NmeaLogSeconds
// turned back).
LocalTime TimeOfSeconds(int64_t seconds);

// The summary as lines for the operator, with what the reader skipped.
std::string CruiseSummaryText(const CruiseSummary& summary, size_t files,
                              const NmeaLogProblems& problems);

struct SummaryRun {
  std::string text;
  int exitCode = 0;  // 0 with records read, 1 when nothing could be read
};

// Reads every log behind `inputs` (files and folders) and summarises them.
SummaryRun SummarizeLogs(const std::vector<std::filesystem::path>& inputs);

}  // namespace tw
