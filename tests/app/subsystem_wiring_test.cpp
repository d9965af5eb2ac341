// The subsystems as the program's menu, timers and receive modes reach them.
#include <gtest/gtest.h>

#include "core/commands.h"
#include "emulator/emulator_ids.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

using namespace tw::cmd;
using Wiring = ProgramTest;

bool Has(const std::vector<std::string>& lines, const std::string& text) {
  for (const std::string& line : lines) {
    if (line == text) return true;
  }
  return false;
}

// Saved, changed, loaded: the choices come back and the menu's check marks
// and the test timer follow them.
TEST_F(Wiring, ConfigurationSavedAndLoadedThroughTheMenu) {
  const std::string file = (root.path() / "setup.twc").string();
  program->OnCommand(SHOW_NMEA_INCOMING);
  program->OnCommand(TEST_INTERVALS[2].id);  // 1 second
  ui.fileToSave = file;
  program->OnCommand(SAVE_CONFIGURATION);
  EXPECT_TRUE(Has(TakeLines(), "saved: \"" + file + "\""));

  program->OnCommand(SHOW_NMEA_INCOMING);  // off again
  program->OnCommand(TEST_INTERVALS[10].id);
  ASSERT_FALSE(program->menu().IsChecked(SHOW_NMEA_INCOMING));
  ui.fileToOpen = file;
  program->OnCommand(LOAD_CONFIGURATION);
  EXPECT_TRUE(Has(TakeLines(), "loaded: \"" + file + "\""));
  EXPECT_EQ(program->settings().showNmeaIncoming, 1);
  EXPECT_TRUE(program->menu().IsChecked(SHOW_NMEA_INCOMING));
  EXPECT_EQ(program->settings().testInterval, 1000);
  EXPECT_TRUE(program->menu().IsChecked(TEST_INTERVALS[2].id));
  EXPECT_FALSE(program->menu().IsChecked(TEST_INTERVALS[10].id));
  EXPECT_EQ(ui.timerCalls.back(), std::make_pair(TIMER_TEST, 1000));

  // A file that cannot be read changes nothing, check marks included.
  ui.fileToOpen = (root.path() / "missing.twc").string();
  program->OnCommand(LOAD_CONFIGURATION);
  EXPECT_EQ(TakeLines().size(), 1u);
  EXPECT_TRUE(program->menu().IsChecked(SHOW_NMEA_INCOMING));
}

// The emulator's window starts a log; the main menu's items show it after.
TEST_F(Wiring, EmulatorRunsInsideItsWindowAndTheLogItemsFollowIt) {
  Connect();
  bool runningInside = false;
  dialogs.onOpen = [&](const std::string& name) {
    if (name != "emulator") return;
    runningInside = program->emulator().state().running != 0;
    program->emulator().OnMenuCommand(emu::NMEA_LOG_START);
  };
  program->OnCommand(RUN_EMULATOR);
  EXPECT_TRUE(runningInside);
  EXPECT_EQ(program->emulator().state().running, 0);
  EXPECT_TRUE(program->logs().nmeaOpen());
  EXPECT_FALSE(program->menu().IsEnabled(NMEA_LOG_START));
  EXPECT_TRUE(program->menu().IsEnabled(NMEA_LOG_STOP));
}

// Timer 4 steps the emulator whether its window is open or not.
TEST_F(Wiring, TimerFourStepsTheEmulator) {
  const int64_t before = program->emulator().state().tickCount;
  for (int i = 0; i < 3; ++i) program->OnTimer(TIMER_SLOW);
  EXPECT_EQ(program->emulator().state().tickCount, before + 3);
}

// The GPS port is a second link: its own COM number, its Disconnect item,
// and timer 4 taking its sentences.
TEST_F(Wiring, GpsPortIsASecondLinkPolledOnTimerFour) {
  auto gpsPort = ports.add(4);
  dialogs.onOpen = [&](const std::string& name) {
    if (name == "gps settings") dialogs.gpsConnect();  // its Connect button
  };
  program->OnCommand(GPS_SERIAL_PORT);
  ASSERT_TRUE(gpsPort->open);
  EXPECT_EQ(gpsPort->baudRate, 4800u);
  EXPECT_TRUE(program->menu().IsEnabled(GPS_DISCONNECT));
  EXPECT_TRUE(Has(TakeLines(), "GPS: connected to COM4."));

  program->OnCommand(SHOW_GPS_MESSAGES);
  const std::string rmc = "$GPRMC,120000,A,4124.8963,N,08151.6838,W,0.0,0.0,030307,,*00\r\n";
  gpsPort->incoming.assign(rmc.begin(), rmc.end());
  for (int i = 0; i < 3; ++i) program->OnTimer(TIMER_SLOW);
  const std::vector<std::string> lines = TakeLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines.back().find("$GPRMC,120000,A"), std::string::npos) << lines.back();

  program->OnCommand(GPS_DISCONNECT);
  EXPECT_FALSE(gpsPort->open);
  EXPECT_FALSE(program->menu().IsEnabled(GPS_DISCONNECT));
}

TEST_F(Wiring, FirmwareItemStaysGrayedAndMapSwitchesFollowTheLibrary) {
  EXPECT_FALSE(program->menu().IsEnabled(LOAD_NEW_EXECUTABLE));
  // No map library here: both map switches stay grayed.
  EXPECT_EQ(program->state().mapAvailable, 0);
  EXPECT_FALSE(program->menu().IsEnabled(SEND_GPS_TO_MAP));
  EXPECT_FALSE(program->menu().IsEnabled(SEND_COMMS_TO_MAP));
}

}  // namespace
}  // namespace tw::test
