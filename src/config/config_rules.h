// What a configuration file may set each choice to: the rule its
// declaration in the settings table gives (settings_table.h), with the lists
// that rule names looked up where they live: the test interval is one of the
// menu's periods, ports and line settings come from the serial dialog's
// lists, node protocols are frame kinds of the protocol dialog, and texts
// keep within the lengths the program uses.
#pragma once

#include <cstdint>
#include <string>

#include "core/settings.h"
#include "core/settings_table.h"

namespace tw {

// Empty when `value` is one `entry` can hold, else why not ("2 is not 0 or
// 1"). A number for a text, or a text for a number, is refused.
std::string CheckSettingNumber(const SettingEntry& entry, int32_t value);
std::string CheckSettingText(const SettingEntry& entry, const std::string& value);

// What must hold across choices: at most one source of transmitted data.
// Empty when the record is consistent.
std::string CheckSettingsRecord(const Settings& settings);

}  // namespace tw
