// The main window's record: the 40 x 64 character screen, the terminal
// options of the serial settings dialog, the caret and the scroll state.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "terminal/terminal_history.h"

namespace tw {

constexpr int SCREEN_ROWS = 40;
constexpr int SCREEN_COLUMNS = HISTORY_COLUMNS;

// How a cell's byte shows: control bytes have no glyph of their own and
// show as a space; every other byte is a Latin-1 character.
constexpr char ShownChar(unsigned char byte) {
  return byte >= 0x20 && byte != 0x7F ? static_cast<char>(byte) : ' ';
}
// Whether a cell's byte leaves ink (with no line drawn through the text).
constexpr bool HasInk(unsigned char byte) { return ShownChar(byte) != ' '; }

struct TerminalInfo {
  std::array<char, SCREEN_ROWS * SCREEN_COLUMNS> screen;
  // Set while the modem port is open: only then is there a caret.
  int32_t connected = 0;
  int32_t localEcho = 0;
  int32_t newLine = 0;
  int32_t autoWrap = 0;
  uint16_t caretState = 0;
  int32_t clientWidth = 0;
  int32_t clientHeight = 0;
  int32_t scrollRangeX = 0;
  int32_t scrollRangeY = 0;
  int32_t scrollX = 0;
  int32_t scrollY = 0;
  int32_t column = 0;
  int32_t row = 0;
  int32_t charWidth = 8;
  int32_t charHeight = 14;
  // The rows that left the top of the screen, and how far back the view is.
  TerminalHistory history;

  TerminalInfo() { screen.fill(' '); }
  char cell(int r, int c) const { return screen[static_cast<size_t>(r * SCREEN_COLUMNS + c)]; }
  std::string rowText(int r) const {
    return std::string(&screen[static_cast<size_t>(r * SCREEN_COLUMNS)], SCREEN_COLUMNS);
  }
};

}  // namespace tw
