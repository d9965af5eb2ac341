#include "gps/gps_dialog.h"

#include "serial/port_map.h"
#include "serial/serial_dialog.h"

namespace tw {

namespace {
constexpr int PORT_COUNT = MAX_PORT - MIN_PORT + 1;
constexpr int BAUD_COUNT = static_cast<int>(BAUD_RATE_ITEMS.size());
}  // namespace

GpsDialogValues FillGpsDialog(const SerialSettings& port) {
  GpsDialogValues v;
  const int portIndex = port.portNumber - MIN_PORT;
  v.portIndex = portIndex >= 0 && portIndex < PORT_COUNT ? portIndex : -1;
  v.baudIndex = FillComboFromStrings(BAUD_RATE_ITEMS, port.baudRate).selected;
  return v;
}

void ReadGpsDialog(const GpsDialogValues& v, SerialSettings& port) {
  if (v.portIndex >= 0 && v.portIndex < PORT_COUNT) port.portNumber = v.portIndex + MIN_PORT;
  if (v.baudIndex >= 0 && v.baudIndex < BAUD_COUNT) {
    port.baudRate = BAUD_RATE_ITEMS[static_cast<size_t>(v.baudIndex)].value;
  }
}

}  // namespace tw
