// Replay of NMEA logs through a whole Program on a fixed clock: what a live
// session showed comes back from its log, at the recorded pace, and a replay
// sends, answers and writes nothing.
#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "core/commands.h"
#include "frames/data_frame.h"
#include "support/program_fixture.h"
#include "support/wait.h"

namespace tw::test {
namespace {

namespace fs = std::filesystem;

class ReplayLog : public ProgramTest {
 protected:
  ReplayLog() {
    program->terminal().AddLineListener([this](const std::string& l) { shown.push_back(l); });
  }
  // Steps the 20 ms poll until the replay ends.
  void PlayToEnd() {
    ASSERT_TRUE(PollUntil([this] { return !program->replaying(); }, [this] { Step(20); }, 100));
  }
  void Step(uint32_t ms) {
    clock.ticks += ms;
    program->OnTimer(TIMER_POLL);
  }
  // Every file under the data root with its size.
  std::map<std::string, uintmax_t> Files() const {
    std::map<std::string, uintmax_t> files;
    for (const auto& e : fs::recursive_directory_iterator(root.path())) {
      if (e.is_regular_file()) files[e.path().string()] = e.file_size();
    }
    return files;
  }
  fs::path WriteLog(const std::string& name, const std::string& records) {
    const fs::path path = root.path() / name;
    std::ofstream(path, std::ios::binary) << records;
    return path;
  }
  std::vector<std::string> shown;  // with their time stamps
};

// A live session is logged, the port closed, and the log played back: the
// terminal shows the same lines with the same time stamps. Meanwhile the
// operator has chosen to answer data requests with test data, and node 3's
// frames are ACP: the replay still answers nothing, sends nothing and
// writes no received file.
TEST_F(ReplayLog, ShowsWhatTheLiveSessionShowedAndWritesNothing) {
  program->settings().nodes[3].protocol = KIND_ACP;
  auto port = Connect();
  program->OnCommand(cmd::NMEA_LOG_START);
  const std::vector<std::pair<int, std::string>> session = {
      {9, "$CAREV,140510,AUV,0.93.0.48*04"},
      {9, "$CADQF,241,1*57"},
      {9, "$CAAGC,37*6F"},
      {11, "$CADRQ,140515,1,0,1,32"},
      {11, "$CARXD,3,0,1,1,030000207375727665795f30372e747874006c696e65206f6e650a"},
      {11, "$SNTTA,1.0,,2.0,"},
      {12, "$CAMPR,0,1,1.0"},
      {12, "$CACFG,BND,2"}};
  const size_t first = shown.size();
  for (const auto& [second, sentence] : session) {
    clock.now.second = second;
    for (char c : sentence + "\r\n") port->incoming.push_back(static_cast<uint8_t>(c));
    program->OnTimer(TIMER_POLL);
  }
  const std::vector<std::string> live(shown.begin() + first, shown.end());
  program->OnCommand(cmd::DISCONNECT);
  const auto filesBefore = Files();
  const PerformanceStats stats = program->stats();
  shown.clear();
  clock.now = LocalTime{2026, 12, 8, 6, 0, 0};
  program->settings().useTestDataAck = 1;
  ASSERT_TRUE(program->ReplayStart({root.path() / "Logs"}, 0));
  EXPECT_EQ(ui.title, "Tidewire [replay: Logs]");
  EXPECT_FALSE(program->menu().IsEnabled(cmd::REPLAY_NMEA_LOG));
  PlayToEnd();
  ASSERT_EQ(shown.size(), live.size() + 1);
  EXPECT_EQ(std::vector<std::string>(shown.begin(), shown.end() - 1), live);
  EXPECT_EQ(shown.back(), "[14:05:12] Replay of Logs ended: 8 records.");
  EXPECT_EQ(program->stats().goodRx, stats.goodRx);
  EXPECT_EQ(program->stats().meanDqf, stats.meanDqf);
  EXPECT_EQ(program->stats().meanAgc, stats.meanAgc);
  EXPECT_EQ(program->state().modemBand, 2);
  EXPECT_EQ(Files(), filesBefore);
  EXPECT_EQ(port->written, "");
  EXPECT_EQ(ui.title, TITLE_NOT_CONNECTED);
  EXPECT_TRUE(program->menu().IsEnabled(cmd::REPLAY_NMEA_LOG));
}

// Records that are not the log's format, are cut short or carry impossible
// times are skipped and counted, with one line naming the first; the good
// ones around them play: a sent sentence is echoed under "Show NMEA
// Outgoing", a GPS fix is shown, checked and shown again under "Show GPS
// Messages". A file that cannot be read gets one line with the reason.
TEST_F(ReplayLog, SkipsAndCountsBadRecordsAndNamesUnreadableFiles) {
  const std::string bad[] = {
      "garbage without commas",
      "1,03/03/2007,14:05",                    // cut short
      "1,13/45/2007,14:05:10,0x0,$CAAGC,1",    // no such date
      "1,03/03/2007,25:61:10,0x0,$CAAGC,2",    // no such time
      "1,03/03/2007,14:05:10,0x1,$CAAGC,3",    // not the constant field
      "one,03/03/2007,14:05:10,0x0,$CAAGC,4",  // no port number
  };
  std::string records = "1,03/03/2007,14:05:09,0x0,$CAAGC,10\r\n";
  for (const std::string& b : bad) records += b + "\r\n";
  records +=
      "0,03/03/2007,14:05:10,0x0,$CCTXD,1,0,1,00\r\n"
      "4,03/03/2007,14:05:11,0x0,$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,"
      "W*6A\r\n"
      "1,03/03/2007,14:05:12,0x0,$CAAGC,11\r\n";
  const fs::path log = WriteLog("NMEA-2007-03-03-14-05-09.CSV", records);
  program->OnCommand(cmd::SHOW_NMEA_OUTGOING);
  program->OnCommand(cmd::SHOW_GPS_MESSAGES);
  ASSERT_TRUE(program->ReplayStart({root.path() / "missing.CSV", log}, 0));
  PlayToEnd();
  const std::string gps = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r";
  ASSERT_EQ(shown.size(), 8u);
  EXPECT_TRUE(shown[0].starts_with("[14:05:09] Replay: cannot read ") &&
              shown[0].find("missing.CSV: ") != std::string::npos)
      << shown[0];
  EXPECT_EQ(shown[1], "[14:05:09] Waiting for Packet.       [AGC=10]");
  EXPECT_EQ(shown[2], "[14:05:10] $CCTXD,1,0,1,00");
  EXPECT_EQ(shown[3], "[14:05:11] " + gps);
  EXPECT_EQ(shown[4], "[14:05:11] " + gps);
  EXPECT_EQ(shown[5], "[14:05:12] Waiting for Packet.       [AGC=11]");
  EXPECT_EQ(shown[6], "[14:05:12] Replay of missing.CSV +1 ended: 4 records.");
  EXPECT_TRUE(shown[7].starts_with("[14:05:12] Replay: 6 bad records skipped; the first at ") &&
              shown[7].find("NMEA-2007-03-03-14-05-09.CSV line 2") != std::string::npos)
      << shown[7];
}

// The recorded pace times the speed: records 10 s apart come 5 s apart at
// speed 2; a stretch of an hour without records is cut to 10 s; a pause
// holds the replay, and Stop ends it with one line.
TEST_F(ReplayLog, FollowsTheRecordedPaceTimesTheSpeed) {
  WriteLog("NMEA-2007-03-03-14-05-09.CSV",
           "1,03/03/2007,14:05:09,0x0,$CAAGC,1\r\n"
           "1,03/03/2007,14:05:19,0x0,$CAAGC,2\r\n"
           "1,03/03/2007,15:30:00,0x0,$CAAGC,3\r\n"
           "1,03/03/2007,15:30:00,0x0,$CAAGC,4\r\n"
           "1,03/03/2007,15:30:30,0x0,$CAAGC,5\r\n");
  ASSERT_TRUE(program->ReplayStart({root.path() / "NMEA-2007-03-03-14-05-09.CSV"}, 2.0));
  struct Stage {
    uint32_t ms;  // played for this long, in 20 ms steps
    bool paused;
    size_t shown;  // lines shown by then
  };
  const Stage stages[] = {{20, false, 1},   {4960, false, 1}, {20, false, 2},
                          {40000, true, 2}, {4980, false, 2}, {20, false, 4}};
  for (const Stage& s : stages) {
    program->ReplayPause(s.paused);
    for (uint32_t t = 0; t < s.ms; t += 20) Step(20);
    EXPECT_EQ(shown.size(), s.shown) << "after " << s.ms << " ms";
  }
  EXPECT_TRUE(program->replaying());
  EXPECT_TRUE(program->Status().replay.starts_with(
      "Replay NMEA-2007-03-03-14-05-09.CSV  03/03/2007 15:30:00  "))
      << program->Status().replay;
  program->ReplayStop();
  EXPECT_EQ(shown.back(),
            "[15:30:00] Replay of NMEA-2007-03-03-14-05-09.CSV stopped after 4 records.");
  EXPECT_EQ(program->Status().replay, "");
}

// A replay does not share the window with a live port: refused while the
// modem port is connected, and ended when it connects.
TEST_F(ReplayLog, AConnectedPortRefusesOrEndsTheReplay) {
  WriteLog("a.CSV", "1,03/03/2007,14:05:09,0x0,$CAAGC,1\r\n1,03/03/2007,14:05:19,0x0,$CAAGC,2\r\n");
  Connect();
  EXPECT_FALSE(program->ReplayStart({root.path() / "a.CSV"}, 1));
  EXPECT_EQ(TakeLines().back(),
            "Replay refused: the modem port COM1 is connected; disconnect it first.");
  program->OnCommand(cmd::DISCONNECT);
  ASSERT_TRUE(program->ReplayStart({root.path() / "a.CSV"}, 1));
  Step(20);
  Connect();
  Step(20);
  EXPECT_FALSE(program->replaying());
  const auto lines = TakeLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], "Replay stopped: the modem port COM1 was connected.");
  EXPECT_EQ(ui.title, "Tidewire [COM1]");
}

}  // namespace
}  // namespace tw::test
