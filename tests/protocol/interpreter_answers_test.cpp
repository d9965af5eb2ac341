// The modem message interpreter: answers to data requests, frames handed on,
// the NMEA log, and the program's own interpreter reached through its poll.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "app/program.h"
#include "protocol/interpreter_fixture.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

TEST_F(InterpreterReactions, DataRequestAnsweredWithTestData) {
  settings.useTestDataNoAck = 1;
  EXPECT_EQ(Interpret("$CADRQ,120000,1,2,0,1\r\n"),
            (Lines{"Got NOACK Data Request 1->2   [1 bytes]",
                   "Sending NO ACK Data to Modem  [1 bytes]"}));
  EXPECT_EQ(TakeSent(), "$CCTXD,1,2,0,00\r\n");

  settings.useTestDataNoAck = 0;
  settings.useTestDataAck = 1;
  EXPECT_EQ(Interpret("$CADRQ,120000,3,0,1,32*6F\r\n"),
            (Lines{"Got ACK Data Request 3->0     [32 bytes]",
                   "Sending ACK Data to Modem     [32 bytes]"}));
  EXPECT_EQ(TakeSent(),
            "$CCTXD,3,0,1,000102030405060708090a0b0c0d0e0f"
            "101112131415161718191a1b1c1d1e1f\r\n");

  // Past 300 bytes and past the 256-byte wrap of the pattern, still whole.
  EXPECT_EQ(Interpret("$CADRQ,120000,3,0,1,400\r\n"),
            (Lines{"Got ACK Data Request 3->0     [400 bytes]",
                   "Sending ACK Data to Modem     [400 bytes]"}));
  const std::string sent = TakeSent();
  EXPECT_EQ(sent, "$CCTXD,3,0,1," + Pattern(400) + "\r\n");
  EXPECT_EQ(sent.substr(13 + 2 * 254, 8), "feff0001");
  EXPECT_EQ(stats.txFrames, 3);
}

TEST_F(InterpreterReactions, DataRequestLengthShownAsReceivedAndPatternKeptInBounds) {
  settings.useTestDataAck = 1;
  // No length field reads as 4095 and is answered like any other length.
  EXPECT_EQ(Interpret("$CADRQ,120000,1,2,1\r\n"),
            (Lines{"Got ACK Data Request 1->2     [4095 bytes]",
                   "Sending ACK Data to Modem     [4095 bytes]"}));
  EXPECT_EQ(TakeSent(), "$CCTXD,1,2,1," + Pattern(4095) + "\r\n");

  // A damaged length far beyond any frame is shown as it came and refused:
  // nothing goes out, nothing is counted.
  EXPECT_EQ(Interpret("$CADRQ,120000,1,2,1,100000\r\n"),
            (Lines{"Got ACK Data Request 1->2     [100000 bytes]",
                   "Error: Data request of 100000 bytes refused [at most 8192]."}));
  EXPECT_EQ(TakeSent(), "");
  EXPECT_EQ(stats.txFrames, 1);

  EXPECT_EQ(BuildTestDataSentence(1, 2, 0, MAX_TEST_DATA_BYTES),
            BuildTestDataSentence(1, 2, 0, INT32_MAX));
  EXPECT_EQ(BuildTestDataSentence(1, 2, 0, INT32_MIN), "$CCTXD,1,2,0,\r\n");
}

