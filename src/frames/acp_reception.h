// ACP frames as they arrive: each type announced, a status frame shown, and
// the frames of a large file written into the receive folder, each into the
// file its frame 0 created.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

#include "frames/acp_files.h"
#include "frames/data_frame.h"

namespace tw {

class DataFrames;

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

// A received frame of kind KIND_ACP: announced, status shown, file frames
// written. Sets frame.ready for a known type.
void DecodeAcpFrame(DataFrames& frames, DataFrame& frame);

}  // namespace tw
