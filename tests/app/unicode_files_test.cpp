// Files whose names hold characters beyond ASCII, end to end: a data root
// given on the command line, the logs under it, configuration files chosen in
// the file dialog, and files sent and received over ACP. File names reach the
// logic as UTF-8; on Windows the C library would read a plain string in the
// ANSI code page instead, so these run there too (under Wine).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "app/options.h"
#include "config/config_files.h"
#include "config/config_xml.h"
#include "core/clock.h"
#include "core/fixed_format.h"
#include "core/paths.h"
#include "frames/acp.h"
#include "frames/data_frames.h"
#include "logging/logs.h"
#include "support/fakes.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

namespace fs = std::filesystem;

const std::string ROOT_NAME = "Tidewire-Grüße-Ωμέγα";

std::set<std::string> Listing(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(folder))
    names.insert(PathToUtf8(e.path().filename()));
  return names;
}

TEST(UnicodeFiles, DataRootFromTheCommandLineHoldsTheLogs) {
  TempDir dir;
  const std::string home = PathToUtf8(dir.path() / PathFromUtf8(ROOT_NAME));
  const ParseResult parsed = ParseOptions({"--home", home});
  ASSERT_TRUE(parsed.options) << parsed.error;
  const fs::path root = DataRoot(*parsed.options);
  EXPECT_EQ(root, dir.path() / fs::path(u8"Tidewire-Grüße-Ωμέγα"));

  ManualClock clock;
  clock.now = {2007, 3, 3, 14, 5, 9};
  std::vector<std::string> boxes;
  {
    Logs logs(clock, root,
              [&](const std::string& text, const std::string&) { boxes.push_back(text); });
    logs.LogsInit(3600);
    logs.NMEALogOpen(1);
    logs.NMEALogLine(0, "$CCCFQ,ALL");
    logs.DataLogOpen(1);
  }
  EXPECT_TRUE(boxes.empty());
  const fs::path nmea = root / "Logs" / "port1" / "NMEA-2007-03-03-14-05-09.CSV";
  EXPECT_EQ(ReadFile(nmea), "0,03/03/2007,14:05:09,0x0,$CCCFQ,ALL\r\n");
  EXPECT_TRUE(fs::is_regular_file(root / "Logs" / "port1" / "DATA-2007-03-03-14-05-09.BIN"));
  EXPECT_EQ(Listing(dir.path()), (std::set<std::string>{ROOT_NAME}));
}

TEST(UnicodeFiles, ALogThatCannotOpenNamesItsPathReadably) {
  TempDir dir;
  // A file where the Logs folder should be: nothing can be made under it.
  const fs::path root = dir.path() / PathFromUtf8(ROOT_NAME);
  fs::create_directories(root);
  std::ofstream(root / "Logs") << "in the way";
  ManualClock clock;
  std::vector<std::string> boxes;
  Logs logs(clock, root,
            [&](const std::string& text, const std::string&) { boxes.push_back(text); });
  logs.LogsInit(3600);
  logs.NMEALogOpen(2);
  EXPECT_FALSE(logs.nmeaOpen());
  ASSERT_EQ(boxes.size(), 1u);
  const std::string path = PathToUtf8(root / "Logs" / "port2" / "NMEA-1970-01-01-00-00-00.CSV");
  EXPECT_NE(path.find(ROOT_NAME), std::string::npos);
  EXPECT_EQ(boxes[0], "ERROR Opening " + path + " \n\r");
}

class UnicodeConfigFiles : public ::testing::Test {
 protected:
  UnicodeConfigFiles() : files(ui, out, settings, dir.path() / PathFromUtf8(ROOT_NAME)) {
    fs::create_directories(dir.path() / PathFromUtf8(ROOT_NAME));
  }
  TempDir dir;
  FakeUi ui;
  RecordingTextOut out;
  Settings settings;
  ConfigFiles files;
};

TEST_F(UnicodeConfigFiles, SavedLoadedAndReplacedUnderTheirOwnNames) {
  const std::string folder = PathToUtf8(dir.path() / PathFromUtf8(ROOT_NAME));
  EXPECT_EQ(files.SaveRequest().folder, folder);
  const std::string chosen = PathToUtf8(PathFromUtf8(folder) / PathFromUtf8("Fahrt-Nord-ü.twc"));
  ui.fileToSave = chosen;
  settings.testInterval = 20000;
  ASSERT_TRUE(files.ConfigSave());
  ASSERT_EQ(out.lines.size(), 1u);
  EXPECT_EQ(out.lines[0], "saved: \"" + chosen + "\"");
  const fs::path onDisk =
      dir.path() / fs::path(u8"Tidewire-Grüße-Ωμέγα") / fs::path(u8"Fahrt-Nord-ü.twc");
  EXPECT_EQ(ReadFile(onDisk), ConfigToXml(settings));

  // Saved again over the old file: replaced whole, nothing left beside it.
  settings.testInterval = 30000;
  ASSERT_TRUE(files.ConfigSave());
  EXPECT_EQ(ReadFile(onDisk), ConfigToXml(settings));
  EXPECT_EQ(Listing(PathFromUtf8(folder)), (std::set<std::string>{"Fahrt-Nord-ü.twc"}));

  settings.testInterval = 10000;
  ui.fileToOpen = chosen;
  out.lines.clear();
  files.ConfigLoad();
  ASSERT_FALSE(out.lines.empty());
  EXPECT_EQ(out.lines[0], "loaded: \"" + chosen + "\"");
  EXPECT_EQ(settings.testInterval, 30000);
}

