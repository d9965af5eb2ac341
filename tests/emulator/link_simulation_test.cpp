// The far end of the link: what it sends for each thing the host asks, and
// what it sends unasked.
#include "emulator/link_simulation.h"

#include <gtest/gtest.h>

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

// What the far end sent for `command` at once and in the next `steps` steps,
// as "NOW1 NOW2 | LATER1 LATER2".
std::string Ask(LinkSimulation& sim, const std::string& command, int steps, bool& replaced) {
  std::vector<std::string> now;
  replaced = sim.Answer(FindSentenceFamily(command)->type, SentenceFields(command), now);
  std::string all;
  for (const std::string& s : now) all += (all.empty() ? "" : " ") + s;
  all += " |";
  for (int i = 0; i < steps; ++i) {
    for (const std::string& s : sim.Step()) all += " " + s;
  }
  return all;
}

bool Has(const std::string& text, const std::string& pattern) {
  return std::regex_search(text, std::regex(pattern));
}

// Unit 1 is 809..891 m away (0.53..0.59 s), transponders 1..3 594..646,
// 1144..1216 and 1709..1811 m; channel 4 and units 4..15 have nobody there.
// Transponders 2 and 3 miss a ping now and then: their times may be empty.
const std::string TTA = R"(\$SNTTA,0\.[34]\d{3},(0\.[78]\d{3})?,(1\.[12]\d{3})?,( |$))";

struct AskRow {
  const char* command;
  int steps;
  bool replaced;         // the emulator's own answer is not sent
  std::string expected;  // searched in what Ask returns; (?!...) for what must not come
};

TEST(LinkSimulation, AnswersEachAsk) {
  const std::vector<AskRow> rows = {
      {"$CCMPC,0,1", 20, false, R"(^\$CAMPC,0,1 \|.* \$CAMPA,0,1 \$CAMPR,0,1,0\.5[3-9]\d{2}\b)"},
      {"$CCMPC,0,9", 60, false, R"(^\$CAMPC,0,9 \|(?!.*CAMP[AR]))"},
      {"$CCPDT,1,1,0,0,5000,1,1,1,1", 30, false, R"(^\$SNPDT,1,1,0,0,5000,1,1,1,1 \|.* )" + TTA},
      {"$CCPDT,1,2,0,0,5000,0,1,0,0", 30, false,
       R"(^\$SNPDT,.* \|.* \$SNTTA,,0\.[78]\d{3},,( |$))"},
      {"$CCPNT,26000,5,5,4000,25000,0,0,0,1", 30, false, R"(^\$SNPNT,26000,.* \|.* )" + TTA},
      {"$CCCFR,300", 3, true, R"(^ \|(?!.*SNCFR))"},  // not before the window is over
      {"$CCCFR,300", 4, true, R"(\|.* \$SNCFR(,-\d{2}){14}( |$))"},
      {"$CCCFG,SRC,3", 1, true, R"(^\$CACFG,SRC,3 \|)"},
      {"$CCCFQ,SRC", 1, true, R"(^\$CACFG,SRC,3 \|)"},
      {"$CCCFG,ALL,0", 1, true, R"(^\$CACFG,ALL,0 \|)"},
      {"$CCCFQ,ALL", 1, false, R"(^\$CACFG,SRC,0 .*\$CACFG,BND,1 .*\$CACFG,TXF,1 \|)"},
      {"$CCCFQ,XYZ", 1, false, R"(^ \|)"},  // left to the emulator's own answer
      {"$CCTXD,1,0,1,0001", 30, false, R"(\|.* \$CATXP,1 .*\$CATXF,1 .*\$CAACK,1,0,1,[01]( |$))"},
      {"$CCTXD,1,0,0,0001", 40, false, R"(\|.* \$CATXF,1(?!.*CAACK))"},
      {"$CCCYC,1,1,0,0,0,1", 30, false,
       R"(\|(?!.*CACYC,1,1).* \$CAAGC,\d+ \$CADQF,\d+ (\$CARXD,1,0,0,1,0001\S*1f|\$CAMSG,BAD_CRC))"},
  };
  LinkSimulation sim(7);
  for (const AskRow& row : rows) {
    while (sim.waiting() > 0) sim.Step();  // the last row's answers are out
    bool replaced = false;
    const std::string sent = Ask(sim, row.command, row.steps, replaced);
    EXPECT_EQ(replaced, row.replaced) << row.command;
    EXPECT_TRUE(Has(sent, row.expected)) << row.command << "\n" << sent;
  }
}

// Unasked, a frame from the roaming node: its cycle, gain, quality and the
// frame (or a bad checksum); the same seed gives the same sentences.
TEST(LinkSimulation, HearsTheRoamingNodeAndRepeatsItselfForTheSameSeed) {
  LinkSimulation a(3), b(3);
  std::string fromA, fromB;
  for (int i = 0; i < 10 * (SIM_FRAME_TICKS + SIM_FRAME_SCATTER_TICKS); ++i) {
    for (const std::string& s : a.Step()) fromA += " " + s;
    for (const std::string& s : b.Step()) fromB += " " + s;
  }
  EXPECT_EQ(fromA, fromB);
  EXPECT_TRUE(
      Has(fromA, R"(\$CACYC,1,2,0,0,0,1 \$CAAGC,\d+ \$CADQF,\d+ \$CARXD,2,0,0,1,00010203)"));
  EXPECT_TRUE(Has(fromA, R"((\$CARXD.*){8})")) << "about one frame in eight is damaged";
}

// The demo's GPS: every fix passes the program's own check, and the ship
// moves north-east a couple of metres a second.
TEST(GpsSimulation, FixesPassTheCheckAndMoveSlowly) {
  GpsSimulation ship;
  const LocalTime t{2026, 12, 8, 23, 59, 59};
  std::optional<GpsFix> first, last;
  for (int i = 0; i < 600; ++i) {
    const std::string s = ship.NextSentence(t);
    last = GPSCheckSentence(s.substr(0, s.find("\r\n")));
    ASSERT_TRUE(last.has_value() && s.ends_with("\r\n")) << s;
    if (!first) first = last;
  }
  const double north = (last->latitude - first->latitude) * 111120.0;
  EXPECT_GT(north, 500.0);  // ten minutes at four knots: about 1.2 km, half of it north
  EXPECT_LT(north, 1240.0);
  EXPECT_GT(last->longitude, first->longitude);
}

}  // namespace
}  // namespace tw::test
