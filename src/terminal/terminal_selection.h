// Text chosen on the screen with the mouse, and the screen's text, for the
// clipboard. Cells are addressed by row and column; a selection runs in
// reading order from one cell to another, both included.
#pragma once

#include <string>

#include "terminal/terminal_info.h"

namespace tw {

struct CellPos {
  int row = 0;
  int column = 0;
  bool operator==(const CellPos&) const = default;
};

struct TerminalSelection {
  bool active = false;
  CellPos anchor;  // where the mouse went down
  CellPos end;     // where it is now

  CellPos first() const;
  CellPos last() const;
  bool Contains(int row, int column) const;
  // The rows moved up by one: the selection moves with its text, and ends
  // when its text has left the screen.
  void ScrollUp();
};

// The cell under a point of the client area, kept inside the screen.
CellPos CellAt(const TerminalInfo& ti, int x, int y);

// The selected cells as text: one line per row, without the blanks at a
// row's end, lines joined by "\n". Empty when nothing is selected.
std::string SelectionText(const TerminalInfo& ti, const TerminalSelection& selection);

// Every row as text, the same way, without the empty rows at the bottom.
std::string ScreenText(const TerminalInfo& ti);

}  // namespace tw
