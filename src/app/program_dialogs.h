// Where the program's commands open dialogs: each room declares its own
// (SerialDialogs, ProtocolDialogs, ...) and its Qt layer implements it; the
// main window hands them to the program once. Without them (tests, runs
// without a window) a command that would open a dialog opens none.
#pragma once

#include <filesystem>

#include "diagnostics/noise_chart.h"
#include "emulator/emulator_dialogs.h"
#include "firmware/firmware_download.h"
#include "frames/data_frames.h"
#include "gps/gps_dialog.h"
#include "protocol/protocol_dialogs.h"
#include "serial/serial_dialog.h"
#include "udp/udp_dialogs.h"

namespace tw {

// The program's own dialog, opened by the Qt layer (QtAppDialogs).
class AppDialogs {
 public:
  virtual ~AppDialogs() = default;
  // The about box, naming the data folder; modal.
  virtual void ShowAbout(const std::filesystem::path& dataRoot) = 0;
};

struct ProgramDialogs {
  AppDialogs* app = nullptr;
  SerialDialogs* serial = nullptr;
  ProtocolDialogs* protocol = nullptr;
  DiagnosticsDialogs* diagnostics = nullptr;
  FrameDialogs* frames = nullptr;
  EmulatorDialogs* emulator = nullptr;
  GpsDialogs* gps = nullptr;
  FirmwareDialogs* firmware = nullptr;
  UdpDialogs* udp = nullptr;
};

}  // namespace tw
