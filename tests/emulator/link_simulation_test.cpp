// The far end of the link: what it sends for each thing the host asks, and
// what it sends unasked.
#include "emulator/link_simulation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "emulator/gps_simulation.h"
#include "gps/gps_sentence.h"
#include "protocol/nmea.h"
#include "protocol/sentence_table.h"

namespace tw::test {
namespace {

struct Answered {
  std::vector<std::string> now;
  std::vector<std::string> later;  // everything the next `steps` steps sent
  bool replaced = false;
};

Answered Ask(LinkSimulation& sim, const std::string& command, int steps) {
  Answered run;
  run.replaced = sim.Answer(FindSentenceFamily(command)->type, SentenceFields(command), run.now);
  for (int i = 0; i < steps; ++i) {
    for (std::string& s : sim.Step()) run.later.push_back(std::move(s));
  }
  return run;
}

// True when `patterns` match sentences of `lines` in this order.
bool MatchInOrder(const std::vector<std::string>& lines, const std::vector<std::string>& patterns) {
  size_t next = 0;
  for (const std::string& line : lines) {
    if (next < patterns.size() && std::regex_match(line, std::regex(patterns[next]))) ++next;
  }
  return next == patterns.size();
}

bool AnyMatch(const std::vector<std::string>& lines, const std::string& pattern) {
  return !pattern.empty() && MatchInOrder(lines, {pattern});
}

// Unit 1 is 809..891 m away (0.53..0.59 s), transponders 1..3 594..646,
// 1144..1216 and 1709..1811 m; channel 4 and units 4..15 have nobody there.
// Transponders 2 and 3 miss a ping now and then: their times may be empty.
const std::string TTA = R"(\$SNTTA,0\.[34][0-9]{3},(0\.[78][0-9]{3})?,(1\.[12][0-9]{3})?,)";
const std::string LEVEL = R"(,-[0-9]{2})";

struct AskRow {
  const char* command;
  int steps;
  bool replaced;
  std::vector<std::string> now;
  std::vector<std::string> later;
  std::string never;  // what must not come
};

TEST(LinkSimulation, AnswersEachAsk) {
  const std::vector<AskRow> rows = {
      {"$CCMPC,0,1",
       20,
       false,
       {R"(\$CAMPC,0,1)"},
       {R"(\$CAMPA,0,1)", R"(\$CAMPR,0,1,0\.5[3-9][0-9]{2})"},
       ""},
      {"$CCMPC,0,9", 60, false, {R"(\$CAMPC,0,9)"}, {}, R"(\$CAMP[AR].*)"},
      {"$CCPDT,1,1,0,0,5000,1,1,1,1", 30, false, {R"(\$SNPDT,1,1,0,0,5000,1,1,1,1)"}, {TTA}, ""},
      {"$CCPDT,1,2,0,0,5000,0,1,0,0",
       30,
       false,
       {R"(\$SNPDT,.*)"},
       {R"(\$SNTTA,,0\.[78][0-9]{3},,)"},
       ""},
      {"$CCPNT,26000,5,5,4000,25000,0,0,0,1", 30, false, {R"(\$SNPNT,26000,.*)"}, {TTA}, ""},
      {"$CCCFR,300", 3, true, {}, {}, R"(\$SNCFR.*)"},  // not before the window is over
      {"$CCCFR,300",
       4,
       true,
       {},
       {R"(\$SNCFR)" +
        [] {
          std::string s;
          for (int i = 0; i < 14; ++i) s += LEVEL;
          return s;
        }()},
       ""},
      {"$CCCFG,SRC,3", 1, true, {R"(\$CACFG,SRC,3)"}, {}, ""},
      {"$CCCFQ,SRC", 1, true, {R"(\$CACFG,SRC,3)"}, {}, ""},
      {"$CCCFG,ALL,0", 1, true, {R"(\$CACFG,ALL,0)"}, {}, ""},
      {"$CCCFQ,ALL", 1, false, {R"(\$CACFG,SRC,0)", R"(\$CACFG,BND,1)", R"(\$CACFG,TXF,1)"}, {}, ""},
      {"$CCCFQ,XYZ", 1, false, {}, {}, ""},  // left to the emulator's own answer
      {"$CCTXD,1,0,1,0001",
       30,
       false,
       {},
       {R"(\$CATXP,1)", R"(\$CATXF,1)", R"(\$CAACK,1,0,1,[01])"},
       ""},
      {"$CCTXD,1,0,0,0001", 40, false, {}, {R"(\$CATXF,1)"}, R"(\$CAACK.*)"},
      {"$CCCYC,1,1,0,0,0,1",
       30,
       false,
       {},
       {R"(\$CAAGC,[0-9]+)", R"(\$CADQF,[0-9]+)", R"(\$CARXD,1,0,0,1,0001.*1f|\$CAMSG,BAD_CRC)"},
       R"(\$CACYC,1,1,.*)"},
  };
  LinkSimulation sim(7);
  for (const AskRow& row : rows) {
    SCOPED_TRACE(row.command);
    while (sim.waiting() > 0) sim.Step();  // the last row's answers are out
    const Answered run = Ask(sim, row.command, row.steps);
    EXPECT_EQ(run.replaced, row.replaced);
    EXPECT_TRUE(MatchInOrder(run.now, row.now)) << ::testing::PrintToString(run.now);
    EXPECT_TRUE(MatchInOrder(run.later, row.later)) << ::testing::PrintToString(run.later);
    EXPECT_FALSE(AnyMatch(run.later, row.never)) << ::testing::PrintToString(run.later);
  }
}

// Unasked, a frame from the roaming node: its cycle, gain, quality and the
// frame (or a bad checksum); the same seed gives the same sentences.
TEST(LinkSimulation, HearsTheRoamingNodeAndRepeatsItselfForTheSameSeed) {
  LinkSimulation a(3), b(3);
  std::vector<std::string> fromA, fromB;
  for (int i = 0; i < 10 * (SIM_FRAME_TICKS + SIM_FRAME_SCATTER_TICKS); ++i) {
    for (std::string& s : a.Step()) fromA.push_back(std::move(s));
    for (std::string& s : b.Step()) fromB.push_back(std::move(s));
  }
  EXPECT_EQ(fromA, fromB);
  EXPECT_TRUE(MatchInOrder(fromA, {R"(\$CACYC,1,2,0,0,0,1)", R"(\$CAAGC,[0-9]+)",
                                   R"(\$CADQF,[0-9]+)", R"(\$CARXD,2,0,0,1,00010203.*)"}));
  EXPECT_GE(std::count_if(fromA.begin(), fromA.end(),
                          [](const std::string& s) { return s.starts_with("$CARXD"); }),
            8);
}

// The demo's GPS: every fix passes the program's own check, and the ship
// moves north-east a couple of metres a second.
TEST(GpsSimulation, FixesPassTheCheckAndMoveSlowly) {
  GpsSimulation ship;
  const LocalTime t{2026, 12, 8, 23, 59, 59};
  std::optional<GpsFix> first, last;
  for (int i = 0; i < 600; ++i) {
    const std::string s = ship.NextSentence(t);
    ASSERT_TRUE(s.ends_with("\r\n")) << s;
    last = GPSCheckSentence(s.substr(0, s.size() - 2));
    ASSERT_TRUE(last.has_value()) << s;
    if (!first) first = last;
  }
  const double north = (last->latitude - first->latitude) * 111120.0;
  EXPECT_GT(north, 500.0);  // ten minutes at four knots: about 1.2 km, half of it north
  EXPECT_LT(north, 1240.0);
  EXPECT_GT(last->longitude, first->longitude);
}

}  // namespace
}  // namespace tw::test
