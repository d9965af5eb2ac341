// The formatter against the C library's snprintf over every form it takes:
// each flag, width and precision, written out and as '*', each length
// modifier over the extremes of its type, and every directive the program's
// own formats use, in the C locale and under one with a decimal comma.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <clocale>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/fixed_format.h"
#include "core/format_reference.h"
#include "support/posix.h"
#include "support/program_fixture.h"

namespace tw {
namespace {

using test::Snprintf;

// The formats are built while running; snprintf gets them the same way.
#pragma GCC diagnostic ignored "-Wformat-nonliteral"

const char* const FLAGS[] = {"", "-", "0", "-0", "0-"};
// Widths written out (-1: none) and given by '*' (negative: left-justified).
const int WIDTHS[] = {-25, -8, -1, 0, 1, 2, 3, 5, 8, 12, 21, 25};

std::string Directive(const char* flags, int width, const std::string& rest) {
  return "<%" + std::string(flags) + (width < 0 ? "" : std::to_string(width)) + rest + ">";
}

// Every flag and width, written out and as '*', on each integer conversion
// with one length modifier, over the extremes of the type it names.
template <class T>
void CompareIntegers(const char* length, std::vector<T> values) {
  for (const char* flags : FLAGS) {
    for (const int width : WIDTHS) {
      for (const char conversion : {'d', 'i', 'u', 'x', 'X'}) {
        const std::string rest = std::string(length) + conversion;
        const std::string f = Directive(flags, width, rest);
        const std::string star = Directive(flags, -1, "*" + rest);
        for (const T v : values) {
          if (width >= -1) {
            ASSERT_EQ(FixedFormat(RuntimeFormat{f}, v), Snprintf(f.c_str(), v)) << f << " " << v;
          }
          ASSERT_EQ(FixedFormat(RuntimeFormat{star}, width, v), Snprintf(star.c_str(), width, v))
              << star << " " << width << " " << v;
        }
      }
    }
  }
}

TEST(FixedFormat, EveryIntegerFormMatchesSnprintf) {
  CompareIntegers<int>("", {0, 5, -5, 42, -42, 255, 4096, -65536, INT_MAX, INT_MIN});
  CompareIntegers<unsigned>("", {0u, 7u, 0x80000000u, UINT_MAX});
  CompareIntegers<int>("hh", {0, 127, 128, 255, 256, 300, -1, -128, -129, INT_MIN, INT_MAX});
  CompareIntegers<int>("h", {32767, 32768, 65535, 70000, -32769, INT_MIN, INT_MAX});
  CompareIntegers<long>("l", {0L, -1L, 123456L, LONG_MAX, LONG_MIN});
  CompareIntegers<unsigned long>("l", {0xBEEFUL, ULONG_MAX});
  CompareIntegers<long long>("ll", {-9LL, LLONG_MAX, LLONG_MIN, 1LL << 40});
  CompareIntegers<unsigned long long>("ll", {ULLONG_MAX, 1ULL << 63});
  CompareIntegers<size_t>("z", {size_t{0}, size_t{7}, SIZE_MAX / 2 + 1, SIZE_MAX});
  CompareIntegers<ptrdiff_t>("t", {ptrdiff_t{-6}, PTRDIFF_MAX, PTRDIFF_MIN});
  CompareIntegers<intmax_t>("j", {intmax_t{-5}, INTMAX_MAX, INTMAX_MIN});
  CompareIntegers<uintmax_t>("j", {UINTMAX_MAX});
}

// Every flag, width and precision, written out and as '*', on %f and %s.
TEST(FixedFormat, EveryDecimalAndTextFormMatchesSnprintf) {
  const double doubles[] = {0.0, -0.0,  0.05,      -0.05,  1.5,   -2.25,
                            2.5, 99.99, 12345.678, 1e-320, 1e300, -DBL_MAX};
  const std::string long_text(300, 'x');
  const char* const texts[] = {"", "a", "abc", "Broadcast", "Peer to Peer", long_text.c_str()};
  for (const char* flags : FLAGS) {
    for (const int width : WIDTHS) {
      for (int precision = -3; precision <= 8; ++precision) {
        const std::string p =
            precision < 0 ? "" : std::string(".").append(std::to_string(precision));
        const std::string ff = Directive(flags, width, p + "f");
        const std::string star = Directive(flags, -1, "*.*f");
        for (const double d : doubles) {
          if (width >= -1 && precision >= -1) {
            ASSERT_EQ(FixedFormat(RuntimeFormat{ff}, d), Snprintf(ff.c_str(), d)) << ff << " " << d;
          }
          ASSERT_EQ(FixedFormat(RuntimeFormat{star}, width, precision, d),
                    Snprintf(star.c_str(), width, precision, d))
              << star << " " << width << " " << precision << " " << d;
        }
        if (std::string(flags).find('0') != std::string::npos) continue;  // no '0' for %s
        const std::string fs = Directive(flags, width, p + "s");
        const std::string stars = Directive(flags, -1, "*.*s");
        for (const char* t : texts) {
          if (width >= -1 && precision >= -1) {
            ASSERT_EQ(FixedFormat(RuntimeFormat{fs}, t), Snprintf(fs.c_str(), t)) << fs << " " << t;
          }
          ASSERT_EQ(FixedFormat(RuntimeFormat{stars}, width, precision, t),
                    Snprintf(stars.c_str(), width, precision, t))
              << stars << " " << width << " " << precision << " " << t;
        }
      }
    }
  }
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
  static bool IsComma() { return Snprintf("%3.1f", 1.5) == "1,5"; }

  std::string before_;
  std::optional<std::string> locPath_;
};

struct Row {
  std::string want;  // snprintf
  std::string got;   // FixedFormat, its format checked when compiling
};
#define ROW(...) \
  Row { Snprintf(__VA_ARGS__), FixedFormat(__VA_ARGS__) }

// Every directive the program's formats use, on the extremes of its type.
std::vector<Row> CallersForms() {
  const std::string long_text(5000, 'a');
  const char* const text = long_text.c_str();
  return {
      ROW("%d|%d|%d|%d|%d", 0, -1, 'A', INT_MAX, INT_MIN),
      ROW("%02d|%02d|%02d|%02d|%03d|%04d|%3d|%5d", 5, -5, 123, INT_MIN, -7, -7, INT_MIN, 12),
      ROW("%u|%u|%02x|%02X|%04X|%08x|%02x", UINT_MAX, 0u, 0xab, -1, 0x1f, INT_MIN, 300),
      ROW("%ld|%ld|%lld|%lld|%llu", LONG_MIN, LONG_MAX, LLONG_MIN, LLONG_MAX, ULLONG_MAX),
      ROW("%zu|%zu|%04zu|%04zu", SIZE_MAX, size_t{0}, size_t{7}, SIZE_MAX),
      ROW("%td|%td|%ju|%ju", PTRDIFF_MIN, ptrdiff_t{-1}, UINTMAX_MAX, uintmax_t{0}),
      ROW("%c|%c|%c", 'A', ' ', 0xfe),
      ROW("[%s][%s][%s]", "", "text, with, commas 1,5", text),
      ROW("[%-7s][%-7s][%-7s]", "", "ab", "abcdefghij"),
      ROW("[%-*s][%-*s][%-*s][%-*s]", 10, "ab", -10, "ab", 0, "", 3, "abcdef"),
      ROW("%.1f|%.1f|%.1f|%.1f|%.1f|%.1f", 0.05, 0.15, 0.25, -0.0, 1e300, 1500.0),
      ROW("%.2f|%.3f|%.2f|%.3f", 0.125, 1.0005, -DBL_MAX, 2.0005),
      ROW("%06.1f|%06.1f|%06.1f|%5.1f|%5.1f", -2.25, 12345.678, -0.04, 99.95, -0.0),
      ROW("%6.2f|%9.5f|%9.5f|%9.5f", 12.345, -179.999995, 1e-320, 47.123456),
      ROW("%.*f|%.*f|%.*f|%.*f", 0, 2.5, 0, 3.5, -1, 1.5, 17, 0.1),
      ROW("%0*d|%0*d|%0*.*f|%0*.*f", 5, -42, -5, 42, 8, 3, -3.14159, -8, 2, 1.5),
      ROW("Ping: [%02d]=>[%02d]: %3.1f meters.", 1, 2, 1500.0),
      ROW("Cycle is %s: %d transmits to %d [rate=%d]", "Peer to Peer", 1, 2, 3),
      ROW("100%% [%s]", "x"),
  };
}

// The program's bytes do not follow the operator's locale: a decimal point
// stays a point under a locale with a decimal comma.
TEST(FixedFormat, EveryFormOfTheProgramMatchesSnprintfInAnyLocale) {
  test::TempDir dir;
  NumericLocale locale;
  const std::vector<Row> rows = CallersForms();
  for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i].got, rows[i].want) << "row " << i;
  if (!locale.UseCommaLocale(dir.path())) GTEST_SKIP() << "no locale with a decimal comma here";
  const std::vector<Row> underComma = CallersForms();
  for (size_t i = 0; i < rows.size(); ++i)
    EXPECT_EQ(underComma[i].got, rows[i].want) << "row " << i;
  EXPECT_EQ(underComma[10].want.substr(0, 3), "0,1");  // snprintf itself did follow it
}

TEST(FixedFormat, TextAsTheCLibraryTakesIt) {
  // A C string ends at its first NUL, wherever the text came from.
  EXPECT_EQ(FixedFormat("[%s]", std::string("ab\0cd", 5)), "[ab]");
  // A null pointer as glibc shows it: whole, or nothing when cut.
  const char* const null = nullptr;
  EXPECT_EQ(FixedFormat("[%s][%.6s][%.5s][%8.3s]", null, null, null, null),
            "[(null)][(null)][][        ]");
  // Integers wider than an int keep all their bits with a format of a table.
  EXPECT_EQ(FixedFormat(RuntimeFormat{"%d %x"}, int64_t{1} << 40, uint64_t{0xF00000000}),
            "1099511627776 f00000000");
}

}  // namespace
}  // namespace tw
