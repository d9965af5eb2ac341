#include "protocol/stats.h"

#include <limits>
#include <utility>

#include "core/fixed_format.h"

namespace tw {
namespace {

// The modem drives every count here; a run of years must not wrap one to a
// negative number, so each stops at the largest value it can hold.
void CountUp(int32_t& count) {
  if (count < std::numeric_limits<int32_t>::max()) ++count;
}

// The running mean is taken in extended precision so that a long run of
// samples does not drift, and kept as a float like the rest of the record.
void AddToMean(int32_t& samples, float& mean, int32_t value) {
  const long double n = samples;
  const long double next = (n * static_cast<long double>(mean) + value) / (n + 1);
  mean = static_cast<float>(next);
  CountUp(samples);
}

void AddToTrend(PerformanceStats& s, TrendKind kind, int channel, float value) {
  if (s.clock != nullptr) s.trend.Add(kind, channel, s.clock->tickCount(), value);
}

// One more of a counter the modem reports, shown by the open dialog.
void Count(PerformanceStats& s, int32_t PerformanceStats::*counter) {
  CountUp(s.*counter);
  StatsRefresh(s);
}

bool ValidChannel(int channel) { return channel >= 0 && channel < NAV_CHANNELS; }

std::string CountText(int32_t count) { return FixedFormat("%d", count); }

std::string MeanText(int32_t samples, float mean) {
  return samples != 0 ? FixedFormat("%5.1f", static_cast<double>(mean)) : std::string("NaN");
}

std::string RangeText(bool valid, float range) {
  return valid ? FixedFormat("%5.1f", static_cast<double>(range)) : std::string("NaN");
}

}  // namespace

void StatsInit(PerformanceStats& s) {
  StatsReset(s);
  s.dialogShown = false;
}

void StatsReset(PerformanceStats& s) {
  // Everything but the dialog's own state goes back to zero.
  const bool shown = s.dialogShown;
  std::function<void()> refresh = std::move(s.refresh);
  const Clock* clock = s.clock;
  PingResults pings = std::move(s.pingResults);  // keeps its window's listener
  s = PerformanceStats{};
  s.dialogShown = shown;
  s.refresh = std::move(refresh);
  s.clock = clock;
  s.pingResults = std::move(pings);
  s.pingResults.Reset();
}

void StatsRefresh(PerformanceStats& s) {
  if (s.dialogShown && s.refresh) s.refresh();
}

void StatsAddAGC(PerformanceStats& s, int32_t value) {
  AddToMean(s.agcSamples, s.meanAgc, value);
  AddToTrend(s, TrendKind::Agc, 0, static_cast<float>(value));
  StatsRefresh(s);
}

void StatsAddDQF(PerformanceStats& s, int32_t value) {
  // Every DQF report stands for one detected packet.
  AddToMean(s.dqfSamples, s.meanDqf, value);
  AddToTrend(s, TrendKind::Quality, 0, static_cast<float>(value));
  CountUp(s.detects);
  StatsRefresh(s);
}

void StatsCountGoodRx(PerformanceStats& s) { Count(s, &PerformanceStats::goodRx); }
void StatsCountRevert(PerformanceStats& s) { Count(s, &PerformanceStats::reverts); }
void StatsCountCrcError(PerformanceStats& s) { Count(s, &PerformanceStats::crcErrors); }
void StatsCountCycle(PerformanceStats& s) { Count(s, &PerformanceStats::cycles); }
void StatsCountTxFrame(PerformanceStats& s) { Count(s, &PerformanceStats::txFrames); }
void StatsCountAckFrame(PerformanceStats& s) { Count(s, &PerformanceStats::ackFrames); }
void StatsCountPing(PerformanceStats& s) { Count(s, &PerformanceStats::pings); }

void StatsSetRange(PerformanceStats& s, int channel, float range) {
  if (!ValidChannel(channel)) return;
  const auto c = static_cast<size_t>(channel);
  CountUp(s.replies[c]);
  s.range[c] = range;
  s.rangeValid[c] = true;
  AddToTrend(s, TrendKind::Range, channel, range);
  StatsRefresh(s);
}

void StatsClearRange(PerformanceStats& s, int channel) {
  // A channel without a reply this time keeps its count and its last
  // range; it only stops showing the range.
  if (!ValidChannel(channel)) return;
  s.rangeValid[static_cast<size_t>(channel)] = false;
  StatsRefresh(s);
}

std::vector<std::pair<int, std::string>> StatsTexts(const PerformanceStats& s) {
  using namespace stats_ctl;
  std::vector<std::pair<int, std::string>> texts = {
      {DETECTS, CountText(s.detects)},
      {GOOD_RX, CountText(s.goodRx)},
      {TX_FRAMES, CountText(s.txFrames)},
      {ACK_FRAMES, CountText(s.ackFrames)},
      {CYCLES, CountText(s.cycles)},
      {REVERTS, CountText(s.reverts)},
      {AIN, CountText(s.ainErrors)},
      {CRC, CountText(s.crcErrors)},
      {NVRAM, CountText(s.nvramErrors)},
      {MEAN_AGC, MeanText(s.agcSamples, s.meanAgc)},
      {MEAN_MSE, MeanText(s.mseSamples, s.meanMse)},
      {MEAN_DQF, MeanText(s.dqfSamples, s.meanDqf)},
      {DOPPLER, MeanText(s.dopplerSamples, s.meanDoppler)},
      {PINGS, CountText(s.pings)},
  };
  for (size_t c = 0; c < NAV_CHANNELS; ++c) {
    texts.emplace_back(REPLIES[c], CountText(s.replies[c]));
    texts.emplace_back(RANGES[c], RangeText(s.rangeValid[c], s.range[c]));
  }
  return texts;
}

}  // namespace tw
