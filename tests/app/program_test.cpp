// Start-up, the option menus, timers and ending, driven headless.
#include <gtest/gtest.h>

#include <fstream>

#include "core/commands.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

using namespace tw::cmd;

// Start-up, options, timers and ending of the program shell.
using Shell = ProgramTest;

TEST_F(Shell, StartsWithDefaultsTimersTitleAndMenuStates) {
  const Settings& s = program->settings();
  EXPECT_EQ(s.testInterval, 10000);
  EXPECT_EQ(s.dataRateEnabled[0], 1);
  EXPECT_EQ(s.showHeartbeat, 1);
  EXPECT_EQ(s.gpsPort.portNumber, 4);
  EXPECT_EQ(s.gpsPort.baudRate, 4800);
  EXPECT_EQ(s.modemPort.portNumber, 1);
  EXPECT_EQ(s.modemPort.baudRate, 19200);
  const RunState& r = program->state();
  EXPECT_FLOAT_EQ(r.soundSpeed, 1500.0f);
  EXPECT_EQ(r.modemBand, -1);
  EXPECT_EQ(r.noiseLevel[13], -96);
  EXPECT_FALSE(program->modem().connected());

  // Timers 2, 5, 3, 4 in that order.
  const std::vector<std::pair<int, int32_t>> expected = {{2, 20}, {5, 20}, {3, 10000}, {4, 100}};
  EXPECT_EQ(ui.timerCalls, expected);
  EXPECT_EQ(program->timers().table[3].state, TIMER_RUNNING);
  EXPECT_EQ(program->timers().table[0].state, TIMER_STOPPED);

  EXPECT_EQ(ui.title, "Tidewire [not connected]");
  EXPECT_FALSE(program->menu().IsEnabled(DISCONNECT));
  EXPECT_TRUE(program->menu().IsEnabled(CONNECT));
  EXPECT_FALSE(program->menu().IsEnabled(SEND_COMMS_TO_MAP));
  EXPECT_FALSE(program->menu().IsEnabled(SEND_GPS_TO_MAP));
  EXPECT_TRUE(program->menu().IsChecked(TEST_INTERVALS[5].id));  // "10 seconds"
  EXPECT_TRUE(program->menu().IsChecked(DATA_RATES[0]));
  EXPECT_TRUE(program->menu().IsChecked(SHOW_HEARTBEAT));
}

TEST_F(Shell, IntervalRuleRestartsTimerThreeAndKeepsOneCheckMark) {
  program->OnCommand(TEST_INTERVALS[0].id);  // "300 milliseconds"
  EXPECT_EQ(program->settings().testInterval, 300);
  EXPECT_EQ(ui.timerCalls.back(), std::make_pair(3, 300));
  int checked = 0;
  for (const auto& item : TEST_INTERVALS) checked += program->menu().IsChecked(item.id) ? 1 : 0;
  EXPECT_EQ(checked, 1);
  EXPECT_TRUE(program->menu().IsChecked(TEST_INTERVALS[0].id));

  // The same item again keeps its mark and restarts the interval.
  const size_t calls = ui.timerCalls.size();
  program->OnCommand(TEST_INTERVALS[0].id);
  EXPECT_EQ(ui.timerCalls.size(), calls + 1);
  EXPECT_TRUE(program->menu().IsChecked(TEST_INTERVALS[0].id));

  program->OnCommand(TEST_INTERVALS.back().id);  // "24 hours"
  EXPECT_EQ(program->settings().testInterval, 86400000);
  EXPECT_FALSE(program->menu().IsChecked(TEST_INTERVALS[0].id));
}

TEST_F(Shell, TransmitDataSourcesAreMutuallyExclusive) {
  Settings& s = program->settings();
  program->OnCommand(USE_CUSTOM_STRING);
  EXPECT_EQ(s.useCustomString, 1);
  program->OnCommand(USE_TEST_DATA_ACK);
  EXPECT_EQ(s.useCustomString, 0);
  EXPECT_EQ(s.useTestDataAck, 1);
  EXPECT_FALSE(program->menu().IsChecked(USE_CUSTOM_STRING));
  EXPECT_TRUE(program->menu().IsChecked(USE_TEST_DATA_ACK));
  program->OnCommand(USE_TEST_DATA_ACK);  // again: no source at all
  EXPECT_EQ(s.useTestDataAck + s.useCustomString + s.useNodeProtocol + s.useTestDataNoAck, 0);
  for (int id : {USE_NODE_PROTOCOL, USE_CUSTOM_STRING, USE_TEST_DATA_NOACK, USE_TEST_DATA_ACK}) {
    EXPECT_FALSE(program->menu().IsChecked(id)) << id;
  }
}

