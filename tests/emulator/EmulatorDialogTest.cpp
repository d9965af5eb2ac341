// "Veluna Emulator": its menu as the operator sees it, the Quit button as
// the only way out, and the pane following the emulator's text.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <string>
#include <vector>

#include "emulator/EmulatorDialog.h"
#include "emulator/emulator_fixture.h"
#include "emulator/emulator_ids.h"
#include "menu/MenuBar.h"

namespace tw::test {
namespace {

class EmulatorWindow : public EmulatorTest {
 protected:
  EmulatorWindow() { emulator.EMUInit(); }

  // What the edit should show for the pane's text.
  QString Shown() const {
    QString text = QString::fromLatin1(pane.text().c_str());
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    return text;
  }
};

struct ItemSeen {
  QString caption;
  int id;
  bool enabled;
  bool checked;
  bool operator==(const ItemSeen&) const = default;
};

std::ostream& operator<<(std::ostream& os, const ItemSeen& i) {
  return os << i.caption.toStdString() << " " << i.id << (i.enabled ? " enabled" : " greyed")
            << (i.checked ? " checked" : "");
}

TEST_F(EmulatorWindow, MenuShowsEveryItemWithItsIdCheckMarkAndGreyedState) {
  EmulatorDialog dialog(emulator, pane);
  EXPECT_EQ(dialog.windowTitle(), "Veluna Emulator");

  QStringList titles;
  std::vector<ItemSeen> items;
  for (QAction* top : dialog.menu()->actions()) {
    ASSERT_NE(top->menu(), nullptr);
    titles << top->menu()->title();
    for (QAction* a : top->menu()->actions()) {
      items.push_back({a->text(), a->data().toInt(), a->isEnabled(), a->isChecked()});
    }
  }
  EXPECT_EQ(titles, (QStringList{"&Emulator", "&Test Messages ", "&Log", "&View"}));
  const std::vector<ItemSeen> expected = {
      {"&Quit Emulator", 40237, true, false},
      {"Heartbeat ", 40243, true, true},
      {"Data &Request [32 bytes]", 40244, true, false},
      {"Data Request [256 bytes]", 40248, true, false},
      {"&Uplink Cycle", 40241, false, false},
      {"&Downlink Cycle", 40242, false, false},
      {"Start &NMEA Logging", 40235, true, false},
      {"R&estart NMEA Logging", 40256, false, false},
      {"&Stop NMEA Logging", 40246, false, false},
      {"Start RAW Logging", 40234, true, false},
      {"Restart RAW Logging", 40257, false, false},
      {"S&top RAW Logging", 40245, false, false},
      {"User Commands", 40238, true, true},
      {"Emulator Output", 40249, true, true},
      {"Parser Messages", 40236, true, true},
      {"Messages as HEX", 40240, false, false},
  };
  EXPECT_EQ(items, expected);
}

TEST_F(EmulatorWindow, ChosenItemsActAndTheirMarksFollow) {
  EmulatorDialog dialog(emulator, pane);
  QAction* heartbeat = dialog.menu()->ActionsFor(emu::HEARTBEAT).at(0);
  heartbeat->trigger();
  EXPECT_EQ(emulator.state().heartbeat, 0);
  EXPECT_FALSE(heartbeat->isChecked());
  QAction* request = dialog.menu()->ActionsFor(emu::DATA_REQUEST_32).at(0);
  request->trigger();
  EXPECT_EQ(emulator.state().dataRequest32, 1);
  EXPECT_TRUE(request->isChecked());

  dialog.menu()->ActionsFor(emu::NMEA_LOG_START).at(0)->trigger();
  EXPECT_TRUE(logs.nmeaOpen());
  EXPECT_FALSE(dialog.menu()->ActionsFor(emu::NMEA_LOG_START).at(0)->isEnabled());
  EXPECT_TRUE(dialog.menu()->ActionsFor(emu::NMEA_LOG_STOP).at(0)->isEnabled());
  // A greyed item cannot be chosen at all.
  dialog.menu()->ActionsFor(emu::MESSAGES_AS_HEX).at(0)->trigger();
  EXPECT_FALSE(dialog.menu()->ActionsFor(emu::MESSAGES_AS_HEX).at(0)->isEnabled());
}

TEST_F(EmulatorWindow, EscapeAndTheCloseBoxLeaveItOpenAndQuitEndsItWithOne) {
  EmulatorDialog dialog(emulator, pane);
  EXPECT_TRUE(dialog.quitButton()->isDefault());
  EXPECT_EQ(dialog.quitButton()->text(), "Quit");
  EXPECT_EQ(dialog.quitButton()->objectName(), "40237");

  int result = -1;
  bool stillOpen = false;
  QTimer::singleShot(0, &dialog, [&] {
    QTest::keyClick(&dialog, Qt::Key_Escape);
    const bool closed = dialog.close();
    stillOpen = dialog.isVisible() && !closed;
    dialog.quitButton()->click();
  });
  result = dialog.exec();
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(emulator.state().running, 0);
}

TEST_F(EmulatorWindow, QuitFromTheMenuEndsItToo) {
  EmulatorDialog dialog(emulator, pane);
  QTimer::singleShot(0, &dialog, [&] { dialog.menu()->ActionsFor(emu::QUIT).at(0)->trigger(); });
  EXPECT_EQ(dialog.exec(), 1);
  EXPECT_EQ(emulator.state().running, 0);
}

TEST_F(EmulatorWindow, PaneFollowsTheTextToItsEndThroughTrimmingAndReopening) {
  emulator.EMUPrint("before the window");
  EmulatorDialog dialog(emulator, pane);
  dialog.show();
  QPlainTextEdit* edit = dialog.paneEdit();
  EXPECT_TRUE(edit->isReadOnly());
  EXPECT_EQ(edit->objectName(), "1034");
  EXPECT_EQ(edit->toPlainText(), Shown());

  Host("$CCCFQ,ALL\r\n");
  EXPECT_EQ(edit->toPlainText(), Shown());
  EXPECT_TRUE(edit->toPlainText().endsWith(" <= Veluna      $CACFG,ALL,0\n"));

  // The operator selects text at the top: new lines still go to the end.
  QTextCursor top(edit->document());
  top.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor);
  edit->setTextCursor(top);
  for (int k = 0; k < 1500; ++k) emulator.EMUPrint("line " + std::to_string(k));
  EXPECT_GT(pane.text().size(), EMU_PANE_MAX - 100);
  EXPECT_EQ(pane.text().find("before the window"), std::string::npos);
  EXPECT_EQ(edit->toPlainText(), Shown());
  EXPECT_TRUE(edit->toPlainText().endsWith("] line 1499\n"));
  QApplication::processEvents();
  EXPECT_EQ(edit->verticalScrollBar()->value(), edit->verticalScrollBar()->maximum());

  emulator.EMUInit();
  EXPECT_EQ(edit->toPlainText(), "");
}

TEST_F(EmulatorWindow, PaneFollowsTextWithCarriageReturnsOfItsOwn) {
  EmulatorDialog dialog(emulator, pane);
  const std::vector<std::string> pieces = {"a\rb\r\n", "c\r", "\nd\r\n", "\r\r\n", "e\n", "f\r"};
  // Long enough that the pane is soon full and trimmed at each one, with CR
  // and LF at both ends so that pairs form across the edges.
  const std::string filler(300, 'x');
  for (int k = 0; k < 300; ++k) {
    const std::string& piece = pieces[static_cast<size_t>(k) % pieces.size()];
    pane.EMUAppendText(piece + filler + piece);
    ASSERT_EQ(dialog.paneEdit()->toPlainText(), Shown()) << k;
  }
}

TEST_F(EmulatorWindow, PaneGoesOnWithoutTheWindow) {
  { EmulatorDialog dialog(emulator, pane); }
  emulator.EMUPrint("after the window");
  EXPECT_NE(pane.text().find("after the window"), std::string::npos);
}

}  // namespace
}  // namespace tw::test
