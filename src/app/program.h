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
#include <vector>

#include "app/program_dialogs.h"
#include "app/status_fields.h"
#include "config/config_files.h"
#include "config/last_folder.h"
#include "core/clock.h"
#include "core/serial_port.h"
#include "core/settings.h"
#include "core/ui.h"
#include "diagnostics/noise_chart.h"
#include "emulator/emulator.h"
#include "emulator/emulator_pane.h"
#include "firmware/firmware_download.h"
#include "frames/data_frames.h"
#include "gps/gps_receiver.h"
#include "logging/log_controls.h"
#include "logging/logs.h"
#include "logging/nmea_log_replay.h"
#include "map/map_library.h"
#include "map/shared_library.h"
#include "menu/menu_model.h"
#include "protocol/interpreter.h"
#include "protocol/modem_settings.h"
#include "protocol/stats.h"
#include "serial/connection.h"
#include "serial/modem_sender.h"
#include "terminal/terminal.h"
#include "terminal/terminal_surface.h"
#include "udp/udp_share.h"

namespace tw {

struct MenuInputs;
struct MenuCommands;
class ReplayRun;

constexpr int TIMER_COUNT = 16;
constexpr int TIMER_RUNNING = 2;
constexpr int TIMER_STOPPED = 3;
constexpr int TIMER_POLL = 2;
constexpr int TIMER_TEST = 3;
constexpr int TIMER_SLOW = 4;
constexpr int TIMER_SPARE = 5;
// Whether a tick of the timer does any work in Program::OnTimer.
constexpr bool TimerHasWork(int number) { return number != TIMER_SPARE; }
// The most lines one port poll hands to the receive handler, and the time
// after which it leaves the rest for the next poll.
constexpr int RX_LINES_PER_POLL = 128;
constexpr uint32_t RX_POLL_BUDGET_MS = 10;

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
  // `mapLibrary` is the map program's library; without one (tests, runs
  // without a window) there is none to load.
  Program(const Clock& clock, SerialPortOpener& ports, Ui& ui, TerminalSurface& surface,
          std::filesystem::path dataRoot, SharedLibrary* mapLibrary = nullptr);
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
  // Told whether F1 is to work in every program, at every change of that
  // choice (a command, a loaded file); the window grabs or lets go of it.
  void SetHotKeyListener(std::function<void(bool everywhere)> listener) {
    hotKeyListener_ = std::move(listener);
  }

  // --- Choices remembered between runs (program_choices.cpp) ---
  // From now on the choices are saved to `file` when the window goes; with
  // `load` they are first taken from it (a missing file leaves the
  // defaults, a damaged one gives the defaults and one line); without
  // `save` nothing is written at the end. After Start.
  void RememberChoices(const std::filesystem::path& file, bool load, bool save = true);

  // --- Serial link of the modem ---
  bool ModemConnect();
  bool ModemDisconnect();
  // Reads what fits in the ring and hands every whole line waiting to the
  // receive handler (RxDispatch); bytes lost anyway get one line.
  void CommPoll();
  void RxDispatch();
  // After the "Serial Port Settings..." dialog: an open port takes the
  // baud rate at once ("Settings failed!" when it cannot).
  void ReconfigureAfterSettings();

  // --- Reconnect after the device went away (off unless asked for) ---
  // The modem connection's, tried on the 100 ms step (Connection).
  // The GPS port follows the same choice.
  void SetReconnect(bool on) {
    settings_.reconnect = on ? 1 : 0;
    modem_.SetReconnect(on);
    gpsLink_.SetReconnect(on);
  }
  // The window of the demo, whose own emulated modem answers on COM1:
  // "Run Emulator..." is refused there.
  void SetDemo(bool on) { demo_ = on; }
  bool reconnect() const { return modem_.reconnect(); }
  bool reconnecting() const { return modem_.reconnecting(); }

  // The rooms' dialogs, wired once by the window.
  void SetDialogs(const ProgramDialogs& dialogs) {
    dialogs_ = dialogs;
    firmware_.SetDialogs(dialogs.firmware);
  }

  // The devices chosen for COM numbers go into configuration files; the map
  // must outlive the program.
  void SetDeviceMap(PortMap* devices) { config_.SetDeviceMap(devices); }

  // --- Status bar ---
  // What the status bar shows now.
  StatusFields Status() const;
  // Called on the 100 ms step with the status, only when it changed.
  void SetStatusListener(std::function<void(const StatusFields&)> listener);

  // --- Shell ---
  void StartTimers();
  void StartTimer(int number, int32_t periodMs);
  // Sets the action of a menu command, replacing any it had.
  void SetCommand(int id, std::function<void()> handler);
  // Sets every menu item's gray and check state from the command table's
  // rules and what the program holds now. Runs after every command, every
  // timer step, a configuration load, a log failure and a connect or
  // disconnect.
  void RefreshMenu();
  // Sets who consumes the modem port's bytes in receive mode `mode`.
  void SetRxHandler(int mode, std::function<void()> handler);
  // The warning box: warning icon, OK, the window title as caption.
  void WarningBox(const std::string& text);
  // Loads a configuration file without a dialog (--config) and follows it:
  // check marks, test interval, terminal font.
  ConfigChanges LoadConfigFile(const std::filesystem::path& path);

  // --- Replay of NMEA logs (program_replay.cpp) ---
  // Plays the NMEA logs at `paths` (files, or folders of them) at the
  // recorded pace times `speed` (0: as fast as it goes), fed by the 20 ms
  // timer. Refused with one line while a port is connected or a replay
  // runs; false then.
  bool ReplayStart(const std::vector<std::filesystem::path>& paths, double speed);
  void ReplayPause(bool paused);
  void ReplayStop();
  bool replaying() const { return replay_ != nullptr; }
  bool replayPaused() const;
  // Told when a replay ends (its log ran out, or it was stopped), with
  // whether any record could be read.
  void SetReplayEnded(std::function<void(bool anyRead)> ended) {
    replayEnded_ = std::move(ended);
  }

