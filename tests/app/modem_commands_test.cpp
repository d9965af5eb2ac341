// The menu commands that send one sentence: exact bytes, status lines and
// the single error line when refused.
#include "app/modem_commands.h"

#include <gtest/gtest.h>

#include "core/commands.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

using namespace tw::cmd;

using ModemCommandMenu = ProgramTest;

struct Expected {
  int id;
  const char* sentence;
  const char* status;  // nullptr: nothing printed first
};

const Expected kFixed[] = {
    {SET_ADDRESS[0], "$CCCFG,SRC,0\r\n", nullptr},
    {SET_ADDRESS[1], "$CCCFG,SRC,1\r\n", nullptr},
    {SET_ADDRESS[6], "$CCCFG,SRC,6\r\n", nullptr},
    {SET_ADDRESS[15], "$CCCFG,SRC,15\r\n", nullptr},
    {SHOW_MODEM_SETTINGS, "$CCCFQ,ALL\r\n", "=========Modem Settings========="},
    {USE_FACTORY_DEFAULTS, "$CCCFG,ALL,0\r\n", "Setting Modem to Factory Defaults"},
    {MEASURE_NOISE[0], "$CCCFR,100\r\n", "Measuring Receiver Noise [100 ms]"},
    {MEASURE_NOISE[1], "$CCCFR,300\r\n", "Measuring Receiver Noise [300 ms]"},
    {MEASURE_NOISE[2], "$CCCFR,1000\r\n", "Measuring Receiver Noise  [1 sec]"},
    {MEASURE_NOISE[3], "$CCCFR,3000\r\n", "Measuring Receiver Noise  [3 sec]"},
    {PING_SELKA[0], "$CCPDT,1,1,0,0,2500,1,1,1,1\r\n", nullptr},
    {PING_SELKA[1], "$CCPDT,1,2,0,0,2500,1,1,1,1\r\n", nullptr},
    {PING_SELKA[2], "$CCPDT,1,3,0,0,2500,1,1,1,1\r\n", nullptr},
    {PING_SELKA[3], "$CCPDT,1,4,0,0,2500,1,1,1,1\r\n", nullptr},
    {OBS_WAKEUP_1, "$CCMEC,0,2,1,1,1\r\n", nullptr},
    {OBS_WAKEUP_2, "$CCMEC,0,2,1,1,0\r\n", nullptr},
};

TEST_F(ModemCommandMenu, EachModemCommandSendsExactlyItsSentenceAndStatusLine) {
  auto port = Connect();
  for (const Expected& e : kFixed) {
    port->written.clear();
    TakeLines();
    program->OnCommand(e.id);
    EXPECT_EQ(port->written, e.sentence) << e.id;
    const std::vector<std::string> printed = TakeLines();
    if (e.status) {
      EXPECT_EQ(printed, std::vector<std::string>{e.status}) << e.id;
    } else {
      EXPECT_TRUE(printed.empty()) << e.id;
    }
  }
}

TEST_F(ModemCommandMenu, ClockAndRevertTakeTheirValuesFromProgramState) {
  auto port = Connect();
  clock.now = LocalTime{2004, 3, 2, 9, 5, 7};
  program->OnCommand(SYNCHRONIZE_CLOCK);
  EXPECT_EQ(port->written, "$CCCLK,2004,03,02,09,05,07\r\n");

  port->written.clear();
  program->OnCommand(COMMAND_REVERT);
  EXPECT_EQ(port->written, "$CCMSC,0,0,0\r\n");
  program->state().modemUnit = 3;
  port->written.clear();
  program->OnCommand(COMMAND_REVERT);
  program->OnCommand(FIFO_FLUSH);
  program->OnCommand(FIFO_STATUS);
  EXPECT_EQ(port->written, "$CCMSC,3,3,0\r\n$CCFFL,3\r\n$CCFST,3\r\n");
}

TEST_F(ModemCommandMenu, RefusedCommandPrintsExactlyOneErrorLine) {
  for (const ModemCommand& c : ModemCommandTable()) {
    TakeLines();
    program->OnCommand(c.id);
    std::vector<std::string> printed = TakeLines();
    int errors = 0;
    for (const auto& line : printed) errors += line == "Error: Not Connected!" ? 1 : 0;
    EXPECT_EQ(errors, 1) << c.id;
    if (c.id == SHOW_MODEM_SETTINGS) {
      // The banner comes first even though nothing can be sent.
      EXPECT_EQ(printed, (std::vector<std::string>{"=========Modem Settings=========",
                                                   "Error: Not Connected!"}));
    } else {
      EXPECT_EQ(printed.size(), 1u) << c.id;
    }
  }
  EXPECT_TRUE(ports.opened.empty());
}

TEST_F(ModemCommandMenu, OutgoingEchoShowsTheSentenceWithoutItsLineEnd) {
  auto port = Connect();
  program->OnCommand(SHOW_NMEA_OUTGOING);
  TakeLines();
  program->OnCommand(SHOW_MODEM_SETTINGS);
  EXPECT_EQ(TakeLines(),
            (std::vector<std::string>{"=========Modem Settings=========", "$CCCFQ,ALL"}));
  EXPECT_EQ(program->terminal().info()->rowText(1).substr(0, 21), "[14:05:09] $CCCFQ,ALL");
}

}  // namespace
}  // namespace tw::test
