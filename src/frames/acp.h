// ACP: the file, chat and command protocol carried in data frames. The host
// sends status frames and queued files (large-file frames), shows received
// status frames and writes received files into its receive folder.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/settings.h"
#include "frames/acp_files.h"
#include "frames/data_frame.h"

namespace tw {

class DataFrames;

// Frame types (bits 0-4 of byte 0) and the flags of a large-file frame.
constexpr int ACP_TYPE_MASK = 0x1F;
constexpr int ACP_COMMAND = 1;
constexpr int ACP_SMALL_FILE = 2;
constexpr int ACP_LARGE_FILE = 3;
constexpr int ACP_CHAT = 4;
constexpr int ACP_STATUS = 17;
constexpr int ACP_ACK_LIST = 18;
constexpr int ACP_LAST_FRAME = 0x40;  // the last frame of its file
constexpr int ACP_LAST_FILE = 0x80;   // the only file left in the sender's queue

// Type byte, two bytes of frame number, one count byte.
constexpr int ACP_HEADER_BYTES = 4;
// Shorter requests leave no room for file data and get a cut status frame.
constexpr int ACP_MIN_FILE_FRAME = ACP_HEADER_BYTES + 1;
constexpr int ACP_QUEUE_MAX = 256;
// Frame 0 carries the whole title and its zero byte; in the largest frame
// that leaves 251 characters for the title. A longer one could never go.
constexpr int ACP_TITLE_MAX = FRAME_MAX - ACP_HEADER_BYTES - 1;
// Frame numbers are 16 bits; a file needing more frames cannot be told apart
// from a new one at the far end.
constexpr int32_t ACP_FRAME_NUMBER_MAX = 0xFFFF;
// The longest stream that fits in frames 0..ACP_FRAME_NUMBER_MAX of the
// largest size.
constexpr int64_t ACP_STREAM_MAX =
    int64_t{ACP_FRAME_NUMBER_MAX + 1} * (FRAME_MAX - ACP_HEADER_BYTES);

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

// The file being received from one node.
struct AcpReceiveState {
  std::filesystem::path path;  // empty until a frame 0 names a file
  std::filesystem::path folder;
  // The file frame 0 created; later frames are appended only to it. Unset
  // when no file was created.
  std::optional<FileIdentity> file;
  // Content bytes written so far. 64 bits: a far end may send any number of
  // frames; past ACP_STREAM_MAX the file is dropped.
  int64_t received = 0;
};

struct AcpState {
  std::array<AcpFileQueue, NODE_COUNT> queues;
  std::array<AcpReceiveState, NODE_COUNT> receive;
};

// Empties every queue and forgets every reception; all nodes receive into
// `folder`.
void ResetAcpState(AcpState& acp, const std::filesystem::path& folder);

// "Send File" "to Node N": asks for a file and queues it for `node`.
void QueueAcpFile(DataFrames& frames, int node);

// A received frame of kind KIND_ACP: announced, status shown, file frames
// written. Sets frame.ready for a known type.
void DecodeAcpFrame(DataFrames& frames, DataFrame& frame);

// Fills the answer to a data request for an ACP node: a status frame, or the
// next frame of the head file of the destination's queue. frame.length is the
// requested byte count; frame.ready is set when there is something to send.
void BuildAcpFrame(DataFrames& frames, DataFrame& frame);

// The name under which a received file is written, the same on every
// system: the title without any folder or drive part, with '_' for each
// character file names may not hold (control characters and <>:"/\|?*) and
// without trailing dots and spaces. A name that Windows takes for a device
// (CON, NUL, COM1, ...), the log folder "Logs" or a temporary file of a
// configuration save gets a '_' in front; a configuration file's ".twc"
// becomes "_twc". Empty when nothing remains.
std::string SafeReceivedName(const std::string& title);

}  // namespace tw
