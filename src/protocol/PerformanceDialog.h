#pragma once

#include <QDialog>
#include <map>

#include "protocol/stats.h"

class QLineEdit;
class QPushButton;

namespace tw {

// The "Performance" window: the statistics record in read-only fields,
// refreshed by every update while it is shown. Only "Hide" closes it, so
// a stray Escape does not take the numbers off the screen.
class PerformanceDialog : public QDialog {
  Q_OBJECT
 public:
  PerformanceDialog(PerformanceStats& stats, QWidget* parent = nullptr);
  ~PerformanceDialog() override;

  // The text of a field by its control number; empty for an unknown one.
  QString fieldText(int control) const;
  QPushButton* resetButton() const { return reset_; }
  QPushButton* hideButton() const { return hide_; }

 public slots:
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QLineEdit* addField(int control);
  QWidget* buildPerformanceGroup();
  QWidget* buildErrorsGroup();
  QWidget* buildPacketsGroup();
  QWidget* buildNavigationGroup();
  void fill();
  void onHide();
  void onReset();
  void detach();

  PerformanceStats& stats_;
  std::map<int, QLineEdit*> fields_;
  QPushButton* reset_ = nullptr;
  QPushButton* hide_ = nullptr;
  bool attached_ = false;  // the record's refresh points at this window
};

}  // namespace tw
