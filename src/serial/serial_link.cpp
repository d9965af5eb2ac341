#include "serial/serial_link.h"

#include <algorithm>

namespace tw {

SerialLink::SerialLink(SerialPortOpener& opener, const SerialSettings& port)
    : opener_(opener), settings_(port) {}

bool SerialLink::Connect() {
  if (port_) return false;
  failure_ = {};
  std::unique_ptr<SerialPort> port = opener_.open(settings_.portNumber);
  if (!port) {
    failure_ = opener_.lastFailure();
    if (failure_.device.empty()) failure_.device = opener_.device(settings_.portNumber);
    return false;
  }
  // A port that refuses the settings is closed again as `port` goes.
  if (!port->configure(static_cast<uint32_t>(settings_.baudRate))) {
    failure_ = {opener_.device(settings_.portNumber), "the device refused the line settings", ""};
    return false;
  }
  port_ = std::move(port);
  openedPort_ = settings_.portNumber;
  return true;
}

void SerialLink::Disconnect() { port_.reset(); }

SerialLink::PollResult SerialLink::Poll(uint32_t maxBytes) {
  if (!port_) return PollResult::Closed;
  uint8_t chunk[POLL_CHUNK];
  // At least one read even with a full ring: it is also how a port that has
  // gone away shows itself.
  uint32_t taken = 0;
  do {
    const uint32_t want = std::min({maxBytes - taken, rx.room(), uint32_t{POLL_CHUNK}});
    const int n = port_->readAvailable(chunk, static_cast<int>(want));
    if (n < 0) {
      port_.reset();
      return PollResult::Lost;
    }
    if (n == 0) break;
    bytesReceived_ += static_cast<uint64_t>(n);
    RxAppend(rx, chunk, static_cast<size_t>(n));
    taken += static_cast<uint32_t>(n);
    if (static_cast<uint32_t>(n) < want) break;  // the port has no more now
  } while (taken < maxBytes && rx.room() > 0);
  return PollResult::Read;
}

bool SerialLink::Reconfigure() {
  return !port_ || port_->configure(static_cast<uint32_t>(settings_.baudRate));
}

bool SerialLink::Write(const std::string& bytes, int timeoutMs) {
  if (!port_ || !port_->writeAll(bytes.data(), bytes.size(), timeoutMs)) return false;
  bytesSent_ += bytes.size();
  return true;
}

}  // namespace tw
