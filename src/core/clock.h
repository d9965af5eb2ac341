// Local time and the millisecond tick counter come from one clock object so
// that tests can fix both.
#pragma once

#include <cstdint>

namespace tw {

struct LocalTime {
  int year = 1970;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime localTime() const = 0;
  // Milliseconds since an arbitrary start, wrapping at 2^32 like the
  // system tick counter.
  virtual uint32_t tickCount() const = 0;
};

// The computer's clock.
class SystemClock : public Clock {
 public:
  LocalTime localTime() const override;
  uint32_t tickCount() const override;
};

// A clock that only moves when told to; tests and replays use it.
class ManualClock : public Clock {
 public:
  LocalTime now;
  uint32_t ticks = 0;
  LocalTime localTime() const override { return now; }
  uint32_t tickCount() const override { return ticks; }
};

}  // namespace tw
