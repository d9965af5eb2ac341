#pragma once

#include <QDialog>
#include <QPointer>

#include "firmware/firmware_download.h"

class QLabel;
class QProgressBar;

namespace tw {

// Dialog 115 "Load Executable Image": the modeless progress window of a
// firmware download, with its bar, status line and block line. It shows what
// the download's progress record holds; it has no buttons and stays open.
class ExecutableImageWindow : public QDialog {
  Q_OBJECT
 public:
  explicit ExecutableImageWindow(QWidget* parent = nullptr);

  // Shows `progress` in the three controls.
  void ShowProgress(const FirmwareProgress& progress);

  QProgressBar* bar() const { return bar_; }
  QString status() const;
  QString block() const;

 private:
  QProgressBar* bar_;
  QLabel* status_;
  QLabel* block_;
};

// Dialog 115 as the download opens it: the window is made once and kept
// (`window` holds it), shows `progress` and comes to the front; it does not
// hold up the caller.
void OpenExecutableImageWindow(QPointer<ExecutableImageWindow>& window, QWidget* parent,
                               const FirmwareProgress& progress);

// The firmware room's windows, opened over `parent`: the notice (dialog
// 108, LoadExecutableDialog) and the progress window, made once and kept.
class QtFirmwareDialogs : public FirmwareDialogs {
 public:
  explicit QtFirmwareDialogs(QWidget* parent) : parent_(parent) {}
  void ShowDongleNotice() override;
  void ShowProgress(const FirmwareProgress& progress) override;

 private:
  QWidget* parent_;
  QPointer<ExecutableImageWindow> window_;
};

}  // namespace tw
