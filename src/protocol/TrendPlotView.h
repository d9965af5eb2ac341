#pragma once

#include <QWidget>

#include "protocol/stats_trend.h"

namespace tw {

// Draws a TrendPlot: three strips stacked (quality factor, AGC, range), each
// with its own value axis, sharing the ten-minute time axis; now is at the
// right edge. The range strip has one line per channel.
class TrendPlotView : public QWidget {
  Q_OBJECT
 public:
  explicit TrendPlotView(QWidget* parent = nullptr);
  void setPlot(TrendPlot plot);
  const TrendPlot& plot() const { return plot_; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TrendPlot plot_;
};

}  // namespace tw
