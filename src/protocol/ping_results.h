// What became of the unit pings, per unit 0..15: how many the test cycle
// sent, how many the far end acknowledged ("$CAMPA") or answered with a range
// ("$CAMPR"), the last range and when the last answer came. The
// "Network Ping Results" window shows it; it lives in the link statistics,
// so their Reset clears it too.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/csv_table.h"

namespace tw {

constexpr int PING_UNITS = 16;

struct PingUnitResult {
  int32_t sent = 0;       // unit pings the test cycle sent
  int32_t acks = 0;       // "$CAMPA", and "$CAMPR" without a travel time
  int32_t ranged = 0;     // "$CAMPR" with a travel time
  int32_t answered = 0;   // pings sent that got an answer of either kind
  bool awaiting = false;  // a ping went out and no answer has come since
  bool rangeValid = false;
  float range = 0.0f;  // metres, the last ranged reply
  bool replied = false;
  LocalTime lastReply;  // local time of the last answer of either kind
};

// The window's rows as text, for showing and for saving: one header and one
// row per unit, cells in the header's order.
using PingResultsTable = CsvTable;

class PingResults {
 public:
  // A unit ping went out. Units outside 0..15 are not counted.
  void CountSent(int unit);
  // An answer without a range ("$CAMPA", or "$CAMPR" without a time).
  void CountAck(int unit, const LocalTime& at);
  // A ranged reply, `metres` away.
  void CountRange(int unit, float metres, const LocalTime& at);
  // Everything back to zero; the listener stays and is told.
  void Reset();

  const PingUnitResult& unit(int u) const { return units_.at(static_cast<size_t>(u)); }
  // One listener (the window), told after every change.
  void SetListener(std::function<void()> listener) { listener_ = std::move(listener); }

 private:
  void Answered(int unit, const LocalTime& at);
  void Changed() const;

  std::array<PingUnitResult, PING_UNITS> units_{};
  std::function<void()> listener_;
};

// Which unit an answer is about. The far end of "source=>destination" is the
// destination, unless the destination is this modem (`ownUnit`) and the source
// is another unit: then the answer comes from the source.
int PingAnswerUnit(int32_t source, int32_t destination, int32_t ownUnit);

// The table the window shows: "Unit", "Pings", "Acks", "Ranged",
// "Last Range (m)" ("%.1f"), "Last Reply" ("hh:mm:ss"), "Answered" (the share
// of pings sent that were answered, in whole percent rounded down, so 100%
// means every one); "-" where there is nothing yet.
PingResultsTable MakePingResultsTable(const PingResults& results);

}  // namespace tw
