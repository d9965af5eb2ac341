// The main window's status bar: port, device and baud rate, traffic and the
// open log files, on a real pseudo-terminal; and the terminal keeps the
// height it had without the bar.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>

#include "app/MainWindow.h"
#include "core/commands.h"
#include "support/program_fixture.h"
#include "support/pty.h"
#include "support/wait.h"
#include "terminal/TerminalView.h"

namespace tw::test {
namespace {

class StatusBarWindow : public ::testing::Test {
 protected:
  StatusBarWindow() {
    clock.now = LocalTime{2007, 3, 3, 14, 5, 9};
    options.home = root.path();
  }
  QString Field(MainWindow& w, const char* name) {
    auto* label = w.statusBar()->findChild<QLabel*>(name);
    return label ? label->text() : QStringLiteral("<no %1>").arg(name);
  }
  // The 100 ms step, as its timer would run it.
  static void Step(MainWindow& w) { w.program().OnTimer(TIMER_SLOW); }

  TempDir root;
  ManualClock clock;
  Options options;
};

TEST_F(StatusBarWindow, ShowsThePortTrafficAndOpenLogs) {
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  options.ports.set(1, pty.slavePath());
  MainWindow w(options, clock);
  w.show();
  EXPECT_EQ(Field(w, "statusPort"), "not connected");
  EXPECT_EQ(Field(w, "statusTraffic"), "RX 0 B  TX 0 B");
  EXPECT_EQ(Field(w, "statusNmeaLog"), "");
  EXPECT_EQ(Field(w, "statusDataLog"), "");

  w.program().OnCommand(cmd::CONNECT);
  ASSERT_TRUE(w.program().modem().connected());
  w.program().OnCommand(cmd::NMEA_LOG_START);
  w.program().sender().SendSentence("$CCCFQ,ALL\r\n");
  Step(w);
  EXPECT_EQ(Field(w, "statusPort"),
            QString::fromStdString("COM1  " + pty.slavePath() + "  19200 baud"));
  EXPECT_EQ(Field(w, "statusTraffic"), "RX 0 B  TX 12 B");
  const auto log = w.program().logs().nmeaPath();
  EXPECT_EQ(Field(w, "statusNmeaLog"), QString::fromStdString(log.filename().string()));
  auto* nmea = w.statusBar()->findChild<QLabel*>("statusNmeaLog");
  EXPECT_EQ(nmea->toolTip(), QString::fromStdString(log.string()));
  EXPECT_TRUE(nmea->isVisible());
  EXPECT_FALSE(w.statusBar()->findChild<QLabel*>("statusDataLog")->isVisible());
  // However long the names, the bar does not widen the default window.
  EXPECT_LE(w.statusBar()->minimumSizeHint().width(), 544);

  ASSERT_TRUE(pty.write("$CADQF,230,1\r\n"));
  ASSERT_TRUE(WaitUntil([&] { return w.program().modem().bytesReceived() >= 14; },
                        [&] {
                          w.program().OnTimer(TIMER_POLL);
                          QApplication::processEvents();
                        }));
  Step(w);
  EXPECT_EQ(Field(w, "statusTraffic"), "RX 14 B  TX 12 B");

  // The counts' field keeps its size while its text changes and widens as
  // soon as a count would not fit.
  auto* traffic = w.statusBar()->findChild<QLabel*>("statusTraffic");
  const auto fits = [traffic] {
    return traffic->minimumWidth() == traffic->maximumWidth() &&
           traffic->maximumWidth() >= traffic->fontMetrics().horizontalAdvance(traffic->text());
  };
  EXPECT_TRUE(fits());
  const int before = traffic->maximumWidth();
  const std::string longSentence = "$CCTXD,1,2,0," + std::string(400, 'A') + "\r\n";
  for (int i = 0; i < 30; ++i) w.program().sender().SendSentence(longSentence);
  Step(w);
  EXPECT_EQ(Field(w, "statusTraffic"),
            QStringLiteral("RX 14 B  TX %1 B").arg(12 + 30 * longSentence.size()));
  EXPECT_TRUE(fits());
  EXPECT_GT(traffic->maximumWidth(), before);
}

TEST_F(StatusBarWindow, TheTerminalKeepsItsDefaultHeight) {
  MainWindow w(options, clock);
  w.show();
  QApplication::processEvents();
  ASSERT_TRUE(w.statusBar()->isVisible());
  // Everything the bar takes was added to the window, not taken from the
  // terminal: the window is 612 pixels tall without it, as before.
  EXPECT_EQ(w.height() - w.statusBar()->height(), 612);
  EXPECT_EQ(w.terminalView().height(), 612 - w.menuBar()->height());
  EXPECT_GE(w.statusBar()->geometry().top(), w.terminalView().geometry().bottom());
}

}  // namespace
}  // namespace tw::test
