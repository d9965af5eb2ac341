// What a configuration file may set each choice to: what the program's own
// menus and dialogs can give it. Flags are 0 or 1, the test interval is one
// of the menu's periods, ports and line settings come from the serial
// dialog's lists, node protocols are frame kinds of the protocol dialog, and
// texts keep within the lengths the program uses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/settings.h"
#include "core/settings_table.h"

namespace tw {

// Longest face name a font choice holds.
constexpr size_t FACE_NAME_MAX = 31;
// Largest font height or width in pixels, either sign for the height.
constexpr int32_t FONT_SIZE_MAX = 1000;
constexpr int32_t FONT_WEIGHT_MAX = 1000;
constexpr int32_t COLOR_MAX = 0xFFFFFF;
constexpr int32_t PORT_NUMBER_MAX = 16;

// Empty when `value` is one `entry` can hold, else why not ("2 is not 0 or
// 1"). A choice without a rule here takes no value at all, so that a new
// choice cannot be loaded unchecked.
std::string CheckSettingNumber(const SettingEntry& entry, int32_t value);
std::string CheckSettingText(const SettingEntry& entry, const std::string& value);

// What must hold across choices: at most one source of transmitted data.
// Empty when the record is consistent.
std::string CheckSettingsRecord(const Settings& settings);

}  // namespace tw
