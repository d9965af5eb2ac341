#include "terminal/terminal_screen.h"

#include <algorithm>

#include "core/fixed_format.h"

namespace tw {

namespace {

constexpr int LAST_ROW = SCREEN_ROWS - 1;
constexpr int LAST_COLUMN = SCREEN_COLUMNS - 1;

constexpr int BELL = 7;
constexpr int BACKSPACE = 8;
constexpr int LINE_FEED = 10;
constexpr int CARRIAGE_RETURN = 13;

// A font that measured as nothing must not turn painting into a division by
// zero; one pixel keeps the arithmetic defined.
int CellWidth(const TerminalInfo& ti) { return std::max(1, ti.charWidth); }
int CellHeight(const TerminalInfo& ti) { return std::max(1, ti.charHeight); }

void LineFeed(TerminalInfo& ti, TerminalSurface& surface) {
  if (ti.row >= LAST_ROW) {
    // The top row goes into the history, everything else moves up one row.
    // The surface hears of it first, while the record still holds what it
    // shows. A view scrolled back stays on the rows it shows.
    surface.screenScrolledUp();
    ti.history.Push(ti.screen.data());
    if (ti.history.back > 0) {
      ti.history.back = static_cast<int>(std::min<int64_t>(ti.history.back + 1, ti.history.size()));
    }
    std::copy(ti.screen.begin() + SCREEN_COLUMNS, ti.screen.end(), ti.screen.begin());
    std::fill(ti.screen.end() - SCREEN_COLUMNS, ti.screen.end(), ' ');
    ti.row = LAST_ROW;
    surface.historyChanged();
  } else {
    ++ti.row;
  }
  MoveTerminalCaret(ti, surface);
}

void PutCharacter(TerminalInfo& ti, TerminalSurface& surface, char c) {
  ti.screen[static_cast<size_t>(ti.row * SCREEN_COLUMNS + ti.column)] = c;
  // Only the changed cell is repainted, so long outputs stay cheap.
  surface.invalidateRect(ti.column * ti.charWidth - ti.scrollX, ti.row * ti.charHeight - ti.scrollY,
                         ti.charWidth, ti.charHeight);
  if (ti.column < LAST_COLUMN) {
    ++ti.column;
  } else if (ti.autoWrap) {
    static const char kLineEnd[] = {CARRIAGE_RETURN, LINE_FEED};
    WriteScreen(ti, surface, kLineEnd, sizeof kLineEnd);
  }
  // Without autoWrap the cursor stays on the last column and the next
  // character overwrites it.
}

// Moves one axis by `amount` pixels, kept inside 0..range. Answers the
// amount actually moved.
int ClampScroll(int offset, int range, int amount) {
  if (offset + amount > range) amount = range - offset;
  if (offset + amount < 0) amount = -offset;
  return amount;
}

// One axis of the view: moves it by what `code` asks, within its range.
int ScrollTerminal(TerminalInfo& ti, TerminalSurface& surface, bool vertical, int code,
                   int position) {
  int& offset = vertical ? ti.scrollY : ti.scrollX;
  const int range = vertical ? ti.scrollRangeY : ti.scrollRangeX;
  const int line = vertical ? ti.charHeight : ti.charWidth;
  const int page = vertical ? ti.clientHeight : ti.clientWidth;
  int amount = 0;
  switch (code) {
    case SB_LINEUP:
      amount = -line;
      break;
    case SB_LINEDOWN:
      amount = line;
      break;
    case SB_PAGEUP:
      amount = -page;
      break;
    case SB_PAGEDOWN:
      amount = page;
      break;
    case SB_THUMBPOSITION:
      amount = position - offset;
      break;
    case SB_TOP:
      amount = -offset;
      break;
    case SB_BOTTOM:
      amount = range - offset;
      break;
    default:
      return 0;
  }
  amount = ClampScroll(offset, range, amount);
  if (amount != 0) surface.scrollContents(vertical ? 0 : -amount, vertical ? -amount : 0);
  offset += amount;
  surface.setScrollPosition(vertical, offset);
  return 1;
}

}  // namespace

void WriteScreen(TerminalInfo& ti, TerminalSurface& surface, const char* bytes, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const int byte = static_cast<signed char>(bytes[i]);
    switch (byte) {
      case BELL:
        surface.beep();
        break;
      case BACKSPACE:
        if (ti.column > 0) --ti.column;
        MoveTerminalCaret(ti, surface);
        break;
      case CARRIAGE_RETURN:
        ti.column = 0;
        MoveTerminalCaret(ti, surface);
        if (ti.newLine) LineFeed(ti, surface);
        break;
      case LINE_FEED:
        LineFeed(ti, surface);
        break;
      default:
        PutCharacter(ti, surface, bytes[i]);
        break;
    }
  }
}

