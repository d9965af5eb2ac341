// The emulator without a window: a Program on a HeadlessUi whose port faces
// a host program, in receive mode 263 from the start. `--emulate` runs one on
// a COM port with its lines on standard output; the demo runs one on a
// pseudo-terminal inside the window's process.
#pragma once

#include <QCoreApplication>
#include <QObject>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "app/HeadlessUi.h"
#include "app/program.h"
#include "core/clock.h"
#include "core/serial_port.h"
#include "terminal/terminal_surface.h"

namespace tw {

struct Options;

struct EmulatorRunConfig {
  int port = 1;
  bool request32 = false;
  bool request256 = false;
  bool openLogs = false;  // NMEA and data log from the start
  bool toStdout = false;  // the pane's and the terminal's lines
  // The first heartbeat within a second instead of up to ten: the step
  // count starts ten steps short of the next heartbeat.
  bool heartbeatSoon = false;
  // Also play the far end of an acoustic link (emulator/link_simulation.h),
  // its scatter drawn from `seed`.
  bool simulateLink = false;
  uint32_t seed = 1;
};

class HeadlessEmulator {
 public:
  // `onQuit` ends the run (the program's Quit, or a lost port with code 1).
  HeadlessEmulator(const Clock& clock, SerialPortOpener& ports, std::filesystem::path dataRoot,
                   EmulatorRunConfig config, std::function<void(int)> onQuit);
  ~HeadlessEmulator();

  // Opens the port and starts serving; false, with the reason in `error`,
  // when the port cannot be opened.
  bool Start(std::string& error);
  // Stops serving, closes the port and the logs. Safe to call twice.
  void Stop();

  Program& program() { return *program_; }

 private:
  EmulatorRunConfig config_;
  std::function<void(int)> onQuit_;
  HeadlessUi ui_;
  NullSurface surface_;
  std::unique_ptr<Program> program_;
  bool stopped_ = false;
};

// SIGINT, SIGTERM and SIGHUP end the event loop (exit code 0), so a run ends through
// the same code as any other end; SIGPIPE is ignored.
void EndEventLoopOnSignals(QCoreApplication& app);

// `tidewire --emulate`: runs until SIGINT or SIGTERM (exit code 0) or until
// the port is lost (1); 1 at once when the port cannot be opened.
int RunEmulatorCommand(const Options& options, int argc, char** argv);

}  // namespace tw
