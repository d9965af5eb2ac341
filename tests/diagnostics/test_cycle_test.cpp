// The test cycle driven through a Program on a fake COM1.
#include "diagnostics/test_cycle.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "resources/commands.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

using Lines = std::vector<std::string>;

class TestCycleTest : public ProgramTest {
 protected:
  TestCycleTest() {
    port = Connect();
    InstallTestCycle(*program);
    TakeLines();
    port->written.clear();
    s().dataRateEnabled.fill(0);  // an empty selection, no data rate either
  }

  // One call; the bytes it wrote to the port. Its lines are left in `lines`.
  std::string Run() {
    RunTestCycle(*program);
    std::string sent;
    sent.swap(port->written);
    return sent;
  }

  static std::string StatusFrame(char ack, const std::string& sequenceHex) {
    return std::string("$CCTXD,2,1,") + ack + ",1100000100000000" + sequenceHex + "00000000" +
           std::string(243 * 2, '0') + "\r\n";
  }

  Settings& s() { return program->settings; }
  std::shared_ptr<FakePortState> port;
};

TEST_F(TestCycleTest, RefusesWithReasonAndLeavesCounterAlone) {
  s().testCounter = 77;
  s().uplinkEnabled[3] = 1;
  s().dataRateEnabled[7] = 1;  // a rate without a menu item does not count
  EXPECT_EQ(Run(), "");
  s().uplinkEnabled[3] = 0;
  s().dataRateEnabled[0] = 1;  // rates alone are no test
  EXPECT_EQ(Run(), "");
  s().lblPing = 1;
  program->OnCommand(257);  // disconnect
  EXPECT_EQ(Run(), "");
  EXPECT_EQ(TakeLines(),
            (Lines{"Test Cycle: No Data Rates enabled.", "Test Cycle: No Tests enabled.",
                   "Test Cycle: Not Connected to Modem."}));
  EXPECT_EQ(s().testCounter, 77);
}

TEST_F(TestCycleTest, ItemsOfOnePassAlternate) {
  s().uplinkEnabled[3] = 1;
  s().dataRateEnabled[0] = s().dataRateEnabled[2] = 1;
  for (int pass = 0; pass < 2; ++pass) {
    EXPECT_EQ(Run(), "$CCCYC,1,3,0,0,0,1\r\n");
    EXPECT_EQ(Run(), "$CCCYC,1,3,0,2,0,1\r\n");
  }
  // Resumes just after the last slot sent: pass 1, sub 2, node 3.
  EXPECT_EQ(s().testCounter, 2048 + 0x200 + 3 + 1);

  s().uplinkEnabled[3] = 0;
  s().unitPingEnabled[5] = s().lblPing = 1;
  EXPECT_EQ(Run() + Run() + Run(),
            "$CCMPC,0,5\r\n$CCPNT,26000,5,5,4000,25000,0,0,0,1\r\n$CCMPC,0,5\r\n");
  EXPECT_EQ(TakeLines(),
            (Lines{"Pinging Unit 5", "Pinging Narrowband LBL Xponder", "Pinging Unit 5"}));
}

TEST_F(TestCycleTest, FullPassFollowsTheScheduleOrder) {
  s().dataRateEnabled[1] = s().dataRateEnabled[5] = 1;
  s().uplinkEnabled[15] = s().downlinkEnabled[1] = 1;
  s().navPingEnabled[0] = s().navPingEnabled[3] = s().unitPingEnabled[0] = 1;
  s().sendCustomString = s().lblPing = s().acpStatusNoAck = s().acpStatusAck = 1;
  s().noiseDiagnostic = {1, 1, 1, 1};
  program->customString = "$CCCLK,1\r\n";

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

TEST_F(TestCycleTest, StatusSequenceWrapsAfter256Passes) {
  s().acpStatusAck = 1;
  s().testCounter = 255 * 2048 + 0x70;  // last pass number, just before the ack slot
  EXPECT_EQ(Run(), StatusFrame('1', "ff"));
  EXPECT_EQ(Run(), StatusFrame('1', "00"));
  EXPECT_EQ(TakeLines(), (Lines{"Sending Unsolicited Data. <255>    [ACK]",
                                "Sending Unsolicited Data. <000>    [ACK]"}));

  // Years of looping run the counter past its signed limit without harm.
  s().testCounter = INT32_MAX;
  EXPECT_EQ(Run(), StatusFrame('1', "00"));
}

TEST_F(TestCycleTest, CustomStringPreviewShowsItsFirstLineAndSendsItWhole) {
  s().sendCustomString = 1;
  for (const char* stored :
       {"$CCCYC,0,0,1,0,0,1\r\n", "0123456789abcde\r\n", "\r\n$CCABC\r\nx\r\n", "\r\n\r\n"}) {
    program->customString = stored;
    EXPECT_EQ(Run(), stored);
  }
  program->customString.clear();  // nothing stored: nothing to send
  EXPECT_EQ(Run(), "");
  EXPECT_EQ(TakeLines(), (Lines{"Sending Custom String: 18 bytes: '$CCCYC,0,0,1,0,0...'",
                                "Sending Custom String: 15 bytes: '0123456789abcde'",
                                "Sending Custom String: 8 bytes: '\r\n$CCABC'",
                                "Sending Custom String: 4 bytes: '\r\n\r\n'",
                                "Sending Custom String: 0 bytes: ''"}));
}

TEST_F(TestCycleTest, EmptyCustomStringLeavesNoRecordInTheLog) {
  program->OnCommand(cmd::NMEA_LOG_START);
  ASSERT_TRUE(program->logs.nmeaOpen());
  s().sendCustomString = 1;
  program->customString.clear();
  EXPECT_EQ(Run(), "");
  EXPECT_EQ(TakeLines(), Lines{"Sending Custom String: 0 bytes: ''"});
  program->customString = "$CCCLK,1\r\n";
  EXPECT_EQ(Run(), "$CCCLK,1\r\n");

  EXPECT_EQ(ReadFile(program->logs.nmeaPath()), "0,03/03/2007,14:05:09,0x0,$CCCLK,1\r\n");
}

TEST_F(TestCycleTest, TestOnceCommandRunsTheInstalledCycle) {
  s().unitPingEnabled[9] = 1;
  program->OnCommand(40308);  // "&Test Once"
  EXPECT_EQ(port->written, "$CCMPC,0,9\r\n");
}

}  // namespace
}  // namespace tw::test
