#include "gps/gps_receiver.h"

#include <cstdint>

#include "core/fixed_format.h"
#include "gps/gps_sentence.h"
#include "serial/line_framer.h"
#include "serial/open_failure.h"

namespace tw {

bool GPSTakeSentence(RxState& rx, std::string& sentence) {
  return TakeGpsLine(rx, GPS_BUFFER_SIZE, sentence);
}

GpsReceiver::GpsReceiver(GpsLinks links) : links_(links) {}

bool GpsReceiver::GPSOpen() {
  if (!OpenPort()) {
    links_.out.PrintWrapped(
        OpenFailureLine(FixedFormat("GPS port COM%d", links_.settings.gpsPort.portNumber),
                        links_.link.lastFailure()));
    links_.boxes.MessageBox(GPS_CANT_CONNECT, GPS_BOX_CAPTION, BoxIcon::Warning);
    return false;
  }
  links_.out.PrintLine(GPS_OPEN_TEXT);
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
}

// The receiver went away (adapter pulled, other end closed): the link has
// closed the port already, so it is not polled again; say so once.
void GpsReceiver::PortLost() {
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
    if (accepted[k] && k != newest) HandOn(step[k], false, link.portNumber());
  }
  if (newest == SIZE_MAX) return false;
  lastAccepted_ = std::move(step[newest]);
  return true;
}

void GpsReceiver::GPSDispatch() {
  HandOn(lastAccepted_, true, links_.link.portNumber());
  ShowHeld();
}

bool GpsReceiver::GPSTakeNetworkSentence(const std::string& sentence, int sourcePort) {
  links_.out.PrintLine(sentence);
  if (!GPSCheckSentence(sentence)) return false;
  lastAccepted_ = sentence;
  HandOn(sentence, true, sourcePort);
  return true;
}

void GpsReceiver::HandOn(const std::string& sentence, bool toMap, int sourcePort) {
  const Settings& s = links_.settings;
  if (sourcePort == links_.link.portNumber() && fixListener_) fixListener_(sentence);
  if (toMap && s.sendGpsToMap && links_.state.mapAvailable) links_.map.SendMMString(sentence);
  if (s.logGpsMessages) links_.logs.NMEALogLine(sourcePort, sentence);
  if (s.showGpsMessages) links_.out.PrintLine(sentence);
}

void GpsReceiver::ShowHeld() {
  for (const std::string& sentence : held_) links_.out.PrintLine(sentence);
  held_.clear();
}

}  // namespace tw
