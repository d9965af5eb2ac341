// The "GPS Serial Settings" dialog without its widgets: which entries it
// selects for the GPS port's settings, and how the choice is stored back.
#pragma once

#include "core/settings.h"

namespace tw {

// Control numbers of the dialog.
constexpr int IDC_GPS_PORT = 1058;
constexpr int IDC_GPS_BAUD = 1059;
constexpr int IDC_GPS_CONNECT = 1060;
constexpr int IDC_GPS_CANCEL = 1061;

// The selected entries: port i is COM(i + 1), baud i is the i-th of the
// seven rates; -1 selects nothing.
struct GpsDialogValues {
  int portIndex = -1;
  int baudIndex = -1;
};

// The entries of the port's number and baud rate; -1 for a value no entry
// has.
GpsDialogValues FillGpsDialog(const SerialSettings& port);

// Stores the selected port number and baud rate. A list with nothing (or
// nothing valid) selected leaves its field as it was.
void ReadGpsDialog(const GpsDialogValues& values, SerialSettings& port);

}  // namespace tw
