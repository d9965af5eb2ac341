#include "terminal/terminal_selection.h"

#include <algorithm>

namespace tw {

namespace {

bool Before(const CellPos& a, const CellPos& b) {
  return a.row != b.row ? a.row < b.row : a.column < b.column;
}

// Cells first..last of one row, control bytes shown as spaces (as painted),
// without the blanks at the end.
std::string RowPart(const TerminalInfo& ti, int row, int first, int last) {
  std::string text;
  for (int c = first; c <= last; ++c) {
    text += ShownChar(static_cast<unsigned char>(ti.cell(row, c)));
  }
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

}  // namespace

CellPos TerminalSelection::first() const { return Before(end, anchor) ? end : anchor; }
CellPos TerminalSelection::last() const { return Before(end, anchor) ? anchor : end; }

bool TerminalSelection::Contains(int row, int column) const {
  if (!active) return false;
  const CellPos cell{row, column};
  return !Before(cell, first()) && !Before(last(), cell);
}

void TerminalSelection::ScrollUp() {
  if (!active) return;
  --anchor.row;
  --end.row;
  if (anchor.row < 0 && end.row < 0) {
    active = false;
    return;
  }
  // The part that left the screen is gone; what is left starts at the top.
  for (CellPos* p : {&anchor, &end}) {
    if (p->row < 0) *p = CellPos{0, 0};
  }
}

CellPos CellAt(const TerminalInfo& ti, int x, int y) {
  const int w = std::max(1, ti.charWidth), h = std::max(1, ti.charHeight);
  const int px = x + ti.scrollX, py = y + ti.scrollY;
  CellPos p;
  p.row = std::clamp(py < 0 ? 0 : py / h, 0, SCREEN_ROWS - 1);
  p.column = std::clamp(px < 0 ? 0 : px / w, 0, SCREEN_COLUMNS - 1);
  return p;
}

std::string SelectionText(const TerminalInfo& ti, const TerminalSelection& selection) {
  if (!selection.active) return {};
  const CellPos a = selection.first(), b = selection.last();
  std::string text;
  for (int row = a.row; row <= b.row; ++row) {
    if (row > a.row) text += '\n';
    text += RowPart(ti, row, row == a.row ? a.column : 0,
                    row == b.row ? b.column : SCREEN_COLUMNS - 1);
  }
  return text;
}

std::string ScreenText(const TerminalInfo& ti) {
  TerminalSelection all;
  all.active = true;
  all.anchor = {0, 0};
  all.end = {SCREEN_ROWS - 1, SCREEN_COLUMNS - 1};
  std::string text = SelectionText(ti, all);
  text.erase(text.find_last_not_of('\n') + 1);
  return text;
}

}  // namespace tw
