// The program's state and the handlers of the main window's messages. One
// object per run; tests create it fresh with fake platform pieces.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/clock.h"
#include "app/settings.h"
#include "app/ui.h"
#include "logging/logs.h"
#include "protocol/stats.h"
#include "resources/menu_model.h"
#include "serial/rx_ring.h"
#include "serial/serial_port.h"
#include "terminal/terminal_info.h"
#include "terminal/terminal_surface.h"

namespace tw {

class DataFrames;

constexpr int TIMER_COUNT = 16;
constexpr int TIMER_RUNNING = 2;
constexpr int TIMER_STOPPED = 3;
constexpr int TIMER_POLL = 2;
constexpr int TIMER_TEST = 3;
constexpr int TIMER_SLOW = 4;
constexpr int TIMER_SPARE = 5;

// What a command that needs the modem port prints when it is closed.
constexpr const char* NOT_CONNECTED = "Error: Not Connected!";

// How long SendSentence waits for the port to take a sentence.
constexpr int SEND_TIMEOUT_MS = 3000;
// Bytes taken from the port per poll.
constexpr int POLL_CHUNK = 1024;

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
  void OnSize(int height, int width);
  void OnSetFocus();
  void OnKillFocus();
  int OnScroll(bool vertical, int code, int position);

  // --- Terminal output ---
  void PrintLine(const std::string& text);
  void SendSentence(const std::string& sentence);

  // --- Serial link ---
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
  void ToggleOption(int32_t& flag, int id);
  void ChooseTerminalFont();
  void SetTerminalFont();

  // Handlers of receive modes and periodic work that later subsystems plug
  // in. An unset handler does nothing.
  void SetRxHandler(int mode, std::function<void()> handler) {
    rxHandlers_[mode] = std::move(handler);
  }
  // Sets the action of a menu command, replacing any it had.
  void SetCommand(int id, std::function<void()> handler);
  std::function<void()> runTestCycle;  // timer 3, "&Test Once", F1
  std::function<void()> slowTick;      // timer 4: emulator and GPS steps
  // The data-frame subsystem: a received "$CARXD" sentence, and the answer
  // to a data request under "Use Node Protocol" (empty: nothing is sent).
  std::function<void(const std::string& line)> receiveDataFrame;
  std::function<std::string(int source, int destination, int ack, int length)> buildDataFrame;

  // Every line PrintLine writes, as text without its CR LF ("--echo").
  void AddLineListener(std::function<void(const std::string&)> listener) {
    lineListeners_.push_back(std::move(listener));
  }

  // The warning box: warning icon, OK, the window title as caption.
  void WarningBox(const std::string& text);

  const Clock& clock() const { return clock_; }
  Ui& ui() { return ui_; }
  TerminalSurface& surface() { return surface_; }
  const std::filesystem::path& dataRoot() const { return dataRoot_; }

  Settings settings;
  RxState rx;
  Logs logs;
  MenuModel menu;
  TimerTable timers;
  std::unique_ptr<TerminalInfo> term;
  PerformanceStats stats;
  // The custom command string, kept with its CR LF.
  std::string customString;
  // The data-frame subsystem (node protocols, ACP), made by InstallDataFrames.
  std::unique_ptr<DataFrames> frames;

 private:
  using Handler = std::function<void()>;
  void BuildCommandTable();
  void SetTitle(const std::string& title);
  void ChooseInterval(int id, int32_t periodMs);
  void ChooseTransmitSource(int32_t& flag, int id);
  void LogStart(bool nmea);
  void LogRestart(bool nmea);
  void LogStop(bool nmea);
  void SendModemCommand(int id);
  void PortLost();

  const Clock& clock_;
  SerialPortOpener& ports_;
  Ui& ui_;
  TerminalSurface& surface_;
  std::filesystem::path dataRoot_;
  std::map<int, Handler> commands_;
  std::map<int, std::function<void()>> rxHandlers_;
  std::vector<std::function<void(const std::string&)>> lineListeners_;
};

}  // namespace tw
