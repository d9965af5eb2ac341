#include "core/ViewSaver.h"

#include <QBuffer>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSvgGenerator>
#include <QWidget>
#include <string>

#include "core/paths.h"
#include "core/safe_file.h"

namespace tw {

ViewSaver::ViewSaver(QWidget* view, std::function<CsvTable()> data, const QString& name,
                     QWidget* parent)
    : QObject(parent), view_(view), dataOf_(std::move(data)), name_(name) {
  chooseFile = [this](const QString& caption, const QString& suggested, const QString& filter) {
    return QFileDialog::getSaveFileName(view_->window(), caption, suggested, filter);
  };
  bar_ = new QWidget(parent);
  auto* row = new QHBoxLayout(bar_);
  row->setContentsMargins(0, 0, 0, 0);
  image_ = new QPushButton("Save Image...", bar_);
  data_ = new QPushButton("Save Data...", bar_);
  image_->setAutoDefault(false);
  data_->setAutoDefault(false);
  line_ = new QLabel(bar_);
  line_->setObjectName("saveFailure");
  line_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  line_->setWordWrap(true);
  row->addWidget(image_);
  row->addWidget(data_);
  row->addWidget(line_, 1);

  connect(image_, &QPushButton::clicked, this, [this] {
    const QString path =
        chooseFile("Save Image", name_ + ".png", "PNG image (*.png);;SVG drawing (*.svg)");
    if (!path.isEmpty()) saveImage(path);
  });
  connect(data_, &QPushButton::clicked, this, [this] {
    const QString path = chooseFile("Save Data", name_ + ".csv", "CSV table (*.csv)");
    if (!path.isEmpty()) saveData(path);
  });
}

QString ViewSaver::failureLine() const { return line_->text(); }

bool ViewSaver::save(const QString& path, const QByteArray& bytes) {
  std::string why;
  const std::filesystem::path file = PathFromUtf8(path.toStdString());
  if (bytes.isEmpty()) {
    why = "nothing to save";
  } else if (SaveWholeFile(file, std::string_view(bytes.constData(), bytes.size()), why)) {
    line_->clear();
    return true;
  }
  line_->setText(QString("Error: Can't save '%1': %2.").arg(path, QString::fromStdString(why)));
  return false;
}

QByteArray ViewSaver::svgBytes() const {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(view_->size());
  svg.setViewBox(QRect(QPoint(0, 0), view_->size()));
  svg.setTitle(view_->window()->windowTitle());
  QPainter painter(&svg);
  view_->render(&painter);
  painter.end();
  return buffer.data();
}

bool ViewSaver::saveImage(const QString& path) {
  if (path.endsWith(".svg", Qt::CaseInsensitive)) return save(path, svgBytes());
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  view_->grab().toImage().save(&buffer, "PNG");
  return save(path, buffer.data());
}

bool ViewSaver::saveData(const QString& path) {
  const std::string text = CsvText(dataOf_());
  return save(path, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace tw
