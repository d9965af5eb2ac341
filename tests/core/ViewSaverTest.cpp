// "Save Image..." and "Save Data..." of the Performance window's plot and
// the Noise Spectrum chart: each kind saved once and read back.
#include <gtest/gtest.h>

#include <QImage>
#include <QPushButton>
#include <QSvgRenderer>
#include <string>

#include "core/ViewSaver.h"
#include "diagnostics/NoiseChartWindow.h"
#include "protocol/PerformanceDialog.h"
#include "protocol/TrendPlotView.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

class ViewSaving : public ProgramTest {
 protected:
  QString Path(const char* name) const {
    return QString::fromStdString((root.path() / name).string());
  }
};

TEST_F(ViewSaving, PerformancePlotSavedAsPngSvgAndCsv) {
  PerformanceStats& stats = program->stats();
  clock.ticks = 1000;
  StatsAddAGC(stats, 30);
  PerformanceDialog d(stats);
  d.show();
  clock.ticks = 61000;
  StatsAddAGC(stats, 40);
  StatsSetRange(stats, 1, 750.0f);
  ViewSaver& saver = d.saver();

  // The buttons ask where to save, then save there.
  saver.chooseFile = [&](const QString&, const QString&, const QString&) {
    return Path("plot.png");
  };
  saver.imageButton()->click();
  QImage png(Path("plot.png"));
  ASSERT_FALSE(png.isNull());
  EXPECT_EQ(png.size(), d.trendView().size() * d.trendView().devicePixelRatioF());

  ASSERT_TRUE(saver.saveImage(Path("plot.svg"))) << saver.failureLine().toStdString();
  QSvgRenderer svg(Path("plot.svg"));
  ASSERT_TRUE(svg.isValid());
  EXPECT_EQ(svg.viewBox().size(), d.trendView().size());

  saver.chooseFile = [&](const QString&, const QString&, const QString&) {
    return Path("plot.csv");
  };
  saver.dataButton()->click();
  EXPECT_EQ(ReadFile(root.path() / "plot.csv"),
            "series,seconds,value\r\n"
            "AGC,-60.000,30.00\r\n"
            "AGC,0.000,40.00\r\n"
            "Range (m) CH2,0.000,750.00\r\n");
  EXPECT_TRUE(saver.failureLine().isEmpty());
}

TEST_F(ViewSaving, NoiseChartDataAndAFailedSave) {
  auto port = Connect();
  std::string report = "$SNCFR";
  for (int i = 0; i < NOISE_BINS; ++i) report += i == 3 ? ",-70" : ",-90";
  report += "\r\n";
  port->incoming.insert(port->incoming.end(), report.begin(), report.end());
  program->OnTimer(TIMER_POLL);
  NoiseChartWindow window(program->noiseChart());
  window.show();
  ASSERT_FALSE(window.chart().empty);

  ASSERT_TRUE(window.saver().saveData(Path("noise.csv")));
  const std::string csv = ReadFile(root.path() / "noise.csv");
  EXPECT_EQ(csv.substr(0, csv.find("\r\n")),
            "frequency (Hz),from (Hz),to (Hz),level (dBV),peak,floor (dBV),threshold (dBV)");
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), NOISE_BINS + 1);
  EXPECT_NE(csv.find(",-70,yes,"), std::string::npos);

  // Saving over a folder fails with one line and leaves the folder alone.
  EXPECT_FALSE(window.saver().saveImage(root.path().string().c_str()));
  EXPECT_TRUE(window.saver().failureLine().startsWith("Error: Can't save '"));
  EXPECT_TRUE(std::filesystem::is_directory(root.path()));
}

}  // namespace
}  // namespace tw::test
