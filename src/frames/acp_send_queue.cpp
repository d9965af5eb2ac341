#include "frames/acp_send_queue.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include "core/fixed_format.h"
#include "core/paths.h"
#include "frames/data_frames.h"

namespace tw {
namespace fs = std::filesystem;

namespace {

void RemoveHead(AcpFileQueue& queue) {
  if (!queue.entries.empty()) queue.entries.erase(queue.entries.begin());
}

// The head file cannot go on: `line` says why, and the files after it move up.
void DropHead(DataFrames& frames, AcpFileQueue& queue, const std::string& line) {
  frames.PrintDataLine(line);
  RemoveHead(queue);
}

void BuildStatusFrame(DataFrames& frames, DataFrame& frame) {
  const AcpFileQueue& queue = frames.acp.queues[static_cast<size_t>(frame.destination)];
  uint64_t pending = 0;
  for (const AcpFileEntry& entry : queue.entries) pending += static_cast<uint32_t>(entry.remaining);
  EncodeAcpStatus(frame, pending, queue.count());
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
    return DropHead(frames, queue,
                    FixedFormat("ACP[%d]: error: '%s' needs more than %d frames !", d,
                                entry.path.c_str(), ACP_FRAME_NUMBER_MAX + 1));
  }
  const int32_t room = frame.length - ACP_HEADER_BYTES;
  const int32_t remaining = entry.remaining;
  const int32_t offset = entry.total - remaining;
  const int32_t n = std::min(remaining, room);
  const bool lastFrame = remaining <= room;
  const bool lastFile = queue.count() == 1;

  EncodeAcpFileHeader(frame, {entry.frameCounter, n, lastFrame, lastFile});
  ++entry.frameCounter;

  const ReadResult read = CopyStream(entry, offset, n, frame.payload.data() + ACP_HEADER_BYTES);
  if (read == ReadResult::CantOpen) {
    return DropHead(frames, queue,
                    FixedFormat("ACP[%d]: error: can't open file '%s' !", d, entry.path.c_str()));
  }
  if (read == ReadResult::ShortRead) {
    return DropHead(frames, queue,
                    FixedFormat("ACP[%d]: error: file read error: '%s' !", d, entry.path.c_str()));
  }
  if (lastFrame) {
    frames.PrintDataLine(FixedFormat("ACP[%d]: \"%s\" sent [%ld bytes, %d frames].", d,
                                     entry.title.c_str(), static_cast<long>(entry.total),
                                     entry.frameCounter));
    RemoveHead(queue);
  } else {
    entry.remaining = remaining - n;
  }
  frame.ready = 1;
}

}  // namespace

void QueueAcpFile(DataFrames& frames, int node) {
  if (!ValidNode(node)) return;
  if (frames.nodes[static_cast<size_t>(node)].protocol != KIND_ACP) {
    frames.PrintDataLine(FixedFormat("ACP[%d]: Node not configured for ACP frames!", node));
    // How to get there, in rows that fit the terminal beside the stamp.
    frames.PrintDataLine(FixedFormat("ACP[%d]: to send files to node %d, choose", node, node));
    frames.PrintDataLine(FixedFormat("ACP[%d]: \"ACP Frames\" for it in Data >", node));
    frames.PrintDataLine(FixedFormat("ACP[%d]: Configure Node Protocols...", node));
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

std::string AcpSendProgress(const AcpState& acp) {
  std::string text;
  int waiting = 0;
  for (size_t node = 0; node < acp.queues.size(); ++node) {
    const AcpFileQueue& queue = acp.queues[node];
    if (queue.entries.empty()) continue;
    waiting += queue.count() - 1;
    if (!text.empty()) {
      ++waiting;
      continue;
    }
    const AcpFileEntry& head = queue.entries.front();
    const int64_t sent = head.total - head.remaining;
    text = FixedFormat("ACP: \"%s\" to node %d %d%%", head.title.c_str(), static_cast<int>(node),
                       static_cast<int>(head.total > 0 ? sent * 100 / head.total : 0));
  }
  if (waiting > 0) text += FixedFormat(" (+%d queued)", waiting);
  return text;
}

void CancelAcpFiles(DataFrames& frames) {
  bool any = false;
  for (size_t node = 0; node < frames.acp.queues.size(); ++node) {
    AcpFileQueue& queue = frames.acp.queues[node];
    if (queue.entries.empty()) continue;
    any = true;
    const AcpFileEntry& head = queue.entries.front();
    const int n = static_cast<int>(node);
    frames.PrintDataLine(
        FixedFormat("ACP[%d]: \"%s\" cancelled [%ld of %ld bytes sent].", n, head.title.c_str(),
                    static_cast<long>(head.total - head.remaining), static_cast<long>(head.total)));
    if (queue.count() > 1) {
      frames.PrintDataLine(
          FixedFormat("ACP[%d]: %d more queued files dropped.", n, queue.count() - 1));
    }
    queue.entries.clear();
  }
  if (!any) frames.PrintDataLine("ACP: no file queued, nothing to cancel.");
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
