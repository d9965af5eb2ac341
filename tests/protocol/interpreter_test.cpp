// The modem message interpreter: the line the operator sees for each kind of
// modem report, and what is counted and remembered with it.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/fixed_format.h"
#include "protocol/config_params.h"
#include "protocol/interpreter_fixture.h"

namespace tw::test {
namespace {

TEST_F(InterpreterReactions, EachReportBecomesItsLine) {
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
      {"$CAFST,1,256,0*5C\r\n", "Modem FIFO Status: [01]       [256 bytes] [0]"},
      {"$CAFST,1\r\n", "Modem FIFO Status: [01]       [4095 bytes] [4095]"},
      {"$CAFFL,12\r\n", "Modem FIFO Flushed: [12]."},
      {"$CCCFQ,ALL\r\n", "$CCCFQ,ALL\r"},
      {"$CAXYZ,1\r\n", "$CAXYZ,1\r"},
  };
  for (const auto& [sentence, shown] : cases) {
    EXPECT_EQ(Interpret(sentence), Lines{shown}) << sentence;
  }
  EXPECT_EQ(stats.agcSamples, 1);
  EXPECT_EQ(stats.ackFrames, 1);
  EXPECT_EQ(stats.cycles, 3);
  EXPECT_EQ(stats.pings, 2);
  EXPECT_EQ(stats.crcErrors, 1);
  EXPECT_EQ(stats.detects, 0);  // only a quality report counts as a detect
  EXPECT_EQ(TakeSent(), "");    // none of these is answered
}

TEST_F(InterpreterReactions, QualityGradesAtEveryBoundary) {
  const std::vector<std::pair<int, std::string>> grades = {
      {174, "False?"}, {175, "Poor"}, {220, "Poor"},    {221, "OK"},  {240, "OK"},
      {241, "Good"},   {253, "Good"}, {254, "Perfect"}, {255, "Good"}};
  for (const auto& [q, grade] : grades) {
    EXPECT_EQ(Interpret(FixedFormat("$CADQF,%d,1\r\n", q)),
              Lines{FixedFormat("Quality Factor = %03d          [%s]", q, grade.c_str())});
  }
  EXPECT_EQ(Interpret("$CADQF,7\r\n"), Lines{"Quality Factor = 007          [False?]"});
  EXPECT_EQ(stats.detects, 10);
  EXPECT_EQ(stats.dqfSamples, 10);
}

TEST_F(InterpreterReactions, IncomingEchoShowsTheSentenceBeforeItsLine) {
  settings.showNmeaIncoming = 1;
  EXPECT_EQ(Interpret("$CAAGC,9\r\n"), (Lines{"$CAAGC,9\r", "Waiting for Packet.       [AGC=9]"}));
  EXPECT_EQ(Interpret("$CAXYZ\r\n"), (Lines{"$CAXYZ\r", "$CAXYZ\r"}));
  EXPECT_EQ(Interpret("$CACLK,2007,3,3\r\n"), Lines{"$CACLK,2007,3,3\r"});
  settings.showNmeaIncoming = 0;
  EXPECT_EQ(Interpret("$CACLK,2007,3,3\r\n"), Lines{});
}

TEST_F(InterpreterReactions, RevertAlwaysShownHeartbeatOnlyWhenAskedFor) {
  settings.showHeartbeat = 0;
  EXPECT_EQ(Interpret("$CAREV,120000,AUV,0.93\r\n"), Lines{});
  EXPECT_EQ(Interpret("$CAREV,120000,INIT,0.93\r\n"), Lines{"Modem Reverted."});
  settings.showHeartbeat = 1;
  // Without a checksum the version is the last field; its CR must not get in.
  EXPECT_EQ(Interpret("$CAREV,120000,AUV,0.93\r\n"), Lines{"Modem AUV (0.93) Ready."});
  EXPECT_EQ(Interpret("$CAREV,120000,INIT,0.93*4D\r\n"), Lines{"Modem Reverted."});
  EXPECT_EQ(Interpret("$CAREV,120000\r\n"), Lines{"Modem Unknown Ready."});
  EXPECT_EQ(stats.reverts, 2);
}

TEST_F(InterpreterReactions, RangesFromTravelTimesAndSoundSpeed) {
  EXPECT_EQ(Interpret("$CAMPR,1,2,1.0\r\n"), Lines{"Ping: [01]=>[02]: 1500.0 meters."});
  EXPECT_EQ(Interpret("$CAMPR,1,2\r\n"), Lines{"Ping: [01]=>[02]."});
  state.soundSpeed = 1480.5f;
  EXPECT_EQ(Interpret("$CAMPR,1,2,0.25*00\r\n"), Lines{"Ping: [01]=>[02]: 370.1 meters."});
  state.soundSpeed = 1500.0f;

  StatsSetRange(stats, 1, 9.0f);
  StatsSetRange(stats, 3, 9.0f);
  EXPECT_EQ(Interpret("$SNTTA,0.5,,1.0,\r\n"), Lines{"Got Travel Times: [0.5] [] [1.0] []"});
  EXPECT_TRUE(stats.rangeValid[0]);
  EXPECT_FLOAT_EQ(stats.range[0], 750.0f);
  EXPECT_TRUE(stats.rangeValid[2]);
  EXPECT_FLOAT_EQ(stats.range[2], 1500.0f);
  EXPECT_FALSE(stats.rangeValid[1]);
  EXPECT_FALSE(stats.rangeValid[3]);
  EXPECT_EQ(stats.replies, (std::array<int32_t, 4>{1, 1, 1, 1}));

  EXPECT_EQ(Interpret("$SNTTA,,,,2.0\r\n"), Lines{"Got Travel Times: [] [] [] [2.0]"});
  EXPECT_FLOAT_EQ(stats.range[3], 3000.0f);
  EXPECT_FALSE(stats.rangeValid[0]);

  // Travel times are read like every other floating field.
  EXPECT_EQ(Interpret("$SNTTA,--4,0x1p-1, 2e-1,+-1\r\n"),
            Lines{"Got Travel Times: [--4] [0x1p-1] [ 2e-1] [+-1]"});
  EXPECT_FLOAT_EQ(stats.range[0], 0.0f);
  EXPECT_FLOAT_EQ(stats.range[1], 750.0f);
  EXPECT_FLOAT_EQ(stats.range[2], 300.0f);
  EXPECT_FLOAT_EQ(stats.range[3], 0.0f);
}

// One case or more for each way a parameter is reported.
TEST_F(InterpreterReactions, ConfigurationReports) {
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
      {"$CACFG,BR1,3\r\n", {"BR1:Modem port 1 baud = 19200"}},
      {"$CACFG,BR1,7\r\n", {"BR1:Modem port 1 baud = 230400"}},
      {"$CACFG,BR2,9\r\n", {"BR2:Modem port 2 baud = 0"}},
      {"$CACFG,BR2,-1\r\n", {"BR2:Modem port 2 baud = 0"}},
      {"$CACFG,BR2,0\r\n", {"BR2:Modem port 2 baud = 2400"}},
      {"$CACFG,DST,0\r\n", {"$CACFG,DST,0\r"}},
      {"$CACFG,XYZ,0\r\n", {"$CACFG,XYZ,0\r"}},
      {"$CACFG\r\n", {"$CACFG\r"}},
  };
  for (const auto& [sentence, shown] : cases) EXPECT_EQ(Interpret(sentence), shown) << sentence;
  EXPECT_EQ(state.modemUnit, 3);

