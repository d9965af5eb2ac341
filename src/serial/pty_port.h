// A serial port on the master side of a pseudo-terminal pair that the
// program makes itself: the built-in demo's emulated modem sits here, and the
// program's own COM port opens the other side like any device. POSIX only.
#pragma once

#include <memory>
#include <string>

#include "core/serial_port.h"

namespace tw {

class PseudoTerminal {
 public:
  // Opens a new pair in raw mode; ok() tells whether it worked.
  PseudoTerminal();
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  bool ok() const { return master_ >= 0 && !devicePath_.empty(); }
  // The device the other side opens, for example "/dev/pts/7".
  const std::string& devicePath() const { return devicePath_; }
  // Why the pair could not be made (empty when ok()).
  const std::string& error() const { return error_; }
  int masterFd() const { return master_; }

 private:
  int master_ = -1;
  // Held open for the pair's life: without any slave descriptor, reading the
  // master fails as if the line were gone, before the program's port has
  // even opened the device.
  int slaveKeeper_ = -1;
  std::string devicePath_;
  std::string error_;
};

// Opens any port number as the master side of `pty`, which must outlive
// every port it hands out.
class PseudoTerminalOpener : public SerialPortOpener {
 public:
  explicit PseudoTerminalOpener(const PseudoTerminal& pty) : pty_(pty) {}
  std::unique_ptr<SerialPort> open(int portNumber) override;

 private:
  const PseudoTerminal& pty_;
};

}  // namespace tw
