// Every room's dialogs as one recording fake: which were opened, in order,
// and a hook that runs "inside" each, while it is open.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/program_dialogs.h"

namespace tw::test {

class FakeDialogs : public AppDialogs,
                    public SerialDialogs,
                    public ProtocolDialogs,
                    public DiagnosticsDialogs,
                    public FrameDialogs,
                    public EmulatorDialogs,
                    public GpsDialogs,
                    public FirmwareDialogs {
 public:
  std::vector<std::string> opened;
  std::function<void(const std::string& name)> onOpen;
  // While "port settings" is open: what it was opened on.
  const PortSettingsRequest* portRequest = nullptr;
  bool portApplied = true;  // what the port dialog answers
  // The Connect button of the last "gps settings".
  std::function<void()> gpsConnect;

  ProgramDialogs all() { return {this, this, this, this, this, this, this, this}; }

  void ShowAbout(const std::filesystem::path&) override { Open("about"); }
  bool RunPortSettings(const PortSettingsRequest& request) override {
    portRequest = &request;
    Open("port settings");
    portRequest = nullptr;
    return portApplied;
  }
  void RunPerformance(PerformanceStats&) override { Open("performance"); }
  // What "factory defaults?" answers; the modem settings dialog's record.
  bool factoryDefaultsAnswer = true;
  const ReportedConfig* reportedConfig = nullptr;
  void RunModemSettings(SentenceSink&, const ReportedConfig& reported) override {
    reportedConfig = &reported;
    Open("modem settings");
  }
  bool ConfirmFactoryDefaults(const std::string&) override {
    Open("factory defaults?");
    return factoryDefaultsAnswer;
  }
  void RunCustomString(std::string&, TextOut&, SentenceSink&) override { Open("custom string"); }
  void ShowPingResults(PingResults&) override { Open("ping results"); }
  void ShowNoiseChart(NoiseChartRecord&) override { Open("noise chart"); }
  void RunNodeProtocols(DataFrames&) override { Open("node protocols"); }
  void RunEmulatorWindow(Emulator&, EmulatorPane&) override { Open("emulator"); }
  void RunGpsSettings(SerialSettings&, std::function<void()> connect) override {
    gpsConnect = std::move(connect);
    Open("gps settings");
  }
  void ShowDongleNotice() override { Open("dongle notice"); }
  void ShowProgress(const FirmwareProgress&) override { Open("firmware progress"); }

 private:
  void Open(const std::string& name) {
    opened.push_back(name);
    if (onOpen) onOpen(name);
  }
};

}  // namespace tw::test
