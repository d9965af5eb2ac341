// What the main window's status bar shows, as plain text: the modem port
// and its device and baud rate, the bytes received and sent, and the log
// files that are open. The program fills it on its 100 ms step; the window
// shows it only when it changed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace tw {

// The modem link as the status bar sees it.
struct LinkStatus {
  bool connected = false;
  bool reconnecting = false;  // lost, and waiting for the device to return
  int port = 0;
  std::string device;
  int32_t baudRate = 0;
  uint64_t received = 0;
  uint64_t sent = 0;
  bool operator==(const LinkStatus&) const = default;
};

struct StatusFields {
  std::string port;      // "COM1  /dev/ttyUSB0  19200 baud", or "not connected"
  std::string traffic;   // "RX 1234 B  TX 56 B"
  std::string nmeaLog;   // the open NMEA log's file name, or empty
  std::string dataLog;   // the open data log's file name, or empty
  std::string logPaths;  // the full paths, one per line, for a tool tip
  std::string replay;    // where a replay is in its log; empty without one
  bool replayPaused = false;
  std::string udp;       // UDP sharing while in use ("UDP TX 127.0.0.1:10110 (12)"), or empty
  std::string activity;  // ActivityText: GPS port, loop testing, files going out
  bool operator==(const StatusFields&) const = default;
};

// What else is going on, for the bar's last field: the GPS port, loop
// testing and files going out over ACP.
struct ActivityStatus {
  bool gpsConnected = false;
  bool gpsReconnecting = false;  // lost, and waiting for it to return
  int gpsPort = 0;
  std::string gpsDevice;
  bool loopTesting = false;
  std::string acpSending;  // AcpSendProgress, empty when nothing goes out
  bool operator==(const ActivityStatus&) const = default;
};

// "GPS COM4  /dev/ttyUSB1   Loop testing   ACP: ..."; empty when none is on.
std::string ActivityText(const ActivityStatus& a);

// `nmeaLog` and `dataLog` are the open logs' paths; empty for a closed log.
StatusFields MakeStatusFields(const LinkStatus& link, const std::filesystem::path& nmeaLog,
                              const std::filesystem::path& dataLog);

}  // namespace tw
