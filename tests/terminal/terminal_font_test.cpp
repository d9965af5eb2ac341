// The terminal font's arithmetic: a cell holds its glyph's fractional
// advance, a stand-in face shrinks until its cell fits (never below 6
// pixels), weights and sizes in points.
#include "terminal/terminal_font.h"

#include <gtest/gtest.h>

#include <vector>

namespace tw {
namespace {

TEST(TerminalFontArithmetic, CellHoldsTheWholeGlyphAdvance) {
  struct Case {
    int average;
    double advance;
    int height, leading;
    int width, cellHeight;
  };
  for (const Case& c : {Case{8, 8.0, 14, 0, 8, 14}, Case{8, 8.2, 14, 1, 9, 15},
                        Case{9, 8.4, 13, 0, 9, 13}, Case{0, 0.0, 0, -2, 1, 1}}) {
    const CellSize cell = CellOfFace(c.average, c.advance, c.height, c.leading);
    EXPECT_EQ(cell.width, c.width) << c.average << " " << c.advance;
    EXPECT_EQ(cell.height, c.cellHeight) << c.height << " " << c.leading;
  }
}

TEST(TerminalFontArithmetic, StandInShrinksUntilItsCellFits) {
  std::vector<int> tried;
  // A face whose cell is three pixels higher than its pixel size.
  const auto measure = [&](int px) {
    tried.push_back(px);
    return CellSize{px / 2, px + 3};
  };
  EXPECT_EQ(ShrinkToHeight(16, CellSize{8, 19}, measure).height, 16);
  EXPECT_EQ(tried, (std::vector<int>{15, 14, 13}));

  tried.clear();
  EXPECT_EQ(ShrinkToHeight(16, CellSize{8, 16}, measure).height, 16);
  EXPECT_TRUE(tried.empty());

  // A face that never fits stops at 6 pixels.
  tried.clear();
  const auto tall = [&](int px) {
    tried.push_back(px);
    return CellSize{4, 30};
  };
  EXPECT_EQ(ShrinkToHeight(8, CellSize{4, 30}, tall).height, 30);
  EXPECT_EQ(tried, (std::vector<int>{7, 6}));
}

TEST(TerminalFontArithmetic, WeightsAndPointSizes) {
  EXPECT_EQ(DrawnWeight(0), 400);
  EXPECT_EQ(DrawnWeight(-5), 400);
  EXPECT_EQ(DrawnWeight(700), 700);
  EXPECT_EQ(DrawnWeight(5000), 1000);
  EXPECT_EQ(PixelHeightOfPoints(10, 96), 13);      // 13.33
  EXPECT_EQ(PixelHeightOfPoints(10.125, 96), 14);  // 13.5
  EXPECT_EQ(PixelHeightOfPoints(9, 120), 15);
}

}  // namespace
}  // namespace tw
