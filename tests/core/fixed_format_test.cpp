#include "core/fixed_format.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "core/format_reference.h"

namespace tw {
namespace {

using test::Snprintf;

// Most formats here are built or picked while running; snprintf gets them the same way.
#pragma GCC diagnostic ignored "-Wformat-nonliteral"

// The formats the per-sentence path writes, with the argument kinds they take.
// Each is compared with snprintf on many values below.
const char* const INT_FORMATS[] = {
    "%d",
    "%02d",
    "%03d",
    "%04d",
    "Quality Factor = %03d          [False?]",
    "Sending ACK Data to Modem     [%d bytes]",
    "Waiting for Packet.       [AGC=%d]",
    "Modem Parsed Binary Data.     [%d bytes]",
    "SRC:Modem is Unit %d",
    "TAT:Modem xponder turn-around time = %d msec",
    "Ping: [%02d]=>[%02d].",
    "Ack: [%02d]->[%02d]: Frame %d OK.",
    "Got ACK Data Request %d->%d     [%d bytes]",
    "Got NOACK Data Request %d->%d   [%d bytes]",
};

std::vector<int32_t> Ints() {
  std::vector<int32_t> v = {0,       1,       -1,          7,          9,     10,    -10,
                            99,      100,     -99,         -100,       999,   1000,  -999,
                            9999,    10000,   12345,       -12345,     65535, 65536, 1000000,
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
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-extra-args"
      want = conversions == 1   ? Snprintf(f, a)
             : conversions == 2 ? Snprintf(f, a, b)
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
  std::vector<double> v = {0.0,     -0.0,         0.05,   0.15,  0.25,  0.35,   0.45,    -0.05,
                           -0.04,   -0.049,       0.049,  0.95,  9.95,  99.95,  999.95,  9999.95,
                           -9.95,   -99.95,       1.25,   2.675, 1.45,  1500.0, 1499.95, 0.5,
                           1e-300,  -1e-300,      5e-324, 1e15,  1e300, -1e300, DBL_MAX, -DBL_MAX,
                           DBL_MIN, 123456789.05, 0.1,    0.2,   0.3};
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
    for (int sum = -200; sum <= 400; sum += 7)
      v.push_back(static_cast<double>(static_cast<float>(sum) / n));
  }
  return v;
}

TEST(FixedFormat, DecimalFormatsMatchSnprintfIncludingRounding) {
  const char* const formats[] = {"%3.1f",  "%5.1f",  "%f",
                                 "%.0f",   "%.2f",   "%8.3f",
                                 "%-7.1f", "%07.1f", "Ping: [%02d]=>[%02d]: %3.1f meters."};
  for (const char* f : formats) {
    const bool ping = f[0] == 'P';
    for (const double d : Doubles()) {
      const std::string want = ping ? Snprintf(f, 3, 12, d) : Snprintf(f, d);
      const std::string got =
          ping ? FixedFormat(RuntimeFormat{f}, 3, 12, d) : FixedFormat(RuntimeFormat{f}, d);
      ASSERT_EQ(got, want) << "format \"" << f << "\" with " << std::hexfloat << d;
    }
  }
}

TEST(FixedFormat, NotANumberAndInfinityAsTheCLibraryWritesThem) {
  const double values[] = {
      std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::quiet_NaN(),
      std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
  for (const char* f : {"%3.1f", "%5.1f", "%07.1f", "%-6.1f", "%f", "%.1f", "%06.1f", "%9.5f"}) {
    for (double d : values) {
      EXPECT_EQ(FixedFormat(RuntimeFormat{f}, d), Snprintf(f, d)) << f;
      EXPECT_EQ(FixedFormat("%0*.*f", -9, 2, d), Snprintf("%0*.*f", -9, 2, d));
    }
  }
}

TEST(FixedFormat, ATableFormatThatDoesNotFitItsArgumentsWritesOnlyItsText) {
  EXPECT_EQ(FixedFormat(RuntimeFormat{"a=%d b=%d."}, 1), "a=1 b=.");
  EXPECT_EQ(FixedFormat(RuntimeFormat{"a=%f."}, 1), "a=.");
  EXPECT_EQ(FixedFormat(RuntimeFormat{"a=%s."}, 1.5), "a=.");
  EXPECT_EQ(FixedFormat(RuntimeFormat{"50%"}), "50");
  EXPECT_EQ(FixedFormat(RuntimeFormat{"a %q b"}, 3), "a  b");
  EXPECT_EQ(FixedFormat(RuntimeFormat{"[%*d]"}, 2.5, 7), "[7]");  // a '*' without an int
  EXPECT_EQ(FixedFormat(RuntimeFormat{"[%.*f]"}), "[]");          // nor anything else
}

// The check a literal format gets when compiling, as -Wformat checks printf.
template <class... Args>
constexpr bool Fits(std::string_view format) {
  constexpr format_detail::ArgType types[sizeof...(Args) + 1] = {format_detail::TypeOf<Args>()...,
                                                                 format_detail::ArgType::kInt};
  return format_detail::FormatFits(format, types, sizeof...(Args));
}
enum Small : uint8_t { kSmall };
static_assert(Fits<int, int, double>("Ping: [%02d]=>[%02d]: %3.1f meters."));
static_assert(!Fits<int, int>("Ping: [%02d]=>[%02d]: %3.1f meters."));
static_assert(!Fits<int, int, double>("[%02d]=>[%02d]"));
static_assert(Fits<char, bool, unsigned short, Small, unsigned>("%c %d %hu %hhd %x"));
static_assert(Fits<long, unsigned long long, size_t, ptrdiff_t, intmax_t>("%ld %llu %zu %td %jd"));
static_assert(Fits<int, const char*, int, int, double, std::string>("%-*s %0*.*f %s"));
static_assert(Fits<const char*, std::string_view>("%% %-5s %.3s"));
static_assert(!Fits<int>("%s"));
static_assert(!Fits<const char*>("%d"));
static_assert(!Fits<int>("%f"));
static_assert(!Fits<int>("%ld"));             // a length modifier on an int
static_assert(!Fits<long long>("%d"));        // a wide integer without one
static_assert(!Fits<long>("%lld"));           // the wrong one
static_assert(!Fits<size_t, int>("%*d"));     // '*' takes an int
static_assert(!Fits<int, float>("%.*f %d"));  // nor a value after it
static_assert(!Fits<int>("%.2d"));            // a precision on an integer
static_assert(!Fits<double>("%Lf"));
static_assert(!Fits<int>("%lc"));
static_assert(!Fits<const char*>("%05s"));
static_assert(!Fits<int>("%+d"));
static_assert(!Fits<double>("%e"));
static_assert(!Fits<>("%"));

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
