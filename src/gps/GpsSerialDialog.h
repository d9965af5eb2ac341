// "GPS Serial Settings": the GPS receiver's port and baud rate. Connect
// stores them and asks the main window to open the port; Cancel leaves
// everything as it was.
#pragma once

#include <QDialog>
#include <functional>

#include "core/settings.h"
#include "gps/gps_dialog.h"
#include "serial/port_map.h"

class QComboBox;

namespace tw {

class GpsSerialDialog : public QDialog {
  Q_OBJECT

 public:
  // `connectPort` opens the GPS port with the stored settings; it runs
  // before the dialog closes, so a failure box appears over it.
  GpsSerialDialog(SerialSettings& port, const PortMap& ports, std::function<void()> connectPort,
                  QWidget* parent = nullptr);

 private:
  GpsDialogValues values() const;
  void connectNow();

  SerialSettings& port_;
  std::function<void()> connectPort_;
  QComboBox* portList_ = nullptr;
  QComboBox* baudList_ = nullptr;
};

// The GPS room's dialog, opened over `parent` with the port list of
// `ports`, which must outlive it.
class QtGpsDialogs : public GpsDialogs {
 public:
  QtGpsDialogs(const PortMap& ports, QWidget* parent) : ports_(ports), parent_(parent) {}
  void RunGpsSettings(SerialSettings& port, std::function<void()> connect) override;

 private:
  const PortMap& ports_;
  QWidget* parent_;
};

}  // namespace tw
