#include "serial/rx_ring.h"

#include <algorithm>
#include <utility>

namespace tw {

namespace {
constexpr uint8_t LF = 10;
}  // namespace

void RxInit(RxState& rx) {
  rx.buffer_.assign(RX_SIZE, 0);
  rx.readIndex_ = 0;
  rx.writeIndex_ = 0;
  rx.count_ = 0;
  rx.dropped_ = 0;
  rx.droppingLine = false;
  rx.mode = RX_MODEM;
}

void RxFree(RxState& rx) {
  rx.buffer_.clear();
  rx.buffer_.shrink_to_fit();
  rx.readIndex_ = rx.writeIndex_ = rx.count_ = 0;
}

bool RxAppend(RxState& rx, const uint8_t* bytes, size_t length) {
  if (!rx.allocated()) return false;
  if (length > rx.room()) {
    rx.dropped_ += static_cast<uint32_t>(std::min<size_t>(length, UINT32_MAX - rx.dropped_));
    return false;
  }
  for (size_t i = 0; i < length; ++i) {
    rx.buffer_[rx.writeIndex_] = bytes[i];
    rx.writeIndex_ = (rx.writeIndex_ + 1) % RX_SIZE;
  }
  rx.count_ = (rx.writeIndex_ + RX_SIZE - rx.readIndex_) % RX_SIZE;
  return true;
}

void RxReset(RxState& rx) {
  rx.readIndex_ = 0;
  rx.writeIndex_ = 0;
  rx.count_ = 0;
  // The rest of a dropped line is not waited for any more: what comes next
  // starts fresh (the count of what was dropped is still reported).
  rx.droppingLine = false;
}

uint8_t RxPeek(const RxState& rx, uint32_t offset) {
  return rx.buffer_[(rx.readIndex_ + offset) % RX_SIZE];
}

uint32_t RxFind(const RxState& rx, uint32_t from, uint8_t wanted) {
  for (uint32_t k = from; k < rx.count(); ++k) {
    if (RxPeek(rx, k) == wanted) return k;
  }
  return rx.count();
}

std::string RxCopy(const RxState& rx, uint32_t offset, uint32_t length) {
  std::string bytes;
  if (offset >= rx.count()) return bytes;
  length = std::min(length, rx.count() - offset);
  bytes.reserve(length);
  for (uint32_t k = offset; k < offset + length; ++k)
    bytes.push_back(static_cast<char>(RxPeek(rx, k)));
  return bytes;
}

void RxConsume(RxState& rx, uint32_t n) {
  n = std::min(n, rx.count_);
  rx.readIndex_ = (rx.readIndex_ + n) % RX_SIZE;
  rx.count_ -= n;
}

void RxDrop(RxState& rx, uint32_t n) {
  n = std::min(n, rx.count_);
  RxConsume(rx, n);
  rx.dropped_ += std::min(n, UINT32_MAX - rx.dropped_);
}

uint32_t RxTakeDropped(RxState& rx) { return std::exchange(rx.dropped_, 0); }

void RxCutTail(RxState& rx, uint32_t keep, uint32_t lost) {
  rx.droppingLine = false;  // the line ends with the port
  if (keep >= rx.count()) return;
  rx.writeIndex_ = (rx.readIndex_ + keep) % RX_SIZE;
  rx.count_ = keep;
  rx.dropped_ += std::min(lost, UINT32_MAX - rx.dropped_);
}

bool RxTakeLine(RxState& rx, uint32_t from, uint32_t maxLength, std::string& line) {
  const uint32_t lf = RxFind(rx, from, LF);
  if (lf == rx.count()) return false;
  line = RxCopy(rx, from, std::min(lf - from, maxLength));
  RxConsume(rx, lf + 1);
  return true;
}

}  // namespace tw
