// The serial settings dialog's device list and reconnect option: a chosen
// device maps the selected COM number on Apply and Connect, Cancel forgets
// the change, and the list is locked while the port is open.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTreeWidget>
#include <memory>

#include "serial/SerialDialog.h"

namespace tw {
namespace {

const SerialDeviceInfo UART{"/dev/ttyS0", "", "", "", ""};
const SerialDeviceInfo FTDI{"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A10K3JX2",
                            "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3JX2-if00-port0"};

class SerialDialogDevices : public ::testing::Test {
 protected:
  std::unique_ptr<SerialDialog> Open() {
    auto d = std::make_unique<SerialDialog>(port, connected, ti, shown, [this] { ++connects; });
    d->offerDevices(map, {UART, FTDI});
    d->offerReconnect(reconnect);
    portList = d->findChild<QComboBox*>("portList");
    devices = d->findChild<QTreeWidget*>("deviceList");
    reconnectBox = d->findChild<QCheckBox*>("reconnect");
    return d;
  }
  static void Press(SerialDialog& d, const char* name) {
    auto* b = d.findChild<QPushButton*>(name);
    ASSERT_NE(b, nullptr) << name;
    b->click();
  }
  int Row() const { return devices->indexOfTopLevelItem(devices->currentItem()); }

  SerialSettings port = Settings().modemPort;
  bool connected = false;
  TerminalInfo ti;
  PortMap shown, map;
  bool reconnect = false;
  int connects = 0;
  QComboBox* portList = nullptr;
  QTreeWidget* devices = nullptr;
  QCheckBox* reconnectBox = nullptr;
};

TEST_F(SerialDialogDevices, ChoosingADeviceMapsTheSelectedPortOnApply) {
  auto d = Open();
  ASSERT_TRUE(portList && devices && reconnectBox);
  ASSERT_EQ(devices->topLevelItemCount(), 3);
  EXPECT_EQ(devices->topLevelItem(2)->text(0), "/dev/ttyUSB0");
  EXPECT_EQ(devices->topLevelItem(2)->text(3), "A10K3JX2");
  EXPECT_EQ(devices->topLevelItem(2)->toolTip(0), QString::fromStdString(FTDI.byIdPath));
  EXPECT_EQ(Row(), 0);
  EXPECT_EQ(reconnectBox->text(), "Reconnect when the port returns");
  EXPECT_FALSE(reconnectBox->isChecked());

  portList->setCurrentIndex(2);  // COM3
  devices->setCurrentItem(devices->topLevelItem(2));
  EXPECT_TRUE(portList->itemText(2).startsWith("COM3  (/dev/ttyUSB0)"));  // [no device] here
  EXPECT_TRUE(map.choices().empty()) << "nothing is stored before Apply";
  portList->setCurrentIndex(0);
  EXPECT_EQ(Row(), 0);  // COM1 has none
  portList->setCurrentIndex(2);
  EXPECT_EQ(Row(), 2);
  reconnectBox->setChecked(true);

  Press(*d, "apply");
  ASSERT_EQ(map.choices().count(3), 1u);
  EXPECT_EQ(map.choices().at(3).serialNumber, "A10K3JX2");
  EXPECT_EQ(map.choices().at(3).byIdPath, FTDI.byIdPath);
  EXPECT_EQ(port.portNumber, 3);
  EXPECT_TRUE(reconnect);

  // Opened again: the choice shows, and row 0 takes it away on Connect.
  auto again = Open();
  EXPECT_EQ(portList->currentIndex(), 2);
  EXPECT_EQ(Row(), 2);
  EXPECT_TRUE(reconnectBox->isChecked());
  devices->setCurrentItem(devices->topLevelItem(0));
  Press(*again, "connect");
  EXPECT_TRUE(map.choices().empty());
  EXPECT_EQ(connects, 1);
}

TEST_F(SerialDialogDevices, CancelForgetsAndAnOpenPortIsLocked) {
  auto d = Open();
  devices->setCurrentItem(devices->topLevelItem(1));
  reconnectBox->setChecked(true);
  Press(*d, "cancel");
  EXPECT_TRUE(map.choices().empty());
  EXPECT_FALSE(reconnect);

  connected = true;
  auto locked = Open();
  EXPECT_FALSE(devices->isEnabled());
  EXPECT_TRUE(reconnectBox->isEnabled()) << "the option may change while connected";
}

}  // namespace
}  // namespace tw