void SizeTerminal(TerminalInfo& ti, TerminalSurface& surface, int height, int width) {
  ti.clientHeight = height;
  ti.scrollRangeY = std::max(0, SCREEN_ROWS * ti.charHeight - ti.clientHeight);
  ti.scrollY = std::min(ti.scrollRangeY, ti.scrollY);
  surface.setScrollPosition(true, ti.scrollY);
  surface.setScrollRange(true, ti.scrollRangeY);

  ti.clientWidth = width;
  ti.scrollRangeX = std::max(0, SCREEN_COLUMNS * ti.charWidth - ti.clientWidth);
  ti.scrollX = std::min(ti.scrollRangeX, ti.scrollX);
  surface.setScrollPosition(false, ti.scrollX);
  surface.setScrollRange(false, ti.scrollRangeX);

  // The offsets may have changed: every visible cell is drawn again.
  surface.invalidateAll(true);
}

int ScrollTerminalVert(TerminalInfo& ti, TerminalSurface& surface, int code, int position) {
  return ScrollTerminal(ti, surface, true, code, position);
}

int ScrollTerminalHorz(TerminalInfo& ti, TerminalSurface& surface, int code, int position) {
  return ScrollTerminal(ti, surface, false, code, position);
}

// The caret marks where the next character goes; it exists only while the
// modem is connected and the window has the focus.
void ShowTerminalCaret(TerminalInfo& ti, TerminalSurface& surface) {
  if (ti.connected && ti.caretState != 1) {
    surface.createCaret(ti.charWidth, ti.charHeight);
    surface.showCaret();
    ti.caretState = 1;
  }
  MoveTerminalCaret(ti, surface);
}

void HideTerminalCaret(TerminalInfo& ti, TerminalSurface& surface) {
  if (ti.connected && ti.caretState != 0) {
    surface.destroyCaret();
    ti.caretState = 0;
  }
}

void MoveTerminalCaret(TerminalInfo& ti, TerminalSurface& surface) {
  if (ti.connected && (ti.caretState & 1)) {
    surface.setCaretPosition(ti.column * ti.charWidth - ti.scrollX,
                             ti.row * ti.charHeight - ti.scrollY);
  }
}

// `right` and `bottom` lie just outside the rectangle.
CellRange PaintRange(const TerminalInfo& ti, int left, int top, int right, int bottom) {
  const int w = CellWidth(ti);
  const int h = CellHeight(ti);
  CellRange r;
  r.firstRow = std::clamp((top + ti.scrollY) / h, 0, LAST_ROW);
  r.lastRow = std::min(LAST_ROW, (bottom + ti.scrollY - 1) / h);
  r.firstColumn = std::clamp((left + ti.scrollX) / w, 0, LAST_COLUMN);
  r.lastColumn = std::min(LAST_COLUMN, (right + ti.scrollX - 1) / w);
  return r;
}

std::string FormatPrintLine(const LocalTime& time, const std::string& text) {
  // Longer texts are cut rather than refused: the operator still sees the
  // start of what was reported.
  std::string_view shown = std::string_view(text).substr(0, PRINT_TEXT_MAX);
  // As "%s" takes it: the text ends at its first NUL.
  shown = shown.substr(0, shown.find('\0'));
  // "[%02d:%02d:%02d] %s\r\n", written piece by piece: this runs for every line.
  FixedText<PRINT_TEXT_MAX + 32> line;
  line.Append("[").Decimal(time.hour, 2, '0').Append(":").Decimal(time.minute, 2, '0');
  line.Append(":").Decimal(time.second, 2, '0').Append("] ").Append(shown).Append("\r\n");
  return line.str();
}

}  // namespace tw
