#include "emulator/emulator.h"

#include "core/fixed_format.h"
#include "emulator/emulator_ids.h"
#include "protocol/nmea.h"

namespace tw {

namespace {

constexpr const char* OUTPUT_PREFIX = " <= Veluna      ";
constexpr const char* PARSER_PREFIX = "        [parser]      ";

}  // namespace

Emulator::Emulator(EmulatorLinks links, EmulatorPane& pane)
    : links_(links), pane_(pane), menu_(EmulatorMenuTable()) {}

void Emulator::EMUInit() {
  // The configuration value and the step count belong to the run, not to
  // one opening of the window.
  EMUState fresh;
  fresh.running = 1;
  fresh.configValue = state_.configValue;
  fresh.tickCount = state_.tickCount;
  state_ = fresh;
  pane_.Clear();
  ResetMenu();
  for (LogKind kind : {LogKind::Nmea, LogKind::Data}) {
    if (links_.logControls.open(kind)) links_.logControls.Restart(kind);
    ShowLogItems(kind);
  }
}

void Emulator::Quit() { state_.running = 0; }

void Emulator::SimulateLink(uint32_t seed) { simulation_ = std::make_unique<LinkSimulation>(seed); }

void Emulator::EMUTick() {
  ++state_.tickCount;
  if (!state_.running) return;
  if (simulation_) {
    for (const std::string& sentence : simulation_->Step()) EMUSend(sentence);
  }
  const int64_t tick = state_.tickCount;
  const bool heartbeat = state_.heartbeat && tick % EMU_HEARTBEAT_TICKS == 0;
  const bool request32 = state_.dataRequest32 && tick % EMU_REQUEST_TICKS == 0;
  const bool request256 =
      state_.dataRequest256 && tick % EMU_REQUEST_TICKS == EMU_REQUEST_256_OFFSET;
  if (!heartbeat && !request32 && !request256) return;

  const LocalTime t = links_.clock.localTime();
  const std::string time = SentenceTime(t);
  if (heartbeat) EMUSend(BuildSentence(MSG_CAREV, {time, "EMULATOR", "1.00"}));
  if (request32) EMUSend(BuildSentence(MSG_CADRQ, {time, 1, 0, 1, 32, 1}));
  if (request256) EMUSend(BuildSentence(MSG_CADRQ, {time, 1, 0, 1, 256, 1}));
}

// Logged by the sink once the write has worked, as it went out (with its
// checksum): a record here as well would double every sentence and would
// claim ones that were never sent.
void Emulator::EMUSend(const std::string& sentence) {
  if (state_.showOutput) EMUPrint(OUTPUT_PREFIX + sentence);
  std::string whole = sentence;
  NMEAAppendChecksum(whole);
  links_.sink.SendSentence(whole);
}

void Emulator::EMUParserMessage(const std::string& text) {
  if (state_.showParser) EMUPrint(PARSER_PREFIX + text);
}

void Emulator::EMUPrint(const std::string& text) {
  const LocalTime t = links_.clock.localTime();
  pane_.EMUAppendText(FixedFormat("[%02d:%02d:%02d] ", t.hour, t.minute, t.second) + text + "\r\n");
}

// --- Menu -------------------------------------------------------------------

bool Emulator::OnMenuCommand(int id) {
  for (const EmulatorMenuRow& row : EmulatorMenuRows()) {
    if (row.entry.kind != MenuKind::Item || row.entry.id != id) continue;
    if (!menu_.IsEnabled(id)) return false;
    if (row.toggle != nullptr) {
      uint8_t& flag = state_.*row.toggle;
      flag = flag ? 0 : 1;
      menu_.Check(id, flag != 0);
    }
    if (row.action != nullptr) (this->*row.action)();
    return row.action == &Emulator::Quit;
  }
  return false;
}

// The window is made afresh from its resource at each opening, so its menu
// starts from the table's states every time.
void Emulator::ResetMenu() {
  for (const MenuEntry& e : EmulatorMenuTable()) {
    if (e.kind != MenuKind::Item) continue;
    menu_.Enable(e.id, !e.grayed);
    menu_.Check(e.id, e.checked);
  }
}

void Emulator::ShowLogItems(LogKind kind) {
  const LogCommands allowed = links_.logControls.Allowed(kind);
  const bool nmea = kind == LogKind::Nmea;
  menu_.Enable(nmea ? emu::NMEA_LOG_START : emu::RAW_LOG_START, allowed.start);
  menu_.Enable(nmea ? emu::NMEA_LOG_RESTART : emu::RAW_LOG_RESTART, allowed.restart);
  menu_.Enable(nmea ? emu::NMEA_LOG_STOP : emu::RAW_LOG_STOP, allowed.stop);
}

// The same commands as the main menu's, on the same logs; the items follow
// the log as it is afterwards (an open that failed offers Start again).
void Emulator::LogCommand(LogKind kind, void (LogControls::*command)(LogKind)) {
  (links_.logControls.*command)(kind);
  ShowLogItems(kind);
}

void Emulator::NmeaLogStart() { LogCommand(LogKind::Nmea, &LogControls::Start); }
void Emulator::NmeaLogRestart() { LogCommand(LogKind::Nmea, &LogControls::Restart); }
void Emulator::NmeaLogStop() { LogCommand(LogKind::Nmea, &LogControls::Stop); }
void Emulator::RawLogStart() { LogCommand(LogKind::Data, &LogControls::Start); }
void Emulator::RawLogRestart() { LogCommand(LogKind::Data, &LogControls::Restart); }
void Emulator::RawLogStop() { LogCommand(LogKind::Data, &LogControls::Stop); }

void Emulator::PortLost(int portNumber) {
  state_.running = 0;
  EMUPrint(FixedFormat("Error: Lost modem port COM%d, emulator stopped.", portNumber));
}

}  // namespace tw
