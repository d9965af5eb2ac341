#include "core/clock.h"

#include <chrono>
#include <ctime>

namespace tw {

LocalTime SystemClock::localTime() const {
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  // The thread-safe forms: POSIX's localtime_r, Microsoft's localtime_s
  // (arguments the other way round). Should it fail, every field is zero as
  // before, not the -1 Microsoft's form leaves there.
#ifdef _WIN32
  if (localtime_s(&parts, &now) != 0) parts = std::tm{};
#else
  if (localtime_r(&now, &parts) == nullptr) parts = std::tm{};
#endif
  LocalTime t;
  t.year = parts.tm_year + 1900;
  t.month = parts.tm_mon + 1;
  t.day = parts.tm_mday;
  t.hour = parts.tm_hour;
  t.minute = parts.tm_min;
  t.second = parts.tm_sec;
  return t;
}

uint32_t SystemClock::tickCount() const {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

}  // namespace tw
