// Formatting and local time on every system the logic is built for: the
// bytes of a formatted line do not depend on the locale's decimal point, and
// the clock reads the computer's local time. These run in the Linux build and,
// as a Windows program, under Wine.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "core/cformat.h"
#include "core/clock.h"
#include "support/posix.h"
#include "support/program_fixture.h"

namespace tw {
namespace {

// Conversions of every kind the C library knows, with widths, precisions,
// flags and length modifiers, the "*" forms and %n among them.
std::vector<std::string> Samples() {
  int counted = -1;
  long long countedLong = -1;
  std::vector<std::string> out = {
      cformat("Ping: [%02d]=>[%02d]: %3.1f meters.", 1, 2, 1500.0),
      cformat("%5.1f|%-8.3f|%+.2e|%G|%g|%E|% f", 75.0, -0.125, 12345.678, 1e-5, 0.5, 2.0, 1.0),
      cformat("%*.*f|%.*f|%*d|%-*s|%*.*e", 9, 2, 3.14159, 3, 2.5, -6, 42, 5, "ab", 12, 3, 6.02e23),
      cformat("%zu %lld %ld %hhd %hu %x %#o %c%%%s", size_t{7}, -9LL, 123456L, 300, 70000, 255u, 8u,
              'A', "text, with, commas 1,5"),
      cformat("%jd %td %zd %llu %lX %hhu", intmax_t{-5}, ptrdiff_t{-6},
              static_cast<std::make_signed_t<size_t>>(-7), 18446744073709551615ULL, 0xBEEFUL, 511),
      cformat("%Lf|%.3Le|%a|%A|%.0f|%#.0f|%08.3f", 1.25L, 2.5L, 0.5, 1.0, 2.5, 2.0, -3.14159),
      cformat("%f|%e|%g|%f|%F", 1e300, -0.0, 1e-320, INFINITY, -INFINITY),
      cformat("%ls|%lc|%5s|%.2s|%-4c|", L"wide", static_cast<wint_t>(L'w'), "ab", "abcdef", 'z'),
      cformat("abc%n|%5.2f|%lln", &counted, 1.0, &countedLong),
      cformat("%s", ""),
      cformat("no conversion at all"),
  };
  out.push_back(std::to_string(counted) + "," + std::to_string(countedLong));
  return out;
}

// The C locale for numbers until it goes, then the one before.
class NumericLocale {
 public:
  NumericLocale() : before_(std::setlocale(LC_NUMERIC, nullptr)) {
    std::setlocale(LC_NUMERIC, "C");
  }
  ~NumericLocale() {
    std::setlocale(LC_NUMERIC, before_.c_str());
    if (locPath_) {
      if (locPath_->empty()) {
        unsetenv("LOCPATH");
      } else {
        setenv("LOCPATH", locPath_->c_str(), 1);
      }
    }
  }
  NumericLocale(const NumericLocale&) = delete;
  NumericLocale& operator=(const NumericLocale&) = delete;

  // A locale whose decimal point is a comma, installed or (with glibc) made
  // in `folder`; false when there is none to be had.
  bool UseCommaLocale(const std::filesystem::path& folder) {
    for (const char* name :
         {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "German_Germany.1252", "German"}) {
      if (std::setlocale(LC_NUMERIC, name) != nullptr && IsComma()) return true;
    }
#ifndef _WIN32
    const std::string made = (folder / "de_DE.UTF-8").string();
    const std::string command = "localedef -i de_DE -f UTF-8 " + made + " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return false;
    const char* old = std::getenv("LOCPATH");
    locPath_ = old != nullptr ? old : "";
    setenv("LOCPATH", folder.string().c_str(), 1);
    return std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr && IsComma();
#else
    (void)folder;
    return false;
#endif
  }

 private:
  static bool IsComma() {
    char probe[16];
    std::snprintf(probe, sizeof probe, "%3.1f", 1.5);
    return std::string(probe) == "1,5";
  }

  std::string before_;
  std::optional<std::string> locPath_;
};

TEST(CFormatLocale, EveryConversionKeepsItsBytesUnderACommaLocale) {
  test::TempDir dir;
  NumericLocale locale;
  const std::vector<std::string> reference = Samples();
  // What the C library itself writes under the C locale.
  char direct[64];
  std::snprintf(direct, sizeof direct, "%*.*f|%zu|%Lf", 9, 2, 3.14159, size_t{7}, 1.25L);
  EXPECT_EQ(cformat("%*.*f|%zu|%Lf", 9, 2, 3.14159, size_t{7}, 1.25L), direct);
  EXPECT_EQ(reference.back(), "3,10");  // %n counted what came before it

  if (!locale.UseCommaLocale(dir.path())) GTEST_SKIP() << "no locale with a decimal comma here";
  const std::vector<std::string> underComma = Samples();
  ASSERT_EQ(underComma.size(), reference.size());
  for (size_t i = 0; i < reference.size(); ++i) EXPECT_EQ(underComma[i], reference[i]) << i;
  // Only the numbers' own point is put back: commas in texts stay.
  EXPECT_EQ(cformat("%s|%3.1f|%d,%d", "1,5", 1.5, 1, 5), "1,5|1.5|1,5");
}

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
