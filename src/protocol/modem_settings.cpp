#include "protocol/modem_settings.h"

#include <algorithm>

#include "protocol/nmea.h"
#include "protocol/sentence_table.h"

namespace tw {

const std::vector<const ConfigParam*>& ModemSettingRows() {
  static const std::vector<const ConfigParam*> rows = [] {
    std::vector<const ConfigParam*> listed;
    for (const ConfigParam& param : ConfigParams()) {
      if (param.listText) listed.push_back(&param);
    }
    std::sort(listed.begin(), listed.end(),
              [](const ConfigParam* a, const ConfigParam* b) { return a->mnemonic < b->mnemonic; });
    return listed;
  }();
  return rows;
}

std::string ModemSettingSentence(std::string_view mnemonic, const std::string& value) {
  // Judging the value is the modem's business; its reply shows what it made
  // of it.
  return BuildSentenceLine(MSG_CCCFG, {mnemonic, value.substr(0, MODEM_SETTING_VALUE_MAX)});
}

bool ModemSettingApply(SentenceSink& sink, int index, const std::string& value) {
  const std::vector<const ConfigParam*>& rows = ModemSettingRows();
  if (index < 0 || static_cast<size_t>(index) >= rows.size()) return false;
  sink.SendSentence(ModemSettingSentence(rows[static_cast<size_t>(index)]->mnemonic, value));
  return true;
}

}  // namespace tw
