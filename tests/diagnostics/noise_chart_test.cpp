// The noise chart: a known report draws its bars, its floor and threshold
// lines and its peak marks; only complete reports reach it.
#include "diagnostics/noise_chart.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fakes.h"

namespace tw::test {
namespace {

std::string Report(const std::vector<int>& levels) {
  std::string s = "$SNCFR";
  for (int level : levels) s += "," + std::to_string(level);
  return s + "\r";
}

class NoiseChartTest : public ::testing::Test {
 protected:
  // Shows `line` as the program does and records a complete report.
  void Receive(const std::string& line) {
    if (auto floor = ShowNoiseReport(out, state, line)) record.Record(state, *floor);
  }

  RecordingTextOut out;
  RunState state;
  NoiseChartRecord record;
};

TEST_F(NoiseChartTest, AKnownReportDrawsItsBarsLinesAndPeak) {
  // Thirteen bins at -100 and one at -80: floor -98.6, threshold -93, one peak.
  std::vector<int> levels(NOISE_BINS, -100);
  levels[9] = -80;
  state.modemBand = 1;
  Receive(Report(levels));
  ASSERT_EQ(out.lines.size(), 2u);  // the printed lines are those of the report

  const NoiseChart chart = MakeNoiseChart(record.last());
  EXPECT_FALSE(chart.empty);
  ASSERT_EQ(chart.bars.size(), static_cast<size_t>(NOISE_BINS));
  for (int i = 0; i < NOISE_BINS; ++i) {
    const NoiseBar& bar = chart.bars[static_cast<size_t>(i)];
    EXPECT_EQ(bar.frequencyHz, 7680 + 320 * i);  // band A
    EXPECT_EQ(bar.level, levels[static_cast<size_t>(i)]);
    EXPECT_DOUBLE_EQ(bar.right - bar.left, 320.0);
    EXPECT_DOUBLE_EQ((bar.left + bar.right) / 2, bar.frequencyHz);
    EXPECT_EQ(bar.peak, i == 9) << i;
    // Every bar rises from the bottom of the axis to a level inside it.
    EXPECT_GT(bar.level, chart.y.min);
    EXPECT_LE(bar.level, chart.y.max);
  }
  EXPECT_NEAR(chart.floor, -98.571, 0.001);
  EXPECT_EQ(chart.threshold, -93);
  EXPECT_TRUE(chart.y.Contains(chart.floor));
  EXPECT_TRUE(chart.y.Contains(chart.threshold));
  // Neighbouring bars touch; the axis spans them all.
  EXPECT_DOUBLE_EQ(chart.x.min, 7680 - 160);
  EXPECT_DOUBLE_EQ(chart.x.max, 7680 + 13 * 320 + 160);
  for (size_t i = 1; i < chart.bars.size(); ++i) {
    EXPECT_DOUBLE_EQ(chart.bars[i].left, chart.bars[i - 1].right);
  }

  ASSERT_EQ(chart.peaks.size(), 1u);
  EXPECT_DOUBLE_EQ(chart.peaks[0].x, 7680 + 9 * 320);
  EXPECT_DOUBLE_EQ(chart.peaks[0].y, -80);
  EXPECT_EQ(chart.peaks[0].label, "-80 dBV @ 10560 Hz");
  EXPECT_EQ(chart.caption, "Floor -98.6 dBV   Peak threshold -93 dBV   Band A   Report 1");
}

TEST_F(NoiseChartTest, NothingToDrawBeforeTheFirstCompleteReport) {
  NoiseChart chart = MakeNoiseChart(record.last());
  EXPECT_TRUE(chart.empty);
  EXPECT_TRUE(chart.bars.empty());
  EXPECT_FALSE(chart.caption.empty());

  int told = 0;
  record.SetListener([&] { ++told; });
  Receive("$SNCFR,-90,-91,-92\r");  // short: levels move, but no report is complete
  EXPECT_EQ(told, 0);
  EXPECT_TRUE(MakeNoiseChart(record.last()).empty);
  Receive("$SNCFR\r");
  EXPECT_EQ(told, 0);
}

TEST_F(NoiseChartTest, EachCompleteReportReplacesTheLastAndTellsTheListener) {
  int told = 0;
  record.SetListener([&] { ++told; });
  Receive(Report(std::vector<int>(NOISE_BINS, -90)));
  EXPECT_EQ(told, 1);
  NoiseChart first = MakeNoiseChart(record.last());
  EXPECT_TRUE(first.peaks.empty());  // all equal: no bin above the threshold
  EXPECT_DOUBLE_EQ(first.floor, -90);
  EXPECT_EQ(first.threshold, -85);
  EXPECT_NE(first.caption.find("Band not reported"), std::string::npos);

  std::vector<int> levels(NOISE_BINS, -95);
  levels[0] = -60;
  levels[13] = -61;
  Receive(Report(levels));
  // A short report in between changes nothing on the chart.
  Receive("$SNCFR,-10,-10\r");
  EXPECT_EQ(told, 2);
  const NoiseChart second = MakeNoiseChart(record.last());
  EXPECT_EQ(second.bars[0].level, -60);
  EXPECT_EQ(second.bars[1].level, -95);
  EXPECT_EQ(second.peaks.size(), 2u);
  EXPECT_GE(second.y.max, -60);
  EXPECT_EQ(record.last().reports, 2);

  record.SetListener(nullptr);
  Receive(Report(levels));
  EXPECT_EQ(told, 2);
}

TEST_F(NoiseChartTest, GarbledHugeLevelsStillGiveAFiniteAxis) {
  std::vector<int> levels(NOISE_BINS, -90);
  levels[3] = 2147483647;
  levels[4] = -2147483647;
  Receive(Report(levels));
  const NoiseChart chart = MakeNoiseChart(record.last());
  ASSERT_FALSE(chart.empty);
  EXPECT_LT(chart.y.min, chart.y.max);
  EXPECT_LE(chart.y.ticks.size(), 8u);
  EXPECT_TRUE(chart.y.Contains(chart.floor));
}

}  // namespace
}  // namespace tw::test
