#include "frames/acp.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <system_error>
#include <utility>

#include "core/fixed_format.h"
#include "core/paths.h"
#include "frames/data_frames.h"

namespace tw {
namespace fs = std::filesystem;

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

// ------------------------------------------------------------------ sending

void RemoveHead(AcpFileQueue& queue) {
  if (!queue.entries.empty()) queue.entries.erase(queue.entries.begin());
}

void BuildStatusFrame(DataFrames& frames, DataFrame& frame) {
  const AcpFileQueue& queue = frames.acp.queues[static_cast<size_t>(frame.destination)];
  uint64_t pending = 0;
  for (const AcpFileEntry& entry : queue.entries) pending += static_cast<uint32_t>(entry.remaining);
  frame.payload.fill(0);
  frame.payload[0] = ACP_STATUS;
  PutBigEndian(frame, 1, 4, static_cast<uint32_t>(std::min<uint64_t>(pending, 0xFFFFFFFFu)));
  frame.payload[5] = static_cast<uint8_t>(std::min(queue.count(), 255));
  frames.PrintDataLine(
      FixedFormat("ACP[%d]: sending status to [%d].", frame.source, frame.destination));
  frame.ready = 1;
}

enum class ReadResult { Ok, CantOpen, ShortRead };

// Content bytes [position, position + count) of a file to send. Read-only
// and binary: the file is the operator's, and every byte value must go out.
ReadResult ReadContent(const std::string& path, int64_t position, int count, uint8_t* out) {
  std::ifstream file(PathFromUtf8(path), std::ios::in | std::ios::binary);
  if (!file) return ReadResult::CantOpen;
  file.seekg(position);
  if (!file) return ReadResult::ShortRead;
  file.read(reinterpret_cast<char*>(out), count);
  return file.gcount() == count ? ReadResult::Ok : ReadResult::ShortRead;
}

// Stream bytes [offset, offset + n) of an entry into `out`: the title and
// its zero come from the entry, the content from the file.
ReadResult CopyStream(const AcpFileEntry& entry, int32_t offset, int32_t n, uint8_t* out) {
  const auto header = static_cast<int32_t>(entry.title.size()) + 1;
  int32_t p = offset;
  for (; p < offset + n && p < header; ++p) {
    out[p - offset] =
        p < header - 1 ? static_cast<uint8_t>(entry.title[static_cast<size_t>(p)]) : 0;
  }
  const int32_t contentBytes = offset + n - p;
  if (contentBytes <= 0) return ReadResult::Ok;
  return ReadContent(entry.path, p - header, contentBytes, out + (p - offset));
}

// Frame 0 of a file must carry the whole title and its zero, or the far end
// cannot name the file.
bool TitleFits(const AcpFileEntry& entry, int32_t room) {
  return entry.frameCounter != 0 || static_cast<int32_t>(entry.title.size()) + 1 <= room;
}

void BuildFileFrame(DataFrames& frames, DataFrame& frame) {
  const int d = frame.destination;
  AcpFileQueue& queue = frames.acp.queues[static_cast<size_t>(d)];
  AcpFileEntry& entry = queue.entries.front();
  if (entry.frameCounter > ACP_FRAME_NUMBER_MAX) {
    frames.PrintDataLine(FixedFormat("ACP[%d]: error: '%s' needs more than %d frames !", d,
                                     entry.path.c_str(), ACP_FRAME_NUMBER_MAX + 1));
    RemoveHead(queue);
    return;
  }
  const int32_t room = frame.length - ACP_HEADER_BYTES;
  const int32_t remaining = entry.remaining;
  const int32_t offset = entry.total - remaining;
  const int32_t n = std::min(remaining, room);
  const bool lastFrame = remaining <= room;
  const bool lastFile = queue.count() == 1;

  frame.payload.fill(0);
  frame.payload[0] = static_cast<uint8_t>(ACP_LARGE_FILE | (lastFrame ? ACP_LAST_FRAME : 0) |
                                          (lastFile ? ACP_LAST_FILE : 0));
  PutBigEndian(frame, 1, 2, static_cast<uint32_t>(entry.frameCounter));
  ++entry.frameCounter;
  frame.payload[3] = static_cast<uint8_t>(n & 0xFF);

  switch (CopyStream(entry, offset, n, frame.payload.data() + ACP_HEADER_BYTES)) {
    case ReadResult::CantOpen:
      frames.PrintDataLine(
          FixedFormat("ACP[%d]: error: can't open file '%s' !", d, entry.path.c_str()));
      RemoveHead(queue);
      return;
    case ReadResult::ShortRead:
      frames.PrintDataLine(
          FixedFormat("ACP[%d]: error: file read error: '%s' !", d, entry.path.c_str()));
      RemoveHead(queue);
      return;
    case ReadResult::Ok:
      break;
  }
  if (lastFrame) {
    RemoveHead(queue);
  } else {
    entry.remaining = remaining - n;
  }
  frame.ready = 1;
}

// ---------------------------------------------------------------- receiving

void ShowAcpStatus(DataFrames& frames, const DataFrame& frame) {
  const int s = frame.source;
  // The pending byte count is shown signed, as the far end keeps it.
  const long total = static_cast<int32_t>(BigEndian(frame, 1, 4));
  frames.PrintDataLine(FixedFormat("ACP[%d]: %ld total bytes pending.", s, total));
  frames.PrintDataLine(FixedFormat("ACP[%d]: %d commands pending.", s, ByteAt(frame, 5)));
  frames.PrintDataLine(FixedFormat("ACP[%d]: %d small files pending.", s, ByteAt(frame, 6)));
  frames.PrintDataLine(FixedFormat("ACP[%d]: %d large files pending.", s, ByteAt(frame, 7)));
  frames.PrintDataLine(FixedFormat("ACP[%d]: %d messages pending.", s, ByteAt(frame, 8)));
  frames.PrintDataLine(
      FixedFormat("ACP[%d]: %d cmds run [last exit=%d]", s, ByteAt(frame, 10), ByteAt(frame, 9)));
  frames.PrintDataLine(
      FixedFormat("ACP[%d]:   battery %6.2f volts.", s, BigEndian(frame, 11, 2) / 1000.0));
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
    frames.PrintDataLine(
        FixedFormat("ACP[%d]: error: file title does not fit in the frame, file dropped.", s));
    return -1;
  }
  const int titleLength = static_cast<int>(static_cast<const uint8_t*>(zero) - stream);
  const std::string title(reinterpret_cast<const char*>(stream), static_cast<size_t>(titleLength));
  const std::string name = SafeReceivedName(title);
  if (name.empty()) {
    frames.PrintDataLine(FixedFormat("ACP[%d]: error: unsafe file name '%s', file dropped.", s,
                                     Printable(title).c_str()));
    return -1;
  }
  std::error_code ignored;
  fs::create_directories(state.folder, ignored);
  AcpCreatedName created;
  file = CreateReceivedFile(state.folder, name, created);
  state.path = created.path;
  if (created.exhausted) {
    frames.PrintDataLine(
        FixedFormat("ACP[%d]: error: no free name for '%s' [%d taken], file dropped.", s,
                    Printable(name).c_str(), ACP_NAME_NUMBER_MAX));
    DropReception(state);
    return -1;
  }
  if (file.file != nullptr) state.file = file.identity;
  if (file.file != nullptr && created.name != title) {
    frames.PrintDataLine(FixedFormat("ACP[%d]: file '%s' is written as '%s'.", s,
                                     Printable(title).c_str(), created.name.c_str()));
  }
  state.received = count - titleLength - 1;
  return ACP_HEADER_BYTES + titleLength + 1;
}

