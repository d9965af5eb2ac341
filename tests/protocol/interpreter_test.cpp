// The modem message interpreter on a fake port: what the operator sees, what
// is counted, logged and sent back for each kind of modem sentence.
#include "protocol/interpreter.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/cformat.h"
#include "resources/commands.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

using Lines = std::vector<std::string>;

class InterpreterTest : public ProgramTest {
 protected:
  InterpreterTest() {
    port = Connect();
    TakeLines();
  }

  void Feed(const std::string& bytes) {
    ASSERT_TRUE(
        RxAppend(program->rx, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
  }

  // One poll's worth: the bytes arrive, the interpreter runs once.
  Lines Interpret(const std::string& bytes) {
    Feed(bytes);
    InterpretModemLine(*program);
    return TakeLines();
  }

  Settings& settings() { return program->settings; }
  PerformanceStats& stats() { return program->stats; }

  std::shared_ptr<FakePortState> port;
};

TEST_F(InterpreterTest, EachReportBecomesItsLine) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"$CAAGC,123*5B\r\n", "Waiting for Packet.       [AGC=123]"},
      {"$CADET,1,120000\r\n", "Detected Data Packet."},
      {"$CADET,2,120000\r\n", "Detected Minipacket."},
      {"$CATXP,1\r\n", "Modem Transmitting Data Packet."},
      {"$CATXP,2\r\n", "Modem Transmitting Minipacket."},
      {"$CATXF,1\r\n", "Data Packet Transmit Complete."},
      {"$CATXF,2\r\n", "Minipacket Transmit Complete."},
      {"$CATXA,1,2,0,hello\r\n", "Modem Parsed ASCII Data."},
      {"$CATXD,1,2,0,64\r\n", "Modem Parsed Binary Data.     [64 bytes]"},
      {"$CAMPA,3,7\r\n", "Ping: [03]=>[07]."},
      {"$CAMPC,3,12\r\n", "Ping Command: [03]=>[12]."},
      {"$CAACK,1,2,3,1\r\n", "Ack: [01]->[02]: Frame 3 OK."},
      {"$CAACK,1,2,4,0\r\n", "Ack: [01]->[02]: Frame 4 BAD."},
      {"$CACYC,1,0,3,2,0,1\r\n", "Cycle is Peer to Peer: 0 transmits to 3 [rate=2]"},
      {"$CACYC,7,0,3,2\r\n", "Cycle is : 0 transmits to 3 [rate=2]"},
      {"$CACYC,0,5\r\n", "Cycle is Broadcast: 5 transmits to 4095 [rate=4095]"},
      {"$SNPDT,1\r\n", "Digital Ping Sent."},
      {"$SNPNT,1\r\n", "LBL Ping Sent."},
      {"$CAMSG,BAD_CRC*4A\r\n", "Bad Checksum."},
      {"$CAMSG,HELLO\r\n", "$CAMSG,HELLO\r"},
      {"$CARXA,1,2,0,abc\r\n", "$CARXA,1,2,0,abc\r"},
      {"$CAFST,1\r\n", "$CAFST,1\r"},
      {"$CCCFQ,ALL\r\n", "$CCCFQ,ALL\r"},
      {"$CAXYZ,1\r\n", "$CAXYZ,1\r"},
  };
  for (const auto& [sentence, shown] : cases) {
    EXPECT_EQ(Interpret(sentence), Lines{shown}) << sentence;
  }
  EXPECT_EQ(stats().agcSamples, 1);
  EXPECT_EQ(stats().ackFrames, 1);
  EXPECT_EQ(stats().cycles, 3);
  EXPECT_EQ(stats().pings, 2);
  EXPECT_EQ(stats().crcErrors, 1);
  EXPECT_EQ(stats().detects, 0);  // only a quality report counts as a detect
}

TEST_F(InterpreterTest, QualityGradesAtEveryBoundary) {
  const std::vector<std::pair<int, std::string>> grades = {
      {174, "False?"}, {175, "Poor"}, {220, "Poor"},    {221, "OK"},  {240, "OK"},
      {241, "Good"},   {253, "Good"}, {254, "Perfect"}, {255, "Good"}};
  for (const auto& [q, grade] : grades) {
    EXPECT_EQ(Interpret(cformat("$CADQF,%d,1\r\n", q)),
              Lines{cformat("Quality Factor = %03d          [%s]", q, grade.c_str())});
  }
  EXPECT_EQ(Interpret("$CADQF,7\r\n"), Lines{"Quality Factor = 007          [False?]"});
  EXPECT_EQ(stats().detects, 10);
  EXPECT_EQ(stats().dqfSamples, 10);
}

