// The test cycle on recording fakes, and once through the program's menu.
#include "diagnostics/test_cycle.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "app/program.h"
#include "core/commands.h"
#include "support/fakes.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

using Lines = std::vector<std::string>;

class TestCycle : public ::testing::Test {
 protected:
  TestCycle() {
    s().dataRateEnabled.fill(0);  // an empty selection, no data rate either
  }

  // One call; what it sent, run together as on the wire. Its lines are left
  // in `out`.
  std::string Run() {
    RunTestCycle(out, sink, settings, state);
    std::string sent;
    for (const std::string& sentence : sink.sent) sent += sentence;
    sink.sent.clear();
    return sent;
  }

  Lines TakeLines() {
    Lines shown;
    shown.swap(out.lines);
    return shown;
  }

  static std::string StatusFrame(char ack, const std::string& sequenceHex) {
    return std::string("$CCTXD,2,1,") + ack + ",1100000100000000" + sequenceHex + "00000000" +
           std::string(243 * 2, '0') + "\r\n";
  }

  Settings& s() { return settings; }

  RecordingTextOut out;
  RecordingSink sink{&out};
  Settings settings;
  RunState state;
};

TEST_F(TestCycle, RefusesWithReasonAndLeavesCounterAlone) {
  state.testCounter = 77;
  s().uplinkEnabled[3] = 1;
  s().dataRateEnabled[7] = 1;  // a rate without a menu item does not count
  EXPECT_EQ(Run(), "");
  s().uplinkEnabled[3] = 0;
  s().dataRateEnabled[0] = 1;  // rates alone are no test
  EXPECT_EQ(Run(), "");
  s().lblPing = 1;
  sink.connected = false;
  EXPECT_EQ(Run(), "");
  EXPECT_EQ(TakeLines(),
            (Lines{"Test Cycle: No Data Rates enabled.", "Test Cycle: No Tests enabled.",
                   "Test Cycle: Not Connected to Modem."}));
  EXPECT_EQ(state.testCounter, 77);
}

TEST_F(TestCycle, ItemsOfOnePassAlternate) {
  s().uplinkEnabled[3] = 1;
  s().dataRateEnabled[0] = s().dataRateEnabled[2] = 1;
  for (int pass = 0; pass < 2; ++pass) {
    EXPECT_EQ(Run(), "$CCCYC,1,3,0,0,0,1\r\n");
    EXPECT_EQ(Run(), "$CCCYC,1,3,0,2,0,1\r\n");
  }
  // Resumes just after the last slot sent: pass 1, sub 2, node 3.
  EXPECT_EQ(state.testCounter, 2048 + 0x200 + 3 + 1);

  s().uplinkEnabled[3] = 0;
  s().unitPingEnabled[5] = s().lblPing = 1;
  EXPECT_EQ(Run() + Run() + Run(),
            "$CCMPC,0,5\r\n$CCPNT,26000,5,5,4000,25000,0,0,0,1\r\n$CCMPC,0,5\r\n");
  EXPECT_EQ(TakeLines(),
            (Lines{"Pinging Unit 5", "Pinging Narrowband LBL Xponder", "Pinging Unit 5"}));
}

TEST_F(TestCycle, FullPassFollowsTheScheduleOrder) {
  s().dataRateEnabled[1] = s().dataRateEnabled[5] = 1;
  s().uplinkEnabled[15] = s().downlinkEnabled[1] = 1;
  s().navPingEnabled[0] = s().navPingEnabled[3] = s().unitPingEnabled[0] = 1;
  s().sendCustomString = s().lblPing = s().acpStatusNoAck = s().acpStatusAck = 1;
  s().noiseDiagnostic = {1, 1, 1, 1};
  settings.customString = "$CCCLK,1\r\n";

  const std::vector<std::string> pass = {"$CCPDT,1,1,0,0,5000,1,1,1,1\r\n",
                                         "$CCPDT,1,4,0,0,5000,1,1,1,1\r\n",
                                         "$CCMPC,0,0\r\n",
                                         "$CCCLK,1\r\n",
                                         "$CCCFR,100\r\n",
                                         "$CCPNT,26000,5,5,4000,25000,0,0,0,1\r\n",
                                         StatusFrame('0', "00"),
                                         StatusFrame('1', "00"),
                                         "$CCCYC,1,15,0,1,0,1\r\n",
                                         "$CCCYC,1,0,1,1,0,1\r\n",
                                         "$CCCFR,300\r\n",
                                         "$CCCFR,1000\r\n",
                                         "$CCCFR,3000\r\n",
                                         "$CCCYC,1,15,0,5,0,1\r\n",
                                         "$CCCYC,1,0,1,5,0,1\r\n"};
  for (size_t i = 0; i < pass.size(); ++i) EXPECT_EQ(Run(), pass[i]) << "item " << i;
  EXPECT_EQ(
      TakeLines(),
      (Lines{"Pinging SELKA Transponder 1", "Pinging SELKA Transponder 4", "Pinging Unit 0",
             "Sending Custom String: 8 bytes: '$CCCLK,1'", "Measuring Receiver Noise      [100 ms]",
             "Pinging Narrowband LBL Xponder", "Sending Unsolicited Data. <000> [NO ACK]",
             "Sending Unsolicited Data. <000>    [ACK]", "Measuring Receiver Noise      [300 ms]",
             "Measuring Receiver Noise      [1 sec]", "Measuring Receiver Noise      [3 sec]"}));

  // The next pass starts from the top and carries the next pass number.
  for (int i = 0; i < 6; ++i) EXPECT_EQ(Run(), pass[i]);
  EXPECT_EQ(Run(), StatusFrame('0', "01"));
}

