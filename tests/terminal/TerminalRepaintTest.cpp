// What a new line costs the view, and that the cheap way of showing it
// leaves exactly the picture a full repaint would draw.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QImage>
#include <QPaintEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include "app/program.h"
#include "support/fakes.h"
#include "support/program_fixture.h"
#include "support/terminal_view_fixture.h"
#include "terminal/TerminalView.h"
#include "terminal/terminal_screen.h"

namespace tw {
namespace {

// Adds up what the viewport is asked to paint.
class PaintCounter : public QObject {
 public:
  int events = 0;
  qint64 pixels = 0;
  void Reset() { events = 0, pixels = 0; }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      ++events;
      for (const QRect& r : static_cast<QPaintEvent*>(event)->region()) {
        pixels += qint64(r.width()) * r.height();
      }
    }
    return false;
  }
};

class TerminalRepaintTest : public test::TerminalViewFixture {
 protected:
  TerminalRepaintTest() { view.viewport()->installEventFilter(&counter); }

  // The same area drawn afresh, every cell and the caret.
  QImage Fresh() { return view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32); }

  void ExpectShownAsDrawnAfresh(const char* moment) {
    const QImage shown = OnScreen();
    const QImage fresh = Fresh();
    ASSERT_EQ(shown.size(), fresh.size()) << moment;
    int differ = 0;
    for (int y = 0; y < shown.height(); ++y) {
      for (int x = 0; x < shown.width(); ++x) differ += shown.pixel(x, y) != fresh.pixel(x, y);
    }
    EXPECT_EQ(differ, 0) << moment;
  }

  // Lines of varied length, some past the right edge.
  void PrintLines(int from, int to) {
    for (int i = from; i <= to; ++i) {
      program.terminal().PrintLine("$CAXYZ," + std::to_string(i) + "," +
                                   std::string(static_cast<size_t>((i * 7) % 60), 'A' + i % 26));
    }
  }

  PaintCounter counter;
};

TEST_F(TerminalRepaintTest, LineAtTheBottomPaintsAboutOneRowAndShowsWhatAFullPaintWould) {
  ShowViewport(64 * ti().charWidth, 40 * ti().charHeight);
  PrintLines(1, 45);  // the screen is full and has scrolled
  QApplication::processEvents();
  ExpectShownAsDrawnAfresh("full screen");

  const qint64 row = qint64(64 * ti().charWidth) * ti().charHeight;
  counter.Reset();
  PrintLines(46, 46);
  EXPECT_EQ(counter.events, 1);  // painted before PrintLine returned
  // The new line's row and the empty row below it; never the whole screen.
  EXPECT_GT(counter.pixels, 0);
  EXPECT_LE(counter.pixels, 2 * row);
  QApplication::processEvents();
  EXPECT_LE(counter.pixels, 2 * row);
  ExpectShownAsDrawnAfresh("one more line");
  EXPECT_NE(ti().rowText(38).find("$CAXYZ,46,"), std::string::npos);
}

TEST_F(TerminalRepaintTest, ScrolledViewAndCaretStayRightWhileLinesArrive) {
  // Part of the screen, scrolled down and right, connected and focused: the
  // caret is drawn inverted on the pixels that move.
  ShowViewport(300, 200);
  ti().connected = 1;
  QFocusEvent in(QEvent::FocusIn);
  QApplication::sendEvent(&view, &in);
  ASSERT_TRUE(view.caretVisible());
  PrintLines(1, 50);
  view.verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
  view.horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  QApplication::processEvents();
  ExpectShownAsDrawnAfresh("scrolled");
  const qint64 whole = qint64(300) * 200;
  for (int i = 51; i <= 60; ++i) {
    counter.Reset();
    PrintLines(i, i);
    QApplication::processEvents();
    EXPECT_LT(counter.pixels, whole / 2) << "line " << i;
    ExpectShownAsDrawnAfresh("line at the bottom while scrolled");
  }
  // Scrolled back to the top, where the rows move out of sight.
  view.verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
  PrintLines(61, 63);
  QApplication::processEvents();
  ExpectShownAsDrawnAfresh("scrolled to the top");
}

TEST_F(TerminalRepaintTest, HeldUpdatesMakeOneRepaintWhenReleased) {
  ShowViewport(64 * ti().charWidth, 40 * ti().charHeight);
  PrintLines(1, 42);
  QApplication::processEvents();
  counter.Reset();
  view.holdUpdates(true);
  PrintLines(43, 45);
  EXPECT_EQ(counter.events, 0);
  view.holdUpdates(false);
  EXPECT_EQ(counter.events, 1);
  QApplication::processEvents();
  EXPECT_EQ(counter.events, 1);
  ExpectShownAsDrawnAfresh("after the held lines");
  // Without a hold each line is painted at once again.
  counter.Reset();
  PrintLines(46, 47);
  EXPECT_EQ(counter.events, 2);
}

