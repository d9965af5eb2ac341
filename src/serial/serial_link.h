// One serial port as the program holds it: its line settings (the
// operator's), the open port, the receive ring and the 20 ms poll. The modem
// has one; a second port (the GPS receiver) gets its own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/serial_port.h"
#include "core/settings.h"
#include "serial/rx_ring.h"

namespace tw {

// How long a write waits for the port to take a sentence.
constexpr int SEND_TIMEOUT_MS = 3000;
// Bytes taken from the port per poll.
constexpr int POLL_CHUNK = 4096;

class SerialLink {
 public:
  // `port` is the operator's choice of port and line settings; the link
  // reads it at each connect and reconfigure.
  SerialLink(SerialPortOpener& opener, const SerialSettings& port);
  virtual ~SerialLink() = default;
  SerialLink(const SerialLink&) = delete;
  SerialLink& operator=(const SerialLink&) = delete;

  // Opens the port exclusively and applies the baud rate. False when it
  // cannot be opened or configured, and for a link that is already open (the
  // open port is left alone).
  virtual bool Connect();
  // Closes the port; the ring keeps what it holds.
  virtual void Disconnect();
  bool connected() const { return port_ != nullptr; }
  // Which port is open: the one answer for everything that names the port
  // (the title, log folders, the source port of log records). While closed,
  // the one the settings name. A change of the settings (a loaded file)
  // applies at the next connect.
  int portNumber() const { return port_ ? openedPort_ : settings_.portNumber; }
  // The port that was open last, for the line that says it was lost.
  int lastOpenedPort() const { return openedPort_; }

  enum class PollResult { Read, Closed, Lost };
  // Moves what has arrived into the ring, at most `maxBytes` and never more
  // than the ring has room for: the rest stays with the port for the next
  // poll, so nothing is thrown away here. Lost: the device went away; the
  // port is closed then, so a dead port is never polled again.
  virtual PollResult Poll(uint32_t maxBytes = POLL_CHUNK);
  // Applies the baud rate to the open port; true when there is none.
  bool Reconfigure();
  // Writes every byte within `timeoutMs`; false when closed, failed or late.
  bool Write(const std::string& bytes, int timeoutMs);

  // Why the last Connect failed: the device, the system's reason and a hint.
  const OpenFailure& lastFailure() const { return failure_; }
  // The operator's port and line settings the link opens with.
  const SerialSettings& settings() const { return settings_; }
  // The device behind a port number, as the opener names it (may be empty).
  std::string device(int portNumber) const { return opener_.device(portNumber); }

  // Bytes taken from the port and bytes written whole to it, since the
  // counters were last reset.
  uint64_t bytesReceived() const { return bytesReceived_; }
  uint64_t bytesSent() const { return bytesSent_; }
  void ResetCounters() { bytesReceived_ = bytesSent_ = 0; }

  RxState rx;

 private:
  SerialPortOpener& opener_;
  const SerialSettings& settings_;
  std::unique_ptr<SerialPort> port_;
  int openedPort_ = 0;
  OpenFailure failure_;
  uint64_t bytesReceived_ = 0;
  uint64_t bytesSent_ = 0;
};

}  // namespace tw
