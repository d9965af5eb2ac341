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
  struct Case {
    const char* what;
    bool connected, connectedOnce, nmeaOpen, dataOpen, gps, map;
    std::map<int, bool> enabled;
  };
  const Case cases[] = {
      {"started",
       false,
       false,
       false,
       false,
       false,
       false,
       {{cmd::CONNECT, true},
        {cmd::DISCONNECT, false},
        {cmd::TEST_ONCE, false},
        {cmd::LOOP_TESTING, false},
        {cmd::NMEA_LOG_START, false},
        {cmd::DATA_LOG_START, false},
        {cmd::GPS_DISCONNECT, false},
        {cmd::SEND_GPS_TO_MAP, false}}},
      {"connected",
       true,
       true,
       false,
       false,
       true,
       true,
       {{cmd::CONNECT, false},
        {cmd::DISCONNECT, true},
        {cmd::TEST_ONCE, true},
        {cmd::LOOP_TESTING, true},
        {cmd::NMEA_LOG_START, true},
        {cmd::NMEA_LOG_STOP, false},
        {cmd::DATA_LOG_START, true},
        {cmd::GPS_DISCONNECT, true},
        {cmd::SEND_GPS_TO_MAP, true},
        {cmd::SEND_COMMS_TO_MAP, false}}},
      {"logging",
       true,
       true,
       true,
       true,
       false,
       false,
       {{cmd::NMEA_LOG_START, false},
        {cmd::NMEA_LOG_RESTART, true},
        {cmd::NMEA_LOG_STOP, true},
        {cmd::DATA_LOG_START, false},
        {cmd::DATA_LOG_RESTART, true},
        {cmd::DATA_LOG_STOP, true}}},
      // A disconnect closes the NMEA log; the data log keeps its items.
      {"disconnected",
       false,
       true,
       false,
       true,
       false,
       false,
       {{cmd::CONNECT, true},
        {cmd::NMEA_LOG_START, false},
        {cmd::NMEA_LOG_STOP, false},
        {cmd::DATA_LOG_STOP, true}}},
      {"disconnected, data log stopped",
       false,
       true,
       false,
       false,
       false,
       false,
       {{cmd::DATA_LOG_START, true}, {cmd::DATA_LOG_STOP, false}}},
  };
  const Settings settings;
  for (const Case& c : cases) {
    RunState state;
    state.mapAvailable = c.map ? 1 : 0;
    MenuInputs in{settings, state};
    in.modemConnected = c.connected;
    in.modemConnectedOnce = c.connectedOnce;
    // As the log controls answer: Restart and Stop while open, Start while
    // closed (the NMEA log's only while connected).
    const LogCommands opened{false, true, true};
    in.nmeaLog = c.nmeaOpen ? opened : LogCommands{c.connected, false, false};
    in.dataLog = c.dataOpen ? opened : LogCommands{true, false, false};
    in.gpsConnected = c.gps;
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
