#include "frames/acp_codec.h"

#include <algorithm>

namespace tw {

namespace {

// Byte `index` of a received frame; bytes past its length read as 0, so a
// short frame is never read beyond what arrived.
int ByteAt(const DataFrame& frame, int index) {
  if (index < 0 || index >= frame.length || index >= FRAME_MAX) return 0;
  return frame.payload[static_cast<size_t>(index)];
}

uint32_t BigEndian(const DataFrame& frame, int first, int width) {
  uint32_t value = 0;
  for (int k = 0; k < width; ++k)
    value = (value << 8) | static_cast<uint32_t>(ByteAt(frame, first + k));
  return value;
}

void PutBigEndian(DataFrame& frame, int first, int width, uint32_t value) {
  for (int k = width - 1; k >= 0; --k) {
    frame.payload[static_cast<size_t>(first + k)] = static_cast<uint8_t>(value & 0xFF);
    value >>= 8;
  }
}

}  // namespace

int AcpFrameType(const DataFrame& frame) { return ByteAt(frame, 0) & ACP_TYPE_MASK; }

void EncodeAcpFileHeader(DataFrame& frame, const AcpFileHeader& header) {
  frame.payload.fill(0);
  frame.payload[0] = static_cast<uint8_t>(ACP_LARGE_FILE | (header.lastFrame ? ACP_LAST_FRAME : 0) |
                                          (header.lastFile ? ACP_LAST_FILE : 0));
  PutBigEndian(frame, 1, 2, static_cast<uint32_t>(header.frameNumber));
  frame.payload[3] = static_cast<uint8_t>(header.count & 0xFF);
}

AcpFileHeader DecodeAcpFileHeader(const DataFrame& frame) {
  AcpFileHeader header;
  header.frameNumber = static_cast<int32_t>(BigEndian(frame, 1, 2));
  header.count = ByteAt(frame, 3);
  header.lastFrame = (ByteAt(frame, 0) & ACP_LAST_FRAME) != 0;
  header.lastFile = (ByteAt(frame, 0) & ACP_LAST_FILE) != 0;
  return header;
}

AcpStatus DecodeAcpStatus(const DataFrame& frame) {
  AcpStatus status;
  status.pendingBytes = static_cast<int32_t>(BigEndian(frame, 1, 4));
  status.commands = ByteAt(frame, 5);
  status.smallFiles = ByteAt(frame, 6);
  status.largeFiles = ByteAt(frame, 7);
  status.messages = ByteAt(frame, 8);
  status.lastExit = ByteAt(frame, 9);
  status.commandsRun = ByteAt(frame, 10);
  status.batteryMillivolts = BigEndian(frame, 11, 2);
  return status;
}

void EncodeAcpStatus(DataFrame& frame, uint64_t pendingBytes, int queuedFiles) {
  frame.payload.fill(0);
  frame.payload[0] = ACP_STATUS;
  PutBigEndian(frame, 1, 4, static_cast<uint32_t>(std::min<uint64_t>(pendingBytes, 0xFFFFFFFFu)));
  frame.payload[5] = static_cast<uint8_t>(std::min(queuedFiles, 255));
}

}  // namespace tw
