// Lines for menu items that cannot do what their caption suggests: each
// says in one line why nothing happens, so no item is a silent dead end.
// Each fits the terminal's 64 columns beside its time stamp.
#pragma once

#include <string>

namespace tw {

constexpr const char* CHAT_LINE = "Chat: not built here; chat frames are only shown.";
constexpr const char* EMULATOR_IN_DEMO_LINE = "Emulator: not in the demo; its own modem answers.";

// "Using OziExplorer...": where the map's fixes come from, or why the map
// items stay grayed.
std::string MapGuideLine(bool mapAvailable);

}  // namespace tw
