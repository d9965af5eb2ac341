#include "logging/nmea_log_records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/clock.h"
#include "logging/logs.h"
#include "support/program_fixture.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

void Write(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(NmeaLogRecords, EachLineReadOrRefusedWithItsReason) {
  struct Case {
    std::string line;
    const char* reason = nullptr;  // nullptr: a good record
    int source = 0;
    NmeaRecordKind kind = NmeaRecordKind::Sent;
    std::string sentence = {};
  };
  const auto sent = NmeaRecordKind::Sent, received = NmeaRecordKind::Received;
  const std::vector<Case> cases = {
      {"0,03/03/2007,14:05:09,0x0,$CCCLK,2007,03,03", nullptr, 0, sent, "$CCCLK,2007,03,03"},
      {"3,03/03/2007,14:05:09,0x0,", nullptr, 3, received, ""},
      {"4,02/29/2008,23:59:59,0x0,$GPRMC,1", nullptr, 4, NmeaRecordKind::Gps, "$GPRMC,1"},
      {"-1,03/03/2007,14:05:09,0x0,x", nullptr, -1, received, "x"},
      {"1,03/03/2007,14:05:09,0x0,a\\x0Db\\x00\\x41\\x7F\\", nullptr, 1, received,
       std::string("a\rb\0\\x41\x7F\\", 10)},
      {"1,03/03/2007,14:05:09,0x1,x", "not an NMEA log record"},
      {"1,3/03/2007,14:05:09,0x0,x", "not an NMEA log record"},
      {"1,03/03/2007,14:05:09", "not an NMEA log record"},
      {",03/03/2007,14:05:09,0x0,x", "not an NMEA log record"},
      {"$CAREV,1", "not an NMEA log record"},
      {"", "not an NMEA log record"},
      {"1,02/29/2007,14:05:09,0x0,x", "impossible date"},
      {"1,13/01/2007,14:05:09,0x0,x", "impossible date"},
      {"1,01/01/0000,14:05:09,0x0,x", "impossible date"},
      {"1,03/03/2007,24:00:00,0x0,x", "impossible time"},
      {"1,03/03/2007,14:60:09,0x0,x", "impossible time"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    NmeaLogRecord record;
    std::string scratch;
    const char* reason = nullptr;
    const bool ok = ParseNmeaLogRecord(c.line, record, scratch, reason);
    ASSERT_EQ(ok, c.reason == nullptr);
    if (!ok) {
      EXPECT_STREQ(reason, c.reason);
      continue;
    }
    EXPECT_EQ(record.source, c.source);
    EXPECT_EQ(record.kind, c.kind);
    EXPECT_EQ(record.sentence, c.sentence);
  }
  // A record cut anywhere before its text is refused, and read no byte past
  // the cut (each cut sits alone in a buffer of its size, for the sanitizer).
  const std::string whole = "1,03/03/2007,14:05:09,0x0,x";
  for (size_t n = 0; n < whole.size() - 1; ++n) {
    const std::vector<char> cut(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(n));
    NmeaLogRecord record;
    std::string scratch;
    const char* reason = nullptr;
    EXPECT_FALSE(ParseNmeaLogRecord({cut.data(), n}, record, scratch, reason)) << n;
  }
  EXPECT_EQ(NmeaLogSeconds({1970, 1, 1, 0, 0, 1}), 1);
  EXPECT_EQ(NmeaLogSeconds({2008, 3, 1, 0, 0, 0}) - NmeaLogSeconds({2008, 2, 28, 0, 0, 0}),
            2 * 86400);
}

// What the log writes is what the reader reads, across rotated files, the
// reader's buffer boundaries and control bytes; the files come in time
// order whatever order they are named in.
TEST(NmeaLogRecords, ReadsBackWhatTheLogWroteInTimeOrder) {
  test::TempDir dir;
  ManualClock clock;
  clock.now = {2007, 3, 3, 14, 5, 9};
  Logs logs(clock, dir.path(), nullptr);
  logs.LogsInit(3600);
  logs.NMEALogOpen(2);
  const int perFile = 9000;  // about 400 KB a file: more than one buffer
  std::vector<std::string> written;
  for (int file = 0; file < 3; ++file) {
    for (int i = 0; i < perFile; ++i) {
      written.push_back("$CARXD," + std::to_string(written.size()) + (i % 7 ? "" : "\x1B,\r"));
      logs.NMEALogLine(i % 2 ? 2 : 0, written.back());
    }
    clock.ticks += 3600001;
    clock.now.hour += 1;
  }
  logs.LogsCloseAll();
  const fs::path folder = dir.path() / "Logs" / "port2";
  std::vector<fs::path> named;  // newest first, the oldest twice
  for (const auto& entry : fs::directory_iterator(folder)) named.push_back(entry.path());
  std::sort(named.rbegin(), named.rend());
  named.push_back(named.back());
  ASSERT_EQ(named.size(), 4u);

  for (const auto& inputs : {named, std::vector<fs::path>{dir.path()}}) {
    NmeaLogReader reader(inputs);
    ASSERT_EQ(reader.files().size(), 3u);
    NmeaLogRecord record;
    size_t n = 0;
    int64_t last = 0;
    while (reader.Next(record)) {
      ASSERT_LT(n, written.size());
      ASSERT_EQ(record.sentence, written[n].substr(0, written[n].find('\r'))) << n;
      ASSERT_EQ(record.kind, n % 2 ? NmeaRecordKind::Received : NmeaRecordKind::Sent);
      ASSERT_GE(record.seconds, last);
      last = record.seconds;
      ++n;
    }
    EXPECT_EQ(n, written.size());
    EXPECT_EQ(reader.bytesRead(), reader.bytesTotal());
    EXPECT_EQ(reader.problems().badRecords, 0);
    EXPECT_TRUE(reader.problems().unreadable.empty());
  }
}

TEST(NmeaLogRecords, BadRecordsAreSkippedAndCountedUnreadableInputsNamed) {
  test::TempDir dir;
  const fs::path first = dir.path() / "NMEA-2007-03-03-14-00-00.CSV";
  const fs::path second = dir.path() / "copy.csv";  // no time in the name: its first record's
  const std::string good = "1,03/03/2007,15:00:00,0x0,$CAREV,1\r\n";
  Write(first,
        "1,03/03/2007,14:00:00,0x0,$CAREV,0\r\n"
        "garbage\r\n" +
            std::string(300000, 'x') + "\r\n" + good);
  Write(second, good + "1,03/03/2007,15:00:01,0x0,$CAREV,2\r\n1,03/03/2007,15:0");
  fs::create_directory(dir.path() / "empty");
  NmeaLogReader reader({second, dir.path() / "missing.CSV", first, dir.path() / "empty"});
  std::vector<std::string> read;
  NmeaLogRecord record;
  while (reader.Next(record)) read.emplace_back(record.sentence);
  EXPECT_EQ(read, (std::vector<std::string>{"$CAREV,0", "$CAREV,1", "$CAREV,1", "$CAREV,2"}));
  EXPECT_EQ(reader.problems().badRecords, 3);
  EXPECT_EQ(reader.BadRecordsLine(), "3 bad records skipped; the first at " + first.string() +
                                         " line 2: not an NMEA log record.");
  ASSERT_EQ(reader.problems().unreadable.size(), 2u);
  EXPECT_EQ(reader.problems().unreadable[0].path, dir.path() / "missing.CSV");
  EXPECT_EQ(reader.problems().unreadable[1].reason, "no NMEA log files (NMEA-*.CSV) in the folder");
}

}  // namespace
}  // namespace tw
