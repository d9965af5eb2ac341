// Link statistics as the modem reports them: counters, running means of
// the quality values, and the last range on each navigation channel.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/clock.h"
#include "protocol/ping_results.h"
#include "protocol/stats_trend.h"

namespace tw {

constexpr int NAV_CHANNELS = 4;

struct PerformanceStats {
  int32_t cycles = 0;
  int32_t detects = 0;
  int32_t goodRx = 0;
  int32_t txFrames = 0;
  int32_t ackFrames = 0;
  int32_t reverts = 0;
  int32_t ainErrors = 0;
  int32_t crcErrors = 0;
  int32_t nvramErrors = 0;
  int32_t dqfSamples = 0;
  float meanDqf = 0;
  int32_t agcSamples = 0;
  float meanAgc = 0;
  int32_t mseSamples = 0;
  float meanMse = 0;
  int32_t dopplerSamples = 0;
  float meanDoppler = 0;
  int32_t pings = 0;
  std::array<int32_t, NAV_CHANNELS> replies{};
  std::array<bool, NAV_CHANNELS> rangeValid{};
  std::array<float, NAV_CHANNELS> range{};
  // Unit pings and their answers, per unit ("Network Ping Results").
  PingResults pingResults;

  // The last ten minutes of DQF, AGC and range values for the window's
  // time plot, stamped with `clock`'s tick; without a clock none are kept.
  StatsTrend trend;
  const Clock* clock = nullptr;

  // True while the "Performance" dialog is open; `refresh` then shows the
  // record after every update. These and the clock outlive a reset.
  bool dialogShown = false;
  std::function<void()> refresh;
};

// Controls of the "Performance" dialog that show the record.
namespace stats_ctl {
constexpr int MEAN_AGC = 1004;
constexpr int GOOD_RX = 1005;
constexpr int DETECTS = 1006;
constexpr int REVERTS = 1007;
constexpr int CRC = 1008;
constexpr int AIN = 1009;
constexpr int NVRAM = 1010;
constexpr int CYCLES = 1011;
constexpr int MEAN_DQF = 1012;
constexpr int MEAN_MSE = 1015;
constexpr int DOPPLER = 1016;
constexpr int TX_FRAMES = 1017;
constexpr int ACK_FRAMES = 1018;
constexpr int PINGS = 1028;
// CH1 to CH4.
constexpr std::array<int, NAV_CHANNELS> REPLIES = {1019, 1021, 1020, 1022};
constexpr std::array<int, NAV_CHANNELS> RANGES = {1023, 1025, 1024, 1026};
}  // namespace stats_ctl

void StatsInit(PerformanceStats& s);
void StatsReset(PerformanceStats& s);
void StatsRefresh(PerformanceStats& s);
void StatsAddAGC(PerformanceStats& s, int32_t value);
void StatsAddDQF(PerformanceStats& s, int32_t value);
void StatsCountGoodRx(PerformanceStats& s);
void StatsCountRevert(PerformanceStats& s);
void StatsCountCrcError(PerformanceStats& s);
void StatsCountCycle(PerformanceStats& s);
void StatsCountTxFrame(PerformanceStats& s);
void StatsCountAckFrame(PerformanceStats& s);
void StatsCountPing(PerformanceStats& s);
void StatsSetRange(PerformanceStats& s, int channel, float range);
void StatsClearRange(PerformanceStats& s, int channel);

// The dialog's fields as text, by control number, in the order they are
// written: counters "%d", means and ranges "%5.1f" or "NaN".
std::vector<std::pair<int, std::string>> StatsTexts(const PerformanceStats& s);

}  // namespace tw
