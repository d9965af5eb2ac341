// Data-frame transport: the per-node protocol table, "$CARXD" frames coming
// in (parse, classify, announce, decode, hex dump) and "$CCTXD" frames going
// out in answer to the modem's data requests.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "app/settings.h"
#include "frames/acp.h"
#include "frames/data_frame.h"

namespace tw {

class Program;
class Ui;

// Positions of the "Data Type" list in "Configure Data Protocol", in list
// order, as protocol values.
inline constexpr std::array<int32_t, 6> PROTOCOL_LIST = {KIND_ACP,   KIND_CCL, KIND_GENERIC,
                                                         KIND_MITOE, KIND_RAW, KIND_SEAGRANT};

// The protocol shown at a list position; KIND_GENERIC for a position off the list.
int32_t ProtocolFromListPosition(int position);
// The list position of a protocol; -1 for a value the list does not hold.
int ListPositionFromProtocol(int32_t protocol);

// Whether the payload is the test pattern (byte i equals i modulo 256).
bool IsTestPattern(const DataFrame& frame);

// The hex text of a "$CARXD" payload into the frame: two digits a byte, a
// trailing odd digit ignored, at most FRAME_MAX bytes.
void DecodeHexPayload(const std::string& hex, DataFrame& frame);

// The first `length` payload bytes as lower-case hex.
std::string EncodeHexPayload(const DataFrame& frame);

class DataFrames {
 public:
  // `ui` provides the file chooser of "Send File"; `receiveFolder` is where
  // files received over the link go, and where the chooser opens.
  DataFrames(Ui& ui, std::filesystem::path receiveFolder);

  // Start-up: every node back to its defaults, `print` as the target of
  // PrintDataLine, the ACP queues emptied.
  void InitDataFrames(PrintFn print);

  // A whole "$CARXD" sentence as it arrived, starting at its '$'.
  void ReceiveDataFrame(const std::string& sentence);

  // The answer to a data request under "Use Node Protocol": one "$CCTXD"
  // sentence with CR LF, or empty when nothing is to be sent.
  std::string BuildDataFrame(int32_t source, int32_t destination, int32_t ack, int32_t byteCount);

  void PrintDataLine(const std::string& text) const;

  Ui& ui() { return ui_; }
  const std::filesystem::path& receiveFolder() const { return receiveFolder_; }

  std::array<NodeProtocol, NODE_COUNT> nodes{};
  AcpState acp;
  // The node last chosen in "Configure Data Protocol", kept for the run.
  int dialogNode = 0;

 private:
  void Announce(const DataFrame& frame) const;
  void DumpFrame(const DataFrame& frame) const;

  Ui& ui_;
  std::filesystem::path receiveFolder_;
  PrintFn print_;
};

// Makes the program's data-frame subsystem: owned by program.frames, hooked
// into the interpreter, with the "Send File" "to Node N" commands.
void InstallDataFrames(Program& program);

}  // namespace tw
