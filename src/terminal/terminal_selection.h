// Text chosen with the mouse or found by a search, over the history and the
// screen, for the clipboard; the screen's and the whole history's text.
// Cells are addressed by absolute row (terminal_history.h) and column; a
// selection runs in reading order from one cell to another, both included,
// and stays on its text while new lines push the rows up.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "terminal/terminal_info.h"

namespace tw {

struct CellPos {
  int64_t row = 0;
  int column = 0;
  bool operator==(const CellPos&) const = default;
};

struct TerminalSelection {
  bool active = false;
  CellPos anchor;  // where the mouse went down
  CellPos end;     // where it is now

  CellPos first() const;
  CellPos last() const;
  bool Contains(int64_t row, int column) const;
  // Rows that have left the history are gone from the selection too; it
  // ends when all of its text has.
  void Clip(const TerminalInfo& ti);
};

// The cell under a point of the client area, kept inside the rows shown.
CellPos CellAt(const TerminalInfo& ti, int x, int y);

// The selected cells as text: one line per row, without the blanks at a
// row's end, lines joined by "\n". Empty when nothing is selected.
std::string SelectionText(const TerminalInfo& ti, const TerminalSelection& selection);

// Every row of the screen as text, the same way, without the empty rows at
// the bottom.
std::string ScreenText(const TerminalInfo& ti);

// The history and the screen, oldest row first, the same way, each line
// ended by "\n"; empty when nothing was ever written.
std::string HistoryText(const TerminalInfo& ti);

// Where `needle` occurs next, ignoring case (ASCII): backwards, the nearest
// start before `from` (older rows); forwards, the nearest after it.
std::optional<CellPos> FindText(const TerminalInfo& ti, std::string_view needle, CellPos from,
                                bool backwards);

}  // namespace tw
