// The modem port's receive path: the 20 ms poll, the dispatch of what it
// brought to the handler of the receive mode, bytes that are lost anyway, and
// a port that goes away (the connection closes it and, when asked to, tries it
// again).
#include "app/program.h"
#include "core/fixed_format.h"

namespace tw {

void Program::CommPoll() {
  if (!terminal_.info()) return;
  // However many lines one poll prints, the window repaints once, when the
  // poll is done.
  struct Hold {
    TerminalSurface& surface;
    explicit Hold(TerminalSurface& s) : surface(s) { surface.holdUpdates(true); }
    ~Hold() { surface.holdUpdates(false); }
  } hold(terminal_.surface());
  const uint64_t before = modem_.bytesReceived();
  switch (modem_.Poll()) {
    case SerialLink::PollResult::Closed:
      return;
    case SerialLink::PollResult::Lost:
      return;  // PortLost has run
    case SerialLink::PollResult::Read:
      RxDispatch();
      ReportDropped(modem_.bytesReceived() == before);
      return;
  }
}

// The handlers (the interpreter, the emulator) take one line a call, so the
// call is repeated while it takes something and a whole line still waits:
// every line that has arrived is handled within the poll that brought it, up
// to RX_LINES_PER_POLL lines or RX_POLL_BUDGET_MS, and the rest at the next.
// A handler that switches the mode (the firmware steps) ends the round, and
// one that takes nothing is not asked again.
void Program::RxDispatch() {
  RxState& rx = modem_.rx;
  const int mode = rx.mode;
  auto it = rxHandlers_.find(mode);
  if (it == rxHandlers_.end() || !it->second) return;
  const uint32_t start = clock_.tickCount();
  for (int call = 0; call < RX_LINES_PER_POLL; ++call) {
    const uint32_t before = rx.count();
    it->second();
    if (rx.mode != mode || rx.count() >= before) return;
    if (RxFind(rx, 0, '\n') == rx.count()) return;
    if (clock_.tickCount() - start >= RX_POLL_BUDGET_MS) return;
  }
}

// One line for what was lost since the last report: bytes of a line that
// never ended. A line whose rest is still being dropped is reported when
// that rest has gone, as one loss (or at each ring's worth, if it never
// ends). Under the emulator the line goes to the emulator's pane, where the
// host's lines are shown.
void Program::ReportDropped(bool quiet) {
  RxState& rx = modem_.rx;
  // A line still being dropped waits for its end, unless the port has gone
  // quiet: the operator hears of the loss now, and of its rest when it comes.
  if (rx.dropped() == 0 || (rx.droppingLine && rx.dropped() < RX_SIZE && !quiet)) return;
  const uint32_t dropped = RxTakeDropped(rx);
  const std::string line =
      FixedFormat("Error: %u received bytes lost (no line end).", static_cast<unsigned>(dropped));
  if (rx.mode == RX_EMULATOR) {
    emulator_.EMUPrint(line);
  } else {
    terminal_.PrintLine(line);
  }
}

// The device went away under an open connection (adapter pulled, other end
// closed): close it as "Disconnect" would, so the window does not go on
// showing a dead port as connected, and say so once. An open emulator window
// stops its test messages (they could only be refused now) and says so in
// its pane; the port's bytes go back to the modem interpreter. The
// connection then arms its reconnect, when on.
void Program::PortLost(int port) {
  nmeaLogAtLoss_ = logs_.nmeaOpen();
  terminal_.OnKillFocus();
  ModemDisconnect();
  DropUnfinishedLine(modem_.rx);
  terminal_.PrintLine(FixedFormat("Error: Lost modem port COM%d, disconnected.", port));
  if (modem_.rx.mode == RX_EMULATOR) {
    modem_.rx.mode = RX_MODEM;
    emulator_.PortLost(port);
  }
  ReportDropped(true);
}

}  // namespace tw
