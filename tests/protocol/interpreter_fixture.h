// The modem message interpreter on recording fakes: an interpreter of its
// own per test, with the ring it reads, the sink it answers into and the
// frame subsystem it hands frames to.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "core/clock.h"
#include "core/settings.h"
#include "logging/logs.h"
#include "protocol/interpreter.h"
#include "protocol/stats.h"
#include "serial/rx_ring.h"
#include "support/fakes.h"
#include "support/program_fixture.h"

namespace tw::test {

using Lines = std::vector<std::string>;
using Request = std::tuple<int, int, int, int>;

// The data-frame subsystem as a recorder: node 4 has a frame to send, no
// other node has.
class FakeFrames : public DataFrameHandler {
 public:
  Lines received;
  std::vector<Request> asked;

  void ReceiveDataFrame(const std::string& sentence) override { received.push_back(sentence); }
  std::string BuildDataFrame(int32_t source, int32_t destination, int32_t ack,
                             int32_t byteCount) override {
    asked.emplace_back(source, destination, ack, byteCount);
    return source == 4 ? "$CCTXD,4,5,2,11\r\n" : "";
  }
};

class InterpreterReactions : public ::testing::Test {
 protected:
  InterpreterReactions() {
    clock.now = LocalTime{2007, 3, 3, 14, 5, 9};
    RxInit(rx);
  }

  void Feed(const std::string& bytes) {
    ASSERT_TRUE(RxAppend(rx, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
  }

  // One poll's worth: the bytes arrive, the interpreter runs once.
  Lines Interpret(const std::string& bytes) {
    Feed(bytes);
    interpreter.InterpretModemLine(rx);
    return TakeLines();
  }

  Lines TakeLines() {
    Lines taken;
    taken.swap(out.lines);
    return taken;
  }

  // Every sentence sent since the last call, run together as on the wire.
  std::string TakeSent() {
    std::string wire;
    for (const std::string& sentence : sink.sent) wire += sentence;
    sink.sent.clear();
    return wire;
  }

  void OpenNmeaLog() {
    logs.NMEALogOpen(settings.modemPort.portNumber);
    ASSERT_TRUE(logs.nmeaOpen());
  }

  TempDir root;
  ManualClock clock;
  Logs logs{clock, root.path(), [](const std::string&, const std::string&) {}};
  RecordingTextOut out;
  RecordingSink sink{&out};
  Settings settings;
  FakePortOpener ports;
  SerialLink modem{ports, settings.modemPort};
  RunState state;
  PerformanceStats stats;
  FakeFrames frames;
  Lines noiseReports;
  tw::ModemInterpreter interpreter{
      InterpreterLinks{out, sink, logs, settings, modem, state, stats, &frames,
                       [this](const std::string& line) { noiseReports.push_back(line); }}};
  RxState rx;
};

}  // namespace tw::test
