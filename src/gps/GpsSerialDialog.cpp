#include "gps/GpsSerialDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "serial/DevicePicker.h"
#include "serial/QtSerialPort.h"
#include "serial/serial_dialog.h"

namespace tw {

namespace {

QComboBox* MakeList(const QString& name) {
  auto* list = new QComboBox;
  list->setObjectName(name);
  list->setInsertPolicy(QComboBox::NoInsert);
  return list;
}

}  // namespace

GpsSerialDialog::GpsSerialDialog(SerialSettings& port, const PortMap& ports,
                                 std::function<void()> connectPort, QWidget* parent)
    : QDialog(parent), port_(port), connectPort_(std::move(connectPort)) {
  setWindowTitle(QStringLiteral("GPS Serial Settings"));

  portList_ = MakeList(QStringLiteral("portList"));
  ShowPortList(portList_, ports);
  baudList_ = MakeList(QStringLiteral("baudList"));
  const ComboList rates = FillComboFromStrings(BAUD_RATE_ITEMS, 0);
  for (size_t i = 0; i < rates.captions.size(); ++i) {
    baudList_->addItem(QString::fromStdString(rates.captions[i]), rates.values[i]);
  }

  auto* group = new QGroupBox(QStringLiteral("GPS Serial"));
  auto* form = new QFormLayout(group);
  form->addRow(QStringLiteral("&Port:"), portList_);
  form->addRow(QStringLiteral("&Baud Rate:"), baudList_);

  auto* connectButton = new QPushButton(QStringLiteral("Connect"));
  connectButton->setObjectName(QStringLiteral("connect"));
  connectButton->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"));
  cancel->setObjectName(QStringLiteral("cancel"));
  cancel->setAutoDefault(false);
  QObject::connect(connectButton, &QPushButton::clicked, this, &GpsSerialDialog::connectNow);
  QObject::connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(connectButton);
  buttons->addWidget(cancel);

  row_ = new QHBoxLayout;
  row_->addWidget(group, 0, Qt::AlignTop);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row_);
  layout->addLayout(buttons);

  const GpsDialogValues v = FillGpsDialog(port_);
  portList_->setCurrentIndex(v.portIndex);
  baudList_->setCurrentIndex(v.baudIndex);
}

GpsDialogValues GpsSerialDialog::values() const {
  return GpsDialogValues{portList_->currentIndex(), baudList_->currentIndex()};
}

void GpsSerialDialog::offerDevices(PortMap& map, std::vector<SerialDeviceInfo> found) {
  if (!devices_) {
    devices_ = new DevicePicker(portList_);
    row_->addWidget(devices_, 1);
  }
  devices_->offer(map, std::move(found));
}

void GpsSerialDialog::connectNow() {
  ReadGpsDialog(values(), port_);
  if (devices_) devices_->store();
  if (connectPort_) connectPort_();
  accept();
}

void QtGpsDialogs::RunGpsSettings(SerialSettings& port, std::function<void()> connect) {
  GpsSerialDialog dialog(port, ports_, std::move(connect), parent_);
  dialog.offerDevices(ports_, FindSerialDevices());
  dialog.exec();
}

}  // namespace tw
