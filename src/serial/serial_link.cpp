#include "serial/serial_link.h"

namespace tw {

SerialLink::SerialLink(SerialPortOpener& opener, const SerialSettings& port)
    : opener_(opener), settings_(port) {}

bool SerialLink::Connect() {
  if (port_) return false;
  std::unique_ptr<SerialPort> port = opener_.open(settings_.portNumber);
  if (!port) return false;
  // A port that refuses the settings is closed again as `port` goes.
  if (!port->configure(static_cast<uint32_t>(settings_.baudRate))) return false;
  port_ = std::move(port);
  openedPort_ = settings_.portNumber;
  return true;
}

void SerialLink::Disconnect() { port_.reset(); }

SerialLink::PollResult SerialLink::Poll() {
  if (!port_) return PollResult::Closed;
  uint8_t chunk[POLL_CHUNK];
  const int n = port_->readAvailable(chunk, POLL_CHUNK);
  if (n < 0) {
    port_.reset();
    return PollResult::Lost;
  }
  if (n > 0) RxAppend(rx, chunk, static_cast<size_t>(n));
  return PollResult::Read;
}

bool SerialLink::Reconfigure() {
  return !port_ || port_->configure(static_cast<uint32_t>(settings_.baudRate));
}

bool SerialLink::Write(const std::string& bytes, int timeoutMs) {
  return port_ && port_->writeAll(bytes.data(), bytes.size(), timeoutMs);
}

}  // namespace tw
