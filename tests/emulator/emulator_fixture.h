// An emulator on a recording sink, a fixed clock and real logs in a
// temporary data root; the host's lines go into a receive ring of its own.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/settings.h"
#include "emulator/emulator.h"
#include "logging/logs.h"
#include "serial/rx_ring.h"
#include "support/fakes.h"
#include "support/program_fixture.h"

namespace tw::test {

using Lines = std::vector<std::string>;

class EmulatorTest : public ::testing::Test {
 protected:
  EmulatorTest()
      : logs(clock, root.path(),
             [this](const std::string& text, const std::string&) { boxes.push_back(text); }),
        emulator(EmulatorLinks{sink, logs, logControls, clock, modem}, pane) {
    clock.now = LocalTime{2007, 3, 3, 14, 5, 9};
    clock.ticks = 1000;
    settings.modemPort.portNumber = 3;
    ports.add(3);
    modem.Connect();  // the host is on COM3
    RxInit(rx);
    rx.mode = RX_EMULATOR;
    logs.LogsInit(3600);
  }

  // The host sends bytes; one poll follows.
  void Host(const std::string& bytes) {
    ASSERT_TRUE(RxAppend(rx, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    emulator.EMUPoll(rx);
  }

  // The pane's lines since the last call, without their "[hh:mm:ss] " stamp
  // and CR LF. Every line must carry both.
  Lines TakePane() {
    Lines lines;
    const std::string& text = pane.text();
    size_t start = seen;
    while (start < text.size()) {
      const size_t end = text.find("\r\n", start);
      EXPECT_NE(end, std::string::npos) << "unterminated pane line";
      if (end == std::string::npos) break;
      const std::string line = text.substr(start, end - start);
      EXPECT_EQ(line.substr(0, 11), "[14:05:09] ");
      lines.push_back(line.substr(11));
      start = end + 2;
    }
    seen = text.size();
    return lines;
  }

  // Sentences sent since the last call.
  Lines TakeSent() {
    Lines sent = std::move(sink.sent);
    sink.sent.clear();
    return sent;
  }

  // Runs `ticks` steps and keeps what each one sent, by tick number.
  std::map<int64_t, Lines> Ticks(int ticks) {
    std::map<int64_t, Lines> sent;
    for (int k = 0; k < ticks; ++k) {
      emulator.EMUTick();
      Lines now = TakeSent();
      if (!now.empty()) sent[emulator.state().tickCount] = now;
    }
    return sent;
  }

  TempDir root;
  ManualClock clock;
  std::vector<std::string> boxes;
  Logs logs;
  Settings settings;
  FakePortOpener ports;
  SerialLink modem{ports, settings.modemPort};
  LogControls logControls{logs, [this] { return LogPort{modem.connected(), modem.portNumber()}; }};
  RecordingTextOut terminal;
  RecordingSink sink{&terminal};
  EmulatorPane pane;
  Emulator emulator;
  RxState rx;
  size_t seen = 0;
};

// The pane's prefixes, as the emulator writes them.
inline std::string HostLine(const std::string& line) { return "             Host => " + line; }
inline std::string Parser(const std::string& text) { return "        [parser]      " + text; }
inline std::string Output(const std::string& sentence) { return " <= Veluna      " + sentence; }

}  // namespace tw::test
