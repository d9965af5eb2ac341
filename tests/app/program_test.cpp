// Start-up, the option menus, timers and ending, driven headless.
#include <gtest/gtest.h>

#include <fstream>

#include "resources/commands.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

using namespace tw::cmd;

TEST_F(ProgramTest, StartsWithDefaultsTimersTitleAndMenuStates) {
  const Settings& s = program->settings;
  EXPECT_EQ(s.testInterval, 10000);
  EXPECT_EQ(s.dataRateEnabled[0], 1);
  EXPECT_EQ(s.showHeartbeat, 1);
  EXPECT_EQ(s.gpsPortNumber, 4);
  EXPECT_EQ(s.gpsBaudRate, 4800);
  EXPECT_FLOAT_EQ(s.soundSpeed, 1500.0f);
  EXPECT_EQ(s.modemBand, -1);
  EXPECT_EQ(s.noiseLevel[13], -96);
  EXPECT_EQ(s.modemPortNumber, 1);
  EXPECT_EQ(s.modemConnected, 0);

  // Timers 2, 5, 3, 4 in that order.
  const std::vector<std::pair<int, int32_t>> expected = {{2, 20}, {5, 20}, {3, 10000}, {4, 100}};
  EXPECT_EQ(ui.timerCalls, expected);
  EXPECT_EQ(program->timers.table[3].state, TIMER_RUNNING);
  EXPECT_EQ(program->timers.table[0].state, TIMER_STOPPED);

  EXPECT_EQ(ui.title, "Tidewire [not connected]");
  EXPECT_FALSE(program->menu.IsEnabled(DISCONNECT));
  EXPECT_TRUE(program->menu.IsEnabled(CONNECT));
  EXPECT_FALSE(program->menu.IsEnabled(SEND_COMMS_TO_MAP));
  EXPECT_FALSE(program->menu.IsEnabled(SEND_GPS_TO_MAP));
  EXPECT_TRUE(program->menu.IsChecked(TEST_INTERVALS[5].id));  // "10 seconds"
  EXPECT_TRUE(program->menu.IsChecked(DATA_RATES[0]));
  EXPECT_TRUE(program->menu.IsChecked(SHOW_HEARTBEAT));
}

TEST_F(ProgramTest, IntervalRuleRestartsTimerThreeAndKeepsOneCheckMark) {
  program->OnCommand(40281);  // "300 milliseconds"
  EXPECT_EQ(program->settings.testInterval, 300);
  EXPECT_EQ(ui.timerCalls.back(), std::make_pair(3, 300));
  int checked = 0;
  for (const auto& item : TEST_INTERVALS) checked += program->menu.IsChecked(item.id) ? 1 : 0;
  EXPECT_EQ(checked, 1);
  EXPECT_TRUE(program->menu.IsChecked(40281));

  // The same item again keeps its mark and restarts the interval.
  const size_t calls = ui.timerCalls.size();
  program->OnCommand(40281);
  EXPECT_EQ(ui.timerCalls.size(), calls + 1);
  EXPECT_TRUE(program->menu.IsChecked(40281));

  program->OnCommand(40306);  // "24 hours"
  EXPECT_EQ(program->settings.testInterval, 86400000);
  EXPECT_FALSE(program->menu.IsChecked(40281));
}

TEST_F(ProgramTest, TransmitDataSourcesAreMutuallyExclusive) {
  Settings& s = program->settings;
  program->OnCommand(USE_CUSTOM_STRING);
  EXPECT_EQ(s.useCustomString, 1);
  program->OnCommand(USE_TEST_DATA_ACK);
  EXPECT_EQ(s.useCustomString, 0);
  EXPECT_EQ(s.useTestDataAck, 1);
  EXPECT_FALSE(program->menu.IsChecked(USE_CUSTOM_STRING));
  EXPECT_TRUE(program->menu.IsChecked(USE_TEST_DATA_ACK));
  program->OnCommand(USE_TEST_DATA_ACK);  // again: no source at all
  EXPECT_EQ(s.useTestDataAck + s.useCustomString + s.useNodeProtocol + s.useTestDataNoAck, 0);
  for (int id : {USE_NODE_PROTOCOL, USE_CUSTOM_STRING, USE_TEST_DATA_NOACK, USE_TEST_DATA_ACK}) {
    EXPECT_FALSE(program->menu.IsChecked(id)) << id;
  }
}

TEST_F(ProgramTest, ToggleItemsFlipTheFlagNamedByTheirCaption) {
  Settings& s = program->settings;
  program->OnCommand(UPLINK_FROM[5]);  // 40085, listed in reverse order
  EXPECT_EQ(s.uplinkEnabled[5], 1);
  EXPECT_TRUE(program->menu.IsChecked(40085));
  program->OnCommand(40089);  // "Do Uplink from 1"
  EXPECT_EQ(s.uplinkEnabled[1], 1);
  program->OnCommand(40081);  // "Do Downlink to 1"
  EXPECT_EQ(s.downlinkEnabled[1], 1);
  program->OnCommand(40062);  // "Do Uplink from 12"
  EXPECT_EQ(s.uplinkEnabled[12], 1);
  program->OnCommand(PING_UNIT_FIRST + 13);
  EXPECT_EQ(s.unitPingEnabled[13], 1);
  program->OnCommand(DATA_RATES[0]);  // starts checked: now off
  EXPECT_EQ(s.dataRateEnabled[0], 0);
  EXPECT_FALSE(program->menu.IsChecked(DATA_RATES[0]));
  program->OnCommand(NOISE_DIAGNOSTIC[3]);
  EXPECT_EQ(s.noiseDiagnostic[3], 1);
  program->OnCommand(NAV_PING[1]);
  EXPECT_EQ(s.navPingEnabled[1], 1);
  program->OnCommand(SHOW_HEARTBEAT);
  EXPECT_EQ(s.showHeartbeat, 0);
  EXPECT_FALSE(program->menu.IsChecked(SHOW_HEARTBEAT));
  program->OnCommand(SHOW_HEARTBEAT);
  EXPECT_EQ(s.showHeartbeat, 1);
  EXPECT_TRUE(program->menu.IsChecked(SHOW_HEARTBEAT));
}

