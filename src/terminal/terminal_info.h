// The main window's record: the 40 x 64 character screen, the terminal
// options of the serial settings dialog, the caret and the scroll state.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tw {

constexpr int SCREEN_ROWS = 40;
constexpr int SCREEN_COLUMNS = 64;

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

  TerminalInfo() { screen.fill(' '); }
  char cell(int r, int c) const { return screen[static_cast<size_t>(r * SCREEN_COLUMNS + c)]; }
  std::string rowText(int r) const {
    return std::string(&screen[static_cast<size_t>(r * SCREEN_COLUMNS)], SCREEN_COLUMNS);
  }
};

}  // namespace tw