TEST_F(InterpreterTest, IncomingEchoShowsTheSentenceBeforeItsLine) {
  settings().showNmeaIncoming = 1;
  EXPECT_EQ(Interpret("$CAAGC,9\r\n"), (Lines{"$CAAGC,9\r", "Waiting for Packet.       [AGC=9]"}));
  EXPECT_EQ(Interpret("$CAXYZ\r\n"), (Lines{"$CAXYZ\r", "$CAXYZ\r"}));
  EXPECT_EQ(Interpret("$CACLK,2007,3,3\r\n"), Lines{"$CACLK,2007,3,3\r"});
  settings().showNmeaIncoming = 0;
  EXPECT_EQ(Interpret("$CACLK,2007,3,3\r\n"), Lines{});
}

TEST_F(InterpreterTest, RevertAlwaysShownHeartbeatOnlyWhenAskedFor) {
  settings().showHeartbeat = 0;
  EXPECT_EQ(Interpret("$CAREV,120000,AUV,0.93\r\n"), Lines{});
  EXPECT_EQ(Interpret("$CAREV,120000,INIT,0.93\r\n"), Lines{"Modem Reverted."});
  settings().showHeartbeat = 1;
  // Without a checksum the version is the last field; its CR must not get in.
  EXPECT_EQ(Interpret("$CAREV,120000,AUV,0.93\r\n"), Lines{"Modem AUV (0.93) Ready."});
  EXPECT_EQ(Interpret("$CAREV,120000,INIT,0.93*4D\r\n"), Lines{"Modem Reverted."});
  EXPECT_EQ(Interpret("$CAREV,120000\r\n"), Lines{"Modem Unknown Ready."});
  EXPECT_EQ(stats().reverts, 2);
}

TEST_F(InterpreterTest, RangesFromTravelTimesAndSoundSpeed) {
  EXPECT_EQ(Interpret("$CAMPR,1,2,1.0\r\n"), Lines{"Ping: [01]=>[02]: 1500.0 meters."});
  EXPECT_EQ(Interpret("$CAMPR,1,2\r\n"), Lines{"Ping: [01]=>[02]."});
  settings().soundSpeed = 1480.5f;
  EXPECT_EQ(Interpret("$CAMPR,1,2,0.25*00\r\n"), Lines{"Ping: [01]=>[02]: 370.1 meters."});
  settings().soundSpeed = 1500.0f;

  StatsSetRange(stats(), 1, 9.0f);
  StatsSetRange(stats(), 3, 9.0f);
  EXPECT_EQ(Interpret("$SNTTA,0.5,,1.0,\r\n"), Lines{"Got Travel Times: [0.5] [] [1.0] []"});
  EXPECT_TRUE(stats().rangeValid[0]);
  EXPECT_FLOAT_EQ(stats().range[0], 750.0f);
  EXPECT_TRUE(stats().rangeValid[2]);
  EXPECT_FLOAT_EQ(stats().range[2], 1500.0f);
  EXPECT_FALSE(stats().rangeValid[1]);
  EXPECT_FALSE(stats().rangeValid[3]);
  EXPECT_EQ(stats().replies, (std::array<int32_t, 4>{1, 1, 1, 1}));

  EXPECT_EQ(Interpret("$SNTTA,,,,2.0\r\n"), Lines{"Got Travel Times: [] [] [] [2.0]"});
  EXPECT_FLOAT_EQ(stats().range[3], 3000.0f);
  EXPECT_FALSE(stats().rangeValid[0]);

  // Travel times are read like every other floating field.
  EXPECT_EQ(Interpret("$SNTTA,--4,0x1p-1, 2e-1,+-1\r\n"),
            Lines{"Got Travel Times: [--4] [0x1p-1] [ 2e-1] [+-1]"});
  EXPECT_FLOAT_EQ(stats().range[0], 0.0f);
  EXPECT_FLOAT_EQ(stats().range[1], 750.0f);
  EXPECT_FLOAT_EQ(stats().range[2], 300.0f);
  EXPECT_FLOAT_EQ(stats().range[3], 0.0f);
}

