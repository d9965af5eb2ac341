// The emulator standing in for the modem without a window: host and emulator
// as objects on one pseudo-terminal, `--emulate` as a process against the
// windowed program, and the demo.
#include <gtest/gtest.h>
#include <signal.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <chrono>
#include <filesystem>
#include <thread>

#include "app/HeadlessEmulator.h"
#include "core/commands.h"
#include "serial/QtSerialPort.h"
#include "serial/pty_port.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

bool Contains(const std::vector<std::string>& lines, const std::string& text) {
  for (const std::string& line : lines) {
    if (line.find(text) != std::string::npos) return true;
  }
  return false;
}

// A host Program on COM1 and an emulator on the other side of a
// pseudo-terminal, both driven tick by tick: one tick is five 20 ms polls of
// each and one 100 ms step of the emulator.
class HostAndEmulator : public ::testing::Test {
 protected:
  HostAndEmulator()
      : modemSide(pty),
        emulator(clock, modemSide, root.path(), Config(), [this](int code) { quitCode = code; }) {
    clock.now = LocalTime{2007, 3, 3, 14, 5, 9};
    map.set(1, pty.devicePath());
    host = std::make_unique<Program>(clock, hostPorts, ui, surface, root.path());
    host->terminal().AddLineListener(
        [this](const std::string& line) { hostLines.push_back(line.substr(11)); });
    host->Start();
  }
  static EmulatorRunConfig Config() {
    EmulatorRunConfig c;
    c.request32 = true;
    return c;
  }
  void Tick(int ticks) {
    for (int t = 0; t < ticks; ++t) {
      for (int k = 0; k < 5; ++k) {
        host->OnTimer(TIMER_POLL);
        emulator.program().OnTimer(TIMER_POLL);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
      emulator.program().OnTimer(TIMER_SLOW);
    }
  }
  std::string Pane() const {
    return const_cast<HeadlessEmulator&>(emulator).program().emulatorPane().text();
  }

  TempDir root;
  ManualClock clock;
  PseudoTerminal pty;
  PseudoTerminalOpener modemSide;
  PortMap map;
  QtSerialPortOpener hostPorts{map};
  FakeUi ui;
  RecordingSurface surface;
  int quitCode = -1;
  HeadlessEmulator emulator;
  std::unique_ptr<Program> host;
  std::vector<std::string> hostLines;
};

TEST_F(HostAndEmulator, SettingsQueryAndDataRequestsGoBothWays) {
  ASSERT_TRUE(pty.ok()) << pty.error();
  std::string error;
  ASSERT_TRUE(emulator.Start(error)) << error;
  host->OnCommand(cmd::CONNECT);
  ASSERT_TRUE(host->modem().connected());
  host->OnCommand(cmd::USE_TEST_DATA_ACK);

  // The host's own "$CCCFQ,ALL" with CR LF and no checksum is answered.
  host->OnCommand(cmd::SHOW_MODEM_SETTINGS);
  Tick(2);
  EXPECT_TRUE(Contains(hostLines, "Modem Using Config Profile [0]"));
  EXPECT_NE(Pane().find("             Host => $CCCFQ,ALL"), std::string::npos) << Pane();

  // Within 30 steps the 32-byte request comes, test data answers it, and the
  // emulator reports the bytes taken.
  Tick(31);
  EXPECT_TRUE(Contains(hostLines, "Got ACK Data Request 1->0     [32 bytes]"));
  EXPECT_TRUE(Contains(hostLines, "Sending ACK Data to Modem     [32 bytes]"));
  EXPECT_TRUE(Contains(hostLines, "Modem Parsed Binary Data.     [32 bytes]"));
  EXPECT_NE(Pane().find("NMEA: got 32 data bytes."), std::string::npos);
  EXPECT_EQ(emulator.program().emulator().state().fifoBytes, 32);
  EXPECT_EQ(quitCode, -1);

  emulator.Stop();
  EXPECT_FALSE(emulator.program().modem().connected());
}

TEST_F(HostAndEmulator, PortThatCannotOpenIsRefusedWithAReason) {
  FakePortOpener none;  // knows no port at all
  HeadlessEmulator nowhere(clock, none, root.path(), EmulatorRunConfig{}, [](int) {});
  std::string error;
  EXPECT_FALSE(nowhere.Start(error));
  EXPECT_NE(error.find("COM1"), std::string::npos) << error;
}

// ---------------------------------------------------------------- processes

QProcessEnvironment Offscreen(const TempDir& home) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("TIDEWIRE_HOME", QString::fromStdString(home.path().string()));
  return env;
}

// Reads a process's standard output until it holds every text or the time is up.
QByteArray ReadUntil(QProcess& p, QByteArray& out, const std::vector<QByteArray>& texts, int ms) {
  QElapsedTimer t;
  t.start();
  auto done = [&] {
    for (const QByteArray& text : texts) {
      if (!out.contains(text)) return false;
    }
    return true;
  };
  while (!done() && t.elapsed() < ms) {
    p.waitForReadyRead(100);
    out += p.readAllStandardOutput();
  }
  return out;
}

