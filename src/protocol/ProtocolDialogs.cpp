#include "protocol/ProtocolDialogs.h"

#include <QGuiApplication>
#include <QMessageBox>

#include "protocol/CustomStringDialog.h"
#include "protocol/ModemSettingsDialog.h"
#include "protocol/PerformanceDialog.h"
#include "protocol/PingResultsWindow.h"

namespace tw {

void QtProtocolDialogs::RunPerformance(PerformanceStats& stats) {
  PerformanceDialog dialog(stats, parent_);
  dialog.exec();
}

void QtProtocolDialogs::RunModemSettings(SentenceSink& sink, const ReportedConfig& reported) {
  ModemSettingsDialog dialog(sink, &reported, parent_);
  dialog.exec();
}

bool QtProtocolDialogs::ConfirmFactoryDefaults(const std::string& caption) {
  // Without a desktop nobody could answer: the command goes on as a run
  // without dialogs has it.
  const QString platform = QGuiApplication::platformName();
  if (platform == "offscreen" || platform == "minimal") return true;
  QMessageBox box(QMessageBox::Question, QString::fromStdString(caption), FACTORY_DEFAULTS_QUESTION,
                  QMessageBox::Ok | QMessageBox::Cancel, parent_);
  box.setDefaultButton(QMessageBox::Cancel);
  return box.exec() == QMessageBox::Ok;
}

void QtProtocolDialogs::RunCustomString(std::string& stored, TextOut& out, SentenceSink& sink) {
  CustomStringDialog dialog(stored, out, sink, parent_);
  dialog.exec();
}

QtProtocolDialogs::~QtProtocolDialogs() { delete pingWindow_; }

void QtProtocolDialogs::ShowPingResults(PingResults& results) {
  if (!pingWindow_) {
    pingWindow_ = new PingResultsWindow(results, parent_);
    pingWindow_->setAttribute(Qt::WA_DeleteOnClose);
  }
  pingWindow_->show();
  pingWindow_->raise();
  pingWindow_->activateWindow();
}

}  // namespace tw
