// TerminalView's painting: the record's cells, the selection and the caret.
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <array>

#include "terminal/TerminalFont.h"
#include "terminal/TerminalView.h"
#include "terminal/terminal_screen.h"

namespace tw {

namespace {

// A row's cells as text. Control bytes drawn as spaces keep every later
// cell of the run in its column.
QString RowText(const unsigned char* bytes, int count) {
  QString text(count, QLatin1Char(' '));
  for (int i = 0; i < count; ++i) text[i] = QLatin1Char(tw::ShownChar(bytes[i]));
  return text;
}

bool RowIsBlank(const tw::TerminalInfo& ti, int row, int firstColumn, int count) {
  for (int i = 0; i < count; ++i) {
    if (tw::HasInk(static_cast<unsigned char>(ti.cell(row, firstColumn + i)))) return false;
  }
  return true;
}

}  // namespace

void TerminalView::paintEvent(QPaintEvent* event) {
  dirty_ -= event->region();
  tw::TerminalInfo* ti = record();
  if (!ti) return;  // the background alone

  QPainter painter(viewport());
  painter.setFont(font_);
  for (const QRect& area : event->region()) paintCells(painter, *ti, area);
  painter.setClipping(false);
  paintSelection(painter, *ti);
  tw::MoveTerminalCaret(*ti, *this);
  paintCaret(painter, event->rect());
}

void TerminalView::paintCells(QPainter& painter, const tw::TerminalInfo& ti, const QRect& area) {
  const tw::CellRange range =
      tw::PaintRange(ti, area.left(), area.top(), area.right() + 1, area.bottom() + 1);
  const int count = range.lastColumn - range.firstColumn + 1;
  if (count <= 0) return;
  const QColor background = backgroundColor();
  glyphCells_.setBackground(background);
  const int ascent = QFontMetrics(font_).ascent();
  painter.setPen(TextQColor(textColor_));
  // Spaces leave no ink unless a line runs through them.
  const bool blankIsEmpty = !font_.underline() && !font_.strikeOut();
  for (int row = range.firstRow; row <= range.lastRow; ++row) {
    const int x = range.firstColumn * ti.charWidth - ti.scrollX;
    const int y = row * ti.charHeight - ti.scrollY;
    const QRect cells(x, y, count * ti.charWidth, ti.charHeight);
    painter.setClipRect(cells);
    painter.fillRect(cells, background);
    if (blankIsEmpty && RowIsBlank(ti, row, range.firstColumn, count)) continue;
    const auto* bytes = reinterpret_cast<const unsigned char*>(
        &ti.screen[static_cast<size_t>(row * tw::SCREEN_COLUMNS + range.firstColumn)]);
    // Bytes the face lacks are blanks in the row and drawn in their cells.
    std::array<unsigned char, tw::SCREEN_COLUMNS> inFace;
    const bool lacking = glyphCells_.blankLacking(bytes, count, inFace.data());
    const unsigned char* shown = lacking ? inFace.data() : bytes;
    if (!glyphCells_.drawRow(painter, shown, count, QPoint(x, y))) {
      painter.drawText(x, y + ascent, RowText(shown, count));
    }
    if (lacking) glyphCells_.drawLacking(painter, bytes, count, QPoint(x, y));
  }
}

// Selected cells are shown inverted, like the caret.
void TerminalView::paintSelection(QPainter& painter, const tw::TerminalInfo& ti) {
  if (!selection_.active) return;
  const tw::CellPos a = selection_.first(), b = selection_.last();
  const bool xorPaint = painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
  if (xorPaint) painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  for (int row = a.row; row <= b.row; ++row) {
    const int first = row == a.row ? a.column : 0;
    const int last = row == b.row ? b.column : tw::SCREEN_COLUMNS - 1;
    const QRect cells(first * ti.charWidth - ti.scrollX, row * ti.charHeight - ti.scrollY,
                      (last - first + 1) * ti.charWidth, ti.charHeight);
    if (xorPaint) {
      painter.fillRect(cells, Qt::white);
    } else {
      painter.fillRect(cells, palette().color(QPalette::Highlight));
    }
  }
  if (xorPaint) painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

// Like the system caret it inverts the cell under it, so the character
// stays readable.
void TerminalView::paintCaret(QPainter& painter, const QRect& area) {
  if (!caretVisible() || !caretRect_.intersects(area)) return;
  if (painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes)) {
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.fillRect(caretRect_, Qt::white);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  } else {
    painter.fillRect(caretRect_, palette().color(QPalette::Text));
  }
}

QSize TerminalView::viewportSizeHint() const {
  const tw::TerminalInfo* ti = record();
  if (!ti) return QAbstractScrollArea::viewportSizeHint();
  return QSize(tw::SCREEN_COLUMNS * ti->charWidth, tw::SCREEN_ROWS * ti->charHeight);
}

}  // namespace tw
