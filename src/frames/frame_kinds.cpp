#include "frames/frame_kinds.h"

#include <array>

#include "core/fixed_format.h"
#include "frames/acp.h"
#include "frames/ccl.h"
#include "frames/data_frames.h"
#include "frames/mitoe.h"

namespace tw {
namespace {

// The announcements are padded to this width, so that the byte counts of
// consecutive frames line up.
constexpr int ANNOUNCEMENT_WIDTH = 22;

constexpr const char* UNKNOWN_ANNOUNCEMENT = "got UNKNOWN frame.";

// Kinds whose requests are understood but have no frames to send yet: the
// request goes unanswered without a line.
void SendNothing(DataFrames&, DataFrame&) {}

void DecodeAcp(DataFrames& frames, DataFrame& frame, const NodeProtocol&) {
  DecodeAcpFrame(frames, frame);
}

void DecodeCcl(DataFrames& frames, DataFrame& frame, const NodeProtocol& node) {
  DecodeCclFrame(frame, node.showData > 0,
                 [&frames](const std::string& line) { frames.PrintDataLine(line); });
}

void DecodeMitoe(DataFrames& frames, DataFrame& frame, const NodeProtocol& node) {
  DecodeMitoeFrame(frame, node.showData > 0,
                   [&frames](const std::string& line) { frames.PrintDataLine(line); });
}

// kind, list caption, announcement, byte count shown, builder, decoder.
constexpr std::array<FrameKind, 8> FRAME_KINDS = {{
    {KIND_ACP, "ACP Frames", nullptr, false, BuildAcpFrame, DecodeAcp},
    {KIND_CCL, "CCL Frames", nullptr, false, SendNothing, DecodeCcl},
    {KIND_GENERIC, "Generic Frames", "got frame.", true, SendNothing, nullptr},
    {KIND_MITOE, "MIT-OE Frames", "got MIT-OE frame.", true, SendNothing, DecodeMitoe},
    // Raw frames are offered but not told apart yet.
    {KIND_RAW, "Raw Frames", UNKNOWN_ANNOUNCEMENT, true, nullptr, nullptr},
    {KIND_SEAGRANT, "SeaGrant Frames", "got SeaGrant frame.", true, SendNothing, nullptr},
    // Kinds a received frame is given by its content, whatever its node's protocol.
    {KIND_EMPTY, nullptr, "got empty frame.", false, nullptr, nullptr},
    {KIND_TEST, nullptr, "got test frame.", true, nullptr, nullptr},
}};

// Stands for every value the table does not hold.
constexpr FrameKind UNKNOWN_KIND = {-1, nullptr, UNKNOWN_ANNOUNCEMENT, true, nullptr, nullptr};

}  // namespace

std::span<const FrameKind> FrameKinds() { return FRAME_KINDS; }

const FrameKind& FrameKindOf(int32_t kind) {
  for (const FrameKind& row : FRAME_KINDS) {
    if (row.kind == kind) return row;
  }
  return UNKNOWN_KIND;
}

std::string AnnouncementLine(int32_t kind, int32_t source, int32_t length) {
  const FrameKind& row = FrameKindOf(kind);
  if (row.announcement == nullptr) return {};
  if (!row.countsBytes) return FixedFormat("RX[%02d]: %s", source, row.announcement);
  return FixedFormat("RX[%02d]: %-*s[%d bytes]", source, ANNOUNCEMENT_WIDTH, row.announcement,
                     length);
}

std::vector<std::string> ProtocolListCaptions() {
  std::vector<std::string> captions;
  for (const FrameKind& row : FRAME_KINDS) {
    if (row.caption != nullptr) captions.emplace_back(row.caption);
  }
  return captions;
}

int32_t ProtocolFromListPosition(int position) {
  int at = 0;
  for (const FrameKind& row : FRAME_KINDS) {
    if (row.caption == nullptr) continue;
    if (at++ == position) return row.kind;
  }
  return KIND_GENERIC;
}

int ListPositionFromProtocol(int32_t protocol) {
  int at = 0;
  for (const FrameKind& row : FRAME_KINDS) {
    if (row.caption == nullptr) continue;
    if (row.kind == protocol) return at;
    ++at;
  }
  return -1;
}

}  // namespace tw
