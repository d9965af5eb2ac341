// The files queued for sending over ACP, one queue a node: "Send File"
// queues one, and each data request for the node is answered with the next
// frame of the head file, read from the file then, or with a status frame.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frames/acp_codec.h"

namespace tw {

class DataFrames;

// Shorter requests leave no room for file data and get a cut status frame.
constexpr int ACP_MIN_FILE_FRAME = ACP_HEADER_BYTES + 1;
constexpr int ACP_QUEUE_MAX = 256;
// Frame 0 carries the whole title and its zero byte; in the largest frame
// that leaves 251 characters for the title. A longer one could never go.
constexpr int ACP_TITLE_MAX = FRAME_MAX - ACP_HEADER_BYTES - 1;

// One queued outgoing file. Its stream is the title, a zero byte, then the
// file's content.
struct AcpFileEntry {
  std::string path;   // as chosen in "File To Send"
  std::string title;  // the file name without folder
  int32_t remaining = 0;
  int32_t total = 0;
  int32_t frameCounter = 0;
};

// Files waiting for one node, head first.
struct AcpFileQueue {
  std::vector<AcpFileEntry> entries;
  int count() const { return static_cast<int>(entries.size()); }
};

// "Send File" "to Node N": asks for a file and queues it for `node`.
void QueueAcpFile(DataFrames& frames, int node);

struct AcpState;

// What the status bar shows while files go out: the first node's head file
// with the share of its stream sent, and how many more wait; empty when
// nothing is queued.
std::string AcpSendProgress(const AcpState& acp);

// "Cancel File Sending": empties every node's queue, one line for each file
// being sent (how far it got) and one for the files behind it.
void CancelAcpFiles(DataFrames& frames);

// Fills the answer to a data request for an ACP node: a status frame, or the
// next frame of the head file of the destination's queue. frame.length is the
// requested byte count; frame.ready is set when there is something to send.
void BuildAcpFrame(DataFrames& frames, DataFrame& frame);

}  // namespace tw
