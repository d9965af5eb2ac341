// One binary data frame as it travels in "$CARXD" and "$CCTXD" sentences,
// and the names of the frame kinds (which are also the node protocol codes;
// what each kind means is in frame_kinds.h).
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "core/settings.h"

namespace tw {

constexpr int FRAME_MAX = 256;

constexpr int32_t KIND_EMPTY = 0;
constexpr int32_t KIND_GENERIC = 1;
constexpr int32_t KIND_ACP = 2;
constexpr int32_t KIND_RAW = 3;
constexpr int32_t KIND_CCL = 4;
constexpr int32_t KIND_MITOE = 5;
constexpr int32_t KIND_SEAGRANT = 6;
constexpr int32_t KIND_TEST = 123;

struct DataFrame {
  int32_t source = 0;
  int32_t destination = 0;
  int32_t ack = 0;
  int32_t ready = 0;
  int32_t kind = KIND_EMPTY;
  int32_t frameNumber = 0;
  std::array<uint8_t, FRAME_MAX> payload{};
  int32_t length = 0;
};

// A node's protocol starts as generic frames.
static_assert(NodeProtocol{}.protocol == KIND_GENERIC);

// The bytes a decoder may read: never more than were received, and never
// more than the payload holds whatever the length field claims.
inline int ValidLength(const DataFrame& frame) { return std::clamp(frame.length, 0, FRAME_MAX); }

// True for an address that indexes the node table.
inline bool ValidNode(int32_t node) { return node >= 0 && node < NODE_COUNT; }

// Where the CCL and MIT-OE decoders print their lines.
using PrintFn = std::function<void(const std::string& line)>;

}  // namespace tw
