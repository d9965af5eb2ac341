// TerminalView as the model's surface: repaint requests, holding them over a
// burst, and moving the pixels already shown when the contents scroll.
#include <algorithm>
#include <limits>

#include "terminal/TerminalView.h"
#include "terminal/terminal_screen.h"

namespace tw {

void TerminalView::invalidateRect(int x, int y, int width, int height) {
  // Scrolled back, the screen's cells are elsewhere in the view, if at all.
  if (const tw::TerminalInfo* ti = record(); ti && ti->history.back > 0) {
    invalidateAll(false);
    return;
  }
  const QRect area(x, y, width, height);
  dirty_ += area;
  viewport()->update(area);
}

// Every visible cell is painted opaque, so erasing first changes nothing.
void TerminalView::invalidateAll(bool) {
  dirty_ = viewport()->rect();
  viewport()->update();
}

void TerminalView::updateNow() {
  if (holds_ > 0) {
    updateDue_ = true;
    return;
  }
  if (dirty_.isEmpty()) return;
  const QRegion area = dirty_;
  dirty_ = QRegion();
  viewport()->repaint(area);
}

void TerminalView::scrollContents(int dx, int dy) {
  viewport()->scroll(dx, dy);
  // The caret was moved with the pixels; both places are drawn again.
  if (caretVisible()) {
    viewport()->update(caretRect_.translated(dx, dy));
    viewport()->update(caretRect_);
  }
}

void TerminalView::holdUpdates(bool hold) {
  holds_ = std::max(0, holds_ + (hold ? 1 : -1));
  if (holds_ == 0 && updateDue_) {
    updateDue_ = false;
    updateNow();
  }
}

// The rightmost pixel column that may differ from the background anywhere
// on the screen as shown: the last cell with a glyph in any row, and two
// cells more for glyphs that lean into their neighbours. Lines through
// blanks reach every cell.
int TerminalView::inkRight(const tw::TerminalInfo& ti) const {
  if (font_.underline() || font_.strikeOut()) {
    return std::numeric_limits<int>::max();
  }
  int last = -1;
  for (int row = 0; row < tw::SCREEN_ROWS; ++row) {
    for (int column = tw::SCREEN_COLUMNS - 1; column > last; --column) {
      if (tw::HasInk(static_cast<unsigned char>(ti.cell(row, column)))) {
        last = column;
        break;
      }
    }
  }
  if (last < 0) return std::numeric_limits<int>::min();
  return (last + 3) * ti.charWidth - ti.scrollX - 1;
}

// A new line at the bottom moves every row up. The pixels already shown
// move with it, so only the row that comes in at the bottom (and whatever
// was waiting to be painted) is drawn again. Right of the last ink on the
// screen every row is background before and after, so only the part up to
// it moves: most lines are shorter than the screen is wide.
void TerminalView::screenScrolledUp() {
  const tw::TerminalInfo* ti = record();
  if (!ti) {
    invalidateAll(false);
    return;
  }
  // Scrolled back, the view stays on its rows; whatever of the screen it
  // shows is drawn again, and the mark counts the new line.
  if (ti->history.back > 0) {
    invalidateAll(false);
    return;
  }
  const int h = ti->charHeight;
  const QRect screen(-ti->scrollX, -ti->scrollY, tw::SCREEN_COLUMNS * ti->charWidth,
                     tw::SCREEN_ROWS * h);
  // The selection stays on its text, and its inverted cells, which reach
  // across the whole width, move up with the pixels.
  const bool selected = selection_.active;
  QRect area = screen & viewport()->rect();
  if (area.isEmpty()) return;
  // What waits to be painted right of that is drawn in place afterwards,
  // from the rows as they will be, and nothing there moves.
  if (!selected) area.setRight(std::min(area.right(), inkRight(*ti)));
  if (area.isEmpty()) {
    scrollCaretUp(h);
    return;
  }
  // Qt moves its own pending repaints with the pixels; the ones noted here
  // for updateNow move the same way.
  const QRegion waiting = dirty_ & area;
  dirty_ -= waiting;
  dirty_ += waiting.translated(0, -h) & area;
  viewport()->scroll(0, -h, area);
  const QRect exposed(area.left(), std::max(area.top(), area.bottom() + 1 - h), area.width(),
                      std::min(h, area.height()));
  dirty_ += exposed;
  viewport()->update(exposed);
  scrollCaretUp(h);
}

// The caret's inverted cell may have moved up with the pixels; both places
// are drawn again.
void TerminalView::scrollCaretUp(int h) {
  if (!caretVisible()) return;
  for (const QRect& r : {caretRect_.translated(0, -h), caretRect_}) {
    dirty_ += r;
    viewport()->update(r);
  }
}

// The model moves the contents itself (scrollContents); a bar's value
// changing must not move them a second time.
void TerminalView::scrollContentsBy(int, int) {}

}  // namespace tw
