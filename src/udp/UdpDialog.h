// "Configure UDP": where modem data is broadcast and whether GPS fixes go
// too, where modem data and the ship's position are received. OK keeps the
// dialog open with a line in red while a field is wrong.
#pragma once

#include <QDialog>

#include "core/settings.h"
#include "udp/udp_dialogs.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace tw {

class UdpDialog : public QDialog {
  Q_OBJECT

 public:
  explicit UdpDialog(const UdpSettings& settings, QWidget* parent = nullptr);
  // What the fields hold now.
  UdpSettings values() const;

 private:
  void accept() override;

  UdpSettings start_;
  QLineEdit* broadcastAddress_ = nullptr;
  QSpinBox* broadcastPort_ = nullptr;
  QCheckBox* broadcastGps_ = nullptr;
  QLineEdit* receiveAddress_ = nullptr;
  QSpinBox* receivePort_ = nullptr;
  QLineEdit* positionAddress_ = nullptr;
  QSpinBox* positionPort_ = nullptr;
  QLabel* problem_ = nullptr;
};

class QtUdpDialogs : public UdpDialogs {
 public:
  explicit QtUdpDialogs(QWidget* parent) : parent_(parent) {}
  bool RunUdpSettings(UdpSettings& settings) override;

 private:
  QWidget* parent_;
};

}  // namespace tw
