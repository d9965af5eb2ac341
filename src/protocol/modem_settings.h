// The "Change Modem Settings" dialog without its widgets: the modem's
// configuration parameters as the list shows them, and the "$CCCFG"
// sentence that sets one of them.
#pragma once

#include <array>
#include <string>

namespace tw {

class Program;

struct ModemSetting {
  const char* mnemonic;
  const char* listText;  // shown as it is, ranges included
};

constexpr int MODEM_SETTING_COUNT = 39;
// Longest value taken from the edit.
constexpr size_t MODEM_SETTING_VALUE_MAX = 39;

// Controls of the dialog.
namespace settings_ctl {
constexpr int APPLY = 1025;
constexpr int VALUE = 1027;
constexpr int LIST = 1028;
constexpr int CLOSE = 8;
}  // namespace settings_ctl

// Alphabetical by mnemonic; the list index is the row index.
extern const std::array<ModemSetting, MODEM_SETTING_COUNT> MODEM_SETTINGS;

// "$CCCFG,<mnemonic>,<value>\r\n" with the value as typed (no trimming, no
// range check, empty allowed), cut to MODEM_SETTING_VALUE_MAX characters.
// No checksum: the modem takes the sentence without one.
std::string ModemSettingSentence(const std::string& mnemonic, const std::string& value);

// Apply: sends the sentence of the row at `index` through SendSentence.
// An index outside the table (nothing selected) sends nothing and gives
// false.
bool ModemSettingApply(Program& program, int index, const std::string& value);

}  // namespace tw
