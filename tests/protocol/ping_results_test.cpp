// Network ping results in a program: the test cycle's pings and the modem's
// answers through the interpreter, counted under the unit at the far end,
// each ping answered at most once, the window's command, and Reset.
#include "protocol/ping_results.h"

#include <gtest/gtest.h>

#include "core/commands.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

using Row = std::vector<std::string>;
using PingResultsInProgram = ProgramTest;

TEST_F(PingResultsInProgram, TestCycleAndInterpreterFeedThemAndResetClearsThem) {
  auto port = Connect();
  program->state().modemUnit = 2;  // as the modem reported it
  program->OnCommand(cmd::PING_UNIT_FIRST + 5);
  program->OnCommand(cmd::TEST_ONCE);
  program->OnCommand(cmd::TEST_ONCE);
  EXPECT_EQ(port->written, "$CCMPC,0,5\r\n$CCMPC,0,5\r\n");
  clock.now.second = 30;
  // Unit 5 answers one ping twice (acknowledged, then ranged); unit 9 is
  // heard without a ping; a unit that cannot exist is not counted.
  const std::string answers = "$CAMPA,5,2\r\n$CAMPR,2,5,1.25*00\r\n$CAMPR,2,9\r\n$CAMPA,16,2\r\n";
  port->incoming.insert(port->incoming.end(), answers.begin(), answers.end());
  program->OnTimer(TIMER_POLL);
  const PingResults& results = program->stats().pingResults;
  const PingResultsTable table = MakePingResultsTable(results);
  ASSERT_EQ(table.rows.size(), 16u);
  EXPECT_EQ(table.rows[5], (Row{"5", "2", "1", "1", "1875.0", "14:05:30", "50%"}));
  EXPECT_EQ(table.rows[9], (Row{"9", "0", "1", "0", "-", "14:05:30", "-"}));
  EXPECT_EQ(table.rows[2], (Row{"2", "0", "0", "0", "-", "-", "-"}));

  program->OnCommand(cmd::NETWORK_PING_RESULTS);
  EXPECT_EQ(dialogs.opened, std::vector<std::string>{"ping results"});
  StatsReset(program->stats());
  EXPECT_EQ(MakePingResultsTable(results).rows[5], (Row{"5", "0", "0", "0", "-", "-", "-"}));
}

}  // namespace
}  // namespace tw::test
