#include "logging/log_controls.h"

namespace tw {

LogControls::LogControls(Logs& logs, std::function<LogPort()> modemPort)
    : logs_(logs), modemPort_(std::move(modemPort)) {}

bool LogControls::open(LogKind kind) const {
  return kind == LogKind::Nmea ? logs_.nmeaOpen() : logs_.dataOpen();
}

LogCommands LogControls::Allowed(LogKind kind) const {
  const bool isOpen = open(kind);
  const bool startable = !isOpen && (kind == LogKind::Data || modemPort_().connected);
  return {startable, isOpen, isOpen};
}

void LogControls::Start(LogKind kind) {
  const int port = modemPort_().number;
  if (kind == LogKind::Nmea) {
    logs_.NMEALogOpen(port);
  } else {
    logs_.DataLogOpen(port);
  }
}

void LogControls::Restart(LogKind kind) {
  Stop(kind);
  if (kind == LogKind::Nmea) {
    logs_.NMEALogOpen(logs_.logPortNumber());
  } else {
    logs_.DataLogOpen(logs_.logPortNumber());
  }
}

void LogControls::Stop(LogKind kind) {
  if (kind == LogKind::Nmea) {
    logs_.NMEALogClose();
  } else {
    logs_.DataLogClose();
  }
}

}  // namespace tw
