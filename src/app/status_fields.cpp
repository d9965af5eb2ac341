#include "app/status_fields.h"

#include "core/fixed_format.h"

namespace tw {

namespace {

std::string PortName(const LinkStatus& link) {
  std::string text = FixedFormat("COM%d", link.port);
  if (!link.device.empty() && link.device != text) text += "  " + link.device;
  return text;
}

}  // namespace

StatusFields MakeStatusFields(const LinkStatus& link, const std::filesystem::path& nmeaLog,
                              const std::filesystem::path& dataLog) {
  StatusFields f;
  if (link.connected) {
    f.port = PortName(link) + FixedFormat("  %ld baud", static_cast<long>(link.baudRate));
  } else if (link.reconnecting) {
    f.port = "not connected; waiting for " + PortName(link);
  } else {
    f.port = "not connected";
  }
  f.traffic = FixedFormat("RX %llu B  TX %llu B", static_cast<unsigned long long>(link.received),
                          static_cast<unsigned long long>(link.sent));
  // The names say which log they are (NMEA-..., DATA-...); the folders
  // are in the tool tip.
  f.nmeaLog = nmeaLog.filename().string();
  f.dataLog = dataLog.filename().string();
  for (const auto* path : {&nmeaLog, &dataLog}) {
    if (path->empty()) continue;
    if (!f.logPaths.empty()) f.logPaths += "\n";
    f.logPaths += path->string();
  }
  return f;
}

std::string ActivityText(const ActivityStatus& a) {
  std::string text;
  auto add = [&text](const std::string& part) {
    if (!text.empty()) text += "   ";
    text += part;
  };
  if (a.gpsConnected || a.gpsReconnecting) {
    LinkStatus gps;
    gps.port = a.gpsPort;
    gps.device = a.gpsDevice;
    add((a.gpsConnected ? "GPS " : "GPS: waiting for ") + PortName(gps));
  }
  if (a.loopTesting) add("Loop testing");
  if (!a.acpSending.empty()) add(a.acpSending);
  return text;
}

}  // namespace tw
