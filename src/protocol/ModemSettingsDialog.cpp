#include "protocol/ModemSettingsDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "protocol/modem_settings.h"

namespace tw {

ModemSettingsDialog::ModemSettingsDialog(SentenceSink& sink, QWidget* parent)
    : QDialog(parent), sink_(sink) {
  setWindowTitle("Change Modem Settings");

  list_ = new QComboBox;
  list_->setObjectName(QString::number(settings_ctl::LIST));
  for (const ConfigParam* row : ModemSettingRows()) list_->addItem(row->listText);
  list_->setCurrentIndex(0);

  value_ = new QLineEdit;
  value_->setObjectName(QString::number(settings_ctl::VALUE));
  value_->setMaxLength(static_cast<int>(MODEM_SETTING_VALUE_MAX));

  apply_ = new QPushButton("Apply");
  apply_->setObjectName(QString::number(settings_ctl::APPLY));
  apply_->setDefault(true);
  close_ = new QPushButton("Close");
  close_->setObjectName(QString::number(settings_ctl::CLOSE));
  close_->setAutoDefault(false);

  auto* fields = new QGridLayout;
  fields->addWidget(new QLabel("Setting"), 0, 0);
  fields->addWidget(list_, 0, 1);
  fields->addWidget(new QLabel("New Value"), 1, 0);
  fields->addWidget(value_, 1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(apply_);
  buttons->addWidget(close_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addLayout(buttons);

  connect(apply_, &QPushButton::clicked, this, &ModemSettingsDialog::onApply);
  connect(close_, &QPushButton::clicked, this, [this] { done(1); });
}

void ModemSettingsDialog::onApply() {
  // The modem's sentences are 8-bit text; one character is one byte.
  ModemSettingApply(sink_, list_->currentIndex(), value_->text().toLatin1().toStdString());
}

}  // namespace tw
