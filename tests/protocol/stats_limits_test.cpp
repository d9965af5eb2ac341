// Counts the modem drives stop at their largest value instead of wrapping.
#include <gtest/gtest.h>

#include <limits>

#include "protocol/stats.h"

namespace tw {
namespace {

constexpr int32_t TOP = std::numeric_limits<int32_t>::max();

TEST(StatsLimits, EveryPeerDrivenCountStopsAtItsLargestValue) {
  PerformanceStats s;
  s.detects = s.goodRx = s.reverts = s.crcErrors = s.cycles = s.txFrames = s.ackFrames =
      s.pings = TOP;
  s.replies.fill(TOP);
  s.agcSamples = s.dqfSamples = TOP;
  s.meanAgc = 10.0f;
  for (int round = 0; round < 2; ++round) {
    StatsAddDQF(s, 3);
    StatsAddAGC(s, 10);
    StatsCountGoodRx(s);
    StatsCountRevert(s);
    StatsCountCrcError(s);
    StatsCountCycle(s);
    StatsCountTxFrame(s);
    StatsCountAckFrame(s);
    StatsCountPing(s);
    for (int c = 0; c < NAV_CHANNELS; ++c) StatsSetRange(s, c, 1.0f);
  }
  for (int32_t v : {s.detects, s.goodRx, s.reverts, s.crcErrors, s.cycles, s.txFrames,
                    s.ackFrames, s.pings, s.agcSamples, s.dqfSamples}) {
    EXPECT_EQ(v, TOP);
  }
  for (int32_t v : s.replies) EXPECT_EQ(v, TOP);
  EXPECT_FLOAT_EQ(s.meanAgc, 10.0f);  // the mean still means something
}

}  // namespace
}  // namespace tw
