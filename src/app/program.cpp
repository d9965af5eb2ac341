#include "app/program.h"

#include <string>

#include "app/command_table.h"
#include "app/replay_run.h"
#include "core/commands.h"
#include "core/fixed_format.h"
#include "diagnostics/noise_report.h"
#include "diagnostics/test_cycle.h"
#include "serial/open_failure.h"
#include "terminal/terminal_colors.h"
#include "terminal/terminal_screen.h"

namespace tw {

Program::Program(const Clock& clock, SerialPortOpener& ports, Ui& ui, TerminalSurface& surface,
                 std::filesystem::path dataRoot, SharedLibrary* mapLibrary)
    : clock_(clock),
      replayClock_(clock),
      ui_(ui),
      dataRoot_(std::move(dataRoot)),
      files_(ui, settings_.lastFolder),
      terminal_(replayClock_, surface),
      logs_(clock, dataRoot_,
            [&ui](const std::string& text, const std::string& caption) {
              ui.UnownedErrorBox(text, caption);
            }),
      modem_(ports, settings_.modemPort, clock, terminal_),
      logControls_(logs_,
                   [this] {
                     return LogPort{modem_.connected(), modem_.portNumber()};
                   }),
      sender_(modem_, settings_, terminal_, logs_),
      menu_(MainMenuTable()),
      frames_(files_, terminal_, settings_.nodes, dataRoot_),
      interpreter_(InterpreterLinks{terminal_, sender_, logs_, settings_, modem_, state_, stats_,
                                    &frames_,
                                    [this](const std::string& line) {
                                      if (auto floor = ShowNoiseReport(terminal_, state_, line)) {
                                        noiseChart_.Record(state_, *floor);
                                      }
                                    },
                                    &reportedConfig_}),
      emulator_(EmulatorLinks{sender_, logs_, logControls_, clock_, modem_}, emulatorPane_),
      gpsLink_(ports, settings_.gpsPort, clock, terminal_),
      map_(mapLibrary ? *mapLibrary : noMapLibrary_, state_),
      gps_(GpsLinks{gpsLink_, terminal_, logs_, settings_, state_, map_, ui}),
      firmware_(FirmwareLinks{ui, terminal_, sender_,
                              FirmwareImageFolder(dataRoot_, WindowsFolderExists())}),
      config_(files_, terminal_, settings_, dataRoot_,
              ConfigPorts{[this] { return modem_.connected(); },
                          [this] { return gpsLink_.connected(); }}) {
  BuildCommandTable();
  // The performance window's time plot stamps its samples with this clock.
  stats_.clock = &replayClock_;
  // A log that fails says so on the terminal, and its menu items follow:
  // a log closed by a failed write or a failed open offers "Start" again.
  logs_.SetFailureLine([this](const std::string& line, bool) {
    terminal_.PrintWrapped(line);
    RefreshMenu();
  });
  // What the modem connection's changes show; a reconnect brings back the
  // NMEA log the loss closed.
  modem_.SetEvents({.opened = [this] { ShowConnected(); },
                    .closed = [this] { ShowDisconnected(); },
                    .lost = [this](int port) { PortLost(port); },
                    .rejoined =
                        [this] {
                          if (nmeaLogAtLoss_ && !logs_.nmeaOpen()) LogStart(true);
                        }});
}

Program::~Program() = default;

void Program::SetCommand(int id, std::function<void()> handler) {
  commands_[id] = std::move(handler);
}

void Program::SetRxHandler(int mode, std::function<void()> handler) {
  rxHandlers_[mode] = std::move(handler);
}

void Program::Start() {
  RxInit(modem_.rx);
  settings_.InitDefaults();
  state_ = RunState{};
  StatsInit(stats_);
  // The window's creation step: the logs, then the terminal record.
  logs_.LogsInit(3600);
  terminal_.Open();
  SetTerminalFont();
  SetTitle(state_.windowTitle);
  StartTimers();
  // Who consumes what arrives, and the data-frame tables.
  SetRxHandler(RX_MODEM, [this] { interpreter_.InterpretModemLine(modem_.rx); });
  SetRxHandler(RX_EMULATOR, [this] { emulator_.EMUPoll(modem_.rx); });
  for (int mode : {RX_FIRMWARE_WAIT, RX_FIRMWARE_ERASE, RX_FIRMWARE_START, RX_FIRMWARE_BLOCKS}) {
    SetRxHandler(mode, [this] { firmware_.OnReceive(modem_.rx); });
  }
  frames_.InitDataFrames();
  // The map program's library, once: the map items follow it.
  map_.MapLibraryLoad();
  RefreshMenu();
}

// ---------------------------------------------------------------- messages

void Program::OnCommand(int id) {
  auto it = commands_.find(id);
  if (it != commands_.end()) it->second();
  udp_.Follow();  // a UDP toggle or its settings may have changed
  RefreshMenu();
  NotifyHotKey();
}

void Program::OnTimer(int number) {
  switch (number) {
    case TIMER_POLL:
      // Fifty times a second: what a poll changes in the menu (a lost port,
      // a log that failed) refreshes it where it happens.
      CommPoll();
      if (replay_) ReplayStep();
      return;
    case TIMER_TEST:
      if (state_.loopTesting) RunTestCycle();
      break;
    case TIMER_SLOW:
      emulator_.EMUTick();  // whether or not its window is open
      if (gps_.GPSPoll()) gps_.GPSDispatch();
      udp_.Step();
      if (terminal_.info()) modem_.TryReconnect();
      gpsLink_.TryReconnect();
      ReportStatus();
      break;
    default:
      break;  // timer 5 has no work
  }
  RefreshMenu();
}

bool Program::OnClose() { return ui_.ConfirmQuit(); }

void Program::OnDestroy() {
  replayEnded_ = nullptr;  // the window that waits for the end is going
  if (replay_) ReplayStop();
  SaveRememberedChoices();
  if (modem_.connected()) ModemDisconnect();
  gps_.GPSClose();
  terminal_.Close();
  RxFree(modem_.rx);
  logs_.LogsCloseAll();
  ui_.Quit(0);
}

void Program::OnChar() { ui_.Beep(); }

void Program::OnHotKey() { ui_.PostCommand(cmd::TEST_ONCE); }

void Program::WarningBox(const std::string& text) {
  ui_.MessageBox(text, state_.windowTitle, BoxIcon::Warning);
}

void Program::SetTitle(const std::string& title) {
  state_.windowTitle = title;
  ui_.SetWindowTitle(title);
}

void Program::ChooseTerminalFont() {
  if (terminal_.info() &&
      ui_.ChooseFont(settings_.terminalFont, settings_.textColor, settings_.backColor)) {
    SetTerminalFont();
  }
}

void Program::SetTerminalFont() {
  const TerminalColors colors = ShownColors(settings_);
  terminal_.ApplyFont(settings_.terminalFont, colors.text, colors.back);
}

ConfigChanges Program::LoadConfigFile(const std::filesystem::path& path) {
  ConfigChanges changes = config_.ConfigLoadFile(path);
  ApplyConfigChanges(changes);
  return changes;
}

// A loaded file changes the choices under the menu and the timer: the check
// marks, the test interval's timer and the font follow them. An open port
// keeps its line settings until the next connect.
void Program::ApplyConfigChanges(const ConfigChanges& changes) {
  if (!changes.applied) return;
  FollowSessionChoices();
  RefreshMenu();
  if (changes.interval) StartTimer(TIMER_TEST, settings_.testInterval);
  if (changes.font) SetTerminalFont();
}

void Program::RunTestCycle() {
  tw::RunTestCycle(terminal_, sender_, settings_, state_, &stats_.pingResults);
}

// ---------------------------------------------------------------- serial link

bool Program::ModemConnect() {
  if (!terminal_.info() || modem_.connected()) return false;
  ui_.SetWaitCursor(true);
  const bool ok = modem_.Connect();  // ShowConnected on success
  if (!ok) {
    terminal_.PrintWrapped(OpenFailureLine(FixedFormat("COM%d", settings_.modemPort.portNumber),
                                           modem_.lastFailure()));
  }
  ui_.SetWaitCursor(false);
  return ok;
}

void Program::ShowConnected() {
  terminal_.info()->connected = 1;
  SetTitle(FixedFormat("Tidewire [COM%d]", modem_.portNumber()));
  modemConnectedOnce_ = true;
  RefreshMenu();
}

bool Program::ModemDisconnect() {
  if (!terminal_.info()) return false;
  modem_.Disconnect();  // ShowDisconnected
  return true;
}

void Program::ShowDisconnected() {
  if (!terminal_.info()) return;
  terminal_.info()->connected = 0;
  state_.loopTesting = 0;
  reportedConfig_.Clear();  // the next port may lead to another modem
  SetTitle(TITLE_NOT_CONNECTED);
  logControls_.Stop(LogKind::Nmea);  // the NMEA log lives only while connected
  RefreshMenu();
}

void Program::ReconfigureAfterSettings() {
  if (!terminal_.info() || !modem_.connected()) return;
  if (!modem_.Reconfigure()) WarningBox("Settings failed!");
}

// ---------------------------------------------------------------- shell

void Program::StartTimers() {
  timers_.running = true;
  for (TimerSlot& slot : timers_.table) slot = TimerSlot{};
  StartTimer(TIMER_POLL, 20);
  StartTimer(TIMER_SPARE, 20);
  StartTimer(TIMER_TEST, settings_.testInterval);
  StartTimer(TIMER_SLOW, 100);
}

void Program::StartTimer(int number, int32_t periodMs) {
  if (number < 0 || number >= TIMER_COUNT) return;
  TimerSlot& slot = timers_.table[static_cast<size_t>(number)];
  slot.state = TIMER_RUNNING;
  slot.period = periodMs;
  slot.id = number;
  ui_.SetTimer(number, periodMs);
}

void Program::LogStart(bool nmea) {
  if (!terminal_.info()) return;
  logControls_.Start(nmea ? LogKind::Nmea : LogKind::Data);
}

void Program::LogRestart(bool nmea) {
  logControls_.Restart(nmea ? LogKind::Nmea : LogKind::Data);
}

void Program::LogStop(bool nmea) {
  logControls_.Stop(nmea ? LogKind::Nmea : LogKind::Data);
}

}  // namespace tw
