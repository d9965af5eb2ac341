#include "core/fixed_format.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace tw {
namespace {

// What the C library makes of the same format and arguments.
std::string Snprintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Snprintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out(static_cast<size_t>(n) + 1, '\0');
  std::vsnprintf(out.data(), out.size(), format, args);
  va_end(args);
  out.resize(static_cast<size_t>(n));
  return out;
}

// The formats the per-sentence path writes, with the argument kinds they take.
// Each is compared with snprintf on many values below.
const char* const INT_FORMATS[] = {
    "%d", "%02d", "%03d", "%04d", "Quality Factor = %03d          [False?]",
    "Sending ACK Data to Modem     [%d bytes]", "Waiting for Packet.       [AGC=%d]",
    "Modem Parsed Binary Data.     [%d bytes]", "SRC:Modem is Unit %d",
    "TAT:Modem xponder turn-around time = %d msec", "Ping: [%02d]=>[%02d].",
    "Ack: [%02d]->[%02d]: Frame %d OK.", "Got ACK Data Request %d->%d     [%d bytes]",
    "Got NOACK Data Request %d->%d   [%d bytes]",
};

std::vector<int32_t> Ints() {
  std::vector<int32_t> v = {0,     1,       -1,       7,         9,        10,      -10,
                            99,    100,     -99,      -100,      999,      1000,    -999,
                            9999,  10000,   12345,    -12345,    65535,    65536,   1000000,
                            INT_MAX, INT_MIN, INT_MAX - 1, INT_MIN + 1};
  std::mt19937 gen(7);
  std::uniform_int_distribution<int32_t> any(INT_MIN, INT_MAX);
  std::uniform_int_distribution<int32_t> small(-2000, 2000);
  for (int i = 0; i < 300; ++i) v.push_back(any(gen));
  for (int i = 0; i < 300; ++i) v.push_back(small(gen));
  return v;
}

TEST(FixedFormat, IntegerFormatsOfTheSentencePathMatchSnprintf) {
  const std::vector<int32_t> ints = Ints();
  for (const char* f : INT_FORMATS) {
    int conversions = 0;
    for (const char* p = f; *p; ++p) conversions += *p == '%';
    for (size_t k = 0; k < ints.size(); ++k) {
      const int32_t a = ints[k];
      const int32_t b = ints[(k * 7 + 3) % ints.size()];
      const int32_t c = ints[(k * 13 + 5) % ints.size()];
      std::string want, got;
      // The formats are taken at run time here; snprintf gets them the same way.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-extra-args"
      want = conversions == 1 ? Snprintf(f, a) : conversions == 2 ? Snprintf(f, a, b)
                                                                  : Snprintf(f, a, b, c);
#pragma GCC diagnostic pop
      got = conversions == 1   ? FixedFormat(RuntimeFormat{f}, a)
            : conversions == 2 ? FixedFormat(RuntimeFormat{f}, a, b)
                               : FixedFormat(RuntimeFormat{f}, a, b, c);
      ASSERT_EQ(got, want) << "format \"" << f << "\" with " << a << ", " << b << ", " << c;
    }
  }
}

// Values that sit on a rounding edge of one decimal, and the ones that make
// the field wider than its width.
std::vector<double> Doubles() {
  std::vector<double> v = {0.0,    -0.0,   0.05,    0.15,   0.25,    0.35,   0.45,   -0.05,
                           -0.04,  -0.049, 0.049,   0.95,   9.95,    99.95,  999.95, 9999.95,
                           -9.95,  -99.95, 1.25,    2.675,  1.45,    1500.0, 1499.95,
                           0.5,    1e-300, -1e-300, 5e-324, 1e15,    1e300,  -1e300,
                           DBL_MAX, -DBL_MAX, DBL_MIN, 123456789.05, 0.1,  0.2,    0.3};
  // Every tenth and twentieth up to a thousand: the steps a range or a mean takes.
  for (int i = -20000; i <= 20000; ++i) v.push_back(i / 20.0);
  std::mt19937_64 gen(11);
  std::uniform_real_distribution<double> range(0.0, 20000.0);
  std::uniform_real_distribution<double> tiny(-1.0, 1.0);
  for (int i = 0; i < 5000; ++i) v.push_back(range(gen));
  for (int i = 0; i < 5000; ++i) v.push_back(tiny(gen));
  // Ranges are float products (travel time x sound speed) shown through a double.
  std::uniform_real_distribution<float> seconds(0.0f, 10.0f);
  for (int i = 0; i < 5000; ++i) {
    const float range_m = seconds(gen) * 1500.0f;
    v.push_back(static_cast<double>(range_m));
  }
  // Means of small integers, as the statistics keep them.
  for (int n = 1; n < 40; ++n) {
    for (int sum = -200; sum <= 400; sum += 7) v.push_back(static_cast<double>(static_cast<float>(sum) / n));
  }
  return v;
}

