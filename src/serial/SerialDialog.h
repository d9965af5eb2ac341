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
class QPushButton;

namespace tw {

class SerialDialog : public QDialog {
  Q_OBJECT

 public:
  // `postConnect` queues the "&Connect to Modem" command for the main
  // window; it runs after the dialog has gone.
  SerialDialog(SerialSettings& port, bool connected, TerminalInfo& ti, const PortMap& ports,
               std::function<void()> postConnect, QWidget* parent = nullptr);

 private:
  QGroupBox* makeComOptions(const PortMap& ports);
  QGroupBox* makeTtyOptions();
  void showValues(const SerialDialogValues& v);
  SerialDialogValues values() const;
  void apply();
  void connectNow();

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
};

}  // namespace tw
