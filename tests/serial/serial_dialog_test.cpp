#include "serial/serial_dialog.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

// What the operator sees in each list for a set of controls.
struct Shown {
  std::string port, baud, dataBits, parity, stopBits;
};

std::string CaptionAt(const std::vector<std::string>& captions, int index) {
  return index >= 0 && static_cast<size_t>(index) < captions.size()
             ? captions[static_cast<size_t>(index)]
             : "<none>";
}

Shown Show(const SerialDialogValues& v) {
  return {CaptionAt(PortCaptions(), v.portIndex),
          CaptionAt(FillComboFromStrings(BAUD_RATE_ITEMS, 0).captions, v.baudIndex),
          CaptionAt(DataBitsCaptions(), v.dataBitsIndex),
          CaptionAt(FillComboFromStrings(PARITY_ITEMS, 0).captions, v.parityIndex),
          CaptionAt(FillComboFromStrings(STOP_BITS_ITEMS, 0).captions, v.stopBitsIndex)};
}

TEST(SerialDialogModel, ListsHoldTheirEntriesInOrder) {
  const auto ports = PortCaptions();
  ASSERT_EQ(ports.size(), 16u);
  EXPECT_EQ(ports.front(), "COM1");
  EXPECT_EQ(ports[9], "COM10");
  EXPECT_EQ(ports.back(), "COM16");
  EXPECT_EQ(DataBitsCaptions(), (std::vector<std::string>{"5", "6", "7", "8"}));

  const ComboList baud = FillComboFromStrings(BAUD_RATE_ITEMS, 57600);
  EXPECT_EQ(baud.captions, (std::vector<std::string>{"2400", "4800", "9600", "19200", "38400",
                                                     "57600", "115200"}));
  EXPECT_EQ(baud.values, (std::vector<int32_t>{2400, 4800, 9600, 19200, 38400, 57600, 115200}));
  EXPECT_EQ(baud.selected, 5);

  // Parity is selected by its code, not by its place in the list.
  const ComboList parity = FillComboFromStrings(PARITY_ITEMS, 1);
  EXPECT_EQ(parity.captions, (std::vector<std::string>{"None", "Even", "Odd", "Mark", "Space"}));
  EXPECT_EQ(parity.values, (std::vector<int32_t>{0, 2, 1, 3, 4}));
  EXPECT_EQ(parity.captions[static_cast<size_t>(parity.selected)], "Odd");

  EXPECT_EQ(FillComboFromStrings(BAUD_RATE_ITEMS, 230400).selected, -1);
  EXPECT_EQ(FillComboFromStrings(STOP_BITS_ITEMS, 2).selected, -1);
}

TEST(SerialDialogModel, DefaultsShowCom1At19200With8None1) {
  const TerminalInfo ti;
  const SerialDialogValues v = FillSerialDialog(Settings().modemPort, false, ti);
  const Shown shown = Show(v);
  EXPECT_EQ(shown.port, "COM1");
  EXPECT_EQ(shown.baud, "19200");
  EXPECT_EQ(shown.dataBits, "8");
  EXPECT_EQ(shown.parity, "None");
  EXPECT_EQ(shown.stopBits, "1");
  EXPECT_FALSE(v.autoWrap || v.newLine || v.localEcho);
  EXPECT_TRUE(v.portListEnabled);
}

TEST(SerialDialogModel, ChoicesAreStoredAndShownAgain) {
  TerminalInfo ti;
  SerialSettings port = Settings().modemPort;
  SerialDialogValues v = FillSerialDialog(port, false, ti);
  v.portIndex = 9;
  v.baudIndex = 6;
  v.dataBitsIndex = 2;
  v.parityIndex = 1;
  v.autoWrap = true;
  v.localEcho = true;
  ReadSerialDialog(v, port, ti);

  EXPECT_EQ(port.portNumber, 10);
  EXPECT_EQ(port.baudRate, 115200);
  EXPECT_EQ(port.byteSize, 7);
  EXPECT_EQ(port.parity, 2);
  EXPECT_EQ(port.stopBits, 0);
  EXPECT_EQ(ti.autoWrap, 1);
  EXPECT_EQ(ti.newLine, 0);
  EXPECT_EQ(ti.localEcho, 1);

  const SerialDialogValues again = FillSerialDialog(port, false, ti);
  const Shown shown = Show(again);
  EXPECT_EQ(shown.port, "COM10");
  EXPECT_EQ(shown.baud, "115200");
  EXPECT_EQ(shown.dataBits, "7");
  EXPECT_EQ(shown.parity, "Even");
  EXPECT_TRUE(again.autoWrap && again.localEcho && !again.newLine);
}

TEST(SerialDialogModel, NothingSelectedShowsAndKeepsTheStoredValues) {
  TerminalInfo ti;
  SerialSettings port;
  port.portNumber = 4;
  port.baudRate = 38400;
  port.byteSize = 6;
  port.parity = 4;
  SerialDialogValues v;  // every list without a selection
  v.newLine = true;
  ReadSerialDialog(v, port, ti);
  EXPECT_EQ(port.portNumber, 4);
  EXPECT_EQ(port.baudRate, 38400);
  EXPECT_EQ(port.byteSize, 6);
  EXPECT_EQ(port.parity, 4);
  EXPECT_EQ(port.stopBits, 0);
  EXPECT_EQ(ti.newLine, 1);

  // A value no entry carries selects nothing, and is not replaced by guesswork.
  port.baudRate = 12345;
  port.byteSize = 9;
  port.portNumber = 17;
  const Shown shown = Show(FillSerialDialog(port, false, ti));
  EXPECT_EQ(shown.port + shown.baud + shown.dataBits, "<none><none><none>");
  ReadSerialDialog(FillSerialDialog(port, false, ti), port, ti);
  EXPECT_EQ(port.baudRate, 12345);
  port.baudRate = 38400;
  port.byteSize = 6;
  port.portNumber = 4;

  // Indexes past the lists' ends are no selection either.
  v.portIndex = 16;
  v.baudIndex = 7;
  v.dataBitsIndex = 4;
  v.parityIndex = 5;
  ReadSerialDialog(v, port, ti);
  EXPECT_EQ(port.portNumber, 4);
  EXPECT_EQ(port.baudRate, 38400);
  EXPECT_EQ(port.byteSize, 6);
  EXPECT_EQ(port.parity, 4);
}

TEST(SerialDialogModel, PortListIsLockedWhileConnected) {
  const TerminalInfo ti;
  EXPECT_TRUE(FillSerialDialog(SerialSettings{}, false, ti).portListEnabled);
  EXPECT_FALSE(FillSerialDialog(SerialSettings{}, true, ti).portListEnabled);
}

TEST(SerialDialogModel, PortItemsNameTheDeviceBehindEachPort) {
  PortMap ports;
  ports.set(3, "/dev/pts/7");
  const auto items = PortListItems(ports);
  ASSERT_EQ(items.size(), 16u);
  EXPECT_EQ(items[2].caption, "COM3");
  EXPECT_EQ(items[2].device, "/dev/pts/7");
  EXPECT_EQ(items[0].caption, "COM1");
  EXPECT_EQ(items[0].device, ports.device(1));
}

}  // namespace
}  // namespace tw
