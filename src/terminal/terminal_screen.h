// The screen model: writing bytes onto the 40 x 64 cells, scrolling the
// view over them, the caret, and the timestamped line format.
#pragma once

#include <cstddef>
#include <string>

#include "core/clock.h"
#include "terminal/terminal_info.h"
#include "terminal/terminal_surface.h"

namespace tw {

// Longest text PrintLine shows: the formatted line with its terminator
// fits 640 bytes.
constexpr size_t PRINT_TEXT_MAX = 626;

// Scroll-bar codes.
constexpr int SB_LINEUP = 0;
constexpr int SB_LINEDOWN = 1;
constexpr int SB_PAGEUP = 2;
constexpr int SB_PAGEDOWN = 3;
constexpr int SB_THUMBPOSITION = 4;
constexpr int SB_THUMBTRACK = 5;
constexpr int SB_TOP = 6;
constexpr int SB_BOTTOM = 7;
constexpr int SB_ENDSCROLL = 8;

void WriteScreen(TerminalInfo& ti, TerminalSurface& surface, const char* bytes, size_t count);
void SizeTerminal(TerminalInfo& ti, TerminalSurface& surface, int height, int width);
// Both answer 1 when they scrolled (or tried to), 0 for codes they ignore.
int ScrollTerminalVert(TerminalInfo& ti, TerminalSurface& surface, int code, int position);
int ScrollTerminalHorz(TerminalInfo& ti, TerminalSurface& surface, int code, int position);
void ShowTerminalCaret(TerminalInfo& ti, TerminalSurface& surface);
void HideTerminalCaret(TerminalInfo& ti, TerminalSurface& surface);
void MoveTerminalCaret(TerminalInfo& ti, TerminalSurface& surface);

// The cells a paint of a client rectangle must draw (inclusive bounds).
struct CellRange {
  int firstRow, lastRow, firstColumn, lastColumn;
};
CellRange PaintRange(const TerminalInfo& ti, int left, int top, int right, int bottom);

// "[hh:mm:ss] text\r\n", the text cut to PRINT_TEXT_MAX characters.
std::string FormatPrintLine(const LocalTime& time, const std::string& text);

}  // namespace tw
