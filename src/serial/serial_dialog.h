// The "Serial Port Settings..." dialog without its widgets: what its lists
// hold, what they show for a terminal record, and how the operator's choices
// are stored back. The Qt dialog only moves these values in and out.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "core/settings.h"
#include "serial/port_map.h"
#include "terminal/terminal_info.h"

namespace tw {

// One entry of a drop-down list: its caption and the value stored for it.
struct ComboItem {
  const char* caption;
  int32_t value;
};

// A list ready for a combo box: captions in order, item data beside them and
// the entry to select (-1: none).
struct ComboList {
  std::vector<std::string> captions;
  std::vector<int32_t> values;
  int selected = -1;
};

// Values are the line codes the port settings are kept in: parity 0 none,
// 1 odd, 2 even, 3 mark, 4 space; stop bits 0 one, 1 one and a half, 2 two.
inline constexpr std::array<ComboItem, 7> BAUD_RATE_ITEMS{{{"2400", 2400},
                                                           {"4800", 4800},
                                                           {"9600", 9600},
                                                           {"19200", 19200},
                                                           {"38400", 38400},
                                                           {"57600", 57600},
                                                           {"115200", 115200}}};
inline constexpr std::array<ComboItem, 5> PARITY_ITEMS{
    {{"None", 0}, {"Even", 2}, {"Odd", 1}, {"Mark", 3}, {"Space", 4}}};
// One and a half and two stop bits exist as codes but are not offered.
inline constexpr std::array<ComboItem, 1> STOP_BITS_ITEMS{{{"1", 0}}};
constexpr int FIRST_DATA_BITS = 5;
constexpr int LAST_DATA_BITS = 8;
constexpr const char* PORT_PREFIX = "COM";

// Adds every item in order and selects the one whose value equals
// `current`; none is selected when no value matches. The GPS dialog fills
// its baud list the same way.
ComboList FillComboFromStrings(std::span<const ComboItem> items, int64_t current);

// "COM1" .. "COM16"; entry i is port i + 1.
std::vector<std::string> PortCaptions();
// "5" .. "8"; entry i is i + 5 data bits.
std::vector<std::string> DataBitsCaptions();

// A port entry with the device that stands behind it, for a list that shows
// both (the caption stays "COM3").
struct PortListItem {
  std::string caption;
  std::string device;
  bool present = true;  // the device is there now
};
std::vector<PortListItem> PortListItems(const PortMap& ports);
// The same, each marked with whether its device is there now.
std::vector<PortListItem> PortListItems(const PortMap& ports,
                                        const std::function<bool(const std::string&)>& exists);
// "COM3  (/dev/ttyUSB0)", or just "COM3" when the device is named so; a
// port whose device is not there says so: "COM3  (/dev/ttyS2)  [no device]".
std::string PortListCaption(const PortListItem& item);

// The port and baud lists, which the GPS port's dialog has too: the
// entries of a port's number and baud rate (-1 for a value no entry has),
// and the selected entries stored back (nothing valid selected leaves the
// field as it was).
struct PortChoice {
  int portIndex = -1;
  int baudIndex = -1;
};
PortChoice FillPortChoice(const SerialSettings& port);
void ReadPortChoice(const PortChoice& choice, SerialSettings& port);

// What the dialog's controls hold. An index of -1 means nothing selected.
struct SerialDialogValues {
  int portIndex = -1;
  int baudIndex = -1;
  int dataBitsIndex = -1;
  int parityIndex = -1;
  int stopBitsIndex = -1;
  bool autoWrap = false, newLine = false, localEcho = false;
  bool portListEnabled = true;
};

// The device list beside the port list. Row 0 chooses no device (the port
// opens what --com, the environment or the default names); then one row per
// device found; then the chosen devices that are not there now, so applying
// the dialog does not forget them.
struct DeviceRow {
  SerialDeviceInfo info;  // what the row shows
  DeviceChoice choice;    // what choosing it keeps; empty for row 0
  bool present = true;
};
std::vector<DeviceRow> DeviceRows(const PortMap& map, const std::vector<SerialDeviceInfo>& found);
// The row that shows the device chosen for `port` (0 when none is, or the
// command line's mapping overrides it).
int DeviceRowFor(const std::vector<DeviceRow>& rows, const PortMap& map, int port);
// Chooses row `row`'s device for `port` in `map`, in place of a mapping
// from the command line (row 0: none).
void ChooseDeviceRow(const std::vector<DeviceRow>& rows, int row, PortMap& map, int port);
// What a port opens with no device chosen, for row 0's caption.
std::string UnchosenDevice(const PortMap& map, int port);

// The controls for a port and the terminal record: the port, rate and line
// settings selected, the TTY options checked, the port list locked while the
// port is open.
SerialDialogValues FillSerialDialog(const SerialSettings& port, bool connected,
                                    const TerminalInfo& ti);

// Stores the controls into the port's settings and the terminal record. A
// list with nothing selected leaves its field as it was, so no value outside
// the lists is ever stored.
void ReadSerialDialog(const SerialDialogValues& values, SerialSettings& port, TerminalInfo& ti);

// What "Serial Port Settings..." opens on.
struct PortSettingsRequest {
  SerialSettings& port;  // the modem port's settings
  bool connected;        // the port is open: its number stays
  TerminalInfo& terminal;
  bool& reconnect;                // "Reconnect when the port returns"
  std::function<void()> connect;  // Connect: queues the connection for after the dialog
};

// The serial room's dialog, opened by the Qt layer (QtSerialDialogs).
class SerialDialogs {
 public:
  virtual ~SerialDialogs() = default;
  // Modal; true when the operator applied or connected, and the request's
  // records then hold the choices.
  virtual bool RunPortSettings(const PortSettingsRequest& request) = 0;
};

}  // namespace tw
