// The emulator window's own vocabulary: the commands of its menu and the
// numbers of its controls. They live in their own window, so they may repeat
// numbers the main menu also uses.
#pragma once

namespace tw::emu {

// The window (its object name) and its menu.
constexpr int WINDOW = 132;
constexpr int MENU = 133;

// "&Emulator"
constexpr int QUIT = 40237;  // also the Quit button
// "&Test Messages "
constexpr int HEARTBEAT = 40243;
constexpr int DATA_REQUEST_32 = 40244;
constexpr int DATA_REQUEST_256 = 40248;
constexpr int UPLINK_CYCLE = 40241;
constexpr int DOWNLINK_CYCLE = 40242;
// "&Log"
constexpr int NMEA_LOG_START = 40235;
constexpr int NMEA_LOG_RESTART = 40256;
constexpr int NMEA_LOG_STOP = 40246;
constexpr int RAW_LOG_START = 40234;
constexpr int RAW_LOG_RESTART = 40257;
constexpr int RAW_LOG_STOP = 40245;
// "&View"
constexpr int SHOW_HOST = 40238;
constexpr int SHOW_OUTPUT = 40249;
constexpr int SHOW_PARSER = 40236;
constexpr int MESSAGES_AS_HEX = 40240;

// Controls of the window.
constexpr int QUIT_BUTTON = QUIT;
constexpr int PANE = 1034;

}  // namespace tw::emu
