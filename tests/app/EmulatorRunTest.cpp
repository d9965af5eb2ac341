// The emulator standing in for the modem without a window: host and emulator
// as objects on one in-memory cable. The same as processes on pseudo-terminals
// is EmulateCommandTest.cpp.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "app/HeadlessEmulator.h"
#include "core/commands.h"
#include "support/memory_port.h"
#include "support/program_fixture.h"
#include "support/wait.h"

namespace tw::test {
namespace {

bool Contains(const std::vector<std::string>& lines, const std::string& text) {
  for (const std::string& line : lines) {
    if (line.find(text) != std::string::npos) return true;
  }
  return false;
}

// A host Program on COM1 and an emulator on the other end of an in-memory
// cable, both driven tick by tick: one tick is five 20 ms polls of each and
// one 100 ms step of the emulator. Nothing here waits on the system, so the
// number of ticks a reaction takes is exact.
class HostAndEmulator : public ::testing::Test {
 protected:
  HostAndEmulator()
      : emulator(clock, cable.opener(1), root.path(), Config(),
                 [this](int code) { quitCode = code; }) {
    clock.now = LocalTime{2007, 3, 3, 14, 5, 9};
    host = std::make_unique<Program>(clock, cable.opener(0), ui, surface, root.path());
    host->terminal().AddLineListener(
        [this](const std::string& line) { hostLines.push_back(line.substr(11)); });
    host->Start();
  }
  static EmulatorRunConfig Config() {
    EmulatorRunConfig c;
    c.request32 = true;
    return c;
  }
  void Tick() {
    for (int k = 0; k < 5; ++k) {
      host->OnTimer(TIMER_POLL);
      emulator.program().OnTimer(TIMER_POLL);
    }
    emulator.program().OnTimer(TIMER_SLOW);
  }
  // Ticks until the host has shown `text`, at most `ticks` times.
  bool TickUntilHostShows(const std::string& text, int ticks) {
    return PollUntil([&] { return Contains(hostLines, text); }, [this] { Tick(); }, ticks);
  }
  std::string Pane() { return emulator.program().emulatorPane().text(); }
  void StartBoth() {
    std::string error;
    ASSERT_TRUE(emulator.Start(error)) << error;
    host->OnCommand(cmd::CONNECT);
    ASSERT_TRUE(host->modem().connected());
  }

  TempDir root;
  ManualClock clock;
  MemoryCable cable;
  FakeUi ui;
  RecordingSurface surface;
  int quitCode = -1;
  HeadlessEmulator emulator;
  std::unique_ptr<Program> host;
  std::vector<std::string> hostLines;
};

TEST_F(HostAndEmulator, SettingsQueryAndDataRequestsGoBothWays) {
  ASSERT_NO_FATAL_FAILURE(StartBoth());
  host->OnCommand(cmd::USE_TEST_DATA_ACK);

  // The host's own "$CCCFQ,ALL" with CR LF and no checksum is answered
  // within two ticks.
  host->OnCommand(cmd::SHOW_MODEM_SETTINGS);
  EXPECT_TRUE(TickUntilHostShows("Modem Using Config Profile [0]", 2)) << Pane();
  EXPECT_NE(Pane().find("             Host => $CCCFQ,ALL"), std::string::npos) << Pane();

  // Within 30 steps the 32-byte request comes, test data answers it, and the
  // emulator reports the bytes taken.
  EXPECT_TRUE(TickUntilHostShows("Modem Parsed Binary Data.     [32 bytes]", 31)) << Pane();
  EXPECT_TRUE(Contains(hostLines, "Got ACK Data Request 1->0     [32 bytes]"));
  EXPECT_TRUE(Contains(hostLines, "Sending ACK Data to Modem     [32 bytes]"));
  EXPECT_NE(Pane().find("NMEA: got 32 data bytes."), std::string::npos);
  EXPECT_EQ(emulator.program().emulator().state().fifoBytes, 32);
  EXPECT_EQ(quitCode, -1);

  emulator.Stop();
  EXPECT_FALSE(emulator.program().modem().connected());
  EXPECT_FALSE(cable.isOpen(1));
}

// Without a window nobody is there to reconnect: a lost port ends the run
// with code 1 (seen on the run's own poll timer), and the host on the other
// end says it lost its port.
TEST_F(HostAndEmulator, PulledCableEndsTheRunAndTheHostSaysSo) {
  ASSERT_NO_FATAL_FAILURE(StartBoth());
  cable.pull();
  Tick();
  EXPECT_FALSE(host->modem().connected());
  EXPECT_TRUE(Contains(hostLines, "Error: Lost modem port COM1, disconnected."));
  EXPECT_TRUE(WaitUntil([this] { return quitCode != -1; },
                        [] { QCoreApplication::processEvents(QEventLoop::AllEvents, 20); }));
  EXPECT_EQ(quitCode, 1);
}

TEST_F(HostAndEmulator, PortThatCannotOpenIsRefusedWithAReason) {
  FakePortOpener none;  // knows no port at all
  HeadlessEmulator nowhere(clock, none, root.path(), EmulatorRunConfig{}, [](int) {});
  std::string error;
  EXPECT_FALSE(nowhere.Start(error));
  EXPECT_NE(error.find("COM1"), std::string::npos) << error;
}

}  // namespace
}  // namespace tw::test
