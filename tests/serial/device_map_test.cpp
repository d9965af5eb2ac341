// Devices by name: a chosen adapter is found again under another name, a
// different adapter under the old name is not taken for it, and the port
// map and the settings dialog's device list keep the choice.
#include "serial/device_map.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "serial/port_map.h"
#include "serial/serial_dialog.h"
#include "support/program_fixture.h"

namespace tw {
namespace {

using test::TempDir;
using Devices = std::vector<SerialDeviceInfo>;

const SerialDeviceInfo FTDI{"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A10K3JX2",
                            "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3JX2-if00-port0"};
const SerialDeviceInfo PROLIFIC{"/dev/ttyUSB1", "USB-Serial Controller", "Prolific", "",
                                "/dev/serial/by-id/usb-Prolific_USB-Serial_Controller-if00-port0"};
const SerialDeviceInfo UART{"/dev/ttyS0", "", "", "", ""};

const SerialDeviceInfo* Find(const SerialDeviceInfo& chosen, const Devices& found) {
  return FindChosenDevice(ChoiceOf(chosen), found);
}

TEST(DeviceChoices, FoundAgainByTheirLastingNames) {
  // Plugged into another socket: a new path, found by its serial number.
  SerialDeviceInfo moved = FTDI;
  moved.path = "/dev/ttyUSB3";
  moved.byIdPath.clear();
  Devices found{UART, moved};
  ASSERT_NE(Find(FTDI, found), nullptr);
  EXPECT_EQ(Find(FTDI, found)->path, "/dev/ttyUSB3");

  // Another adapter now has the old name: it is not the chosen one.
  SerialDeviceInfo other = FTDI;
  other.serialNumber = "B77";
  other.byIdPath = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_B77-if00-port0";
  EXPECT_EQ(Find(FTDI, {UART, other}), nullptr);

  // No serial number: the by-id path finds it under a new path.
  SerialDeviceInfo prolificMoved = PROLIFIC;
  prolificMoved.path = "/dev/ttyUSB0";
  found = {FTDI, UART, prolificMoved};
  EXPECT_EQ(Find(PROLIFIC, found), &found[2]);

  // Nothing lasting at all: the path is all there is.
  found = {FTDI, UART};
  EXPECT_EQ(Find(UART, found), &found[1]);
  EXPECT_EQ(Find(UART, {FTDI}), nullptr);
}

TEST(DeviceChoices, PortsOfOneAdapterSharingASerialNumberStayApart) {
  SerialDeviceInfo portA = FTDI, portB = FTDI;
  portA.byIdPath = "/dev/serial/by-id/usb-FTDI_Dual_X1-if00-port0";
  portB.byIdPath = "/dev/serial/by-id/usb-FTDI_Dual_X1-if01-port0";
  portB.path = "/dev/ttyUSB1";
  const Devices found{portA, portB};
  EXPECT_EQ(Find(portB, found), &found[1]);
  EXPECT_EQ(Find(portA, found), &found[0]);
  // By-id links missing (an older system): the path tells them apart.
  SerialDeviceInfo a = portA, b = portB;
  a.byIdPath.clear();
  b.byIdPath.clear();
  const Devices bare{a, b};
  EXPECT_EQ(FindChosenDevice({FTDI.serialNumber, "", "/dev/ttyUSB1"}, bare), &bare[1]);
}

TEST(DeviceChoices, ByIdLinksNameTheirDevices) {
  TempDir dir;
  const auto dev = dir.path() / "dev";
  const auto byId = dir.path() / "by-id";
  std::filesystem::create_directories(dev);
  std::filesystem::create_directories(byId);
  std::ofstream(dev / "ttyUSB0").put('x');
  std::filesystem::create_symlink("../dev/ttyUSB0", byId / "usb-FTDI_A1-if00-port0");
  std::filesystem::create_symlink("../dev/ttyUSB9", byId / "usb-gone-if00-port0");  // dangling

  const auto links = ReadByIdLinks(byId);
  ASSERT_EQ(links.size(), 1u);
  const std::string real = std::filesystem::canonical(dev / "ttyUSB0").string();
  EXPECT_EQ(links.at(real), (byId / "usb-FTDI_A1-if00-port0").string());

  Devices devices{{(dev / "ttyUSB0").string(), "", "", "", ""}, UART};
  AddByIdPaths(devices, links);
  EXPECT_EQ(devices[0].byIdPath, (byId / "usb-FTDI_A1-if00-port0").string());
  EXPECT_EQ(devices[1].byIdPath, "");
  EXPECT_TRUE(ReadByIdLinks(dir.path() / "missing").empty());
}

TEST(DeviceChoices, ListLinesSayWhatIsKnown) {
  EXPECT_EQ(DeviceListLine(FTDI),
            "/dev/ttyUSB0  FT232R USB UART  by FTDI  serial number A10K3JX2  " + FTDI.byIdPath);
  EXPECT_EQ(DeviceListLine(UART), "/dev/ttyS0");
  EXPECT_EQ(DeviceListText({}), "No serial devices found.\n");
  EXPECT_EQ(DeviceListText({UART, UART}), "/dev/ttyS0\n/dev/ttyS0\n");
}

TEST(PortMapChoices, TheCommandLineWinsUntilTheOperatorChooses) {
  PortMap map;
  map.set(1, "/dev/pts/4");
  EXPECT_EQ(map.device(1), "/dev/pts/4");
  map.choose(1, ChoiceOf(FTDI));  // as from a configuration file
  EXPECT_EQ(map.device(1), "/dev/pts/4");
  ASSERT_EQ(map.choices().count(1), 1u);
  const std::vector<DeviceRow> rows = DeviceRows(map, {FTDI});
  EXPECT_EQ(DeviceRowFor(rows, map, 1), 0) << "the dialog shows what the port opens";
  ChooseDeviceRow(rows, 1, map, 1);  // the operator picks it in the dialog
  EXPECT_FALSE(map.given(1));
  EXPECT_EQ(map.device(1), "/dev/ttyUSB0");
  EXPECT_EQ(DeviceRowFor(rows, map, 1), 1);

  // Found under a new path: the map opens that from now on.
  SerialDeviceInfo moved = FTDI;
  moved.path = "/dev/ttyUSB2";
  EXPECT_TRUE(map.resolve(1, {UART, moved}));
  EXPECT_EQ(map.device(1), "/dev/ttyUSB2");
  EXPECT_EQ(map.choices().at(1).serialNumber, "A10K3JX2");
  EXPECT_FALSE(map.resolve(1, {UART}));
  EXPECT_EQ(map.device(1), "/dev/ttyUSB2") << "absent: the last known path";
  EXPECT_FALSE(map.resolve(2, {UART}));

  // A choice known only by serial number (from a file) opens once found.
  map.choose(3, {"A10K3JX2", "", ""});
  EXPECT_TRUE(map.resolve(3, {moved}));
  EXPECT_EQ(map.device(3), "/dev/ttyUSB2");

  map.set(1, "/dev/pts/5");
  EXPECT_EQ(map.choices().count(1), 0u);
  EXPECT_EQ(map.device(1), "/dev/pts/5");
  map.choose(3, {});
  EXPECT_EQ(map.choices().count(3), 0u);
}

TEST(DeviceRowsOfTheDialog, AbsentChoicesStayListedAndRowsMapBack) {
  PortMap map;
  map.set(2, "/dev/pts/9");
  map.choose(1, ChoiceOf(FTDI));
  const SerialDeviceInfo away{"/dev/ttyACM0", "", "", "S1", ""};
  map.choose(4, ChoiceOf(away));
  map.choose(5, ChoiceOf(away));  // the same device for two ports: one row

  const Devices found{UART, FTDI};
  const auto rows = DeviceRows(map, found);
  ASSERT_EQ(rows.size(), 4u);  // none, the two found, the absent one
  EXPECT_TRUE(rows[0].choice.empty());
  EXPECT_EQ(rows[2].info.path, "/dev/ttyUSB0");
  EXPECT_FALSE(rows[3].present);
  EXPECT_EQ(rows[3].info.serialNumber, "S1");

  EXPECT_EQ(DeviceRowFor(rows, map, 1), 2);
  EXPECT_EQ(DeviceRowFor(rows, map, 2), 0);  // a --com mapping is no chosen device
  EXPECT_EQ(DeviceRowFor(rows, map, 4), 3);
  EXPECT_EQ(DeviceRowFor(rows, map, 6), 0);

  ChooseDeviceRow(rows, 1, map, 6);
  EXPECT_EQ(map.device(6), "/dev/ttyS0");
  EXPECT_EQ(DeviceRowFor(rows, map, 6), 1);
  ChooseDeviceRow(rows, 0, map, 1);
  EXPECT_EQ(map.choices().count(1), 0u);
  ChooseDeviceRow(rows, 99, map, 4);  // no such row: nothing changes
  EXPECT_EQ(DeviceRowFor(rows, map, 4), 3);
  EXPECT_EQ(UnchosenDevice(map, 6), PortMap().device(6));
  EXPECT_EQ(map.device(6), "/dev/ttyS0");
}

}  // namespace
}  // namespace tw