TEST_F(InterpreterReactions, DataRequestAboveTheLimitRefusedForEverySource) {
  settings.useTestDataAck = 1;
  settings.useTestDataNoAck = 1;
  settings.useCustomString = 1;
  settings.customString = "$CCCFQ,ALL\r\n";
  // The largest request still answered, in full, by each chosen source.
  Interpret("$CADRQ,120000,1,2,1,8192\r\n");
  EXPECT_EQ(TakeSent(), "$CCTXD,1,2,0," + Pattern(8192) + "\r\n$CCTXD,1,2,1," + Pattern(8192) +
                            "\r\n$CCCFQ,ALL\r\n");
  // Damaged requests: too long, nothing to send, a node that cannot exist.
  // One line each after the request's own.
  const std::vector<std::pair<std::string, std::string>> refused = {
      {"1,2,1,8193", "Error: Data request of 8193 bytes refused [at most 8192]."},
      {"1,2,1,2147483647", "Error: Data request of 2147483647 bytes refused [at most 8192]."},
      {"1,2,1,99999999999", "Error: Data request of 2147483647 bytes refused [at most 8192]."},
      {"1,2,1,0", "Error: Data request of 0 bytes refused [at least 1]."},
      {"1,2,1,-5", "Error: Data request of -5 bytes refused [at least 1]."},
      {"16,2,1,32", "Error: Data request 16->2 refused [nodes are 0..15]."},
      {"1,-1,1,32", "Error: Data request 1->-1 refused [nodes are 0..15]."},
  };
  for (const auto& [fields, refusal] : refused) {
    const Lines lines = Interpret("$CADRQ,120000," + fields + "\r\n");
    ASSERT_EQ(lines.size(), 2u) << fields;
    EXPECT_EQ(lines[0].rfind("Got ACK Data Request ", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1], refusal);
    EXPECT_EQ(TakeSent(), "") << fields;
  }
  EXPECT_EQ(stats.txFrames, 2);
}

TEST_F(InterpreterReactions, DataRequestAnsweredWithCustomString) {
  settings.useCustomString = 1;
  settings.customString = "$CCCFQ,ALL\r\n";
  EXPECT_EQ(Interpret("$CADRQ,120000,1,2,0,32\r\n"),
            (Lines{"Got NOACK Data Request 1->2   [32 bytes]",
                   "TX Custom String: 10 bytes: '$CCCFQ,ALL'"}));
  EXPECT_EQ(TakeSent(), "$CCCFQ,ALL\r\n");

  settings.customString = "\r$CCTXA,1,2,0,HELLO WORLD\r\n";
  EXPECT_EQ(Interpret("$CADRQ,120000,1,2,0,32\r\n").back(),
            "TX Custom String: 25 bytes: '\r$CCTXA,1,2,0,HE...'");
  EXPECT_EQ(TakeSent(), settings.customString);
  EXPECT_EQ(stats.txFrames, 0);
}

TEST_F(InterpreterReactions, EmptyCustomStringIsPreviewedButNotSent) {
  OpenNmeaLog();
  settings.useCustomString = 1;
  settings.customString.clear();
  EXPECT_EQ(Interpret("$CADRQ,120000,1,2,0,32\r\n"),
            (Lines{"Got NOACK Data Request 1->2   [32 bytes]", "TX Custom String: 0 bytes: ''"}));
  // Nothing reaches the sink, not even an empty write (the whole program's
  // log is checked in TestCycleInProgram); the request itself is logged.
  EXPECT_TRUE(sink.sent.empty());
  EXPECT_EQ(ReadFile(logs.nmeaPath()), "1,03/03/2007,14:05:09,0x0,$CADRQ,120000,1,2,0,32\r\n");
}

TEST_F(InterpreterReactions, DataRequestAnsweredByNodeProtocol) {
  settings.useNodeProtocol = 1;
  EXPECT_EQ(Interpret("$CADRQ,120000,4,5,2,9\r\n"),
            Lines{"Got ACK Data Request 4->5     [9 bytes]"});
  EXPECT_EQ(TakeSent(), "$CCTXD,4,5,2,11\r\n");
  Interpret("$CADRQ,120000,6,5,0,9\r\n");
  EXPECT_TRUE(sink.sent.empty());  // nothing to send, nothing sent
  EXPECT_EQ(frames.asked, (std::vector<Request>{{4, 5, 2, 9}, {6, 5, 0, 9}}));

  settings.useNodeProtocol = 0;
  Interpret("$CADRQ,120000,4,5,2,9\r\n");
  EXPECT_TRUE(sink.sent.empty());
  EXPECT_EQ(frames.asked.size(), 2u);
}

