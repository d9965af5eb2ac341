// How the windows look to an operator: devices beside both port lists with
// the missing ones marked and every column whole, read-only boxes that look
// so, a fixed-pitch emulator pane, Esc on the Noise Spectrum window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>

#include "diagnostics/NoiseChartWindow.h"
#include "emulator/EmulatorDialog.h"
#include "gps/GpsSerialDialog.h"
#include "protocol/PerformanceDialog.h"
#include "serial/SerialDialog.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

const std::vector<SerialDeviceInfo> FOUND = {
    {"/dev/ttyUSB0", "FT232R USB UART with a long description", "FTDI", "A12345678901234", ""}};

// Both dialogs list the devices, mark a port whose device is missing and
// show the last column whole.
TEST(OperatorView, PortDialogsListDevicesAndMarkMissingOnes) {
  PortMap map;
  map.set(4, "/dev/tidewire-no-such-device");
  SerialSettings port = Settings().gpsPort;  // COM4
  TerminalInfo ti;
  GpsSerialDialog gps(port, map, {});
  gps.offerDevices(map, FOUND);
  SerialDialog serial(port, false, ti, map, {});
  serial.offerDevices(map, FOUND);
  for (QDialog* d : {static_cast<QDialog*>(&gps), static_cast<QDialog*>(&serial)}) {
    d->show();
    auto* list = d->findChild<QComboBox*>("portList");
    auto* devices = d->findChild<QTreeWidget*>("deviceList");
    ASSERT_TRUE(list && devices) << d->windowTitle().toStdString();
    EXPECT_EQ(list->currentText(), "COM4  (/dev/tidewire-no-such-device)  [no device]");
    ASSERT_EQ(devices->topLevelItemCount(), 2);
    EXPECT_EQ(devices->topLevelItem(1)->text(3), "A12345678901234");
    const QHeaderView* header = devices->header();
    EXPECT_LE(header->sectionPosition(3) + header->sectionSize(3), devices->viewport()->width())
        << d->windowTitle().toStdString();
  }
}

using OperatorWindows = ProgramTest;

TEST_F(OperatorWindows, LookAsTheyShould) {
  PerformanceDialog performance(program->stats());
  for (QLineEdit* box : performance.findChildren<QLineEdit*>()) {
    EXPECT_EQ(box->palette().color(QPalette::Base), box->palette().color(QPalette::Window));
  }
  EmulatorDialog emulator(program->emulator(), program->emulatorPane());
  EXPECT_TRUE(QFontInfo(emulator.findChild<QPlainTextEdit*>()->font()).fixedPitch());
  NoiseChartWindow noise(program->noiseChart());
  noise.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&noise));
  QTest::keyClick(&noise, Qt::Key_Escape);
  EXPECT_FALSE(noise.isVisible());
}

}  // namespace
}  // namespace tw::test
