// The program under faults an operator meets at sea: the port pulled in the
// middle of a sentence or a file, a data root that is read-only or full, a
// log folder that is a file. Each is told in one line and the link goes on.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/commands.h"
#include "core/fixed_format.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

namespace fs = std::filesystem;
using namespace tw::cmd;
using Lines = std::vector<std::string>;

void Queue(FakePortState& port, const std::string& bytes) {
  port.incoming.insert(port.incoming.end(), bytes.begin(), bytes.end());
}

bool Has(const Lines& lines, const std::string& start) {
  return std::any_of(lines.begin(), lines.end(),
                     [&](const std::string& l) { return l.rfind(start, 0) == 0; });
}

size_t Count(const Lines& lines, const std::string& start) {
  return static_cast<size_t>(std::count_if(
      lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(start, 0) == 0; }));
}

// A small file system over a folder for the length of a test: a tmpfs where
// mounting works (as root), else what the platform offers instead (see the
// users of `mounted()`).
class SmallMount {
 public:
  SmallMount(const fs::path& at, const char* options) : at_(at) {
    mounted_ = ::mount("tidewire-test", at.c_str(), "tmpfs", 0, options) == 0;
  }
  ~SmallMount() {
    if (mounted_) ::umount2(at_.c_str(), MNT_DETACH);
  }
  SmallMount(const SmallMount&) = delete;
  SmallMount& operator=(const SmallMount&) = delete;
  bool mounted() const { return mounted_; }

 private:
  fs::path at_;
  bool mounted_ = false;
};

class FaultSurvival : public ProgramTest {
 protected:
  // Lines printed while `sentences` came in one poll each.
  Lines Feed(FakePortState& port, const std::vector<std::string>& sentences) {
    for (const std::string& s : sentences) {
      Queue(port, s);
      program->OnTimer(TIMER_POLL);
    }
    return TakeLines();
  }

  fs::path NmeaPath() const {
    return root.path() / "Logs" / "port1" / "NMEA-2007-03-03-14-05-09.CSV";
  }

  // ACP frame from node 1 as a "$CARXD" sentence.
  static std::string AcpFrame(int number, const std::string& bytes) {
    std::string hex;
    for (unsigned char b : bytes) hex += FixedFormat("%02x", b);
    return FixedFormat("$CARXD,1,0,0,%d,%s\r\n", number, hex.c_str());
  }
};

TEST_F(FaultSurvival, PortPulledMidSentenceLosesOnlyThatSentence) {
  auto port = Connect();
  program->OnCommand(NMEA_LOG_START);
  const fs::path log = program->logs().nmeaPath();
  TakeLines();
  Queue(*port, "$CATXF,1\r\n$CAREV,120000,AUV,1.");  // the second one is cut off
  program->OnTimer(TIMER_POLL);
  port->gone = true;
  program->OnTimer(TIMER_POLL);
  EXPECT_EQ(TakeLines(), (Lines{"Data Packet Transmit Complete.",
                                "Error: Lost modem port COM1, disconnected.",
                                "Error: 20 received bytes lost (no line end)."}));
  EXPECT_FALSE(program->modem().connected());

  // Plugged in again: the next sentence arrives whole, not glued to the
  // remains of the cut one.
  port->gone = false;
  Connect();
  program->OnCommand(NMEA_LOG_START);
  const Lines after = Feed(*port, {"$CATXF,2\r\n"});
  EXPECT_EQ(after, (Lines{"Minipacket Transmit Complete."}));
  EXPECT_EQ(ReadFile(log).find("1.$"), std::string::npos);
  EXPECT_NE(ReadFile(program->logs().nmeaPath()).find("0x0,$CATXF,2\r\n"), std::string::npos);
}

TEST_F(FaultSurvival, PortPulledMidFileKeepsWhatArrivedAndTheNextFileIsWhole) {
  program->settings().nodes[1].protocol = KIND_ACP;
  auto port = Connect();
  const fs::path inbox = root.path();
  Feed(*port, {AcpFrame(0, std::string("\x03\x00\x00\x0a", 4) + std::string("f.txt\0", 6) +
                               "abcd")});
  ASSERT_EQ(ReadFile(inbox / "f.txt"), "abcd");
  // Half of frame 1 arrives, then the adapter is pulled.
  const std::string frame1 = AcpFrame(1, std::string("\x03\x00\x01\x04", 4) + "efgh");
  Queue(*port, frame1.substr(0, frame1.size() / 2));
  program->OnTimer(TIMER_POLL);
  port->gone = true;
  program->OnTimer(TIMER_POLL);
  EXPECT_TRUE(Has(TakeLines(), "Error: Lost modem port COM1"));
  EXPECT_EQ(ReadFile(inbox / "f.txt"), "abcd");  // nothing half-written

  port->gone = false;
  Connect();
  const Lines lines =
      Feed(*port, {AcpFrame(0, std::string("\x43\x00\x00\x08", 4) + std::string("g.txt\0", 6) +
                                   "ok")});
  EXPECT_EQ(ReadFile(inbox / "g.txt"), "ok");
  EXPECT_EQ(ReadFile(inbox / "f.txt"), "abcd");
  EXPECT_FALSE(Has(lines, "ACP[1]: error"));
}