// The payload bytes of a "$CCTXD" answer.
std::vector<uint8_t> Payload(const std::string& sentence) {
  const size_t hexStart = sentence.rfind(',') + 1;
  const std::string hex = sentence.substr(hexStart, sentence.size() - 2 - hexStart);
  std::vector<uint8_t> bytes;
  for (size_t k = 0; k + 1 < hex.size(); k += 2) {
    bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(k, 2), nullptr, 16)));
  }
  return bytes;
}

std::string Hex(const std::vector<uint8_t>& bytes) {
  std::string hex;
  for (uint8_t b : bytes) hex += FixedFormat("%02X", b);
  return hex;
}

class UnicodeAcp : public ::testing::Test {
 protected:
  UnicodeAcp()
      : sender(ui, sentOut, senderNodes, dir.path() / "outbox"),
        receiver(ui, receivedOut, receiverNodes, dir.path() / PathFromUtf8(ROOT_NAME)) {
    sender.InitDataFrames();
    receiver.InitDataFrames();
    sender.nodes[3].protocol = KIND_ACP;
    receiver.nodes[1].protocol = KIND_ACP;
  }
  TempDir dir;
  FakeUi ui;
  RecordingTextOut sentOut, receivedOut;
  std::array<NodeProtocol, NODE_COUNT> senderNodes{}, receiverNodes{};
  DataFrames sender;
  DataFrames receiver;
};

TEST_F(UnicodeAcp, AFileCrossesUnderItsUtf8Title) {
  const std::string title = "Meßwerte-水深.txt";
  fs::create_directories(dir.path() / "files");
  const fs::path source = dir.path() / "files" / PathFromUtf8(title);
  std::string content;
  for (int i = 0; i < 300; ++i) content += static_cast<char>(i % 256);
  std::ofstream(source, std::ios::binary) << content;

  ui.fileToOpen = PathToUtf8(source);
  QueueAcpFile(sender, 3);
  ASSERT_FALSE(sentOut.lines.empty());
  EXPECT_EQ(sentOut.lines.back(), FixedFormat("ACP[3]: queued \"%s\" [%zu bytes]", title.c_str(),
                                              title.size() + 1 + 300));
  int frameNumber = 0;
  std::vector<uint8_t> first;
  while (sender.acp.queues[3].count() > 0 && frameNumber < 100) {
    const std::vector<uint8_t> payload = Payload(sender.BuildDataFrame(1, 3, 0, 256));
    if (frameNumber == 0) first = payload;
    receiver.ReceiveDataFrame(
        FixedFormat("$CARXD,1,3,0,%d,%s\r\n", frameNumber++, Hex(payload).c_str()));
  }
  // The title goes out as its UTF-8 bytes and its zero.
  ASSERT_GT(first.size(), 4 + title.size());
  EXPECT_EQ(std::string(first.begin() + 4, first.begin() + 4 + static_cast<long>(title.size())),
            title);
  EXPECT_EQ(first[4 + title.size()], 0);

  const fs::path arrived =
      dir.path() / fs::path(u8"Tidewire-Grüße-Ωμέγα") / fs::path(u8"Meßwerte-水深.txt");
  EXPECT_EQ(ReadFile(arrived), content);
  bool shown = false;
  for (const std::string& line : receivedOut.lines) {
    shown = shown || line.find(PathToUtf8(arrived)) != std::string::npos;
  }
  EXPECT_TRUE(shown) << "the received file's path is shown as UTF-8";
}

TEST_F(UnicodeAcp, ATitleThatIsNotUtf8StillArrives) {
  const std::string title = "caf\xE9.txt";  // Latin-1
  std::vector<uint8_t> frame{0x43, 0, 0, static_cast<uint8_t>(title.size() + 3)};
  frame.insert(frame.end(), title.begin(), title.end());
  frame.push_back(0);
  frame.push_back('o');
  frame.push_back('k');
  receiver.ReceiveDataFrame(FixedFormat("$CARXD,1,3,0,0,%s\r\n", Hex(frame).c_str()));
  const fs::path folder = dir.path() / PathFromUtf8(ROOT_NAME);
  EXPECT_EQ(ReadFile(folder / PathFromUtf8(title)), "ok");
  EXPECT_EQ(Listing(folder).size(), 1u);
}

}  // namespace
}  // namespace tw::test
