#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QGlyphRun>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QRawFont>
#include <QScreen>
#include <QScrollBar>
#include <vector>

#include "app/program.h"
#include "support/fakes.h"
#include "support/program_fixture.h"
#include "support/terminal_view_fixture.h"
#include "terminal/TerminalView.h"
#include "terminal/terminal_screen.h"

namespace tw {
namespace {

class TerminalViewTest : public test::TerminalViewFixture {
 protected:
  void Write(const std::string& bytes) { WriteScreen(ti(), view, bytes.data(), bytes.size()); }

  // Compares every cell wholly inside the viewport: a cell shows ink (any
  // pixel other than the background) exactly when it holds a character, or
  // when `inked` says so.
  void ExpectInkOnlyOnCharacters(const QImage& image, const QRect& inked = QRect()) {
    const QRgb background = view.viewport()->palette().color(QPalette::Base).rgb();
    const int w = ti().charWidth, h = ti().charHeight;
    int checked = 0;
    for (int r = 0; r < SCREEN_ROWS; ++r) {
      for (int c = 0; c < SCREEN_COLUMNS; ++c) {
        const QRect cell(c * w - ti().scrollX, r * h - ti().scrollY, w, h);
        if (!image.rect().contains(cell)) continue;
        bool ink = false;
        for (int y = cell.top(); y <= cell.bottom() && !ink; ++y) {
          for (int x = cell.left(); x <= cell.right() && !ink; ++x) {
            ink = image.pixel(x, y) != background;
          }
        }
        const bool want = ti().cell(r, c) != ' ' || inked.contains(cell.topLeft());
        EXPECT_EQ(ink, want) << "row " << r << " column " << c;
        ++checked;
      }
    }
    EXPECT_GT(checked, 0);
  }
};

TEST_F(TerminalViewTest, PaintsTextOnlyInOccupiedCellsInTheTextColour) {
  ShowViewport(64 * ti().charWidth, 40 * ti().charHeight);
  // PrintLine shows its line before it returns, without the event loop.
  program.terminal().PrintLine("HELLO");
  ExpectInkOnlyOnCharacters(OnScreen());
  ti().row = 5;
  ti().column = 40;
  Write("X");
  const QImage image = view.viewport()->grab().toImage();
  ExpectInkOnlyOnCharacters(image);

  // Text is drawn in the record's colour, 0x00BBGGRR: dark blue by default.
  const QRect h(11 * ti().charWidth, 0, ti().charWidth, ti().charHeight);
  bool blue = false;
  for (int y = h.top(); y <= h.bottom(); ++y) {
    for (int x = h.left(); x <= h.right(); ++x) {
      const QColor p = image.pixelColor(x, y);
      blue = blue || (p.blue() > p.red() + 60 && p.blue() > p.green() + 60);
    }
  }
  EXPECT_TRUE(blue);
}

TEST_F(TerminalViewTest, ScrollBarsFollowTheModelAndDriveIt) {
  ShowViewport(200, 150);
  QScrollBar* vbar = view.verticalScrollBar();
  QScrollBar* hbar = view.horizontalScrollBar();
  EXPECT_EQ(ti().scrollRangeY, 40 * ti().charHeight - 150);
  EXPECT_EQ(ti().scrollRangeX, 64 * ti().charWidth - 200);
  EXPECT_EQ(vbar->maximum(), ti().scrollRangeY);
  EXPECT_EQ(hbar->maximum(), ti().scrollRangeX);

  vbar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(ti().scrollY, ti().charHeight);
  vbar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(ti().scrollY, ti().charHeight + 150);
  vbar->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(ti().scrollY, ti().scrollRangeY);
  vbar->setSliderPosition(37);
  EXPECT_EQ(ti().scrollY, 37);
  EXPECT_EQ(vbar->value(), 37);
  hbar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(ti().scrollX, 200);
  EXPECT_EQ(hbar->value(), 200);

  // Dragging the thumb only tracks; the screen moves when it is released.
  vbar->setSliderDown(true);
  vbar->setSliderPosition(60);
  EXPECT_EQ(ti().scrollY, 37);
  vbar->setSliderDown(false);
  EXPECT_EQ(ti().scrollY, 60);

  // Painting follows the offsets.
  for (int r = 0; r < 8; ++r) Write("row " + std::to_string(r) + std::string(40, '#') + "\r\n");
  ExpectInkOnlyOnCharacters(view.viewport()->grab().toImage());
  QApplication::processEvents();
  ExpectInkOnlyOnCharacters(OnScreen());
  vbar->triggerAction(QAbstractSlider::SliderSingleStepSub);
  vbar->triggerAction(QAbstractSlider::SliderSingleStepSub);
  hbar->triggerAction(QAbstractSlider::SliderSingleStepSub);
  QApplication::processEvents();
  ExpectInkOnlyOnCharacters(OnScreen());
}

int Differing(const QImage& a, const QImage& b) {
  int differing = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) differing += a.pixel(x, y) != b.pixel(x, y);
  }
  return differing;
}

