// Every operator's choice declared once: its field, its name in
// configuration files, its kind, the menu command that changes it, its
// start-up value and the rule for what it may hold. The start-up values, the
// toggle commands, the menu's check marks and the checks of a loaded
// configuration file are all drawn from this table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/settings.h"

namespace tw {

enum class SettingKind {
  Toggle,    // a flag that its menu command flips, with a check mark
  Choice,    // one of a group of flags of which at most one is set (transmit source)
  Interval,  // the test interval, one menu command per period
  Number,    // a value set in a dialog
  Text,      // a text set in a dialog
};

// Limits the declarations' rules use: the longest face name, the largest
// font height or width in pixels (either sign for the height), ...
constexpr size_t FACE_NAME_MAX = 31;
constexpr int32_t FONT_SIZE_MAX = 1000;
constexpr int32_t FONT_WEIGHT_MAX = 1000;
constexpr int32_t COLOR_MAX = 0xFFFFFF;
constexpr int32_t PORT_NUMBER_MAX = 16;
constexpr size_t FOLDER_MAX = 4096;
constexpr int32_t UDP_PORT_MAX = 65535;

// Lists of allowed values kept where they are shown (the menu's test
// intervals, the serial dialog's lists, the frame kinds of the protocol
// dialog); a rule names one, and the configuration files look it up.
enum class ValueList { None, TestIntervals, BaudRates, DataBits, Parities, StopBits, FrameKinds };
// Texts with a form of their own: a font's face name, a command for the
// modem (the custom string), a folder, a numeric IPv4 address.
enum class TextForm { None, FaceName, Command, Folder, Address };

// What a choice may hold: 0 or 1, a range, one of a list, or a text form.
struct SettingRule {
  enum Kind { Flag, Range, OneOf, Text } kind = Flag;
  int32_t low = 0;
  int32_t high = 0;
  ValueList list = ValueList::None;
  TextForm form = TextForm::None;

  static constexpr SettingRule Between(int32_t low, int32_t high) {
    return {Range, low, high, ValueList::None, TextForm::None};
  }
  static constexpr SettingRule In(ValueList list) { return {OneOf, 0, 0, list, TextForm::None}; }
  static constexpr SettingRule Form(TextForm form) { return {Text, 0, 0, ValueList::None, form}; }
};

struct SettingEntry {
  std::string name;  // unique; the key the choice is stored under
  SettingKind kind;
  int commandId;  // the menu command that changes it; 0 when only a dialog does
  int32_t defaultNumber;
  std::string defaultText;
  // The field in a settings record: `number` for every kind but Text.
  std::function<int32_t&(Settings&)> number;
  std::function<std::string&(Settings&)> text;
  SettingRule rule;
};

// The whole table, in a fixed order.
const std::vector<SettingEntry>& SettingsTable();

// The entry whose menu command is `commandId`; null when none is.
const SettingEntry* FindSettingByCommand(int commandId);

// The value of a number entry in a record (const access for readers).
int32_t SettingNumber(const SettingEntry& entry, const Settings& settings);

}  // namespace tw
