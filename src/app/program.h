// The program's wiring and the handlers of the main window's messages. It
// owns one run's state and subsystems and hands each subsystem only the
// pieces it uses. One object per run; tests create it fresh with fake
// platform pieces.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "core/clock.h"
#include "core/serial_port.h"
#include "core/settings.h"
#include "core/ui.h"
#include "frames/data_frames.h"
#include "logging/logs.h"
#include "protocol/interpreter.h"
#include "protocol/stats.h"
#include "resources/menu_model.h"
#include "serial/modem_sender.h"
#include "serial/serial_link.h"
#include "terminal/terminal.h"
#include "terminal/terminal_surface.h"

namespace tw {

constexpr int TIMER_COUNT = 16;
constexpr int TIMER_RUNNING = 2;
constexpr int TIMER_STOPPED = 3;
constexpr int TIMER_POLL = 2;
constexpr int TIMER_TEST = 3;
constexpr int TIMER_SLOW = 4;
constexpr int TIMER_SPARE = 5;

struct TimerSlot {
  int state = TIMER_STOPPED;
  int32_t period = 0;
  int id = 0;
};

struct TimerTable {
  std::array<TimerSlot, TIMER_COUNT> table{};
  bool running = false;
};

class Program {
 public:
  Program(const Clock& clock, SerialPortOpener& ports, Ui& ui, TerminalSurface& surface,
          std::filesystem::path dataRoot);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Start-up after the window exists: the receive ring, the defaults, the
  // window's creation step (logs, terminal record), the timers and the
  // subsystems that consume what arrives.
  void Start();

  // --- Messages of the main window ---
  void OnCommand(int id);
  void OnTimer(int number);
  // The close request: asks "Really Quit?"; true when the window may go.
  bool OnClose();
  // The window's destruction step.
  void OnDestroy();
  // A typed character: only a beep.
  void OnChar();
  // The F1 hot key: "&Test Once" as a posted command.
  void OnHotKey();

  // --- Serial link of the modem ---
  bool ModemConnect();
  bool ModemDisconnect();
  void CommPoll();
  void RxDispatch();
  // After the "Serial Port Settings..." dialog: an open port takes the
  // baud rate at once ("Settings failed!" when it cannot).
  void ReconfigureAfterSettings();

  // --- Shell ---
  void StartTimers();
  void StartTimer(int number, int32_t periodMs);
  // Sets the action of a menu command, replacing any it had.
  void SetCommand(int id, std::function<void()> handler);
  // Sets who consumes the modem port's bytes in receive mode `mode`.
  void SetRxHandler(int mode, std::function<void()> handler);
  // The warning box: warning icon, OK, the window title as caption.
  void WarningBox(const std::string& text);

  // --- What the window and the tests reach ---
  Settings& settings() { return settings_; }
  RunState& state() { return state_; }
  Terminal& terminal() { return terminal_; }
  SerialLink& modem() { return modem_; }
  SentenceSink& sender() { return sender_; }
  Logs& logs() { return logs_; }
  MenuModel& menu() { return menu_; }
  PerformanceStats& stats() { return stats_; }
  DataFrames& frames() { return frames_; }
  const TimerTable& timers() const { return timers_; }
  const std::filesystem::path& dataRoot() const { return dataRoot_; }

 private:
  void BuildCommandTable();
  void AddToggleCommands();
  void SetTitle(const std::string& title);
  void ToggleOption(int32_t& flag, int id);
  void ChooseInterval(int id, int32_t periodMs);
  void ChooseTransmitSource(int id);
  void ChooseTerminalFont();
  void SetTerminalFont();
  void LogStart(bool nmea);
  void LogRestart(bool nmea);
  void LogStop(bool nmea);
  void SendModemCommand(int id);
  void RunTestCycle();
  void PortLost();

  const Clock& clock_;
  Ui& ui_;
  std::filesystem::path dataRoot_;
  Settings settings_;
  RunState state_;
  Terminal terminal_;
  Logs logs_;
  SerialLink modem_;
  ModemSender sender_;
  MenuModel menu_;
  TimerTable timers_;
  PerformanceStats stats_;
  DataFrames frames_;
  ModemInterpreter interpreter_;
  std::map<int, std::function<void()>> commands_;
  std::map<int, std::function<void()>> rxHandlers_;
};

}  // namespace tw
