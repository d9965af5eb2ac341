// The operator's choices and the run-time state, kept apart: the choices are
// what the menus and dialogs set and the menus' check marks show, and what is
// worth keeping from one run to the next; the run-time state is what the
// program learns and counts while it runs. One
// object of each per program run (tests make their own), so nothing leaks
// between runs.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tw {

constexpr int NODE_COUNT = 16;
constexpr int NOISE_BINS = 14;

// The window title, and the caption of warning boxes, while disconnected.
constexpr const char* TITLE_NOT_CONNECTED = "Tidewire [not connected]";

// A colour as 0x00BBGGRR: red in the low byte.
constexpr int32_t RGB(int r, int g, int b) { return r | (g << 8) | (b << 16); }

// The terminal background that follows the desktop's window colour.
constexpr int32_t BACKGROUND_SYSTEM = -1;

// What the operator chose in the font dialog.
struct LogFont {
  int32_t height = 14;
  int32_t width = 8;
  int32_t weight = 0;
  int32_t italic = 0;
  int32_t underline = 0;
  int32_t strikeOut = 0;
  int32_t charSet = 255;          // OEM
  int32_t pitchAndFamily = 0x31;  // fixed pitch, modern family
  std::string faceName = "Lucida Console";
};

// One serial port's line settings. Port numbers are the program's names for
// ports, 1..16 ("COM3").
// Start-up values of the modem's and the GPS's ports are in the settings
// table.
struct SerialSettings {
  int32_t portNumber = 0;
  int32_t baudRate = 0;
  int32_t byteSize = 0;
  int32_t parity = 0;
  int32_t stopBits = 0;
};

// How frames from and for one node are handled. `protocol` is a frame kind;
// 1 is generic frames.
struct NodeProtocol {
  int32_t protocol = 1;
  int32_t logRaw = 0;
  int32_t logCustom = 0;
  int32_t showData = 1;
  int32_t showRawData = 0;
};

// Sharing sentences over UDP: three toggles of the "UDP" menu, and where
// each kind of datagram goes or is received (numeric IPv4 addresses).
struct UdpSettings {
  int32_t broadcast = 0;     // "Broadcast Modem Data"
  int32_t receive = 0;       // "Receive Modem Data"
  int32_t shipPosition = 0;  // "Use UDP for Ship Position"
  int32_t broadcastGps = 0;  // accepted GPS fixes are broadcast too
  std::string broadcastAddress;
  int32_t broadcastPort = 0;
  std::string receiveAddress;
  int32_t receivePort = 0;
  std::string positionAddress;
  int32_t positionPort = 0;
};

// The operator's choices. Start-up values are those of the settings table
// (settings_table.h), which a fresh object already holds.
struct Settings {
  int32_t testInterval = 0;
  std::array<int32_t, 8> dataRateEnabled{};
  std::array<int32_t, 4> navPingEnabled{};
  std::array<int32_t, NODE_COUNT> uplinkEnabled{};
  std::array<int32_t, NODE_COUNT> downlinkEnabled{};
  std::array<int32_t, NODE_COUNT> unitPingEnabled{};

  // Source of data for transmissions: at most one of the four is set.
  int32_t useTestDataNoAck = 0;
  int32_t useTestDataAck = 0;
  int32_t useCustomString = 0;
  int32_t useNodeProtocol = 0;

  int32_t sendCustomString = 0;
  int32_t lblPing = 0;
  int32_t acpStatusNoAck = 0;
  int32_t acpStatusAck = 0;
  std::array<int32_t, 4> noiseDiagnostic{};

  int32_t showHeartbeat = 0;
  int32_t showNmeaIncoming = 0;
  int32_t showNmeaOutgoing = 0;
  int32_t showGpsMessages = 0;
  int32_t logGpsMessages = 0;
  int32_t sendGpsToMap = 0;
  int32_t sendCommsToMap = 0;

  SerialSettings modemPort;
  SerialSettings gpsPort;

  LogFont terminalFont;
  int32_t textColor = 0;
  // The terminal's background (0x00BBGGRR), or BACKGROUND_SYSTEM for the
  // desktop's window colour; Night View draws dark red on black instead.
  int32_t backColor = 0;
  int32_t nightView = 0;

  // The custom command string, kept with its CR LF; empty until one is set.
  std::string customString;

  std::array<NodeProtocol, NODE_COUNT> nodes{};

  // The terminal options of "Serial Port Settings..." (the terminal record
  // takes them from here), and whether a lost port is tried again.
  int32_t autoWrap = 0;
  int32_t newLine = 0;
  int32_t localEcho = 0;
  int32_t reconnect = 0;
  // F1 runs "&Test Once" whatever program has the focus; off: only while a
  // window of this program has it.
  int32_t hotKeyEverywhere = 0;
  // The folder of the last file chosen in a file dialog; empty until one is.
  std::string lastFolder;
  UdpSettings udp;

  Settings();
  // Gives every choice its start-up value.
  void InitDefaults();

 private:
  struct Blank {};
  explicit Settings(Blank) {}
};

// What the program learns and counts while it runs; never saved.
struct RunState {
  int32_t loopTesting = 0;
  int32_t testCounter = 0;
  int32_t modemUnit = 0;
  int32_t modemBand = -1;
  float soundSpeed = 1500.0f;
  std::array<int32_t, NOISE_BINS> noiseLevel{};
  std::array<int32_t, NOISE_BINS> noiseFrequency{};
  std::array<int32_t, NOISE_BINS> noisePeak{};
  int32_t mapAvailable = 0;
  std::string windowTitle = TITLE_NOT_CONNECTED;

  RunState() { noiseLevel.fill(-96); }
};

}  // namespace tw
