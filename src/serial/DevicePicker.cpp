#include "serial/DevicePicker.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QScrollBar>
#include <QSerialPortInfo>
#include <QStandardItemModel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tw {

bool SerialDeviceExists(const std::string& device) {
#ifdef _WIN32
  const QString name = QString::fromStdString(device);
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    if (info.portName().compare(name, Qt::CaseInsensitive) == 0) return true;
  }
  return false;
#else
  return QFileInfo::exists(QString::fromStdString(device));
#endif
}

void ShowPortList(QComboBox* list, const PortMap& ports) {
  const auto items = PortListItems(ports, SerialDeviceExists);
  auto* model = qobject_cast<QStandardItemModel*>(list->model());
  for (size_t i = 0; i < items.size(); ++i) {
    const int row = static_cast<int>(i);
    const QString caption = QString::fromStdString(PortListCaption(items[i]));
    if (row < list->count()) {
      list->setItemText(row, caption);
    } else {
      list->addItem(caption, row + MIN_PORT);
    }
    // Still selectable: the device may be plugged in before Connect.
    if (model) {
      model->item(row)->setForeground(
          items[i].present ? QBrush() : list->palette().brush(QPalette::Disabled, QPalette::Text));
    }
  }
}

DevicePicker::DevicePicker(QComboBox* portList, QWidget* parent)
    : QGroupBox(QStringLiteral("Devices found:"), parent), portList_(portList) {
  list_ = new QTreeWidget;
  list_->setObjectName(QStringLiteral("deviceList"));
  list_->setRootIsDecorated(false);
  list_->setHeaderLabels({QStringLiteral("Device"), QStringLiteral("Description"),
                          QStringLiteral("Manufacturer"), QStringLiteral("Serial number")});
  list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  list_->header()->setStretchLastSection(false);
  (new QVBoxLayout(this))->addWidget(list_);
  connect(list_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (item) deviceChosen(list_->indexOfTopLevelItem(item));
  });
  connect(portList_, &QComboBox::currentIndexChanged, this,
          [this](int index) { showDeviceOf(index); });
}

void DevicePicker::offer(PortMap& map, std::vector<SerialDeviceInfo> found) {
  map_ = &map;
  pending_ = map;
  rows_ = DeviceRows(pending_, found);
  showing_ = true;
  list_->clear();
  for (const DeviceRow& r : rows_) {
    auto* item = new QTreeWidgetItem(
        list_,
        {QString::fromStdString(r.info.path), QString::fromStdString(r.info.description),
         QString::fromStdString(r.info.manufacturer), QString::fromStdString(r.info.serialNumber)});
    if (!r.info.byIdPath.empty()) item->setToolTip(0, QString::fromStdString(r.info.byIdPath));
    if (!r.present) item->setForeground(0, palette().brush(QPalette::Disabled, QPalette::Text));
  }
  showing_ = false;
  list_->setEnabled(portList_->isEnabled());
  ShowPortList(portList_, pending_);
  showDeviceOf(portList_->currentIndex());
}

void DevicePicker::store() {
  if (map_) *map_ = pending_;
}

// Row 0 names what the selected port opens when no device is chosen. Every
// column is shown whole: the list is as wide as its columns.
void DevicePicker::showDeviceOf(int portIndex) {
  if (rows_.empty() || portIndex < 0) return;
  const int port = portIndex + MIN_PORT;
  showing_ = true;
  list_->topLevelItem(0)->setText(
      0, QString::fromStdString("(" + UnchosenDevice(pending_, port) + ")"));
  list_->topLevelItem(0)->setText(1, QStringLiteral("no device chosen"));
  list_->setCurrentItem(list_->topLevelItem(DeviceRowFor(rows_, pending_, port)));
  showing_ = false;
  int width = 2 * list_->frameWidth() + list_->verticalScrollBar()->sizeHint().width();
  for (int c = 0; c < list_->columnCount(); ++c) {
    list_->resizeColumnToContents(c);
    width += list_->header()->sectionSize(c);
  }
  list_->setMinimumWidth(width);
}

void DevicePicker::deviceChosen(int row) {
  if (showing_ || rows_.empty() || portList_->currentIndex() < 0) return;
  ChooseDeviceRow(rows_, row, pending_, portList_->currentIndex() + MIN_PORT);
  ShowPortList(portList_, pending_);
}

}  // namespace tw
