// The "GPS Serial Settings" dialog without its widgets: which entries it
// selects for the GPS port's settings, and how the choice is stored back.
#pragma once

#include <functional>

#include "core/settings.h"
#include "serial/serial_dialog.h"

namespace tw {

// Control numbers of the dialog.
constexpr int IDC_GPS_PORT = 1058;
constexpr int IDC_GPS_BAUD = 1059;
constexpr int IDC_GPS_CONNECT = 1060;
constexpr int IDC_GPS_CANCEL = 1061;

// The dialog's port and baud lists are those of the modem's serial dialog.
using GpsDialogValues = PortChoice;
inline GpsDialogValues FillGpsDialog(const SerialSettings& port) { return FillPortChoice(port); }
inline void ReadGpsDialog(const GpsDialogValues& values, SerialSettings& port) {
  ReadPortChoice(values, port);
}

// The GPS room's dialog, opened by the Qt layer (QtGpsDialogs).
class GpsDialogs {
 public:
  virtual ~GpsDialogs() = default;
  // "GPS Serial Settings" on the GPS port's settings, modal; Connect stores
  // them and calls `connect` before the dialog closes.
  virtual void RunGpsSettings(SerialSettings& port, std::function<void()> connect) = 0;
};

}  // namespace tw