// Rows are drawn from a glyph table made once per font, or copied from cells
// drawn once; every byte value must look exactly as drawing the row's text
// with the font does. A byte the face has no glyph for is drawn by one of
// the font's fallbacks, whose advance is its own: it stays in its own cell
// and every other byte in its column, however the row is cut for painting.
TEST_F(TerminalViewTest, RowsLookAsTheirTextDrawnWithTheFont) {
  ShowViewport(64 * ti().charWidth + 40, 40 * ti().charHeight);
  LogFont boldItalic = program.settings().terminalFont;
  boldItalic.faceName = "Liberation Mono";
  boldItalic.height = 17;
  boldItalic.weight = 700;
  boldItalic.italic = 1;
  std::vector<int> copied, drawn;
  for (const LogFont& font : {program.settings().terminalFont, boldItalic}) {
    program.terminal().ApplyFont(font, program.settings().textColor);
    const int copiedBefore = view.glyphCells().rowsCopied();
    const int drawnBefore = view.glyphCells().rowsDrawn();
    for (int byte = 0; byte < 256; ++byte) {
      ti().row = byte / 64;
      ti().column = byte % 64;
      const char c = static_cast<char>(byte);
      Write(std::string(1, c == '\r' || c == '\n' || c == '\b' || c == '\t' ? '.' : c));
    }
    view.viewport()->repaint();
    const QImage shown = view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);

    QImage expected(shown.size(), QImage::Format_RGB32);
    expected.fill(view.viewport()->palette().color(QPalette::Base));
    QPainter painter(&expected);
    painter.setFont(view.terminalFont());
    painter.setPen(QColor(program.settings().textColor & 0xFF,
                          (program.settings().textColor >> 8) & 0xFF,
                          (program.settings().textColor >> 16) & 0xFF));
    // Each byte alone at its column, as the font draws its character; one
    // the face lacks clipped to its cell. Text drawing hides format
    // characters (the soft hyphen): they show the face's glyph.
    const QRawFont face = QRawFont::fromFont(view.terminalFont());
    const int ascent = QFontMetrics(view.terminalFont()).ascent();
    const int w = ti().charWidth, h = ti().charHeight;
    for (int row = 0; row < SCREEN_ROWS; ++row) {
      for (int column = 0; column < SCREEN_COLUMNS; ++column) {
        const QChar c(static_cast<unsigned char>(ti().cell(row, column)));
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) continue;
        const bool inFace = face.supportsCharacter(c);
        painter.setClipRect(inFace ? 0 : column * w, row * h, inFace ? SCREEN_COLUMNS * w : w, h);
        const QPointF origin(column * w, row * h + ascent);
        if (c.category() != QChar::Other_Format) {
          painter.drawText(origin, QString(c));
          continue;
        }
        QGlyphRun glyph;
        glyph.setRawFont(face);
        glyph.setGlyphIndexes(face.glyphIndexesForString(QString(c)));
        glyph.setPositions({QPointF(0, 0)});
        painter.drawGlyphRun(origin, glyph);
      }
    }
    painter.end();
    EXPECT_EQ(Differing(shown, expected), 0) << font.faceName << " " << font.height;
    copied.push_back(view.glyphCells().rowsCopied() - copiedBefore);
    drawn.push_back(view.glyphCells().rowsDrawn() - drawnBefore);
  }
  // The default font's glyphs stay inside their cells, so its rows were
  // copied from drawn cells; many of the italic face's lean into their
  // neighbours, and rows holding them were drawn glyph by glyph.
  EXPECT_GT(copied[0], 0);
  EXPECT_EQ(drawn[0], 0);
  EXPECT_GT(drawn[1], 0);

  // Painted in strips that cut the rows through bytes the face lacks and
  // next to them, the default font's screen looks the same as painted whole.
  program.terminal().ApplyFont(program.settings().terminalFont, program.settings().textColor);
  view.viewport()->repaint();
  const QImage whole = OnScreen();
  int from = 0;
  for (const int to : {3, 21, 22, 33, 40, 64}) {
    view.viewport()->repaint(from * ti().charWidth, 0, (to - from) * ti().charWidth,
                             SCREEN_ROWS * ti().charHeight);
    from = to;
  }
  EXPECT_EQ(Differing(OnScreen(), whole), 0);
}

