#include "firmware/firmware_download.h"

#include "core/fixed_format.h"
#include "core/paths.h"

namespace tw {

namespace {

constexpr uint8_t DOT = '.';
constexpr uint8_t PROMPT = '>';
constexpr uint32_t BANNER_DOTS = 3;

// True when a ">" has arrived. Without one, nothing held can become the
// prompt, so it is dropped: a chatty monitor must never fill the ring and
// shut out the prompt itself.
bool PromptArrived(RxState& rx) {
  if (rx.count() == 0) return false;
  if (RxFind(rx, 0, PROMPT) < rx.count()) return true;
  RxConsume(rx, rx.count());
  return false;
}

}  // namespace

FirmwareProgress InitialFirmwareProgress() {
  return FirmwareProgress{"Waiting for Veluna BIOS...", "  ", 0, 20, 1};
}

std::filesystem::path FirmwareImageFolder(const std::filesystem::path& dataRoot,
                                          bool windowsFolderExists) {
  if (windowsFolderExists) return std::filesystem::path("C:\\WINDOWS\\Desktop\\veluna\\");
  return dataRoot;
}

bool WindowsFolderExists() {
#ifdef _WIN32
  std::error_code ec;
  return std::filesystem::is_directory("C:\\WINDOWS", ec);
#else
  return false;
#endif
}

void FirmwareDownload::FirmwareDownloadStart(RxState& rx) {
  imagePath_.clear();
  const FileRequest request{"Open Veluna Executable",
                            PathToUtf8(links_.imageFolder),
                            {{"Veluna Binary Image File", "*.bin"}, {"All Files", "*"}},
                            "bin"};
  const std::string path = links_.files.ChooseFileToOpen(request);
  if (path.empty()) return;
  imagePath_ = path;
  links_.out.PrintLine(FixedFormat("downloading: \"%s\"", imagePath_.c_str()));
  if (dialogs_) dialogs_->ShowDongleNotice();
  progress_ = InitialFirmwareProgress();
  if (dialogs_) dialogs_->ShowProgress(progress_);
  links_.out.PrintLine("Waiting for BIOS Prompt");
  rx.mode = RX_FIRMWARE_WAIT;
  RxReset(rx);
}

// The banner is three dots in a row anywhere in what has arrived; the ring
// is read in its own order, so a run that crosses the ring's end or arrives
// over several reads counts.
void FirmwareDownload::FirmwareWait(RxState& rx) {
  const uint32_t held = rx.count();
  if (held < BANNER_DOTS) return;
  uint32_t run = 0;
  for (uint32_t k = 0; k < held; ++k) {
    run = RxPeek(rx, k) == DOT ? run + 1 : 0;
    if (run == BANNER_DOTS) {
      rx.mode = RX_FIRMWARE_ERASE;
      RxReset(rx);
      links_.out.PrintLine("Got \"...\"");
      links_.sink.SendSentence("\r\n");
      return;
    }
  }
  // Only a trailing run of dots can still grow into the banner; the rest is
  // noise and goes, so that it cannot fill the ring before the banner comes.
  RxConsume(rx, held - run);
}

void FirmwareDownload::FirmwareErase(RxState& rx) {
  if (!PromptArrived(rx)) return;
  rx.mode = RX_FIRMWARE_START;
  RxReset(rx);
  links_.out.PrintLine("Got \">\" erasing FLASH");
  links_.sink.SendSentence("erase\r\n");
}

void FirmwareDownload::FirmwareStart(RxState& rx) {
  if (!PromptArrived(rx)) return;
  rx.mode = RX_FIRMWARE_BLOCKS;
  blockIndex_ = 0;
  blockCount_ = transfer_.count;
  RxReset(rx);
  links_.out.PrintLine("Got \">\" starting download");
  PutBlock();
}

// Any byte after a block is the monitor's reply to it: the next block goes,
// or after the last one the port returns to normal message interpretation.
void FirmwareDownload::FirmwareBlocks(RxState& rx) {
  if (rx.count() == 0) return;
  RxReset(rx);
  if (blockIndex_ + 1 > blockCount_) {
    links_.out.PrintLine("Download Complete.");
    rx.mode = RX_MODEM;
    return;
  }
  links_.out.PrintLine(FixedFormat("Putting block: %d", static_cast<int>(blockIndex_ + 1)));
  PutBlock();
}

void FirmwareDownload::OnReceive(RxState& rx) {
  switch (rx.mode) {
    case RX_FIRMWARE_WAIT:
      FirmwareWait(rx);
      break;
    case RX_FIRMWARE_ERASE:
      FirmwareErase(rx);
      break;
    case RX_FIRMWARE_START:
      FirmwareStart(rx);
      break;
    case RX_FIRMWARE_BLOCKS:
      FirmwareBlocks(rx);
      break;
    default:
      break;
  }
}

// The index names the next block to put; it moves on once the block is out,
// so that the last reply ends the transfer.
void FirmwareDownload::PutBlock() {
  if (transfer_.put) transfer_.put(blockIndex_);
  ++blockIndex_;
}

}  // namespace tw
