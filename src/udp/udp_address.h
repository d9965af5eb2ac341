// Addresses and ports of the UDP settings: numeric IPv4 ("127.0.0.1",
// "192.168.1.255" for a broadcast, "0.0.0.0" to receive on every
// interface), as the configuration files and the dialog hold them.
#pragma once

#include <cstdint>
#include <string>

#include "core/settings.h"

namespace tw {

// Empty when `text` is four decimal numbers 0..255 joined by dots, without
// anything else; otherwise why it is not.
std::string CheckUdpAddress(const std::string& text);

// Empty when the dialog's settings can be used: every address passes
// CheckUdpAddress, every port is 1..65535, and modem data and ship position
// are received on different ports; otherwise the first fault, naming its
// field ("Broadcast address: ...").
std::string CheckUdpSettings(const UdpSettings& udp);

// "address:port".
std::string UdpEndpointText(const std::string& address, int32_t port);

}  // namespace tw
