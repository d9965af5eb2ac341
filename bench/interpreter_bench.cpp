// Cost of interpreting one modem sentence: taking it from the ring, writing
// its NMEA log record, showing its line on the terminal model and reacting
// (statistics, answers).
//   tidewire_bench --benchmark_filter='InterpretModemLine$'
//   valgrind --tool=callgrind tidewire_bench --benchmark_filter=InterpretModemLine_Fixed
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "app/program.h"
#include "core/clock.h"
#include "core/commands.h"
#include "serial/rx_ring.h"
#include "support/fakes.h"
#include "terminal/terminal_surface.h"

namespace {

// A mix of what a modem sends in a busy cycle, with one data request that is
// answered with test data.
constexpr std::array<std::string_view, 9> SENTENCES = {
    "$CAAGC,123*5B\r\n",    "$CADQF,230,1\r\n",           "$CACYC,1,0,3,2,0,1\r\n",
    "$CACFG,NTO,5\r\n",     "$CAMPR,1,2,0.5\r\n",         "$CAACK,1,2,3,1\r\n",
    "$SNTTA,0.5,,1.0,\r\n", "$CADRQ,120000,3,2,1,32\r\n", "$CAXYZ,1,2,3\r\n",
};

// As many rounds of the mix as the ring holds.
std::string RingFull() {
  std::string round;
  for (std::string_view s : SENTENCES) round += s;
  std::string all;
  while (all.size() + round.size() < tw::RX_SIZE - 1) all += round;
  return all;
}

void BM_InterpretModemLine(benchmark::State& state) {
  const std::filesystem::path root =
      std::filesystem::temp_directory_path() / ("tidewire-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(root);
  {
    tw::ManualClock clock;
    clock.now = tw::LocalTime{2007, 3, 3, 14, 5, 9};
    tw::test::FakeUi ui;
    tw::test::FakePortOpener ports;
    tw::NullSurface surface;
    auto port = ports.add(1);
    tw::Program program(clock, ports, ui, surface, root);
    program.Start();
    program.OnCommand(tw::cmd::CONNECT);
    // The NMEA log is open, as on a logged run: its record is part of the cost.
    program.logs().NMEALogOpen(1);
    program.settings().useTestDataAck = 1;

    const std::string fill = RingFull();
    const auto* bytes = reinterpret_cast<const uint8_t*>(fill.data());
    int64_t fills = 0;
    for (auto _ : state) {
      if (program.modem().rx.count() == 0) {
        state.PauseTiming();
        tw::RxAppend(program.modem().rx, bytes, fill.size());
        ++fills;
        port->written.clear();  // the answers sent so far
        state.ResumeTiming();
      }
      // The modem interpreter as the poll runs it: every waiting line, up to
      // the poll's limit, so one iteration is many sentences.
      program.RxDispatch();
    }
    // Sentences taken: every fill but the last whole, and the lines of the
    // last one that are gone from the ring.
    const auto perFill = std::count(fill.begin(), fill.end(), '\n');
    const auto taken = static_cast<std::ptrdiff_t>(fill.size() - program.modem().rx.count());
    const auto sentences =
        (fills - 1) * perFill + std::count(fill.begin(), fill.begin() + taken, '\n');
    state.SetItemsProcessed(sentences);
    // A run through the whole mix must have answered its data request.
    if (sentences >= static_cast<int64_t>(SENTENCES.size()) && program.stats().txFrames == 0) {
      state.SkipWithError("no data request was answered");
    }
    if (!program.logs().nmeaOpen()) state.SkipWithError("the NMEA log is not open");
  }
  std::filesystem::remove_all(root);
}
BENCHMARK(BM_InterpretModemLine);
// A fixed count for instruction counting under callgrind, where the count the
// library picks from the time would be a handful.
// About 18,000 sentences: each iteration takes up to a poll's 128 lines.
BENCHMARK(BM_InterpretModemLine)->Name("BM_InterpretModemLine_Fixed")->Iterations(9 * 2000 / 128);

}  // namespace