TEST_F(InterpreterTest, ConfigurationReports) {
  const std::vector<std::pair<std::string, Lines>> cases = {
      {"$CACFG,SRC,3\r\n", {"SRC:Modem is Unit 3"}},
      {"$CACFG,AGC,1\r\n", {"AGC:Modem AGC enabled."}},
      {"$CACFG,AGC,0\r\n", {"AGC:Modem AGC disabled."}},
      {"$CACFG,ASD,0*1D\r\n", {"ASD:Modem only sends user data."}},
      {"$CACFG,TXF,1\r\n", {"TXF:Modem TX Finished messages enabled."}},
      {"$CACFG,NTO,5\r\n", {"NTO:Modem NAV timeout = 5 sec"}},
      {"$CACFG,MFC,-12\r\n", {"MFC:Modem detect timing calibration = -12 bb samples"}},
      {"$CACFG,TAT,50\r\n", {"TAT:Modem xponder turn-around time = 50 msec"}},
      {"$CACFG,ALL,2\r\n", {"Modem Using Config Profile [2]"}},
      {"$CACFG,BR1,7\r\n", {"BR1:Modem port 1 baud = 230400"}},
      {"$CACFG,BR2,9\r\n", {"BR2:Modem port 2 baud = 0"}},
      {"$CACFG,BR2,0\r\n", {"BR2:Modem port 2 baud = 2400"}},
      {"$CACFG,DST,0\r\n", {"$CACFG,DST,0\r"}},
      {"$CACFG,XYZ,0\r\n", {"$CACFG,XYZ,0\r"}},
      {"$CACFG\r\n", {"$CACFG\r"}},
  };
  for (const auto& [sentence, shown] : cases) EXPECT_EQ(Interpret(sentence), shown) << sentence;
  EXPECT_EQ(settings().modemUnit, 3);

  EXPECT_EQ(Interpret("$CACFG,SRC,16\r\n"), Lines{});
  EXPECT_EQ(settings().modemUnit, 16);
  EXPECT_EQ(Interpret("$CACFG,SRC,abc\r\n"), Lines{"SRC:Modem is Unit 0"});
  settings().modemUnit = 5;
  EXPECT_EQ(Interpret("$CACFG,SRC,*12\r\n"), Lines{"SRC:Modem is Unit 5"});

  EXPECT_EQ(settings().modemBand, -1);
  EXPECT_EQ(Interpret("$CACFG,BND,2\r\n"), Lines{"BND:Modem uses Band B, fc = 14880 Hz"});
  EXPECT_EQ(settings().modemBand, 2);
  EXPECT_EQ(Interpret("$CACFG,BND,4\r\n"), Lines{"BND:Modem uses unknown band."});
  EXPECT_EQ(settings().modemBand, 4);
}

TEST_F(InterpreterTest, ErrorReports) {
  const std::vector<std::pair<std::string, Lines>> cases = {
      {"$CAERR,120000,NMEA,15\r\n", {"NMEA Error: Wrong number of args"}},
      {"$CAERR,120000,NMEA,11*4B\r\n", {"NMEA Error: Bad Checksum"}},
      {"$CAERR,120000,NMEA,21\r\n", {"NMEA Error: Bad message."}},
      {"$CAERR,120000,MAXTIMEOUTS,1\r\n", {}},
      {"$CAERR,120000,CRC,1\r\n", {"Bad Checksum."}},
      {"$CAERR,120000,TSK_IDLE,1\r\n", {"Error: a2d hang up"}},
      {"$CAERR,120000,NODATA,1\r\n", {"Error: No reply to data request."}},
      {"$CAERR,120000,BOGUS,1\r\n", {"$CAERR,120000,BOGUS,1\r"}},
      {"$CAERR,120000\r\n", {"$CAERR,120000\r"}},
  };
  for (const auto& [sentence, shown] : cases) EXPECT_EQ(Interpret(sentence), shown) << sentence;
  EXPECT_EQ(stats().crcErrors, 1);
}

