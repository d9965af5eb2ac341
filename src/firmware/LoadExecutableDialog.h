#pragma once

#include <QDialog>

class QLabel;

namespace tw {

// Dialog 108 "Load New Executable...": tells the operator to fit the
// programming dongle and cycle the modem's power; OK closes it.
class LoadExecutableDialog : public QDialog {
  Q_OBJECT
 public:
  explicit LoadExecutableDialog(QWidget* parent = nullptr);
  QString text() const;

 private:
  QLabel* text_;
};

}  // namespace tw
