#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "core/csv_table.h"

class QLabel;
class QPushButton;
class QWidget;

namespace tw {

// "Save Image..." (PNG, or SVG for a name ending in .svg) and "Save Data..."
// (CSV with a header row) for a window's plot. A save is whole or nothing
// (SaveWholeFile): a failed one leaves any old file as it was and shows one
// line under the buttons.
class ViewSaver : public QObject {
  Q_OBJECT
 public:
  // `view` is drawn for the image, `data` gives the table of what it
  // shows; `name` is the start of the file names offered.
  ViewSaver(QWidget* view, std::function<CsvTable()> data, const QString& name, QWidget* parent);

  // The two buttons and the failure line, in one row for the window's layout.
  QWidget* bar() const { return bar_; }
  QPushButton* imageButton() const { return image_; }
  QPushButton* dataButton() const { return data_; }
  // The failure line shown; empty after a save that worked.
  QString failureLine() const;

  bool saveImage(const QString& path);
  bool saveData(const QString& path);

  // Asks where to save (caption, suggested name, filter); a file dialog
  // unless replaced. An empty answer saves nothing.
  std::function<QString(const QString&, const QString&, const QString&)> chooseFile;

 private:
  bool save(const QString& path, const QByteArray& bytes);
  QByteArray svgBytes() const;

  QWidget* view_;
  std::function<CsvTable()> dataOf_;
  QString name_;
  QWidget* bar_ = nullptr;
  QPushButton* image_ = nullptr;
  QPushButton* data_ = nullptr;
  QLabel* line_ = nullptr;
};

}  // namespace tw
