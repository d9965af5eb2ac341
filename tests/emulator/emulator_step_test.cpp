// The emulator's 100 ms step, its opening and its menu: the test messages
// on their schedule, what survives reopening, the toggles and the log items
// on the program's logs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "emulator/emulator_fixture.h"
#include "emulator/emulator_ids.h"

namespace tw::test {
namespace {

using EmulatorStep = EmulatorTest;

TEST_F(EmulatorStep, BothRequestsAndTheHeartbeatOnTheirTicksOver300) {
  emulator.EMUInit();
  emulator.state().dataRequest32 = 1;
  emulator.state().dataRequest256 = 1;
  const std::map<int64_t, Lines> sent = Ticks(300);

  std::map<int64_t, Lines> expected;
  for (int64_t tick = 15; tick <= 300; tick += 30) {
    expected[tick] = {"$CADRQ,140509,1,0,1,256,1*7C\r\n"};
  }
  for (int64_t tick = 30; tick <= 300; tick += 30) {
    if (tick % 100 == 0) expected[tick].push_back("$CAREV,140509,EMULATOR,1.00*60\r\n");
    expected[tick].push_back("$CADRQ,140509,1,0,1,32,1*4C\r\n");
  }
  expected[100] = {"$CAREV,140509,EMULATOR,1.00*60\r\n"};
  expected[200] = {"$CAREV,140509,EMULATOR,1.00*60\r\n"};
  EXPECT_EQ(sent, expected);
  EXPECT_EQ(emulator.state().tickCount, 300);
}

TEST_F(EmulatorStep, DefaultsSendOnlyTheHeartbeatWithTheTimeOfSending) {
  emulator.EMUInit();
  clock.now.hour = 9;
  clock.now.minute = 7;
  clock.now.second = 3;
  const std::map<int64_t, Lines> sent = Ticks(250);
  const std::map<int64_t, Lines> expected = {{100, {"$CAREV,090703,EMULATOR,1.00*64\r\n"}},
                                             {200, {"$CAREV,090703,EMULATOR,1.00*64\r\n"}}};
  EXPECT_EQ(sent, expected);
  EXPECT_NE(pane.text().find("[09:07:03]  <= Veluna      $CAREV,090703,EMULATOR,1.00\r\n"),
            std::string::npos);
}

TEST_F(EmulatorStep, TicksCountAlwaysButSendNothingWhileNotRunning) {
  EXPECT_TRUE(Ticks(120).empty());  // never opened
  EXPECT_EQ(emulator.state().tickCount, 120);

  emulator.EMUInit();
  emulator.state().dataRequest32 = 1;
  // The first heartbeat comes at the next multiple of 100, not 100 ticks on.
  const std::map<int64_t, Lines> sent = Ticks(80);
  EXPECT_EQ(sent.begin()->first, 150);
  EXPECT_EQ(sent.at(200).front(), "$CAREV,140509,EMULATOR,1.00*60\r\n");

  EXPECT_TRUE(emulator.OnMenuCommand(emu::QUIT));
  EXPECT_EQ(emulator.state().running, 0);
  EXPECT_TRUE(Ticks(300).empty());
  EXPECT_EQ(emulator.state().tickCount, 500);
}

TEST_F(EmulatorStep, ReopeningKeepsTickCountAndConfigValueAndResetsTheRest) {
  emulator.EMUInit();
  Host("$CCCFG,SRC,42\r\n");
  Host("$CCTXD,0,1,0,0102\r\n");
  Ticks(37);
  for (int id : {emu::HEARTBEAT, emu::DATA_REQUEST_32, emu::DATA_REQUEST_256, emu::SHOW_HOST,
                 emu::SHOW_OUTPUT, emu::SHOW_PARSER}) {
    emulator.OnMenuCommand(id);
  }
  emulator.OnMenuCommand(emu::QUIT);
  ASSERT_FALSE(pane.text().empty());

  emulator.EMUInit();
  const EMUState& s = emulator.state();
  EXPECT_EQ(s.tickCount, 37);
  EXPECT_EQ(s.configValue, 42);
  EXPECT_EQ(s.fifoBytes, 0);
  EXPECT_EQ(std::vector<int>({s.running, s.heartbeat, s.dataRequest32, s.dataRequest256,
                              s.showOutput, s.showHost, s.showParser}),
            std::vector<int>({1, 1, 0, 0, 1, 1, 1}));
  EXPECT_EQ(pane.text(), "");
  for (int id : {emu::HEARTBEAT, emu::SHOW_HOST, emu::SHOW_OUTPUT, emu::SHOW_PARSER}) {
    EXPECT_TRUE(emulator.menu().IsChecked(id)) << id;
  }
  for (int id : {emu::DATA_REQUEST_32, emu::DATA_REQUEST_256}) {
    EXPECT_FALSE(emulator.menu().IsChecked(id)) << id;
  }
  Host("$CCCFQ,TAT\r\n");
  EXPECT_EQ(TakeSent().back(), "$CACFG,TAT,42*07\r\n");
}

TEST_F(EmulatorStep, TogglesInvertTheirFlagAndCheckMark) {
  emulator.EMUInit();
  const std::vector<std::pair<int, uint8_t EMUState::*>> toggles = {
      {emu::HEARTBEAT, &EMUState::heartbeat},
      {emu::DATA_REQUEST_32, &EMUState::dataRequest32},
      {emu::DATA_REQUEST_256, &EMUState::dataRequest256},
      {emu::SHOW_HOST, &EMUState::showHost},
      {emu::SHOW_OUTPUT, &EMUState::showOutput},
      {emu::SHOW_PARSER, &EMUState::showParser}};
  for (const auto& [id, flag] : toggles) {
    const uint8_t before = emulator.state().*flag;
    EXPECT_FALSE(emulator.OnMenuCommand(id));
    EXPECT_EQ(emulator.state().*flag, before ? 0 : 1) << id;
    EXPECT_EQ(emulator.menu().IsChecked(id), before == 0) << id;
    emulator.OnMenuCommand(id);
    EXPECT_EQ(emulator.state().*flag, before) << id;
    EXPECT_EQ(emulator.menu().IsChecked(id), before != 0) << id;
  }
}

TEST_F(EmulatorStep, GreyedItemsStayGreyedAndDoNothing) {
  emulator.EMUInit();
  auto fields = [](const EMUState& s) {
    return std::vector<int64_t>{s.running,    s.heartbeat, s.dataRequest32, s.dataRequest256,
                                s.showOutput, s.showHost,  s.showParser,    s.configValue,
                                s.fifoBytes,  s.tickCount};
  };
  const std::vector<int64_t> before = fields(emulator.state());
  for (int id : {emu::UPLINK_CYCLE, emu::DOWNLINK_CYCLE, emu::MESSAGES_AS_HEX}) {
    EXPECT_FALSE(emulator.menu().IsEnabled(id)) << id;
    EXPECT_FALSE(emulator.OnMenuCommand(id));
    EXPECT_FALSE(emulator.menu().IsEnabled(id)) << id;
    EXPECT_FALSE(emulator.menu().IsChecked(id)) << id;
  }
  EXPECT_EQ(fields(emulator.state()), before);
  EXPECT_FALSE(emulator.OnMenuCommand(12345));
}

// The three items of one log: Start, Restart, Stop.
struct LogItems {
  int start, restart, stop;
};

void ExpectItems(Emulator& emulator, LogItems items, bool open) {
  EXPECT_EQ(emulator.menu().IsEnabled(items.start), !open);
  EXPECT_EQ(emulator.menu().IsEnabled(items.restart), open);
  EXPECT_EQ(emulator.menu().IsEnabled(items.stop), open);
}

TEST_F(EmulatorStep, LogItemsStartRestartAndStopTheProgramsLogs) {
  const LogItems nmea{emu::NMEA_LOG_START, emu::NMEA_LOG_RESTART, emu::NMEA_LOG_STOP};
  const LogItems raw{emu::RAW_LOG_START, emu::RAW_LOG_RESTART, emu::RAW_LOG_STOP};
  emulator.EMUInit();
  ExpectItems(emulator, nmea, false);
  ExpectItems(emulator, raw, false);

  emulator.OnMenuCommand(emu::NMEA_LOG_START);
  ASSERT_TRUE(logs.nmeaOpen());
  EXPECT_EQ(logs.nmeaPath().parent_path().filename(), "port3");
  ExpectItems(emulator, nmea, true);
  ExpectItems(emulator, raw, false);
  const std::filesystem::path first = logs.nmeaPath();
  clock.now.second = 30;
  emulator.OnMenuCommand(emu::NMEA_LOG_RESTART);
  EXPECT_NE(logs.nmeaPath(), first);
  EXPECT_EQ(logs.nmeaPath().parent_path(), first.parent_path());
  ExpectItems(emulator, nmea, true);

  emulator.OnMenuCommand(emu::RAW_LOG_START);
  ASSERT_TRUE(logs.dataOpen());
  ExpectItems(emulator, raw, true);
  Host("$CCTXD,0,1,0,0102\r\n");
  const std::filesystem::path data = logs.dataPath();
  clock.now.second = 40;
  emulator.OnMenuCommand(emu::RAW_LOG_RESTART);
  EXPECT_EQ(ReadFile(data), "\x01\x02");
  EXPECT_NE(logs.dataPath(), data);

  emulator.OnMenuCommand(emu::NMEA_LOG_STOP);
  emulator.OnMenuCommand(emu::RAW_LOG_STOP);
  EXPECT_FALSE(logs.nmeaOpen());
  EXPECT_FALSE(logs.dataOpen());
  ExpectItems(emulator, nmea, false);
  ExpectItems(emulator, raw, false);

  // A Start whose file cannot be opened leaves the items as for a closed log.
  std::filesystem::remove_all(root.path() / "Logs");
  std::ofstream(root.path() / "Logs") << "not a folder";
  emulator.OnMenuCommand(emu::NMEA_LOG_START);
  emulator.OnMenuCommand(emu::RAW_LOG_START);
  ASSERT_FALSE(logs.nmeaOpen() || logs.dataOpen());
  ExpectItems(emulator, nmea, false);
  ExpectItems(emulator, raw, false);
}

TEST_F(EmulatorStep, OpeningRestartsAnOpenLogInANewFileOfTheSamePort) {
  logs.NMEALogOpen(2);
  logs.NMEALogLine(2, "$CAREV,1");
  const std::filesystem::path before = logs.nmeaPath();
  clock.now.minute = 6;
  emulator.EMUInit();
  ASSERT_TRUE(logs.nmeaOpen());
  EXPECT_NE(logs.nmeaPath(), before);
  EXPECT_EQ(logs.nmeaPath().parent_path().filename(), "port2");
  EXPECT_EQ(ReadFile(before), "2,03/03/2007,14:05:09,0x0,$CAREV,1\r\n");
  ExpectItems(emulator, {emu::NMEA_LOG_START, emu::NMEA_LOG_RESTART, emu::NMEA_LOG_STOP}, true);
  ExpectItems(emulator, {emu::RAW_LOG_START, emu::RAW_LOG_RESTART, emu::RAW_LOG_STOP}, false);

  logs.NMEALogClose();
  logs.DataLogOpen(2);
  const std::filesystem::path data = logs.dataPath();
  clock.now.minute = 7;
  emulator.EMUInit();
  EXPECT_FALSE(logs.nmeaOpen());
  ASSERT_TRUE(logs.dataOpen());
  EXPECT_NE(logs.dataPath(), data);
  ExpectItems(emulator, {emu::NMEA_LOG_START, emu::NMEA_LOG_RESTART, emu::NMEA_LOG_STOP}, false);
  ExpectItems(emulator, {emu::RAW_LOG_START, emu::RAW_LOG_RESTART, emu::RAW_LOG_STOP}, true);
}

}  // namespace
}  // namespace tw::test
