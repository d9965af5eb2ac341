#include "gps/gps_receiver.h"

#include <cstdint>

#include "core/commands.h"
#include "core/fixed_format.h"
#include "gps/gps_sentence.h"
#include "serial/open_failure.h"

namespace tw {

namespace {
constexpr uint8_t LF = 10;
}  // namespace

bool GPSTakeSentence(RxState& rx, std::string& sentence) {
  if (!rx.allocated() || rx.count() == 0) return false;
  const uint32_t dollar = RxFind(rx, 0, '$');
  if (dollar == rx.count()) {
    RxReset(rx);
    return false;
  }
  RxConsume(rx, dollar);
  const uint32_t lf = RxFind(rx, 0, LF);
  if (lf < GPS_BUFFER_SIZE && lf < rx.count()) {
    sentence = RxCopy(rx, 0, lf);
    RxConsume(rx, lf + 1);
    return true;
  }
  // A full sentence buffer without a line feed: no sentence is that long,
  // so the held bytes are noise or a line that lost its end.
  if (rx.count() >= GPS_BUFFER_SIZE) RxConsume(rx, GPS_BUFFER_SIZE);
  return false;
}

GpsReceiver::GpsReceiver(GpsLinks links) : links_(links) {}

bool GpsReceiver::GPSOpen() {
  if (!OpenPort()) {
    // An old port was closed on the way, so there is nothing to disconnect.
    links_.menu.Enable(cmd::GPS_DISCONNECT, false);
    links_.out.PrintLine(
        OpenFailureLine(FixedFormat("GPS port COM%d", links_.settings.gpsPort.portNumber),
                        links_.link.lastFailure()));
    links_.boxes.MessageBox(GPS_CANT_CONNECT, GPS_BOX_CAPTION, BoxIcon::Warning);
    return false;
  }
  links_.out.PrintLine(GPS_OPEN_TEXT);
  links_.menu.Enable(cmd::GPS_DISCONNECT, true);
  return true;
}

bool GpsReceiver::OpenPort() {
  SerialLink& link = links_.link;
  if (link.connected()) link.Disconnect();
  // Bytes held from before a reconnect stay; the ring is made only once.
  if (!link.rx.allocated()) RxInit(link.rx);
  if (!link.Connect()) return false;
  links_.out.PrintLine(FixedFormat(GPS_CONNECTED_FORMAT, link.portNumber()));
  return true;
}

void GpsReceiver::GPSClose() {
  if (links_.link.connected()) links_.link.Disconnect();
  links_.menu.Enable(cmd::GPS_DISCONNECT, false);
}

// The receiver went away (adapter pulled, other end closed): the link has
// closed the port already, so it is not polled again; say so once.
void GpsReceiver::PortLost() {
  links_.menu.Enable(cmd::GPS_DISCONNECT, false);
  links_.out.PrintLine(FixedFormat(GPS_LOST_FORMAT, links_.link.lastOpenedPort()));
}

// A step's sentences are shown in the order they came, each accepted fix
// handed on right after it; only the newest fix of the step also goes to the
// map. That one's hand-on is GPSDispatch's, so what came after it in the
// step is held and shown there, after it.
bool GpsReceiver::GPSPoll() {
  ShowHeld();  // a step whose dispatch never came
  SerialLink& link = links_.link;
  if (!link.connected()) return false;
  switch (link.Poll(GPS_BYTES_PER_STEP)) {
    case SerialLink::PollResult::Closed:
      return false;
    case SerialLink::PollResult::Lost:
      PortLost();
      return false;
    case SerialLink::PollResult::Read:
      break;
  }
  std::vector<std::string> step;
  std::vector<bool> accepted;
  size_t newest = SIZE_MAX;
  std::string sentence;
  while (step.size() < GPS_SENTENCES_PER_STEP && GPSTakeSentence(link.rx, sentence)) {
    accepted.push_back(GPSCheckSentence(sentence).has_value());
    if (accepted.back()) newest = step.size();
    step.push_back(std::move(sentence));
  }
  for (size_t k = 0; k < step.size(); ++k) {
    if (newest != SIZE_MAX && k > newest) {
      held_.push_back(std::move(step[k]));
      continue;
    }
    links_.out.PrintLine(step[k]);  // every sentence, whatever its type
    if (accepted[k] && k != newest) HandOn(step[k], false);
  }
  if (newest == SIZE_MAX) return false;
  lastAccepted_ = std::move(step[newest]);
  return true;
}

void GpsReceiver::GPSDispatch() {
  HandOn(lastAccepted_, true);
  ShowHeld();
}

void GpsReceiver::HandOn(const std::string& sentence, bool toMap) {
  const Settings& s = links_.settings;
  if (toMap && s.sendGpsToMap && links_.state.mapAvailable) links_.map.SendMMString(sentence);
  if (s.logGpsMessages) links_.logs.NMEALogLine(s.gpsPort.portNumber, sentence);
  if (s.showGpsMessages) links_.out.PrintLine(sentence);
}

void GpsReceiver::ShowHeld() {
  for (const std::string& sentence : held_) links_.out.PrintLine(sentence);
  held_.clear();
}

}  // namespace tw
