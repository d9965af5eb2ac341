// The bytes of an ACP frame: its type, the header of a large-file frame and
// the status frame, numbers big-endian. A received frame is never read past
// its length: bytes beyond it read as 0.
#pragma once

#include <cstdint>

#include "frames/data_frame.h"

namespace tw {

// Byte 0 of a frame: the frame type in bits 0-4, and in a large-file frame
// two flags.
enum AcpTypeByte : int {
  ACP_COMMAND = 1,
  ACP_SMALL_FILE = 2,
  ACP_LARGE_FILE = 3,
  ACP_CHAT = 4,
  ACP_STATUS = 17,
  ACP_ACK_LIST = 18,
  ACP_TYPE_MASK = 0x1F,
  ACP_LAST_FRAME = 0x40,  // the last frame of its file
  ACP_LAST_FILE = 0x80,   // the only file left in the sender's queue
};

// Type byte, two bytes of frame number, one count byte.
constexpr int ACP_HEADER_BYTES = 4;
// Frame numbers are 16 bits; a file needing more frames cannot be told apart
// from a new one at the far end.
constexpr int32_t ACP_FRAME_NUMBER_MAX = 0xFFFF;
// The longest stream that fits in frames 0..ACP_FRAME_NUMBER_MAX of the
// largest size.
constexpr int64_t ACP_STREAM_MAX =
    int64_t{ACP_FRAME_NUMBER_MAX + 1} * (FRAME_MAX - ACP_HEADER_BYTES);

// The frame type of a received frame.
int AcpFrameType(const DataFrame& frame);

// Bytes 0-3 of a large-file frame; its stream bytes follow.
struct AcpFileHeader {
  int32_t frameNumber = 0;  // bytes 1-2
  int count = 0;            // byte 3: the stream bytes the frame carries
  bool lastFrame = false;
  bool lastFile = false;
};

// Clears the whole payload and writes the header of a large-file frame.
void EncodeAcpFileHeader(DataFrame& frame, const AcpFileHeader& header);
AcpFileHeader DecodeAcpFileHeader(const DataFrame& frame);

// A received status frame.
struct AcpStatus {
  int32_t pendingBytes = 0;        // bytes 1-4, signed as the far end keeps it
  int commands = 0;                // byte 5
  int smallFiles = 0;              // byte 6
  int largeFiles = 0;              // byte 7
  int messages = 0;                // byte 8
  int lastExit = 0;                // byte 9
  int commandsRun = 0;             // byte 10
  uint32_t batteryMillivolts = 0;  // bytes 11-12
};

AcpStatus DecodeAcpStatus(const DataFrame& frame);

// The status frame this host sends: the stream bytes its queue holds (at
// most 0xFFFFFFFF) in bytes 1-4 and the number of files queued (at most 255)
// in byte 5; every other byte of the payload is 0.
void EncodeAcpStatus(DataFrame& frame, uint64_t pendingBytes, int queuedFiles);

}  // namespace tw
