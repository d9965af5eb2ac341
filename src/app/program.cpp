#include "app/program.h"

#include "app/cformat.h"
#include "diagnostics/test_cycle.h"
#include "frames/data_frames.h"
#include "protocol/interpreter.h"
#include "resources/commands.h"
#include "resources/menu_table.h"
#include "terminal/terminal_screen.h"

namespace tw {

Program::Program(const Clock& clock, SerialPortOpener& ports, Ui& ui, TerminalSurface& surface,
                 std::filesystem::path dataRoot)
    : logs(clock, dataRoot,
           [&ui](const std::string& text, const std::string& caption) {
             ui.UnownedErrorBox(text, caption);
           }),
      menu(MainMenuTable()),
      clock_(clock),
      ports_(ports),
      ui_(ui),
      surface_(surface),
      dataRoot_(std::move(dataRoot)) {
  BuildCommandTable();
}

Program::~Program() = default;

void Program::SetCommand(int id, std::function<void()> handler) {
  commands_[id] = std::move(handler);
}

void Program::Start() {
  RxInit(rx);
  settings.InitDefaults();
  StatsInit(stats);
  // The window's creation step: the logs, then the terminal record.
  logs.LogsInit(3600);
  term = std::make_unique<TerminalInfo>();
  settings.modemPortNumber = 1;
  settings.modemConnected = 0;
  SetTerminalFont();
  menu.Enable(cmd::DISCONNECT, false);
  menu.Enable(cmd::CONNECT, true);
  SetTitle(settings.windowTitle);
  StartTimers();
  // Who consumes what arrives, and what the test timer runs.
  InstallModemInterpreter(*this);
  InstallTestCycle(*this);
  InstallDataFrames(*this);
  // The map program's switches stay grayed for the whole run.
  menu.Enable(cmd::SEND_COMMS_TO_MAP, false);
  menu.Enable(cmd::SEND_GPS_TO_MAP, false);
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
      if (settings.loopTesting && runTestCycle) runTestCycle();
      break;
    case TIMER_SLOW:
      if (slowTick) slowTick();
      break;
    default:
      break;
  }
}

bool Program::OnClose() { return ui_.ConfirmQuit(); }

void Program::OnDestroy() {
  if (term && term->connected) ModemDisconnect();
  term.reset();
  RxFree(rx);
  logs.LogsCloseAll();
  ui_.Quit(0);
}

void Program::OnChar() { ui_.Beep(); }

void Program::OnHotKey() { ui_.PostCommand(cmd::TEST_ONCE); }

void Program::OnSize(int height, int width) {
  if (term) SizeTerminal(*term, surface_, height, width);
}

void Program::OnSetFocus() {
  if (term) ShowTerminalCaret(*term, surface_);
}

void Program::OnKillFocus() {
  if (term) HideTerminalCaret(*term, surface_);
}

int Program::OnScroll(bool vertical, int code, int position) {
  if (!term) return 0;
  return vertical ? ScrollTerminalVert(*term, surface_, code, position)
                  : ScrollTerminalHorz(*term, surface_, code, position);
}

void Program::WarningBox(const std::string& text) {
  ui_.MessageBox(text, settings.windowTitle, BoxIcon::Warning);
}

void Program::SetTitle(const std::string& title) {
  settings.windowTitle = title;
  ui_.SetWindowTitle(title);
}

// ---------------------------------------------------------------- terminal

void Program::PrintLine(const std::string& text) {
  if (!term) return;
  const std::string line = FormatPrintLine(clock_.localTime(), text);
  WriteScreen(*term, surface_, line.data(), line.size());
  surface_.updateNow();
  if (!lineListeners_.empty()) {
    const std::string shown = line.substr(0, line.size() - 2);  // without CR LF
    for (auto& listener : lineListeners_) listener(shown);
  }
}

void Program::SendSentence(const std::string& sentence) {
  if (!settings.modemConnected) {
    PrintLine(NOT_CONNECTED);
    return;
  }
  if (!term || !term->portHandle) return;
  if (settings.showNmeaOutgoing) {
    std::string echo = sentence.substr(0, LOG_LINE_MAX);
    while (!echo.empty() && (echo.back() == '\r' || echo.back() == '\n')) echo.pop_back();
    PrintLine(echo);
  }
  // A port that takes nothing must not hold the program: the sentence is
  // given up after the time limit and the operator is told.
  if (!term->portHandle->writeAll(sentence.data(), sentence.size(), SEND_TIMEOUT_MS)) {
    PrintLine("Error: Write to modem port failed, sentence not sent.");
    return;
  }
  logs.NMEALogLine(0, sentence);
}

void Program::ChooseTerminalFont() {
  if (term && ui_.ChooseFont(*term)) SetTerminalFont();
}

void Program::SetTerminalFont() {
  if (term) ui_.ApplyFont(*term);
}

// ---------------------------------------------------------------- serial link

