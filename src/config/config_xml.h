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
//   </tidewire>
//
// Numbers are decimal. Texts keep printable ASCII as it is and write a
// backslash as \\, CR, LF and tab as \r, \n and \t, and every other byte as
// \xHH, so a text comes back byte for byte whatever editor or line endings
// the file meets. The version changes only when an element changes its
// meaning; a newer program that adds choices keeps it, and an older one skips
// the elements it does not know.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings.h"

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
std::string ConfigToXml(const Settings& settings);

struct ConfigParse {
  bool ok = false;
  // Why the file was refused, for the operator; empty when ok.
  std::string error;
  // `current` with every value of the file applied; meaningful only when ok.
  Settings settings;
  // Names of the elements this program does not know, in file order.
  std::vector<std::string> skipped;
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
