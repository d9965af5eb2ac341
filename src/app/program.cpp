#include "app/program.h"

#include <string>

#include "core/cformat.h"
#include "core/commands.h"
#include "core/settings_table.h"
#include "diagnostics/noise_report.h"
#include "diagnostics/test_cycle.h"
#include "resources/menu_table.h"
#include "serial/open_failure.h"
#include "terminal/terminal_screen.h"

namespace tw {

namespace {

// A sentence cut off by a lost port would be glued to the first one that
// arrives after the next connect. Its bytes go; the whole sentences before
// it stay for the interpreter.
void DropUnfinishedLine(RxState& rx) {
  uint32_t end = 0;  // just past the last LF
  for (uint32_t at = RxFind(rx, 0, '\n'); at < rx.count(); at = RxFind(rx, at + 1, '\n')) {
    end = at + 1;
  }
  if (end == rx.count()) return;
  const std::string whole = RxCopy(rx, 0, end);
  RxReset(rx);
  RxAppend(rx, reinterpret_cast<const uint8_t*>(whole.data()), whole.size());
}

}  // namespace

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
      interpreter_(InterpreterLinks{
          terminal_, sender_, logs_, settings_, state_, stats_, &frames_,
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
  // A log that fails says so on the terminal. One closed by a failed write
  // offers "Start" again; after a failed open the items stay as they are,
  // so Restart can try again.
  logs_.SetFailureLine([this](const std::string& line, bool closedByWrite) {
    terminal_.PrintLine(line);
    if (!closedByWrite) return;
    for (const bool nmea : {true, false}) {
      const int stop = nmea ? cmd::NMEA_LOG_STOP : cmd::DATA_LOG_STOP;
      if ((nmea ? logs_.nmeaOpen() : logs_.dataOpen()) || !menu_.IsEnabled(stop)) continue;
      menu_.Enable(nmea ? cmd::NMEA_LOG_START : cmd::DATA_LOG_START, true);
      menu_.Enable(nmea ? cmd::NMEA_LOG_RESTART : cmd::DATA_LOG_RESTART, false);
      menu_.Enable(stop, false);
    }
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
    terminal_.PrintLine(
        OpenFailureLine(cformat("COM%d", settings_.modemPort.portNumber), modem_.lastFailure()));
  }
  ui_.SetWaitCursor(false);
  return ok;
}

void Program::ShowConnected() {
  terminal_.info()->connected = 1;
  SetTitle(cformat("Tidewire [COM%d]", modem_.portNumber()));
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

void Program::CommPoll() {
  if (!terminal_.info()) return;
  // However many lines one poll prints, the window repaints once, when the
  // poll is done.
  struct Hold {
    TerminalSurface& surface;
    explicit Hold(TerminalSurface& s) : surface(s) { surface.holdUpdates(true); }
    ~Hold() { surface.holdUpdates(false); }
  } hold(terminal_.surface());
  switch (modem_.Poll()) {
    case SerialLink::PollResult::Closed:
      return;
    case SerialLink::PollResult::Lost:
      PortLost();
      return;
    case SerialLink::PollResult::Read:
      RxDispatch();
      return;
  }
}

// The device went away under an open connection (adapter pulled, other end
// closed): close it as "Disconnect" would, so the window does not go on
// showing a dead port as connected, and say so once.
void Program::PortLost() {
  const int port = modem_.lastOpenedPort();
  const bool nmeaLog = logs_.nmeaOpen();
  terminal_.OnKillFocus();
  ModemDisconnect();
  DropUnfinishedLine(modem_.rx);
  terminal_.PrintLine(cformat("Error: Lost modem port COM%d, disconnected.", port));
  if (reconnect_) {
    rejoin_ = Rejoin{true, port, clock_.tickCount() + RECONNECT_PERIOD_MS, nmeaLog};
    terminal_.PrintLine(cformat("Trying COM%d again every %u s.", port,
                                static_cast<unsigned>(RECONNECT_PERIOD_MS / 1000)));
  }
}

void Program::SetReconnect(bool on) {
  reconnect_ = on;
  if (!on) rejoin_.pending = false;
}

// One quiet attempt per period: a failure shows nothing (the lost line said
// it all), so an absent device never fills the screen or stacks boxes.
void Program::TryReconnect() {
  if (!rejoin_.pending || !terminal_.info()) return;
  if (modem_.connected() || settings_.modemPort.portNumber != rejoin_.port) {
    rejoin_.pending = false;  // connected by hand, or another port was chosen
    return;
  }
  const uint32_t now = clock_.tickCount();
  if (static_cast<int32_t>(now - rejoin_.nextTry) < 0) return;
  rejoin_.nextTry = now + RECONNECT_PERIOD_MS;
  if (!modem_.Connect()) return;
  rejoin_.pending = false;
  ShowConnected();
  terminal_.PrintLine(cformat("Reconnected to COM%d (%s) at %ld baud.", rejoin_.port,
                              modem_.device(rejoin_.port).c_str(),
                              static_cast<long>(settings_.modemPort.baudRate)));
  if (rejoin_.nmeaLog && !logs_.nmeaOpen()) LogStart(true);
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

void Program::RxDispatch() {
  auto it = rxHandlers_.find(modem_.rx.mode);
  if (it != rxHandlers_.end() && it->second) it->second();
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
  if (nmea) {
    logs_.NMEALogOpen(modem_.portNumber());
  } else {
    logs_.DataLogOpen(modem_.portNumber());
  }
  menu_.Enable(nmea ? cmd::NMEA_LOG_RESTART : cmd::DATA_LOG_RESTART, true);
  menu_.Enable(nmea ? cmd::NMEA_LOG_STOP : cmd::DATA_LOG_STOP, true);
  menu_.Enable(nmea ? cmd::NMEA_LOG_START : cmd::DATA_LOG_START, false);
}

void Program::LogRestart(bool nmea) {
  if (nmea) {
    logs_.NMEALogClose();
    logs_.NMEALogOpen(logs_.logPortNumber());
  } else {
    logs_.DataLogClose();
    logs_.DataLogOpen(logs_.logPortNumber());
  }
}

void Program::ShowLogItems() {
  for (const bool nmea : {true, false}) {
    const bool open = nmea ? logs_.nmeaOpen() : logs_.dataOpen();
    menu_.Enable(nmea ? cmd::NMEA_LOG_START : cmd::DATA_LOG_START, !open);
    menu_.Enable(nmea ? cmd::NMEA_LOG_RESTART : cmd::DATA_LOG_RESTART, open);
    menu_.Enable(nmea ? cmd::NMEA_LOG_STOP : cmd::DATA_LOG_STOP, open);
  }
}

void Program::LogStop(bool nmea) {
  if (nmea) {
    logs_.NMEALogClose();
  } else {
    logs_.DataLogClose();
  }
  menu_.Enable(nmea ? cmd::NMEA_LOG_START : cmd::DATA_LOG_START, true);
  menu_.Enable(nmea ? cmd::NMEA_LOG_RESTART : cmd::DATA_LOG_RESTART, false);
  menu_.Enable(nmea ? cmd::NMEA_LOG_STOP : cmd::DATA_LOG_STOP, false);
}

}  // namespace tw
