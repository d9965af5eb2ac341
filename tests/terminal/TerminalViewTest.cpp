#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFocusEvent>
#include <QFontDialog>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
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

// Rows are drawn from a glyph table made once per font, or copied from cells
// drawn once; every byte value must look exactly as drawing the row's text
// with the font does, including bytes the face has no glyph for (drawn by
// the font's fallbacks).
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
    const int ascent = QFontMetrics(view.terminalFont()).ascent();
    for (int row = 0; row < SCREEN_ROWS; ++row) {
      QString text(SCREEN_COLUMNS, QLatin1Char(' '));
      for (int column = 0; column < SCREEN_COLUMNS; ++column) {
        const auto byte = static_cast<unsigned char>(ti().cell(row, column));
        if (byte >= 0x20 && byte != 0x7F) text[column] = QChar(byte);
      }
      const int y = row * ti().charHeight;
      painter.setClipRect(0, y, SCREEN_COLUMNS * ti().charWidth, ti().charHeight);
      painter.drawText(0, y + ascent, text);
    }
    painter.end();

    int differing = 0;
    for (int y = 0; y < shown.height(); ++y) {
      for (int x = 0; x < shown.width(); ++x)
        differing += shown.pixel(x, y) != expected.pixel(x, y);
    }
    EXPECT_EQ(differing, 0) << font.faceName << " " << font.height;
    copied.push_back(view.glyphCells().rowsCopied() - copiedBefore);
    drawn.push_back(view.glyphCells().rowsDrawn() - drawnBefore);
  }
  // The default font's glyphs stay inside their cells, so its rows were
  // copied from drawn cells; many of the italic face's lean into their
  // neighbours, and rows holding them were drawn glyph by glyph.
  EXPECT_GT(copied[0], 0);
  EXPECT_EQ(drawn[0], 0);
  EXPECT_GT(drawn[1], 0);
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

// Runs `step` on the modal dialog once it is open.
void WhenModal(std::function<void(QWidget*)> step) {
  QTimer::singleShot(0, [step] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    step(dialog);
  });
}

QDialogButtonBox* Buttons(QWidget* dialog) {
  return dialog->findChild<QDialogButtonBox*>("buttons");
}

TEST_F(TerminalViewTest, FontDialogOkStoresFontAndColourCancelKeepsThem) {
  WhenModal([](QWidget* dialog) {
    dialog->findChild<QFontDialog*>()->setCurrentFont(QFont("DejaVu Sans Mono"));
    Buttons(dialog)->button(QDialogButtonBox::Cancel)->click();
  });
  LogFont font;
  int32_t color = RGB(0, 0, 128);
  EXPECT_FALSE(view.chooseFont(font, color));
  EXPECT_EQ(font.faceName, "Lucida Console");
  EXPECT_EQ(color, RGB(0, 0, 128));

  WhenModal([](QWidget* dialog) {
    QFont font("DejaVu Sans Mono");
    font.setPixelSize(20);
    font.setBold(true);
    dialog->findChild<QFontDialog*>()->setCurrentFont(font);
    WhenModal([](QWidget* colors) {
      static_cast<QColorDialog*>(colors)->setCurrentColor(QColor(10, 20, 30));
      static_cast<QColorDialog*>(colors)->accept();
    });
    dialog->findChild<QPushButton*>("color")->click();
    Buttons(dialog)->button(QDialogButtonBox::Ok)->click();
  });
  ASSERT_TRUE(view.chooseFont(font, color));
  EXPECT_EQ(font.faceName, "DejaVu Sans Mono");
  EXPECT_EQ(font.weight, 700);
  EXPECT_NEAR(font.height, 20, 1);
  EXPECT_EQ(color, 0x1E140A);
}

TEST_F(TerminalViewTest, FontDialogOkWithoutAChangeKeepsTheStyleInUse) {
  for (const int32_t italic : {0, 1}) {
    LogFont font;
    font.faceName = "DejaVu Sans Mono";
    font.italic = italic;
    view.applyFont(font, 0);
    int32_t color = 0;
    WhenModal([](QWidget* dialog) { Buttons(dialog)->button(QDialogButtonBox::Ok)->click(); });
    ASSERT_TRUE(view.chooseFont(font, color));
    EXPECT_EQ(font.italic, italic);
    EXPECT_EQ(font.weight, 0);
  }
}

}  // namespace
}  // namespace tw
