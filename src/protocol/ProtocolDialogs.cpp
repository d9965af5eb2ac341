#include "protocol/ProtocolDialogs.h"

#include "protocol/CustomStringDialog.h"
#include "protocol/ModemSettingsDialog.h"
#include "protocol/PerformanceDialog.h"
#include "protocol/PingResultsWindow.h"

namespace tw {

void QtProtocolDialogs::RunPerformance(PerformanceStats& stats) {
  PerformanceDialog dialog(stats, parent_);
  dialog.exec();
}

void QtProtocolDialogs::RunModemSettings(SentenceSink& sink) {
  ModemSettingsDialog dialog(sink, parent_);
  dialog.exec();
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
