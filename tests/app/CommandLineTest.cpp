// The program binary driven from its command line, as an operator or a
// script would run it.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <filesystem>

#include "config/config_files.h"
#include "support/fakes.h"
#include "support/process.h"
#include "support/program_fixture.h"
#include "support/pty.h"

namespace tw::test {
namespace {

TEST(CommandLine, ConnectsSendsAMenuCommandAndEchoesTheTerminal) {
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  TempDir home;
  QProcess p;
  p.setProcessEnvironment(Offscreen(home.path()));
  p.start(TIDEWIRE_BINARY, {"--com", QString::fromStdString("1=" + pty.slavePath()), "--connect",
                            "--menu", "40042", "--echo"});
  ASSERT_TRUE(p.waitForStarted(kProcessHangMs));
  EXPECT_EQ(pty.readUntil(), "$CCCFQ,ALL\r\n");
  QByteArray out;
  ReadUntil(p, out, {"Modem Settings========="});
  p.kill();
  p.waitForFinished(kProcessHangMs);
  // "[hh:mm:ss] =========Modem Settings========="
  const QString text = QString::fromUtf8(out);
  EXPECT_TRUE(
      text.contains(QRegularExpression(R"(^\[\d\d:\d\d:\d\d\] =========Modem Settings=========$)",
                                       QRegularExpression::MultilineOption)))
      << text.toStdString();
}

// --config loads a file at start-up and says so on the terminal.
TEST(CommandLine, ConfigFileLoadsBeforeTheMenuCommands) {
  TempDir home;
  const std::filesystem::path file = home.path() / "setup.twc";
  {
    FakeUi ui;
    RecordingTextOut out;
    Settings settings;
    settings.showHeartbeat = 0;
    settings.showNmeaIncoming = 1;
    ConfigFiles config(ui, out, settings, home.path());
    ASSERT_TRUE(config.ConfigSaveFile(file)) << (out.lines.empty() ? "" : out.lines.back());
  }
  QProcess p;
  p.setProcessEnvironment(Offscreen(home.path()));
  p.start(TIDEWIRE_BINARY,
          {"--config", QString::fromStdString(file.string()), "--menu", "40292", "--echo"});
  ASSERT_TRUE(p.waitForStarted(kProcessHangMs));
  QByteArray out;
  ReadUntil(p, out, {"loaded:"});
  p.kill();
  p.waitForFinished(kProcessHangMs);
  EXPECT_TRUE(out.contains(QByteArray("loaded: \"") + file.string().c_str() + "\""))
      << out.toStdString();
}

TEST(CommandLine, BadOptionsExitWithCodeTwo) {
  TempDir home;
  QProcess p;
  p.setProcessEnvironment(Offscreen(home.path()));
  p.start(TIDEWIRE_BINARY, {"--com", "99=/dev/null"});
  ASSERT_TRUE(p.waitForFinished(kProcessHangMs));
  EXPECT_EQ(p.exitCode(), 2);
  EXPECT_TRUE(p.readAllStandardError().contains("--com"));
}

TEST(CommandLine, WithoutADisplayItSaysSoAndFails) {
  TempDir home;
  QProcessEnvironment env = Offscreen(home.path());
  env.remove("QT_QPA_PLATFORM");
  env.remove("DISPLAY");
  env.remove("WAYLAND_DISPLAY");
  QProcess p;
  p.setProcessEnvironment(env);
  p.start(TIDEWIRE_BINARY, {});
  ASSERT_TRUE(p.waitForFinished(kProcessHangMs));
  EXPECT_NE(p.exitCode(), 0);
  EXPECT_TRUE(p.readAllStandardError().contains("no display"));
}

TEST(CommandLine, UnreachableXServerIsReportedNotCrashedOn) {
  TempDir home;
  QProcessEnvironment env = Offscreen(home.path());
  env.remove("QT_QPA_PLATFORM");
  env.remove("WAYLAND_DISPLAY");
  env.insert("DISPLAY", ":97");  // nothing listens there
  QProcess p;
  p.setProcessEnvironment(env);
  p.start(TIDEWIRE_BINARY, {});
  ASSERT_TRUE(p.waitForFinished(kProcessHangMs));
  EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(p.exitCode(), 1);
  EXPECT_TRUE(p.readAllStandardError().contains("no display"));
}

TEST(CommandLine, HelpAndVersionNeedNoDisplay) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("DISPLAY");
  p.setProcessEnvironment(env);
  p.start(TIDEWIRE_BINARY, {"--version"});
  ASSERT_TRUE(p.waitForFinished(kProcessHangMs));
  EXPECT_EQ(p.exitCode(), 0);
  EXPECT_EQ(p.readAllStandardOutput(), "Tidewire 3.07\n");
}

TEST(CommandLine, HelpListsEveryOption) {
  QProcess p;
  p.start(TIDEWIRE_BINARY, {"--help"});
  ASSERT_TRUE(p.waitForFinished(kProcessHangMs));
  EXPECT_EQ(p.exitCode(), 0);
  const QByteArray out = p.readAllStandardOutput();
  for (const char* option : {"--help", "--version", "--home", "--com", "--connect", "--menu",
                             "--echo", "--config", "--demo", "--emulate", "--emulate-requests"}) {
    EXPECT_TRUE(out.contains(option)) << option;
  }
}

TEST(CommandLine, GrayedMenuCommandIsRefusedLikeTheMenuWould) {
  TempDir home;
  QProcess p;
  p.setProcessEnvironment(Offscreen(home.path()));
  // "NMEA Log" "Start" is grayed until connected.
  p.start(TIDEWIRE_BINARY, {"--menu", "40026", "--menu", "40042", "--echo"});
  ASSERT_TRUE(p.waitForStarted(kProcessHangMs));
  QByteArray out;
  ReadUntil(p, out, {"Not Connected"});
  p.kill();
  p.waitForFinished(kProcessHangMs);
  EXPECT_TRUE(p.readAllStandardError().contains("--menu 40026: the menu item is grayed"));
  EXPECT_TRUE(out.contains("Error: Not Connected!"));
  EXPECT_FALSE(std::filesystem::exists(home.path() / "Logs"));
}

}  // namespace
}  // namespace tw::test