// Underlined rows are drawn as text, which hides the soft hyphen and gives
// a byte the face lacks its fallback's width: each must keep its own cell.
TEST_F(TerminalViewTest, UnderlinedRowsKeepEveryByteInItsColumn) {
  ShowViewport(64 * ti().charWidth, 40 * ti().charHeight);
  LogFont underlined = program.settings().terminalFont;
  underlined.underline = 1;
  program.terminal().ApplyFont(underlined, program.settings().textColor);
  Write(
      "A B\r\nA\xAD"
      "B\r\nA\x85"
      "B\r\n");
  view.viewport()->repaint();
  const QImage image = view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const auto cell = [&](int row, int column) {
    return image.copy(column * ti().charWidth, row * ti().charHeight, ti().charWidth,
                      ti().charHeight);
  };
  for (int row = 1; row <= 2; ++row) {
    EXPECT_TRUE(cell(row, 0) == cell(0, 0)) << "row " << row;
    EXPECT_TRUE(cell(row, 2) == cell(0, 2)) << "row " << row;
  }
  EXPECT_FALSE(cell(1, 1) == cell(0, 1));  // the soft hyphen shows
}

TEST_F(TerminalViewTest, LargerFontMakesLargerCellsAndLongerScrollRanges) {
  ShowViewport(300, 200);
  const int width = ti().charWidth, height = ti().charHeight;
  const int rangeX = ti().scrollRangeX, rangeY = ti().scrollRangeY;
  program.settings().terminalFont.height = 24;
  program.terminal().ApplyFont(program.settings().terminalFont, program.settings().textColor);
  EXPECT_GT(ti().charWidth, width);
  EXPECT_GT(ti().charHeight, height);
  EXPECT_EQ(ti().scrollRangeY, 40 * ti().charHeight - 200);
  EXPECT_GT(ti().scrollRangeY, rangeY);
  EXPECT_GT(ti().scrollRangeX, rangeX);
  EXPECT_EQ(view.verticalScrollBar()->maximum(), ti().scrollRangeY);
  EXPECT_EQ(view.horizontalScrollBar()->maximum(), ti().scrollRangeX);

  program.terminal().PrintLine("big");
  ExpectInkOnlyOnCharacters(view.viewport()->grab().toImage());
}

TEST_F(TerminalViewTest, CaretFollowsFocusOnlyWhileConnected) {
  ShowViewport(64 * ti().charWidth, 40 * ti().charHeight);
  QFocusEvent in(QEvent::FocusIn), out(QEvent::FocusOut);
  QApplication::sendEvent(&view, &in);
  EXPECT_FALSE(view.caretVisible());

  ti().connected = 1;
  Write("ab");
  QApplication::sendEvent(&view, &in);
  ASSERT_TRUE(view.caretVisible());
  const QRect caret(2 * ti().charWidth, 0, ti().charWidth, ti().charHeight);
  EXPECT_EQ(view.caretRect(), caret);
  ExpectInkOnlyOnCharacters(view.viewport()->grab().toImage(), caret);

  QApplication::sendEvent(&view, &out);
  EXPECT_FALSE(view.caretVisible());
  ExpectInkOnlyOnCharacters(view.viewport()->grab().toImage());
}

TEST_F(TerminalViewTest, TypedCharacterIsOnlyAnnounced) {
  int typed = 0;
  QObject::connect(&view, &TerminalView::characterTyped, [&] { ++typed; });
  QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
  QApplication::sendEvent(&view, &key);
  EXPECT_EQ(typed, 1);
  EXPECT_EQ(ti().rowText(0), std::string(64, ' '));
}

}  // namespace
}  // namespace tw
