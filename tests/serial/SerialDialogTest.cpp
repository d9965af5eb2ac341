#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <memory>

#include "serial/SerialDialog.h"

namespace tw {
namespace {

class SerialDialogTest : public ::testing::Test {
 protected:
  std::unique_ptr<SerialDialog> Open() {
    return std::make_unique<SerialDialog>(port, connected, ti, ports, [this] {
      ++connectsPosted;
      portAtConnect = port.portNumber;
    });
  }
  static QComboBox* List(SerialDialog& d, const char* name) {
    auto* list = d.findChild<QComboBox*>(QString::fromLatin1(name));
    EXPECT_NE(list, nullptr) << name;
    return list;
  }
  static QPushButton* Button(SerialDialog& d, const QString& caption) {
    for (auto* b : d.findChildren<QPushButton*>()) {
      if (b->text() == caption) return b;
    }
    ADD_FAILURE() << "no button " << caption.toStdString();
    return nullptr;
  }
  static QCheckBox* Check(SerialDialog& d, const QString& caption) {
    for (auto* c : d.findChildren<QCheckBox*>()) {
      if (c->text() == caption) return c;
    }
    ADD_FAILURE() << "no check box " << caption.toStdString();
    return nullptr;
  }
  static void Choose(QComboBox* list, const QString& caption) {
    const int i = list->findText(caption, Qt::MatchStartsWith);
    ASSERT_GE(i, 0) << caption.toStdString();
    list->setCurrentIndex(i);
  }

  SerialSettings port = Settings().modemPort;  // COM1, 19200, 8 N 1
  bool connected = false;
  TerminalInfo ti;
  PortMap ports;
  int connectsPosted = 0;
  int portAtConnect = 0;
};

TEST_F(SerialDialogTest, ShowsTheDefaultsAndTheDialogsCaptions) {
  ports.set(1, "/dev/pts/7");
  auto d = Open();
  EXPECT_EQ(d->windowTitle(), "Serial Port Settings...");
  EXPECT_TRUE(List(*d, "portList")->currentText().startsWith("COM1  (/dev/pts/7)"));
  EXPECT_EQ(List(*d, "portList")->count(), 16);
  EXPECT_EQ(List(*d, "baudList")->currentText(), "19200");
  EXPECT_EQ(List(*d, "dataBitsList")->currentText(), "8");
  EXPECT_EQ(List(*d, "parityList")->currentText(), "None");
  EXPECT_EQ(List(*d, "stopBitsList")->currentText(), "1");
  EXPECT_TRUE(List(*d, "portList")->isEnabled());
  EXPECT_FALSE(Check(*d, "Autowrap")->isChecked());
  EXPECT_FALSE(Check(*d, "New Line")->isChecked());
  EXPECT_FALSE(Check(*d, "Local Echo")->isChecked());
  EXPECT_TRUE(Button(*d, "Connect")->isDefault());
  EXPECT_FALSE(Button(*d, "Apply")->isDefault());

  QStringList groups;
  for (auto* g : d->findChildren<QGroupBox*>()) groups << g->title();
  EXPECT_EQ(groups, (QStringList{"&COM Options:", "&TTY Options:"}));
  QStringList labels;
  for (auto* l : d->findChildren<QLabel*>()) {
    if (l->buddy() != nullptr) labels << l->text();
  }
  EXPECT_EQ(labels,
            (QStringList{"&Port:", "&Baud Rate:", "&Data Bits:", "P&arity:", "&Stop Bits:"}));
}

TEST_F(SerialDialogTest, ApplyStoresWhatIsShownNextTime) {
  {
    auto d = Open();
    Choose(List(*d, "dataBitsList"), "7");
    Choose(List(*d, "parityList"), "Even");
    Choose(List(*d, "baudList"), "9600");
    Check(*d, "New Line")->setChecked(true);
    Button(*d, "Apply")->click();
    EXPECT_EQ(d->result(), QDialog::Accepted);
  }
  EXPECT_EQ(port.byteSize, 7);
  EXPECT_EQ(port.parity, 2);
  EXPECT_EQ(port.baudRate, 9600);
  EXPECT_EQ(ti.newLine, 1);
  EXPECT_EQ(connectsPosted, 0);

  auto d = Open();
  EXPECT_EQ(List(*d, "dataBitsList")->currentText(), "7");
  EXPECT_EQ(List(*d, "parityList")->currentText(), "Even");
  EXPECT_EQ(List(*d, "baudList")->currentText(), "9600");
  EXPECT_TRUE(Check(*d, "New Line")->isChecked());
}

TEST_F(SerialDialogTest, CancelStoresNothing) {
  auto d = Open();
  List(*d, "portList")->setCurrentIndex(4);
  Choose(List(*d, "baudList"), "115200");
  Check(*d, "Local Echo")->setChecked(true);
  Button(*d, "Cancel")->click();
  EXPECT_EQ(d->result(), QDialog::Rejected);
  EXPECT_EQ(port.portNumber, 1);
  EXPECT_EQ(port.baudRate, 19200);
  EXPECT_EQ(ti.localEcho, 0);
  EXPECT_EQ(connectsPosted, 0);
}

TEST_F(SerialDialogTest, ConnectStoresFirstThenAsksForTheConnectionOnce) {
  ports.set(5, "/dev/ttyUSB0");
  auto d = Open();
  Choose(List(*d, "portList"), "COM5  (/dev/ttyUSB0)");
  Button(*d, "Connect")->click();
  EXPECT_EQ(d->result(), QDialog::Accepted);
  EXPECT_EQ(connectsPosted, 1);
  EXPECT_EQ(portAtConnect, 5);
  EXPECT_EQ(port.portNumber, 5);
}

TEST_F(SerialDialogTest, PortListIsLockedOnTheOpenPortWhileConnected) {
  connected = true;
  port.portNumber = 3;
  ports.set(3, "/dev/pts/9");
  auto d = Open();
  QComboBox* list = List(*d, "portList");
  EXPECT_FALSE(list->isEnabled());
  EXPECT_TRUE(list->currentText().startsWith("COM3  (/dev/pts/9)"));
  Choose(List(*d, "baudList"), "38400");
  Button(*d, "Apply")->click();
  EXPECT_EQ(port.portNumber, 3);
  EXPECT_EQ(port.baudRate, 38400);
}

TEST_F(SerialDialogTest, NoBaudSelectedKeepsTheRate) {
  port.baudRate = 57600;
  auto d = Open();
  List(*d, "baudList")->setCurrentIndex(-1);
  Button(*d, "Apply")->click();
  EXPECT_EQ(port.baudRate, 57600);
}

}  // namespace
}  // namespace tw
