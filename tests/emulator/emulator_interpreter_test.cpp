// The emulator answering its host: each command of the table with the bytes
// it writes to the line and the lines it shows, the errors, the checksum
// check, the host line's own end, and what goes into the logs.
#include <gtest/gtest.h>

#include <string>

#include "emulator/emulator_fixture.h"
#include "protocol/nmea.h"

namespace tw::test {
namespace {

using EmulatorAnswers = EmulatorTest;

TEST_F(EmulatorAnswers, CycleInitEchoedWithItsSixFields) {
  Host("$CCCYC,0,1,2,0,3,1\r\n");
  EXPECT_EQ(TakeSent(), Lines{"$CACYC,0,1,2,0,3,1*5A\r\n"});
  EXPECT_EQ(TakePane(), (Lines{HostLine("$CCCYC,0,1,2,0,3,1"), Parser("Got Cycle Init Command"),
                               Parser("NMEA: Number of args OK."), Parser("NMEA: cycle 1->2"),
                               Output("$CACYC,0,1,2,0,3,1")}));
}

TEST_F(EmulatorAnswers, ConfigurationValueSetThenQueriedUnderAnyName) {
  Host("$CCCFG,SRC,5\r\n");
  EXPECT_EQ(TakeSent(), Lines{"$CACFG,SRC,5*37\r\n"});
  EXPECT_EQ(TakePane(),
            (Lines{HostLine("$CCCFG,SRC,5"), Parser("Got Configure Command"),
                   Parser("NMEA: Number of args OK."), Parser("NMEA: config parameter: SRC"),
                   Parser("NMEA: config value: 5"), Output("$CACFG,SRC,5")}));
  EXPECT_EQ(emulator.state().configValue, 5);

  // With a checksum, and without one: the line end is no part of the name,
  // so "Show Modem Settings" ("$CCCFQ,ALL" CR LF) gets its answer.
  Host("$CCCFQ,SRC*3A\r\n");
  Host("$CCCFQ,ALL\r\n");
  EXPECT_EQ(TakeSent(), (Lines{"$CACFG,SRC,5*37\r\n", "$CACFG,ALL,5*34\r\n"}));
  EXPECT_EQ(TakePane(),
            (Lines{HostLine("$CCCFQ,SRC*3A"), Parser("Got Configure Query"),
                   Parser("NMEA: Number of args OK."), Parser("NMEA: config parameter: SRC"),
                   Output("$CACFG,SRC,5"), HostLine("$CCCFQ,ALL"), Parser("Got Configure Query"),
                   Parser("NMEA: Number of args OK."), Parser("NMEA: config parameter: ALL"),
                   Output("$CACFG,ALL,5")}));
}

// A name with a control byte would carry it back to the host in the answer.
TEST_F(EmulatorAnswers, ParameterNameNotThreeLettersOrWithAControlByteIsOutOfRange) {
  using namespace std::string_literals;
  for (const std::string& line : {"$CCCFQ,SR\r\n"s, "$CCCFG,ABCD,1\r\n"s, "$CCCFQ,\r\n"s,
                                  "$CCCFQ,\x1b]0\r\n"s, "$CCCFG,\0LL,1\r\n"s, "$CCCFQ,A\tL\r\n"s}) {
    Host(line);
    EXPECT_EQ(TakeSent(), Lines{"$CAERR,140509,NMEA,17*63\r\n"}) << line;
    const Lines pane = TakePane();
    ASSERT_EQ(pane.size(), 5u) << line;
    EXPECT_EQ(pane[3], Output("$CAERR,140509,NMEA,17"));
    EXPECT_EQ(pane[4], Parser("NMEA: Argument out of range"));
  }
  EXPECT_EQ(emulator.state().configValue, 0);
}

TEST_F(EmulatorAnswers, DataCountedIntoTheFifoAndStatusAndFlushReportIt) {
  Host("$CCTXD,0,1,0,0102\r\n");
  EXPECT_EQ(TakeSent(), Lines{"$CATXD,0,1,0,2*49\r\n"});
  EXPECT_EQ(TakePane(), (Lines{HostLine("$CCTXD,0,1,0,0102"), Parser("Got Binary Data Message"),
                               Parser("NMEA: Number of args OK."),
                               Parser("NMEA: got 2 data bytes."), Output("$CATXD,0,1,0,2")}));
  EXPECT_EQ(emulator.state().fifoBytes, 2);

  Host("$CCFST,1\r\n");
  Host("$CCFFL,1\r\n");
  Host("$CCFST,1\r\n");
  EXPECT_EQ(TakeSent(), (Lines{"$CAFST,1,2,0*5C\r\n", "$CAFFL,1*53\r\n", "$CAFST,1,0,0*5E\r\n"}));
  EXPECT_EQ(emulator.state().fifoBytes, 0);
  const Lines pane = TakePane();
  ASSERT_EQ(pane.size(), 12u);
  EXPECT_EQ(pane[1], Parser("Got FIFO Status Request"));
  EXPECT_EQ(pane[5], Parser("Got FIFO Flush Command"));
  EXPECT_EQ(pane[7], Output("$CAFFL,1"));
}

TEST_F(EmulatorAnswers, DataBytesWrittenToTheOpenDataLogWithoutTheLineEnd) {
  logs.DataLogOpen(3);
  Host("$CCTXD,0,1,0,0102\r\n");
  Host("$CCTXD,3,4,1,a0FF7*4F\r\n");  // wrong checksum: nothing taken
  Host("$CCTXD,3,4,1,a0FF7\r\n");     // odd digit count: the last digit alone
  EXPECT_EQ(TakeSent(), (Lines{"$CATXD,0,1,0,2*49\r\n", "$CAERR,140509,NMEA,11*65\r\n",
                               "$CATXD,3,4,1,2*4E\r\n"}));
  EXPECT_EQ(emulator.state().fifoBytes, 4);
  EXPECT_EQ(ReadFile(logs.dataPath()), std::string("\x01\x02\xa0\xff\x07", 5));
}

TEST_F(EmulatorAnswers, RawWriteKeepsTheFirst256BytesAndReadsHexDigitsOnly) {
  logs.DataLogOpen(3);
  std::string hex;
  for (int i = 0; i < 300; ++i) hex += "5a";
  emulator.EMUWriteRaw(hex);
  emulator.EMUWriteRaw("1gg1f");
  EXPECT_EQ(ReadFile(logs.dataPath()), std::string(256, 'Z') + std::string("\x01\x00\x0f", 3));
}

TEST_F(EmulatorAnswers, ParseDataTakesALineWithItsOwnEnd) {
  emulator.EMUParseData("$CCTXD,3,4,1,00aabb\r");
  EXPECT_EQ(TakeSent(), Lines{"$CATXD,3,4,1,3*4F\r\n"});
  EXPECT_EQ(emulator.state().fifoBytes, 3);
}

TEST_F(EmulatorAnswers, CommandsAcceptedSilentlyWithTheirCommaCounts) {
  const Lines lines = {
      "$CCTXA,0,1,0,hello\r\n", "$CCMPC,0,1\r\n",           "$CCCLK,2007,3,3,14,5,9\r\n",
      "$CCMSC,0,1,5\r\n",       "$CCACK,0,1,1\r\n",         "$CCMEC,0,1,1,1,1\r\n",
      "$CCPNT,1,2,3,4\r\n",     "$CCPNT,1,2,3,4,5,6,7\r\n", "$CCPDT,1,2,3,4,5,6,7,8,9\r\n"};
  const Lines texts = {
      "Got ASCII Data Message",    "Got Ping Minipkt Command", "Got Clock Command",
      "Got Sleep Minipkt Command", "Got ACK Command",          "Got EXTSEL Minipkt Command",
      "Got LBL NAV Command",       "Got LBL NAV Command",      "Got SELKA NAV Command"};
  for (size_t k = 0; k < lines.size(); ++k) {
    Host(lines[k]);
    EXPECT_EQ(TakeSent(), Lines{}) << lines[k];
    EXPECT_EQ(TakePane(), (Lines{HostLine(lines[k].substr(0, lines[k].size() - 2)),
                                 Parser(texts[k]), Parser("NMEA: Number of args OK.")}));
  }
}

TEST_F(EmulatorAnswers, WrongCommaCountIsCode15AfterTheCommandsOwnText) {
  const Lines lines = {"$CCTXD,0,1,0102", "$CCTXA,0,1,0,a,b", "$CCCYC,0,1,2,0,3",
                       "$CCMPC,0",        "$CCCLK,1,2,3,4,5", "$CCCFQ,SRC,1",
                       "$CCCFG,SRC",      "$CCMSC,0,1",       "$CCACK,0,1,1,1",
                       "$CCMEC,0,1,1,1",  "$CCPNT,1,2,3",     "$CCPDT,1,2,3,4,5,6,7,8",
                       "$CCFFL,1,2",      "$CCFST,1,2"};
  for (const std::string& line : lines) {
    const SentenceFamily* command = FindSentenceFamily(line);
    ASSERT_NE(command, nullptr) << line;
    Host(line + "\r\n");
    EXPECT_EQ(TakeSent(), Lines{"$CAERR,140509,NMEA,15*61\r\n"}) << line;
    EXPECT_EQ(TakePane(),
              (Lines{HostLine(line), Parser(command->emulator.parserText),
                     Output("$CAERR,140509,NMEA,15"), Parser("NMEA: Wrong number of arguments")}));
  }
  EXPECT_EQ(emulator.state().fifoBytes, 0);
}

TEST_F(EmulatorAnswers, UnknownHostCommandIs12AndAnythingElse20) {
  Host("$CCXYZ,1\r\n");
  EXPECT_EQ(TakeSent(), Lines{"$CAERR,140509,NMEA,12*66\r\n"});
  EXPECT_EQ(TakePane(), (Lines{HostLine("$CCXYZ,1"), Output("$CAERR,140509,NMEA,12"),
                               Parser("NMEA: Unknown Command")}));
  for (const std::string line : {"$CAREV,140509,AUV,0.93\r\n", "$GPRMC,1,2\r\n", "$XY,12\r\n"}) {
    Host(line);
    EXPECT_EQ(TakeSent(), Lines{"$CAERR,140509,NMEA,20*67\r\n"}) << line;
    const Lines pane = TakePane();
    ASSERT_EQ(pane.size(), 3u);
    EXPECT_EQ(pane[2], Parser("NMEA: Commands must start with '$CC'"));
  }
}

TEST_F(EmulatorAnswers, WrongOrMalformedChecksumIsCode11AndNothingElse) {
  for (const std::string line : {"$CCCFQ,ALL*38\r\n", "$CCCFQ,ALL*3\r\n", "$CCCFQ,ALL*3Z\r\n",
                                 "$CCCFQ,ALL*39X\r\n", "$CCCFG,SRC,7*\r\n"}) {
    Host(line);
    EXPECT_EQ(TakeSent(), Lines{"$CAERR,140509,NMEA,11*65\r\n"}) << line;
    EXPECT_EQ(TakePane(), (Lines{HostLine(line.substr(0, line.size() - 2)),
                                 Output("$CAERR,140509,NMEA,11"), Parser("NMEA: Checksum Error")}));
  }
  EXPECT_EQ(emulator.state().configValue, 0);
  // Either case of hex digit is a good checksum.
  Host("$CCCFG,TAT,77*03\r\n");
  EXPECT_EQ(TakeSent(), Lines{"$CACFG,TAT,77*01\r\n"});
  Host("$CCTXD,0,1,0,0102*7a\r\n");
  EXPECT_EQ(TakeSent(), Lines{"$CATXD,0,1,0,2*49\r\n"});
}

TEST_F(EmulatorAnswers, LongLineDiscardedWithOneRemarkAndTheNextOneAnswered) {
  // 599 characters with the CR is the longest line handled.
  const std::string longest = "$CCTXA,0,1,0," + std::string(599 - 14, 'a') + "\r";
  ASSERT_EQ(longest.size(), 599u);
  Host(longest + "\n");
  EXPECT_EQ(TakePane().size(), 3u);

  const std::string tooLong = "$CCTXD,0,1,0," + std::string(586, '1') + "\r";
  ASSERT_EQ(tooLong.size(), 600u);
  Host(tooLong + "\n$CCFST,1\r\n");
  EXPECT_EQ(TakeSent(), Lines{});
  EXPECT_EQ(TakePane(), Lines{Parser("NMEA: Line of 600 characters discarded (limit 599).")});
  EXPECT_EQ(emulator.state().fifoBytes, 0);
  emulator.EMUPoll(rx);
  EXPECT_EQ(TakeSent(), Lines{"$CAFST,1,0,0*5E\r\n"});
}

TEST_F(EmulatorAnswers, OneLinePerPollAndHalfLinesWait) {
  const std::string waiting = "$CCFFL,1\r\n$CCFST,2\r\n$CCF";
  ASSERT_TRUE(RxAppend(rx, reinterpret_cast<const uint8_t*>(waiting.data()), waiting.size()));
  emulator.EMUPoll(rx);
  EXPECT_EQ(TakeSent(), Lines{"$CAFFL,1*53\r\n"});
  emulator.EMUPoll(rx);
  EXPECT_EQ(TakeSent().size(), 1u);
  emulator.EMUPoll(rx);
  EXPECT_EQ(TakeSent(), Lines{});
  Host("FL,1\r\n");
  EXPECT_EQ(TakeSent(), Lines{"$CAFFL,1*53\r\n"});
}

TEST_F(EmulatorAnswers, ViewsDecideWhatThePaneShowsButNotWhatIsSent) {
  emulator.state().showHost = 0;
  Host("$CCFST,1\r\n");
  EXPECT_EQ(TakePane(), (Lines{Parser("Got FIFO Status Request"),
                               Parser("NMEA: Number of args OK."), Output("$CAFST,1,0,0")}));
  emulator.state().showParser = 0;
  Host("$CCXYZ\r\n");
  EXPECT_EQ(TakePane(), Lines{Output("$CAERR,140509,NMEA,12")});
  emulator.state().showOutput = 0;
  Host("$CCFFL,1\r\n");
  EXPECT_EQ(TakePane(), Lines{});
  EXPECT_EQ(TakeSent(),
            (Lines{"$CAFST,1,0,0*5E\r\n", "$CAERR,140509,NMEA,12*66\r\n", "$CAFFL,1*53\r\n"}));
}

TEST_F(EmulatorAnswers, NotConnectedReportedByTheSinkAndStillShown) {
  sink.connected = false;
  Host("$CCFST,1\r\n");
  EXPECT_EQ(terminal.lines, Lines{"Error: Not Connected!"});
  EXPECT_EQ(TakePane().back(), Output("$CAFST,1,0,0"));
}

// Every answer the emulator carries out is named by exactly one row of the
// sentence table, and every named answer has its code here.
TEST(EmulatorAnswerColumn, EachAnswerHasOneRowAndItsCode) {
  using enum EmulatorAnswer;
  for (const EmulatorAnswer answer :
       {TakeData, Cycle, ConfigQuery, ConfigCommand, FifoFlush, FifoStatus}) {
    int rows = 0;
    for (const SentenceFamily& row : SentenceTable()) rows += row.emulator.answer == answer;
    EXPECT_EQ(rows, 1) << static_cast<int>(answer);
    EXPECT_NE(EmulatorActionFor(answer), nullptr) << static_cast<int>(answer);
  }
  EXPECT_EQ(EmulatorActionFor(Accept), nullptr);
  EXPECT_EQ(EmulatorActionFor(Unknown), nullptr);
}

}  // namespace
}  // namespace tw::test
