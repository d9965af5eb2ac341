#pragma once

#include <QDialog>
#include <map>
#include <vector>

#include "protocol/stats.h"

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace tw {

class TrendPlotView;
class ViewSaver;

// The "Performance" window: the statistics record in read-only fields,
// refreshed by every update while it is shown. Only "Hide" closes it, so
// a stray Escape does not take the numbers off the screen. Beside the
// fields, a small plot shows the quality factor, AGC and ranges of the last
// ten minutes.
//
// Sizes are laid out in dialog units of the window's own font (a quarter of
// its average character width across, an eighth of its height down), so the
// window keeps its proportions whatever font the desktop gives it.
class PerformanceDialog : public QDialog {
  Q_OBJECT
 public:
  PerformanceDialog(PerformanceStats& stats, QWidget* parent = nullptr);
  ~PerformanceDialog() override;

  // The text of a field by its control number; empty for an unknown one.
  QString fieldText(int control) const;
  QPushButton* resetButton() const { return reset_; }
  QPushButton* hideButton() const { return hide_; }
  // The field of a control, for checks of the layout; null for an unknown one.
  QLineEdit* field(int control) const;
  const TrendPlotView& trendView() const { return *trend_; }
  // "Save Image..." and "Save Data..." of the plot.
  ViewSaver& saver() const { return *saver_; }
  // Dialog units in pixels of this window's font.
  int dluX(int units) const;
  int dluY(int units) const;

 public slots:
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QLineEdit* addField(int control);
  QLabel* addLabel(const QString& text);
  QGridLayout* addGroup(QLayout* column, const QString& title);
  void addRow(QGridLayout* grid, int row, const QString& label, int control);
  void buildNavigationGroup(QLayout* column);
  void fill();
  void showTrend();
  void onHide();
  void onReset();
  void detach();

  PerformanceStats& stats_;
  std::map<int, QLineEdit*> fields_;
  std::vector<QLabel*> rowLabels_;  // the first column of every group
  TrendPlotView* trend_ = nullptr;
  ViewSaver* saver_ = nullptr;
  QTimer* trendTimer_ = nullptr;
  int baseX_ = 1;  // average character width, pixels
  int baseY_ = 1;  // character height, pixels
  QPushButton* reset_ = nullptr;
  QPushButton* hide_ = nullptr;
  bool attached_ = false;  // the record's refresh points at this window
};

}  // namespace tw