// Two devices joined back to back, as a null-modem cable joins two ports.
class NullModem {
 public:
  explicit NullModem(const std::filesystem::path& folder)
      : a_(folder / "hostA"), b_(folder / "hostB") {
    socat_.start("socat", {QString::fromStdString("pty,raw,echo=0,link=" + a_.string()),
                           QString::fromStdString("pty,raw,echo=0,link=" + b_.string())});
    for (int i = 0; i < 50 && !(std::filesystem::exists(a_) && std::filesystem::exists(b_)); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
  ~NullModem() {
    socat_.kill();
    socat_.waitForFinished(3000);
  }
  bool ok() const { return std::filesystem::exists(a_) && std::filesystem::exists(b_); }
  std::string a() const { return a_.string(); }
  std::string b() const { return b_.string(); }

 private:
  std::filesystem::path a_, b_;
  QProcess socat_;
};

TEST(EmulateCommand, WindowedHostAgainstTheHeadlessEmulator) {
  TempDir home;
  NullModem cable(home.path());
  ASSERT_TRUE(cable.ok()) << "socat could not join two pseudo-terminals";

  QProcess modem;
  modem.setProcessEnvironment(Offscreen(home));
  modem.start(TIDEWIRE_BINARY, {"--emulate", "--com", QString::fromStdString("2=" + cable.a()),
                                "--emulate-requests", "32,256"});
  ASSERT_TRUE(modem.waitForStarted(5000));
  // The host starts once the emulator shows its first sentence, so its
  // port is open: on a busy machine the host could otherwise ask before
  // anyone listens at the far end.
  QByteArray hostOut, modemOut;
  ReadUntil(modem, modemOut, {" <= Veluna "}, 20000);
  ASSERT_TRUE(modemOut.contains(" <= Veluna ")) << "the emulator never spoke";
  QProcess host;
  host.setProcessEnvironment(Offscreen(home));
  host.start(TIDEWIRE_BINARY, {"--com", QString::fromStdString("1=" + cable.b()), "--connect",
                               "--menu", "40109", "--menu", "40042", "--echo"});
  ASSERT_TRUE(host.waitForStarted(5000));

  ReadUntil(host, hostOut,
            {"Modem Using Config Profile [0]", "Modem Parsed Binary Data.     [256 bytes]"}, 30000);
  ReadUntil(modem, modemOut, {"Host => $CCCFQ,ALL", "$CATXD,1,0,1,256"}, 3000);
  host.kill();
  host.waitForFinished(5000);

  EXPECT_TRUE(hostOut.contains("Modem Using Config Profile [0]")) << hostOut.toStdString();
  EXPECT_TRUE(hostOut.contains("Got ACK Data Request 1->0     [256 bytes]"));
  EXPECT_TRUE(hostOut.contains("Modem Parsed Binary Data.     [256 bytes]"));
  EXPECT_TRUE(modemOut.contains("             Host => $CCCFQ,ALL")) << modemOut.toStdString();
  EXPECT_TRUE(modemOut.contains(" <= Veluna      $CACFG,ALL,0"));

  // SIGTERM ends it cleanly, its NMEA log closed with every record in it.
  ::kill(static_cast<pid_t>(modem.processId()), SIGTERM);
  ASSERT_TRUE(modem.waitForFinished(5000));
  EXPECT_EQ(modem.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(modem.exitCode(), 0);
  std::string log;
  for (const auto& f : std::filesystem::directory_iterator(home.path() / "Logs" / "port2")) {
    if (f.path().extension() == ".CSV") log += ReadFile(f.path());
  }
  // Host lines under the emulator's port, its answers under 0.
  const auto hasRecord = [&log](const std::string& source, const std::string& sentence) {
    for (size_t at = 0; at < log.size();) {
      const size_t end = log.find("\r\n", at);
      const std::string record = log.substr(at, end - at);
      if (record.rfind(source + ",", 0) == 0 &&
          record.find(",0x0," + sentence) != std::string::npos) {
        return true;
      }
      if (end == std::string::npos) break;
      at = end + 2;
    }
    return false;
  };
  EXPECT_TRUE(hasRecord("2", "$CCCFQ,ALL")) << log;
  EXPECT_TRUE(hasRecord("0", "$CACFG,ALL,0")) << log;
}

TEST(EmulateCommand, MissingDeviceFailsAtOnceWithAReason) {
  TempDir home;
  QProcess modem;
  modem.setProcessEnvironment(Offscreen(home));
  modem.start(TIDEWIRE_BINARY, {"--emulate", "--com",
                                QString::fromStdString("3=" + (home.path() / "none").string())});
  ASSERT_TRUE(modem.waitForFinished(10000));
  EXPECT_EQ(modem.exitCode(), 1);
  EXPECT_TRUE(modem.readAllStandardError().contains("COM3"));
}

TEST(Demo, ShowsHeartbeatAndAnsweredRequestsAndLeavesNothingBehind) {
  TempDir home;
  QProcess demo;
  demo.setProcessEnvironment(Offscreen(home));
  demo.start(TIDEWIRE_BINARY, {"--demo", "--echo", "--menu", "40042"});
  ASSERT_TRUE(demo.waitForStarted(5000));
  QByteArray out;
  ReadUntil(demo, out,
            {"Modem EMULATOR (1.00) Ready.", "Sending ACK Data to Modem     [32 bytes]",
             "Modem Parsed Binary Data.     [32 bytes]", "Modem Using Config Profile [0]"},
            15000);
  EXPECT_TRUE(out.contains("Modem EMULATOR (1.00) Ready.")) << out.toStdString();
  EXPECT_TRUE(out.contains("Got ACK Data Request 1->0     [32 bytes]"));
  EXPECT_TRUE(out.contains("Modem Parsed Binary Data.     [32 bytes]"));
  EXPECT_TRUE(out.contains("Modem Using Config Profile [0]"));

  // SIGTERM ends the window's program and the emulated modem through the
  // same code as closing the window: a clean exit, nothing left.
  demo.terminate();
  ASSERT_TRUE(demo.waitForFinished(5000));
  EXPECT_EQ(demo.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(demo.exitCode(), 0);
}

}  // namespace
}  // namespace tw::test
