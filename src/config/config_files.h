// "Load Configuration..." and "Save Configuration...": the operator's
// choices (every entry of the settings table) in a file of their own, and
// the start-up load of --config FILE.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/settings.h"
#include "core/text_out.h"
#include "core/ui.h"
#include "serial/port_map.h"

namespace tw {

constexpr const char* CONFIG_LOAD_CAPTION = "Load Tidewire Configuration";
constexpr const char* CONFIG_SAVE_CAPTION = "Save Tidewire Configuration";

// Whether the serial ports are open now: a load does not reconnect them, and
// says so when it changed the settings of one that is open.
struct ConfigPorts {
  std::function<bool()> modemOpen;
  std::function<bool()> gpsOpen;
};

// What a load changed, for the caller to follow: the menu's check marks (on
// every applied load), timer 3 (a new test interval) and the terminal's font.
struct ConfigChanges {
  bool applied = false;              // the file was taken; false leaves every choice as it was
  std::vector<std::string> changed;  // names of the choices whose value changed
  bool interval = false;
  bool modemPort = false;
  bool gpsPort = false;
  bool font = false;  // face, size, style or colour of the terminal
};

class ConfigFiles {
 public:
  // `settings` are the operator's choices that are saved and replaced;
  // the dialogs start in `dataRoot`.
  ConfigFiles(FileChooser& files, TextOut& out, Settings& settings, std::filesystem::path dataRoot,
              ConfigPorts ports = {});

  // The open-file dialog, then the chosen file is loaded. Cancel does
  // nothing and shows nothing.
  ConfigChanges ConfigLoad();
  // The save-file dialog, then the choices are written to the chosen file.
  // Cancel does nothing; true when a file was saved.
  bool ConfigSave();

  // Loads `path` without a dialog (the --config option and the dialog's
  // choice). Shows 'loaded: "path"' or one error line.
  ConfigChanges ConfigLoadFile(const std::filesystem::path& path);
  // Saves to `path` without a dialog. Shows 'saved: "path"' or one error line.
  bool ConfigSaveFile(const std::filesystem::path& path);

  // The devices chosen for COM numbers are saved and loaded with the
  // choices once a map is given; the map must outlive this object.
  void SetDeviceMap(PortMap* devices) { devices_ = devices; }
  PortMap* devices() const { return devices_; }

  FileRequest LoadRequest() const;
  FileRequest SaveRequest() const;

 private:
  FileRequest Request(const char* caption) const;
  ConfigChanges Compare(const Settings& before) const;
  void ReportSkipped(const std::vector<std::string>& names);
  void ReportOpenPorts(const ConfigChanges& changes);

  FileChooser& files_;
  TextOut& out_;
  Settings& settings_;
  std::filesystem::path dataRoot_;
  ConfigPorts ports_;
  PortMap* devices_ = nullptr;
};

}  // namespace tw