TEST(FixedFormat, DecimalFormatsMatchSnprintfIncludingRounding) {
  const char* const formats[] = {"%3.1f", "%5.1f", "%f", "%.0f", "%.2f", "%8.3f", "%-7.1f",
                                 "%07.1f", "Ping: [%02d]=>[%02d]: %3.1f meters."};
  for (const char* f : formats) {
    const bool ping = f[0] == 'P';
    for (const double d : Doubles()) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
      const std::string want = ping ? Snprintf(f, 3, 12, d) : Snprintf(f, d);
#pragma GCC diagnostic pop
      const std::string got =
          ping ? FixedFormat(RuntimeFormat{f}, 3, 12, d) : FixedFormat(RuntimeFormat{f}, d);
      ASSERT_EQ(got, want) << "format \"" << f << "\" with " << std::hexfloat << d;
    }
  }
}

TEST(FixedFormat, NotANumberAndInfinityAsTheCLibraryWritesThem) {
  const double values[] = {std::numeric_limits<double>::quiet_NaN(),
                           -std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity()};
  for (const char* f : {"%3.1f", "%5.1f", "%07.1f", "%-6.1f", "%f"}) {
    for (double d : values) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
      EXPECT_EQ(FixedFormat(RuntimeFormat{f}, d), Snprintf(f, d)) << f;
#pragma GCC diagnostic pop
    }
  }
}

// Every flag, width and precision the formatter takes, on each conversion.
TEST(FixedFormat, EveryFlagWidthAndPrecisionMatchesSnprintf) {
  const std::vector<int32_t> ints = {0, 5, -5, 42, -42, 255, 4096, -65536, INT_MAX, INT_MIN};
  const std::vector<double> doubles = {0.0, -0.0, 0.05, -0.05, 1.5, -2.25, 99.99, 12345.678};
  const char* const texts[] = {"", "a", "abc", "Broadcast", "Peer to Peer"};
  for (const char* flags : {"", "-", "0", "-0", "0-"}) {
    for (int width = -1; width <= 12; ++width) {
      const std::string w = width < 0 ? "" : std::to_string(width);
      for (char conv : {'d', 'i', 'u', 'x', 'X'}) {
        const std::string f = "<%" + std::string(flags) + w + conv + ">";
        for (int32_t v : ints) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat"
          ASSERT_EQ(FixedFormat(RuntimeFormat{f}, v), Snprintf(f.c_str(), v)) << f << " " << v;
#pragma GCC diagnostic pop
        }
      }
      for (int precision = -1; precision <= 8; ++precision) {
        const std::string p = precision < 0 ? "" : "." + std::to_string(precision);
        const std::string ff = "<%" + std::string(flags) + w + p + "f>";
        for (double d : doubles) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
          ASSERT_EQ(FixedFormat(RuntimeFormat{ff}, d), Snprintf(ff.c_str(), d)) << ff << " " << d;
#pragma GCC diagnostic pop
        }
        if (std::string(flags).find('0') != std::string::npos) continue;  // no '0' for %s
        const std::string fs = "<%" + std::string(flags) + w + p + "s>";
        for (const char* t : texts) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
          ASSERT_EQ(FixedFormat(RuntimeFormat{fs}, t), Snprintf(fs.c_str(), t)) << fs << " " << t;
#pragma GCC diagnostic pop
        }
      }
    }
  }
}

TEST(FixedFormat, TextCharactersAndPercentAsSnprintf) {
  EXPECT_EQ(FixedFormat("Cycle is %s: %d transmits to %d [rate=%d]", "Peer to Peer", 1, 2, 3),
            Snprintf("Cycle is %s: %d transmits to %d [rate=%d]", "Peer to Peer", 1, 2, 3));
  EXPECT_EQ(FixedFormat("BND:Modem uses Band %c, fc = %d Hz", 'B', 25000),
            Snprintf("BND:Modem uses Band %c, fc = %d Hz", 'B', 25000));
  EXPECT_EQ(FixedFormat("100%% [%s]", std::string("x")), "100% [x]");
  EXPECT_EQ(FixedFormat("%02x..%02X", 0xab, 0x0c), Snprintf("%02x..%02X", 0xab, 0x0c));
  // A C string ends at its first NUL, wherever the text came from.
  EXPECT_EQ(FixedFormat("[%s]", std::string("ab\0cd", 5)), "[ab]");
  EXPECT_EQ(FixedFormat("[%s]", static_cast<const char*>(nullptr)), "[(null)]");
  // Wider integers keep all their bits.
  EXPECT_EQ(FixedFormat("%d %x", int64_t{1} << 40, uint64_t{0xF00000000}), "1099511627776 f00000000");
  EXPECT_EQ(FixedFormat("%x", -1), Snprintf("%x", -1));
  EXPECT_EQ(FixedFormat("%u", -1), Snprintf("%u", -1));
}