  EXPECT_EQ(Interpret("$CACFG,SRC,16\r\n"), Lines{});
  EXPECT_EQ(state.modemUnit, 16);
  EXPECT_EQ(Interpret("$CACFG,SRC,abc\r\n"), Lines{"SRC:Modem is Unit 0"});
  state.modemUnit = 5;
  EXPECT_EQ(Interpret("$CACFG,SRC,*12\r\n"), Lines{"SRC:Modem is Unit 5"});

  EXPECT_EQ(state.modemBand, -1);
  EXPECT_EQ(Interpret("$CACFG,BND,2\r\n"), Lines{"BND:Modem uses Band B, fc = 14880 Hz"});
  EXPECT_EQ(state.modemBand, 2);
  EXPECT_EQ(Interpret("$CACFG,BND,4\r\n"), Lines{"BND:Modem uses unknown band."});
  EXPECT_EQ(state.modemBand, 4);
}

TEST_F(InterpreterReactions, EveryBandIsNamedWithItsCentreFrequency) {
  EXPECT_EQ(Interpret("$CACFG,BND,1\r\n"), Lines{"BND:Modem uses Band A, fc = 9760 Hz"});
  EXPECT_EQ(Interpret("$CACFG,BND,3*2A\r\n"), Lines{"BND:Modem uses Band C, fc = 25120 Hz"});
  EXPECT_EQ(state.modemBand, 3);
  EXPECT_EQ(Interpret("$CACFG,BND,0\r\n"), Lines{"BND:Modem uses unknown band."});
  EXPECT_EQ(state.modemBand, 0);
}