TEST_F(Shell, ToggleItemsFlipTheFlagNamedByTheirCaption) {
  Settings& s = program->settings();
  program->OnCommand(UPLINK_FROM[5]);  // 40085, listed in reverse order
  EXPECT_EQ(s.uplinkEnabled[5], 1);
  EXPECT_TRUE(program->menu().IsChecked(UPLINK_FROM[5]));
  program->OnCommand(UPLINK_FROM[1]);
  EXPECT_EQ(s.uplinkEnabled[1], 1);
  program->OnCommand(DOWNLINK_TO[1]);
  EXPECT_EQ(s.downlinkEnabled[1], 1);
  program->OnCommand(UPLINK_FROM[12]);
  EXPECT_EQ(s.uplinkEnabled[12], 1);
  program->OnCommand(PING_UNIT_FIRST + 13);
  EXPECT_EQ(s.unitPingEnabled[13], 1);
  program->OnCommand(DATA_RATES[0]);  // starts checked: now off
  EXPECT_EQ(s.dataRateEnabled[0], 0);
  EXPECT_FALSE(program->menu().IsChecked(DATA_RATES[0]));
  program->OnCommand(NOISE_DIAGNOSTIC[3]);
  EXPECT_EQ(s.noiseDiagnostic[3], 1);
  program->OnCommand(NAV_PING[1]);
  EXPECT_EQ(s.navPingEnabled[1], 1);
  program->OnCommand(SHOW_HEARTBEAT);
  EXPECT_EQ(s.showHeartbeat, 0);
  EXPECT_FALSE(program->menu().IsChecked(SHOW_HEARTBEAT));
  program->OnCommand(SHOW_HEARTBEAT);
  EXPECT_EQ(s.showHeartbeat, 1);
  EXPECT_TRUE(program->menu().IsChecked(SHOW_HEARTBEAT));
}

TEST_F(Shell, TimerThreeRunsTheTestCycleOnlyWhileLoopTesting) {
  // Nothing is ticked, so each cycle that runs says so in one line.
  int cycles = 0;
  program->terminal().AddLineListener([&](const std::string& line) {
    if (line.ends_with("Test Cycle: No Tests enabled.")) ++cycles;
  });
  program->OnTimer(3);
  EXPECT_EQ(cycles, 0);
  program->OnCommand(LOOP_TESTING);  // refused while disconnected
  EXPECT_EQ(program->state().loopTesting, 0);
  Connect();
  program->OnCommand(LOOP_TESTING);
  EXPECT_EQ(program->state().loopTesting, 1);
  EXPECT_TRUE(program->menu().IsChecked(LOOP_TESTING));
  program->OnTimer(3);
  EXPECT_EQ(cycles, 1);
  program->OnCommand(TEST_ONCE);  // at once, whatever loopTesting is
  EXPECT_EQ(cycles, 2);
  program->OnCommand(DISCONNECT);
  EXPECT_EQ(program->state().loopTesting, 0);
  EXPECT_FALSE(program->menu().IsChecked(LOOP_TESTING));
  program->OnTimer(3);
  EXPECT_EQ(cycles, 2);
}

TEST_F(Shell, HotKeyPostsTestOnceAndTypedCharactersOnlyBeep) {
  program->OnHotKey();
  EXPECT_EQ(ui.posted, std::vector<int>{TEST_ONCE});
  auto port = Connect();
  program->OnChar();
  EXPECT_EQ(ui.beeps, 1);
  EXPECT_TRUE(port->written.empty());
}

TEST_F(Shell, ExitAsksFirstAndCancelLeavesEverythingRunning) {
  program->OnCommand(EXIT);
  EXPECT_EQ(ui.closesPosted, 1);
  auto port = Connect();
  program->OnCommand(NMEA_LOG_START);
  ui.quitAnswer = false;
  EXPECT_FALSE(program->OnClose());
  EXPECT_EQ(ui.quitQuestions, 1);
  EXPECT_TRUE(port->open);
  EXPECT_TRUE(program->logs().nmeaOpen());
  EXPECT_EQ(ui.quitCode, -1);

  ui.quitAnswer = true;
  ASSERT_TRUE(program->OnClose());
  program->OnDestroy();
  EXPECT_FALSE(port->open);
  EXPECT_FALSE(program->logs().nmeaOpen());
  EXPECT_EQ(ui.quitCode, 0);
}

