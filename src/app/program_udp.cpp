// Sharing over UDP as the program wires it: the links UdpShare is made
// with, and "Configure UDP...". The toggles are choices of the settings
// table; UdpShare follows them after every command and on the 100 ms step.
#include "app/program.h"
#include "diagnostics/noise_report.h"

namespace tw {

UdpLinks Program::UdpWiring() {
  return UdpLinks{terminal_,
                  logs_,
                  settings_,
                  state_,
                  stats_,
                  modem_,
                  gps_,
                  clock_,
                  [this](const std::string& line) {
                    if (auto floor = ShowNoiseReport(terminal_, state_, line)) {
                      noiseChart_.Record(state_, *floor);
                    }
                  }};
}

void Program::ConfigureUdp() {
  if (dialogs_.udp) dialogs_.udp->RunUdpSettings(settings_.udp);
}

}  // namespace tw
