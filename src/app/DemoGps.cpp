#include "app/DemoGps.h"

namespace tw {

DemoGps::DemoGps(const Clock& clock, std::function<bool()> listening)
    : clock_(clock), listening_(std::move(listening)) {
  connect(&timer_, &QTimer::timeout, this, &DemoGps::SendFix);
}

bool DemoGps::Start(std::string& error) {
  if (!pty_.ok()) {
    error = "cannot make a pseudo-terminal for the GPS: " + pty_.error();
    return false;
  }
  PseudoTerminalOpener opener(pty_);
  port_ = opener.open(DEMO_GPS_PORT);
  if (!port_) {
    error = "cannot open the GPS pseudo-terminal";
    return false;
  }
  timer_.start(DEMO_GPS_PERIOD_MS);
  return true;
}

void DemoGps::SendFix() {
  const std::string sentence = ship_.NextSentence(clock_.localTime());
  if (listening_()) port_->writeAll(sentence.data(), sentence.size(), 0);
}

}  // namespace tw
