// Every operator's choice once: its name, its kind, the menu command that
// changes it and its start-up value. The start-up values, the toggle commands
// and the re-sync of the menu's check marks are drawn from this table; the
// names are the keys under which the choices are stored.
#pragma once

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

struct SettingEntry {
  std::string name;  // unique; the key the choice is stored under
  SettingKind kind;
  int commandId;  // the menu command that changes it; 0 when only a dialog does
  int32_t defaultNumber;
  std::string defaultText;
  // The field in a settings record: `number` for every kind but Text.
  std::function<int32_t&(Settings&)> number;
  std::function<std::string&(Settings&)> text;
};

// The whole table, in a fixed order.
const std::vector<SettingEntry>& SettingsTable();

// The entry whose menu command is `commandId`; null when none is.
const SettingEntry* FindSettingByCommand(int commandId);

// The value of a number entry in a record (const access for readers).
int32_t SettingNumber(const SettingEntry& entry, const Settings& settings);

// Puts the menu's check marks in line with the choices: every toggle and
// transmit source shows its flag, and the test interval's period is checked.
void SyncSettingChecks(const Settings& settings, const std::function<void(int, bool)>& check);

}  // namespace tw