TEST_F(InterpreterTest, DataRequestAnsweredWithTestData) {
  settings().useTestDataNoAck = 1;
  EXPECT_EQ(Interpret("$CADRQ,120000,1,2,0,0\r\n"),
            (Lines{"Got NOACK Data Request 1->2   [0 bytes]",
                   "Sending NO ACK Data to Modem  [0 bytes]"}));
  EXPECT_EQ(port->written, "$CCTXD,1,2,0,\r\n");

  settings().useTestDataNoAck = 0;
  settings().useTestDataAck = 1;
  port->written.clear();
  EXPECT_EQ(Interpret("$CADRQ,120000,3,0,1,32*6F\r\n"),
            (Lines{"Got ACK Data Request 3->0     [32 bytes]",
                   "Sending ACK Data to Modem     [32 bytes]"}));
  EXPECT_EQ(port->written,
            "$CCTXD,3,0,1,000102030405060708090a0b0c0d0e0f"
            "101112131415161718191a1b1c1d1e1f\r\n");

  // Past 300 bytes and past the 256-byte wrap of the pattern, still whole.
  port->written.clear();
  EXPECT_EQ(Interpret("$CADRQ,120000,3,0,1,400\r\n"),
            (Lines{"Got ACK Data Request 3->0     [400 bytes]",
                   "Sending ACK Data to Modem     [400 bytes]"}));
  EXPECT_EQ(port->written, "$CCTXD,3,0,1," + Pattern(400) + "\r\n");
  EXPECT_EQ(port->written.substr(13 + 2 * 254, 8), "feff0001");
  EXPECT_EQ(stats().txFrames, 3);
}

TEST_F(InterpreterTest, DataRequestLengthShownAsReceivedAndPatternKeptInBounds) {
  settings().useTestDataAck = 1;
  EXPECT_EQ(Interpret("$CADRQ,120000,1,2,1,-5\r\n"),
            (Lines{"Got ACK Data Request 1->2     [-5 bytes]",
                   "Sending ACK Data to Modem     [-5 bytes]"}));
  EXPECT_EQ(port->written, "$CCTXD,1,2,1,\r\n");

  // No length field reads as 4095 and is answered like any other length.
  port->written.clear();
  EXPECT_EQ(Interpret("$CADRQ,120000,1,2,1\r\n"),
            (Lines{"Got ACK Data Request 1->2     [4095 bytes]",
                   "Sending ACK Data to Modem     [4095 bytes]"}));
  EXPECT_EQ(port->written, "$CCTXD,1,2,1," + Pattern(4095) + "\r\n");

  // A damaged length far beyond any frame is shown as it came, the pattern cut.
  port->written.clear();
  EXPECT_EQ(Interpret("$CADRQ,120000,1,2,1,100000\r\n"),
            (Lines{"Got ACK Data Request 1->2     [100000 bytes]",
                   "Sending ACK Data to Modem     [100000 bytes]"}));
  EXPECT_EQ(port->written, "$CCTXD,1,2,1," + Pattern(MAX_TEST_DATA_BYTES) + "\r\n");
  EXPECT_EQ(stats().txFrames, 3);

  EXPECT_EQ(BuildTestDataSentence(1, 2, 0, MAX_TEST_DATA_BYTES),
            BuildTestDataSentence(1, 2, 0, INT32_MAX));
  EXPECT_EQ(BuildTestDataSentence(1, 2, 0, INT32_MIN), "$CCTXD,1,2,0,\r\n");
}

TEST_F(InterpreterTest, DataRequestAnsweredWithCustomString) {
  settings().useCustomString = 1;
  program->customString = "$CCCFQ,ALL\r\n";
  EXPECT_EQ(Interpret("$CADRQ,120000,1,2,0,32\r\n"),
            (Lines{"Got NOACK Data Request 1->2   [32 bytes]",
                   "TX Custom String: 10 bytes: '$CCCFQ,ALL'"}));
  EXPECT_EQ(port->written, "$CCCFQ,ALL\r\n");

  port->written.clear();
  program->customString = "\r$CCTXA,1,2,0,HELLO WORLD\r\n";
  EXPECT_EQ(Interpret("$CADRQ,120000,1,2,0,32\r\n").back(),
            "TX Custom String: 25 bytes: '\r$CCTXA,1,2,0,HE...'");
  EXPECT_EQ(port->written, program->customString);
  EXPECT_EQ(stats().txFrames, 0);
}

TEST_F(InterpreterTest, EmptyCustomStringIsPreviewedButNotSent) {
  program->OnCommand(cmd::NMEA_LOG_START);
  ASSERT_TRUE(program->logs.nmeaOpen());
  settings().useCustomString = 1;
  program->customString.clear();
  EXPECT_EQ(Interpret("$CADRQ,120000,1,2,0,32\r\n"),
            (Lines{"Got NOACK Data Request 1->2   [32 bytes]", "TX Custom String: 0 bytes: ''"}));
  EXPECT_EQ(port->written, "");
  // Only the request is logged: no record claims that something went out.
  EXPECT_EQ(ReadFile(program->logs.nmeaPath()),
            "1,03/03/2007,14:05:09,0x0,$CADRQ,120000,1,2,0,32\r\n");
}

