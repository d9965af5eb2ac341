// The boot-monitor handshake driven as the port poll drives it: bytes are
// appended to the ring and the handler of the current mode runs once per
// poll, with the bytes arriving in one read, one byte per read, or across the
// ring's end.
#include "firmware/firmware_download.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fake_dialogs.h"
#include "support/fakes.h"

namespace tw::test {
namespace {

using Lines = std::vector<std::string>;

class FirmwareTest : public ::testing::Test {
 protected:
  FirmwareTest() : sink(&out), fw(FirmwareLinks{ui, out, sink, "/data/root"}) {
    RxInit(rx);
    fw.SetDialogs(&dialogs);
    ui.fileToOpen = "/images/modem-3.bin";
  }

  // One poll: what arrived goes into the ring, then the mode's handler runs.
  void Poll(const std::string& bytes = "") {
    ASSERT_TRUE(RxAppend(rx, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    fw.OnReceive(rx);
  }
  void PollEachByte(const std::string& bytes) {
    for (char c : bytes) Poll(std::string(1, c));
  }
  // Puts the ring's indices at `index` with nothing unread, so that what
  // arrives next is stored across the ring's end.
  void MoveRingTo(uint32_t index) {
    RxReset(rx);
    const std::string filler(index, 'z');
    ASSERT_TRUE(RxAppend(rx, reinterpret_cast<const uint8_t*>(filler.data()), filler.size()));
    RxConsume(rx, index);
  }
  void Start() {
    fw.FirmwareDownloadStart(rx);
    out.lines.clear();
  }

  FakeUi ui;
  FakeDialogs dialogs;
  RecordingTextOut out;
  RecordingSink sink;
  RxState rx;
  FirmwareDownload fw;
};

const Lines HANDSHAKE_LINES = {"Got \"...\"", "Got \">\" erasing FLASH",
                               "Got \">\" starting download", "Download Complete."};
const std::vector<std::string> HANDSHAKE_SENT = {"\r\n", "erase\r\n"};

TEST_F(FirmwareTest, StartPicksTheImageShowsBothWindowsAndWaitsForTheBanner) {
  const std::string stale = "$CAREV,old line";
  Poll(stale);  // mode 256: not a firmware mode, the ring keeps it
  EXPECT_EQ(rx.count(), stale.size());
  std::vector<size_t> linesAtDialog;
  dialogs.onOpen = [&](const std::string&) { linesAtDialog.push_back(out.lines.size()); };

  fw.FirmwareDownloadStart(rx);

  ASSERT_EQ(ui.openRequests.size(), 1u);
  const FileRequest& request = ui.openRequests[0];
  EXPECT_EQ(request.caption, "Open Veluna Executable");
  EXPECT_EQ(request.folder, "/data/root");
  ASSERT_EQ(request.filters.size(), 2u);
  EXPECT_EQ(request.filters[0].name, "Veluna Binary Image File");
  EXPECT_EQ(request.filters[0].pattern, "*.bin");
  EXPECT_EQ(request.filters[1].name, "All Files");
  EXPECT_EQ(request.defaultSuffix, "bin");

  EXPECT_EQ(out.lines, (Lines{"downloading: \"/images/modem-3.bin\"", "Waiting for BIOS Prompt"}));
  // The notice and the progress window come between the two lines.
  EXPECT_EQ(dialogs.opened, (Lines{"dongle notice", "firmware progress"}));
  EXPECT_EQ(linesAtDialog, (std::vector<size_t>{1, 1}));
  EXPECT_EQ(fw.progress().status, "Waiting for Veluna BIOS...");
  EXPECT_EQ(fw.progress().block, "  ");
  EXPECT_EQ(fw.progress().rangeLow, 0);
  EXPECT_EQ(fw.progress().rangeHigh, 20);
  EXPECT_EQ(fw.progress().position, 1);
  EXPECT_EQ(rx.mode, RX_FIRMWARE_WAIT);
  EXPECT_EQ(rx.count(), 0u);
  EXPECT_EQ(rx.readIndex(), 0u);
  EXPECT_TRUE(sink.sent.empty());
}

TEST_F(FirmwareTest, CancellingTheFileDialogChangesNothing) {
  Poll("$CAREV,kept");
  ui.fileToOpen.clear();
  fw.FirmwareDownloadStart(rx);
  EXPECT_EQ(rx.mode, RX_MODEM);
  EXPECT_EQ(RxCopy(rx, 0, rx.count()), "$CAREV,kept");
  EXPECT_TRUE(out.lines.empty());
  EXPECT_TRUE(dialogs.opened.empty());
  EXPECT_TRUE(fw.imagePath().empty());
}

TEST_F(FirmwareTest, HandshakeWithEachAnswerInOneRead) {
  Start();
  Poll();  // polls with nothing new change nothing
  Poll("Veluna BIOS 1.4 ");
  EXPECT_EQ(rx.mode, RX_FIRMWARE_WAIT);
  Poll("...\r\n");
  EXPECT_EQ(rx.mode, RX_FIRMWARE_ERASE);
  EXPECT_EQ(rx.count(), 0u);
  Poll();
  Poll("\r\n> ");
  EXPECT_EQ(rx.mode, RX_FIRMWARE_START);
  Poll("erase\r\nerased\r\n");
  EXPECT_EQ(rx.mode, RX_FIRMWARE_START);
  Poll(">");
  EXPECT_EQ(rx.mode, RX_FIRMWARE_BLOCKS);
  EXPECT_EQ(fw.blockIndex(), 1u);  // the first block went with the prompt
  Poll();
  EXPECT_EQ(rx.mode, RX_FIRMWARE_BLOCKS);
  Poll("ok");
  EXPECT_EQ(rx.mode, RX_MODEM);
  EXPECT_EQ(rx.count(), 0u);
  EXPECT_EQ(out.lines, HANDSHAKE_LINES);
  // Putting the one block sends nothing.
  EXPECT_EQ(sink.sent, HANDSHAKE_SENT);
}

TEST_F(FirmwareTest, HandshakeFedOneByteAPoll) {
  Start();
  PollEachByte("BIOS..\r\n");  // two dots and a break: no banner
  EXPECT_EQ(rx.mode, RX_FIRMWARE_WAIT);
  PollEachByte("x...");
  EXPECT_EQ(rx.mode, RX_FIRMWARE_ERASE);
  PollEachByte("\r\n>");
  EXPECT_EQ(rx.mode, RX_FIRMWARE_START);
  PollEachByte("erasing\r\n>");
  EXPECT_EQ(rx.mode, RX_FIRMWARE_BLOCKS);
  PollEachByte("!");
  EXPECT_EQ(rx.mode, RX_MODEM);
  EXPECT_EQ(out.lines, HANDSHAKE_LINES);
  EXPECT_EQ(sink.sent, HANDSHAKE_SENT);
}

TEST_F(FirmwareTest, BannerSplitOverReadsIsFoundWhenTheThirdDotArrives) {
  Start();
  Poll(".");
  Poll("..");
  EXPECT_EQ(rx.mode, RX_FIRMWARE_ERASE);
  EXPECT_EQ(out.lines, (Lines{"Got \"...\""}));

  Start();
  Poll("..x.");
  Poll(". .");
  EXPECT_EQ(rx.mode, RX_FIRMWARE_WAIT);
  Poll(".");  // the last dot of ". ." and this one: two
  EXPECT_EQ(rx.mode, RX_FIRMWARE_WAIT);
  Poll(".");
  EXPECT_EQ(rx.mode, RX_FIRMWARE_ERASE);
}

TEST_F(FirmwareTest, PromptInTheSameReadAsTheBannerDoesNotCount) {
  Start();
  Poll("BIOS...\r\n>");
  EXPECT_EQ(rx.mode, RX_FIRMWARE_ERASE);
  EXPECT_EQ(rx.count(), 0u);
  Poll();
  EXPECT_EQ(rx.mode, RX_FIRMWARE_ERASE);
  EXPECT_EQ(sink.sent, (std::vector<std::string>{"\r\n"}));
  // Likewise a second prompt in the read of the first waits for a new one.
  Poll(">>");
  EXPECT_EQ(rx.mode, RX_FIRMWARE_START);
  Poll();
  EXPECT_EQ(rx.mode, RX_FIRMWARE_START);
  Poll(">");
  EXPECT_EQ(rx.mode, RX_FIRMWARE_BLOCKS);
}

TEST_F(FirmwareTest, BannerAndPromptsAcrossTheRingsEnd) {
  for (const bool byteByByte : {false, true}) {
    SCOPED_TRACE(byteByByte ? "one byte a poll" : "one read");
    Start();
    sink.sent.clear();
    MoveRingTo(RX_SIZE - 2);
    // ".." lands in the ring's last two bytes, the third dot at index 0.
    if (byteByByte) {
      PollEachByte("...");
    } else {
      Poll("...");
    }
    EXPECT_EQ(rx.mode, RX_FIRMWARE_ERASE);
    MoveRingTo(RX_SIZE - 1);
    if (byteByByte) {
      PollEachByte("\r\n>");
    } else {
      Poll("\r\n>");
    }
    EXPECT_EQ(rx.mode, RX_FIRMWARE_START);
    MoveRingTo(RX_SIZE - 3);
    Poll("abc>");
    EXPECT_EQ(rx.mode, RX_FIRMWARE_BLOCKS);
    MoveRingTo(RX_SIZE - 1);
    Poll("A");
    EXPECT_EQ(rx.mode, RX_MODEM);
    EXPECT_EQ(out.lines, HANDSHAKE_LINES);
    EXPECT_EQ(sink.sent, HANDSHAKE_SENT);
  }
}

// A monitor that chatters before its banner must not fill the ring: a full
// ring drops every later read whole, and the banner would never be seen.
TEST_F(FirmwareTest, ChatterBeforeTheBannerOrPromptNeverFillsTheRing) {
  Start();
  const std::string chatter(1000, '#');
  for (int k = 0; k < 20; ++k) Poll(chatter + "..");
  EXPECT_EQ(rx.mode, RX_FIRMWARE_WAIT);
  EXPECT_LE(rx.count(), 2u);
  Poll(chatter + ". .");
  Poll("..");  // the kept dot and these two
  EXPECT_EQ(rx.mode, RX_FIRMWARE_ERASE);
  for (int k = 0; k < 20; ++k) Poll(chatter);
  EXPECT_EQ(rx.count(), 0u);
  Poll(">");
  EXPECT_EQ(rx.mode, RX_FIRMWARE_START);
}

TEST_F(FirmwareTest, EachReplyPutsTheNextBlockUntilTheLast) {
  std::vector<uint32_t> put;
  fw.SetBlockTransfer({3, [&put](uint32_t index) { put.push_back(index); }});
  Start();
  Poll("...");
  Poll(">");
  Poll(">");
  EXPECT_EQ(put, (std::vector<uint32_t>{0}));
  EXPECT_EQ(fw.blockCount(), 3u);
  Poll("a");
  Poll("bc");
  EXPECT_EQ(rx.mode, RX_FIRMWARE_BLOCKS);
  Poll("d");
  EXPECT_EQ(rx.mode, RX_MODEM);
  EXPECT_EQ(put, (std::vector<uint32_t>{0, 1, 2}));
  EXPECT_EQ(out.lines,
            (Lines{"Got \"...\"", "Got \">\" erasing FLASH", "Got \">\" starting download",
                   "Putting block: 2", "Putting block: 3", "Download Complete."}));
}

TEST_F(FirmwareTest, OnlyTheFourFirmwareModesAreHandled) {
  Poll("...>");
  rx.mode = RX_EMULATOR;
  fw.OnReceive(rx);
  EXPECT_EQ(rx.count(), 4u);
  EXPECT_TRUE(out.lines.empty());
  EXPECT_TRUE(sink.sent.empty());
}

TEST(FirmwareImageFolderTest, WindowsDesktopWhereThereIsOneElseTheDataRoot) {
  EXPECT_EQ(FirmwareImageFolder("/home/op/Tidewire", true).string(),
            "C:\\WINDOWS\\Desktop\\veluna\\");
  EXPECT_EQ(FirmwareImageFolder("/home/op/Tidewire", false).string(), "/home/op/Tidewire");
}

}  // namespace
}  // namespace tw::test
