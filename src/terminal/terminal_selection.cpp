#include "terminal/terminal_selection.h"

#include <algorithm>
#include <cctype>

#include "terminal/terminal_scrollback.h"

namespace tw {

namespace {

bool Before(const CellPos& a, const CellPos& b) {
  return a.row != b.row ? a.row < b.row : a.column < b.column;
}

// Cells first..last of one row as shown (control bytes as spaces), without
// the blanks at the end; empty for a row no longer kept.
std::string RowPart(const TerminalInfo& ti, int64_t row, int first, int last) {
  const char* cells = DocumentRow(ti, row);
  if (cells == nullptr) return {};
  std::string text;
  for (int c = first; c <= last; ++c) text += ShownChar(static_cast<unsigned char>(cells[c]));
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

// Rows first..last, joined by "\n", without empty rows at the end.
std::string RowsText(const TerminalInfo& ti, int64_t first, int64_t last) {
  TerminalSelection all;
  all.active = true;
  all.anchor = {first, 0};
  all.end = {last, SCREEN_COLUMNS - 1};
  std::string text = SelectionText(ti, all);
  text.erase(text.find_last_not_of('\n') + 1);
  return text;
}

bool SameLetter(char a, char b) {
  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

// A start of `needle` in a row's text: backwards the last one before
// column `limit`, forwards the first one after it.
std::optional<int> FindInRow(const std::string& text, std::string_view needle, bool backwards,
                             int limit) {
  std::optional<int> found;
  for (int c = 0; c + static_cast<int>(needle.size()) <= static_cast<int>(text.size()); ++c) {
    if (backwards ? c >= limit : c <= limit) continue;
    if (!std::equal(needle.begin(), needle.end(), text.begin() + c, SameLetter)) continue;
    found = c;
    if (!backwards) break;
  }
  return found;
}

}  // namespace

CellPos TerminalSelection::first() const { return Before(end, anchor) ? end : anchor; }
CellPos TerminalSelection::last() const { return Before(end, anchor) ? anchor : end; }

bool TerminalSelection::Contains(int64_t row, int column) const {
  if (!active) return false;
  const CellPos cell{row, column};
  return !Before(cell, first()) && !Before(last(), cell);
}

void TerminalSelection::Clip(const TerminalInfo& ti) {
  if (!active) return;
  const int64_t oldest = ti.history.first();
  if (last().row < oldest) {
    active = false;
    return;
  }
  for (CellPos* p : {&anchor, &end}) {
    if (p->row < oldest) *p = CellPos{oldest, 0};
  }
}

CellPos CellAt(const TerminalInfo& ti, int x, int y) {
  const int w = std::max(1, ti.charWidth), h = std::max(1, ti.charHeight);
  const int px = x + ti.scrollX, py = y + ti.scrollY;
  CellPos p;
  p.row = ShownRow(ti, std::clamp(py < 0 ? 0 : py / h, 0, SCREEN_ROWS - 1));
  p.column = std::clamp(px < 0 ? 0 : px / w, 0, SCREEN_COLUMNS - 1);
  return p;
}

std::string SelectionText(const TerminalInfo& ti, const TerminalSelection& selection) {
  if (!selection.active) return {};
  const CellPos a = selection.first(), b = selection.last();
  std::string text;
  const int64_t start = std::max(a.row, ti.history.first());
  for (int64_t row = start; row <= b.row; ++row) {
    if (row > start) text += '\n';
    text +=
        RowPart(ti, row, row == a.row ? a.column : 0, row == b.row ? b.column : SCREEN_COLUMNS - 1);
  }
  return text;
}

std::string ScreenText(const TerminalInfo& ti) {
  const int64_t top = ti.history.pushed();
  return RowsText(ti, top, top + SCREEN_ROWS - 1);
}

std::string HistoryText(const TerminalInfo& ti) {
  std::string text = RowsText(ti, ti.history.first(), ti.history.pushed() + SCREEN_ROWS - 1);
  if (!text.empty()) text += '\n';
  return text;
}

std::optional<CellPos> FindText(const TerminalInfo& ti, std::string_view needle, CellPos from,
                                bool backwards) {
  if (needle.empty()) return std::nullopt;
  const int64_t oldest = ti.history.first();
  const int64_t newest = ti.history.pushed() + SCREEN_ROWS - 1;
  const int64_t step = backwards ? -1 : 1;
  for (int64_t row = std::clamp(from.row, oldest, newest); row >= oldest && row <= newest;
       row += step) {
    const int limit = row == from.row ? from.column : (backwards ? SCREEN_COLUMNS : -1);
    const std::optional<int> column =
        FindInRow(RowPart(ti, row, 0, SCREEN_COLUMNS - 1), needle, backwards, limit);
    if (column) return CellPos{row, *column};
  }
  return std::nullopt;
}

}  // namespace tw