TEST_F(Shell, AboutFontAndDialogCommandsReachTheWindow) {
  program->OnCommand(ABOUT);
  program->OnCommand(PORT_SETTINGS);
  EXPECT_EQ(dialogs.opened, (std::vector<std::string>{"about", "port settings"}));
  // The port dialog's reconnect choice counts only when it was applied.
  dialogs.onOpen = [&](const std::string&) { dialogs.portRequest->reconnect = true; };
  dialogs.portApplied = false;
  program->OnCommand(PORT_SETTINGS);
  EXPECT_FALSE(program->reconnect());
  dialogs.portApplied = true;
  program->OnCommand(PORT_SETTINGS);
  EXPECT_TRUE(program->reconnect());

  const int applied = surface.fontsApplied;
  program->OnCommand(FONT);  // cancelled
  EXPECT_EQ(surface.fontsApplied, applied);
  ui.fontAnswer = true;
  surface.cell = CellSize{11, 20};
  ui.onChooseFont = [](LogFont& font, int32_t& color) {
    font.height = 20;
    color = RGB(1, 2, 3);
  };
  program->OnCommand(FONT);
  EXPECT_EQ(surface.fontsApplied, applied + 1);
  EXPECT_EQ(program->settings().terminalFont.height, 20);
  EXPECT_EQ(program->settings().textColor, 0x030201);
  // The screen is laid out in the new cell size.
  EXPECT_EQ(program->terminal().info()->charWidth, 11);
  EXPECT_EQ(program->terminal().info()->charHeight, 20);
}

TEST_F(Shell, EmulatorNeedsTheConnectionAndHandsBackTheReceiveMode) {
  program->OnCommand(RUN_EMULATOR);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Emulator: You Must Connect First.");
  EXPECT_EQ(ui.boxes[0].caption, "Tidewire [not connected]");
  EXPECT_TRUE(dialogs.opened.empty());

  Connect();
  int modeInside = 0;
  dialogs.onOpen = [&](const std::string&) { modeInside = program->modem().rx.mode; };
  program->OnCommand(RUN_EMULATOR);
  EXPECT_EQ(modeInside, RX_EMULATOR);
  EXPECT_EQ(program->modem().rx.mode, RX_MODEM);

  // The port goes away while the window is open: the window says so once,
  // the port's bytes go back to the interpreter and the heartbeats stop
  // rather than fail on every step.
  auto port = Connect();
  TakeLines();
  dialogs.onOpen = [&](const std::string&) {
    port->gone = true;
    program->OnTimer(TIMER_POLL);
    modeInside = program->modem().rx.mode;
    for (int step = 0; step < 2 * EMU_HEARTBEAT_TICKS; ++step) program->OnTimer(TIMER_SLOW);
  };
  program->OnCommand(RUN_EMULATOR);
  EXPECT_EQ(modeInside, RX_MODEM);
  EXPECT_EQ(TakeLines(), std::vector<std::string>{"Error: Lost modem port COM1, disconnected."});
  const std::string& pane = program->emulatorPane().text();
  EXPECT_EQ(pane.find("Error: Lost modem port COM1, emulator stopped.\r\n"),
            pane.size() - 48);  // the pane's last line, there once
}

}  // namespace
}  // namespace tw::test

namespace tw::test {
namespace {

TEST(ProgramLogs, OpenErrorIsShownWithoutAnOwnerWindowAndMenusShowTheClosedLog) {
  TempDir dir;
  const auto blocker = dir.path() / "root";
  { std::ofstream(blocker) << "not a folder"; }
  ManualClock clock;
  FakePortOpener ports;
  FakeUi ui;
  RecordingSurface surface;
  Program program(clock, ports, ui, surface, blocker);
  program.Start();
  ports.add(1);
  program.OnCommand(cmd::CONNECT);
  program.OnCommand(cmd::NMEA_LOG_START);
  ASSERT_EQ(ui.unownedBoxes, 1);
  EXPECT_EQ(ui.boxes.back().caption, "Open Error");
  EXPECT_EQ(ui.boxes.back().text.rfind("ERROR Opening ", 0), 0u);
  // The menu follows the log, which stays closed: after a failed Start or
  // Restart it offers Start again, never Restart or Stop.
  struct Items {
    int start, restart, stop;
  };
  for (const Items& log : {Items{cmd::NMEA_LOG_START, cmd::NMEA_LOG_RESTART, cmd::NMEA_LOG_STOP},
                           Items{cmd::DATA_LOG_START, cmd::DATA_LOG_RESTART, cmd::DATA_LOG_STOP}}) {
    for (const int tried : {log.start, log.restart}) {
      program.OnCommand(tried);
      EXPECT_TRUE(program.menu().IsEnabled(log.start)) << tried;
      EXPECT_FALSE(program.menu().IsEnabled(log.restart)) << tried;
      EXPECT_FALSE(program.menu().IsEnabled(log.stop)) << tried;
    }
  }
  EXPECT_EQ(ui.unownedBoxes, 5);  // each open was tried, and said so
  EXPECT_FALSE(program.logs().nmeaOpen() || program.logs().dataOpen());
}

}  // namespace
}  // namespace tw::test
