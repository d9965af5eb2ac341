#include "frames/data_frames.h"

#include <algorithm>
#include <cctype>

#include "core/fixed_format.h"
#include "frames/frame_kinds.h"
#include "protocol/nmea.h"

namespace tw {
namespace {

constexpr int HEX_DIGITS_MAX = 2 * FRAME_MAX;
constexpr int DUMP_GROUP = 4;

// Two characters as one byte. A pair that is not two hex digits is still
// read, the way a base-16 number reader would: an optional blank and sign,
// then the digits up to the first other character; the low 8 bits count.
uint8_t ReadHexPair(char high, char low) {
  const char pair[2] = {high, low};
  int k = 0;
  if (std::isspace(static_cast<unsigned char>(pair[k]))) ++k;
  bool negative = false;
  if (k < 2 && (pair[k] == '+' || pair[k] == '-')) negative = pair[k++] == '-';
  int value = 0;
  for (; k < 2 && NMEAHexDigit(pair[k]) >= 0; ++k) value = value * 16 + NMEAHexDigit(pair[k]);
  return static_cast<uint8_t>((negative ? -value : value) & 0xFF);
}

// Field 5 of a "$CARXD" sentence: the hex text, without the line end of a
// sentence that has no checksum.
std::string HexField(const std::string& sentence) {
  std::string hex = NMEAGetText(sentence, 5);
  const size_t end = hex.find_first_of("\r\n");
  if (end != std::string::npos) hex.resize(end);
  return hex;
}

int32_t Classify(const DataFrame& frame, const NodeProtocol& node) {
  if (frame.length == 0) return KIND_EMPTY;
  if (IsTestPattern(frame)) return KIND_TEST;
  return node.protocol;
}

}  // namespace

bool IsTestPattern(const DataFrame& frame) {
  for (int i = 0; i < frame.length; ++i) {
    if (frame.payload[static_cast<size_t>(i)] != static_cast<uint8_t>(i % 256)) return false;
  }
  return true;
}

void DecodeHexPayload(const std::string& hex, DataFrame& frame) {
  const size_t digits = std::min(hex.size(), static_cast<size_t>(HEX_DIGITS_MAX));
  frame.length = static_cast<int32_t>(digits / 2);
  for (int32_t k = 0; k < frame.length; ++k) {
    const size_t at = 2 * static_cast<size_t>(k);
    frame.payload[static_cast<size_t>(k)] = ReadHexPair(hex[at], hex[at + 1]);
  }
}

DataFrames::DataFrames(FileChooser& files, TextOut& out,
                       std::array<NodeProtocol, NODE_COUNT>& nodes,
                       std::filesystem::path receiveFolder)
    : nodes(nodes), files_(files), out_(out), receiveFolder_(std::move(receiveFolder)) {
  ResetAcpState(acp, receiveFolder_);
}

// The node table belongs to the operator's settings, which start from their
// own defaults (or a loaded file); only the transfer state starts afresh.
void DataFrames::InitDataFrames() { ResetAcpState(acp, receiveFolder_); }

void DataFrames::ReceiveDataFrame(const std::string& sentence) {
  if (sentence.compare(0, 6, "$CARXD") != 0) {
    PrintDataLine("DATA: message is not $CARXD message.");
    return;
  }
  DataFrame frame;
  frame.source = NMEAGetInt(sentence, 1);
  frame.destination = NMEAGetInt(sentence, 2);
  frame.ack = NMEAGetInt(sentence, 3);
  frame.frameNumber = NMEAGetInt(sentence, 4);
  // The node table has no entry for any other source, 4095 (missing) included.
  if (!ValidNode(frame.source)) {
    PrintDataLine(
        FixedFormat("DATA: frame from node %d ignored: nodes are 0 to 15.", frame.source));
    return;
  }
  DecodeHexPayload(HexField(sentence), frame);
  const NodeProtocol& node = nodes[static_cast<size_t>(frame.source)];
  frame.kind = Classify(frame, node);
  if (node.showData <= 0) return;
  const FrameKind& kind = FrameKindOf(frame.kind);
  const std::string announcement = AnnouncementLine(frame.kind, frame.source, frame.length);
  if (!announcement.empty()) PrintDataLine(announcement);
  if (kind.decode != nullptr) kind.decode(*this, frame, node);
  if (node.showRawData > 0) DumpFrame(frame);
}

void DataFrames::DumpFrame(const DataFrame& frame) const {
  const int s = frame.source;
  const auto b = [&frame](int k) {
    return static_cast<unsigned>(frame.payload[static_cast<size_t>(k)]);
  };
  int k = 0;
  for (; k + DUMP_GROUP <= frame.length; k += DUMP_GROUP) {
    PrintDataLine(
        FixedFormat("RX[%02d]:    %02x..%02x..%02x..%02x", s, b(k), b(k + 1), b(k + 2), b(k + 3)));
  }
  switch (frame.length - k) {
    case 1:
      PrintDataLine(FixedFormat("RX[%02d]:    %02x", s, b(k)));
      break;
    case 2:
      PrintDataLine(FixedFormat("RX[%02d]:    %02x..%02x", s, b(k), b(k + 1)));
      break;
    case 3:
      PrintDataLine(FixedFormat("RX[%02d]:    %02x..%02x..%02x", s, b(k), b(k + 1), b(k + 2)));
      break;
    default:
      break;
  }
}

std::string DataFrames::BuildDataFrame(int32_t source, int32_t destination, int32_t ack,
                                       int32_t byteCount) {
  if (!ValidNode(destination)) {
    PrintDataLine(
        FixedFormat("DATA: data request for node %d ignored: nodes are 0 to 15.", destination));
    return {};
  }
  DataFrame frame;
  frame.source = source;
  frame.destination = destination;
  frame.ack = ack > 0 ? 1 : 0;
  // The payload holds FRAME_MAX bytes; a larger request gets a full frame.
  frame.length = std::clamp(byteCount, 0, FRAME_MAX);
  frame.ready = 0;
  frame.kind = nodes[static_cast<size_t>(destination)].protocol;
  const FrameKind& kind = FrameKindOf(frame.kind);
  if (kind.build == nullptr) {
    PrintDataLine(FixedFormat("TX[%02d]: UNKNOWN frame requested [%d bytes]", source, byteCount));
    return {};
  }
  kind.build(*this, frame);
  if (frame.ready != 1) return {};
  return NMEATxdSentence(frame.source, frame.destination, frame.ack, frame.payload.data(),
                         static_cast<size_t>(ValidLength(frame)));
}

}  // namespace tw
