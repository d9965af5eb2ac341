// A serial link with its life around it: connect and disconnect, a device
// that goes away under the open port, and (when asked for) trying a lost
// port again. The modem's port is one, the GPS receiver's another.
//
// The owner hears of each change through Events and shows it (menus, title,
// lines, logs); the connection prints only the lines of its own reconnect.
// Which port is open is SerialLink::portNumber(): the title, the log folders
// and the source port of log records all ask it.
#pragma once

#include <cstdint>
#include <functional>

#include "core/clock.h"
#include "core/serial_port.h"
#include "core/settings.h"
#include "core/text_out.h"
#include "serial/serial_link.h"

namespace tw {

// How often a lost port is tried again while reconnecting.
constexpr uint32_t RECONNECT_PERIOD_MS = 2000;

class Connection : public SerialLink {
 public:
  struct Events {
    // A connect or a reconnect worked.
    std::function<void()> opened;
    // The port was closed by Disconnect (the owner's disconnect after a loss
    // included).
    std::function<void()> closed;
    // The device went away under the open port `port`, which is closed
    // already. A reconnect, when on, is armed after this returns.
    std::function<void(int port)> lost;
    // A reconnect worked and its line has been shown.
    std::function<void()> rejoined;
  };

  // `out` gets the reconnect's lines; `clock` times its attempts.
  Connection(SerialPortOpener& opener, const SerialSettings& port, const Clock& clock,
             TextOut& out);

  void SetEvents(Events events) { events_ = std::move(events); }

  // Opens the chosen port (see SerialLink::Connect). On success the byte
  // counters start from zero, any waiting reconnect ends (the operator
  // connected by hand) and `opened` follows.
  bool Connect() override;
  // Closes the port, ends any waiting reconnect; `closed` follows.
  void Disconnect() override;
  // SerialLink::Poll; a lost device is reported through `lost`, then the
  // reconnect is armed, with one line, when it is on.
  PollResult Poll(uint32_t maxBytes = POLL_CHUNK) override;

  // --- Reconnect after the device went away (off unless asked for) ---
  // When on, a lost port is tried again every RECONNECT_PERIOD_MS until it
  // opens or the operator connects, disconnects or picks another port; a
  // failed try shows nothing.
  void SetReconnect(bool on);
  bool reconnect() const { return reconnect_; }
  bool reconnecting() const { return rejoin_.pending; }
  // The lost port being tried again.
  int reconnectPort() const { return rejoin_.port; }
  // One attempt when one is due; called on a periodic step.
  void TryReconnect();

 private:
  const Clock& clock_;
  TextOut& out_;
  Events events_;
  bool reconnect_ = false;
  struct Rejoin {
    bool pending = false;
    int port = 0;
    uint32_t nextTry = 0;  // tick of the next attempt
  } rejoin_;
};

}  // namespace tw
