// The "Change Modem Settings" dialog without its widgets: the modem's
// configuration parameters as the list shows them, the "$CCCFG" sentence
// that sets one of them, the check of a value before it goes out, and the
// values the modem last reported.
#pragma once

#include <cstdint>
#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/sentence_sink.h"
#include "protocol/config_params.h"
#include "protocol/sentence_fields.h"

namespace tw {

// Asked before "Use Factory Defaults" goes out.
constexpr const char* FACTORY_DEFAULTS_QUESTION =
    "Set the modem to its factory defaults?\nEvery setting made on it will be lost.";

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

// Empty when `value` (cut as the sentence cuts it) may go out for `param`;
// else why not, in one line for the operator. A value never holds what
// would end or split the sentence (a comma, '*', '$', control characters);
// where the parameter's row gives a range or a list, it is a whole number
// in it (blanks around it are dropped).
std::string ModemSettingRefusal(const ConfigParam& param, const std::string& value);

// Apply: sends the sentence of the row at `index`. An index outside the
// list (nothing selected) and a refused value send nothing and give false;
// `refusal` then says why a value was refused.
bool ModemSettingApply(SentenceSink& sink, int index, const std::string& value,
                       std::string* refusal = nullptr);

// The modem's configuration values as it last reported them in "$CACFG",
// by mnemonic, for the dialog to show beside the new value.
class ReportedConfig {
 public:
  // Keeps the value of a "$CACFG" report (the text after the parameter's
  // name, up to a checksum); a report of no known parameter is not kept.
  void Record(const std::string& sentence);
  // The same for a report already split, whose parameter is known.
  void Record(const ConfigParam& param, const SentenceFields& fields);
  // The value last reported for `mnemonic`, if any since the last Clear.
  std::optional<std::string> Last(std::string_view mnemonic) const;
  // Forgets every value: another modem may answer next, or it was reset.
  void Clear();
  // Grows with every change, so a window showing a value sees it change.
  uint64_t changes() const { return changes_; }

 private:
  // The last report of each parameter, by its place in the table, kept
  // whole and read when asked: a report costs a copy and nothing more.
  std::array<std::string, CONFIG_PARAM_COUNT> reports_;
  uint64_t changes_ = 0;
};

// The line the dialog shows for the row's parameter.
std::string ReportedValueLine(const ReportedConfig& reported, const ConfigParam& param);

}  // namespace tw
