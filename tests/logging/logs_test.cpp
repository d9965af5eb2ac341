#include "logging/logs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/clock.h"
#include "support/program_fixture.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

size_t OpenDescriptors() {
  return static_cast<size_t>(std::distance(fs::directory_iterator("/proc/self/fd"), {}));
}

struct Box {
  std::string text, caption;
};

class LogsTest : public ::testing::Test {
 protected:
  LogsTest() {
    clock.now = {2007, 3, 3, 14, 5, 9};
    clock.ticks = 1000;
    logs.LogsInit(3600);
  }

  fs::path LogDir(int port) const { return dir.path() / "Logs" / ("port" + std::to_string(port)); }
  fs::path NmeaFile(int port, const char* stamp) const {
    return LogDir(port) / (std::string("NMEA-") + stamp + ".CSV");
  }

  test::TempDir dir;  // declared first: removed after the logs have closed their files
  ManualClock clock;
  std::vector<Box> boxes;
  Logs logs{clock, dir.path(), [this](const std::string& text, const std::string& caption) {
              boxes.push_back({text, caption});
            }};
};

TEST_F(LogsTest, NamesFollowPortAndTimeAndFoldersAreMade) {
  logs.NMEALogOpen(1);
  clock.now.month = 11;
  clock.now.hour = 0;
  logs.DataLogOpen(12);

  const fs::path nmea = NmeaFile(1, "2007-03-03-14-05-09");
  const fs::path data = LogDir(12) / "DATA-2007-11-03-00-05-09.BIN";
  EXPECT_EQ(logs.nmeaPath(), nmea);
  EXPECT_EQ(logs.dataPath(), data);
  EXPECT_TRUE(fs::is_regular_file(nmea));
  EXPECT_TRUE(fs::is_regular_file(data));
  EXPECT_EQ(logs.logPortNumber(), 12);
  EXPECT_TRUE(boxes.empty());

  logs.LogsCloseAll();
  EXPECT_FALSE(logs.nmeaOpen());
  EXPECT_FALSE(logs.dataOpen());
  EXPECT_TRUE(logs.nmeaPath().empty());
  EXPECT_EQ(fs::file_size(data), 0u);  // started and stopped with nothing written
}

TEST_F(LogsTest, RecordsEndInCrLfWithoutTheLineEndsOfTheText) {
  logs.NMEALogOpen(3);
  logs.NMEALogLine(0, "$CCCLK,2007,03,03,14,05,09\r\n");
  clock.now.second = 10;
  logs.NMEALogLine(3, "$CAREV,1\n\r");
  logs.NMEALogLine(3, "$CAREV,2\r\r\n");
  logs.NMEALogLine(3, "$CAREV,3");
  logs.NMEALogLine(3, "");
  logs.NMEALogLine(3, "\r\n");
  logs.NMEALogLine(3, "a\rb,\"c\"\r");  // only the end is the record's own
  logs.NMEALogLine(3, std::string("x\0y\x1B[2J\x7F\tz\r\n", 12));

  EXPECT_EQ(test::ReadFile(logs.nmeaPath()),
            "0,03/03/2007,14:05:09,0x0,$CCCLK,2007,03,03,14,05,09\r\n"
            "3,03/03/2007,14:05:10,0x0,$CAREV,1\r\n"
            "3,03/03/2007,14:05:10,0x0,$CAREV,2\r\n"
            "3,03/03/2007,14:05:10,0x0,$CAREV,3\r\n"
            "3,03/03/2007,14:05:10,0x0,\r\n"
            "3,03/03/2007,14:05:10,0x0,\r\n"
            "3,03/03/2007,14:05:10,0x0,a\\x0Db,\"c\"\r\n"
            "3,03/03/2007,14:05:10,0x0,x\\x00y\\x1B[2J\\x7F\tz\r\n");
  EXPECT_EQ(logs.nmeaRecordCount(), 8);
}

TEST_F(LogsTest, LongLinesAreCutTo599Characters) {
  logs.NMEALogOpen(1);
  logs.NMEALogLine(1, std::string(599, 'a'));
  logs.NMEALogLine(1, std::string(700, 'b'));
  // 600 characters: the cut keeps the CR, which is then stripped.
  logs.NMEALogLine(1, std::string(598, 'c') + "\r\n");

  const std::string head = "1,03/03/2007,14:05:09,0x0,";
  EXPECT_EQ(test::ReadFile(logs.nmeaPath()), head + std::string(599, 'a') + "\r\n" + head +
                                                 std::string(599, 'b') + "\r\n" + head +
                                                 std::string(598, 'c') + "\r\n");
}

