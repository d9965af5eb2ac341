// "GPS Serial Settings": the GPS receiver's port and baud rate. Connect
// stores them and asks the main window to open the port; Cancel leaves
// everything as it was.
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "core/settings.h"
#include "gps/gps_dialog.h"
#include "serial/port_map.h"

class QComboBox;
class QHBoxLayout;

namespace tw {

class DevicePicker;

class GpsSerialDialog : public QDialog {
  Q_OBJECT

 public:
  // `connectPort` opens the GPS port with the stored settings; it runs
  // before the dialog closes, so a failure box appears over it.
  GpsSerialDialog(SerialSettings& port, const PortMap& ports, std::function<void()> connectPort,
                  QWidget* parent = nullptr);

  // Shows the devices found beside the port list, as the modem's dialog
  // does; Connect keeps the choice in `map`, which must outlive the dialog.
  void offerDevices(PortMap& map, std::vector<SerialDeviceInfo> found);

 private:
  GpsDialogValues values() const;
  void connectNow();

  SerialSettings& port_;
  std::function<void()> connectPort_;
  QComboBox* portList_ = nullptr;
  QComboBox* baudList_ = nullptr;
  QHBoxLayout* row_ = nullptr;  // the settings, then the devices
  DevicePicker* devices_ = nullptr;
};

// The GPS room's dialog, opened over `parent`; it offers the devices found
// now and keeps the choice in `ports`, which must outlive it.
class QtGpsDialogs : public GpsDialogs {
 public:
  QtGpsDialogs(PortMap& ports, QWidget* parent) : ports_(ports), parent_(parent) {}
  void RunGpsSettings(SerialSettings& port, std::function<void()> connect) override;

 private:
  PortMap& ports_;
  QWidget* parent_;
};

}  // namespace tw
