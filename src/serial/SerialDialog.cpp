#include "serial/SerialDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "serial/DevicePicker.h"
#include "serial/QtSerialPort.h"

namespace tw {

namespace {

QComboBox* MakeList(const QString& name) {
  auto* list = new QComboBox;
  list->setObjectName(name);
  list->setInsertPolicy(QComboBox::NoInsert);  // entries stay in the order added
  return list;
}

void AddItems(QComboBox* list, const ComboList& items) {
  for (size_t i = 0; i < items.captions.size(); ++i) {
    list->addItem(QString::fromStdString(items.captions[i]), items.values[i]);
  }
}

QPushButton* MakeButton(const QString& caption, const QString& name) {
  auto* button = new QPushButton(caption);
  button->setObjectName(name);
  return button;
}

}  // namespace

SerialDialog::SerialDialog(SerialSettings& port, bool connected, TerminalInfo& ti,
                           const PortMap& ports, std::function<void()> postConnect, QWidget* parent)
    : QDialog(parent),
      port_(port),
      connected_(connected),
      ti_(ti),
      postConnect_(std::move(postConnect)) {
  setWindowTitle(QStringLiteral("Serial Port Settings..."));

  auto* apply = MakeButton(QStringLiteral("Apply"), QStringLiteral("apply"));
  auto* cancel = MakeButton(QStringLiteral("Cancel"), QStringLiteral("cancel"));
  auto* connectButton = MakeButton(QStringLiteral("Connect"), QStringLiteral("connect"));
  apply->setAutoDefault(false);
  cancel->setAutoDefault(false);
  connectButton->setDefault(true);
  QObject::connect(apply, &QPushButton::clicked, this, &SerialDialog::apply);
  QObject::connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  QObject::connect(connectButton, &QPushButton::clicked, this, &SerialDialog::connectNow);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(apply);
  buttons->addWidget(cancel);
  buttons->addWidget(connectButton);

  auto* left = new QVBoxLayout;
  left->addWidget(makeComOptions(ports));
  left->addWidget(makeTtyOptions());
  row_ = new QHBoxLayout;
  row_->addLayout(left);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row_);
  layout->addLayout(buttons);

  showValues(FillSerialDialog(port_, connected_, ti_));
}

// The list is made only when offered, so a dialog without it has just its
// two groups.
void SerialDialog::offerDevices(PortMap& map, std::vector<SerialDeviceInfo> found) {
  if (!devices_) {
    devices_ = new DevicePicker(portList_);
    row_->addWidget(devices_, 1);
  }
  devices_->offer(map, std::move(found));
}

void SerialDialog::offerReconnect(bool& flag) {
  reconnectFlag_ = &flag;
  reconnect_->setChecked(flag);
  reconnect_->show();
}

QGroupBox* SerialDialog::makeComOptions(const PortMap& ports) {
  portList_ = MakeList(QStringLiteral("portList"));
  ShowPortList(portList_, ports);
  baudList_ = MakeList(QStringLiteral("baudList"));
  AddItems(baudList_, FillComboFromStrings(BAUD_RATE_ITEMS, 0));
  dataBitsList_ = MakeList(QStringLiteral("dataBitsList"));
  int bits = FIRST_DATA_BITS;
  for (const std::string& caption : DataBitsCaptions()) {
    dataBitsList_->addItem(QString::fromStdString(caption), bits++);
  }
  parityList_ = MakeList(QStringLiteral("parityList"));
  AddItems(parityList_, FillComboFromStrings(PARITY_ITEMS, 0));
  stopBitsList_ = MakeList(QStringLiteral("stopBitsList"));
  AddItems(stopBitsList_, FillComboFromStrings(STOP_BITS_ITEMS, 0));

  auto* box = new QGroupBox(QStringLiteral("&COM Options:"));
  auto* form = new QFormLayout(box);
  form->addRow(QStringLiteral("&Port:"), portList_);
  form->addRow(QStringLiteral("&Baud Rate:"), baudList_);
  form->addRow(QStringLiteral("&Data Bits:"), dataBitsList_);
  form->addRow(QStringLiteral("P&arity:"), parityList_);
  form->addRow(QStringLiteral("&Stop Bits:"), stopBitsList_);
  reconnect_ = new QCheckBox(QStringLiteral("Reconnect when the port returns"));
  reconnect_->setObjectName(QStringLiteral("reconnect"));
  reconnect_->hide();
  form->addRow(reconnect_);
  return box;
}

QGroupBox* SerialDialog::makeTtyOptions() {
  autoWrap_ = new QCheckBox(QStringLiteral("Autowrap"));
  autoWrap_->setObjectName(QStringLiteral("autoWrap"));
  newLine_ = new QCheckBox(QStringLiteral("New Line"));
  newLine_->setObjectName(QStringLiteral("newLine"));
  localEcho_ = new QCheckBox(QStringLiteral("Local Echo"));
  localEcho_->setObjectName(QStringLiteral("localEcho"));

  auto* box = new QGroupBox(QStringLiteral("&TTY Options:"));
  auto* column = new QVBoxLayout(box);
  column->addWidget(autoWrap_);
  column->addWidget(newLine_);
  column->addWidget(localEcho_);
  return box;
}

void SerialDialog::showValues(const SerialDialogValues& v) {
  portList_->setCurrentIndex(v.portIndex);
  portList_->setEnabled(v.portListEnabled);
  baudList_->setCurrentIndex(v.baudIndex);
  dataBitsList_->setCurrentIndex(v.dataBitsIndex);
  parityList_->setCurrentIndex(v.parityIndex);
  stopBitsList_->setCurrentIndex(v.stopBitsIndex);
  autoWrap_->setChecked(v.autoWrap);
  newLine_->setChecked(v.newLine);
  localEcho_->setChecked(v.localEcho);
}

SerialDialogValues SerialDialog::values() const {
  SerialDialogValues v;
  v.portIndex = portList_->currentIndex();
  v.portListEnabled = portList_->isEnabled();
  v.baudIndex = baudList_->currentIndex();
  v.dataBitsIndex = dataBitsList_->currentIndex();
  v.parityIndex = parityList_->currentIndex();
  v.stopBitsIndex = stopBitsList_->currentIndex();
  v.autoWrap = autoWrap_->isChecked();
  v.newLine = newLine_->isChecked();
  v.localEcho = localEcho_->isChecked();
  return v;
}

void SerialDialog::store() {
  ReadSerialDialog(values(), port_, ti_);
  if (devices_) devices_->store();
  if (reconnectFlag_) *reconnectFlag_ = reconnect_->isChecked();
}

void SerialDialog::apply() {
  store();
  accept();
}

void SerialDialog::connectNow() {
  store();
  if (postConnect_) postConnect_();
  accept();
}

bool QtSerialDialogs::RunPortSettings(const PortSettingsRequest& request) {
  SerialDialog dialog(request.port, request.connected, request.terminal, ports_, request.connect,
                      parent_);
  dialog.offerDevices(ports_, FindSerialDevices());
  dialog.offerReconnect(request.reconnect);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace tw
