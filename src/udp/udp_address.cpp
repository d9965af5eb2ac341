#include "udp/udp_address.h"

#include <tuple>

#include "core/fixed_format.h"
#include "core/settings_table.h"

namespace tw {

std::string CheckUdpAddress(const std::string& text) {
  const std::string form = " (four numbers 0..255 with dots, as 192.168.1.255)";
  if (text.empty()) return "no address given" + form;
  const std::string bad = "\"" + text.substr(0, 40) + "\" is not an IPv4 address" + form;
  int parts = 0;
  size_t at = 0;
  while (true) {
    size_t digits = 0;
    int value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 4) {
      value = value * 10 + (text[at] - '0');
      ++digits;
      ++at;
    }
    if (digits == 0 || digits > 3 || value > 255) return bad;
    ++parts;
    if (at == text.size()) break;
    if (text[at] != '.' || parts == 4) return bad;
    ++at;
  }
  if (parts != 4) return bad;
  return {};
}

std::string CheckUdpSettings(const UdpSettings& u) {
  const std::tuple<const char*, const std::string*, int32_t> fields[] = {
      {"Broadcast", &u.broadcastAddress, u.broadcastPort},
      {"Modem data", &u.receiveAddress, u.receivePort},
      {"Ship position", &u.positionAddress, u.positionPort},
  };
  for (const auto& [name, address, port] : fields) {
    if (std::string why = CheckUdpAddress(*address); !why.empty()) {
      return std::string(name) + " address: " + why;
    }
    if (port < 1 || port > UDP_PORT_MAX) {
      return std::string(name) + FixedFormat(" port: %d is outside 1..%d", port, UDP_PORT_MAX);
    }
  }
  if (u.receivePort == u.positionPort) {
    return FixedFormat("Modem data and ship position both on port %d: each needs its own",
                       u.receivePort);
  }
  return {};
}

std::string UdpEndpointText(const std::string& address, int32_t port) {
  return address + FixedFormat(":%d", port);
}

}  // namespace tw
