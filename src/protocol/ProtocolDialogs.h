#pragma once

#include <QPointer>

#include "protocol/PingResultsWindow.h"
#include "protocol/protocol_dialogs.h"

class QWidget;

namespace tw {

// The protocol room's dialogs, opened over `parent`: PerformanceDialog,
// ModemSettingsDialog, CustomStringDialog and the modeless
// PingResultsWindow, which goes with this object at the latest, so it never
// outlives the results it follows.
class QtProtocolDialogs : public ProtocolDialogs {
 public:
  explicit QtProtocolDialogs(QWidget* parent) : parent_(parent) {}
  ~QtProtocolDialogs() override;
  void RunPerformance(PerformanceStats& stats) override;
  void RunModemSettings(SentenceSink& sink, const ReportedConfig& reported) override;
  bool ConfirmFactoryDefaults(const std::string& caption) override;
  void RunCustomString(std::string& stored, TextOut& out, SentenceSink& sink) override;
  void ShowPingResults(PingResults& results) override;

 private:
  QWidget* parent_;
  QPointer<PingResultsWindow> pingWindow_;
};

}  // namespace tw
