// `tidewire --emulate` as a process against the windowed program on two
// joined pseudo-terminals, and the demo: the headless emulator end to end.
#include <gtest/gtest.h>
#include <signal.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>
#include <fstream>
#include <regex>

#include "support/process.h"
#include "support/program_fixture.h"
#include "support/wait.h"

namespace tw::test {
namespace {

// Two devices joined back to back, as a null-modem cable joins two ports.
class NullModem {
 public:
  explicit NullModem(const std::filesystem::path& folder)
      : a_(folder / "hostA"), b_(folder / "hostB") {
    socat_.start("socat", {QString::fromStdString("pty,raw,echo=0,link=" + a_.string()),
                           QString::fromStdString("pty,raw,echo=0,link=" + b_.string())});
    (void)WaitUntil([this] { return ok() || socat_.state() == QProcess::NotRunning; });
  }
  ~NullModem() {
    socat_.kill();
    socat_.waitForFinished(kProcessHangMs);
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
  modem.setProcessEnvironment(Offscreen(home.path()));
  modem.start(TIDEWIRE_BINARY, {"--emulate", "--com", QString::fromStdString("2=" + cable.a()),
                                "--emulate-requests", "32,256"});
  ASSERT_TRUE(modem.waitForStarted(kProcessHangMs));
  // The host starts once the emulator shows its first sentence, so its
  // port is open: on a busy machine the host could otherwise ask before
  // anyone listens at the far end.
  QByteArray hostOut, modemOut;
  ReadUntil(modem, modemOut, {" <= Veluna "});
  ASSERT_TRUE(modemOut.contains(" <= Veluna ")) << "the emulator never spoke";
  QProcess host;
  host.setProcessEnvironment(Offscreen(home.path()));
  host.start(TIDEWIRE_BINARY, {"--com", QString::fromStdString("1=" + cable.b()), "--connect",
                               "--menu", "40109", "--menu", "40042", "--echo"});
  ASSERT_TRUE(host.waitForStarted(kProcessHangMs));

  ReadUntil(host, hostOut,
            {"Modem Using Config Profile [0]", "Modem Parsed Binary Data.     [256 bytes]"});
  ReadUntil(modem, modemOut, {"Host => $CCCFQ,ALL", "$CATXD,1,0,1,256"});
  host.kill();
  host.waitForFinished(kProcessHangMs);

  EXPECT_TRUE(hostOut.contains("Modem Using Config Profile [0]")) << hostOut.toStdString();
  EXPECT_TRUE(hostOut.contains("Got ACK Data Request 1->0     [256 bytes]"));
  EXPECT_TRUE(hostOut.contains("Modem Parsed Binary Data.     [256 bytes]"));
  EXPECT_TRUE(modemOut.contains("             Host => $CCCFQ,ALL")) << modemOut.toStdString();
  EXPECT_TRUE(modemOut.contains(" <= Veluna      $CACFG,ALL,0"));

  // SIGTERM ends it cleanly, its NMEA log closed with every record in it.
  ::kill(static_cast<pid_t>(modem.processId()), SIGTERM);
  ASSERT_TRUE(modem.waitForFinished(kProcessHangMs));
  EXPECT_EQ(modem.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(modem.exitCode(), 0);
  std::string log;
  for (const auto& f : std::filesystem::directory_iterator(home.path() / "Logs" / "port2")) {
    if (f.path().extension() == ".CSV") log += ReadFile(f.path());
  }
  // Host lines under the emulator's port, its answers under 0.
  const auto hasRecord = [&log](const std::string& source, const std::string& sentence) {
    const std::regex record("(^|\\n)" + source + ",[^\\r\\n]*,0x0,\\" + sentence);
    return std::regex_search(log, record);
  };
  EXPECT_TRUE(hasRecord("2", "$CCCFQ,ALL")) << log;
  EXPECT_TRUE(hasRecord("0", "$CACFG,ALL,0")) << log;
}

// A device that is not there, or a data root that cannot hold logs: it ends
// at once with exit code 1 and says why.
// With --simulate-link the far end answers what the bare emulator cannot:
// a noise measurement with a spectrum, the settings query with each value.
TEST(EmulateCommand, SimulatedLinkAnswersNoiseAndSettings) {
  TempDir home;
  NullModem cable(home.path());
  ASSERT_TRUE(cable.ok()) << "socat could not join two pseudo-terminals";
  QProcess modem;
  modem.setProcessEnvironment(Offscreen(home.path()));
  modem.start(TIDEWIRE_BINARY,
              {"--emulate", "--simulate-link", "--com", QString::fromStdString("2=" + cable.a())});
  ASSERT_TRUE(modem.waitForStarted(kProcessHangMs));
  QByteArray hostOut, modemOut;
  ReadUntil(modem, modemOut, {" <= Veluna "});  // its port is open
  ASSERT_TRUE(modemOut.contains(" <= Veluna ")) << "the emulator never spoke";
  QProcess host;
  host.setProcessEnvironment(Offscreen(home.path()));
  host.start(TIDEWIRE_BINARY, {"--com", QString::fromStdString("1=" + cable.b()), "--connect",
                               "--menu", "40283", "--menu", "40042", "--echo"});
  ASSERT_TRUE(host.waitForStarted(kProcessHangMs));
  ReadUntil(host, hostOut, {"BND:Modem uses Band A, fc = 9760 Hz", "In-Band Noise Floor Estimate"});
  host.kill();
  host.waitForFinished(kProcessHangMs);
  modem.kill();
  modem.waitForFinished(kProcessHangMs);
  EXPECT_TRUE(hostOut.contains("In-Band Noise Floor Estimate")) << hostOut.toStdString();
  EXPECT_TRUE(hostOut.contains("SRC:Modem is Unit 0"));
  EXPECT_FALSE(hostOut.contains("NMEA Error"));
}

TEST(EmulateCommand, StartUpFailuresEndAtOnceWithAReason) {
  TempDir home;
  const auto file = home.path() / "plain-file";
  std::ofstream(file) << "not a folder";
  const struct {
    QStringList args;
    QByteArray error;
    bool atStart;
  } cases[] = {
      {{"--com", QString::fromStdString("3=" + (home.path() / "none").string())}, "COM3", false},
      {{"--home", QString::fromStdString(file.string()), "--com", "1=/dev/null"},
       "tidewire: --emulate: cannot keep logs in ",
       true},
  };
  for (const auto& c : cases) {
    QProcess modem;
    modem.setProcessEnvironment(Offscreen(home.path()));
    modem.start(TIDEWIRE_BINARY, QStringList{"--emulate"} + c.args);
    ASSERT_TRUE(modem.waitForFinished(kProcessHangMs)) << c.error.toStdString();
    EXPECT_EQ(modem.exitCode(), 1) << c.error.toStdString();
    const QByteArray error = modem.readAllStandardError();
    EXPECT_TRUE(c.atStart ? error.startsWith(c.error) : error.contains(c.error))
        << error.toStdString();
  }
}

TEST(Demo, ShowsHeartbeatAndAnsweredRequestsAndLeavesNothingBehind) {
  TempDir home;
  QProcess demo;
  demo.setProcessEnvironment(Offscreen(home.path()));
  demo.start(TIDEWIRE_BINARY, {"--demo", "--echo", "--menu", "40042"});
  ASSERT_TRUE(demo.waitForStarted(kProcessHangMs));
  QByteArray out;
  ReadUntil(demo, out,
            {"Modem EMULATOR (1.00) Ready.", "Sending ACK Data to Modem     [32 bytes]",
             "Modem Parsed Binary Data.     [32 bytes]", "Modem Using Config Profile [0]"});
  EXPECT_TRUE(out.contains("Modem EMULATOR (1.00) Ready.")) << out.toStdString();
  EXPECT_TRUE(out.contains("Got ACK Data Request 1->0     [32 bytes]"));
  EXPECT_TRUE(out.contains("Modem Parsed Binary Data.     [32 bytes]"));
  EXPECT_TRUE(out.contains("Modem Using Config Profile [0]"));

  // SIGTERM ends the window's program and the emulated modem through the
  // same code as closing the window: a clean exit, nothing left.
  demo.terminate();
  ASSERT_TRUE(demo.waitForFinished(kProcessHangMs));
  EXPECT_EQ(demo.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(demo.exitCode(), 0);
}

}  // namespace
}  // namespace tw::test
