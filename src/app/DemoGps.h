// The demo's GPS receiver: a pseudo-terminal pair made here, whose device
// the demo maps to COM4 (the GPS port's default), and a ship's position
// (emulator/gps_simulation.h) written on it once a second.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "core/clock.h"
#include "core/serial_port.h"
#include "emulator/gps_simulation.h"
#include "serial/pty_port.h"

namespace tw {

constexpr int DEMO_GPS_PORT = 4;
constexpr int DEMO_GPS_PERIOD_MS = 1000;

class DemoGps : public QObject {
  Q_OBJECT
 public:
  // `listening` tells whether the program's GPS port is open on the other
  // side. The position moves on every second either way, but is written
  // only then: a receiver nobody reads would otherwise fill the line with
  // old fixes that arrive in one burst when the port opens.
  DemoGps(const Clock& clock, std::function<bool()> listening);

  // Makes the pair and starts the fixes; false, with the reason, when the
  // pair cannot be made.
  bool Start(std::string& error);
  const std::string& devicePath() const { return pty_.devicePath(); }

 private:
  void SendFix();

  const Clock& clock_;
  std::function<bool()> listening_;
  PseudoTerminal pty_;
  std::unique_ptr<SerialPort> port_;
  GpsSimulation ship_;
  QTimer timer_;
};

}  // namespace tw
