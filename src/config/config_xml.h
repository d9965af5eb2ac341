// The configuration file's format: XML with the root element <tidewire> and
// its format version, and one element per operator's choice, named as in the
// settings table and holding its value:
//
//   <?xml version="1.0" encoding="UTF-8"?>
//   <tidewire version="1">
//     <testInterval>10000</testInterval>
//     <dataRateEnabled0>1</dataRateEnabled0>
//     ...
//     <customString>$CCCFQ,ALL\r\n</customString>
//     <node0.protocol>1</node0.protocol>
//     ...
//     <com1.serialNumber>A10K3JX2</com1.serialNumber>
//     <com1.byId>/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3JX2-if00-port0</com1.byId>
//     <com1.device>/dev/ttyUSB0</com1.device>
//   </tidewire>
//
// The comN.* elements are the devices chosen for COM numbers, by the names
// that find them again (a port without a chosen device has none of them);
// a file without them leaves the chosen devices as they are.
//
// Numbers are decimal. Texts keep printable ASCII as it is and write a
// backslash as \\, CR, LF and tab as \r, \n and \t, and every other byte as
// \xHH, so a text comes back byte for byte whatever editor or line endings
// the file meets. The version changes only when an element changes its
// meaning; a newer program that adds choices keeps it, and an older one skips
// the elements it does not know.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings.h"
#include "serial/device_map.h"

namespace tw {

constexpr int CONFIG_FORMAT_VERSION = 1;
constexpr const char* CONFIG_ROOT = "tidewire";
// A file of the program's own is about 8 KB; anything far larger is not one.
constexpr size_t CONFIG_FILE_MAX = 256 * 1024;
// Elements nest two levels in the program's files; deeper structure from a
// newer version is skipped, up to this depth.
constexpr int CONFIG_DEPTH_MAX = 16;

// The whole file for `settings`, every choice of the settings table in table
// order.
std::string ConfigToXml(const Settings& settings, const std::map<int, DeviceChoice>& devices = {});

struct ConfigParse {
  bool ok = false;
  // Why the file was refused, for the operator; empty when ok.
  std::string error;
  // `current` with every value of the file applied; meaningful only when ok.
  Settings settings;
  // Names of the elements this program does not know, in file order.
  std::vector<std::string> skipped;
  // The devices the file chooses for COM numbers; ports it does not name
  // are not in it.
  std::map<int, DeviceChoice> devices;
};

// Reads a whole file. Nothing is taken unless every part of it is valid:
// well-formed, no document type declaration, the right root and version, no
// element twice, every value of the right type and within its range.
// Choices the file does not name keep their value in `current`.
ConfigParse ConfigFromXml(std::string_view text, const Settings& current);

// The text escapes of the format.
std::string EscapeConfigText(const std::string& text);
// False, with `why` set, for a backslash that starts no escape of the format.
bool UnescapeConfigText(std::string_view escaped, std::string& text, std::string& why);

}  // namespace tw
