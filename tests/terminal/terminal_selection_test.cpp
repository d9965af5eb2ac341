#include "terminal/terminal_selection.h"

#include <gtest/gtest.h>

#include <string>

#include "support/fakes.h"
#include "terminal/terminal_screen.h"

namespace tw {
namespace {

class SelectionTest : public ::testing::Test {
 protected:
  void Write(const std::string& bytes) { WriteScreen(ti, surface, bytes.data(), bytes.size()); }
  TerminalSelection Select(CellPos from, CellPos to) {
    TerminalSelection s;
    s.active = true;
    s.anchor = from;
    s.end = to;
    return s;
  }

  TerminalInfo ti;
  test::RecordingSurface surface;
};

TEST_F(SelectionTest, TextRunsInReadingOrderAndDropsBlanksAtRowEnds) {
  Write("[12:00:01] $CAREV,AUV\r\n[12:00:02] second line\r\nthird\a\r\n");
  // Within one row, dragged backwards.
  EXPECT_EQ(SelectionText(ti, Select({0, 20}, {0, 11})), "$CAREV,AUV");
  // Over three rows: the rest of the first, the whole second, the start of
  // the third; a row's trailing blanks are not copied.
  EXPECT_EQ(SelectionText(ti, Select({0, 18}, {2, 2})),
            "AUV\n[12:00:02] second line\nthi");
  // Past the text of a row: the row's blanks are gone, the line break stays.
  EXPECT_EQ(SelectionText(ti, Select({1, 30}, {2, 63})), "\nthird");
  TerminalSelection none = Select({0, 0}, {0, 5});
  none.active = false;
  EXPECT_EQ(SelectionText(ti, none), "");
}

TEST_F(SelectionTest, ControlBytesCopyAsTheSpacesShownAndTheWholeScreenEndsAtItsLastText) {
  Write(std::string("a\x01" "b\x7F" "c\r\n\r\nlast\r\n"));
  EXPECT_EQ(ScreenText(ti), "a b c\n\nlast");
  TerminalInfo empty;
  EXPECT_EQ(ScreenText(empty), "");
  ti.screen[static_cast<size_t>(39 * SCREEN_COLUMNS + 63)] = 'Z';
  EXPECT_EQ(ScreenText(ti).back(), 'Z');
}

TEST_F(SelectionTest, CellsUnderThePointerStayOnTheScreenAndFollowTheOffsets) {
  ti.charWidth = 8;
  ti.charHeight = 14;
  EXPECT_EQ(CellAt(ti, 0, 0), (CellPos{0, 0}));
  EXPECT_EQ(CellAt(ti, 17, 29), (CellPos{2, 2}));
  EXPECT_EQ(CellAt(ti, -5, -5), (CellPos{0, 0}));
  EXPECT_EQ(CellAt(ti, 9000, 9000), (CellPos{39, 63}));
  ti.scrollX = 16;
  ti.scrollY = 28;
  EXPECT_EQ(CellAt(ti, 0, 0), (CellPos{2, 2}));
  ti.charWidth = 0;  // a font that measured as nothing
  EXPECT_EQ(CellAt(ti, 3, 0).column, 19);
}

TEST_F(SelectionTest, SelectionStaysOnItsTextWhenItsRowsLeaveTheScreen) {
  for (int i = 0; i < 40; ++i) Write("row " + std::to_string(i) + "\r\n");
  // Row 0 has left the screen for the history; rows keep their numbers.
  TerminalSelection s = Select({1, 4}, {2, 4});
  EXPECT_EQ(SelectionText(ti, s), "1\nrow 2");
  EXPECT_TRUE(s.Contains(1, 63));
  EXPECT_FALSE(s.Contains(2, 5));
  EXPECT_EQ(CellAt(ti, 0, 0), (CellPos{1, 0}));  // the screen's top row is row 1 now
  EXPECT_EQ(ScreenText(ti).substr(0, 5), "row 1");
}

}  // namespace
}  // namespace tw