TEST_F(InterpreterTest, DataRequestAnsweredByNodeProtocol) {
  settings().useNodeProtocol = 1;
  std::vector<std::tuple<int, int, int, int>> asked;
  program->buildDataFrame = [&](int s, int d, int ack, int length) {
    asked.emplace_back(s, d, ack, length);
    return s == 4 ? std::string("$CCTXD,4,5,2,11\r\n") : std::string();
  };
  EXPECT_EQ(Interpret("$CADRQ,120000,4,5,2,9\r\n"),
            Lines{"Got ACK Data Request 4->5     [9 bytes]"});
  EXPECT_EQ(port->written, "$CCTXD,4,5,2,11\r\n");
  port->written.clear();
  Interpret("$CADRQ,120000,6,5,0,9\r\n");
  EXPECT_EQ(port->written, "");  // nothing to send, nothing sent
  EXPECT_EQ(asked, (std::vector<std::tuple<int, int, int, int>>{{4, 5, 2, 9}, {6, 5, 0, 9}}));

  settings().useNodeProtocol = 0;
  Interpret("$CADRQ,120000,4,5,2,9\r\n");
  EXPECT_EQ(port->written, "");
  EXPECT_EQ(asked.size(), 2u);
}

TEST_F(InterpreterTest, ReceivedFramesGoToTheFrameHandlerAndAreCounted) {
  std::vector<std::string> frames;
  Interpret("$CARXD,1,2,0,1,0a0b\r\n");  // no handler yet: still counted
  program->receiveDataFrame = [&](const std::string& line) { frames.push_back(line); };
  EXPECT_EQ(Interpret("$CARXD,1,2,0,1,0c\r\n"), Lines{});
  EXPECT_EQ(frames, Lines{"$CARXD,1,2,0,1,0c\r"});
  EXPECT_EQ(stats().goodRx, 2);
}

TEST_F(InterpreterTest, TextFieldsLoseTheLineEndAndAreCutToFit) {
  EXPECT_EQ(Interpret("$CADOP,2.5\r\n"), Lines{"Packet Doppler Shift          [2.5 m/s]"});
  EXPECT_EQ(Interpret("$CADOP,,2.5*70\r\n"), Lines{"Packet Doppler Shift          [ m/s]"});
  EXPECT_EQ(Interpret("$CAMFD,10,20,30\r\n"), Lines{"Detector:   [10]   [20]   [30]"});
  EXPECT_EQ(Interpret("$CASHF,1,2,3,4,5\r\n"), Lines{"Gain:[1]  Shift:[2][3][4][5]"});
  EXPECT_EQ(Interpret("$CADOP,0123456789abcdefXYZ\r\n"),
            Lines{"Packet Doppler Shift          [0123456789abcde m/s]"});
}

TEST_F(InterpreterTest, OneSentencePerCallAndEachIsLoggedFromTheModemPort) {
  settings().modemPortNumber = 7;
  program->OnCommand(cmd::NMEA_LOG_START);
  ASSERT_TRUE(program->logs.nmeaOpen());
  Feed("$CADET,1\r\n$CATXF,1\r\n");
  InterpretModemLine(*program);
  EXPECT_EQ(TakeLines(), Lines{"Detected Data Packet."});
  InterpretModemLine(*program);
  EXPECT_EQ(TakeLines(), Lines{"Data Packet Transmit Complete."});
  InterpretModemLine(*program);
  EXPECT_EQ(TakeLines(), Lines{});

  EXPECT_EQ(ReadFile(program->logs.nmeaPath()),
            "7,03/03/2007,14:05:09,0x0,$CADET,1\r\n7,03/03/2007,14:05:09,0x0,$CATXF,1\r\n");
}

TEST_F(InterpreterTest, InstalledAsTheModemHandlerOfThePoll) {
  InstallModemInterpreter(*program);
  for (char c : std::string("$CAAGC,5\r\n$CAAGC,6\r\n"))
    port->incoming.push_back(static_cast<uint8_t>(c));
  program->OnTimer(TIMER_POLL);
  EXPECT_EQ(TakeLines(), Lines{"Waiting for Packet.       [AGC=5]"});
  program->OnTimer(TIMER_POLL);
  EXPECT_EQ(TakeLines(), Lines{"Waiting for Packet.       [AGC=6]"});
}

}  // namespace
}  // namespace tw::test
