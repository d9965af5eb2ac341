// The receive ring: everything read from the modem port waits here until the
// handler of the current receive mode takes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tw {

constexpr uint32_t RX_SIZE = 8192;

// Receive modes: who consumes the modem port's bytes.
constexpr int RX_MODEM = 256;
constexpr int RX_FIRMWARE_WAIT = 257;
constexpr int RX_FIRMWARE_ERASE = 258;
constexpr int RX_FIRMWARE_START = 259;
constexpr int RX_FIRMWARE_BLOCKS = 260;
constexpr int RX_EMULATOR = 263;

struct RxState {
  std::vector<uint8_t> buffer;
  uint32_t readIndex = 0;
  uint32_t writeIndex = 0;
  uint32_t count = 0;
  int32_t mode = 0;
};

void RxInit(RxState& rx);
void RxFree(RxState& rx);
// Appends a chunk whole, or drops it whole (returning false) when it would
// leave fewer than one free byte: a full ring must stay distinguishable from
// an empty one.
bool RxAppend(RxState& rx, const uint8_t* bytes, size_t length);
void RxReset(RxState& rx);

}  // namespace tw
