// The ten-minute trend of the link's quality values and the plot drawn from it.
#include "protocol/stats_trend.h"

#include <gtest/gtest.h>

#include "core/clock.h"
#include "protocol/stats.h"

namespace tw::test {
namespace {

constexpr uint32_t MINUTE = 60000;

TEST(StatsTrend, KeepsTenMinutesAndDropsWhatIsOlder) {
  StatsTrend t;
  t.Add(TrendKind::Agc, 0, 1000, 10);
  t.Add(TrendKind::Agc, 0, 1000 + 5 * MINUTE, 20);
  t.Add(TrendKind::Agc, 0, 1000 + 10 * MINUTE, 30);  // the first is exactly ten minutes old
  EXPECT_EQ(t.Samples(TrendKind::Agc).size(), 3u);
  t.Add(TrendKind::Agc, 0, 1001 + 10 * MINUTE, 40);
  ASSERT_EQ(t.Samples(TrendKind::Agc).size(), 3u);
  EXPECT_EQ(t.Samples(TrendKind::Agc).front().value, 20);

  t.Prune(1000 + 30 * MINUTE);
  EXPECT_TRUE(t.Samples(TrendKind::Agc).empty());
}

TEST(StatsTrend, SeriesAreKeptApartAndOddChannelsAreRefused) {
  StatsTrend t;
  t.Add(TrendKind::Quality, 0, 0, 200);
  t.Add(TrendKind::Range, 2, 0, 750);
  t.Add(TrendKind::Range, 4, 0, 1);
  t.Add(TrendKind::Range, -1, 0, 1);
  EXPECT_EQ(t.Samples(TrendKind::Quality).size(), 1u);
  EXPECT_TRUE(t.Samples(TrendKind::Agc).empty());
  EXPECT_EQ(t.Samples(TrendKind::Range, 2).size(), 1u);
  for (int c : {0, 1, 3}) EXPECT_TRUE(t.Samples(TrendKind::Range, c).empty()) << c;
  t.Clear();
  EXPECT_TRUE(t.Samples(TrendKind::Quality).empty());
  EXPECT_TRUE(t.Samples(TrendKind::Range, 2).empty());
}

TEST(StatsTrend, TheTickCounterWrappingDoesNotLoseRecentSamples) {
  StatsTrend t;
  const uint32_t before = 0xFFFFFFFFu - 2 * MINUTE;
  t.Add(TrendKind::Quality, 0, before, 100);
  t.Add(TrendKind::Quality, 0, before + 4 * MINUTE, 120);  // wrapped past zero
  EXPECT_EQ(t.Samples(TrendKind::Quality).size(), 2u);
  const TrendPlot plot = MakeTrendPlot(t, before + 4 * MINUTE);
  ASSERT_EQ(plot.strips[0].lines.size(), 1u);
  const auto& points = plot.strips[0].lines[0].points;
  ASSERT_EQ(points.size(), 2u);
  EXPECT_DOUBLE_EQ(points[0].first, -240.0);
  EXPECT_DOUBLE_EQ(points[1].first, 0.0);
}

TEST(TrendPlot, StripsShowTheLastTenMinutesOnTheirOwnScales) {
  StatsTrend t;
  const uint32_t now = 20 * MINUTE;
  t.Add(TrendKind::Quality, 0, now - 11 * MINUTE, 999);  // outside the window
  t.Add(TrendKind::Quality, 0, now - 9 * MINUTE, 150);
  t.Add(TrendKind::Quality, 0, now - 30000, 210);
  t.Add(TrendKind::Agc, 0, now - 60000, 40);
  t.Add(TrendKind::Range, 0, now - 120000, 750);
  t.Add(TrendKind::Range, 3, now - 60000, 1500);

  const TrendPlot plot = MakeTrendPlot(t, now);
  EXPECT_EQ(plot.x.min, -600);
  EXPECT_EQ(plot.x.max, 0);
  EXPECT_EQ(plot.x.ticks, (std::vector<double>{-600, -480, -360, -240, -120, 0}));

  const TrendStrip& dqf = plot.strips[0];
  EXPECT_EQ(dqf.title, "DQF");
  ASSERT_EQ(dqf.lines.size(), 1u);
  EXPECT_EQ(dqf.lines[0].points,
            (std::vector<std::pair<double, double>>{{-540.0, 150.0}, {-30.0, 210.0}}));
  EXPECT_LE(dqf.y.min, 150);
  EXPECT_GE(dqf.y.max, 210);
  EXPECT_LT(dqf.y.max, 999);  // the old sample does not stretch the scale
  EXPECT_EQ(dqf.latest, "210.0");

  EXPECT_EQ(plot.strips[1].title, "AGC");
  EXPECT_EQ(plot.strips[1].latest, "40.0");

  const TrendStrip& range = plot.strips[2];
  EXPECT_EQ(range.title, "Range (m)");
  ASSERT_EQ(range.lines.size(), 2u);  // only channels with samples
  EXPECT_EQ(range.lines[0].channel, 0);
  EXPECT_EQ(range.lines[1].channel, 3);
  EXPECT_LE(range.y.min, 750);
  EXPECT_GE(range.y.max, 1500);
  EXPECT_TRUE(range.perChannel);
  EXPECT_FALSE(dqf.perChannel);
  EXPECT_EQ(range.latest, "CH4 1500.0");
}

TEST(TrendPlot, WithoutSamplesTheStripsAreEmptyButDrawable) {
  const TrendPlot plot = MakeTrendPlot(StatsTrend{}, 12345);
  for (const TrendStrip& s : plot.strips) {
    EXPECT_TRUE(s.lines.empty());
    EXPECT_TRUE(s.latest.empty());
    EXPECT_LT(s.y.min, s.y.max);
  }
}

TEST(StatsTrend, FedByTheStatisticsWithTheirClockAndClearedByReset) {
  ManualClock clock;
  PerformanceStats s;
  StatsAddAGC(s, 50);  // no clock yet: counted, but not plotted
  EXPECT_TRUE(s.trend.Samples(TrendKind::Agc).empty());
  EXPECT_EQ(s.agcSamples, 1);

  s.clock = &clock;
  clock.ticks = 5000;
  StatsAddAGC(s, 60);
  StatsAddDQF(s, 180);
  StatsSetRange(s, 1, 750.0f);
  StatsClearRange(s, 2);  // no reply: nothing to plot
  ASSERT_EQ(s.trend.Samples(TrendKind::Agc).size(), 1u);
  EXPECT_EQ(s.trend.Samples(TrendKind::Agc).front().tick, 5000u);
  EXPECT_EQ(s.trend.Samples(TrendKind::Agc).front().value, 60);
  EXPECT_EQ(s.trend.Samples(TrendKind::Quality).front().value, 180);
  EXPECT_EQ(s.trend.Samples(TrendKind::Range, 1).front().value, 750);
  EXPECT_TRUE(s.trend.Samples(TrendKind::Range, 2).empty());

  StatsReset(s);
  EXPECT_TRUE(s.trend.Samples(TrendKind::Agc).empty());
  EXPECT_EQ(s.clock, &clock);  // the clock stays for what comes next
  StatsInit(s);
  EXPECT_EQ(s.clock, &clock);
}

}  // namespace
}  // namespace tw::test
