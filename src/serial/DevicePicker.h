// The devices found beside a dialog's port list ("Serial Port Settings..."
// and "GPS Serial Settings"): choosing one maps the selected COM number to
// it. The port list's entries name each port's device and mark those whose
// device is not there.
#pragma once

#include <QGroupBox>
#include <string>
#include <vector>

#include "serial/port_map.h"
#include "serial/serial_dialog.h"

class QComboBox;
class QTreeWidget;

namespace tw {

// Whether a port's device is there now: its file elsewhere, its COM name
// among the ports the system lists on Windows.
bool SerialDeviceExists(const std::string& device);

// Fills or refreshes `list` with COM1..COM16 and the devices of `ports`;
// ports without their device are marked and gray.
void ShowPortList(QComboBox* list, const PortMap& ports);

class DevicePicker : public QGroupBox {
  Q_OBJECT
 public:
  // `portList` is the dialog's port list, which the picker follows.
  explicit DevicePicker(QComboBox* portList, QWidget* parent = nullptr);

  // Lists `found`, starting from `map`'s choices; `map` must outlive it.
  void offer(PortMap& map, std::vector<SerialDeviceInfo> found);
  // Keeps the choices made in the map given to offer (Apply, Connect).
  void store();
  // The map as the operator has changed it so far.
  const PortMap& pending() const { return pending_; }

 private:
  void showDeviceOf(int portIndex);
  void deviceChosen(int row);

  QComboBox* portList_;
  QTreeWidget* list_ = nullptr;
  PortMap* map_ = nullptr;
  PortMap pending_;
  std::vector<DeviceRow> rows_;
  bool showing_ = false;  // filling the list, not the operator choosing
};

}  // namespace tw
