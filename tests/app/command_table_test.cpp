// The command table's own invariants: a command is one row with one action,
// a further place points at it, every menu choice of the settings table is
// that one row checked by its flag, and the rules give the menu states the
// program's state calls for.
#include "app/command_table.h"

#include <gtest/gtest.h>

#include <map>

#include "app/modem_commands.h"
#include "core/commands.h"
#include "core/settings_table.h"
#include "support/program_fixture.h"

namespace tw {
namespace {

std::map<int, const CommandRow*> RowsById() {
  std::map<int, const CommandRow*> rows;
  for (const CommandRow* row : CommandItems()) rows.emplace(row->id, row);
  return rows;
}

TEST(CommandTable, EveryCommandIsOneRowWithOneAction) {
  std::map<int, int> count;
  for (const CommandRow* row : CommandItems()) {
    EXPECT_EQ(++count[row->id], 1) << "identifier twice: " << row->id;
    EXPECT_GT(row->id, 0) << row->caption;
    EXPECT_TRUE(row->action) << row->caption;
  }
  const auto rows = RowsById();
  for (const CommandRow& place : MainCommandTable()) {
    if (!place.alsoHere) continue;
    const auto it = rows.find(place.id);
    ASSERT_NE(it, rows.end()) << "a further place of no command: " << place.id;
    EXPECT_EQ(place.caption, it->second->caption);
    EXPECT_FALSE(place.action || place.enabled || place.checked) << place.caption;
  }
  for (const ModemCommand& c : ModemCommandTable()) EXPECT_EQ(rows.count(c.id), 1u) << c.id;
}

TEST(CommandTable, EveryMenuChoiceIsOneRowCheckedByItsFlag) {
  const auto rows = RowsById();
  Settings settings;
  const RunState state;
  for (const SettingEntry& e : SettingsTable()) {
    if (e.commandId == 0) continue;
    const auto it = rows.find(e.commandId);
    ASSERT_NE(it, rows.end()) << e.name << " has no menu row";
    ASSERT_TRUE(it->second->checked) << e.name;
    for (int32_t flag : {1, 0}) {
      e.number(settings) = flag;
      EXPECT_EQ(it->second->checked(MenuInputs{settings, state}), flag == 1) << e.name;
    }
  }
  // The test interval: exactly the period's item is checked.
  for (const cmd::IntervalItem& chosen : cmd::TEST_INTERVALS) {
    settings.testInterval = chosen.periodMs;
    for (const cmd::IntervalItem& item : cmd::TEST_INTERVALS) {
      const CommandRow* row = rows.at(item.id);
      EXPECT_EQ(row->checked && row->checked(MenuInputs{settings, state}), item.id == chosen.id);
    }
  }
}

// The items that follow the connection, the logs, the GPS port and the map
// library, in each state that matters.
TEST(CommandTable, ConnectionLogAndDeviceItemsFollowTheState) {
  // The state, one letter each: C connected, O connected once, N NMEA log
  // open, D data log open, G GPS port open, M map library loaded.
  struct Case {
    const char* what;
    std::string state;
    std::map<int, bool> enabled;
  };
  using namespace cmd;
  // clang-format off
  const Case cases[] = {
      {"started", "",
       {{CONNECT, true}, {DISCONNECT, false}, {TEST_ONCE, false}, {LOOP_TESTING, false},
        {NMEA_LOG_START, false}, {DATA_LOG_START, false}, {GPS_DISCONNECT, false},
        {SEND_GPS_TO_MAP, false}}},
      {"connected", "COGM",
       {{CONNECT, false}, {DISCONNECT, true}, {TEST_ONCE, true}, {LOOP_TESTING, true},
        {NMEA_LOG_START, true}, {NMEA_LOG_STOP, false}, {DATA_LOG_START, true},
        {GPS_DISCONNECT, true}, {SEND_GPS_TO_MAP, true}, {SEND_COMMS_TO_MAP, false}}},
      {"logging", "COND",
       {{NMEA_LOG_START, false}, {NMEA_LOG_RESTART, true}, {NMEA_LOG_STOP, true},
        {DATA_LOG_START, false}, {DATA_LOG_RESTART, true}, {DATA_LOG_STOP, true}}},
      // A disconnect closes the NMEA log; the data log keeps its items.
      {"disconnected", "OD",
       {{CONNECT, true}, {NMEA_LOG_START, false}, {NMEA_LOG_STOP, false}, {DATA_LOG_STOP, true}}},
      {"disconnected, data log stopped", "O", {{DATA_LOG_START, true}, {DATA_LOG_STOP, false}}},
  };
  // clang-format on
  const Settings settings;
  for (const Case& c : cases) {
    const auto has = [&c](char flag) { return c.state.find(flag) != std::string::npos; };
    RunState state;
    state.mapAvailable = has('M') ? 1 : 0;
    MenuInputs in{settings, state};
    in.modemConnected = has('C');
    in.modemConnectedOnce = has('O');
    // As the log controls answer: Restart and Stop while open, Start while
    // closed (the NMEA log's only while connected).
    const LogCommands opened{false, true, true};
    in.nmeaLog = has('N') ? opened : LogCommands{has('C'), false, false};
    in.dataLog = has('D') ? opened : LogCommands{true, false, false};
    in.gpsConnected = has('G');
    std::map<int, bool> shown;
    ForEachMenuState(in, [&shown](int id, bool enabled, bool) { shown[id] = enabled; });
    for (const auto& [id, enabled] : c.enabled)
      EXPECT_EQ(shown.at(id), enabled) << c.what << ": " << id;
  }
}

// A data log left open over a lost port stays offered as open, not as
// startable, once the port is back (it used to offer "Start" again).
using CommandTableProgram = test::ProgramTest;
TEST_F(CommandTableProgram, DataLogOpenOverAReconnectKeepsOnlyRestartAndStop) {
  auto port = Connect();
  program->OnCommand(cmd::DATA_LOG_START);
  port->gone = true;
  program->OnTimer(TIMER_POLL);
  ASSERT_FALSE(program->modem().connected());
  port->gone = false;
  Connect();
  ASSERT_TRUE(program->logs().dataOpen());
  EXPECT_FALSE(program->menu().IsEnabled(cmd::DATA_LOG_START));
  EXPECT_TRUE(program->menu().IsEnabled(cmd::DATA_LOG_RESTART));
  EXPECT_TRUE(program->menu().IsEnabled(cmd::DATA_LOG_STOP));
}

}  // namespace
}  // namespace tw
