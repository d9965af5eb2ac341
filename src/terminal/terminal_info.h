// The main window's record: the modem port's settings and the 40 x 64
// character screen.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "serial/serial_port.h"

namespace tw {

constexpr int SCREEN_ROWS = 40;
constexpr int SCREEN_COLUMNS = 64;

// What the operator chose in the font dialog.
struct LogFont {
  int height = 14;
  int width = 8;
  int weight = 0;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  int charSet = 255;          // OEM
  int pitchAndFamily = 0x31;  // fixed pitch, modern family
  std::string faceName = "Lucida Console";
};

// 0x00BBGGRR, as the colour is kept on the platform the program came from.
constexpr uint32_t RGB(int r, int g, int b) {
  return static_cast<uint32_t>(r) | (static_cast<uint32_t>(g) << 8) |
         (static_cast<uint32_t>(b) << 16);
}

struct TerminalInfo {
  std::unique_ptr<SerialPort> portHandle;
  uint8_t portNumber = 1;
  std::array<char, SCREEN_ROWS * SCREEN_COLUMNS> screen;
  int32_t connected = 0;
  int32_t localEcho = 0;
  int32_t newLine = 0;
  int32_t autoWrap = 0;
  uint8_t byteSize = 8;
  uint8_t parity = 0;
  uint8_t stopBits = 0;
  uint32_t baudRate = 19200;
  uint16_t caretState = 0;
  LogFont logFont;
  uint32_t textColor = RGB(0, 0, 128);
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
