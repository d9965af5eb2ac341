#include "config/config_files.h"

#include <functional>

#include "config/config_io.h"
#include "config/config_text.h"
#include "config/config_xml.h"
#include "core/fixed_format.h"
#include "core/paths.h"
#include "core/settings_table.h"

namespace tw {

namespace {

// Unknown names listed in the skip line, and characters shown of each.
constexpr size_t SKIPPED_NAMES_SHOWN = 8;
constexpr size_t SKIPPED_NAME_CHARS = 40;

// Whether `field` lies inside `member` of the same record.
template <typename Member>
bool Inside(const void* field, const Member& member) {
  const auto* p = static_cast<const char*>(field);
  const auto* begin = reinterpret_cast<const char*>(&member);
  const std::less<const char*> before;
  return !before(p, begin) && before(p, begin + sizeof(Member));
}

const void* FieldOf(const SettingEntry& entry, Settings& settings) {
  if (entry.kind == SettingKind::Text) return &entry.text(settings);
  return &entry.number(settings);
}

bool SameValue(const SettingEntry& entry, const Settings& a, const Settings& b) {
  if (entry.kind == SettingKind::Text) {
    return entry.text(const_cast<Settings&>(a)) == entry.text(const_cast<Settings&>(b));
  }
  return SettingNumber(entry, a) == SettingNumber(entry, b);
}

}  // namespace

ConfigFiles::ConfigFiles(FileChooser& files, TextOut& out, Settings& settings,
                         std::filesystem::path dataRoot, ConfigPorts ports)
    : files_(files),
      out_(out),
      settings_(settings),
      dataRoot_(std::move(dataRoot)),
      ports_(std::move(ports)) {}

FileRequest ConfigFiles::Request(const char* caption) const {
  return FileRequest{caption,
                     PathToUtf8(dataRoot_),
                     {{"Tidewire Config Files", "*.twc"}, {"All XML Files", "*.xml"}},
                     "twc"};
}

FileRequest ConfigFiles::LoadRequest() const { return Request(CONFIG_LOAD_CAPTION); }
FileRequest ConfigFiles::SaveRequest() const { return Request(CONFIG_SAVE_CAPTION); }

ConfigChanges ConfigFiles::ConfigLoad() {
  const std::string path = files_.ChooseFileToOpen(LoadRequest());
  if (path.empty()) return {};
  return ConfigLoadFile(PathFromUtf8(path));
}

bool ConfigFiles::ConfigSave() {
  const std::string path = files_.ChooseFileToSave(SaveRequest());
  if (path.empty()) return false;
  return ConfigSaveFile(PathFromUtf8(path));
}

ConfigChanges ConfigFiles::ConfigLoadFile(const std::filesystem::path& path) {
  std::string text, why;
  ConfigParse parse;
  if (ReadWholeFile(path, CONFIG_FILE_MAX, text, why)) {
    parse = ConfigFromXml(text, settings_);
    why = parse.error;
  }
  if (!parse.ok) {
    out_.PrintWrapped(
        FixedFormat("Error: Configuration not loaded from \"%s\": %s; no setting changed.",
                    PathToUtf8(path).c_str(), why.c_str()));
    return {};
  }
  const Settings before = settings_;
  settings_ = parse.settings;
  if (devices_) {
    for (const auto& [port, choice] : parse.devices) devices_->choose(port, choice);
  }
  const ConfigChanges changes = Compare(before);
  out_.PrintLine(FixedFormat("loaded: \"%s\"", PathToUtf8(path).c_str()));
  ReportSkipped(parse.skipped);
  ReportOpenPorts(changes);
  return changes;
}

bool ConfigFiles::ConfigSaveFile(const std::filesystem::path& path) {
  std::string why;
  const std::string text =
      devices_ ? ConfigToXml(settings_, devices_->choices()) : ConfigToXml(settings_);
  if (!ReplaceFile(path, text, why)) {
    out_.PrintWrapped(FixedFormat("Error: Configuration not saved to \"%s\": %s.",
                                  PathToUtf8(path).c_str(), why.c_str()));
    return false;
  }
  out_.PrintLine(FixedFormat("saved: \"%s\"", PathToUtf8(path).c_str()));
  return true;
}

ConfigChanges ConfigFiles::Compare(const Settings& before) const {
  ConfigChanges changes;
  changes.applied = true;
  for (const SettingEntry& entry : SettingsTable()) {
    if (SameValue(entry, before, settings_)) continue;
    changes.changed.push_back(entry.name);
    const void* field = FieldOf(entry, settings_);
    changes.interval |= field == &settings_.testInterval;
    changes.modemPort |= Inside(field, settings_.modemPort);
    changes.gpsPort |= Inside(field, settings_.gpsPort);
    changes.font |= Inside(field, settings_.terminalFont) || field == &settings_.textColor ||
                    field == &settings_.backColor || field == &settings_.nightView;
  }
  return changes;
}

void ConfigFiles::ReportSkipped(const std::vector<std::string>& names) {
  if (names.empty()) return;
  std::string list;
  for (size_t k = 0; k < names.size() && k < SKIPPED_NAMES_SHOWN; ++k) {
    list += (k ? ", " : "") + ShownConfigName(names[k], SKIPPED_NAME_CHARS);
  }
  if (names.size() > SKIPPED_NAMES_SHOWN) list += ", ...";
  out_.PrintWrapped(
      FixedFormat("Config: skipped %zu unknown element(s): %s", names.size(), list.c_str()));
}

// The ports stay as they are: reconnecting would cut off whatever is under
// way on them, so the loaded settings wait for the next connect.
void ConfigFiles::ReportOpenPorts(const ConfigChanges& changes) {
  if (changes.modemPort && ports_.modemOpen && ports_.modemOpen()) {
    out_.PrintWrapped(
        "Config: the modem port stays connected as it was; its loaded settings apply at the "
        "next connect.");
  }
  if (changes.gpsPort && ports_.gpsOpen && ports_.gpsOpen()) {
    out_.PrintWrapped(
        "Config: the GPS port stays connected as it was; its loaded settings apply at the next "
        "connect.");
  }
}

}  // namespace tw
