#include "serial/connection.h"

#include "core/fixed_format.h"

namespace tw {

Connection::Connection(SerialPortOpener& opener, const SerialSettings& port, const Clock& clock,
                       TextOut& out)
    : SerialLink(opener, port), clock_(clock), out_(out) {}

bool Connection::Connect() {
  if (!SerialLink::Connect()) return false;
  rejoin_.pending = false;  // the operator's own connect ends any waiting
  ResetCounters();
  if (events_.opened) events_.opened();
  return true;
}

void Connection::Disconnect() {
  rejoin_.pending = false;
  SerialLink::Disconnect();
  if (events_.closed) events_.closed();
}

SerialLink::PollResult Connection::Poll(uint32_t maxBytes) {
  const PollResult result = SerialLink::Poll(maxBytes);
  if (result != PollResult::Lost) return result;
  const int port = lastOpenedPort();
  if (events_.lost) events_.lost(port);
  if (reconnect_) {
    rejoin_ = Rejoin{true, port, clock_.tickCount() + RECONNECT_PERIOD_MS};
    out_.PrintLine(FixedFormat("Trying COM%d again every %u s.", port,
                               static_cast<unsigned>(RECONNECT_PERIOD_MS / 1000)));
  }
  return result;
}

void Connection::SetReconnect(bool on) {
  reconnect_ = on;
  if (!on) rejoin_.pending = false;
}

// One quiet attempt per period: a failure shows nothing (the lost line said
// it all), so an absent device never fills the screen or stacks boxes. The
// byte counters go on from before the loss.
void Connection::TryReconnect() {
  if (!rejoin_.pending) return;
  if (connected() || settings().portNumber != rejoin_.port) {
    rejoin_.pending = false;  // connected by hand, or another port was chosen
    return;
  }
  const uint32_t now = clock_.tickCount();
  if (static_cast<int32_t>(now - rejoin_.nextTry) < 0) return;
  rejoin_.nextTry = now + RECONNECT_PERIOD_MS;
  if (!SerialLink::Connect()) return;
  rejoin_.pending = false;
  if (events_.opened) events_.opened();
  out_.PrintWrapped(FixedFormat("Reconnected to COM%d (%s) at %ld baud.", rejoin_.port,
                                device(rejoin_.port).c_str(),
                                static_cast<long>(settings().baudRate)));
  if (events_.rejoined) events_.rejoined();
}

}  // namespace tw
