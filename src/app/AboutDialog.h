#pragma once

#include <QDialog>
#include <filesystem>

#include "app/program_dialogs.h"

class QLabel;

namespace tw {

// The about box: the program's name, version and purpose, and the full path
// of the data folder that holds the logs and received files; OK closes it.
class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  explicit AboutDialog(const std::filesystem::path& dataRoot, QWidget* parent = nullptr);
  QString versionLine() const;
  QString dataRootText() const;

 private:
  QLabel* version_;
  QLabel* dataRoot_;
};

// The program's own dialog, opened over `parent`.
class QtAppDialogs : public AppDialogs {
 public:
  explicit QtAppDialogs(QWidget* parent) : parent_(parent) {}
  void ShowAbout(const std::filesystem::path& dataRoot) override;

 private:
  QWidget* parent_;
};

}  // namespace tw