TEST_F(LogsTest, The65537thRecordStartsANewFile) {
  logs.NMEALogOpen(1);
  const fs::path first = logs.nmeaPath();
  for (int i = 0; i < 65536; ++i) logs.NMEALogLine(1, "$CATXF");
  EXPECT_EQ(logs.nmeaPath(), first);
  EXPECT_EQ(logs.nmeaRecordCount(), 65536);

  clock.now.second = 10;
  logs.NMEALogLine(1, "$CAMSG,next");
  EXPECT_EQ(logs.nmeaPath(), NmeaFile(1, "2007-03-03-14-05-10"));
  EXPECT_EQ(logs.nmeaRecordCount(), 1);
  EXPECT_EQ(test::ReadFile(logs.nmeaPath()), "1,03/03/2007,14:05:10,0x0,$CAMSG,next\r\n");

  const std::string old = test::ReadFile(first);
  EXPECT_EQ(std::count(old.begin(), old.end(), '\n'), 65536);
  EXPECT_EQ(old.find("next"), std::string::npos);
}

TEST_F(LogsTest, AnHourOldFileIsReplacedByTheNextLine) {
  logs.NMEALogOpen(1);
  const fs::path first = logs.nmeaPath();
  clock.now = {2007, 3, 3, 15, 5, 9};
  clock.ticks = 1000 + 3600000;
  logs.NMEALogLine(1, "on the hour");
  EXPECT_EQ(logs.nmeaPath(), first);

  clock.ticks += 1;
  logs.NMEALogLine(1, "past the hour");
  EXPECT_EQ(logs.nmeaPath(), NmeaFile(1, "2007-03-03-15-05-09"));
  EXPECT_EQ(test::ReadFile(logs.nmeaPath()), "1,03/03/2007,15:05:09,0x0,past the hour\r\n");
  EXPECT_EQ(test::ReadFile(first), "1,03/03/2007,15:05:09,0x0,on the hour\r\n");
}

TEST_F(LogsTest, AgeIsMeasuredAcrossTheTickCounterWrap) {
  clock.ticks = 0xFFFFFF00u;
  logs.NMEALogOpen(1);
  const fs::path first = logs.nmeaPath();
  clock.ticks = 0x20;  // 0x120 ms later
  logs.NMEALogLine(1, "soon after the wrap");
  EXPECT_EQ(logs.nmeaPath(), first);
  EXPECT_EQ(logs.nmeaRecordCount(), 1);

  clock.ticks = 0xFFFFFF00u + 3600001u;  // wraps
  clock.now.hour = 15;
  logs.NMEALogLine(1, "an hour later");
  EXPECT_EQ(logs.nmeaPath(), NmeaFile(1, "2007-03-03-15-05-09"));
  EXPECT_EQ(logs.nmeaRecordCount(), 1);
}

TEST_F(LogsTest, ReopeningInTheSameSecondAppendsToTheFile) {
  logs.NMEALogOpen(2);
  logs.NMEALogLine(2, "first");
  logs.NMEALogClose();
  logs.NMEALogOpen(logs.logPortNumber());
  logs.NMEALogLine(2, "second");

  EXPECT_EQ(test::ReadFile(logs.nmeaPath()),
            "2,03/03/2007,14:05:09,0x0,first\r\n2,03/03/2007,14:05:09,0x0,second\r\n");
  EXPECT_EQ(logs.nmeaRecordCount(), 1);

  const uint8_t a[] = {1, 2};
  const uint8_t b[] = {3};
  logs.DataLogOpen(2);
  logs.DataLogWrite(a, sizeof a);
  logs.DataLogOpen(2);  // on an open log: closes the old file, same name
  logs.DataLogWrite(b, sizeof b);
  EXPECT_EQ(test::ReadFile(logs.dataPath()), std::string("\x01\x02\x03", 3));
}

TEST_F(LogsTest, AClosedLogIgnoresLinesAndBytes) {
  const uint8_t byte = 7;
  logs.NMEALogLine(1, "before start");
  logs.DataLogWrite(&byte, 1);
  EXPECT_FALSE(fs::exists(dir.path() / "Logs"));

  logs.NMEALogOpen(1);
  const fs::path file = logs.nmeaPath();
  logs.NMEALogLine(1, "kept");
  logs.NMEALogClose();
  logs.NMEALogClose();  // a second close does nothing
  logs.NMEALogLine(1, "after stop");
  EXPECT_EQ(test::ReadFile(file), "1,03/03/2007,14:05:09,0x0,kept\r\n");
}

