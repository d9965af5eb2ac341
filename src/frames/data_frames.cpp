#include "frames/data_frames.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "app/cformat.h"
#include "app/program.h"
#include "frames/ccl.h"
#include "frames/mitoe.h"
#include "protocol/nmea.h"
#include "resources/commands.h"

namespace tw {
namespace {

constexpr int HEX_DIGITS_MAX = 2 * FRAME_MAX;
constexpr int DUMP_GROUP = 4;

int HexValue(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  return -1;
}

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
  for (; k < 2 && HexValue(pair[k]) >= 0; ++k) value = value * 16 + HexValue(pair[k]);
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

int32_t ProtocolFromListPosition(int position) {
  if (position < 0 || position >= static_cast<int>(PROTOCOL_LIST.size())) return KIND_GENERIC;
  return PROTOCOL_LIST[static_cast<size_t>(position)];
}

int ListPositionFromProtocol(int32_t protocol) {
  const auto it = std::find(PROTOCOL_LIST.begin(), PROTOCOL_LIST.end(), protocol);
  return it == PROTOCOL_LIST.end() ? -1 : static_cast<int>(it - PROTOCOL_LIST.begin());
}

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

std::string EncodeHexPayload(const DataFrame& frame) {
  return NMEAHexPayload(frame.payload.data(), static_cast<size_t>(ValidLength(frame)));
}

DataFrames::DataFrames(Ui& ui, std::filesystem::path receiveFolder)
    : ui_(ui), receiveFolder_(std::move(receiveFolder)) {
  ResetAcpState(acp, receiveFolder_);
}

void DataFrames::InitDataFrames(PrintFn print) {
  nodes.fill(NodeProtocol{});
  print_ = std::move(print);
  ResetAcpState(acp, receiveFolder_);
}

void DataFrames::PrintDataLine(const std::string& text) const {
  if (print_) print_(text);
}

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
    PrintDataLine(cformat("DATA: frame from node %d ignored: nodes are 0 to 15.", frame.source));
    return;
  }
  DecodeHexPayload(HexField(sentence), frame);
  const NodeProtocol& node = nodes[static_cast<size_t>(frame.source)];
  frame.kind = Classify(frame, node);
  if (node.showData <= 0) return;
  Announce(frame);
  const PrintFn print = [this](const std::string& line) { PrintDataLine(line); };
  switch (frame.kind) {
    case KIND_ACP:
      DecodeAcpFrame(*this, frame);
      break;
    case KIND_CCL:
      DecodeCclFrame(frame, node.showData > 0, print);
      break;
    case KIND_MITOE:
      DecodeMitoeFrame(frame, node.showData > 0, print);
      break;
    default:
      break;
  }
  if (node.showRawData > 0) DumpFrame(frame);
}

void DataFrames::Announce(const DataFrame& frame) const {
  const int s = frame.source;
  const int n = frame.length;
  switch (frame.kind) {
    case KIND_EMPTY:
      PrintDataLine(cformat("RX[%02d]: got empty frame.", s));
      break;
    case KIND_GENERIC:
      PrintDataLine(cformat("RX[%02d]: got frame.            [%d bytes]", s, n));
      break;
    case KIND_ACP:
    case KIND_CCL:
      break;  // their decoders announce them
    case KIND_MITOE:
      PrintDataLine(cformat("RX[%02d]: got MIT-OE frame.     [%d bytes]", s, n));
      break;
    case KIND_SEAGRANT:
      PrintDataLine(cformat("RX[%02d]: got SeaGrant frame.   [%d bytes]", s, n));
      break;
    case KIND_TEST:
      PrintDataLine(cformat("RX[%02d]: got test frame.       [%d bytes]", s, n));
      break;
    default:  // KIND_RAW and anything else
      PrintDataLine(cformat("RX[%02d]: got UNKNOWN frame.    [%d bytes]", s, n));
      break;
  }
}

void DataFrames::DumpFrame(const DataFrame& frame) const {
  const int s = frame.source;
  const auto b = [&frame](int k) {
    return static_cast<unsigned>(frame.payload[static_cast<size_t>(k)]);
  };
  int k = 0;
  for (; k + DUMP_GROUP <= frame.length; k += DUMP_GROUP) {
    PrintDataLine(
        cformat("RX[%02d]:    %02x..%02x..%02x..%02x", s, b(k), b(k + 1), b(k + 2), b(k + 3)));
  }
  switch (frame.length - k) {
    case 1:
      PrintDataLine(cformat("RX[%02d]:    %02x", s, b(k)));
      break;
    case 2:
      PrintDataLine(cformat("RX[%02d]:    %02x..%02x", s, b(k), b(k + 1)));
      break;
    case 3:
      PrintDataLine(cformat("RX[%02d]:    %02x..%02x..%02x", s, b(k), b(k + 1), b(k + 2)));
      break;
    default:
      break;
  }
}

std::string DataFrames::BuildDataFrame(int32_t source, int32_t destination, int32_t ack,
                                       int32_t byteCount) {
  if (!ValidNode(destination)) {
    PrintDataLine(
        cformat("DATA: data request for node %d ignored: nodes are 0 to 15.", destination));
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
  switch (frame.kind) {
    case KIND_ACP:
      BuildAcpFrame(*this, frame);
      break;
    case KIND_GENERIC:
    case KIND_CCL:
    case KIND_MITOE:
    case KIND_SEAGRANT:
      break;
    default:
      PrintDataLine(cformat("TX[%02d]: UNKNOWN frame requested [%d bytes]", source, byteCount));
      break;
  }
  if (frame.ready != 1) return {};
  return cformat("$CCTXD,%d,%d,%d,%s\r\n", frame.source, frame.destination, frame.ack,
                 EncodeHexPayload(frame).c_str());
}

void InstallDataFrames(Program& program) {
  program.frames = std::make_unique<DataFrames>(program.ui(), program.dataRoot());
  DataFrames* frames = program.frames.get();
  frames->InitDataFrames([&program](const std::string& line) { program.PrintLine(line); });
  program.receiveDataFrame = [frames](const std::string& line) { frames->ReceiveDataFrame(line); };
  program.buildDataFrame = [frames](int source, int destination, int ack, int length) {
    return frames->BuildDataFrame(source, destination, ack, length);
  };
  for (int node = 0; node < NODE_COUNT; ++node) {
    program.SetCommand(cmd::SEND_FILE_TO[static_cast<size_t>(node)],
                       [frames, node] { QueueAcpFile(*frames, node); });
  }
}

}  // namespace tw
