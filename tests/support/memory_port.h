// Two serial ports joined back to back in memory, as a null-modem cable joins
// two ports: what one end writes the other end reads, in order, nothing lost.
// A host Program and an emulator Program (or a HeadlessEmulator) can be wired
// in one process this way and driven poll by poll, with no pseudo-terminal
// and no waiting on the system.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "core/serial_port.h"

namespace tw::test {

class MemoryCable {
 public:
  // End 0 opens as COM `port0`, end 1 as COM `port1`; each opens once at a
  // time, like an exclusive device.
  explicit MemoryCable(int port0 = 1, int port1 = 1);
  ~MemoryCable();
  MemoryCable(const MemoryCable&) = delete;
  MemoryCable& operator=(const MemoryCable&) = delete;

  // The opener that hands out end 0 or 1 for its port number (nothing else).
  SerialPortOpener& opener(int end);
  // Bytes written at `end` that the other end has not read yet.
  size_t inFlight(int end) const;
  bool isOpen(int end) const;
  // Pulls the cable: both ends read -1 and their writes fail from now on.
  void pull();

  struct State;

 private:
  std::shared_ptr<State> state_;
  class EndOpener;
  std::unique_ptr<EndOpener> openers_[2];
};

}  // namespace tw::test
