// The sentence table's own rules: every family is reachable by its prefix,
// and every sentence built from a row is framed as its direction says and
// read back as the same family.
#include "protocol/sentence_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "protocol/nmea.h"
#include "serial/line_framer.h"

namespace tw {
namespace {

TEST(SentenceTable, NoPrefixIsHiddenByAnEarlierOneAndEachTypeHasOneRow) {
  const auto table = SentenceTable();
  std::set<int> types;
  for (size_t j = 0; j < table.size(); ++j) {
    EXPECT_TRUE(table[j].prefix.starts_with('$')) << table[j].prefix;
    EXPECT_TRUE(types.insert(table[j].type).second) << table[j].prefix;
    for (size_t i = 0; i < j; ++i) {
      EXPECT_FALSE(table[j].prefix.starts_with(table[i].prefix))
          << table[j].prefix << " is hidden by " << table[i].prefix;
    }
  }
}

TEST(SentenceTable, EveryBuiltSentenceIsFramedAsItsDirectionSaysAndReadsBackAsItsFamily) {
  for (const SentenceFamily& row : SentenceTable()) {
    // A prefix that names a sub-family ("$CADET,2") carries it as field 1.
    const size_t comma = row.prefix.find(',');
    const std::string first = comma == std::string_view::npos || comma + 1 == row.prefix.size()
                                  ? "7"
                                  : std::string(row.prefix.substr(comma + 1));
    const std::string body = BuildSentence(row.type, {first, -12});
    const std::string line = BuildSentenceLine(row.type, {first, -12});
    ASSERT_TRUE(line.ends_with("\r\n")) << line;
    EXPECT_EQ(line.find_first_of("\r\n"), line.size() - 2) << line;
    const FramedLine framed = FrameLine(line);
    EXPECT_EQ(framed.body, body);
    EXPECT_EQ(framed.checksum, row.direction == SentenceDirection::FromModem ? LineChecksum::Good
                                                                             : LineChecksum::None)
        << line;
    EXPECT_EQ(FindSentenceFamily(line), &row) << line;
    EXPECT_EQ(NMEAMessageType(line), row.type) << line;
  }
}

// The lookup is indexed; it must give what a pass over the table in order
// gives (the first row whose prefix starts the line), for every prefix cut
// short or run on, and for lines no row knows.
TEST(SentenceTable, LookupFindsTheFirstRowInTableOrder) {
  const auto firstInOrder = [](std::string_view line) -> const SentenceFamily* {
    if (line.empty() || line[0] != '$') return nullptr;
    for (const SentenceFamily& row : SentenceTable()) {
      if (line.starts_with(row.prefix)) return &row;
    }
    return nullptr;
  };
  std::vector<std::string> lines = {"",      "$",        "$CA",      "$CC",
                                    "$CCX",  "$CCXYZ,1", "$CADET,3", "$GPRMC,1",
                                    "CAMSG", "$CAMSG",   "$SNTTA,1"};
  for (const SentenceFamily& row : SentenceTable()) {
    for (size_t cut = 1; cut <= row.prefix.size(); ++cut) {
      lines.push_back(std::string(row.prefix.substr(0, cut)));
      lines.push_back(std::string(row.prefix.substr(0, cut)) + "9,1");
    }
  }
  for (const std::string& line : lines)
    EXPECT_EQ(FindSentenceFamily(line), firstInOrder(line)) << line;
}

TEST(SentenceTable, OnlyHostFamiliesHaveAnEmulatorAnswerAndEachHasItsRemark) {
  for (const SentenceFamily& row : SentenceTable()) {
    const bool answered = row.emulator.answer != EmulatorAnswer::Unknown;
    EXPECT_EQ(answered, row.emulator.parserText != nullptr) << row.prefix;
    if (answered) {
      EXPECT_EQ(row.direction, SentenceDirection::FromHost) << row.prefix;
    }
    if (row.direction == SentenceDirection::FromHost) {
      EXPECT_EQ(row.react, nullptr) << row.prefix;
    }
  }
}

TEST(SentenceTable, ZeroPaddedFieldsArePrintfs) {
  for (const auto& [value, width] : {std::pair{5, 2}, {2007, 4}, {123, 2}, {0, 2}, {-5, 4}}) {
    char expected[16];
    std::snprintf(expected, sizeof expected, "%0*d", width, value);
    EXPECT_EQ(ZeroPadded(value, width), expected);
  }
  EXPECT_EQ(SentenceTime(LocalTime{2007, 3, 3, 4, 5, 9}), "040509");
}

}  // namespace
}  // namespace tw
