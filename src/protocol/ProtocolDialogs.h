#pragma once

#include "protocol/protocol_dialogs.h"

class QWidget;

namespace tw {

// The protocol room's dialogs, opened over `parent`: PerformanceDialog,
// ModemSettingsDialog and CustomStringDialog.
class QtProtocolDialogs : public ProtocolDialogs {
 public:
  explicit QtProtocolDialogs(QWidget* parent) : parent_(parent) {}
  void RunPerformance(PerformanceStats& stats) override;
  void RunModemSettings(SentenceSink& sink, const ReportedConfig& reported) override;
  bool ConfirmFactoryDefaults(const std::string& caption) override;
  void RunCustomString(std::string& stored, TextOut& out, SentenceSink& sink) override;

 private:
  QWidget* parent_;
};

}  // namespace tw
