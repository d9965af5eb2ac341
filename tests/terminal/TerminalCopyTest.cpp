// Copying from the screen: a mouse selection, Ctrl+Shift+C and the context
// menu's commands put the text on the clipboard; typing still only beeps.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QTest>

#include "app/program.h"
#include "support/fakes.h"
#include "support/program_fixture.h"
#include "support/terminal_view_fixture.h"
#include "terminal/TerminalView.h"
#include "terminal/terminal_scrollback.h"

namespace tw {
namespace {

class TerminalCopyTest : public test::TerminalViewFixture {
 protected:
  TerminalCopyTest() {
    view.resize(600, 700);
    view.show();
    QApplication::processEvents();
    QGuiApplication::clipboard()->clear();
  }
  QPoint Cell(int row, int column) {
    return QPoint(column * ti().charWidth + 1, row * ti().charHeight + 1);
  }

};

TEST_F(TerminalCopyTest, DraggedSelectionGoesToTheClipboardWithCtrlShiftC) {
  program.terminal().PrintLine("$CAREV,AUV");
  program.terminal().PrintLine("second");
  QWidget* vp = view.viewport();
  // From "AUV" on the first row to "sec" on the second.
  QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, Cell(0, 18));
  QTest::mouseMove(vp, Cell(1, 13));
  QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, Cell(1, 13));
  EXPECT_EQ(view.selectedText(), "AUV\n[12:34:56] sec");

  int typed = 0;
  QObject::connect(&view, &TerminalView::characterTyped, [&] { ++typed; });
  QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "AUV\n[12:34:56] sec");
  EXPECT_EQ(typed, 0);
  // A plain character is still only announced, and copies nothing.
  QGuiApplication::clipboard()->clear();
  QTest::keyClick(&view, Qt::Key_C);
  EXPECT_EQ(typed, 1);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "");
}

TEST_F(TerminalCopyTest, ClickAloneSelectsNothingAndCopyAllTakesTheScreen) {
  program.terminal().PrintLine("one");
  program.terminal().PrintLine("two");
  QWidget* vp = view.viewport();
  QTest::mouseClick(vp, Qt::LeftButton, Qt::NoModifier, Cell(0, 12));
  EXPECT_FALSE(view.selection().active);
  view.copySelection();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "");
  view.copyAll();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "[12:34:56] one\n[12:34:56] two");
}

TEST_F(TerminalCopyTest, SelectionFollowsItsTextWhenTheScreenScrolls) {
  for (int i = 1; i <= 39; ++i) program.terminal().PrintLine("line " + std::to_string(i));
  QWidget* vp = view.viewport();
  QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, Cell(10, 11));
  QTest::mouseMove(vp, Cell(10, 17));
  QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, Cell(10, 17));
  EXPECT_EQ(view.selectedText(), "line 11");
  program.terminal().PrintLine("line 40");
  EXPECT_EQ(view.selectedText(), "line 11");
  // Its text is on the screen's row 9 now.
  EXPECT_EQ(view.selection().first().row - ShownRow(ti(), 0), 9);
}

}  // namespace
}  // namespace tw