bool Program::ModemConnect() {
  if (!term) return false;
  // A second connect must leave the open port alone.
  if (term->connected || term->portHandle) return false;
  ui_.SetWaitCursor(true);
  std::unique_ptr<SerialPort> port = ports_.open(term->portNumber);
  if (!port) {
    ui_.SetWaitCursor(false);
    return false;
  }
  const bool ok = port->configure(term->baudRate);
  if (ok) {
    term->portHandle = std::move(port);
    term->connected = 1;
    settings.modemConnected = 1;
    SetTitle(cformat("Tidewire [COM%d]", term->portNumber));
    for (int id : {cmd::NMEA_LOG_START, cmd::DATA_LOG_START, cmd::DISCONNECT, cmd::LOOP_TESTING,
                   cmd::TEST_ONCE}) {
      menu.Enable(id, true);
    }
    menu.Enable(cmd::CONNECT, false);
  } else {
    term->connected = 0;  // the port closes as `port` goes out of scope
  }
  ui_.SetWaitCursor(false);
  return ok;
}

bool Program::ModemDisconnect() {
  if (!term) return false;
  term->portHandle.reset();
  term->connected = 0;
  settings.modemConnected = 0;
  settings.loopTesting = 0;
  menu.Enable(cmd::DISCONNECT, false);
  menu.Enable(cmd::LOOP_TESTING, false);
  menu.Check(cmd::LOOP_TESTING, false);
  menu.Enable(cmd::TEST_ONCE, false);
  menu.Enable(cmd::CONNECT, true);
  SetTitle(TITLE_NOT_CONNECTED);
  logs.NMEALogClose();
  for (int id : {cmd::NMEA_LOG_START, cmd::NMEA_LOG_STOP, cmd::NMEA_LOG_RESTART}) {
    menu.Enable(id, false);
  }
  return true;
}

void Program::CommPoll() {
  if (!term || !term->connected || !term->portHandle) return;
  uint8_t chunk[POLL_CHUNK];
  const int n = term->portHandle->readAvailable(chunk, POLL_CHUNK);
  if (n < 0) {
    PortLost();
    return;
  }
  if (n > 0) RxAppend(rx, chunk, static_cast<size_t>(n));
  RxDispatch();
}

// The device went away under an open connection (adapter pulled, other end
// closed): close it as "Disconnect" would, so the window does not go on
// showing a dead port as connected, and say so once.
void Program::PortLost() {
  const int port = term->portNumber;
  HideTerminalCaret(*term, surface_);
  ModemDisconnect();
  PrintLine(cformat("Error: Lost modem port COM%d, disconnected.", port));
}

void Program::RxDispatch() {
  auto it = rxHandlers_.find(rx.mode);
  if (it != rxHandlers_.end() && it->second) it->second();
}

void Program::ReconfigureAfterSettings() {
  if (!term || !term->connected || !term->portHandle) return;
  if (!term->portHandle->configure(term->baudRate)) WarningBox("Settings failed!");
}

// ---------------------------------------------------------------- shell

void Program::StartTimers() {
  timers.running = true;
  for (TimerSlot& slot : timers.table) slot = TimerSlot{};
  StartTimer(TIMER_POLL, 20);
  StartTimer(TIMER_SPARE, 20);
  StartTimer(TIMER_TEST, settings.testInterval);
  StartTimer(TIMER_SLOW, 100);
}

void Program::StartTimer(int number, int32_t periodMs) {
  if (number < 0 || number >= TIMER_COUNT) return;
  TimerSlot& slot = timers.table[static_cast<size_t>(number)];
  slot.state = TIMER_RUNNING;
  slot.period = periodMs;
  slot.id = number;
  ui_.SetTimer(number, periodMs);
}

void Program::ToggleOption(int32_t& flag, int id) {
  flag = flag ? 0 : 1;
  menu.Check(id, flag != 0);
}

void Program::ChooseInterval(int id, int32_t periodMs) {
  settings.testInterval = periodMs;
  StartTimer(TIMER_TEST, periodMs);
  for (const cmd::IntervalItem& item : cmd::TEST_INTERVALS) menu.Check(item.id, item.id == id);
}

void Program::LogStart(bool nmea) {
  if (!term) return;
  if (nmea) {
    logs.NMEALogOpen(term->portNumber);
  } else {
    logs.DataLogOpen(term->portNumber);
  }
  menu.Enable(nmea ? cmd::NMEA_LOG_RESTART : cmd::DATA_LOG_RESTART, true);
  menu.Enable(nmea ? cmd::NMEA_LOG_STOP : cmd::DATA_LOG_STOP, true);
  menu.Enable(nmea ? cmd::NMEA_LOG_START : cmd::DATA_LOG_START, false);
}

void Program::LogRestart(bool nmea) {
  if (nmea) {
    logs.NMEALogClose();
    logs.NMEALogOpen(logs.logPortNumber());
  } else {
    logs.DataLogClose();
    logs.DataLogOpen(logs.logPortNumber());
  }
}

void Program::LogStop(bool nmea) {
  if (nmea) {
    logs.NMEALogClose();
  } else {
    logs.DataLogClose();
  }
  menu.Enable(nmea ? cmd::NMEA_LOG_START : cmd::DATA_LOG_START, true);
  menu.Enable(nmea ? cmd::NMEA_LOG_RESTART : cmd::DATA_LOG_RESTART, false);
  menu.Enable(nmea ? cmd::NMEA_LOG_STOP : cmd::DATA_LOG_STOP, false);
}

}  // namespace tw
