// The receive ring: everything read from a serial port waits here until the
// handler of the current receive mode takes it. Readers go through the
// functions below; only they move the ring's indices.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
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

class RxState {
 public:
  // Who takes the bytes next (RX_MODEM, ...).
  int32_t mode = 0;
  // A line was dropped for want of its end and the rest of it is still to
  // come: the line taker drops that too, counted, up to its LF (or the next
  // '$'), so the report of the loss can be one line for all of it.
  bool droppingLine = false;

  uint32_t count() const { return count_; }
  uint32_t readIndex() const { return readIndex_; }
  uint32_t writeIndex() const { return writeIndex_; }
  // False before RxInit and after RxFree: such a ring holds nothing.
  bool allocated() const { return buffer_.size() == RX_SIZE; }
  // Bytes that can still be appended (none while unallocated).
  uint32_t room() const { return allocated() ? RX_SIZE - 1 - count_ : 0; }
  // Received bytes thrown away (RxDrop, a refused chunk) and not yet
  // reported: whoever tells the operator takes them with RxTakeDropped.
  uint32_t dropped() const { return dropped_; }

 private:
  friend void RxInit(RxState&);
  friend void RxFree(RxState&);
  friend bool RxAppend(RxState&, const uint8_t*, size_t);
  friend void RxReset(RxState&);
  friend uint8_t RxPeek(const RxState&, uint32_t);
  friend void RxConsume(RxState&, uint32_t);
  friend void RxDrop(RxState&, uint32_t);
  friend uint32_t RxTakeDropped(RxState&);
  friend void RxCutTail(RxState&, uint32_t, uint32_t);

  std::vector<uint8_t> buffer_;
  uint32_t readIndex_ = 0;
  uint32_t writeIndex_ = 0;
  uint32_t count_ = 0;
  uint32_t dropped_ = 0;
};

// Allocates the buffer, empties it and sets the mode to RX_MODEM.
void RxInit(RxState& rx);
void RxFree(RxState& rx);
// Appends a chunk whole, or drops it whole (returning false, and counting it
// as dropped) when it would leave fewer than one free byte: a full ring must
// stay distinguishable from an empty one. Readers ask for no more than
// room(), so nothing is refused on the way in.
bool RxAppend(RxState& rx, const uint8_t* bytes, size_t length);
// Forgets every unread byte.
void RxReset(RxState& rx);

// The unread byte at `offset` from the oldest one; offset < count().
uint8_t RxPeek(const RxState& rx, uint32_t offset);
// Offset of the first `wanted` byte at or after `from`; count() when none.
uint32_t RxFind(const RxState& rx, uint32_t from, uint8_t wanted);
// `length` unread bytes from `offset` on, left in the ring.
std::string RxCopy(const RxState& rx, uint32_t offset, uint32_t length);
// Drops the `n` oldest unread bytes (all of them when n >= count()).
void RxConsume(RxState& rx, uint32_t n);
// The same for bytes that belonged to something received and are lost with
// it (a line that never ended): they are counted for the operator.
void RxDrop(RxState& rx, uint32_t n);
// The count of dropped bytes not yet reported; the count starts again at 0.
uint32_t RxTakeDropped(RxState& rx);
// Forgets every unread byte from offset `keep` on and counts `lost` of them
// as dropped; nothing when fewer than `keep` bytes are unread. A line that
// was being dropped ends there (DropUnfinishedLine in serial/line_framer.h).
void RxCutTail(RxState& rx, uint32_t keep, uint32_t lost);
// Takes the bytes up to and including the first LF at or after `from`:
// those from `from` on (the LF left out, at most `maxLength` of them) go into
// `line`, and everything up to the LF is consumed. False, with nothing
// consumed, when no LF has arrived yet.
bool RxTakeLine(RxState& rx, uint32_t from, uint32_t maxLength, std::string& line);

}  // namespace tw
