#include "firmware/ExecutableImageWindow.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "firmware/LoadExecutableDialog.h"

namespace tw {

ExecutableImageWindow::ExecutableImageWindow(QWidget* parent) : QDialog(parent) {
  setWindowTitle(EXECUTABLE_IMAGE_CAPTION);
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  bar_ = new QProgressBar;
  bar_->setObjectName(QString::number(progress_ctl::BAR));
  bar_->setTextVisible(false);
  status_ = new QLabel(PROGRESS_STATUS_TEMPLATE);
  status_->setObjectName(QString::number(progress_ctl::STATUS));
  block_ = new QLabel(PROGRESS_BLOCK_TEMPLATE);
  block_->setObjectName(QString::number(progress_ctl::BLOCK));
  layout->addWidget(bar_);
  layout->addWidget(status_);
  layout->addWidget(block_);
  setMinimumWidth(320);
}

void ExecutableImageWindow::ShowProgress(const FirmwareProgress& progress) {
  status_->setText(QString::fromStdString(progress.status));
  block_->setText(QString::fromStdString(progress.block));
  bar_->setRange(progress.rangeLow, progress.rangeHigh);
  bar_->setValue(progress.position);
}

QString ExecutableImageWindow::status() const { return status_->text(); }
QString ExecutableImageWindow::block() const { return block_->text(); }

void OpenExecutableImageWindow(QPointer<ExecutableImageWindow>& window, QWidget* parent,
                               const FirmwareProgress& progress) {
  if (!window) window = new ExecutableImageWindow(parent);
  window->ShowProgress(progress);
  window->show();
  window->raise();
}

void QtFirmwareDialogs::ShowDongleNotice() {
  LoadExecutableDialog dialog(parent_);
  dialog.exec();
}

void QtFirmwareDialogs::ShowProgress(const FirmwareProgress& progress) {
  OpenExecutableImageWindow(window_, parent_, progress);
}

}  // namespace tw
