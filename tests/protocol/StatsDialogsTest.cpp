// The "Performance", "Change Modem Settings" and "Enter Command String"
// windows on a program with a fake modem port.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <memory>

#include "protocol/CustomStringDialog.h"
#include "protocol/ModemSettingsDialog.h"
#include "protocol/PerformanceDialog.h"
#include "support/program_fixture.h"
#include "support/wait.h"

namespace tw::test {
namespace {

using namespace stats_ctl;

void PressKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers);
  QApplication::sendEvent(target, &release);
}

class PerformanceWindow : public ProgramTest {};

TEST_F(PerformanceWindow, ShowsTheRecordLiveAndResets) {
  PerformanceStats& stats = program->stats();
  StatsAddAGC(stats, 100);
  PerformanceDialog dialog(stats);
  dialog.show();
  EXPECT_TRUE(stats.dialogShown);
  EXPECT_EQ(dialog.fieldText(MEAN_AGC), "100.0");
  EXPECT_EQ(dialog.fieldText(MEAN_DQF), "NaN");

  // Updates show at once while the window is open.
  StatsAddAGC(stats, 50);
  StatsAddDQF(stats, 7);
  StatsSetRange(stats, 2, 0.5f * program->state().soundSpeed);
  EXPECT_EQ(dialog.fieldText(MEAN_AGC), " 75.0");
  EXPECT_EQ(dialog.fieldText(DETECTS), "1");
  EXPECT_EQ(dialog.fieldText(REPLIES[2]), "1");
  EXPECT_EQ(dialog.fieldText(RANGES[2]), "750.0");

  dialog.resetButton()->click();
  EXPECT_EQ(dialog.fieldText(MEAN_AGC), "NaN");
  EXPECT_EQ(dialog.fieldText(DETECTS), "0");
  EXPECT_EQ(dialog.fieldText(REPLIES[2]), "0");
  EXPECT_EQ(dialog.fieldText(RANGES[2]), "NaN");
  EXPECT_TRUE(dialog.isVisible());
}

TEST_F(PerformanceWindow, OnlyHideClosesIt) {
  PerformanceStats& stats = program->stats();
  PerformanceDialog dialog(stats);
  dialog.show();
  PressKey(&dialog, Qt::Key_Escape);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_FALSE(dialog.close());
  EXPECT_TRUE(dialog.isVisible());

  EXPECT_TRUE(dialog.hideButton()->isDefault());
  dialog.hideButton()->click();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_FALSE(stats.dialogShown);
  EXPECT_FALSE(stats.refresh);
  // Counting goes on while hidden and shows on the next opening.
  StatsCountCycle(stats);
  EXPECT_EQ(dialog.fieldText(CYCLES), "0");
  PerformanceDialog again(stats);
  again.show();
  EXPECT_EQ(again.fieldText(CYCLES), "1");
}

TEST_F(PerformanceWindow, RecordLetsGoOfAWindowThatIsGone) {
  PerformanceStats& stats = program->stats();
  {
    PerformanceDialog dialog(stats);
    dialog.show();
  }
  EXPECT_FALSE(stats.dialogShown);
  EXPECT_FALSE(stats.refresh);
  StatsCountPing(stats);  // must not reach the destroyed window
  EXPECT_EQ(stats.pings, 1);
}

class ModemSettingsWindow : public ProgramTest {};

TEST_F(ModemSettingsWindow, ApplySendsAndStaysOpen) {
  auto port = Connect();
  ModemSettingsDialog dialog(program->sender());
  dialog.show();
  ASSERT_EQ(dialog.settingList()->count(), 39);
  EXPECT_EQ(dialog.settingList()->currentIndex(), 0);

  dialog.settingList()->setCurrentIndex(22);
  EXPECT_EQ(dialog.settingList()->currentText(), "NRV: Number of Cycles to Revert ");
  dialog.valueEdit()->setText("5");
  dialog.applyButton()->click();
  dialog.applyButton()->click();
  EXPECT_EQ(port->written, "$CCCFG,NRV,5\r\n$CCCFG,NRV,5\r\n");
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.valueEdit()->text(), "5");

  port->written.clear();
  dialog.valueEdit()->setText(QString(40, 'x'));
  dialog.applyButton()->click();
  EXPECT_EQ(port->written, "$CCCFG,NRV," + std::string(39, 'x') + "\r\n");

  dialog.closeButton()->click();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), 1);
}

