#include "app/program.h"

#include <string>

#include "core/commands.h"
#include "core/fixed_format.h"
#include "core/settings_table.h"
#include "diagnostics/noise_report.h"
#include "diagnostics/test_cycle.h"
#include "resources/menu_table.h"
#include "serial/open_failure.h"
#include "terminal/terminal_screen.h"

namespace tw {

Program::Program(const Clock& clock, SerialPortOpener& ports, Ui& ui, TerminalSurface& surface,
                 std::filesystem::path dataRoot, SharedLibrary* mapLibrary)
    : clock_(clock),
      ui_(ui),
      dataRoot_(std::move(dataRoot)),
      terminal_(clock, surface),
      logs_(clock, dataRoot_,
            [&ui](const std::string& text, const std::string& caption) {
              ui.UnownedErrorBox(text, caption);
            }),
      modem_(ports, settings_.modemPort),
      sender_(modem_, settings_, terminal_, logs_),
      menu_(MainMenuTable()),
      frames_(ui, terminal_, settings_.nodes, dataRoot_),
      interpreter_(InterpreterLinks{terminal_, sender_, logs_, settings_, state_, stats_, &frames_,
                                    [this](const std::string& line) {
                                      if (auto floor = ShowNoiseReport(terminal_, state_, line)) {
                                        noiseChart_.Record(state_, *floor);
                                      }
                                    }}),
      emulator_(EmulatorLinks{sender_, logs_, clock_, settings_}, emulatorPane_),
      gpsLink_(ports, settings_.gpsPort),
      map_(mapLibrary ? *mapLibrary : noMapLibrary_, state_),
      gps_(GpsLinks{gpsLink_, terminal_, logs_, settings_, state_, map_, ui, menu_}),
      firmware_(FirmwareLinks{ui, ui, terminal_, sender_,
                              FirmwareImageFolder(dataRoot_, WindowsFolderExists())}),
      config_(ui, terminal_, settings_, dataRoot_,
              ConfigPorts{[this] { return modem_.connected(); },
                          [this] { return gpsLink_.connected(); }}) {
  BuildCommandTable();
  // The performance window's time plot stamps its samples with this clock.
  stats_.clock = &clock_;
  // A log that fails says so on the terminal, and its menu items follow:
  // a log closed by a failed write or a failed open offers "Start" again.
  logs_.SetFailureLine([this](const std::string& line, bool) {
    terminal_.PrintLine(line);
    ShowLogItems();
  });
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
  SyncSettingChecks(settings_, [this](int id, bool on) { menu_.Check(id, on); });
  state_ = RunState{};
  StatsInit(stats_);
  // The window's creation step: the logs, then the terminal record.
  logs_.LogsInit(3600);
  terminal_.Open();
  SetTerminalFont();
  menu_.Enable(cmd::DISCONNECT, false);
  menu_.Enable(cmd::CONNECT, true);
  SetTitle(state_.windowTitle);
  StartTimers();
  // Who consumes what arrives, and the data-frame tables.
  SetRxHandler(RX_MODEM, [this] { interpreter_.InterpretModemLine(modem_.rx); });
  SetRxHandler(RX_EMULATOR, [this] { emulator_.EMUPoll(modem_.rx); });
  for (int mode : {RX_FIRMWARE_WAIT, RX_FIRMWARE_ERASE, RX_FIRMWARE_START, RX_FIRMWARE_BLOCKS}) {
    SetRxHandler(mode, [this] { firmware_.OnReceive(modem_.rx); });
  }
  frames_.InitDataFrames();
  // The map program's library, once: "Send GPS Fixes to Map" is there only
  // with it; "Send Comms Data" stays grayed.
  map_.MapLibraryLoad();
  ApplyMapMenuStates(menu_, state_);
}

// ---------------------------------------------------------------- messages

void Program::OnCommand(int id) {
  auto it = commands_.find(id);
  if (it != commands_.end()) it->second();
}

void Program::OnTimer(int number) {
  switch (number) {
    case TIMER_POLL:
      CommPoll();
      break;
    case TIMER_TEST:
      if (state_.loopTesting) RunTestCycle();
      break;
    case TIMER_SLOW:
      emulator_.EMUTick();  // whether or not its window is open
      if (gps_.GPSPoll()) gps_.GPSDispatch();
      TryReconnect();
      ReportStatus();
      break;
    default:
      break;  // timer 5 has no work
  }
}

bool Program::OnClose() { return ui_.ConfirmQuit(); }

void Program::OnDestroy() {
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
  if (terminal_.info() && ui_.ChooseFont(settings_.terminalFont, settings_.textColor)) {
    SetTerminalFont();
  }
}

void Program::SetTerminalFont() {
  terminal_.ApplyFont(settings_.terminalFont, settings_.textColor);
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
  SyncSettingChecks(settings_, [this](int id, bool on) { menu_.Check(id, on); });
  if (changes.interval) StartTimer(TIMER_TEST, settings_.testInterval);
  if (changes.font) SetTerminalFont();
}

void Program::RunTestCycle() { tw::RunTestCycle(terminal_, sender_, settings_, state_); }

// ---------------------------------------------------------------- serial link

bool Program::ModemConnect() {
  if (!terminal_.info() || modem_.connected()) return false;
  ui_.SetWaitCursor(true);
  const bool ok = modem_.Connect();
  if (ok) {
    rejoin_.pending = false;  // the operator's own connect ends any waiting
    modem_.ResetCounters();
    ShowConnected();
  } else {
    terminal_.PrintLine(OpenFailureLine(FixedFormat("COM%d", settings_.modemPort.portNumber),
                                        modem_.lastFailure()));
  }
  ui_.SetWaitCursor(false);
  return ok;
}

void Program::ShowConnected() {
  terminal_.info()->connected = 1;
  SetTitle(FixedFormat("Tidewire [COM%d]", modem_.portNumber()));
  for (int id : {cmd::NMEA_LOG_START, cmd::DATA_LOG_START, cmd::DISCONNECT, cmd::LOOP_TESTING,
                 cmd::TEST_ONCE}) {
    menu_.Enable(id, true);
  }
  menu_.Enable(cmd::CONNECT, false);
}

bool Program::ModemDisconnect() {
  if (!terminal_.info()) return false;
  rejoin_.pending = false;
  modem_.Disconnect();
  terminal_.info()->connected = 0;
  state_.loopTesting = 0;
  menu_.Enable(cmd::DISCONNECT, false);
  menu_.Enable(cmd::LOOP_TESTING, false);
  menu_.Check(cmd::LOOP_TESTING, false);
  menu_.Enable(cmd::TEST_ONCE, false);
  menu_.Enable(cmd::CONNECT, true);
  SetTitle(TITLE_NOT_CONNECTED);
  logs_.NMEALogClose();
  for (int id : {cmd::NMEA_LOG_START, cmd::NMEA_LOG_STOP, cmd::NMEA_LOG_RESTART}) {
    menu_.Enable(id, false);
  }
  return true;
}

Program::StatusInputs Program::StatusNow() const {
  StatusInputs in;
  LinkStatus& link = in.link;
  link.connected = modem_.connected();
  link.reconnecting = rejoin_.pending;
  link.port = link.reconnecting ? rejoin_.port : modem_.portNumber();
  link.device = modem_.device(link.port);
  link.baudRate = settings_.modemPort.baudRate;
  link.received = modem_.bytesReceived();
  link.sent = modem_.bytesSent();
  if (logs_.nmeaOpen()) in.nmeaLog = logs_.nmeaPath();
  if (logs_.dataOpen()) in.dataLog = logs_.dataPath();
  return in;
}

StatusFields Program::Status() const {
  const StatusInputs in = StatusNow();
  return MakeStatusFields(in.link, in.nmeaLog, in.dataLog);
}

void Program::SetStatusListener(std::function<void(const StatusFields&)> listener) {
  statusListener_ = std::move(listener);
  shownInputs_ = StatusNow();
  shownStatus_ = MakeStatusFields(shownInputs_.link, shownInputs_.nmeaLog, shownInputs_.dataLog);
  if (statusListener_) statusListener_(shownStatus_);
}

// Runs ten times a second, busy or idle: nothing is formatted unless what
// the bar shows is made from something new.
void Program::ReportStatus() {
  if (!statusListener_) return;
  StatusInputs now = StatusNow();
  if (now == shownInputs_) return;
  shownInputs_ = std::move(now);
  StatusFields fields =
      MakeStatusFields(shownInputs_.link, shownInputs_.nmeaLog, shownInputs_.dataLog);
  if (fields == shownStatus_) return;
  shownStatus_ = std::move(fields);
  statusListener_(shownStatus_);
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

// Each command leaves the items as the log is afterwards: an open that
// failed (the operator has been told) offers Start again.
void Program::LogStart(bool nmea) {
  if (!terminal_.info()) return;
  if (nmea) {
    logs_.NMEALogOpen(modem_.portNumber());
  } else {
    logs_.DataLogOpen(modem_.portNumber());
  }
  ShowLogItems(nmea);
}

void Program::LogRestart(bool nmea) {
  if (nmea) {
    logs_.NMEALogClose();
    logs_.NMEALogOpen(logs_.logPortNumber());
  } else {
    logs_.DataLogClose();
    logs_.DataLogOpen(logs_.logPortNumber());
  }
  ShowLogItems(nmea);
}

void Program::LogStop(bool nmea) {
  if (nmea) {
    logs_.NMEALogClose();
  } else {
    logs_.DataLogClose();
  }
  ShowLogItems(nmea);
}

void Program::ShowLogItems() {
  ShowLogItems(true);
  ShowLogItems(false);
}

void Program::ShowLogItems(bool nmea) {
  const bool open = nmea ? logs_.nmeaOpen() : logs_.dataOpen();
  const bool startable = !open && (!nmea || modem_.connected());
  menu_.Enable(nmea ? cmd::NMEA_LOG_START : cmd::DATA_LOG_START, startable);
  menu_.Enable(nmea ? cmd::NMEA_LOG_RESTART : cmd::DATA_LOG_RESTART, open);
  menu_.Enable(nmea ? cmd::NMEA_LOG_STOP : cmd::DATA_LOG_STOP, open);
}

}  // namespace tw
