// "GPS Serial Settings": its lists, what it selects, and what Connect and
// Cancel store.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <memory>

#include "gps/GpsSerialDialog.h"

namespace tw {
namespace {

class GpsSerialDialogTest : public ::testing::Test {
 protected:
  std::unique_ptr<GpsSerialDialog> Open() {
    return std::make_unique<GpsSerialDialog>(port, ports, [this] {
      ++connects;
      atConnect = port;
    });
  }
  static QComboBox* List(GpsSerialDialog& d, const char* name) {
    auto* list = d.findChild<QComboBox*>(QString::fromLatin1(name));
    EXPECT_NE(list, nullptr) << name;
    return list;
  }
  static QPushButton* Button(GpsSerialDialog& d, const QString& caption) {
    for (auto* b : d.findChildren<QPushButton*>()) {
      if (b->text() == caption) return b;
    }
    ADD_FAILURE() << "no button " << caption.toStdString();
    return nullptr;
  }

  SerialSettings port = Settings().gpsPort;  // COM4, 4800
  PortMap ports;
  int connects = 0;
  SerialSettings atConnect;
};

TEST_F(GpsSerialDialogTest, ShowsPortsWithTheirDevicesAndTheSevenRates) {
  ports.set(4, "/dev/ttyUSB0");
  auto d = Open();
  EXPECT_EQ(d->windowTitle(), "GPS Serial Settings");
  QComboBox* portList = List(*d, "portList");
  QComboBox* baudList = List(*d, "baudList");
  ASSERT_EQ(portList->count(), 16);
  EXPECT_TRUE(portList->itemText(0).startsWith("COM1  ("));
  EXPECT_TRUE(portList->itemText(15).startsWith("COM16  ("));
  EXPECT_TRUE(portList->currentText().startsWith("COM4  (/dev/ttyUSB0)"));
  EXPECT_EQ(portList->currentData().toInt(), 4);
  QStringList rates;
  for (int i = 0; i < baudList->count(); ++i) rates << baudList->itemText(i);
  EXPECT_EQ(rates, (QStringList{"2400", "4800", "9600", "19200", "38400", "57600", "115200"}));
  EXPECT_EQ(baudList->currentText(), "4800");
  EXPECT_EQ(baudList->currentData().toInt(), 4800);

  EXPECT_TRUE(Button(*d, "Connect")->isDefault());
  EXPECT_FALSE(Button(*d, "Cancel")->isDefault());
  QStringList groups;
  for (auto* g : d->findChildren<QGroupBox*>()) groups << g->title();
  EXPECT_EQ(groups, QStringList{"GPS Serial"});
  QStringList labels;
  for (auto* l : d->findChildren<QLabel*>()) {
    if (l->buddy() != nullptr) labels << l->text();
  }
  EXPECT_EQ(labels, (QStringList{"&Port:", "&Baud Rate:"}));
}

TEST_F(GpsSerialDialogTest, ConnectStoresTheChoiceBeforeAskingToConnect) {
  auto d = Open();
  List(*d, "portList")->setCurrentIndex(1);
  List(*d, "baudList")->setCurrentIndex(List(*d, "baudList")->findText("38400"));
  Button(*d, "Connect")->click();
  EXPECT_EQ(connects, 1);
  EXPECT_EQ(atConnect.portNumber, 2);
  EXPECT_EQ(atConnect.baudRate, 38400);
  EXPECT_EQ(port.portNumber, 2);
  EXPECT_EQ(d->result(), QDialog::Accepted);
}

TEST_F(GpsSerialDialogTest, CancelLeavesEverythingAsItWas) {
  auto d = Open();
  List(*d, "portList")->setCurrentIndex(9);
  List(*d, "baudList")->setCurrentIndex(0);
  Button(*d, "Cancel")->click();
  EXPECT_EQ(connects, 0);
  EXPECT_EQ(port.portNumber, 4);
  EXPECT_EQ(port.baudRate, 4800);
  EXPECT_EQ(d->result(), QDialog::Rejected);
}

}  // namespace
}  // namespace tw