// A refused value stays in the dialog with its reason; the modem's value
// under the list follows its reports while the dialog is open.
TEST_F(ModemSettingsWindow, RefusesWhatTheRowDoesNotAllowAndFollowsTheModemsReports) {
  auto port = Connect();
  ReportedConfig reported;
  ModemSettingsDialog dialog(program->sender(), &reported);
  dialog.show();
  for (const char* value : {"abc", "0"}) {
    dialog.valueEdit()->setText(value);
    dialog.applyButton()->click();
  }
  EXPECT_EQ(port->written, "$CCCFG,AGC,0\r\n");
  EXPECT_FALSE(dialog.refusalLabel()->isVisible());
  dialog.valueEdit()->setText("abc");
  dialog.applyButton()->click();
  EXPECT_EQ(dialog.refusalLabel()->text(), "AGC takes 0 or 1; \"abc\" was not sent.");
  EXPECT_TRUE(dialog.refusalLabel()->isVisible());

  reported.Record("$CACFG,AGC,0\r\n");  // the modem's answer
  EXPECT_TRUE(WaitUntil([&] { return dialog.reportedLabel()->text() == "Modem's value: \"0\""; },
                        [] { QApplication::processEvents(QEventLoop::AllEvents, 20); }));
}

class CustomStringWindow : public ProgramTest {};

TEST_F(CustomStringWindow, OpensOnTheStoredLineAndOkStoresWithCrLf) {
  program->settings().customString = "$CCCFQ,ALL\r\n";
  CustomStringDialog dialog(program->settings().customString, program->terminal(),
                            program->sender());
  dialog.show();
  EXPECT_EQ(dialog.commandEdit()->toPlainText(), "$CCCFQ,ALL");
  dialog.commandEdit()->setPlainText("$CCMEC,0,2,1,1,1");
  dialog.okButton()->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(program->settings().customString, "$CCMEC,0,2,1,1,1\r\n");
}

TEST_F(CustomStringWindow, EnterPressesOkAndCtrlEnterBreaksTheLine) {
  CustomStringDialog dialog(program->settings().customString, program->terminal(),
                            program->sender());
  dialog.show();
  dialog.commandEdit()->setPlainText("ONE");
  dialog.commandEdit()->moveCursor(QTextCursor::End);
  PressKey(dialog.commandEdit(), Qt::Key_Return, Qt::ControlModifier);
  dialog.commandEdit()->insertPlainText("TWO");
  EXPECT_TRUE(dialog.isVisible());
  PressKey(dialog.commandEdit(), Qt::Key_Return);
  EXPECT_FALSE(dialog.isVisible());
  // Lines of the stored string end in CR LF like the string itself.
  EXPECT_EQ(program->settings().customString, "ONE\r\nTWO\r\n");
}

TEST_F(CustomStringWindow, TestSendsAndStaysOpenAndCancelKeepsWhatItStored) {
  auto port = Connect();
  TakeLines();
  CustomStringDialog dialog(program->settings().customString, program->terminal(),
                            program->sender());
  dialog.show();
  dialog.commandEdit()->setPlainText("$CCCYC,0,0,1,0,0,1");
  dialog.testButton()->click();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(TakeLines(),
            std::vector<std::string>{"Sending Custom String: 18 bytes: '$CCCYC,0,0,1,0,...'"});
  EXPECT_EQ(port->written, "$CCCYC,0,0,1,0,0,1\r\n");
  dialog.commandEdit()->setPlainText("NOT STORED");
  dialog.cancelButton()->click();
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(program->settings().customString, "$CCCYC,0,0,1,0,0,1\r\n");
}

}  // namespace
}  // namespace tw::test
