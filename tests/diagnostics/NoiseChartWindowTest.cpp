// The "Noise Spectrum" window: opened from the View menu, it follows each
// complete noise report the modem sends, and lets go of the record when it
// closes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <memory>
#include <string>

#include "app/MainWindow.h"
#include "core/commands.h"
#include "diagnostics/NoiseChartWindow.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

std::string NoiseReport(int peakBin) {
  std::string s = "$SNCFR";
  for (int i = 0; i < NOISE_BINS; ++i) s += i == peakBin ? ",-70" : ",-90";
  return s + "\r\n";
}

class NoiseChartInProgram : public ProgramTest {
 protected:
  void Receive(const std::string& sentence) {
    port->incoming.insert(port->incoming.end(), sentence.begin(), sentence.end());
    program->OnTimer(TIMER_POLL);
  }
  std::shared_ptr<FakePortState> port = Connect();
};

TEST_F(NoiseChartInProgram, FollowsEachReportFromThePort) {
  NoiseChartWindow window(program->noiseChart());
  window.show();
  EXPECT_EQ(window.windowTitle(), "Noise Spectrum");
  EXPECT_TRUE(window.chart().empty);

  TakeLines();
  Receive(NoiseReport(4));
  // The terminal shows the report as before; the chart shows the same.
  EXPECT_EQ(TakeLines(), (std::vector<std::string>{"In-Band Noise Floor Estimate  [-88.6 dBV]",
                                                   "Noise Peak:       [-70 dBV] @ [24320 Hz]"}));
  ASSERT_FALSE(window.chart().empty);
  ASSERT_EQ(window.chart().peaks.size(), 1u);
  EXPECT_EQ(window.chart().peaks[0].label, "-70 dBV @ 24320 Hz");
  EXPECT_EQ(window.chart().bars[4].level, -70);
  EXPECT_EQ(window.chart().threshold, -83);
  EXPECT_TRUE(window.captionText().startsWith("Floor -88.6 dBV"));

  Receive(NoiseReport(11));
  ASSERT_EQ(window.chart().peaks.size(), 1u);
  EXPECT_EQ(window.chart().bars[4].level, -90);
  EXPECT_EQ(window.chart().bars[11].level, -70);
  EXPECT_TRUE(window.chart().bars[11].peak);
  // Painting the chart of a report must not fail.
  EXPECT_FALSE(window.grab().isNull());
}

TEST_F(NoiseChartInProgram, AClosedWindowIsNoLongerTold) {
  {
    NoiseChartWindow window(program->noiseChart());
    window.show();
  }
  Receive(NoiseReport(2));  // would reach a deleted window if it were still listening
  EXPECT_EQ(program->noiseChart().last().reports, 1);
  NoiseChartWindow again(program->noiseChart());
  EXPECT_TRUE(again.chart().bars[2].peak);  // a new window starts from the last report
}

class NoiseChartMenu : public ::testing::Test {
 protected:
  NoiseChartMenu() { options.home = root.path(); }
  static int OpenCharts() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (qobject_cast<NoiseChartWindow*>(w) && w->isVisible()) ++n;
    }
    return n;
  }
  TempDir root;
  ManualClock clock;
  Options options;
};

TEST_F(NoiseChartMenu, TheViewMenuItemOpensOneWindowThatGoesWithTheMainWindow) {
  {
    MainWindow w(options, clock);
    w.show();
    EXPECT_TRUE(w.program().menu().IsEnabled(cmd::NOISE_SPECTRUM_CHART));
    EXPECT_FALSE(w.program().menu().IsEnabled(cmd::NOISE_SPECTRUM));  // left as it was
    w.program().OnCommand(cmd::NOISE_SPECTRUM_CHART);
    EXPECT_EQ(OpenCharts(), 1);
    w.program().OnCommand(cmd::NOISE_SPECTRUM_CHART);  // raised, not doubled
    EXPECT_EQ(OpenCharts(), 1);
  }
  QApplication::processEvents();
  EXPECT_EQ(OpenCharts(), 0);
}

}  // namespace
}  // namespace tw::test