TEST_F(TestCycle, StatusSequenceWrapsAfter256Passes) {
  s().acpStatusAck = 1;
  state.testCounter = 255 * 2048 + 0x70;  // last pass number, just before the ack slot
  EXPECT_EQ(Run(), StatusFrame('1', "ff"));
  EXPECT_EQ(Run(), StatusFrame('1', "00"));
  EXPECT_EQ(TakeLines(), (Lines{"Sending Unsolicited Data. <255>    [ACK]",
                                "Sending Unsolicited Data. <000>    [ACK]"}));

  // Years of looping run the counter past its signed limit without harm.
  state.testCounter = INT32_MAX;
  EXPECT_EQ(Run(), StatusFrame('1', "00"));
}

TEST_F(TestCycle, CustomStringPreviewShowsItsFirstLineAndSendsItWhole) {
  s().sendCustomString = 1;
  for (const char* stored :
       {"$CCCYC,0,0,1,0,0,1\r\n", "0123456789abcde\r\n", "\r\n$CCABC\r\nx\r\n", "\r\n\r\n"}) {
    settings.customString = stored;
    EXPECT_EQ(Run(), stored);
  }
  settings.customString.clear();  // nothing stored: nothing to send
  EXPECT_EQ(Run(), "");
  EXPECT_EQ(TakeLines(), (Lines{"Sending Custom String: 18 bytes: '$CCCYC,0,0,1,0,0...'",
                                "Sending Custom String: 15 bytes: '0123456789abcde'",
                                "Sending Custom String: 8 bytes: '\r\n$CCABC'",
                                "Sending Custom String: 4 bytes: '\r\n\r\n'",
                                "Sending Custom String: 0 bytes: ''"}));
}

TEST_F(TestCycle, EmptyCustomStringIsNeverHandedToTheSink) {
  s().sendCustomString = 1;
  settings.customString.clear();
  EXPECT_EQ(Run(), "");
  EXPECT_EQ(TakeLines(), Lines{"Sending Custom String: 0 bytes: ''"});
  settings.customString = "$CCCLK,1\r\n";
  RunTestCycle(out, sink, settings, state);
  // Only the stored string went to the sink, which would log an empty write
  // as if something had gone out.
  EXPECT_EQ(sink.sent, Lines{"$CCCLK,1\r\n"});
}

// Through the program: its menu command, its timer and its port.
class TestCycleInProgram : public ProgramTest {};

TEST_F(TestCycleInProgram, TestOnceAndTheLoopTimerRunTheCycle) {
  auto port = Connect();
  program->settings().unitPingEnabled[9] = 1;
  program->OnCommand(cmd::TEST_ONCE);
  EXPECT_EQ(port->written, "$CCMPC,0,9\r\n");

  port->written.clear();
  program->OnTimer(TIMER_TEST);  // not looping: the timer does nothing
  EXPECT_EQ(port->written, "");
  program->OnCommand(cmd::LOOP_TESTING);
  program->OnTimer(TIMER_TEST);
  EXPECT_EQ(port->written, "$CCMPC,0,9\r\n");
}

TEST_F(TestCycleInProgram, EmptyCustomStringLeavesNoRecordInTheLog) {
  auto port = Connect();
  program->OnCommand(cmd::NMEA_LOG_START);
  ASSERT_TRUE(program->logs().nmeaOpen());
  program->settings().sendCustomString = 1;
  program->settings().customString.clear();
  program->OnCommand(cmd::TEST_ONCE);
  EXPECT_EQ(port->written, "");
  program->settings().customString = "$CCCLK,1\r\n";
  program->OnCommand(cmd::TEST_ONCE);
  EXPECT_EQ(port->written, "$CCCLK,1\r\n");

  EXPECT_EQ(ReadFile(program->logs().nmeaPath()), "0,03/03/2007,14:05:09,0x0,$CCCLK,1\r\n");
}

}  // namespace
}  // namespace tw::test
