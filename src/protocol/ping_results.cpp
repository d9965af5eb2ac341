#include "protocol/ping_results.h"

#include <limits>

#include "core/fixed_format.h"

namespace tw {

namespace {

bool ValidUnit(int unit) { return unit >= 0 && unit < PING_UNITS; }

// A run of years must not wrap a count to a negative number.
void CountUp(int32_t& count) {
  if (count < std::numeric_limits<int32_t>::max()) ++count;
}

}  // namespace

void PingResults::CountSent(int unit) {
  if (!ValidUnit(unit)) return;
  PingUnitResult& u = units_[static_cast<size_t>(unit)];
  CountUp(u.sent);
  u.awaiting = true;
  Changed();
}

void PingResults::CountAck(int unit, const LocalTime& at) {
  if (!ValidUnit(unit)) return;
  CountUp(units_[static_cast<size_t>(unit)].acks);
  Answered(unit, at);
}

void PingResults::CountRange(int unit, float metres, const LocalTime& at) {
  if (!ValidUnit(unit)) return;
  PingUnitResult& u = units_[static_cast<size_t>(unit)];
  CountUp(u.ranged);
  u.rangeValid = true;
  u.range = metres;
  Answered(unit, at);
}

void PingResults::Reset() {
  units_ = {};
  Changed();
}

// Only the first answer after a ping counts it as answered: a unit that both
// acknowledges and ranges one ping has answered it once.
void PingResults::Answered(int unit, const LocalTime& at) {
  PingUnitResult& u = units_[static_cast<size_t>(unit)];
  if (u.awaiting) CountUp(u.answered);
  u.awaiting = false;
  u.replied = true;
  u.lastReply = at;
  Changed();
}

void PingResults::Changed() const {
  if (listener_) listener_();
}

int PingAnswerUnit(int32_t source, int32_t destination, int32_t ownUnit) {
  return destination == ownUnit && source != destination ? source : destination;
}

PingResultsTable MakePingResultsTable(const PingResults& results) {
  PingResultsTable table;
  table.header = {"Unit", "Pings", "Acks", "Ranged", "Last Range (m)", "Last Reply", "Answered"};
  for (int n = 0; n < PING_UNITS; ++n) {
    const PingUnitResult& u = results.unit(n);
    const LocalTime& t = u.lastReply;
    table.rows.push_back({
        FixedFormat("%d", n),
        FixedFormat("%d", u.sent),
        FixedFormat("%d", u.acks),
        FixedFormat("%d", u.ranged),
        u.rangeValid ? FixedFormat("%.1f", static_cast<double>(u.range)) : std::string("-"),
        u.replied ? FixedFormat("%02d:%02d:%02d", t.hour, t.minute, t.second) : std::string("-"),
        u.sent > 0 ? FixedFormat("%d%%", static_cast<int>(int64_t{100} * u.answered / u.sent))
                   : std::string("-"),
    });
  }
  return table;
}

}  // namespace tw
