#include "diagnostics/NoiseChartWindow.h"

#include <QKeySequence>
#include <QLabel>
#include <QPainter>
#include <QShortcut>
#include <QVBoxLayout>
#include <algorithm>

#include "core/ViewSaver.h"
#include "diagnostics/noise_chart_data.h"

namespace tw {

namespace {

const QColor BAR_COLOR(70, 110, 170);
const QColor PEAK_COLOR(200, 60, 40);
const QColor FLOOR_COLOR(40, 140, 60);
const QColor THRESHOLD_COLOR(200, 120, 0);

}  // namespace

NoiseChartView::NoiseChartView(QWidget* parent) : QWidget(parent) {
  setMinimumSize(360, 220);
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Base);
}

void NoiseChartView::setChart(NoiseChart chart) {
  chart_ = std::move(chart);
  QWidget::update();
}

void NoiseChartView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing, false);
  const QFontMetrics fm = fontMetrics();
  // Room for the level labels on the left and the frequency labels below.
  const int left = fm.horizontalAdvance("-000") + 12;
  const int bottom = 2 * fm.height() + 8;
  const int top = 2 * fm.height();  // the unit above the level labels
  const QRectF area(left, top, width() - left - 12, height() - bottom - top);
  if (area.width() < 20 || area.height() < 20) return;
  const auto X = [&](double hz) { return chart_.x.Map(hz, area.left(), area.right()); };
  const auto Y = [&](double dbv) { return chart_.y.Map(dbv, area.bottom(), area.top()); };

  // Level grid and labels.
  const double yStep = chart_.y.ticks.size() > 1 ? chart_.y.ticks[1] - chart_.y.ticks[0] : 1.0;
  for (double t : chart_.y.ticks) {
    const double y = Y(t);
    p.setPen(QPen(palette().color(QPalette::Mid), 0, Qt::DotLine));
    p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    p.setPen(palette().color(QPalette::Text));
    p.drawText(QRectF(0, y - fm.height() / 2.0, left - 6, fm.height()),
               Qt::AlignRight | Qt::AlignVCenter, QString::fromStdString(TickLabel(t, yStep)));
  }

  if (chart_.empty) {
    p.setPen(palette().color(QPalette::Text));
    p.drawRect(area);
    return;
  }

  for (const NoiseBar& bar : chart_.bars) {
    const QRectF r(QPointF(X(bar.left) + 1, Y(bar.level)),
                   QPointF(X(bar.right) - 1, area.bottom()));
    p.fillRect(r, bar.peak ? PEAK_COLOR : BAR_COLOR);
  }
  p.setPen(palette().color(QPalette::Text));
  for (double t : chart_.x.ticks) {
    const double x = X(t);
    p.drawLine(QPointF(x, area.bottom()), QPointF(x, area.bottom() + 4));
    p.drawText(QRectF(x - 40, area.bottom() + 4, 80, fm.height()), Qt::AlignCenter,
               QString::number(static_cast<long long>(t)));
  }
  p.drawText(QRectF(area.left(), area.bottom() + 4 + fm.height(), area.width(), fm.height()),
             Qt::AlignCenter, "Frequency (Hz)");
  p.drawText(QRectF(0, 0, left + 40, fm.height()), Qt::AlignLeft | Qt::AlignTop, "dBV");

  p.setPen(QPen(FLOOR_COLOR, 2, Qt::SolidLine));
  p.drawLine(QPointF(area.left(), Y(chart_.floor)), QPointF(area.right(), Y(chart_.floor)));
  p.setPen(QPen(THRESHOLD_COLOR, 2, Qt::DashLine));
  p.drawLine(QPointF(area.left(), Y(chart_.threshold)), QPointF(area.right(), Y(chart_.threshold)));

  p.setPen(palette().color(QPalette::Text));
  for (const NoiseMark& m : chart_.peaks) {
    const QPointF at(X(m.x), Y(m.y));
    p.setBrush(PEAK_COLOR);
    p.drawEllipse(at, 4, 4);
    const QString label = QString::fromStdString(m.label);
    const double w = fm.horizontalAdvance(label) + 4;
    const double x = std::clamp(at.x() - w / 2, area.left(), area.right() - w);
    p.drawText(QRectF(x, at.y() - fm.height() - 5, w, fm.height()), Qt::AlignCenter, label);
  }
  p.setBrush(Qt::NoBrush);
  p.drawRect(area);
}

NoiseChartWindow::NoiseChartWindow(NoiseChartRecord& record, QWidget* parent)
    : QWidget(parent, Qt::Window), record_(record) {
  setWindowTitle("Noise Spectrum");
  auto* layout = new QVBoxLayout(this);
  view_ = new NoiseChartView;
  layout->addWidget(view_, 1);

  auto* legend = new QLabel(
      QString("<span style='color:%1'>&#9632;</span> level &nbsp; "
              "<span style='color:%2'>&#9632;</span> peak &nbsp; "
              "<span style='color:%3'>&#9472;&#9472;</span> floor &nbsp; "
              "<span style='color:%4'>- - -</span> peak threshold")
          .arg(BAR_COLOR.name(), PEAK_COLOR.name(), FLOOR_COLOR.name(), THRESHOLD_COLOR.name()));
  layout->addWidget(legend);
  caption_ = new QLabel;
  caption_->setObjectName("caption");
  caption_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(caption_);
  saver_ = new ViewSaver(
      view_, [this] { return NoiseChartTable(view_->chart()); }, "noise-spectrum", this);
  layout->addWidget(saver_->bar());

  record_.SetListener([this] { showLastReport(); });
  showLastReport();
  // Esc closes it, as it closes a dialog.
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
          &QWidget::close);
}

NoiseChartWindow::~NoiseChartWindow() {
  // The record outlives the window.
  record_.SetListener(nullptr);
}

QString NoiseChartWindow::captionText() const { return caption_->text(); }

void NoiseChartWindow::showLastReport() {
  NoiseChart chart = MakeNoiseChart(record_.last());
  caption_->setText(QString::fromStdString(chart.caption));
  view_->setChart(std::move(chart));
}

QtDiagnosticsDialogs::~QtDiagnosticsDialogs() { delete window_; }

void QtDiagnosticsDialogs::ShowNoiseChart(NoiseChartRecord& record) {
  if (!window_) {
    window_ = new NoiseChartWindow(record, parent_);
    window_->setAttribute(Qt::WA_DeleteOnClose);
  }
  window_->show();
  window_->raise();
}

}  // namespace tw
