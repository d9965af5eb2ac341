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

  Logs& logs = links_.logs;
  if (logs.nmeaOpen()) {
    logs.NMEALogClose();
    logs.NMEALogOpen(logs.logPortNumber());
  }
  ShowNmeaLogItems(logs.nmeaOpen());
  if (logs.dataOpen()) {
    logs.DataLogClose();
    logs.DataLogOpen(logs.logPortNumber());
  }
  ShowRawLogItems(logs.dataOpen());
}

void Emulator::Quit() { state_.running = 0; }

void Emulator::EMUTick() {
  ++state_.tickCount;
  if (!state_.running) return;
  const int64_t tick = state_.tickCount;
  const bool heartbeat = state_.heartbeat && tick % EMU_HEARTBEAT_TICKS == 0;
  const bool request32 = state_.dataRequest32 && tick % EMU_REQUEST_TICKS == 0;
  const bool request256 =
      state_.dataRequest256 && tick % EMU_REQUEST_TICKS == EMU_REQUEST_256_OFFSET;
  if (!heartbeat && !request32 && !request256) return;

  const LocalTime t = links_.clock.localTime();
  if (heartbeat) {
    EMUSend(FixedFormat("$CAREV,%02d%02d%02d,EMULATOR,1.00", t.hour, t.minute, t.second));
  }
  if (request32) {
    EMUSend(FixedFormat("$CADRQ,%02d%02d%02d,1,0,1,32,1", t.hour, t.minute, t.second));
  }
  if (request256) {
    EMUSend(FixedFormat("$CADRQ,%02d%02d%02d,1,0,1,256,1", t.hour, t.minute, t.second));
  }
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

void Emulator::ShowNmeaLogItems(bool open) {
  menu_.Enable(emu::NMEA_LOG_START, !open);
  menu_.Enable(emu::NMEA_LOG_RESTART, open);
  menu_.Enable(emu::NMEA_LOG_STOP, open);
}

void Emulator::ShowRawLogItems(bool open) {
  menu_.Enable(emu::RAW_LOG_START, !open);
  menu_.Enable(emu::RAW_LOG_RESTART, open);
  menu_.Enable(emu::RAW_LOG_STOP, open);
}

// The items switch as if an open had worked even when it failed (the
// operator has been told in a box): Stop then only resets them, Restart
// tries again.
void Emulator::NmeaLogStart() {
  links_.logs.NMEALogOpen(links_.settings.modemPort.portNumber);
  ShowNmeaLogItems(links_.logs.nmeaOpen());
}

void Emulator::NmeaLogRestart() {
  links_.logs.NMEALogClose();
  links_.logs.NMEALogOpen(links_.logs.logPortNumber());
}

void Emulator::NmeaLogStop() {
  links_.logs.NMEALogClose();
  ShowNmeaLogItems(false);
}

void Emulator::RawLogStart() {
  links_.logs.DataLogOpen(links_.settings.modemPort.portNumber);
  ShowRawLogItems(links_.logs.dataOpen());
}

void Emulator::RawLogRestart() {
  links_.logs.DataLogClose();
  links_.logs.DataLogOpen(links_.logs.logPortNumber());
}

void Emulator::RawLogStop() {
  links_.logs.DataLogClose();
  ShowRawLogItems(false);
}

void Emulator::PortLost(int portNumber) {
  state_.running = 0;
  EMUPrint(FixedFormat("Error: Lost modem port COM%d, emulator stopped.", portNumber));
}

}  // namespace tw
