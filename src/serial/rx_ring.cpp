#include "serial/rx_ring.h"

namespace tw {

void RxInit(RxState& rx) {
  rx.buffer.assign(RX_SIZE, 0);
  rx.readIndex = 0;
  rx.writeIndex = 0;
  rx.count = 0;
  rx.mode = RX_MODEM;
}

void RxFree(RxState& rx) {
  rx.buffer.clear();
  rx.buffer.shrink_to_fit();
  rx.readIndex = rx.writeIndex = rx.count = 0;
}

bool RxAppend(RxState& rx, const uint8_t* bytes, size_t length) {
  if (rx.buffer.size() != RX_SIZE) return false;
  if (rx.count + length > RX_SIZE - 1) return false;
  for (size_t i = 0; i < length; ++i) {
    rx.buffer[rx.writeIndex] = bytes[i];
    rx.writeIndex = (rx.writeIndex + 1) % RX_SIZE;
  }
  rx.count = rx.writeIndex >= rx.readIndex ? rx.writeIndex - rx.readIndex
                                           : RX_SIZE - rx.readIndex + rx.writeIndex;
  return true;
}

void RxReset(RxState& rx) {
  rx.readIndex = 0;
  rx.writeIndex = 0;
  rx.count = 0;
}

}  // namespace tw