// Writes and closes `file`: no descriptor stays open between frames.
void WriteReceived(DataFrames& frames, int s, const fs::path& path, OpenedFile file,
                   const uint8_t* data, int count) {
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
  const long frameNumber = static_cast<long>(BigEndian(frame, 1, 2));
  int count = ByteAt(frame, 3);
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

struct AcpFrameType {
  int type;
  const char* name;  // as in "got command frame."
  // What follows the announcement; nullptr when it is all that is shown.
  void (*show)(DataFrames& frames, const DataFrame& frame);
};

constexpr AcpFrameType ACP_TYPES[] = {
    {ACP_COMMAND, "command", nullptr},
    {ACP_SMALL_FILE, "small file", nullptr},
    {ACP_LARGE_FILE, "large file", ReceiveFileFrame},
    {ACP_CHAT, "chat", nullptr},
    {ACP_STATUS, "status", ShowAcpStatus},
    {ACP_ACK_LIST, "ack list", nullptr},
};

const AcpFrameType* FindAcpType(int type) {
  for (const AcpFrameType& row : ACP_TYPES) {
    if (row.type == type) return &row;
  }
  return nullptr;
}

}  // namespace

void ResetAcpState(AcpState& acp, const fs::path& folder) {
  for (AcpFileQueue& queue : acp.queues) queue.entries.clear();
  for (AcpReceiveState& state : acp.receive) state = AcpReceiveState{{}, folder, {}, 0};
}

