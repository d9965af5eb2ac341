#include "terminal/terminal_scrollback.h"

#include <algorithm>

#include "terminal/terminal_screen.h"

namespace tw {

namespace {

int CellHeight(const TerminalInfo& ti) { return std::max(1, ti.charHeight); }
int HistoryPixels(const TerminalInfo& ti) {
  return static_cast<int>(ti.history.size()) * CellHeight(ti);
}

// Puts the view `back` rows above the screen (the screen's own offset is
// `scrollY` there), shows it all again and moves the bar.
void MoveBack(TerminalInfo& ti, TerminalSurface& surface, int back, int scrollY) {
  ti.history.back = back;
  if (back == 0) ti.history.unseen = 0;
  ti.scrollY = scrollY;
  surface.invalidateAll(false);
  surface.setScrollPosition(true, ti.scrollY);
  MoveTerminalCaret(ti, surface);
}

}  // namespace

int64_t ShownRow(const TerminalInfo& ti, int r) {
  return ti.history.pushed() - ti.history.back + r;
}

const char* DocumentRow(const TerminalInfo& ti, int64_t row) {
  const int64_t top = ti.history.pushed();
  if (row >= top && row < top + SCREEN_ROWS) {
    return &ti.screen[static_cast<size_t>((row - top) * SCREEN_COLUMNS)];
  }
  return ti.history.Row(row);
}

int VerticalBarRange(const TerminalInfo& ti) { return HistoryPixels(ti) + ti.scrollRangeY; }

int VerticalBarValue(const TerminalInfo& ti) {
  return HistoryPixels(ti) - ti.history.back * CellHeight(ti) + ti.scrollY;
}

int ScrollHistory(TerminalInfo& ti, TerminalSurface& surface, int code, int position) {
  // With nothing above the screen, or moving within the screen at the
  // bottom, the screen's own scrolling applies unchanged.
  if (ti.history.size() == 0) return ScrollTerminalVert(ti, surface, code, position);
  const int h = CellHeight(ti);
  const int historyPx = HistoryPixels(ti);
  const int now = VerticalBarValue(ti);
  int target = now;
  switch (code) {
    case SB_LINEUP:
      target = now - h;
      break;
    case SB_LINEDOWN:
      target = now + h;
      break;
    case SB_PAGEUP:
      target = now - std::max(h, ti.clientHeight);
      break;
    case SB_PAGEDOWN:
      target = now + std::max(h, ti.clientHeight);
      break;
    case SB_THUMBPOSITION:
      target = position;
      break;
    case SB_TOP:
      target = 0;
      break;
    case SB_BOTTOM:
      target = VerticalBarRange(ti);
      break;
    default:
      return 0;
  }
  target = std::clamp(target, 0, VerticalBarRange(ti));
  if (target >= historyPx) {
    if (ti.history.back == 0) {
      return ScrollTerminalVert(ti, surface, SB_THUMBPOSITION, target - historyPx);
    }
    MoveBack(ti, surface, 0, target - historyPx);
    return 1;
  }
  // Above the screen the view moves by whole rows; a part row rounds up.
  MoveBack(ti, surface, (historyPx - target + h - 1) / h, 0);
  return 1;
}

void RevealRow(TerminalInfo& ti, TerminalSurface& surface, int64_t row) {
  const int h = CellHeight(ti);
  const int top = ti.scrollY / h;
  const int bottom = std::max(top, (ti.scrollY + ti.clientHeight) / h - 1);
  if (row >= ShownRow(ti, top) && row <= ShownRow(ti, bottom)) return;
  const int64_t back = ti.history.pushed() + (top + bottom) / 2 - row;
  const int64_t kept = std::clamp<int64_t>(back, 0, ti.history.size());
  MoveBack(ti, surface, static_cast<int>(kept), kept == 0 ? ti.scrollY : 0);
}

}  // namespace tw
