// Network ping results: which unit an answer belongs to, what counts as
// answered, and the whole path in a program: the test cycle's pings, the
// modem's answers through the interpreter, the window's command and Reset.
#include "protocol/ping_results.h"

#include <gtest/gtest.h>

#include "core/commands.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

using Row = std::vector<std::string>;

TEST(PingResults, AnswersBelongToTheFarUnit) {
  struct Case {
    int source, destination, ownUnit, unit;
  };
  const Case cases[] = {
      {0, 5, 0, 5},  // our ping's reply: the pinged unit is the destination
      {5, 0, 0, 5},  // reported the other way round: still unit 5
      {7, 2, 2, 7},  // this modem is unit 2
      {2, 7, 0, 7},  // neither end is this modem: the destination
      {3, 3, 3, 3},  // a unit pinging itself
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PingAnswerUnit(c.source, c.destination, c.ownUnit), c.unit)
        << c.source << "=>" << c.destination << " own " << c.ownUnit;
  }
}

TEST(PingResults, EachPingIsAnsweredAtMostOnce) {
  PingResults r;
  const LocalTime at{2007, 3, 3, 9, 8, 7};
  r.CountSent(4);
  r.CountSent(4);
  r.CountAck(4, at);  // acknowledged and ranged: one ping answered, once
  r.CountRange(4, 750.0f, at);
  r.CountSent(4);
  r.CountRange(4, 10.5f, at);
  r.CountRange(16, 1.0f, at);  // no such unit: nothing counted, nothing broken
  r.CountSent(-1);
  const PingResultsTable t = MakePingResultsTable(r);
  EXPECT_EQ(t.rows.size(), 16u);
  EXPECT_EQ(t.rows[4], (Row{"4", "3", "1", "2", "10.5", "09:08:07", "66%"}));
  EXPECT_EQ(t.rows[0], (Row{"0", "0", "0", "0", "-", "-", "-"}));
}

using PingResultsInProgram = ProgramTest;

TEST_F(PingResultsInProgram, TestCycleAndInterpreterFeedThemAndResetClearsThem) {
  auto port = Connect();
  program->OnCommand(cmd::PING_UNIT_FIRST + 5);
  program->OnCommand(cmd::TEST_ONCE);
  program->OnCommand(cmd::TEST_ONCE);
  EXPECT_EQ(port->written, "$CCMPC,0,5\r\n$CCMPC,0,5\r\n");
  clock.now.second = 30;
  const std::string answers = "$CAMPA,5,0\r\n$CAMPR,0,5,1.25*00\r\n$CAMPR,0,9\r\n";
  port->incoming.insert(port->incoming.end(), answers.begin(), answers.end());
  program->OnTimer(TIMER_POLL);
  const PingResults& results = program->stats().pingResults;
  EXPECT_EQ(MakePingResultsTable(results).rows[5],
            (Row{"5", "2", "1", "1", "1875.0", "14:05:30", "50%"}));
  EXPECT_EQ(MakePingResultsTable(results).rows[9], (Row{"9", "0", "1", "0", "-", "14:05:30", "-"}));

  program->OnCommand(cmd::NETWORK_PING_RESULTS);
  EXPECT_EQ(dialogs.opened, std::vector<std::string>{"ping results"});
  StatsReset(program->stats());
  EXPECT_EQ(MakePingResultsTable(results).rows[5], (Row{"5", "0", "0", "0", "-", "-", "-"}));
}

}  // namespace
}  // namespace tw::test
