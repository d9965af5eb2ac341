// Reconnecting on real pseudo-terminals: the modem's line is pulled, comes
// back as a new device under the same name, and data and the NMEA log carry
// on; on the way, failures say why.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/program.h"
#include "core/commands.h"
#include "serial/QtSerialPort.h"
#include "support/fakes.h"
#include "support/program_fixture.h"
#include "support/pty.h"
#include "support/wait.h"

namespace tw::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class ModemOnPty : public ::testing::Test {
 protected:
  ModemOnPty() : opener(map) {
    clock.now = LocalTime{2007, 3, 3, 14, 5, 9};
    clock.ticks = 1000;
  }
  void SetUp() override {
    ASSERT_TRUE(first->ok());
    link = root.path() / "modem";
    fs::create_symlink(first->slavePath(), link);
    map.set(1, link.string());
    program = std::make_unique<Program>(clock, opener, ui, surface, root.path());
    program->terminal().AddLineListener(
        [this](const std::string& line) { lines.push_back(line.substr(11)); });
    program->Start();
  }
  // The 20 ms poll and the 100 ms step, `ms` milliseconds of them, with the
  // program's clock moving as fast as the loop runs.
  void Run(int ms, const std::function<bool()>& until = {}) {
    for (int t = 0; t < ms; t += 20) {
      clock.ticks += 20;
      program->OnTimer(TIMER_POLL);
      if (t % 100 == 80) program->OnTimer(TIMER_SLOW);
      if (until && until()) return;
      usleep(500);
    }
  }
  // Runs the poll and the step, as Run does, until `done` holds: for what
  // comes through the pseudo-terminal, which the system's terminal layer
  // passes on in its own time.
  void RunUntil(const std::function<bool()>& done) {
    int t = 0;
    EXPECT_TRUE(WaitUntil(done, [&] {
      clock.ticks += 20;
      program->OnTimer(TIMER_POLL);
      if (t++ % 5 == 4) program->OnTimer(TIMER_SLOW);
    }));
  }
  Lines TakeLines() {
    Lines out;
    out.swap(lines);
    return out;
  }

  TempDir root;
  fs::path link;
  std::unique_ptr<PtyPair> first = std::make_unique<PtyPair>();
  PortMap map;
  QtSerialPortOpener opener;
  ManualClock clock;
  FakeUi ui;
  NullSurface surface;
  std::unique_ptr<Program> program;
  Lines lines;
};

TEST_F(ModemOnPty, PulledAndBackDataAndTheLogCarryOn) {
  program->SetReconnect(true);
  program->OnCommand(cmd::CONNECT);
  ASSERT_TRUE(program->modem().connected());
  program->OnCommand(cmd::NMEA_LOG_START);
  const fs::path firstLog = program->logs().nmeaPath();
  ASSERT_TRUE(first->write("$CADQF,230,1\r\n"));
  RunUntil([&] { return !lines.empty(); });
  EXPECT_EQ(TakeLines(), Lines{"Quality Factor = 230          [OK]"});

  first->closeMaster();  // pulled
  RunUntil([&] { return !program->modem().connected(); });
  ASSERT_FALSE(program->modem().connected());
  EXPECT_EQ(TakeLines(),
            (Lines{"Error: Lost modem port COM1, disconnected.", "Trying COM1 again every 2 s."}));
  first.reset();
  // The name goes too: a test running beside this one may get the freed
  // terminal's number, and the tries must not reach it.
  fs::remove(link);
  Run(4100);  // two quiet tries on a device that is not there
  EXPECT_TRUE(TakeLines().empty());
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_FALSE(program->modem().connected());

  // Back: a new pseudo-terminal under the name the port opens.
  clock.now.second = 30;
  PtyPair second;
  ASSERT_TRUE(second.ok());
  fs::remove(link);
  fs::create_symlink(second.slavePath(), link);
  Run(2100, [&] { return program->modem().connected(); });
  ASSERT_TRUE(program->modem().connected());
  EXPECT_EQ(TakeLines(), Lines{"Reconnected to COM1 (" + link.string() + ") at 19200 baud."});
  ASSERT_TRUE(program->logs().nmeaOpen());
  const fs::path resumed = program->logs().nmeaPath();
  EXPECT_NE(resumed, firstLog);

  // Both ways again.
  ASSERT_TRUE(second.write("$CADQF,231,1\r\n"));
  RunUntil([&] { return !lines.empty(); });
  EXPECT_EQ(TakeLines(), Lines{"Quality Factor = 231          [OK]"});
  program->sender().SendSentence("$CCCFQ,ALL\r\n");
  EXPECT_EQ(second.readUntil(), "$CCCFQ,ALL\r\n");
  program->OnCommand(cmd::DISCONNECT);
  EXPECT_NE(ReadFile(firstLog).find("$CADQF,230,1"), std::string::npos);
  const std::string after = ReadFile(resumed);
  EXPECT_NE(after.find("$CADQF,231,1"), std::string::npos);
  EXPECT_NE(after.find("$CCCFQ,ALL"), std::string::npos);
}

TEST_F(ModemOnPty, FailuresNameTheDeviceAndTheReason) {
  // Missing.
  map.set(1, (root.path() / "ttyUSB7").string());
  program->OnCommand(cmd::CONNECT);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Can't Connect (in use?)");
  Lines got = TakeLines();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].rfind("Error: Can't Connect COM1 (" + (root.path() / "ttyUSB7").string() +
                             "): " + std::strerror(ENOENT) + ";",
                         0),
            0u)
      << got[0];

  // Held by another program that locked it, under its own name or a link.
  for (const std::string& name : {first->slavePath(), link.string()}) {
    SCOPED_TRACE(name);
    const int holder = ::open(first->slavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    map.set(1, name);
    program->OnCommand(cmd::CONNECT);
    EXPECT_EQ(TakeLines(), Lines{"Error: Can't Connect COM1 (" + name +
                                 "): Device or resource busy; another program holds it."});
    EXPECT_FALSE(program->modem().connected());
    ::close(holder);
  }

  // Held by this program's own GPS port: the same reason for the GPS.
  program->OnCommand(cmd::CONNECT);
  ASSERT_TRUE(program->modem().connected());
  TakeLines();
  program->settings().gpsPort.portNumber = 1;
  EXPECT_FALSE(program->gps().GPSOpen());
  EXPECT_EQ(TakeLines(), Lines{"Error: Can't Connect GPS port COM1 (" + link.string() +
                               "): Device or resource busy; another program holds it."});
  EXPECT_EQ(ui.boxes.back().text, "Can't Connect (in use?)");
  EXPECT_EQ(ui.boxes.back().caption, "GPS Port");
}

}  // namespace
}  // namespace tw::test