TEST_F(ProgramTest, TimerThreeRunsTheTestCycleOnlyWhileLoopTesting) {
  int cycles = 0;
  program->runTestCycle = [&] { ++cycles; };
  program->OnTimer(3);
  EXPECT_EQ(cycles, 0);
  program->OnCommand(LOOP_TESTING);  // refused while disconnected
  EXPECT_EQ(program->settings.loopTesting, 0);
  Connect();
  program->OnCommand(LOOP_TESTING);
  EXPECT_EQ(program->settings.loopTesting, 1);
  EXPECT_TRUE(program->menu.IsChecked(LOOP_TESTING));
  program->OnTimer(3);
  EXPECT_EQ(cycles, 1);
  program->OnCommand(TEST_ONCE);  // at once, whatever loopTesting is
  EXPECT_EQ(cycles, 2);
  program->OnCommand(DISCONNECT);
  EXPECT_EQ(program->settings.loopTesting, 0);
  EXPECT_FALSE(program->menu.IsChecked(LOOP_TESTING));
  program->OnTimer(3);
  EXPECT_EQ(cycles, 2);
}

TEST_F(ProgramTest, HotKeyPostsTestOnceAndTypedCharactersOnlyBeep) {
  program->OnHotKey();
  EXPECT_EQ(ui.posted, std::vector<int>{TEST_ONCE});
  auto port = Connect();
  program->OnChar();
  EXPECT_EQ(ui.beeps, 1);
  EXPECT_TRUE(port->written.empty());
}

TEST_F(ProgramTest, ExitAsksFirstAndCancelLeavesEverythingRunning) {
  program->OnCommand(EXIT);
  EXPECT_EQ(ui.closesPosted, 1);
  auto port = Connect();
  program->OnCommand(NMEA_LOG_START);
  ui.quitAnswer = false;
  EXPECT_FALSE(program->OnClose());
  EXPECT_EQ(ui.quitQuestions, 1);
  EXPECT_TRUE(port->open);
  EXPECT_TRUE(program->logs.nmeaOpen());
  EXPECT_EQ(ui.quitCode, -1);

  ui.quitAnswer = true;
  ASSERT_TRUE(program->OnClose());
  program->OnDestroy();
  EXPECT_FALSE(port->open);
  EXPECT_FALSE(program->logs.nmeaOpen());
  EXPECT_EQ(ui.quitCode, 0);
}

TEST_F(ProgramTest, AboutFontAndDialogCommandsReachTheWindow) {
  program->OnCommand(ABOUT);
  program->OnCommand(PORT_SETTINGS);
  EXPECT_EQ(ui.dialogs, (std::vector<int>{DLG_ABOUT, DLG_SERIAL}));

  const int applied = ui.fontsApplied;
  program->OnCommand(FONT);  // cancelled
  EXPECT_EQ(ui.fontsApplied, applied);
  ui.fontAnswer = true;
  ui.onChooseFont = [](TerminalInfo& ti) { ti.logFont.height = 20; };
  program->OnCommand(FONT);
  EXPECT_EQ(ui.fontsApplied, applied + 1);
  EXPECT_EQ(program->term->logFont.height, 20);
}

TEST_F(ProgramTest, EmulatorNeedsTheConnectionAndHandsBackTheReceiveMode) {
  program->OnCommand(RUN_EMULATOR);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Emulator: You Must Connect First.");
  EXPECT_EQ(ui.boxes[0].caption, "Tidewire [not connected]");
  EXPECT_TRUE(ui.dialogs.empty());

  Connect();
  int modeInside = 0;
  ui.onDialog = [&](int) { modeInside = program->rx.mode; };
  program->OnCommand(RUN_EMULATOR);
  EXPECT_EQ(modeInside, RX_EMULATOR);
  EXPECT_EQ(program->rx.mode, RX_MODEM);
}

}  // namespace
}  // namespace tw::test

namespace tw::test {
namespace {

TEST(ProgramLogs, OpenErrorIsShownWithoutAnOwnerWindowAndMenusStillSwitch) {
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
  EXPECT_FALSE(program.logs.nmeaOpen());
  // The items switch as if the open had worked; Restart tries again.
  EXPECT_FALSE(program.menu.IsEnabled(cmd::NMEA_LOG_START));
  EXPECT_TRUE(program.menu.IsEnabled(cmd::NMEA_LOG_RESTART));
  program.OnCommand(cmd::NMEA_LOG_RESTART);
  EXPECT_EQ(ui.unownedBoxes, 2);
}

}  // namespace
}  // namespace tw::test
