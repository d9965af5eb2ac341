// "Serial Port Settings...": the modem port's number, baud rate and line
// settings, and the terminal options. Apply stores, Cancel leaves everything
// as it was, Connect stores and asks the main window to connect.
#pragma once

#include <QDialog>
#include <functional>

#include "core/settings.h"
#include "serial/port_map.h"
#include "serial/serial_dialog.h"
#include "terminal/terminal_info.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QPushButton;

namespace tw {

class DevicePicker;

class SerialDialog : public QDialog {
  Q_OBJECT

 public:
  // `postConnect` queues the "&Connect to Modem" command for the main
  // window; it runs after the dialog has gone.
  SerialDialog(SerialSettings& port, bool connected, TerminalInfo& ti, const PortMap& ports,
               std::function<void()> postConnect, QWidget* parent = nullptr);

  // Shows the devices found beside the port list; choosing one maps the
  // selected COM number to it in `map` on Apply or Connect (Cancel keeps
  // the map as it was). `map` must outlive the dialog.
  void offerDevices(PortMap& map, std::vector<SerialDeviceInfo> found);
  // Shows "Reconnect when the port returns", checked as `flag` is; Apply
  // and Connect store it.
  void offerReconnect(bool& flag);

 private:
  QGroupBox* makeComOptions(const PortMap& ports);
  QGroupBox* makeTtyOptions();
  void showValues(const SerialDialogValues& v);
  SerialDialogValues values() const;
  void apply();
  void connectNow();
  void store();

  SerialSettings& port_;
  bool connected_;
  TerminalInfo& ti_;
  std::function<void()> postConnect_;
  QComboBox* portList_ = nullptr;
  QComboBox* baudList_ = nullptr;
  QComboBox* dataBitsList_ = nullptr;
  QComboBox* parityList_ = nullptr;
  QComboBox* stopBitsList_ = nullptr;
  QCheckBox* autoWrap_ = nullptr;
  QCheckBox* newLine_ = nullptr;
  QCheckBox* localEcho_ = nullptr;
  QCheckBox* reconnect_ = nullptr;
  QHBoxLayout* row_ = nullptr;
  DevicePicker* devices_ = nullptr;  // made when devices are offered
  bool* reconnectFlag_ = nullptr;
};

// The serial room's dialog, opened over `parent`; it offers the devices
// found now and keeps the choice in `ports`, which must outlive it.
class QtSerialDialogs : public SerialDialogs {
 public:
  QtSerialDialogs(PortMap& ports, QWidget* parent) : ports_(ports), parent_(parent) {}
  bool RunPortSettings(const PortSettingsRequest& request) override;

 private:
  PortMap& ports_;
  QWidget* parent_;
};

}  // namespace tw
