// The interpreter behind the real serial port: the test plays the modem on
// the master side of a pseudo-terminal and the program polls the slave.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "app/program.h"
#include "core/commands.h"
#include "serial/QtSerialPort.h"
#include "serial/port_map.h"
#include "support/fakes.h"
#include "support/program_fixture.h"
#include "support/pty.h"
#include "support/wait.h"

namespace tw::test {
namespace {

using Lines = std::vector<std::string>;

class ModemInterpreterOnPty : public ::testing::Test {
 protected:
  ModemInterpreterOnPty() : opener(map) {
    clock.now = LocalTime{2007, 3, 3, 14, 5, 9};
    clock.ticks = 1000;
  }

  void SetUp() override {
    ASSERT_TRUE(pty.ok());
    map.set(1, pty.slavePath());
    program = std::make_unique<Program>(clock, opener, ui, surface, root.path());
    program->terminal().AddLineListener(
        [this](const std::string& line) { lines.push_back(line.substr(11)); });
    program->Start();
    program->OnCommand(cmd::CONNECT);
    ASSERT_TRUE(program->modem().connected());
    program->OnCommand(cmd::NMEA_LOG_START);
    ASSERT_TRUE(program->logs().nmeaOpen());
  }

  // Runs the 20 ms poll until `count` lines are shown.
  void PollUntilLines(size_t count) {
    EXPECT_TRUE(
        WaitUntil([&] { return lines.size() >= count; }, [this] { program->OnTimer(TIMER_POLL); }));
  }

  std::string NmeaLog() const { return ReadFile(program->logs().nmeaPath()); }

  PtyPair pty;
  PortMap map;
  QtSerialPortOpener opener;
  TempDir root;
  ManualClock clock;
  FakeUi ui;
  NullSurface surface;
  std::unique_ptr<Program> program;
  Lines lines;
};

TEST_F(ModemInterpreterOnPty, ReportsShownAndDataRequestAnsweredOnTheLine) {
  program->settings().useTestDataAck = 1;
  ASSERT_TRUE(pty.write("$CADQF,230,1\r\n$CACFG,SRC,3\r\n$CADRQ,120000,3,2,1,8\r\n"));
  PollUntilLines(4);
  EXPECT_EQ(lines, (Lines{"Quality Factor = 230          [OK]", "SRC:Modem is Unit 3",
                          "Got ACK Data Request 3->2     [8 bytes]",
                          "Sending ACK Data to Modem     [8 bytes]"}));
  EXPECT_EQ(pty.readUntil(), "$CCTXD,3,2,1,0001020304050607\r\n");
  EXPECT_EQ(program->state().modemUnit, 3);
  EXPECT_EQ(program->stats().txFrames, 1);

  const std::string stamp = ",03/03/2007,14:05:09,0x0,";
  EXPECT_EQ(NmeaLog(), "1" + stamp + "$CADQF,230,1\r\n" +      //
                           "1" + stamp + "$CACFG,SRC,3\r\n" +  //
                           "1" + stamp + "$CADRQ,120000,3,2,1,8\r\n" + "0" + stamp +
                           "$CCTXD,3,2,1,0001020304050607\r\n");
}

TEST_F(ModemInterpreterOnPty, EachFamilyShownLoggedAndAnsweredOnTheLine) {
  const std::string noise = "$SNCFR,-90,-90,-90,-90,-70,-90,-90,-90,-90,-90,-90,-90,-90,-90\r\n";
  const Lines received = {"$CAERR,120000,NMEA,16\r\n", "$SNTTA,0.5,,1.0,\r\n", noise,
                          "$CAREV,120000,AUV,0.93\r\n", "$CAXYZ,1,2\r\n"};
  program->settings().showHeartbeat = 1;
  std::string stream;
  for (const std::string& sentence : received) stream += sentence;
  ASSERT_TRUE(pty.write(stream));
  PollUntilLines(6);
  EXPECT_EQ(lines, (Lines{"NMEA Error: Unexpected '*'", "Got Travel Times: [0.5] [] [1.0] []",
                          "In-Band Noise Floor Estimate  [-88.6 dBV]",
                          "Noise Peak:       [-70 dBV] @ [24320 Hz]", "Modem AUV (0.93) Ready.",
                          "$CAXYZ,1,2\r"}));
  EXPECT_FLOAT_EQ(program->stats().range[0], 750.0f);
  EXPECT_FALSE(program->stats().rangeValid[1]);
  EXPECT_FLOAT_EQ(program->stats().range[2], 1500.0f);
  EXPECT_EQ(program->state().noisePeak[4], 1);
  EXPECT_EQ(pty.readAll(100), "");  // none of these is answered
  lines.clear();

  // Echoed as it arrived, CR included, before its own line.
  program->settings().showNmeaIncoming = 1;
  ASSERT_TRUE(pty.write("$CAMPA,3,7\r\n"));
  PollUntilLines(2);
  EXPECT_EQ(lines, (Lines{"$CAMPA,3,7\r", "Ping: [03]=>[07]."}));
  program->settings().showNmeaIncoming = 0;
  lines.clear();

  program->settings().useCustomString = 1;
  program->settings().customString = "$CCCFQ,ALL\r\n";
  ASSERT_TRUE(pty.write("$CADRQ,120000,2,5,0,16\r\n"));
  PollUntilLines(2);
  EXPECT_EQ(lines, (Lines{"Got NOACK Data Request 2->5   [16 bytes]",
                          "TX Custom String: 10 bytes: '$CCCFQ,ALL'"}));
  EXPECT_EQ(pty.readUntil(), "$CCCFQ,ALL\r\n");

  const std::string stamp = ",03/03/2007,14:05:09,0x0,";
  std::string log;
  for (const std::string& sentence : received) log += "1" + stamp + sentence;
  log += "1" + stamp + "$CAMPA,3,7\r\n";
  log += "1" + stamp + "$CADRQ,120000,2,5,0,16\r\n";
  log += "0" + stamp + "$CCCFQ,ALL\r\n";
  EXPECT_EQ(NmeaLog(), log);
}

TEST_F(ModemInterpreterOnPty, SentenceSplitAcrossPollsIsTakenWhole) {
  ASSERT_TRUE(pty.write("$CAMPR,1,2,"));
  for (int i = 0; i < 10; ++i) program->OnTimer(TIMER_POLL);
  EXPECT_EQ(lines, Lines{});
  ASSERT_TRUE(pty.write("0.5\r\n"));
  PollUntilLines(1);
  EXPECT_EQ(lines, Lines{"Ping: [01]=>[02]: 750.0 meters."});
}

}  // namespace
}  // namespace tw::test
