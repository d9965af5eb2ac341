// The history on screen: scrolled back with the keys while lines arrive,
// selected and copied there, found, saved; a long composed line broken to
// fit; the night view.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTest>
#include <fstream>
#include <sstream>

#include "core/commands.h"
#include "support/terminal_view_fixture.h"
#include "terminal/TerminalView.h"
#include "terminal/terminal_scrollback.h"
#include "terminal/terminal_selection.h"

namespace tw {
namespace {

class TerminalHistoryTest : public test::TerminalViewFixture {
 protected:
  TerminalHistoryTest() { ShowViewport(SCREEN_COLUMNS * 8, SCREEN_ROWS * 14); }

  // A screenshot-level check: every cell of the view shows ink exactly when
  // the row it shows now (screen or history) holds a character there. The
  // mark's corner is left out while scrolled back.
  void ExpectShownRowsPainted() {
    QApplication::processEvents();
    const QImage image = OnScreen();
    const QRgb background = view.viewport()->palette().color(QPalette::Base).rgb();
    const int w = ti().charWidth, h = ti().charHeight;
    for (int r = 0; r < SCREEN_ROWS - (ti().history.back > 0 ? 3 : 0); ++r) {
      const char* row = DocumentRow(ti(), ShownRow(ti(), r));
      for (int c = 0; c < SCREEN_COLUMNS; ++c) {
        bool ink = false;
        for (int y = r * h; y < (r + 1) * h && !ink; ++y) {
          for (int x = c * w; x < (c + 1) * w && !ink; ++x) ink = image.pixel(x, y) != background;
        }
        const bool expected = row != nullptr && HasInk(static_cast<unsigned char>(row[c]));
        ASSERT_EQ(ink, expected) << "row " << r << " column " << c;
      }
    }
  }
  void Print(int from, int to) {
    for (int n = from; n <= to; ++n) program.terminal().PrintLine("line " + std::to_string(n));
  }
};

TEST_F(TerminalHistoryTest, ScrolledBackWhileLinesArriveThenSelectedCopiedFoundAndSaved) {
  Print(1, 200);
  program.terminal().PrintWrapped(
      "Error: Configuration not loaded from \"/tmp/newcomer/a rather long folder name/"
      "settings.twc\": no such file.");
  ExpectShownRowsPainted();  // the long line on three rows, nothing past the edge

  QTest::keyClick(&view, Qt::Key_PageUp);
  QTest::keyClick(&view, Qt::Key_PageUp, Qt::ShiftModifier);
  EXPECT_EQ(ti().history.back, 2 * SCREEN_ROWS);
  EXPECT_EQ(view.verticalScrollBar()->value(), VerticalBarValue(ti()));
  const std::string top(DocumentRow(ti(), ShownRow(ti(), 0)), 18);
  Print(201, 203);
  EXPECT_EQ(std::string(DocumentRow(ti(), ShownRow(ti(), 0)), 18), top);
  EXPECT_EQ(ti().history.unseen, 3);
  ExpectShownRowsPainted();

  // Selecting and copying in the history.
  QWidget* vp = view.viewport();
  const QPoint from(11 * 8 + 1, 2 * 14 + 1), to(17 * 8 + 1, 2 * 14 + 1);
  QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, from);
  QTest::mouseMove(vp, to);
  QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, to);
  const QString selected = view.selectedText();
  EXPECT_TRUE(selected.startsWith("line ")) << selected.toStdString();
  Print(204, 250);
  EXPECT_EQ(view.selectedText(), selected);
  QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), selected);

  // End returns to the screen as it is; finding reveals an old line.
  QTest::keyClick(&view, Qt::Key_End);
  EXPECT_EQ(ti().history.back, 0);
  ExpectShownRowsPainted();
  ASSERT_TRUE(view.findText("LINE 7", true));
  EXPECT_EQ(view.selectedText(), "line 7");  // the start of "line 7.", before the selection
  EXPECT_GT(ti().history.back, 0);
  EXPECT_FALSE(view.findText("no such text", true));

  // Saved whole, oldest line first; a folder cannot be written over.
  ui.fileToSave = (root.path() / "history.txt").string();
  const std::string expected = HistoryText(ti());
  program.OnCommand(cmd::SAVE_HISTORY);
  std::stringstream saved;
  saved << std::ifstream(ui.fileToSave, std::ios::binary).rdbuf();
  EXPECT_EQ(saved.str(), expected);
  EXPECT_EQ(expected.substr(0, 18), "[12:34:56] line 1\n");
  ui.fileToSave = root.path().string();
  program.OnCommand(cmd::SAVE_HISTORY);
  EXPECT_NE(ScreenText(ti()).find("Error: History not saved to \""), std::string::npos);
}

TEST_F(TerminalHistoryTest, NightViewDrawsDarkRedOnBlackAndIsAChoice) {
  Print(1, 3);
  program.OnCommand(cmd::NIGHT_VIEW);
  EXPECT_EQ(program.settings().nightView, 1);
  EXPECT_EQ(view.viewport()->palette().color(QPalette::Base), QColor(Qt::black));
  ExpectShownRowsPainted();  // the text is there, on black
  const QImage image = OnScreen();
  int reddest = 0;  // the text is red alone: no green or blue anywhere
  for (int x = 0; x < 8 * 18; ++x) {
    const QRgb ink = image.pixel(x, 7);
    EXPECT_EQ(qGreen(ink) + qBlue(ink), 0) << x;
    reddest = std::max(reddest, qRed(ink));
  }
  EXPECT_GT(reddest, 128);
  program.OnCommand(cmd::NIGHT_VIEW);
  EXPECT_EQ(view.viewport()->palette().color(QPalette::Base), view.palette().color(QPalette::Base));
}

}  // namespace
}  // namespace tw
