// The main window as the operator sees it: size, title, menu states taken
// from the built menu bar, the about box and the connection through a real
// pseudo-terminal.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "app/AboutDialog.h"
#include "app/MainWindow.h"
#include "core/commands.h"
#include "menu/MenuBar.h"
#include "support/program_fixture.h"
#include "support/pty.h"
#include "support/wait.h"
#include "terminal/TerminalView.h"

namespace tw::test {
namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    clock.now = LocalTime{2007, 3, 3, 14, 5, 9};
    options.home = root.path();
  }
  std::unique_ptr<MainWindow> Make() {
    auto w = std::make_unique<MainWindow>(options, clock);
    w->show();
    return w;
  }
  QAction* Action(MainWindow& w, int id) {
    auto* bar = dynamic_cast<MenuBar*>(w.menuBar());
    if (!bar) return nullptr;
    auto actions = bar->ActionsFor(id);
    return actions.empty() ? nullptr : actions.front();
  }
  // Runs the event loop until `done` (or a minute has passed: a hang).
  static bool Pump(const std::function<bool()>& done) {
    return WaitUntil(done, [] { QApplication::processEvents(QEventLoop::AllEvents, 20); });
  }

  TempDir root;
  ManualClock clock;
  Options options;
};

TEST_F(MainWindowTest, OpensWithTitleSizeAndMenuStartStates) {
  auto w = Make();
  EXPECT_EQ(w->windowTitle(), "Tidewire [not connected]");
  // The status bar adds its height below the terminal's default area.
  EXPECT_EQ(w->size(), QSize(544, 612 + w->statusBar()->sizeHint().height()));
  auto* bar = w->menuBar();
  ASSERT_EQ(bar->actions().size(), 8);
  EXPECT_EQ(bar->actions()[0]->text(), "T&idewire");
  EXPECT_EQ(bar->actions()[7]->text(), "UDP");

  ASSERT_TRUE(Action(*w, cmd::DISCONNECT));
  EXPECT_FALSE(Action(*w, cmd::DISCONNECT)->isEnabled());
  EXPECT_TRUE(Action(*w, cmd::CONNECT)->isEnabled());
  EXPECT_FALSE(Action(*w, cmd::SEND_COMMS_TO_MAP)->isEnabled());  // grayed at start-up
  EXPECT_FALSE(Action(*w, cmd::SEND_GPS_TO_MAP)->isEnabled());
  EXPECT_TRUE(Action(*w, 40128)->isChecked());  // "10 seconds"
  EXPECT_TRUE(Action(*w, cmd::SHOW_HEARTBEAT)->isChecked());
  EXPECT_FALSE(Action(*w, cmd::TEST_ONCE)->isEnabled());
}

TEST_F(MainWindowTest, MenuCheckMarksFollowTheFlagsWhenTriggered) {
  auto w = Make();
  QAction* outgoing = Action(*w, cmd::SHOW_NMEA_OUTGOING);
  ASSERT_TRUE(outgoing);
  outgoing->trigger();
  EXPECT_TRUE(outgoing->isChecked());
  EXPECT_EQ(w->program().settings().showNmeaOutgoing, 1);
  // Loop testing is refused while disconnected: its mark must not appear.
  QAction* loop = Action(*w, cmd::LOOP_TESTING);
  w->program().OnCommand(cmd::LOOP_TESTING);
  EXPECT_FALSE(loop->isChecked());
}

// A window whose bell can be counted.
class CountingBellWindow : public MainWindow {
 public:
  using MainWindow::MainWindow;
  void Beep() override { ++beeps; }
  int beeps = 0;
};

TEST_F(MainWindowTest, KeyTypedIntoTheScreenOnlyRingsTheBell) {
  CountingBellWindow w(options, clock);
  w.show();
  QTest::keyClick(&w.terminalView(), Qt::Key_A);
  EXPECT_EQ(w.beeps, 1);
  EXPECT_EQ(w.program().terminal().info()->rowText(0), std::string(64, ' '));
  QTest::keyClick(&w.terminalView(), Qt::Key_Down);  // no text: no bell
  EXPECT_EQ(w.beeps, 1);
}

TEST_F(MainWindowTest, AboutBoxShowsTheVersionLine) {
  AboutDialog about(std::filesystem::path("/var/lib/tidewire"));
  EXPECT_EQ(about.versionLine(), "   Tidewire  - Version 3.07");
}

TEST_F(MainWindowTest, ConnectsToAPseudoTerminalAndSendsMenuCommands) {
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  options.ports.set(1, pty.slavePath());
  auto w = Make();
  std::vector<std::string> lines;
  w->program().terminal().AddLineListener([&](const std::string& l) { lines.push_back(l); });

  w->program().OnCommand(cmd::CONNECT);
  EXPECT_EQ(w->windowTitle(), "Tidewire [COM1]");
  EXPECT_TRUE(Action(*w, cmd::DISCONNECT)->isEnabled());
  EXPECT_FALSE(Action(*w, cmd::CONNECT)->isEnabled());

  w->program().OnCommand(cmd::SHOW_MODEM_SETTINGS);
  EXPECT_EQ(pty.readUntil(), "$CCCFQ,ALL\r\n");
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "[14:05:09] =========Modem Settings=========");

  // The far end goes away: the window must not go on showing a connection.
  pty.closeMaster();
  EXPECT_TRUE(Pump([&] { return w->windowTitle() == "Tidewire [not connected]"; }));
  EXPECT_EQ(lines.back(), "[14:05:09] Error: Lost modem port COM1, disconnected.");
}

TEST_F(MainWindowTest, F1RunsTestOnceEvenFromAnOpenDialog) {
  auto w = Make();
  // Nothing is ticked, so each test cycle says so in one line.
  int cycles = 0;
  w->program().terminal().AddLineListener([&](const std::string& line) {
    if (line.ends_with("Test Cycle: No Tests enabled.")) ++cycles;
  });
  QApplication::setActiveWindow(w.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.get(), 60000));
  QTest::keyClick(w.get(), Qt::Key_F1);
  EXPECT_TRUE(Pump([&] { return cycles == 1; }));

  // A modal dialog is open: F1 still reaches the main window's command.
  QTimer::singleShot(0, [&] {
    QWidget* about = QApplication::activeModalWidget();
    ASSERT_TRUE(about);
    QApplication::setActiveWindow(about);
    EXPECT_TRUE(QTest::qWaitForWindowActive(about, 60000));
    QTest::keyClick(about, Qt::Key_F1);
    EXPECT_TRUE(Pump([&] { return cycles == 2; }));
    about->close();
  });
  w->program().OnCommand(cmd::ABOUT);
  EXPECT_EQ(cycles, 2);
}

TEST_F(MainWindowTest, CancelInReallyQuitKeepsTheWindow) {
  auto w = Make();
  QTimer::singleShot(50, [] {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (auto* box = qobject_cast<QMessageBox*>(top); box && box->isVisible()) {
        EXPECT_EQ(box->text(), "Really Quit?");
        EXPECT_EQ(box->windowTitle(), "Tidewire");
        box->button(QMessageBox::Cancel)->click();
      }
    }
  });
  EXPECT_FALSE(w->close());
  EXPECT_TRUE(w->isVisible());
}

}  // namespace
}  // namespace tw::test
