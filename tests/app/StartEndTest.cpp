// How a windowed run starts and ends from the command line: start-up
// refusals say what was wrong, and each ending signal closes the logs.
#include <gtest/gtest.h>
#include <signal.h>

#include <QProcess>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/process.h"
#include "support/program_fixture.h"
#include "support/pty.h"

namespace tw::test {
namespace {

TEST(StartEnd, RefusedStartsSayWhatWasWrong) {
  TempDir home;
  const std::filesystem::path broken = home.path() / "broken.twc";
  std::ofstream(broken) << "<tidewire";
  struct Case {
    QStringList args;
    const char* says;
  } cases[] = {
      {{"--menu", "99999"}, "--menu 99999: there is no such menu command"},
      {{"--menu", "12"}, "--menu 12: there is no such menu command"},
      {{"--config", QString::fromStdString(broken.string())}, "not well-formed XML"},
      {{"--config", QString::fromStdString((home.path() / "none.twc").string())}, "does not exist"},
  };
  for (const Case& c : cases) {
    QProcess p;
    p.setProcessEnvironment(Offscreen(home.path()));
    p.start(TIDEWIRE_BINARY, c.args);
    ASSERT_TRUE(p.waitForFinished(kProcessHangMs));
    EXPECT_EQ(p.exitCode(), 2) << c.args.join(' ').toStdString();
    const QByteArray err = p.readAllStandardError();
    EXPECT_TRUE(err.contains(c.says)) << err.toStdString();
  }
}

// Each signal ends a connected window with exit code 0 and its NMEA log
// closed on a whole record; a pseudo-terminal draws no DTR/RTS warning.
TEST(StartEnd, SignalsCloseTheLogsAndExitZero) {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    TempDir home;
    QProcess p;
    p.setProcessEnvironment(Offscreen(home.path()));
    // Connect, then "NMEA Log" "Start", then "Modem Settings" (one sentence).
    p.start(TIDEWIRE_BINARY, {"--com", QString::fromStdString("1=" + pty.slavePath()), "--connect",
                              "--menu", "40026", "--menu", "40042", "--echo"});
    ASSERT_TRUE(p.waitForStarted(kProcessHangMs));
    EXPECT_EQ(pty.readUntil(), "$CCCFQ,ALL\r\n");
    ::kill(static_cast<pid_t>(p.processId()), signal);
    ASSERT_TRUE(p.waitForFinished(kProcessHangMs)) << signal;
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << signal;
    EXPECT_EQ(p.exitCode(), 0) << signal;
    EXPECT_FALSE(p.readAllStandardError().contains("DTR/RTS"));
    std::string log;
    for (const auto& e : std::filesystem::recursive_directory_iterator(home.path() / "Logs")) {
      if (e.path().extension() != ".CSV") continue;
      std::ostringstream text;
      text << std::ifstream(e.path(), std::ios::binary).rdbuf();
      log = text.str();
    }
    EXPECT_NE(log.find("$CCCFQ,ALL"), std::string::npos) << signal;
    EXPECT_TRUE(log.size() >= 2 && log.substr(log.size() - 2) == "\r\n") << signal;
  }
}

}  // namespace
}  // namespace tw::test
