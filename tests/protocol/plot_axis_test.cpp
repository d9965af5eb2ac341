// Plot axes: round ends and ticks, and values onto pixels.
#include "protocol/plot_axis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tw::test {
namespace {

TEST(RoundAxis, HoldsTheRangeWithRoundEndsAndEvenTicks) {
  struct Case {
    double lo, hi;
  };
  for (Case c : {Case{-104, -80}, Case{0.3, 0.7}, Case{750, 2250}, Case{-5, 5}, Case{1e6, 3e6},
                 Case{-96.3, -91.0}}) {
    const PlotAxis a = RoundAxis(c.lo, c.hi);
    EXPECT_LE(a.min, c.lo);
    EXPECT_GE(a.max, c.hi);
    ASSERT_GE(a.ticks.size(), 2u) << c.lo << ".." << c.hi;
    EXPECT_LE(a.ticks.size(), 8u) << c.lo << ".." << c.hi;
    EXPECT_DOUBLE_EQ(a.ticks.front(), a.min);
    EXPECT_NEAR(a.ticks.back(), a.max, 1e-9 * std::fabs(a.max) + 1e-12);
    const double step = a.ticks[1] - a.ticks[0];
    for (size_t i = 1; i < a.ticks.size(); ++i) {
      EXPECT_NEAR(a.ticks[i] - a.ticks[i - 1], step, 1e-9 * step);
    }
    // The step is 1, 2 or 5 times a power of ten.
    const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
    EXPECT_TRUE(std::fabs(mantissa - 1) < 1e-9 || std::fabs(mantissa - 2) < 1e-9 ||
                std::fabs(mantissa - 5) < 1e-9)
        << step;
  }
  const PlotAxis dbv = RoundAxis(-104, -80);
  EXPECT_EQ(dbv.min, -105);
  EXPECT_EQ(dbv.max, -80);
}

TEST(RoundAxis, OneValueReversedAndNonFiniteInputsStillGiveAnAxis) {
  const PlotAxis one = RoundAxis(-90, -90);
  EXPECT_LT(one.min, -90);
  EXPECT_GT(one.max, -90);
  const PlotAxis zero = RoundAxis(0, 0);
  EXPECT_LT(zero.min, 0);
  EXPECT_GT(zero.max, 0);

  const PlotAxis reversed = RoundAxis(10, 2);
  EXPECT_LE(reversed.min, 2);
  EXPECT_GE(reversed.max, 10);

  const PlotAxis bad = RoundAxis(std::numeric_limits<double>::quiet_NaN(), 3);
  EXPECT_EQ(bad.min, 0);
  EXPECT_EQ(bad.max, 1);
  const PlotAxis huge = RoundAxis(-2147483648.0, 2147483647.0);
  EXPECT_LE(huge.ticks.size(), 8u);
}

TEST(PlotAxis, MapsLinearlyOntoEitherDirectionAndHoldsOutsideValuesAtTheEnds) {
  PlotAxis a;
  a.min = -100;
  a.max = -80;
  EXPECT_DOUBLE_EQ(a.Map(-100, 10, 210), 10);
  EXPECT_DOUBLE_EQ(a.Map(-90, 10, 210), 110);
  EXPECT_DOUBLE_EQ(a.Map(-80, 10, 210), 210);
  // A y axis: pixels grow downwards.
  EXPECT_DOUBLE_EQ(a.Map(-100, 300, 100), 300);
  EXPECT_DOUBLE_EQ(a.Map(-85, 300, 100), 150);
  EXPECT_DOUBLE_EQ(a.Map(-200, 300, 100), 300);
  EXPECT_DOUBLE_EQ(a.Map(0, 300, 100), 100);
  PlotAxis flat;
  flat.min = flat.max = 5;
  EXPECT_DOUBLE_EQ(flat.Map(5, 7, 9), 7);
}

TEST(TickLabel, DecimalsFollowTheStep) {
  EXPECT_EQ(TickLabel(-90, 5), "-90");
  EXPECT_EQ(TickLabel(0.5, 0.1), "0.5");
  EXPECT_EQ(TickLabel(0.25, 0.05), "0.25");
  EXPECT_EQ(TickLabel(-1e-12, 0.2), "0.0");
  EXPECT_EQ(TickLabel(1500, 500), "1500");
}

}  // namespace
}  // namespace tw::test
