#include "terminal/terminal_screen.h"

#include <gtest/gtest.h>

#include <string>

#include "support/fakes.h"

namespace tw {
namespace {

using test::RecordingSurface;

class ScreenTest : public ::testing::Test {
 protected:
  void Write(const std::string& bytes) { WriteScreen(ti, surface, bytes.data(), bytes.size()); }
  std::string Row(int r) const {
    std::string s = ti.rowText(r);
    return s.substr(0, s.find_last_not_of(' ') + 1);
  }

  TerminalInfo ti;
  RecordingSurface surface;
};

TEST_F(ScreenTest, FortiethLineEndPushesTheFirstLineOffTheTop) {
  for (int n = 1; n <= 40; ++n) Write("line " + std::to_string(n) + "\r\n");
  for (int r = 0; r < 39; ++r) EXPECT_EQ(Row(r), "line " + std::to_string(r + 2)) << "row " << r;
  EXPECT_EQ(Row(39), "");
  EXPECT_EQ(ti.row, 39);
  EXPECT_EQ(ti.column, 0);
  // Only the one scroll-up repaints everything; characters repaint their cells.
  EXPECT_EQ(surface.fullInvalidations, 1);
  EXPECT_EQ(surface.rects.size(), 9u * 6 + 31u * 7);
}

TEST_F(ScreenTest, NewLineMakesCarriageReturnAdvanceToo) {
  ti.newLine = 1;
  Write("ab\r\ncd\r\n");
  EXPECT_EQ(Row(0), "ab");
  EXPECT_EQ(Row(1), "");
  EXPECT_EQ(Row(2), "cd");
  EXPECT_EQ(ti.row, 4);
}

TEST_F(ScreenTest, LongLineWithoutAutoWrapKeepsOverwritingTheLastColumn) {
  std::string line;
  for (int i = 0; i < 70; ++i) line += static_cast<char>('A' + i % 26);
  Write(line);
  EXPECT_EQ(ti.rowText(0), line.substr(0, 63) + line.back());
  EXPECT_EQ(Row(1), "");
  EXPECT_EQ(ti.row, 0);
  EXPECT_EQ(ti.column, 63);
}

TEST_F(ScreenTest, LongLineWithAutoWrapContinuesOnTheNextRow) {
  ti.autoWrap = 1;
  std::string line;
  for (int i = 0; i < 70; ++i) line += static_cast<char>('A' + i % 26);
  Write(line);
  EXPECT_EQ(ti.rowText(0), line.substr(0, 64));
  EXPECT_EQ(Row(1), line.substr(64));
  EXPECT_EQ(ti.row, 1);
  EXPECT_EQ(ti.column, 6);
}

TEST_F(ScreenTest, AutoWrapOnTheBottomRowScrollsUp) {
  ti.autoWrap = 1;
  ti.row = 39;
  Write(std::string(64, 'x') + "y");
  EXPECT_EQ(ti.rowText(38), std::string(64, 'x'));
  EXPECT_EQ(Row(39), "y");
  EXPECT_EQ(ti.row, 39);
}

TEST_F(ScreenTest, ControlBytes) {
  Write("\b");
  EXPECT_EQ(ti.column, 0);
  Write("ab\bc\x07");
  EXPECT_EQ(Row(0), "ac");
  EXPECT_EQ(ti.column, 2);
  EXPECT_EQ(surface.beeps, 1);
  EXPECT_EQ(surface.rects.size(), 3u);  // a, b, c: the bell painted nothing
}

TEST_F(ScreenTest, TabVerticalTabFormFeedAndHighBytesAreOrdinary) {
  const std::string bytes = "\t\v\f\xE9\x80\xFF";
  Write(bytes);
  EXPECT_EQ(ti.rowText(0).substr(0, 6), bytes);
  EXPECT_EQ(ti.column, 6);
  EXPECT_EQ(ti.row, 0);
}

TEST_F(ScreenTest, CellInvalidationFollowsScrollOffsets) {
  ti.scrollX = 16;
  ti.scrollY = 28;
  ti.row = 2;
  ti.column = 3;
  Write("z");
  ASSERT_EQ(surface.rects.size(), 1u);
  EXPECT_EQ(surface.rects[0], (std::array<int, 4>{8, 0, 8, 14}));
}

TEST_F(ScreenTest, SizeSetsRangesAndPullsOffsetsBackInside) {
  SizeTerminal(ti, surface, 300, 200);
  EXPECT_EQ(surface.ranges[true], 40 * 14 - 300);
  EXPECT_EQ(surface.ranges[false], 64 * 8 - 200);

  ti.scrollY = 200;
  ti.scrollX = 300;
  SizeTerminal(ti, surface, 500, 600);
  EXPECT_EQ(ti.scrollY, 60);
  EXPECT_EQ(surface.positions[true], 60);
  EXPECT_EQ(ti.scrollRangeX, 0);
  EXPECT_EQ(ti.scrollX, 0);
  EXPECT_EQ(surface.fullInvalidations, 2);
}

TEST_F(ScreenTest, ScrollingStaysInsideTheRange) {
  SizeTerminal(ti, surface, 300, 200);  // ranges 260 down, 312 across
  EXPECT_EQ(ScrollTerminalVert(ti, surface, SB_LINEUP, 0), 1);
  EXPECT_EQ(ti.scrollY, 0);
  EXPECT_TRUE(surface.scrolls.empty());
  ScrollTerminalVert(ti, surface, SB_LINEDOWN, 0);
  EXPECT_EQ(surface.scrolls.back(), std::make_pair(0, -14));
  ScrollTerminalVert(ti, surface, SB_PAGEDOWN, 0);
  EXPECT_EQ(ti.scrollY, 14 + 246);
  EXPECT_EQ(surface.scrolls.back(), std::make_pair(0, -246));
  ScrollTerminalVert(ti, surface, SB_PAGEDOWN, 0);
  EXPECT_EQ(surface.positions[true], 260);
  ScrollTerminalVert(ti, surface, SB_THUMBPOSITION, 100);
  EXPECT_EQ(ti.scrollY, 100);
  ScrollTerminalVert(ti, surface, SB_TOP, 0);
  EXPECT_EQ(ti.scrollY, 0);
  ScrollTerminalVert(ti, surface, SB_BOTTOM, 0);
  EXPECT_EQ(ti.scrollY, 260);

  ScrollTerminalHorz(ti, surface, SB_LINEDOWN, 0);
  EXPECT_EQ(surface.scrolls.back(), std::make_pair(-8, 0));
  ScrollTerminalHorz(ti, surface, SB_PAGEDOWN, 0);
  EXPECT_EQ(ti.scrollX, 208);
  ScrollTerminalHorz(ti, surface, SB_THUMBPOSITION, 9999);
  EXPECT_EQ(surface.positions[false], 312);
  ScrollTerminalHorz(ti, surface, SB_THUMBPOSITION, -50);
  EXPECT_EQ(ti.scrollX, 0);
  EXPECT_EQ(ti.scrollY, 260);
}

TEST_F(ScreenTest, TrackingEndScrollAndUnknownCodesAreIgnored) {
  SizeTerminal(ti, surface, 300, 200);
  ti.scrollY = 50;
  surface.positions.clear();
  for (int code : {SB_THUMBTRACK, SB_ENDSCROLL, 9, -1}) {
    EXPECT_EQ(ScrollTerminalVert(ti, surface, code, 0), 0);
    EXPECT_EQ(ScrollTerminalHorz(ti, surface, code, 0), 0);
  }
  EXPECT_EQ(ti.scrollY, 50);
  EXPECT_TRUE(surface.scrolls.empty());
  EXPECT_TRUE(surface.positions.empty());
}

std::array<int, 4> Range(const TerminalInfo& ti, int left, int top, int right, int bottom) {
  const CellRange r = PaintRange(ti, left, top, right, bottom);
  return {r.firstRow, r.lastRow, r.firstColumn, r.lastColumn};
}

TEST_F(ScreenTest, PaintRangeCoversExactlyTheTouchedCells) {
  using A = std::array<int, 4>;
  EXPECT_EQ(Range(ti, 0, 0, 8, 14), (A{0, 0, 0, 0}));
  EXPECT_EQ(Range(ti, 8, 14, 16, 28), (A{1, 1, 1, 1}));
  EXPECT_EQ(Range(ti, 7, 13, 9, 15), (A{0, 1, 0, 1}));
  EXPECT_EQ(Range(ti, 0, 0, 2000, 2000), (A{0, 39, 0, 63}));
  EXPECT_EQ(Range(ti, 1000, 1000, 2000, 2000), (A{39, 39, 63, 63}));
  ti.scrollX = 12;
  ti.scrollY = 20;
  EXPECT_EQ(Range(ti, 0, 0, 8, 14), (A{1, 2, 1, 2}));
  EXPECT_EQ(Range(ti, 0, 0, 4, 8), (A{1, 1, 1, 1}));
  ti.charWidth = ti.charHeight = 0;  // no division by zero
  EXPECT_EQ(Range(ti, 0, 0, 10, 10), (A{20, 29, 12, 21}));
}

TEST_F(ScreenTest, CaretOnlyWhileConnected) {
  ShowTerminalCaret(ti, surface);
  EXPECT_FALSE(surface.caretExists);
  EXPECT_EQ(ti.caretState, 0);
  Write("abc");
  EXPECT_EQ(surface.caretX, -1);

  ti.connected = 1;
  ti.scrollX = 8;
  ShowTerminalCaret(ti, surface);
  EXPECT_TRUE(surface.caretExists && surface.caretShown);
  EXPECT_EQ(ti.caretState, 1);
  EXPECT_EQ(surface.caretX, 3 * 8 - 8);
  EXPECT_EQ(surface.caretY, 0);

  Write("\r\n");
  EXPECT_EQ(surface.caretX, -8);
  EXPECT_EQ(surface.caretY, 14);

  HideTerminalCaret(ti, surface);
  EXPECT_FALSE(surface.caretExists);
  EXPECT_EQ(ti.caretState, 0);
  Write("d");  // a hidden caret is not moved
  EXPECT_EQ(surface.caretX, -8);
}

TEST(FormatPrintLineTest, TimestampLineEndAndCutAt626Characters) {
  LocalTime t;
  t.hour = 9;
  t.minute = 5;
  t.second = 7;
  EXPECT_EQ(FormatPrintLine(t, "Error: Not Connected!"), "[09:05:07] Error: Not Connected!\r\n");
  const std::string longest(626, 'a');
  const std::string line = FormatPrintLine(t, longest + "bcd");
  EXPECT_EQ(line, "[09:05:07] " + longest + "\r\n");
  EXPECT_EQ(line.size() + 1, 640u);  // with its terminator, as the screen's line buffer holds
}

}  // namespace
}  // namespace tw
