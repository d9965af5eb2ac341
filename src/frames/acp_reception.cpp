#include "frames/acp_reception.h"

#include <cstring>
#include <system_error>
#include <utility>

#include "core/fixed_format.h"
#include "core/paths.h"
#include "frames/acp_codec.h"
#include "frames/data_frames.h"

namespace tw {
namespace fs = std::filesystem;

namespace {

// A title as it may be shown on the terminal: control characters would
// upset the screen, so they show as '?'.
std::string Printable(const std::string& text) {
  std::string shown = text;
  for (char& ch : shown) {
    const auto byte = static_cast<unsigned char>(ch);
    if (byte < 0x20 || byte == 0x7F) ch = '?';
  }
  return shown;
}

void ShowAcpStatus(DataFrames& frames, const DataFrame& frame) {
  const int s = frame.source;
  const AcpStatus status = DecodeAcpStatus(frame);
  // The pending byte count is shown signed, as the far end keeps it.
  const long total = status.pendingBytes;
  frames.PrintDataLine(FixedFormat("ACP[%d]: %ld total bytes pending.", s, total));
  frames.PrintDataLine(FixedFormat("ACP[%d]: %d commands pending.", s, status.commands));
  frames.PrintDataLine(FixedFormat("ACP[%d]: %d small files pending.", s, status.smallFiles));
  frames.PrintDataLine(FixedFormat("ACP[%d]: %d large files pending.", s, status.largeFiles));
  frames.PrintDataLine(FixedFormat("ACP[%d]: %d messages pending.", s, status.messages));
  frames.PrintDataLine(
      FixedFormat("ACP[%d]: %d cmds run [last exit=%d]", s, status.commandsRun, status.lastExit));
  frames.PrintDataLine(
      FixedFormat("ACP[%d]:   battery %6.2f volts.", s, status.batteryMillivolts / 1000.0));
}

// Forgets the file being received, so later frames of a dropped file are not
// appended to an older one.
void DropReception(AcpReceiveState& state) {
  state.path.clear();
  state.file.reset();
  state.received = 0;
}

// Frame 0: creates the file named by the title at byte 4, as a new file.
// Returns the first content byte, or -1 when the file is dropped. `file` is
// the created file; closed when it could not be created.
int StartReceivedFile(DataFrames& frames, const DataFrame& frame, int count, OpenedFile& file) {
  const int s = frame.source;
  AcpReceiveState& state = frames.acp.receive[static_cast<size_t>(s)];
  DropReception(state);
  const uint8_t* stream = frame.payload.data() + ACP_HEADER_BYTES;
  const void* zero = std::memchr(stream, 0, static_cast<size_t>(count));
  if (zero == nullptr) {
    frames.PrintDataWrapped(
        FixedFormat("ACP[%d]: error: file title does not fit in the frame, file dropped.", s));
    return -1;
  }
  const int titleLength = static_cast<int>(static_cast<const uint8_t*>(zero) - stream);
  const std::string title(reinterpret_cast<const char*>(stream), static_cast<size_t>(titleLength));
  const std::string name = SafeReceivedName(title);
  if (name.empty()) {
    frames.PrintDataWrapped(FixedFormat("ACP[%d]: error: unsafe file name '%s', file dropped.", s,
                                     Printable(title).c_str()));
    return -1;
  }
  if (!frames.writeReceivedFiles) {
    state.path = state.folder / PathFromUtf8(name);
    state.received = count - titleLength - 1;
    return ACP_HEADER_BYTES + titleLength + 1;
  }
  std::error_code ignored;
  fs::create_directories(state.folder, ignored);
  AcpCreatedName created;
  file = CreateReceivedFile(state.folder, name, created);
  state.path = created.path;
  if (created.exhausted) {
    frames.PrintDataWrapped(
        FixedFormat("ACP[%d]: error: no free name for '%s' [%d taken], file dropped.", s,
                    Printable(name).c_str(), ACP_NAME_NUMBER_MAX));
    DropReception(state);
    return -1;
  }
  if (file.file != nullptr) state.file = file.identity;
  if (file.file != nullptr && created.name != title) {
    frames.PrintDataWrapped(FixedFormat("ACP[%d]: file '%s' is written as '%s'.", s,
                                     Printable(title).c_str(), created.name.c_str()));
  }
  state.received = count - titleLength - 1;
  return ACP_HEADER_BYTES + titleLength + 1;
}

// Writes and closes `file`: no descriptor stays open between frames.
void WriteReceived(DataFrames& frames, int s, const fs::path& path, OpenedFile file,
                   const uint8_t* data, int count) {
  if (!frames.writeReceivedFiles) return;
  if (file.file == nullptr) {
    frames.PrintDataLine(
        FixedFormat("ACP[%d]: error opening file: '%s'", s, PathToUtf8(path).c_str()));
    return;
  }
  int error = 0;
  const bool written = AppendWhole(file.file, file.size, reinterpret_cast<const char*>(data),
                                   static_cast<size_t>(count), error);
  if (std::fclose(file.file) != 0 || !written) {
    frames.PrintDataLine(
        FixedFormat("ACP[%d]: error writing file: '%s'", s, PathToUtf8(path).c_str()));
  }
}

void ReceiveLargeFileFrame(DataFrames& frames, const DataFrame& frame) {
  const int s = frame.source;
  const int length = frame.length;
  if (length < ACP_HEADER_BYTES) {
    frames.PrintDataLine(FixedFormat(
        "ACP[%d]: error: large file frame of %d bytes has no header, dropped.", s, length));
    return;
  }
  const AcpFileHeader header = DecodeAcpFileHeader(frame);
  const long frameNumber = header.frameNumber;
  int count = header.count;
  if (count > length - ACP_HEADER_BYTES) {
    frames.PrintDataLine(FixedFormat("ACP[%d]: error: frame claims %d bytes but carries %d.", s,
                                     count, length - ACP_HEADER_BYTES));
    count = length - ACP_HEADER_BYTES;
  }
  AcpReceiveState& state = frames.acp.receive[static_cast<size_t>(s)];
  int first = ACP_HEADER_BYTES;
  OpenedFile file;
  if (frameNumber == 0) {
    first = StartReceivedFile(frames, frame, count, file);
    if (first < 0) return;
  } else {
    if (!state.path.empty() && state.received + count > ACP_STREAM_MAX) {
      // Larger than any file a sender can queue: the far end is not sending
      // a file any more. What arrived so far stays on disk; later frames go
      // nowhere until a new frame 0 names a file.
      frames.PrintDataLine(FixedFormat("ACP[%d]: error: '%s' passes %lld bytes, file dropped.", s,
                                       PathToUtf8(state.path).c_str(),
                                       static_cast<long long>(ACP_STREAM_MAX)));
      DropReception(state);
      return;
    }
    state.received += count;
    // Only the file frame 0 created: if it was removed, or something else
    // now has its name, the frame goes nowhere.
    if (state.file) file = AppendReceivedFile(state.path, *state.file);
  }
  const int end = ACP_HEADER_BYTES + count;
  frames.PrintDataLine(FixedFormat("ACP[%d]:   lgfile frame[%ld]: '%s' %lld bytes", s, frameNumber,
                                   PathToUtf8(state.path).c_str(),
                                   static_cast<long long>(state.received)));
  WriteReceived(frames, s, state.path, std::move(file), frame.payload.data() + first, end - first);
}

void ReceiveFileFrame(DataFrames& frames, const DataFrame& frame) {
  if (ValidNode(frame.source)) ReceiveLargeFileFrame(frames, frame);
}

// ------------------------------------------------------------- frame types

struct AcpTypeRow {
  int type;
  const char* name;  // as in "got command frame."
  // What follows the announcement; nullptr when it is all that is shown.
  void (*show)(DataFrames& frames, const DataFrame& frame);
};

constexpr AcpTypeRow ACP_TYPES[] = {
    {ACP_COMMAND, "command", nullptr},
    {ACP_SMALL_FILE, "small file", nullptr},
    {ACP_LARGE_FILE, "large file", ReceiveFileFrame},
    {ACP_CHAT, "chat", nullptr},
    {ACP_STATUS, "status", ShowAcpStatus},
    {ACP_ACK_LIST, "ack list", nullptr},
};

const AcpTypeRow* FindAcpType(int type) {
  for (const AcpTypeRow& row : ACP_TYPES) {
    if (row.type == type) return &row;
  }
  return nullptr;
}

}  // namespace

void DecodeAcpFrame(DataFrames& frames, DataFrame& frame) {
  const int s = frame.source;
  const AcpTypeRow* type = FindAcpType(AcpFrameType(frame));
  if (type == nullptr) {
    frames.PrintDataLine(FixedFormat("ACP[%d]: garbled frame!  [type]", s));
    frame.ready = 0;
    return;
  }
  frame.ready = 1;
  frames.PrintDataLine(FixedFormat("ACP[%d]: got %s frame.", s, type->name));
  if (type->show != nullptr) type->show(frames, frame);
}

}  // namespace tw
