// The frame kinds in one table: for each kind the entry of the "Data Type"
// list of "Configure Data Protocol" (if any), the line that announces a
// received frame, how a data request for a node of that kind is answered,
// and the decoder of received frames. Every place that acts by kind reads
// this table.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/settings.h"
#include "frames/data_frame.h"

namespace tw {

class DataFrames;

// Fills the answer to a data request: frame.length is the requested byte
// count; frame.ready is set when there is something to send.
using FrameBuilder = void (*)(DataFrames& frames, DataFrame& frame);
// Shows a received frame after its announcement; `node` is the sender's entry.
using FrameDecoder = void (*)(DataFrames& frames, DataFrame& frame, const NodeProtocol& node);

struct FrameKind {
  int32_t kind;
  // The "Data Type" list entry; nullptr for a kind the operator cannot choose.
  // The list shows the kinds that have one in table order.
  const char* caption;
  // What "RX[nn]: " is followed by when a frame of this kind arrives;
  // nullptr when the decoder announces the frame itself.
  const char* announcement;
  // Whether the announcement ends in the byte count.
  bool countsBytes;
  // nullptr when a request for this kind is not understood ("UNKNOWN frame
  // requested").
  FrameBuilder build;
  // nullptr when the announcement (and the dump) is all that is shown.
  FrameDecoder decode;
};

// Every known kind, the listed ones first in list order.
std::span<const FrameKind> FrameKinds();

// The row of `kind`; for a value the table does not hold, the row that
// announces an UNKNOWN frame and answers no request.
const FrameKind& FrameKindOf(int32_t kind);

// The announcement line of a received frame of `kind` from node `source`
// with `length` bytes; empty when the kind's decoder announces it.
std::string AnnouncementLine(int32_t kind, int32_t source, int32_t length);

// The captions of the "Data Type" list, in list order.
std::vector<std::string> ProtocolListCaptions();
// The protocol shown at a list position; KIND_GENERIC for a position off the list.
int32_t ProtocolFromListPosition(int position);
// The list position of a protocol; -1 for a value the list does not hold.
int ListPositionFromProtocol(int32_t protocol);

}  // namespace tw
