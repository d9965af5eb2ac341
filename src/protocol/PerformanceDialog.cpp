#include "protocol/PerformanceDialog.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <span>
#include <utility>

#include "core/ViewSaver.h"
#include "protocol/TrendPlotView.h"
#include "protocol/trend_plot_data.h"

namespace tw {
namespace {

constexpr int HIDE_BUTTON = 1013;
constexpr int RESET_BUTTON = 1014;
// Every field holds this many characters: a counter's widest value
// ("-2147483648") and a range of thousands of kilometres ("1234567890.5").
constexpr int FIELD_CHARS = 12;
// Dialog units.
constexpr int FIELD_HEIGHT = 12;
constexpr int ROW_GAP = 2;
constexpr int COLUMN_GAP = 4;
constexpr int GROUP_MARGIN = 4;
constexpr int PLOT_WIDTH = 150;
// The plot slides on by itself while no sample comes.
constexpr int TREND_REPAINT_MS = 1000;

// The groups of plain fields above "Navigation", top down: each row's label
// and control.
using FieldRow = std::pair<const char*, int>;

constexpr FieldRow PERFORMANCE_FIELDS[] = {
    {"Doppler", stats_ctl::DOPPLER},
    {"Mean MSE", stats_ctl::MEAN_MSE},
    {"Mean AGC", stats_ctl::MEAN_AGC},
    {"Mean DQF", stats_ctl::MEAN_DQF},
};
constexpr FieldRow ERROR_FIELDS[] = {
    {"Reverts", stats_ctl::REVERTS},
    {"AIN", stats_ctl::AIN},
    {"CRC", stats_ctl::CRC},
    {"NVRAM", stats_ctl::NVRAM},
};
constexpr FieldRow PACKET_FIELDS[] = {
    {"Cycles", stats_ctl::CYCLES},         {"Detects", stats_ctl::DETECTS},
    {"Good RX", stats_ctl::GOOD_RX},       {"TX Frames", stats_ctl::TX_FRAMES},
    {"ACK Frames", stats_ctl::ACK_FRAMES},
};

struct FieldGroup {
  const char* title;
  std::span<const FieldRow> rows;
};

constexpr FieldGroup FIELD_GROUPS[] = {
    {"Performance", PERFORMANCE_FIELDS},
    {"Errors", ERROR_FIELDS},
    {"Packets", PACKET_FIELDS},
};

QString ControlName(int control) { return QString::number(control); }

}  // namespace

PerformanceDialog::PerformanceDialog(PerformanceStats& stats, QWidget* parent)
    : QDialog(parent), stats_(stats) {
  setWindowTitle("Performance");
  // Dialog base units of the window's font, taken as the desktop does:
  // the mean width of the 52 letters, rounded, and the line height.
  const QFontMetrics fm = fontMetrics();
  const QString letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  baseX_ = std::max(1, (fm.horizontalAdvance(letters) / 26 + 1) / 2);
  baseY_ = std::max(1, fm.height());

  auto* column = new QVBoxLayout;
  column->setSpacing(dluY(3));
  for (const FieldGroup& group : FIELD_GROUPS) {
    QGridLayout* grid = addGroup(column, group.title);
    int row = 0;
    for (const auto& [label, control] : group.rows) addRow(grid, row++, label, control);
  }
  buildNavigationGroup(column);

  reset_ = new QPushButton("Reset");
  reset_->setObjectName(ControlName(RESET_BUTTON));
  reset_->setAutoDefault(false);
  hide_ = new QPushButton("Hide");
  hide_->setObjectName(ControlName(HIDE_BUTTON));
  hide_->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(reset_);
  buttons->addWidget(hide_);
  column->addLayout(buttons);
  column->addStretch(1);

  // One width for the first column of every group, so that the value
  // boxes of all groups line up.
  int labelWidth = 0;
  for (QLabel* label : rowLabels_) labelWidth = std::max(labelWidth, label->sizeHint().width());
  for (QLabel* label : rowLabels_) label->setFixedWidth(labelWidth);

  auto* trendBox = new QGroupBox("Last 10 minutes");
  auto* trendLayout = new QVBoxLayout(trendBox);
  trendLayout->setContentsMargins(dluX(GROUP_MARGIN), dluY(2), dluX(GROUP_MARGIN), dluY(3));
  trend_ = new TrendPlotView;
  trend_->setObjectName("trend");
  trend_->setMinimumWidth(dluX(PLOT_WIDTH));
  trendLayout->addWidget(trend_);
  saver_ = new ViewSaver(
      trend_, [this] { return TrendPlotTable(trend_->plot()); }, "performance-plot", this);
  trendLayout->addWidget(saver_->bar());

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(dluX(5), dluY(5), dluX(5), dluY(5));
  layout->setSpacing(dluX(5));
  layout->addLayout(column);
  layout->addWidget(trendBox, 1);

  connect(reset_, &QPushButton::clicked, this, &PerformanceDialog::onReset);
  connect(hide_, &QPushButton::clicked, this, &PerformanceDialog::onHide);
  trendTimer_ = new QTimer(this);
  connect(trendTimer_, &QTimer::timeout, this, &PerformanceDialog::showTrend);
  fill();
}

PerformanceDialog::~PerformanceDialog() {
  // The record outlives this window: it must not keep calling into it.
  detach();
}

int PerformanceDialog::dluX(int units) const { return (units * baseX_ + 2) / 4; }

int PerformanceDialog::dluY(int units) const { return (units * baseY_ + 4) / 8; }

QString PerformanceDialog::fieldText(int control) const {
  auto it = fields_.find(control);
  return it == fields_.end() ? QString() : it->second->text();
}

QLineEdit* PerformanceDialog::field(int control) const {
  auto it = fields_.find(control);
  return it == fields_.end() ? nullptr : it->second;
}

QLineEdit* PerformanceDialog::addField(int control) {
  auto* field = new QLineEdit;
  field->setReadOnly(true);
  field->setFocusPolicy(Qt::NoFocus);
  // Shown on the window's colour, as a box that only shows a value looks.
  QPalette shown = field->palette();
  shown.setBrush(QPalette::Base, shown.brush(QPalette::Window));
  field->setPalette(shown);
  field->setObjectName(ControlName(control));
  // Wide enough for FIELD_CHARS digits inside the style's frame and margins.
  QStyleOptionFrame option;
  option.initFrom(field);
  option.lineWidth = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field);
  const QFontMetrics fm = field->fontMetrics();
  const int textWidth = fm.horizontalAdvance(QString(FIELD_CHARS, QLatin1Char('0'))) + 4;
  const QSize size = field->style()->sizeFromContents(QStyle::CT_LineEdit, &option,
                                                      QSize(textWidth, fm.height()), field);
  field->setFixedSize(size.width(), std::max(dluY(FIELD_HEIGHT), size.height()));
  fields_[control] = field;
  return field;
}

