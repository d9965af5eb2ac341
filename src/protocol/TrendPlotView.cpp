#include "protocol/TrendPlotView.h"

#include <QPainter>
#include <QPainterPath>
#include <array>

namespace tw {
namespace {

// CH1..CH4 on the range strip; the other strips use the first.
const std::array<QColor, 4> LINE_COLORS = {QColor(40, 90, 180), QColor(200, 70, 40),
                                           QColor(40, 150, 70), QColor(150, 60, 170)};

}  // namespace

TrendPlotView::TrendPlotView(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Base);
  setMinimumSize(240, 240);
}

QSize TrendPlotView::sizeHint() const {
  const int h = fontMetrics().height();
  return {28 * fontMetrics().averageCharWidth(), 3 * 7 * h + 2 * h};
}

void TrendPlotView::setPlot(TrendPlot plot) {
  plot_ = std::move(plot);
  update();
}

void TrendPlotView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QFontMetrics fm = fontMetrics();
  const int lineH = fm.height();
  const int left = fm.horizontalAdvance("-0000.0") + 8;
  const int right = 8;
  const int axisH = lineH + 6;  // time labels at the bottom
  const int stripCount = static_cast<int>(plot_.strips.size());
  const double stripH = (height() - axisH) / static_cast<double>(stripCount);
  const QColor text = palette().color(QPalette::Text);
  const QColor grid = palette().color(QPalette::Mid);

  for (int i = 0; i < stripCount; ++i) {
    const TrendStrip& strip = plot_.strips[static_cast<size_t>(i)];
    const QRectF area(left, i * stripH + lineH + 2, width() - left - right,
                      stripH - lineH - 6);
    if (area.height() < 8 || area.width() < 8) continue;
    const auto X = [&](double s) { return plot_.x.Map(s, area.left(), area.right()); };
    const auto Y = [&](double v) { return strip.y.Map(v, area.bottom(), area.top()); };

    p.setPen(text);
    QString title = QString::fromStdString(strip.title);
    // The range strip names its channels instead: the fields show each range.
    if (!strip.latest.empty() && !strip.perChannel) {
      title += "   now " + QString::fromStdString(strip.latest);
    }
    p.drawText(QRectF(left, i * stripH, area.width(), lineH), Qt::AlignLeft | Qt::AlignVCenter,
               title);
    if (strip.perChannel) {
      // The channels' colours, right-aligned above the strip.
      double x = area.right();
      for (auto it = strip.lines.rbegin(); it != strip.lines.rend(); ++it) {
        const QString name = QString("CH%1").arg(it->channel + 1);
        const double w = fm.horizontalAdvance(name) + 6;
        x -= w;
        p.setPen(LINE_COLORS[static_cast<size_t>(it->channel) % LINE_COLORS.size()]);
        p.drawText(QRectF(x, i * stripH, w, lineH), Qt::AlignRight | Qt::AlignVCenter, name);
      }
      p.setPen(text);
    }
    // Only the ends of the value axis are labelled: the strips are small.
    const double step = strip.y.ticks.size() > 1 ? strip.y.ticks[1] - strip.y.ticks[0] : 1.0;
    for (double v : {strip.y.min, strip.y.max}) {
      p.drawText(QRectF(0, Y(v) - lineH / 2.0, left - 4, lineH), Qt::AlignRight | Qt::AlignVCenter,
                 QString::fromStdString(TickLabel(v, step)));
    }
    p.setPen(QPen(grid, 0, Qt::DotLine));
    for (double t : plot_.x.ticks) p.drawLine(QPointF(X(t), area.top()), QPointF(X(t), area.bottom()));
    p.setPen(text);
    p.drawRect(area);

    p.save();
    p.setClipRect(area.adjusted(-3, -3, 3, 3));
    p.setRenderHint(QPainter::Antialiasing, true);
    for (const TrendLine& line : strip.lines) {
      const QColor color = LINE_COLORS[static_cast<size_t>(line.channel) % LINE_COLORS.size()];
      p.setPen(QPen(color, 1.5));
      p.setBrush(color);
      QPainterPath path;
      for (size_t k = 0; k < line.points.size(); ++k) {
        const QPointF pt(X(line.points[k].first), Y(line.points[k].second));
        if (k == 0) {
          path.moveTo(pt);
        } else {
          path.lineTo(pt);
        }
      }
      p.setBrush(Qt::NoBrush);
      p.drawPath(path);
      // A lone sample would not show as a line.
      p.setBrush(color);
      p.drawEllipse(QPointF(X(line.points.back().first), Y(line.points.back().second)), 2.0, 2.0);
    }
    p.restore();
  }

  // The shared time axis: minutes before now.
  p.setPen(text);
  const QRectF last(left, height() - axisH, width() - left - right, axisH);
  for (double t : plot_.x.ticks) {
    const double x = plot_.x.Map(t, last.left(), last.right());
    // Minutes before now; the unit only on the first label, so they keep apart.
    QString label = QString::number(t / 60.0, 'f', 0);
    if (t == 0.0) label = "now";
    if (t == plot_.x.min) label += " min";
    const double w = fm.horizontalAdvance(label) + 2;
    const double at = std::clamp(x - w / 2, 0.0, width() - w);
    p.drawText(QRectF(at, last.top() + 3, w, lineH), Qt::AlignCenter, label);
  }
}

}  // namespace tw