TEST_F(LogsTest, AFileThatCannotBeOpenedIsReportedAndTheLogStaysClosed) {
  // A regular file where the data root should be: no folder can be made.
  const fs::path root = dir.path() / "not-a-folder";
  std::ofstream(root) << "x";
  std::vector<Box> seen;
  Logs bad(clock, root, [&](const std::string& text, const std::string& caption) {
    seen.push_back({text, caption});
  });
  bad.LogsInit(3600);

  bad.NMEALogOpen(4);
  const std::string path = (root / "Logs" / "port4" / "NMEA-2007-03-03-14-05-09.CSV").string();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, "ERROR Opening " + path + " \n\r");
  EXPECT_EQ(seen[0].caption, "Open Error");
  EXPECT_FALSE(bad.nmeaOpen());
  EXPECT_TRUE(bad.nmeaPath().empty());

  bad.NMEALogLine(4, "$CAREV");
  bad.DataLogOpen(4);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].text, "ERROR Opening " +
                              (root / "Logs" / "port4" / "DATA-2007-03-03-14-05-09.BIN").string() +
                              " \n\r");
  EXPECT_FALSE(bad.dataOpen());
  EXPECT_EQ(test::ReadFile(root), "x");
}

TEST_F(LogsTest, AFailedReopenOnRotationLeavesTheLogClosed) {
  logs.NMEALogOpen(1);
  // The port folder is moved away and a plain file takes its name.
  fs::rename(LogDir(1), dir.path() / "moved");
  std::ofstream(LogDir(1)) << "x";
  clock.ticks += 3600001;
  clock.now.hour = 15;
  logs.NMEALogLine(1, "lost");

  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Open Error");
  EXPECT_FALSE(logs.nmeaOpen());
  logs.NMEALogLine(1, "still closed");
  EXPECT_EQ(boxes.size(), 1u);  // no new attempt until the operator starts it again
}

TEST_F(LogsTest, EachRecordIsOnDiskBeforeTheFileIsClosed) {
  logs.NMEALogOpen(1);
  logs.NMEALogLine(1, "$CACYC,1");
  EXPECT_EQ(test::ReadFile(logs.nmeaPath()), "1,03/03/2007,14:05:09,0x0,$CACYC,1\r\n");

  logs.DataLogOpen(1);
  const uint8_t b = 0x5A;
  logs.DataLogWrite(&b, 1);
  EXPECT_EQ(test::ReadFile(logs.dataPath()), "Z");
}

TEST_F(LogsTest, TheDataLogKeepsEveryByteValue) {
  std::vector<uint8_t> bytes(256);
  for (int i = 0; i < 256; ++i) bytes[i] = static_cast<uint8_t>(i);
  logs.DataLogOpen(5);
  const fs::path file = logs.dataPath();
  logs.DataLogWrite(bytes.data(), 100);
  logs.DataLogWrite(bytes.data() + 100, 156);
  logs.DataLogClose();

  const std::string got = test::ReadFile(file);
  EXPECT_EQ(std::vector<uint8_t>(got.begin(), got.end()), bytes);
}

TEST_F(LogsTest, BothLogsShareThePortNumberUsedForReopening) {
  logs.NMEALogOpen(1);
  logs.DataLogOpen(7);
  clock.ticks += 3600001;
  logs.NMEALogLine(1, "rotated");
  EXPECT_EQ(logs.nmeaPath(), NmeaFile(7, "2007-03-03-14-05-09"));

  logs.NMEALogClose();
  logs.NMEALogOpen(logs.logPortNumber());  // NMEA Restart
  EXPECT_EQ(logs.nmeaPath().parent_path(), LogDir(7));
}

TEST_F(LogsTest, FilesAreClosedNotLeaked) {
  const size_t before = OpenDescriptors();
  {
    Logs local(clock, dir.path(), nullptr);
    local.LogsInit(3600);
    local.NMEALogOpen(1);
    clock.now.second = 10;
    local.NMEALogOpen(1);  // over an open log
    local.DataLogOpen(1);
    local.DataLogOpen(1);
    EXPECT_EQ(OpenDescriptors(), before + 2);
  }
  EXPECT_EQ(OpenDescriptors(), before);
}

}  // namespace
}  // namespace tw
