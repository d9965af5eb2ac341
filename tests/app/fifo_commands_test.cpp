// FIFO Flush and FIFO Status Request against the emulator: a host program
// and an emulator program on an in-memory cable, driven poll by poll.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "core/commands.h"
#include "support/memory_port.h"
#include "support/program_fixture.h"
#include "support/wait.h"

namespace tw::test {
namespace {

TEST(FifoCommands, HostAsksTheEmulatorAndShowsItsAnswers) {
  TempDir root;
  ManualClock clock;
  MemoryCable cable;
  FakeUi hostUi, modemUi;
  RecordingSurface hostSurface, modemSurface;
  Program host(clock, cable.opener(0), hostUi, hostSurface, root.path() / "host");
  Program modem(clock, cable.opener(1), modemUi, modemSurface, root.path() / "modem");
  std::vector<std::string> shown;
  host.terminal().AddLineListener(
      [&](const std::string& line) { shown.push_back(line.substr(11)); });
  host.Start();
  modem.Start();
  host.OnCommand(cmd::CONNECT);
  modem.OnCommand(cmd::CONNECT);
  ASSERT_TRUE(host.modem().connected() && modem.modem().connected());
  modem.modem().rx.mode = RX_EMULATOR;
  modem.emulator().EMUInit();
  host.OnCommand(cmd::ACP_STATUS_NOACK);  // a 256-byte frame for the emulator's FIFO

  // Each command, and the host's line for the emulator's answer. The
  // emulator answers for the unit the command names: the one it reported.
  const std::pair<int, std::string> steps[] = {
      {cmd::SET_ADDRESS[5], "SRC:Modem is Unit 5"},
      {cmd::FIFO_STATUS, "Modem FIFO Status: [05]       [0 bytes] [0]"},
      {cmd::TEST_ONCE, "Modem Parsed Binary Data.     [256 bytes]"},
      {cmd::FIFO_STATUS, "Modem FIFO Status: [05]       [256 bytes] [0]"},
      {cmd::FIFO_FLUSH, "Modem FIFO Flushed: [05]."},
      {cmd::FIFO_STATUS, "Modem FIFO Status: [05]       [0 bytes] [0]"},
  };
  for (const auto& [command, line] : steps) {
    shown.clear();
    host.OnCommand(command);
    const auto step = [&] {
      host.OnTimer(TIMER_POLL);
      modem.OnTimer(TIMER_POLL);
    };
    const bool answered = PollUntil(
        [&] { return std::find(shown.begin(), shown.end(), line) != shown.end(); }, step, 4);
    EXPECT_TRUE(answered) << line;
  }
}

}  // namespace
}  // namespace tw::test