// Every parameter the reader knows goes through the reader and the
// interpreter. Only KDL, CSD and DST have no line of their own; every other
// one must give a line that is not the sentence.
TEST_F(InterpreterReactions, EveryConfigParameterHasItsLineOrShowsTheSentence) {
  const std::vector<std::string_view> shownAsSentence = {"KDL", "CSD", "DST"};
  for (const ConfigParam& param : ConfigParams()) {
    const std::string sentence = "$CACFG," + std::string(param.mnemonic) + ",1";
    const Lines shown = Interpret(sentence + "\r\n");
    ASSERT_EQ(shown.size(), 1u) << param.mnemonic;
    const bool asSentence = std::find(shownAsSentence.begin(), shownAsSentence.end(),
                                      param.mnemonic) != shownAsSentence.end();
    if (asSentence) {
      EXPECT_EQ(shown[0], sentence + "\r") << param.mnemonic;
    } else {
      EXPECT_NE(shown[0], sentence + "\r") << param.mnemonic;
      EXPECT_EQ(shown[0].find('%'), std::string::npos) << param.mnemonic;
    }
  }
}

TEST_F(InterpreterReactions, ErrorReports) {
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
  EXPECT_EQ(stats.crcErrors, 1);
}

TEST_F(InterpreterReactions, NoiseReportsGoToTheirHandlerWhole) {
  const std::string report = "$SNCFR,-90,-90,-70*3A";
  EXPECT_EQ(Interpret(report + "\r\n"), Lines{});
  EXPECT_EQ(noiseReports, Lines{report + "\r"});
}

TEST_F(InterpreterReactions, TextFieldsLoseTheLineEndAndAreCutToFit) {
  EXPECT_EQ(Interpret("$CADOP,2.5\r\n"), Lines{"Packet Doppler Shift          [2.5 m/s]"});
  EXPECT_EQ(Interpret("$CADOP,,2.5*70\r\n"), Lines{"Packet Doppler Shift          [ m/s]"});
  EXPECT_EQ(Interpret("$CAMFD,10,20,30\r\n"), Lines{"Detector:   [10]   [20]   [30]"});
  EXPECT_EQ(Interpret("$CASHF,1,2,3,4,5\r\n"), Lines{"Gain:[1]  Shift:[2][3][4][5]"});
  EXPECT_EQ(Interpret("$CADOP,0123456789abcdefXYZ\r\n"),
            Lines{"Packet Doppler Shift          [0123456789abcde m/s]"});
}

}  // namespace
}  // namespace tw::test
