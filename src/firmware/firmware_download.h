// Loading a new executable image into the modem through its boot monitor.
// The operator picks the image, is told to fit the programming dongle and
// cycle the modem's power, and the handshake then runs on received bytes:
// the monitor's "..." banner is answered with an empty line, the first ">"
// prompt with "erase", the second ">" starts the block transfer. Each step
// is the handler of one receive mode (257..260), called on every poll of the
// modem port.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "core/commands.h"
#include "core/sentence_sink.h"
#include "core/text_out.h"
#include "core/ui.h"
#include "serial/rx_ring.h"

namespace tw {

// Texts of the dialogs.
constexpr const char* LOAD_EXECUTABLE_CAPTION = "Load New Executable...";
constexpr const char* LOAD_EXECUTABLE_TEXT =
    "Connect the inline programming dongle to the modem, and cycle modem power.";
constexpr const char* EXECUTABLE_IMAGE_CAPTION = "Load Executable Image";
// What the progress window's two lines hold before it has initialised.
constexpr const char* PROGRESS_STATUS_TEMPLATE = "Status: %s ...";
constexpr const char* PROGRESS_BLOCK_TEMPLATE = "[ Block %d/%d ]";

// Controls of the progress window.
namespace progress_ctl {
constexpr int BAR = 1009;
constexpr int STATUS = 1010;
constexpr int BLOCK = 1011;
}  // namespace progress_ctl

// What the progress window shows.
struct FirmwareProgress {
  std::string status;
  std::string block;
  int rangeLow = 0;
  int rangeHigh = 0;
  int position = 0;
};

// The progress window as it initialises: waiting for the monitor, no block
// yet, a bar of 0..20 at 1.
FirmwareProgress InitialFirmwareProgress();

// Where the image dialog starts: the Windows desktop's "veluna" folder where
// there is a Windows folder, else the data root.
std::filesystem::path FirmwareImageFolder(const std::filesystem::path& dataRoot,
                                          bool windowsFolderExists);
// Whether this system has the Windows folder.
bool WindowsFolderExists();

// How the image goes to the modem, block by block. The block format is not
// known yet, so the program's own transfer is one block that sends nothing;
// `put` is given the index of the block to send.
struct BlockTransfer {
  uint32_t count = 1;
  std::function<void(uint32_t index)> put;
};

// The download's two windows, opened by the Qt layer (QtFirmwareDialogs).
class FirmwareDialogs {
 public:
  virtual ~FirmwareDialogs() = default;
  // The dongle notice; modal: returns when the operator has closed it.
  virtual void ShowDongleNotice() = 0;
  // The progress window; modeless: made once, it shows `progress`, comes to
  // the front and stays, and this returns at once.
  virtual void ShowProgress(const FirmwareProgress& progress) = 0;
};

struct FirmwareLinks {
  FileChooser& files;
  TextOut& out;
  SentenceSink& sink;
  std::filesystem::path imageFolder;
};

class FirmwareDownload {
 public:
  explicit FirmwareDownload(FirmwareLinks links) : links_(std::move(links)) {}

  // "&Load New Executable...": picks the image, shows the notice and the
  // progress window, then waits for the monitor (receive mode 257) with an
  // empty ring. Cancelling the file dialog changes nothing.
  void FirmwareDownloadStart(RxState& rx);

  // The receive-mode handlers, one per step; each runs on every poll while
  // its mode is set, also when nothing new has arrived.
  void FirmwareWait(RxState& rx);    // 257: the "..." banner
  void FirmwareErase(RxState& rx);   // 258: the prompt before erasing
  void FirmwareStart(RxState& rx);   // 259: the prompt before the blocks
  void FirmwareBlocks(RxState& rx);  // 260: each reply to a block
  // The handler of the ring's current mode, for any of the four modes.
  void OnReceive(RxState& rx);

  // Where the notice and the progress window open; without them (tests,
  // runs without a window) none opens.
  void SetDialogs(FirmwareDialogs* dialogs) { dialogs_ = dialogs; }

  // Replaces how blocks are put (tests, and the transfer once it is known).
  void SetBlockTransfer(BlockTransfer transfer) { transfer_ = std::move(transfer); }

  const std::string& imagePath() const { return imagePath_; }
  const FirmwareProgress& progress() const { return progress_; }
  uint32_t blockIndex() const { return blockIndex_; }
  uint32_t blockCount() const { return blockCount_; }

 private:
  void PutBlock();

  FirmwareLinks links_;
  FirmwareDialogs* dialogs_ = nullptr;
  BlockTransfer transfer_;
  std::string imagePath_;
  FirmwareProgress progress_;
  uint32_t blockIndex_ = 0;
  uint32_t blockCount_ = 0;
};

}  // namespace tw
