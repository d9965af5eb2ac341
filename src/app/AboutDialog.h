#pragma once

#include <QDialog>
#include <filesystem>

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

}  // namespace tw
