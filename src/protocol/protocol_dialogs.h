// The protocol room's dialogs as its commands open them.
#pragma once

#include <string>

#include "core/sentence_sink.h"
#include "core/text_out.h"
#include "protocol/modem_settings.h"
#include "protocol/stats.h"

namespace tw {

// Opened by the Qt layer (QtProtocolDialogs); each is modal and returns
// when it has closed, but for the ping results.
class ProtocolDialogs {
 public:
  virtual ~ProtocolDialogs() = default;
  // "Performance" on the statistics.
  virtual void RunPerformance(PerformanceStats& stats) = 0;
  // "Change Modem Settings": the settings go out through `sink`; beside
  // each the value the modem last reported.
  virtual void RunModemSettings(SentenceSink& sink, const ReportedConfig& reported) = 0;
  // Asks before "Use Factory Defaults" goes out; true for OK. `caption`:
  // the window title.
  virtual bool ConfirmFactoryDefaults(const std::string& caption) = 0;
  // "Enter Command String" on the stored string; "Test" sends it through
  // `sink`, lines go to `out`.
  virtual void RunCustomString(std::string& stored, TextOut& out, SentenceSink& sink) = 0;
  // "Network Ping Results" on the per-unit results; modeless: one window,
  // brought to the front when it is open already, and this returns at once.
  virtual void ShowPingResults(PingResults& results) = 0;
};

}  // namespace tw
