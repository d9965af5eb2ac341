// TerminalView's painting: the record's cells, the selection and the caret.
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <array>

#include "terminal/TerminalFont.h"
#include "terminal/TerminalView.h"
#include "terminal/terminal_screen.h"
#include "terminal/terminal_scrollback.h"

namespace tw {

namespace {

// A row's cells as text. Control bytes drawn as spaces keep every later
// cell of the run in its column.
QString RowText(const unsigned char* bytes, int count) {
  QString text(count, QLatin1Char(' '));
  for (int i = 0; i < count; ++i) text[i] = QLatin1Char(tw::ShownChar(bytes[i]));
  return text;
}

bool RowIsBlank(const char* cells, int count) {
  for (int i = 0; i < count; ++i) {
    if (tw::HasInk(static_cast<unsigned char>(cells[i]))) return false;
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
  // The caret is on the screen's bottom row, which is not where the view is
  // while it is scrolled back.
  if (ti->history.back == 0) paintCaret(painter, event->rect());
  paintMark(painter, *ti);
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
    // At the bottom this is the screen's row; scrolled back, a history row.
    const char* shownRow = tw::DocumentRow(ti, tw::ShownRow(ti, row));
    if (shownRow == nullptr) continue;
    const char* cellsText = shownRow + range.firstColumn;
    if (blankIsEmpty && RowIsBlank(cellsText, count)) continue;
    const auto* bytes = reinterpret_cast<const unsigned char*>(cellsText);
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
  const int64_t top = tw::ShownRow(ti, 0);
  const int firstRow = static_cast<int>(std::clamp<int64_t>(a.row - top, 0, tw::SCREEN_ROWS));
  const int lastRow = static_cast<int>(std::clamp<int64_t>(b.row - top, -1, tw::SCREEN_ROWS - 1));
  const bool xorPaint = painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
  if (xorPaint) painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  for (int row = firstRow; row <= lastRow; ++row) {
    const int first = top + row == a.row ? a.column : 0;
    const int last = top + row == b.row ? b.column : tw::SCREEN_COLUMNS - 1;
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