  // --- What the window and the tests reach ---
  Settings& settings() { return settings_; }
  RunState& state() { return state_; }
  Terminal& terminal() { return terminal_; }
  Connection& modem() { return modem_; }
  SentenceSink& sender() { return sender_; }
  Logs& logs() { return logs_; }
  LogControls& logControls() { return logControls_; }
  MenuModel& menu() { return menu_; }
  PerformanceStats& stats() { return stats_; }
  NoiseChartRecord& noiseChart() { return noiseChart_; }
  DataFrames& frames() { return frames_; }
  Emulator& emulator() { return emulator_; }
  EmulatorPane& emulatorPane() { return emulatorPane_; }
  FirmwareDownload& firmware() { return firmware_; }
  GpsReceiver& gps() { return gps_; }
  Connection& gpsLink() { return gpsLink_; }
  const TimerTable& timers() const { return timers_; }
  // Sharing over UDP; the window gives it the network.
  UdpShare& udp() { return udp_; }
  const std::filesystem::path& dataRoot() const { return dataRoot_; }

 private:
  // The command table's rows write the menu with actions on these handlers.
  friend struct MenuCommands;
  void BuildCommandTable();
  MenuInputs MenuInputsNow() const;
  void SetTitle(const std::string& title);
  void ToggleOption(int32_t& flag);
  void ChooseInterval(int32_t periodMs);
  void ChooseTransmitSource(int id);
  void ChooseTerminalFont();
  void SetTerminalFont();
  // The terminal's history and night view (program_history.cpp).
  void SaveHistory();
  void ToggleNightView();
  // The main menu's log commands (LogControls); each leaves the items as
  // the log is afterwards.
  void LogStart(bool nmea);
  void LogRestart(bool nmea);
  void LogStop(bool nmea);
  void SendModemCommand(int id);
  void RunTestCycle();
  void ApplyConfigChanges(const ConfigChanges& changes);
  // The choices that live on outside Settings while the program runs (the
  // terminal record's options, the connection's reconnect, the hot key)
  // follow Settings again; and the other way after the port dialog.
  void FollowSessionChoices();
  void KeepTerminalOptions();
  void NotifyHotKey();
  // At the window's destruction, when RememberChoices asked for it.
  void SaveRememberedChoices();
  // The modem's device went away: the connection closed the port.
  void PortLost(int port);
  // One line with the count of received bytes dropped since the last one;
  // `quiet`: the poll brought nothing new.
  void ReportDropped(bool quiet);
  // The title and menus of a connected modem port, and of a closed one
  // (which also ends the NMEA log).
  void ShowConnected();
  void ShowDisconnected();
  void ReportStatus();
  // "Replay NMEA Log...": a log file chosen in the open-file dialog.
  void ReplayChooseLog();
  // One step of a running replay: the records now due, and its end.
  void ReplayStep();
  void ReplayFinish(bool stopped);
  std::string ReplayPosition() const;
  // UDP sharing (program_udp.cpp): the links it is made with, the dialog.
  UdpLinks UdpWiring();
  void ConfigureUdp();

  const Clock& clock_;
  // What the terminal and the statistics see: the recorded time while a
  // replayed record is shown, else `clock_`.
  ReplayClock replayClock_;
  Ui& ui_;
  ProgramDialogs dialogs_;
  std::filesystem::path dataRoot_;
  Settings settings_;
  RunState state_;
  LastFolderChooser files_;  // the file dialogs of the rooms, on the desktop's
  Terminal terminal_;
  Logs logs_;
  Connection modem_;
  LogControls logControls_;
  ModemSender sender_;
  MenuModel menu_;
  TimerTable timers_;
  PerformanceStats stats_;
  NoiseChartRecord noiseChart_;
  DataFrames frames_;
  ReportedConfig reportedConfig_;  // what the modem last reported, for Configure
  ModemInterpreter interpreter_;
  EmulatorPane emulatorPane_;
  Emulator emulator_;
  NoSharedLibrary noMapLibrary_;
  Connection gpsLink_;
  MapLibrary map_;
  GpsReceiver gps_;
  FirmwareDownload firmware_;
  ConfigFiles config_;
  std::filesystem::path choicesFile_;
  bool saveChoices_ = false;
  std::function<void(bool)> hotKeyListener_;
  UdpShare udp_{UdpWiring()};
  std::map<int, std::function<void()>> commands_;
  std::map<int, std::function<void()>> rxHandlers_;
  std::unique_ptr<ReplayRun> replay_;
  std::function<void(bool)> replayEnded_;
  bool nmeaLogAtLoss_ = false;  // the NMEA log was open when the port was lost
  bool demo_ = false;
  bool modemConnectedOnce_ = false;  // the data log's items are offered from then on
  // What the status bar is made from: compared on every step, so the text
  // is only built again when one of these changed.
  struct StatusInputs {
    LinkStatus link;
    std::filesystem::path nmeaLog, dataLog;  // empty for a closed log
    std::string replay;                      // where a replay is; empty without one
    bool replayPaused = false;
    std::string udp;                         // UdpShare::StatusText
    ActivityStatus activity;
    bool operator==(const StatusInputs&) const = default;
  };
  StatusInputs StatusNow() const;
  static StatusFields FieldsOf(const StatusInputs& in);
  std::function<void(const StatusFields&)> statusListener_;
  StatusInputs shownInputs_;
  StatusFields shownStatus_;
};

}  // namespace tw