void QueueAcpFile(DataFrames& frames, int node) {
  if (!ValidNode(node)) return;
  if (frames.nodes[static_cast<size_t>(node)].protocol != KIND_ACP) {
    frames.PrintDataLine(FixedFormat("ACP[%d]: Node not configured for ACP frames!", node));
    return;
  }
  AcpFileQueue& queue = frames.acp.queues[static_cast<size_t>(node)];
  // Refused before the dialog, so the operator does not pick a file in vain.
  if (queue.count() >= ACP_QUEUE_MAX) {
    frames.PrintDataLine(FixedFormat("ACP[%d]: error: %d files already queued, nothing queued.",
                                     node, ACP_QUEUE_MAX));
    return;
  }
  const std::string path = frames.files().ChooseFileToOpen(
      {"File To Send", PathToUtf8(frames.receiveFolder()), {{"All Files", "*"}}, ""});
  if (path.empty()) return;
  std::error_code error;
  const bool regular = fs::is_regular_file(PathFromUtf8(path), error);
  const uintmax_t size = regular ? fs::file_size(PathFromUtf8(path), error) : 0;
  if (!regular || error) {
    frames.PrintDataLine(FixedFormat("ACP[%d]: error: can't open file '%s' !", node, path.c_str()));
    return;
  }
  AcpFileEntry entry;
  entry.path = path;
  entry.title = PathToUtf8(PathFromUtf8(path).filename());
  // Refused now: at the head of the queue such a file would hold back every
  // file queued after it for the rest of the run.
  if (entry.title.size() > static_cast<size_t>(ACP_TITLE_MAX)) {
    frames.PrintDataLine(FixedFormat(
        "ACP[%d]: error: title \"%s\" is too long to send [%zu characters, at most %d].", node,
        entry.title.c_str(), entry.title.size(), ACP_TITLE_MAX));
    return;
  }
  const uintmax_t total = size + entry.title.size() + 1;
  if (total > static_cast<uintmax_t>(ACP_STREAM_MAX)) {
    frames.PrintDataLine(FixedFormat("ACP[%d]: error: \"%s\" is too large to send [%ju bytes].",
                                     node, entry.title.c_str(), total));
    return;
  }
  entry.total = entry.remaining = static_cast<int32_t>(total);
  queue.entries.push_back(entry);
  frames.PrintDataLine(FixedFormat("ACP[%d]: queued \"%s\" [%ld bytes]", node, entry.title.c_str(),
                                   static_cast<long>(entry.total)));
}

void DecodeAcpFrame(DataFrames& frames, DataFrame& frame) {
  const int s = frame.source;
  const AcpFrameType* type = FindAcpType(ByteAt(frame, 0) & ACP_TYPE_MASK);
  if (type == nullptr) {
    frames.PrintDataLine(FixedFormat("ACP[%d]: garbled frame!  [type]", s));
    frame.ready = 0;
    return;
  }
  frame.ready = 1;
  frames.PrintDataLine(FixedFormat("ACP[%d]: got %s frame.", s, type->name));
  if (type->show != nullptr) type->show(frames, frame);
}

void BuildAcpFrame(DataFrames& frames, DataFrame& frame) {
  if (!ValidNode(frame.destination)) return;
  frame.length = ValidLength(frame);
  const AcpFileQueue& queue = frames.acp.queues[static_cast<size_t>(frame.destination)];
  // A request too short to carry file data is still answered: with the
  // status frame, cut to the requested length.
  if (queue.count() == 0 || frame.length < ACP_MIN_FILE_FRAME) {
    BuildStatusFrame(frames, frame);
    return;
  }
  const AcpFileEntry& head = queue.entries.front();
  if (!TitleFits(head, frame.length - ACP_HEADER_BYTES)) {
    frames.PrintDataLine(FixedFormat("ACP[%d]: title \"%s\" does not fit in %d bytes, file waits.",
                                     frame.destination, head.title.c_str(), frame.length));
    BuildStatusFrame(frames, frame);
    return;
  }
  BuildFileFrame(frames, frame);
}

}  // namespace tw
