// A run without a desktop (the offscreen platform): a message box goes to
// standard error and the --menu commands after it still run; a log that
// cannot be opened is named, with the system's reason, on the terminal.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>
#include <fstream>

#include "support/process.h"
#include "support/program_fixture.h"
#include "support/pty.h"

namespace tw::test {
namespace {

TEST(HeadlessBoxes, OpenErrorGoesToStandardErrorAndLaterMenuCommandsRun) {
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  TempDir home;
  // The log folder is a file: the NMEA log cannot be opened.
  { std::ofstream(home.path() / "Logs") << "in the way"; }
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("TIDEWIRE_HOME", QString::fromStdString(home.path().string()));
  QProcess p;
  p.setProcessEnvironment(env);
  // Connect, start the NMEA log (fails: a box), then ask the modem for its
  // settings: that sentence only goes out if the box did not hold the run.
  p.start(TIDEWIRE_BINARY, {"--com", QString::fromStdString("1=" + pty.slavePath()), "--menu",
                            "256", "--menu", "40026", "--menu", "40042", "--echo"});
  ASSERT_TRUE(p.waitForStarted(kProcessHangMs));
  EXPECT_EQ(pty.readUntil(), "$CCCFQ,ALL\r\n");
  QByteArray out, err;
  ReadErrorUntil(p, err, "Open Error");
  ReadUntil(p, out, {"Not a directory."});
  p.kill();
  p.waitForFinished(kProcessHangMs);
  out += p.readAllStandardOutput();
  err += p.readAllStandardError();
  const std::string path = (home.path() / "Logs" / "port1").string();
  EXPECT_TRUE(err.contains(QByteArray("tidewire: Open Error: ERROR Opening ") + path.c_str()))
      << err.toStdString();
  EXPECT_TRUE(out.contains(QByteArray("Error: Can't open log file '") + path.c_str()))
      << out.toStdString();
  EXPECT_TRUE(out.contains("Not a directory.")) << out.toStdString();
}

}  // namespace
}  // namespace tw::test