TEST(FixedFormat, ATableFormatThatDoesNotFitItsArgumentsWritesOnlyItsText) {
  EXPECT_EQ(FixedFormat(RuntimeFormat{"a=%d b=%d."}, 1), "a=1 b=.");
  EXPECT_EQ(FixedFormat(RuntimeFormat{"a=%f."}, 1), "a=.");
  EXPECT_EQ(FixedFormat(RuntimeFormat{"a=%s."}, 1.5), "a=.");
  EXPECT_EQ(FixedFormat(RuntimeFormat{"50%"}), "50");
  EXPECT_EQ(FixedFormat(RuntimeFormat{"a %q b"}, 3), "a  b");
}

// The check a literal format gets when compiling.
constexpr FormatArg::Kind INT = FormatArg::Kind::kInt;
constexpr FormatArg::Kind DBL = FormatArg::Kind::kDouble;
constexpr FormatArg::Kind TXT = FormatArg::Kind::kText;
constexpr FormatArg::Kind K_INT_INT[] = {INT, INT};
constexpr FormatArg::Kind K_INT_INT_DBL[] = {INT, INT, DBL};
constexpr FormatArg::Kind K_TXT[] = {TXT};
static_assert(format_detail::FormatFits("Ping: [%02d]=>[%02d]: %3.1f meters.", K_INT_INT_DBL, 3));
static_assert(!format_detail::FormatFits("Ping: [%02d]=>[%02d]: %3.1f meters.", K_INT_INT, 2));
static_assert(!format_detail::FormatFits("[%02d]=>[%02d]", K_INT_INT_DBL, 3));
static_assert(!format_detail::FormatFits("%s", K_INT_INT, 1));
static_assert(!format_detail::FormatFits("%d", K_TXT, 1));
static_assert(!format_detail::FormatFits("%.2d", K_INT_INT, 1));  // precision on an integer
static_assert(!format_detail::FormatFits("%ld", K_INT_INT, 1));   // length modifiers
static_assert(!format_detail::FormatFits("%+d", K_INT_INT, 1));
static_assert(!format_detail::FormatFits("%", K_INT_INT, 0));
static_assert(format_detail::FormatFits("%% %-5s", K_TXT, 1));

TEST(FixedText, DecimalPiecesMatchSnprintf) {
  for (const int32_t v : Ints()) {
    for (size_t width = 0; width <= 12; ++width) {
      FixedText<64> spaces;
      spaces.Decimal(v, width);
      ASSERT_EQ(spaces.view(), Snprintf("%*d", static_cast<int>(width), v)) << v << " " << width;
      FixedText<64> zeros;
      zeros.Append("<").Decimal(v, width, '0').Append(">");
      ASSERT_EQ(zeros.view(), Snprintf("<%0*d>", static_cast<int>(width), v)) << v << " " << width;
    }
  }
  FixedText<4> small;
  small.Decimal(-12345, 2, '0');
  EXPECT_EQ(small.view(), "-123");
  EXPECT_TRUE(small.cut());
}

TEST(FixedText, CutsWhatDoesNotFitAndSaysSo) {
  FixedText<8> t;
  t.Format("[%02d:%02d]", 9, 5);
  EXPECT_EQ(t.view(), "[09:05]");
  EXPECT_FALSE(t.cut());
  t.Format("%d", 12345);
  EXPECT_EQ(t.view(), "[09:05]1");
  EXPECT_TRUE(t.cut());
  t.Append("more");
  EXPECT_EQ(t.size(), 8u);
  t.clear();
  t.Append("abcdefghij");
  EXPECT_EQ(t.view(), "abcdefgh");
  EXPECT_TRUE(t.cut());
}

TEST(FixedFormat, LongTextsAreKeptWhole) {
  const std::string long_text(5000, 'a');
  const std::string out = FixedFormat("<%s>%d", long_text, 7);
  EXPECT_EQ(out, "<" + long_text + ">7");
  char small[4] = {'x', 'x', 'x', 'x'};
  const FormatArg arg = FormatArg::From(12345);
  EXPECT_EQ(FormatInto(small, 3, "%d", &arg, 1), 5u);
  EXPECT_EQ(std::string(small, 4), "123x");  // nothing written past the capacity
}

}  // namespace
}  // namespace tw
