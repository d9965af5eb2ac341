// The modem port as the link logic sees it. The Qt layer provides the real
// one (QSerialPort); tests can also use it on pseudo-terminals.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tw {

class SerialPort {
 public:
  virtual ~SerialPort() = default;
  // Applies 8 data bits, no parity, one stop bit, no flow control and the
  // given baud rate. True when every step succeeded.
  virtual bool configure(uint32_t baudRate) = 0;
  // Moves at most `max` bytes that have already arrived into `destination`
  // without waiting. Returns the count, 0 when nothing is queued, or -1 when
  // the port has gone away (device removed, other end closed).
  virtual int readAvailable(uint8_t* destination, int max) = 0;
  // Writes every byte, waiting at most `timeoutMs` for the driver to take
  // them. False when the write failed or timed out.
  virtual bool writeAll(const char* data, size_t length, int timeoutMs) = 0;
};

// Why a port could not be had, in words for the operator.
struct OpenFailure {
  std::string device;  // the device behind the port number
  std::string reason;  // the system's reason, e.g. "Permission denied"
  std::string hint;    // what to do about it; may be empty
};

// Opens COM ports by their number (1..16).
class SerialPortOpener {
 public:
  virtual ~SerialPortOpener() = default;
  // Null when the port cannot be opened (absent, or held by someone else:
  // the open is exclusive).
  virtual std::unique_ptr<SerialPort> open(int portNumber) = 0;
  // The device a port number stands for; empty when the opener has no
  // names for its ports.
  virtual std::string device(int /*portNumber*/) const { return {}; }
  // Why the last open() returned null; empty fields when it does not know.
  virtual OpenFailure lastFailure() const { return {}; }
};

}  // namespace tw