TEST_F(InterpreterReactions, ReceivedFramesGoToTheFrameHandlerAndAreCounted) {
  EXPECT_EQ(Interpret("$CARXD,1,2,0,1,0c\r\n"), Lines{});
  EXPECT_EQ(frames.received, Lines{"$CARXD,1,2,0,1,0c\r"});
  EXPECT_EQ(stats.goodRx, 1);
}

TEST_F(InterpreterReactions, WithoutFrameHandlerFramesAreStillCountedAndRequestsNotAnswered) {
  tw::ModemInterpreter bare(
      InterpreterLinks{out, sink, logs, settings, modem, state, stats, nullptr, nullptr});
  settings.useNodeProtocol = 1;
  Feed("$CARXD,1,2,0,1,0a0b\r\n$CADRQ,120000,4,5,2,9\r\n$SNCFR,-90\r\n");
  bare.InterpretModemLine(rx);
  bare.InterpretModemLine(rx);
  bare.InterpretModemLine(rx);
  EXPECT_EQ(TakeLines(), Lines{"Got ACK Data Request 4->5     [9 bytes]"});
  EXPECT_EQ(stats.goodRx, 1);
  EXPECT_TRUE(sink.sent.empty());
  EXPECT_TRUE(frames.received.empty());
  EXPECT_TRUE(frames.asked.empty());
  EXPECT_TRUE(noiseReports.empty());
}

TEST_F(InterpreterReactions, OneSentencePerCallAndEachIsLoggedFromTheModemPort) {
  settings.modemPort.portNumber = 7;
  OpenNmeaLog();
  Feed("$CADET,1\r\n$CATXF,1\r\n");
  interpreter.InterpretModemLine(rx);
  EXPECT_EQ(TakeLines(), Lines{"Detected Data Packet."});
  interpreter.InterpretModemLine(rx);
  EXPECT_EQ(TakeLines(), Lines{"Data Packet Transmit Complete."});
  interpreter.InterpretModemLine(rx);
  EXPECT_EQ(TakeLines(), Lines{});

  EXPECT_EQ(ReadFile(logs.nmeaPath()),
            "7,03/03/2007,14:05:09,0x0,$CADET,1\r\n7,03/03/2007,14:05:09,0x0,$CATXF,1\r\n");
}

// The program's own interpreter, reached through its poll.
class ModemInterpreterInProgram : public ProgramTest {};

TEST_F(ModemInterpreterInProgram, PolledAsTheModemHandler) {
  auto port = Connect();
  TakeLines();
  for (char c : std::string("$CAAGC,5\r\n$CAAGC,6\r\n")) {
    port->incoming.push_back(static_cast<uint8_t>(c));
  }
  program->OnTimer(TIMER_POLL);  // every whole line that has arrived
  EXPECT_EQ(TakeLines(),
            (Lines{"Waiting for Packet.       [AGC=5]", "Waiting for Packet.       [AGC=6]"}));
  program->OnTimer(TIMER_POLL);
  EXPECT_TRUE(TakeLines().empty());
}

TEST_F(ModemInterpreterInProgram, AnswersGoOutOnThePortAndNoiseReportsAreShown) {
  auto port = Connect();
  TakeLines();
  program->settings().useTestDataAck = 1;
  std::string noise = "$SNCFR";
  for (int i = 0; i < NOISE_BINS; ++i) noise += i == 4 ? ",-70" : ",-90";
  const std::string stream = "$CADRQ,120000,3,2,1,4\r\n" + noise + "\r\n";
  port->incoming.insert(port->incoming.end(), stream.begin(), stream.end());
  program->OnTimer(TIMER_POLL);
  program->OnTimer(TIMER_POLL);
  EXPECT_EQ(port->written, "$CCTXD,3,2,1,00010203\r\n");
  EXPECT_EQ(TakeLines(), (Lines{"Got ACK Data Request 3->2     [4 bytes]",
                                "Sending ACK Data to Modem     [4 bytes]",
                                "In-Band Noise Floor Estimate  [-88.6 dBV]",
                                "Noise Peak:       [-70 dBV] @ [24320 Hz]"}));
  EXPECT_EQ(program->state().noisePeak[4], 1);
}

}  // namespace
}  // namespace tw::test