TEST_F(FaultSurvival, LogFolderReplacedByAFileIsNamedWithItsReason) {
  { std::ofstream(root.path() / "Logs") << "in the way"; }
  auto port = Connect();
  program->OnCommand(NMEA_LOG_START);
  EXPECT_EQ(TakeLines(),
            Lines{"Error: Can't open log file '" + NmeaPath().string() + "': Not a directory."});
  ASSERT_EQ(ui.boxes.size(), 1u);  // the box is still there
  EXPECT_EQ(ui.boxes[0].caption, "Open Error");
  // The link goes on without its log.
  EXPECT_EQ(Feed(*port, {"$CATXF,1\r\n"}), Lines{"Data Packet Transmit Complete."});
  EXPECT_EQ(ReadFile(root.path() / "Logs"), "in the way");
}

TEST_F(FaultSurvival, FullDataRootClosesTheLogWithOneLineAndTheLinkGoesOn) {
  // 16 KB of room; where mounting is not possible, the log file is made a
  // link to the device that is always full.
  SmallMount full(root.path(), "size=16k,mode=0755");
  if (!full.mounted()) {
    fs::create_directories(NmeaPath().parent_path());
    fs::create_symlink("/dev/full", NmeaPath());
  }
  program->settings().nodes[1].protocol = KIND_ACP;
  auto port = Connect();
  program->OnCommand(NMEA_LOG_START);
  ASSERT_TRUE(program->logs().nmeaOpen());
  TakeLines();

  std::vector<std::string> burst;
  for (int k = 0; k < 400; ++k)
    burst.push_back(FixedFormat("$CAMSG,FILLING THE DISK %04d,0\r\n", k));
  const Lines lines = Feed(*port, burst);
  EXPECT_EQ(Count(lines, "Error: Writing log file '" + NmeaPath().string() +
                             "' failed: No space left on device. Log closed."),
            1u);
  EXPECT_EQ(Count(lines, "Error:"), 1u);
  EXPECT_FALSE(program->logs().nmeaOpen());
  EXPECT_TRUE(program->menu().IsEnabled(NMEA_LOG_START));
  EXPECT_FALSE(program->menu().IsEnabled(NMEA_LOG_STOP));
  EXPECT_FALSE(program->menu().IsEnabled(NMEA_LOG_RESTART));
  EXPECT_TRUE(program->modem().connected());
  // Every record before the failing one is there in full.
  const std::string kept = ReadFile(NmeaPath());
  if (full.mounted()) {
    EXPECT_GT(kept.size(), 8000u);
    const size_t lastEnd = kept.rfind("\r\n");
    ASSERT_NE(lastEnd, std::string::npos);
    const size_t records = static_cast<size_t>(std::count(kept.begin(), kept.end(), '\n'));
    EXPECT_NE(kept.find(FixedFormat("FILLING THE DISK %04zu,0\r\n", records - 1)),
              std::string::npos);
  }

  // A received file that does not fit is reported, not silently cut.
  if (full.mounted()) {
    const Lines acp = Feed(*port, {AcpFrame(0, std::string("\x43\x00\x00\xf0", 4) +
                                                   std::string("x.bin\0", 6) +
                                                   std::string(234, 'x'))});
    EXPECT_TRUE(Has(acp, "ACP[1]: error writing file: '" + (root.path() / "x.bin").string()))
        << ::testing::PrintToString(acp);
  }
  EXPECT_EQ(Feed(*port, {"$CATXF,1\r\n"}), Lines{"Data Packet Transmit Complete."});
}

TEST_F(FaultSurvival, ReadOnlyDataRootIsReportedForLogsAndReceivedFiles) {
  SmallMount readOnly(root.path(), "size=16k,mode=0555");
  if (readOnly.mounted()) {
    ASSERT_EQ(::mount(nullptr, root.path().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
  } else {
    fs::permissions(root.path(), fs::perms::owner_read | fs::perms::owner_exec);
  }
  program->settings().nodes[1].protocol = KIND_ACP;
  auto port = Connect();
  program->OnCommand(NMEA_LOG_START);
  const Lines lines = TakeLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("Error: Can't open log file '" + NmeaPath().string() + "': ", 0), 0u)
      << lines[0];
  EXPECT_TRUE(lines[0].find("Read-only file system") != std::string::npos ||
              lines[0].find("Permission denied") != std::string::npos)
      << lines[0];

  const Lines acp = Feed(*port, {AcpFrame(0, std::string("\x43\x00\x00\x08", 4) +
                                                 std::string("r.txt\0", 6) + "no")});
  EXPECT_TRUE(Has(acp, "ACP[1]: error opening file: '" + (root.path() / "r.txt").string()))
      << ::testing::PrintToString(acp);
  EXPECT_FALSE(fs::exists(root.path() / "r.txt"));
  EXPECT_EQ(Feed(*port, {"$CATXF,1\r\n"}), Lines{"Data Packet Transmit Complete."});
  if (!readOnly.mounted()) fs::permissions(root.path(), fs::perms::owner_all);
}

}  // namespace
}  // namespace tw::test
