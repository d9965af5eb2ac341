// Local time on every system the logic is built for: the clock reads the
// computer's local time. This runs in the Linux build and, as a Windows
// program, under Wine. (That formatted lines do not follow the locale's
// decimal point is tested with the formatter, in format_table_test.cpp.)
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "core/clock.h"
#include "support/posix.h"

namespace tw {
namespace {

TEST(SystemClock, LocalTimeIsTheComputersLocalTime) {
  // A zone three hours east of UTC with no summer time, so local time and
  // UTC differ by exactly three hours on either system.
  const char* oldZone = std::getenv("TZ");
  const std::optional<std::string> savedZone =
      oldZone != nullptr ? std::optional<std::string>(oldZone) : std::nullopt;
  setenv("TZ", "TWT-3", 1);
#ifdef _WIN32
  _tzset();
#else
  tzset();
#endif
  bool compared = false;
  for (int attempt = 0; attempt < 5 && !compared; ++attempt) {
    const std::time_t before = std::time(nullptr);
    const LocalTime t = SystemClock().localTime();
    if (std::time(nullptr) != before) continue;  // a second went by in between
    const std::time_t east = before + 3 * 3600;
    const std::tm expected = *std::gmtime(&east);
    EXPECT_EQ(t.year, expected.tm_year + 1900);
    EXPECT_EQ(t.month, expected.tm_mon + 1);
    EXPECT_EQ(t.day, expected.tm_mday);
    EXPECT_EQ(t.hour, expected.tm_hour);
    EXPECT_EQ(t.minute, expected.tm_min);
    EXPECT_EQ(t.second, expected.tm_sec);
    compared = true;
  }
  if (savedZone) {
    setenv("TZ", savedZone->c_str(), 1);
  } else {
    unsetenv("TZ");
  }
#ifdef _WIN32
  _tzset();
#else
  tzset();
#endif
  EXPECT_TRUE(compared);
}

}  // namespace
}  // namespace tw