QLabel* PerformanceDialog::addLabel(const QString& text) {
  auto* label = new QLabel(text);
  rowLabels_.push_back(label);
  return label;
}

QGridLayout* PerformanceDialog::addGroup(QLayout* column, const QString& title) {
  auto* group = new QGroupBox(title);
  auto* grid = new QGridLayout(group);
  grid->setContentsMargins(dluX(GROUP_MARGIN), dluY(2), dluX(GROUP_MARGIN), dluY(3));
  grid->setHorizontalSpacing(dluX(COLUMN_GAP));
  grid->setVerticalSpacing(dluY(ROW_GAP));
  grid->setColumnStretch(3, 1);
  column->addWidget(group);
  return grid;
}

void PerformanceDialog::addRow(QGridLayout* grid, int row, const QString& label, int control) {
  grid->addWidget(addLabel(label), row, 0);
  grid->addWidget(addField(control), row, 1);
}

void PerformanceDialog::buildNavigationGroup(QLayout* column) {
  QGridLayout* grid = addGroup(column, "Navigation");
  addRow(grid, 0, "Pings", stats_ctl::PINGS);
  grid->addWidget(new QLabel("Replies"), 1, 1, Qt::AlignBottom);
  grid->addWidget(new QLabel("Range (m)"), 1, 2, Qt::AlignBottom);
  for (int c = 0; c < NAV_CHANNELS; ++c) {
    const int row = c + 2;
    grid->addWidget(addLabel(QString("CH%1").arg(c + 1)), row, 0);
    grid->addWidget(addField(stats_ctl::REPLIES[static_cast<size_t>(c)]), row, 1);
    grid->addWidget(addField(stats_ctl::RANGES[static_cast<size_t>(c)]), row, 2);
  }
}

void PerformanceDialog::fill() {
  for (const auto& [control, text] : StatsTexts(stats_)) {
    auto it = fields_.find(control);
    if (it != fields_.end()) it->second->setText(QString::fromStdString(text));
  }
  showTrend();
}

void PerformanceDialog::showTrend() {
  if (stats_.clock == nullptr) {
    trend_->setPlot(MakeTrendPlot(stats_.trend, 0));
    return;
  }
  const uint32_t now = stats_.clock->tickCount();
  stats_.trend.Prune(now);
  trend_->setPlot(MakeTrendPlot(stats_.trend, now));
}

void PerformanceDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  attached_ = true;
  stats_.dialogShown = true;
  stats_.refresh = [this] { fill(); };
  StatsRefresh(stats_);
  trendTimer_->start(TREND_REPAINT_MS);
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
  if (trendTimer_) trendTimer_->stop();
}

// Escape and the caption's close button leave the window open.
void PerformanceDialog::reject() {}

void PerformanceDialog::closeEvent(QCloseEvent* event) { event->ignore(); }

}  // namespace tw
