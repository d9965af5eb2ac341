// The Start, Restart and Stop commands of the NMEA and data logs, one rule
// for every menu that offers them (the main window's and the emulator
// window's): what each command does, and whether it may be used now, so a
// menu's gray states follow from the logs and the modem port as they are.
#pragma once

#include <functional>

#include "logging/logs.h"

namespace tw {

enum class LogKind { Nmea, Data };

// Which of a log's commands may be used now.
struct LogCommands {
  bool start = false;
  bool restart = false;
  bool stop = false;
  bool operator==(const LogCommands&) const = default;
};

// The modem port as its connection answers: whether one is open, and its
// number (while closed, the one the settings name).
struct LogPort {
  bool connected = false;
  int number = 0;
};

class LogControls {
 public:
  LogControls(Logs& logs, std::function<LogPort()> modemPort);

  bool open(LogKind kind) const;
  // Start while closed (the NMEA log only while the modem port is open),
  // Restart and Stop while open.
  LogCommands Allowed(LogKind kind) const;

  // Opens the log under the modem port's number. An open that fails has
  // told the operator and leaves the log closed.
  void Start(LogKind kind);
  // Closes the log and opens a new file, under the port number of the last
  // log opened.
  void Restart(LogKind kind);
  void Stop(LogKind kind);

 private:
  Logs& logs_;
  std::function<LogPort()> modemPort_;
};

}  // namespace tw
