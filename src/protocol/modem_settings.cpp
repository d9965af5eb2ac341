#include "protocol/modem_settings.h"

#include <algorithm>
#include <charconv>

#include "core/fixed_format.h"
#include "core/visible_text.h"
#include "protocol/nmea.h"
#include "protocol/sentence_fields.h"
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

namespace {

// Characters of a value or a report shown in a line.
constexpr size_t SHOWN_VALUE_MAX = MODEM_SETTING_VALUE_MAX;

std::string Shown(std::string_view value) {
  return "\"" + VisibleControls(value.substr(0, SHOWN_VALUE_MAX)) + "\"";
}

bool SplitsSentence(unsigned char c) {
  return c < 0x20 || c == 0x7F || c == ',' || c == '*' || c == '$';
}

std::string_view Unblanked(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// "0 or 1", "1, 2 or 3", "0 to 255".
std::string Allowed(const ParamValues& values) {
  if (values.kind == ParamValues::kRange) {
    return FixedFormat("a whole number from %d to %d", values.low, values.high);
  }
  std::string list;
  for (int32_t v = values.low; v <= values.high; ++v) {
    list += FixedFormat("%d", v);
    if (v + 1 < values.high) list += ", ";
    if (v + 1 == values.high) list += " or ";
  }
  return list;
}

// The value that goes out: as typed, or the number without blanks.
std::string SentValue(const ConfigParam& param, const std::string& value) {
  const std::string cut = value.substr(0, MODEM_SETTING_VALUE_MAX);
  if (param.values.kind == ParamValues::kAny) return cut;
  return std::string(Unblanked(cut));
}

}  // namespace

std::string ModemSettingRefusal(const ConfigParam& param, const std::string& value) {
  const std::string cut = value.substr(0, MODEM_SETTING_VALUE_MAX);
  const std::string mnemonic(param.mnemonic);
  for (const char c : cut) {
    if (SplitsSentence(static_cast<unsigned char>(c))) {
      return FixedFormat(
          "%s: %s was not sent: a value holds no comma, '*', '$' or control character.",
          mnemonic.c_str(), Shown(cut).c_str());
    }
  }
  if (param.values.kind == ParamValues::kAny) return {};
  const std::string_view number = Unblanked(cut);
  int32_t parsed = 0;
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), parsed);
  const bool whole = !number.empty() && ec == std::errc() && end == number.data() + number.size();
  if (whole && parsed >= param.values.low && parsed <= param.values.high) return {};
  return FixedFormat("%s takes %s; %s was not sent.", mnemonic.c_str(),
                     Allowed(param.values).c_str(), Shown(cut).c_str());
}

bool ModemSettingApply(SentenceSink& sink, int index, const std::string& value,
                       std::string* refusal) {
  const std::vector<const ConfigParam*>& rows = ModemSettingRows();
  if (index < 0 || static_cast<size_t>(index) >= rows.size()) return false;
  const ConfigParam& param = *rows[static_cast<size_t>(index)];
  std::string why = ModemSettingRefusal(param, value);
  if (!why.empty()) {
    if (refusal) *refusal = std::move(why);
    return false;
  }
  sink.SendSentence(ModemSettingSentence(param.mnemonic, SentValue(param, value)));
  return true;
}

void ReportedConfig::Record(const std::string& sentence) {
  const SentenceFields fields(sentence);
  if (const ConfigParam* param = FindConfigParamByCode(NMEAConfigParam(fields))) {
    Record(*param, fields);
  }
}

void ReportedConfig::Record(const ConfigParam& param, const SentenceFields& fields) {
  std::string& kept = reports_[static_cast<size_t>(&param - ConfigParams().data())];
  if (kept == fields.sentence()) return;
  kept.assign(fields.sentence());
  ++changes_;
}

std::optional<std::string> ReportedConfig::Last(std::string_view mnemonic) const {
  for (size_t i = 0; i < reports_.size(); ++i) {
    if (ConfigParams()[i].mnemonic != mnemonic || reports_[i].empty()) continue;
    std::string_view value = SentenceFields(reports_[i]).RestAfterToken(1);
    value = value.substr(0, value.find('*'));
    while (!value.empty() && (value.back() == '\r' || value.back() == '\n')) value.remove_suffix(1);
    return std::string(value);
  }
  return std::nullopt;
}

void ReportedConfig::Clear() {
  for (std::string& report : reports_) report.clear();
  ++changes_;
}

std::string ReportedValueLine(const ReportedConfig& reported, const ConfigParam& param) {
  const std::optional<std::string> last = reported.Last(param.mnemonic);
  if (!last) return "Modem's value: not reported yet (Show Modem Settings asks for it)";
  return "Modem's value: " + Shown(*last);
}

}  // namespace tw
