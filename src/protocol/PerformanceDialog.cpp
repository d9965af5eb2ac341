#include "protocol/PerformanceDialog.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tw {
namespace {

constexpr int HIDE_BUTTON = 1013;
constexpr int RESET_BUTTON = 1014;
constexpr int FIELD_WIDTH = 70;

QString ControlName(int control) { return QString::number(control); }

}  // namespace

PerformanceDialog::PerformanceDialog(PerformanceStats& stats, QWidget* parent)
    : QDialog(parent), stats_(stats) {
  setWindowTitle("Performance");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(buildPerformanceGroup());
  layout->addWidget(buildErrorsGroup());
  layout->addWidget(buildPacketsGroup());
  layout->addWidget(buildNavigationGroup());

  reset_ = new QPushButton("Reset");
  reset_->setObjectName(ControlName(RESET_BUTTON));
  reset_->setAutoDefault(false);
  hide_ = new QPushButton("Hide");
  hide_->setObjectName(ControlName(HIDE_BUTTON));
  hide_->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(reset_);
  buttons->addWidget(hide_);
  layout->addLayout(buttons);

  connect(reset_, &QPushButton::clicked, this, &PerformanceDialog::onReset);
  connect(hide_, &QPushButton::clicked, this, &PerformanceDialog::onHide);
  fill();
}

PerformanceDialog::~PerformanceDialog() {
  // The record outlives this window: it must not keep calling into it.
  detach();
}

QString PerformanceDialog::fieldText(int control) const {
  auto it = fields_.find(control);
  return it == fields_.end() ? QString() : it->second->text();
}

QLineEdit* PerformanceDialog::addField(int control) {
  auto* field = new QLineEdit;
  field->setReadOnly(true);
  field->setFocusPolicy(Qt::NoFocus);
  field->setFixedWidth(FIELD_WIDTH);
  field->setObjectName(ControlName(control));
  fields_[control] = field;
  return field;
}

QWidget* PerformanceDialog::buildPerformanceGroup() {
  auto* group = new QGroupBox("Performance");
  auto* form = new QFormLayout(group);
  form->addRow("Doppler", addField(stats_ctl::DOPPLER));
  form->addRow("Mean MSE", addField(stats_ctl::MEAN_MSE));
  form->addRow("Mean AGC", addField(stats_ctl::MEAN_AGC));
  form->addRow("Mean DQF", addField(stats_ctl::MEAN_DQF));
  return group;
}

QWidget* PerformanceDialog::buildErrorsGroup() {
  auto* group = new QGroupBox("Errors");
  auto* form = new QFormLayout(group);
  form->addRow("Reverts", addField(stats_ctl::REVERTS));
  form->addRow("AIN", addField(stats_ctl::AIN));
  form->addRow("CRC", addField(stats_ctl::CRC));
  form->addRow("NVRAM", addField(stats_ctl::NVRAM));
  return group;
}

QWidget* PerformanceDialog::buildPacketsGroup() {
  auto* group = new QGroupBox("Packets");
  auto* form = new QFormLayout(group);
  form->addRow("Cycles", addField(stats_ctl::CYCLES));
  form->addRow("Detects", addField(stats_ctl::DETECTS));
  form->addRow("Good RX", addField(stats_ctl::GOOD_RX));
  form->addRow("TX Frames", addField(stats_ctl::TX_FRAMES));
  form->addRow("ACK Frames", addField(stats_ctl::ACK_FRAMES));
  return group;
}

QWidget* PerformanceDialog::buildNavigationGroup() {
  auto* group = new QGroupBox("Navigation");
  auto* grid = new QGridLayout(group);
  grid->addWidget(new QLabel("Pings"), 0, 0);
  grid->addWidget(addField(stats_ctl::PINGS), 0, 1);
  grid->addWidget(new QLabel("Replies"), 1, 1);
  grid->addWidget(new QLabel("Range (m)"), 1, 2);
  for (int c = 0; c < NAV_CHANNELS; ++c) {
    const int row = c + 2;
    grid->addWidget(new QLabel(QString("CH%1").arg(c + 1)), row, 0);
    grid->addWidget(addField(stats_ctl::REPLIES[static_cast<size_t>(c)]), row, 1);
    grid->addWidget(addField(stats_ctl::RANGES[static_cast<size_t>(c)]), row, 2);
  }
  return group;
}

void PerformanceDialog::fill() {
  for (const auto& [control, text] : StatsTexts(stats_)) {
    auto it = fields_.find(control);
    if (it != fields_.end()) it->second->setText(QString::fromStdString(text));
  }
}

void PerformanceDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  attached_ = true;
  stats_.dialogShown = true;
  stats_.refresh = [this] { fill(); };
  StatsRefresh(stats_);
}

void PerformanceDialog::onHide() {
  detach();
  done(1);
}

void PerformanceDialog::onReset() {
  StatsReset(stats_);
  StatsRefresh(stats_);
}

void PerformanceDialog::detach() {
  if (!attached_) return;
  attached_ = false;
  stats_.dialogShown = false;
  stats_.refresh = nullptr;
}

// Escape and the caption's close button leave the window open.
void PerformanceDialog::reject() {}

void PerformanceDialog::closeEvent(QCloseEvent* event) { event->ignore(); }

}  // namespace tw
