#pragma once

#include <QPointer>
#include <QWidget>

#include "diagnostics/noise_chart.h"

class QLabel;

namespace tw {
class ViewSaver;
}

namespace tw {

// Draws a NoiseChart: bars from the bottom of the level axis up to each
// bin's level (peaks in another colour, with their label), the floor as a
// solid line and the peak threshold as a dashed one.
class NoiseChartView : public QWidget {
  Q_OBJECT
 public:
  explicit NoiseChartView(QWidget* parent = nullptr);
  void setChart(NoiseChart chart);
  const NoiseChart& chart() const { return chart_; }
  QSize sizeHint() const override { return {560, 320}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  NoiseChart chart_;
};

// The "Noise Spectrum" window: the last complete noise report as a bar
// chart, redrawn with every new report while it is open. It is modeless,
// so the terminal stays usable beside it.
class NoiseChartWindow : public QWidget {
  Q_OBJECT
 public:
  NoiseChartWindow(NoiseChartRecord& record, QWidget* parent = nullptr);
  ~NoiseChartWindow() override;

  const NoiseChart& chart() const { return view_->chart(); }
  QString captionText() const;
  // "Save Image..." and "Save Data..." of the chart.
  ViewSaver& saver() const { return *saver_; }

 private:
  void showLastReport();

  NoiseChartRecord& record_;
  NoiseChartView* view_ = nullptr;
  QLabel* caption_ = nullptr;
  ViewSaver* saver_ = nullptr;
};

// The diagnostics room's window, opened over `parent`. The window goes with
// this object at the latest, so it never outlives the record it follows.
class QtDiagnosticsDialogs : public DiagnosticsDialogs {
 public:
  explicit QtDiagnosticsDialogs(QWidget* parent) : parent_(parent) {}
  ~QtDiagnosticsDialogs() override;
  void ShowNoiseChart(NoiseChartRecord& record) override;

 private:
  QWidget* parent_;
  QPointer<NoiseChartWindow> window_;
};

}  // namespace tw
