// Data-frame transport: the per-node protocol table, "$CARXD" frames coming
// in (parse, classify, announce, decode, hex dump) and "$CCTXD" frames going
// out in answer to the modem's data requests.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/settings.h"
#include "core/text_out.h"
#include "core/ui.h"
#include "frames/acp.h"
#include "frames/data_frame.h"
#include "protocol/interpreter.h"

namespace tw {

// Whether the payload is the test pattern (byte i equals i modulo 256).
bool IsTestPattern(const DataFrame& frame);

// The hex text of a "$CARXD" payload into the frame: two digits a byte, a
// trailing odd digit ignored, at most FRAME_MAX bytes.
void DecodeHexPayload(const std::string& hex, DataFrame& frame);

class DataFrames : public DataFrameHandler {
 public:
  // `files` is the file chooser of "Send File"; lines go to `out`; `nodes`
  // is the operator's node protocol table; `receiveFolder` is where files
  // received over the link go, and where the chooser opens.
  DataFrames(FileChooser& files, TextOut& out, std::array<NodeProtocol, NODE_COUNT>& nodes,
             std::filesystem::path receiveFolder);

  // Start-up: the ACP queues emptied, every reception forgotten and the
  // dialog back on node 0.
  void InitDataFrames();

  void ReceiveDataFrame(const std::string& sentence) override;
  std::string BuildDataFrame(int32_t source, int32_t destination, int32_t ack,
                             int32_t byteCount) override;

  void PrintDataLine(const std::string& text) const { out_.PrintLine(text); }
  // A line this program composes (a file name, a reason): broken to fit.
  void PrintDataWrapped(const std::string& text) const { out_.PrintWrapped(text); }

  FileChooser& files() { return files_; }
  const std::filesystem::path& receiveFolder() const { return receiveFolder_; }

  std::array<NodeProtocol, NODE_COUNT>& nodes;
  AcpState acp;
  // The node last chosen in "Configure Data Protocol", kept for the run.
  int dialogNode = 0;
  // Off for a replay of a log: received files are announced as they were,
  // under the name they would get, and nothing is written.
  bool writeReceivedFiles = true;

 private:
  void DumpFrame(const DataFrame& frame) const;

  FileChooser& files_;
  TextOut& out_;
  std::filesystem::path receiveFolder_;
};

// The frames room's dialog, opened by the Qt layer (QtFrameDialogs).
class FrameDialogs {
 public:
  virtual ~FrameDialogs() = default;
  // "Configure Data Protocol" on the node protocol table, modal.
  virtual void RunNodeProtocols(DataFrames& frames) = 0;
};

}  // namespace tw
