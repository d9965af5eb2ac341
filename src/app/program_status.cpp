// What the status bar shows: the modem connection, its traffic and the open
// logs, handed to the window only when it changed.
#include "app/program.h"

namespace tw {

Program::StatusInputs Program::StatusNow() const {
  StatusInputs in;
  LinkStatus& link = in.link;
  link.connected = modem_.connected();
  link.reconnecting = modem_.reconnecting();
  link.port = link.reconnecting ? modem_.reconnectPort() : modem_.portNumber();
  link.device = modem_.device(link.port);
  link.baudRate = settings_.modemPort.baudRate;
  link.received = modem_.bytesReceived();
  link.sent = modem_.bytesSent();
  if (logs_.nmeaOpen()) in.nmeaLog = logs_.nmeaPath();
  if (logs_.dataOpen()) in.dataLog = logs_.dataPath();
  in.replay = ReplayPosition();
  in.replayPaused = replayPaused();
  in.udp = udp_.StatusText();
  ActivityStatus& a = in.activity;
  a.gpsConnected = gpsLink_.connected();
  a.gpsReconnecting = gpsLink_.reconnecting();
  a.gpsPort = a.gpsReconnecting ? gpsLink_.reconnectPort() : gpsLink_.portNumber();
  if (a.gpsConnected || a.gpsReconnecting) a.gpsDevice = gpsLink_.device(a.gpsPort);
  a.loopTesting = state_.loopTesting != 0;
  a.acpSending = AcpSendProgress(frames_.acp);
  return in;
}

// The fields of `in`: the link and the logs, the replay's part, UDP sharing
// and what else is going on.
StatusFields Program::FieldsOf(const StatusInputs& in) {
  StatusFields f = MakeStatusFields(in.link, in.nmeaLog, in.dataLog);
  f.replay = in.replay;
  f.replayPaused = in.replayPaused;
  f.udp = in.udp;
  f.activity = ActivityText(in.activity);
  return f;
}

StatusFields Program::Status() const { return FieldsOf(StatusNow()); }

void Program::SetStatusListener(std::function<void(const StatusFields&)> listener) {
  statusListener_ = std::move(listener);
  shownInputs_ = StatusNow();
  shownStatus_ = FieldsOf(shownInputs_);
  if (statusListener_) statusListener_(shownStatus_);
}

// Runs ten times a second, busy or idle: nothing is formatted unless what
// the bar shows is made from something new.
void Program::ReportStatus() {
  if (!statusListener_) return;
  StatusInputs now = StatusNow();
  if (now == shownInputs_) return;
  shownInputs_ = std::move(now);
  StatusFields fields = FieldsOf(shownInputs_);
  if (fields == shownStatus_) return;
  shownStatus_ = std::move(fields);
  statusListener_(shownStatus_);
}

}  // namespace tw