TEST_F(TerminalRepaintTest, UnderlinedBlankCellsKeepTheirLine) {
  // Blank cells are skipped when painting, except where a line runs through
  // them: an underlined font draws under spaces too.
  ShowViewport(64 * ti().charWidth, 40 * ti().charHeight);
  LogFont font = program.settings().terminalFont;
  font.underline = 1;
  program.terminal().ApplyFont(font, program.settings().textColor);
  program.terminal().PrintLine("A     B");
  QApplication::processEvents();
  const QImage image = Fresh();
  const QRgb background = view.viewport()->palette().color(QPalette::Base).rgb();
  const int w = ti().charWidth, h = ti().charHeight;
  bool ink = false;  // in the blank cells between the two letters
  for (int y = 0; y < h; ++y) {
    for (int x = 13 * w; x < 16 * w; ++x) ink = ink || image.pixel(x, y) != background;
  }
  EXPECT_TRUE(ink);
  ExpectShownAsDrawnAfresh("underlined");
}

// Only the part of the screen left of the last ink moves with a new line.
// Long lines leaving at the top, lines that lean (italics) at that edge and
// lines still waiting to be painted must leave nothing behind on the right.
TEST_F(TerminalRepaintTest, ShortLinesAfterLongOnesLeaveNothingBehind) {
  ShowViewport(64 * ti().charWidth, 40 * ti().charHeight);
  ti().connected = 1;
  QFocusEvent in(QEvent::FocusIn);
  QApplication::sendEvent(&view, &in);
  LogFont italic = program.settings().terminalFont;
  italic.faceName = "Liberation Mono";
  italic.weight = 700;
  italic.italic = 1;
  for (const LogFont& font : {program.settings().terminalFont, italic}) {
    program.terminal().ApplyFont(font, program.settings().textColor);
    for (int i = 0; i < 40; ++i) {
      program.terminal().PrintLine(std::string(53, static_cast<char>('A' + i % 26)));
    }
    program.terminal().PrintLine("W/W/W/W/W");
    QApplication::processEvents();
    ExpectShownAsDrawnAfresh("long lines");
    for (int i = 0; i < 42; ++i) {
      program.terminal().PrintLine(i % 10 == 0 ? "fffff" : "/" + std::to_string(i));
      QApplication::processEvents();
      ExpectShownAsDrawnAfresh("short line after long ones");
    }
    // A long line and short ones after it, printed while the view waits to
    // paint, as during one poll.
    view.holdUpdates(true);
    program.terminal().PrintLine(std::string(60, 'M'));
    program.terminal().PrintLine("x");
    program.terminal().PrintLine("y");
    view.holdUpdates(false);
    QApplication::processEvents();
    ExpectShownAsDrawnAfresh("lines of one poll");
    // Ink on the last row overwritten with blanks while the view waits,
    // then a new line: the blanks are the last thing shown there.
    const std::string ink = "\r" + std::string(60, 'Q');
    WriteScreen(ti(), view, ink.data(), ink.size());
    QApplication::processEvents();
    view.holdUpdates(true);
    const std::string blanks = "\r" + std::string(60, ' ') + "\r\n";
    WriteScreen(ti(), view, blanks.data(), blanks.size());
    view.holdUpdates(false);
    QApplication::processEvents();
    ExpectShownAsDrawnAfresh("blanks over ink, then a new line");
    for (int i = 0; i < 40; ++i) program.terminal().PrintLine("z");
    QApplication::processEvents();
    ExpectShownAsDrawnAfresh("the long line gone");
  }
}

// A selection reaches right of the text; as it scrolls away, none of its
// inverted cells may stay behind.
TEST_F(TerminalRepaintTest, ASelectionScrollingAwayLeavesNothingBehind) {
  ShowViewport(64 * ti().charWidth, 40 * ti().charHeight);
  for (int i = 0; i < 40; ++i) program.terminal().PrintLine("s" + std::to_string(i));
  QWidget* vp = view.viewport();
  const auto cell = [this](int row, int column) {
    return QPoint(column * ti().charWidth + 1, row * ti().charHeight + 1);
  };
  QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, cell(0, 2));
  QTest::mouseMove(vp, cell(1, 60));
  QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, cell(1, 60));
  ASSERT_TRUE(view.selection().active);
  for (int i = 0; i < 3; ++i) {
    program.terminal().PrintLine("t");
    QApplication::processEvents();
    ExpectShownAsDrawnAfresh("selection scrolling away");
  }
  // Its text is in the history now, still selected.
  EXPECT_TRUE(view.selectedText().startsWith("2:34:56] s1\n["))
      << view.selectedText().toStdString();
}

}  // namespace
}  // namespace tw
