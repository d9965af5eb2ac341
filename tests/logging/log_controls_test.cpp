// The one rule of the logs' Start, Restart and Stop, for every menu.
#include "logging/log_controls.h"

#include <gtest/gtest.h>

#include "core/clock.h"
#include "support/fakes.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

TEST(LogControls, StartWhileClosedNmeaOnlyConnectedRestartAndStopWhileOpen) {
  TempDir root;
  ManualClock clock;
  Logs logs(clock, root.path(), [](const std::string&, const std::string&) {});
  logs.LogsInit(3600);
  LogPort port{false, 3};
  LogControls controls(logs, [&port] { return port; });
  struct Case {
    LogKind kind;
    bool connected, open;
    LogCommands allowed;
  };
  const Case cases[] = {
      {LogKind::Nmea, false, false, {false, false, false}},
      {LogKind::Nmea, true, false, {true, false, false}},
      {LogKind::Nmea, true, true, {false, true, true}},
      {LogKind::Data, false, false, {true, false, false}},
      {LogKind::Data, false, true, {false, true, true}},
      {LogKind::Data, true, true, {false, true, true}},
  };
  for (const Case& c : cases) {
    port.connected = c.connected;
    if (c.open) controls.Start(c.kind);
    ASSERT_EQ(controls.open(c.kind), c.open);
    EXPECT_EQ(controls.Allowed(c.kind), c.allowed)
        << static_cast<int>(c.kind) << c.connected << c.open;
    controls.Stop(c.kind);
  }
  // Start opens under the modem port's number; Restart keeps it.
  controls.Start(LogKind::Data);
  port.number = 7;
  controls.Restart(LogKind::Data);
  EXPECT_EQ(logs.dataPath().parent_path().filename(), "port3");
}

}  // namespace
}  // namespace tw::test
