// The demo's half minute: a host Program with the demo's start-up choices and
// an emulator playing the far end of the link, on one in-memory cable, driven
// step by step on a fixed clock. Afterwards the Performance plot and the
// Noise Spectrum chart hold data, and their pictures differ from empty ones;
// the Network Ping Results show the far end's units answering.
#include <gtest/gtest.h>

#include <QImage>
#include <QTableWidget>

#include "app/HeadlessEmulator.h"
#include "app/demo_startup.h"
#include "diagnostics/NoiseChartWindow.h"
#include "protocol/PerformanceDialog.h"
#include "protocol/PingResultsWindow.h"
#include "protocol/TrendPlotView.h"
#include "support/memory_port.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

EmulatorRunConfig DemoModem() {
  EmulatorRunConfig c;
  c.request32 = c.request256 = true;
  c.heartbeatSoon = true;
  c.simulateLink = true;
  return c;
}

TEST(DemoWindows, HoldDataAfterHalfAMinute) {
  TempDir root;
  ManualClock clock;
  clock.now = LocalTime{2026, 12, 8, 6, 30, 0};
  MemoryCable cable;
  FakeUi ui;
  RecordingSurface surface;
  HeadlessEmulator modem(clock, cable.opener(1), root.path(), DemoModem(), [](int) {});
  Program host(clock, cable.opener(0), ui, surface, root.path());
  std::vector<std::string> lines;
  host.terminal().AddLineListener([&](const std::string& line) { lines.push_back(line); });
  host.Start();
  std::string error;
  ASSERT_TRUE(modem.Start(error)) << error;
  for (int id : DemoStartupCommands()) host.OnCommand(id);
  ASSERT_TRUE(host.state().loopTesting);

  // 30 s: each 100 ms five polls of both ends and the emulator's step; the
  // test timer every 3 s, as the demo sets it.
  for (int step = 1; step <= 300; ++step) {
    clock.ticks += 100;
    for (int k = 0; k < 5; ++k) {
      host.OnTimer(TIMER_POLL);
      modem.program().OnTimer(TIMER_POLL);
    }
    modem.program().OnTimer(TIMER_SLOW);
    if (step % 30 == 0) host.OnTimer(TIMER_TEST);
  }
  auto shown = [&](const std::string& text) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.find(text) != std::string::npos; });
  };
  EXPECT_TRUE(shown("Ping: [00]=>[01]: 8")) << "unit 1 answers with about 850 m";
  EXPECT_TRUE(shown("Got Travel Times: ["));
  EXPECT_TRUE(shown("RX[02]: got test frame."));
  EXPECT_TRUE(shown("In-Band Noise Floor Estimate"));
  EXPECT_FALSE(shown("NMEA Error")) << "every command of the demo is answered";

  PerformanceDialog performance(host.stats());
  performance.show();
  const TrendPlot& plot = performance.trendView().plot();
  for (const TrendStrip& strip : plot.strips) EXPECT_FALSE(strip.lines.empty()) << strip.title;
  auto* trend = performance.findChild<TrendPlotView*>("trend");
  ASSERT_NE(trend, nullptr);
  TrendPlotView emptyPlot;
  emptyPlot.resize(trend->size());
  emptyPlot.setPlot(MakeTrendPlot(StatsTrend{}, clock.ticks));
  EXPECT_NE(trend->grab().toImage(), emptyPlot.grab().toImage());

  NoiseChartWindow noise(host.noiseChart());
  noise.show();
  EXPECT_FALSE(noise.chart().empty);
  NoiseChartRecord none;
  NoiseChartWindow emptyNoise(none);
  emptyNoise.resize(noise.size());
  emptyNoise.show();
  EXPECT_NE(noise.grab().toImage(), emptyNoise.grab().toImage());

  // Network Ping Results: the far end's units 1..3 answer, with ranges.
  PingResultsWindow pings(host.stats().pingResults);
  pings.show();
  for (int unit = 1; unit <= 3; ++unit) {
    const PingUnitResult& r = host.stats().pingResults.unit(unit);
    EXPECT_GT(r.sent, 0) << unit;
    EXPECT_GT(r.ranged, 0) << unit;
    EXPECT_NE(pings.table()->item(unit, 4)->text(), "-") << unit;
  }
  modem.Stop();
}

}  // namespace
}  // namespace tw::test
