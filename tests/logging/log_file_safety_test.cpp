// What stands under a log's next name, and a disk that fills part way
// through a record. POSIX only: FIFOs, symbolic links, alarm() and a file
// size limit.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/clock.h"
#include "logging/logs.h"
#include "support/program_fixture.h"

namespace tw {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;

class LogFileSafety : public ::testing::Test {
 protected:
  LogFileSafety() {
    clock.now = {2007, 3, 3, 14, 5, 9};
    logs.SetFailureLine([this](const std::string& line, bool) { lines.push_back(line); });
    logs.LogsInit(3600);
  }

  test::TempDir dir;
  ManualClock clock;
  std::vector<std::string> lines;
  Logs logs{clock, dir.path(), nullptr};
};

// Each name is refused at once with one line, and nothing outside is
// written. An open that waits on a FIFO ends the run through the alarm.
TEST_F(LogFileSafety, NamesThatAreNotThisRunsOwnFilesAreRefused) {
  const fs::path name = dir.path() / "Logs" / "port1" / "NMEA-2007-03-03-14-05-09.CSV";
  const fs::path outside = dir.path() / "outside.txt", pipe = dir.path() / "pipe";
  fs::create_directories(name.parent_path());
  std::ofstream(outside) << "kept";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  int reader = -1;
  const struct {
    const char* what;
    std::function<void()> make;
    const char* why;
  } cases[] = {
      {"FIFO", [&] { ::mkfifo(name.c_str(), 0600); }, "it is not a plain file"},
      {"FIFO with a reader",
       [&] {
         ::mkfifo(name.c_str(), 0600);
         reader = ::open(name.c_str(), O_RDONLY | O_NONBLOCK);
       },
       "it is not a plain file"},
      {"link to a file", [&] { fs::create_symlink(outside, name); }, "symbolic link"},
      {"link to a FIFO", [&] { fs::create_symlink(pipe, name); }, "symbolic link"},
      {"dangling link", [&] { fs::create_symlink(dir.path() / "nowhere", name); }, "symbolic link"},
      {"folder", [&] { fs::create_directory(name); }, "it is a folder"},
      {"file made elsewhere", [&] { std::ofstream(name) << "theirs"; }, "did not make"},
      {"file replaced after this run made it",
       [&] {
         logs.NMEALogOpen(1);
         logs.NMEALogClose();
         fs::remove(name);
         std::ofstream(name) << "theirs";
       },
       "did not make"},
  };
  ::alarm(60);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(name);
    c.make();
    lines.clear();
    logs.NMEALogOpen(1);
    logs.NMEALogLine(1, "$CAREV,written");
    EXPECT_FALSE(logs.nmeaOpen());
    EXPECT_EQ(lines.size(), 1u);  // no ASSERT: the alarm must be cleared
    const std::string said = lines.empty() ? "" : lines[0];
    EXPECT_NE(said.find(c.why), std::string::npos) << said;
  }
  ::alarm(0);
  ::close(reader);
  EXPECT_EQ(ReadFile(outside), "kept");
  EXPECT_EQ(ReadFile(name), "theirs");
  EXPECT_FALSE(fs::exists(dir.path() / "nowhere"));
}

// The file may grow by ten bytes only: the next record is written part way
// and then fails, as on a full disk.
TEST_F(LogFileSafety, AFullDiskLeavesTheLastWholeRecordLast) {
  logs.NMEALogOpen(1);
  logs.NMEALogLine(1, "$CAREV,whole");
  const fs::path file = logs.nmeaPath();
  const std::string whole = ReadFile(file);
  rlimit old{};
  ::getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = whole.size() + 10;
  const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
  const bool limited = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
  logs.NMEALogLine(1, "$CAREV,this record does not fit");
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldSignal);
  ASSERT_TRUE(limited);
  EXPECT_FALSE(logs.nmeaOpen());
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0],
            "Error: Writing log file '" + file.string() + "' failed: File too large. Log closed.");
  EXPECT_EQ(ReadFile(file), whole);
}

}  // namespace
}  // namespace tw
