#include "summary/cruise_summary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "summary/summary_text.h"
#include "support/cruise_week.h"
#include "support/program_fixture.h"

namespace tw {
namespace {

// A generated week (one record every 10 s, three silent hours) against the
// generator's own count of what it wrote.
TEST(CruiseSummary, AGeneratedWeekAgreesWithTheGeneratorsCounts) {
  test::TempDir dir;
  const test::CruiseCounts c = test::WriteCruise(dir.path(), 7, 10);
  NmeaLogReader reader({dir.path() / "Logs"});
  CruiseSummarizer summarizer;
  NmeaLogRecord record;
  while (reader.Next(record)) summarizer.Add(record);
  const CruiseSummary s = summarizer.Finish();

  EXPECT_EQ(reader.problems().badRecords, 0);
  EXPECT_EQ(s.records, c.records);
  EXPECT_EQ(s.lastSeconds - s.firstSeconds, 7 * 86400 - 10);
  for (const FamilyCount& family : s.families) {
    SCOPED_TRACE(family.name);
    const auto count = [&](const auto& map) {
      const auto it = map.find(family.name);
      return it == map.end() ? 0 : it->second;
    };
    EXPECT_EQ(family.received, count(c.received));
    EXPECT_EQ(family.sent, count(c.sent));
  }
  const std::vector<std::pair<int64_t, int64_t>> counts = {
      {s.requests, c.requests},
      {s.requestsAck, c.requestsAck},
      {s.answeredWithFrame, c.answeredWithFrame},
      {s.answeredOtherwise, c.answeredOtherwise},
      {s.unanswered, c.unanswered},
      {s.framesSent, c.framesSent},
      {s.framesTransmitted, c.framesTransmitted},
      {s.acksGood, c.acksGood},
      {s.acksBad, c.acksBad},
      {s.framesReceived, c.framesReceived},
      {s.crcErrors, c.crcErrors},
      {s.noDataErrors, c.noDataErrors},
      {s.dqf.count, c.dqfCount},
      {s.gpsFixes, c.gpsFixes}};
  for (size_t i = 0; i < counts.size(); ++i) EXPECT_EQ(counts[i].first, counts[i].second) << i;
  EXPECT_DOUBLE_EQ(s.dqf.mean(), c.dqfSum / static_cast<double>(c.dqfCount));
  EXPECT_DOUBLE_EQ(s.agc.mean(), c.agcSum / static_cast<double>(c.agcCount));
  for (size_t k = 0; k < 4; ++k) {
    EXPECT_EQ(s.channels[k].count, c.channelCount[k]) << "CH" << k + 1;
    if (c.channelCount[k] == 0) continue;
    EXPECT_NEAR(s.channels[k].min, c.channelMin[k], 1e-6);
    EXPECT_NEAR(s.channels[k].max, c.channelMax[k], 1e-6);
  }
  for (size_t unit = 0; unit < 16; ++unit) EXPECT_EQ(s.units[unit].count, c.unitCount[unit]);
  EXPECT_NEAR(s.units[1].mean(), 750.0, 1e-9);
  // Due north: the distance is the arc of the latitudes' difference.
  EXPECT_NEAR(s.gpsDistanceMetres,
              (c.lastLatitude - c.firstLatitude) * 3.14159265358979 / 180 * 6371008.8, 0.01);
  EXPECT_EQ(s.silentHours, c.silentHours);

  const std::string text = CruiseSummaryText(s, reader.files().size(), reader.problems());
  for (const std::string& line :
       {std::string("Time span: 03/01/2026 00:00:00 to 03/07/2026 23:59:50 (6 days 23:59:50)\n"),
        std::string(
            "Hours with no sentence: 3\n  03/03/2026 02:00 to 03/03/2026 05:00 (3 hours)\n"),
        "Data requests: " + std::to_string(c.requests)}) {
    EXPECT_NE(text.find(line), std::string::npos) << line << "\nin\n" << text;
  }
}

// The rules a few records decide: which record answers a request, which
// unit a ranged reply belongs to, and what is not a measurement.
TEST(CruiseSummary, AnswersUnitsAndMissingValues) {
  struct Case {
    const char* name;
    std::vector<std::pair<int, std::string>> records;  // second and "S" sent / "R" received + line
    int64_t answered, unanswered, unit, dqfCount;
  };
  const std::vector<Case> cases = {
      {"answer in the same second",
       {{0, "R$CADRQ,1,1,0,0,4"}, {0, "S$CCTXD,1,0,0,00"}},
       1,
       0,
       -1,
       0},
      {"answer two seconds late", {{0, "R$CADRQ,1,1,0,0,4"}, {2, "S$CCTXD,1,0,0,00"}}, 0, 1, -1, 0},
      {"something received first",
       {{0, "R$CADRQ,1,1,0,0,4"}, {0, "R$CAAGC,1"}, {0, "S$CCTXD,1,0,0,00"}},
       0,
       1,
       -1,
       0},
      {"request at the end", {{0, "R$CADRQ,1,1,0,0,4"}}, 0, 1, -1, 0},
      {"reply names this unit first", {{0, "R$CAMPR,0,7,0.5"}}, 0, 0, 7, 0},
      {"this unit is 7", {{0, "R$CACFG,SRC,7"}, {0, "R$CAMPR,7,3,0.5"}}, 0, 0, 3, 0},
      {"reply without travel time", {{0, "R$CAMPR,0,7"}}, 0, 0, -1, 0},
      {"quality without value", {{0, "R$CADQF"}, {0, "R$CADQF,230"}}, 0, 0, -1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CruiseSummarizer summarizer;
    for (const auto& [second, line] : c.records) {
      NmeaLogRecord record;
      record.seconds = second;
      record.kind = line[0] == 'S' ? NmeaRecordKind::Sent : NmeaRecordKind::Received;
      record.source = line[0] == 'S' ? 0 : 1;
      record.sentence = std::string_view(line).substr(1);
      summarizer.Add(record);
    }
    const CruiseSummary s = summarizer.Finish();
    EXPECT_EQ(s.answeredWithFrame, c.answered);
    EXPECT_EQ(s.unanswered, c.unanswered);
    for (size_t unit = 0; unit < 16; ++unit) {
      EXPECT_EQ(s.units[unit].count, static_cast<int64_t>(unit) == c.unit ? 1 : 0) << unit;
    }
    EXPECT_EQ(s.dqf.count, c.dqfCount);
  }
}

// A record with a far date (a damaged clock) makes one long silent stretch,
// counted, not one entry per hour.
TEST(CruiseSummary, AFarDateIsOneSilentStretch) {
  CruiseSummarizer summarizer;
  const int64_t farHour = 70'000'000;
  for (const int64_t second : {int64_t{0}, int64_t{3600}, farHour * 3600}) {
    NmeaLogRecord record;
    record.seconds = second;
    record.source = 1;
    record.sentence = "$CAAGC,1";
    summarizer.Add(record);
  }
  const CruiseSummary s = summarizer.Finish();
  EXPECT_EQ(s.silentHours, farHour - 2);
  ASSERT_EQ(s.silentStretches.size(), 1u);
  EXPECT_EQ(s.silentStretches[0].first, 2);
}

}  // namespace
}  // namespace tw
