#include "protocol/ModemSettingsDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tw {

namespace {
// How often an open dialog looks for a new report of the modem.
constexpr int FOLLOW_PERIOD_MS = 200;

QString Latin1(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

ModemSettingsDialog::ModemSettingsDialog(SentenceSink& sink, const ReportedConfig* reported,
                                         QWidget* parent)
    : QDialog(parent), sink_(sink), reported_(reported) {
  setWindowTitle("Change Modem Settings");

  list_ = new QComboBox;
  list_->setObjectName(QString::number(settings_ctl::LIST));
  for (const ConfigParam* row : ModemSettingRows()) list_->addItem(row->listText);
  list_->setCurrentIndex(0);

  value_ = new QLineEdit;
  value_->setObjectName(QString::number(settings_ctl::VALUE));
  value_->setMaxLength(static_cast<int>(MODEM_SETTING_VALUE_MAX));

  reportedLine_ = new QLabel;
  reportedLine_->setObjectName("reported");
  reportedLine_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  refusal_ = new QLabel;
  refusal_->setObjectName("refusal");
  refusal_->setWordWrap(true);
  refusal_->setStyleSheet("color: #b00000;");
  refusal_->hide();

  apply_ = new QPushButton("Apply");
  apply_->setObjectName(QString::number(settings_ctl::APPLY));
  apply_->setDefault(true);
  close_ = new QPushButton("Close");
  close_->setObjectName(QString::number(settings_ctl::CLOSE));
  close_->setAutoDefault(false);

  auto* fields = new QGridLayout;
  fields->addWidget(new QLabel("Setting"), 0, 0);
  fields->addWidget(list_, 0, 1);
  fields->addWidget(reportedLine_, 1, 1);
  fields->addWidget(new QLabel("New Value"), 2, 0);
  fields->addWidget(value_, 2, 1);
  fields->addWidget(refusal_, 3, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(apply_);
  buttons->addWidget(close_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addLayout(buttons);

  connect(apply_, &QPushButton::clicked, this, &ModemSettingsDialog::onApply);
  connect(close_, &QPushButton::clicked, this, [this] { done(1); });
  // A refusal belongs to the value it was about.
  connect(value_, &QLineEdit::textEdited, refusal_, &QLabel::hide);
  connect(list_, &QComboBox::currentIndexChanged, this, [this] {
    refusal_->hide();
    showReported();
  });
  if (reported_) {
    // The modem answers an Apply while the dialog is open; its report shows.
    follow_ = new QTimer(this);
    connect(follow_, &QTimer::timeout, this, [this] {
      if (reported_->changes() != shownChanges_) showReported();
    });
    follow_->start(FOLLOW_PERIOD_MS);
  }
  showReported();
}

void ModemSettingsDialog::showReported() {
  const int index = list_->currentIndex();
  const auto& rows = ModemSettingRows();
  if (!reported_ || index < 0 || static_cast<size_t>(index) >= rows.size()) {
    reportedLine_->hide();
    return;
  }
  shownChanges_ = reported_->changes();
  reportedLine_->setText(Latin1(ReportedValueLine(*reported_, *rows[static_cast<size_t>(index)])));
  reportedLine_->show();
}

void ModemSettingsDialog::onApply() {
  // The modem's sentences are 8-bit text; one character is one byte.
  std::string refusal;
  if (ModemSettingApply(sink_, list_->currentIndex(), value_->text().toLatin1().toStdString(),
                        &refusal)) {
    refusal_->hide();
  } else if (!refusal.empty()) {
    refusal_->setText(Latin1(refusal));
    refusal_->show();
  }
}

}  // namespace tw
