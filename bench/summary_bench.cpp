// Time of the cruise summary over a generated week of NMEA logs, one record
// a second (604,800 records in 168 hourly files), read from disk.
//   tidewire_bench --benchmark_filter=SummaryOfAWeek
// With TW_SUMMARY_WEEK=DIR the week is written to DIR (when DIR does not
// hold one yet) and kept there, so `tidewire --summary DIR` can be timed on
// the same files (scripts/bench.sh --only summary does both).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "summary/summary_text.h"
#include "support/cruise_week.h"

namespace {

namespace fs = std::filesystem;

void BM_SummaryOfAWeek(benchmark::State& state) {
  const char* kept = std::getenv("TW_SUMMARY_WEEK");
  const fs::path root =
      kept != nullptr && *kept != '\0'
          ? fs::path(kept)
          : fs::temp_directory_path() / ("tidewire-summary-week-" + std::to_string(::getpid()));
  const fs::path marker = root / "records.txt";
  int64_t records = 0;
  if (fs::exists(marker)) {
    std::ifstream(marker) >> records;
  } else {
    fs::remove_all(root / "Logs");
    records = tw::test::WriteCruise(root, 7, 1, false).records;
    std::ofstream(marker) << records;
  }
  std::string text;
  for (auto _ : state) {
    const tw::SummaryRun run = tw::SummarizeLogs({root / "Logs"});
    text = run.text;
    if (run.exitCode != 0) state.SkipWithError("the summary read nothing");
  }
  state.counters["records"] = static_cast<double>(records);
  state.SetItemsProcessed(state.iterations() * records);
  if (kept == nullptr || *kept == '\0') fs::remove_all(root);
  benchmark::DoNotOptimize(text);
}
BENCHMARK(BM_SummaryOfAWeek)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
