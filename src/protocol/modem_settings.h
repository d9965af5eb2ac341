// The "Change Modem Settings" dialog without its widgets: the modem's
// configuration parameters as the list shows them, and the "$CCCFG"
// sentence that sets one of them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/sentence_sink.h"
#include "protocol/config_params.h"

namespace tw {

// Longest value taken from the edit.
constexpr size_t MODEM_SETTING_VALUE_MAX = 39;

// Controls of the dialog.
namespace settings_ctl {
constexpr int APPLY = 1025;
constexpr int VALUE = 1027;
constexpr int LIST = 1028;
constexpr int CLOSE = 8;
}  // namespace settings_ctl

// The rows of the list: every parameter with a list text, alphabetical by
// mnemonic. The list index is the row index.
const std::vector<const ConfigParam*>& ModemSettingRows();

// "$CCCFG,<mnemonic>,<value>\r\n" with the value as typed (no trimming, no
// range check, empty allowed), cut to MODEM_SETTING_VALUE_MAX characters.
// No checksum: the modem takes the sentence without one.
std::string ModemSettingSentence(std::string_view mnemonic, const std::string& value);

// Apply: sends the sentence of the row at `index`.
// An index outside the list (nothing selected) sends nothing and gives
// false.
bool ModemSettingApply(SentenceSink& sink, int index, const std::string& value);

}  // namespace tw
