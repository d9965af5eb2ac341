// `tidewire --replay` offscreen with --echo: a recorded cruise (a folder of
// rotated NMEA logs, tests/replay/cruise) prints its transcript, writes
// nothing and ends with exit code 0; a log that cannot be read ends with 1.
// TIDEWIRE_RECORD_REPLAYS=1 writes the expected transcript instead.
#include <gtest/gtest.h>

#include <QProcess>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/process.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

namespace fs = std::filesystem;

// Runs the program offscreen on `args` with its output into a file; the
// exit code and what it printed.
std::pair<int, std::string> RunTidewire(const fs::path& home, const QStringList& args) {
  QProcess p;
  // Paths in what it prints are given from here, the same on every machine.
  p.setWorkingDirectory(TW_REPLAY_DIR);
  p.setProcessEnvironment(Offscreen(home));
  const fs::path out = home / "transcript";
  p.setStandardOutputFile(QString::fromStdString(out.string()));
  p.start(TIDEWIRE_BINARY, args);
  if (!p.waitForFinished(kProcessHangMs)) return {-1, "hung"};
  std::string text = ReadFile(out);
  fs::remove(out);
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, text};
}

TEST(ReplayCommand, PlaysARecordedCruiseToItsTranscript) {
  TempDir home;
  // Show NMEA Outgoing and Show GPS Messages on, then the replay.
  const auto [code, transcript] =
      RunTidewire(home.path(), {"--menu", "40293", "--menu", "40371", "--replay", "cruise",
                                "--replay-speed", "max", "--echo"});
  EXPECT_EQ(code, 0);
  const fs::path expected = fs::path(TW_REPLAY_DIR) / "cruise.transcript";
  const char* record = std::getenv("TIDEWIRE_RECORD_REPLAYS");
  if (record != nullptr && std::string(record) == "1") {
    std::ofstream(expected, std::ios::binary) << transcript;
  }
  EXPECT_EQ(transcript, ReadFile(expected));
  // A replay writes nowhere: no log, no received file.
  EXPECT_TRUE(fs::is_empty(home.path()));

  const auto [badCode, lines] = RunTidewire(home.path(), {"--replay", "nowhere.CSV", "--echo"});
  EXPECT_EQ(badCode, 1);
  EXPECT_NE(lines.find("] Replay: cannot read nowhere.CSV: "), std::string::npos) << lines;
}

}  // namespace
}  // namespace tw::test
