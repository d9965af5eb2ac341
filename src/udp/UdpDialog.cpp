#include "udp/UdpDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/settings_table.h"
#include "udp/udp_address.h"

namespace tw {

namespace {

QGroupBox* Endpoint(const QString& title, QLineEdit*& address, QSpinBox*& port,
                    const std::string& startAddress, int32_t startPort, QWidget* parent) {
  auto* box = new QGroupBox(title, parent);
  auto* form = new QFormLayout(box);
  address = new QLineEdit(QString::fromStdString(startAddress), box);
  address->setMaxLength(15);
  port = new QSpinBox(box);
  port->setRange(1, UDP_PORT_MAX);
  port->setValue(startPort);
  form->addRow(QStringLiteral("&Address:"), address);
  form->addRow(QStringLiteral("P&ort:"), port);
  return box;
}

}  // namespace

UdpDialog::UdpDialog(const UdpSettings& settings, QWidget* parent)
    : QDialog(parent), start_(settings) {
  setWindowTitle(QStringLiteral("Configure UDP"));
  auto* layout = new QVBoxLayout(this);
  QGroupBox* broadcast =
      Endpoint(QStringLiteral("Broadcast Modem Data to"), broadcastAddress_, broadcastPort_,
               settings.broadcastAddress, settings.broadcastPort, this);
  broadcastGps_ = new QCheckBox(QStringLiteral("Broadcast accepted &GPS fixes too"), broadcast);
  broadcastGps_->setChecked(settings.broadcastGps != 0);
  static_cast<QFormLayout*>(broadcast->layout())->addRow(broadcastGps_);
  layout->addWidget(broadcast);
  layout->addWidget(Endpoint(QStringLiteral("Receive Modem Data on"), receiveAddress_, receivePort_,
                             settings.receiveAddress, settings.receivePort, this));
  layout->addWidget(Endpoint(QStringLiteral("Receive Ship Position on"), positionAddress_,
                             positionPort_, settings.positionAddress, settings.positionPort, this));
  problem_ = new QLabel(this);
  problem_->setObjectName(QStringLiteral("udpProblem"));
  problem_->setWordWrap(true);
  problem_->setStyleSheet(QStringLiteral("color: #b00000"));
  problem_->hide();
  layout->addWidget(problem_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &UdpDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &UdpDialog::reject);
  layout->addWidget(buttons);
}

UdpSettings UdpDialog::values() const {
  UdpSettings u = start_;
  u.broadcastAddress = broadcastAddress_->text().trimmed().toStdString();
  u.broadcastPort = broadcastPort_->value();
  u.broadcastGps = broadcastGps_->isChecked() ? 1 : 0;
  u.receiveAddress = receiveAddress_->text().trimmed().toStdString();
  u.receivePort = receivePort_->value();
  u.positionAddress = positionAddress_->text().trimmed().toStdString();
  u.positionPort = positionPort_->value();
  return u;
}

void UdpDialog::accept() {
  const std::string problem = CheckUdpSettings(values());
  if (problem.empty()) {
    QDialog::accept();
    return;
  }
  problem_->setText(QString::fromStdString(problem + "."));
  problem_->show();
}

bool QtUdpDialogs::RunUdpSettings(UdpSettings& settings) {
  UdpDialog dialog(settings, parent_);
  if (dialog.exec() != QDialog::Accepted) return false;
  settings = dialog.values();
  return true;
}

}  // namespace tw
