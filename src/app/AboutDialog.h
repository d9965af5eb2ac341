#pragma once

#include <QDialog>

class QLabel;

namespace tw {

// The about box: the program's name, version and purpose; OK closes it.
class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  explicit AboutDialog(QWidget* parent = nullptr);
  QString versionLine() const;

 private:
  QLabel* version_;
};

}  // namespace tw
