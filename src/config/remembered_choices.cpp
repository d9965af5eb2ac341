#include "config/remembered_choices.h"

#include <system_error>

#include "config/config_io.h"
#include "config/config_xml.h"
#include "core/fixed_format.h"
#include "core/paths.h"

namespace fs = std::filesystem;

namespace tw {

fs::path RememberedChoicesFile(const fs::path& dataRoot) {
  return dataRoot / REMEMBERED_CHOICES_NAME;
}

namespace {

// Moves the file out of the way of the next save; false with `why`.
bool SetAside(const fs::path& file, std::string& why) {
  const fs::path aside = file.parent_path() / SET_ASIDE_CHOICES_NAME;
  std::error_code ec;
  // An older copy goes first: a rename onto an existing name fails on
  // some systems.
  fs::remove(aside, ec);
  fs::rename(file, aside, ec);
  if (ec) why = ec.message();
  return !ec;
}

}  // namespace

RememberedLoad LoadRememberedChoices(const fs::path& file, Settings& settings, PortMap* devices) {
  settings.InitDefaults();
  RememberedLoad result;
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(file, ec))) return result;  // a first run

  std::string text, why;
  ConfigParse parse;
  if (ReadWholeFile(file, CONFIG_FILE_MAX, text, why)) {
    parse = ConfigFromXml(text, settings);
    why = parse.error;
  }
  if (parse.ok) {
    settings = parse.settings;
    if (devices) {
      for (const auto& [port, choice] : parse.devices) devices->choose(port, choice);
    }
    result.loaded = true;
    return result;
  }
  const std::string path = PathToUtf8(file);
  std::string asideWhy;
  if (SetAside(file, asideWhy)) {
    result.line = FixedFormat(
        "Error: Remembered choices not loaded from \"%s\": %s; starting from the defaults. The "
        "file is kept as \"%s\".",
        path.c_str(), why.c_str(), SET_ASIDE_CHOICES_NAME);
  } else {
    result.mayReplace = false;
    result.line = FixedFormat(
        "Error: Remembered choices not loaded from \"%s\": %s; starting from the defaults. The "
        "file cannot be set aside (%s), so this run's choices are not saved over it.",
        path.c_str(), why.c_str(), asideWhy.c_str());
  }
  return result;
}

bool SaveRememberedChoices(const fs::path& file, const Settings& settings, const PortMap* devices,
                           std::string& why) {
  std::error_code ec;
  if (file.has_parent_path()) fs::create_directories(file.parent_path(), ec);
  if (ec) {
    why = FixedFormat("cannot make the folder \"%s\": %s", PathToUtf8(file.parent_path()).c_str(),
                      ec.message().c_str());
    return false;
  }
  const std::string text =
      devices ? ConfigToXml(settings, devices->choices()) : ConfigToXml(settings);
  return ReplaceFile(file, text, why);
}

}  // namespace tw
