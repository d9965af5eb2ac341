// The statistics record: running means, counters, navigation ranges, the
// texts of the "Performance" window and when it is refreshed.
#include "protocol/stats.h"

#include <gtest/gtest.h>

#include <map>

namespace tw {
namespace {

using namespace stats_ctl;

std::map<int, std::string> Shown(const PerformanceStats& s) {
  std::map<int, std::string> shown;
  for (const auto& [control, text] : StatsTexts(s)) shown[control] = text;
  return shown;
}

TEST(Stats, MeansStartAsNaNAndRunOverTheSamples) {
  PerformanceStats s;
  StatsInit(s);
  EXPECT_EQ(Shown(s)[MEAN_AGC], "NaN");
  StatsAddAGC(s, 100);
  EXPECT_EQ(Shown(s)[MEAN_AGC], "100.0");
  StatsAddAGC(s, 50);
  EXPECT_EQ(Shown(s)[MEAN_AGC], " 75.0");
  for (int dqf : {1, 2, 4}) StatsAddDQF(s, dqf);
  EXPECT_EQ(Shown(s)[MEAN_DQF], "  2.3");
}

TEST(Stats, LongRunsKeepAnExactMean) {
  // Alternating 0 and 255: a mean kept in single precision wanders off
  // 127.5 within a million samples.
  PerformanceStats s;
  for (int i = 0; i < 1000000; ++i) StatsAddAGC(s, (i % 2) ? 255 : 0);
  EXPECT_FLOAT_EQ(s.meanAgc, 127.5f);
}

TEST(Stats, EachEventCountsInItsOwnFieldAndOnlyDqfDetects) {
  PerformanceStats s;
  auto times = [&](int n, void (*op)(PerformanceStats&)) {
    for (int i = 0; i < n; ++i) op(s);
  };
  times(1, StatsCountGoodRx);
  times(2, StatsCountTxFrame);
  times(3, StatsCountAckFrame);
  times(4, StatsCountCycle);
  times(5, StatsCountRevert);
  times(6, StatsCountCrcError);
  times(7, StatsCountPing);
  StatsAddAGC(s, 10);
  auto shown = Shown(s);
  EXPECT_EQ(shown[DETECTS], "0");
  const std::map<int, std::string> expected = {{GOOD_RX, "1"}, {TX_FRAMES, "2"}, {ACK_FRAMES, "3"},
                                               {CYCLES, "4"},  {REVERTS, "5"},   {CRC, "6"},
                                               {PINGS, "7"},   {AIN, "0"},       {NVRAM, "0"}};
  for (const auto& [control, text] : expected) EXPECT_EQ(shown[control], text) << control;
  StatsAddDQF(s, 200);
  EXPECT_EQ(Shown(s)[DETECTS], "1");
}

TEST(Stats, FieldsAreWrittenInTheWindowsOrder) {
  std::vector<int> order;
  for (const auto& entry : StatsTexts(PerformanceStats{})) order.push_back(entry.first);
  EXPECT_EQ(order,
            (std::vector<int>{1006, 1005, 1017, 1018, 1011, 1007, 1009, 1008, 1010, 1004, 1015,
                              1012, 1016, 1028, 1019, 1023, 1021, 1025, 1020, 1024, 1022, 1026}));
}

TEST(Stats, RangesAreSetAndClearedPerChannel) {
  PerformanceStats s;
  StatsSetRange(s, 1, 0.5f * 1500.0f);
  // The next reply answers on CH1 and CH3 only.
  StatsSetRange(s, 0, 0.25f * 1500.0f);
  StatsClearRange(s, 1);
  StatsSetRange(s, 2, 0.5f * 1500.0f);
  StatsClearRange(s, 3);
  // Channels outside the table are ignored.
  StatsSetRange(s, -1, 1.0f);
  StatsSetRange(s, NAV_CHANNELS, 1.0f);

  auto shown = Shown(s);
  EXPECT_EQ(shown[REPLIES[0]] + "|" + shown[RANGES[0]], "1|375.0");
  EXPECT_EQ(shown[REPLIES[1]] + "|" + shown[RANGES[1]], "1|NaN");  // count kept
  EXPECT_EQ(shown[REPLIES[2]] + "|" + shown[RANGES[2]], "1|750.0");
  EXPECT_EQ(shown[REPLIES[3]] + "|" + shown[RANGES[3]], "0|NaN");
}

TEST(Stats, ResetZeroesTheRecordAndRefreshesOnlyWhileShown) {
  PerformanceStats s;
  int refreshes = 0;
  s.refresh = [&] { ++refreshes; };
  StatsAddAGC(s, 10);
  EXPECT_EQ(refreshes, 0);

  s.dialogShown = true;
  StatsAddDQF(s, 10);
  StatsSetRange(s, 2, 30.0f);
  StatsClearRange(s, 2);
  EXPECT_EQ(refreshes, 3);

  StatsReset(s);
  EXPECT_EQ(Shown(s), Shown(PerformanceStats{}));
  EXPECT_EQ(Shown(s)[MEAN_MSE], "NaN");
  EXPECT_EQ(Shown(s)[DOPPLER], "NaN");
  // The open window stays attached through a reset.
  StatsCountCycle(s);
  EXPECT_EQ(refreshes, 4);
  StatsInit(s);
  StatsCountCycle(s);
  EXPECT_EQ(refreshes, 4);
}

}  // namespace
}  // namespace tw
