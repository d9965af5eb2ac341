// The main window's command table: what each menu command does.
#include "app/modem_commands.h"
#include "app/program.h"
#include "core/commands.h"
#include "core/settings_table.h"
#include "frames/acp.h"

namespace tw {

void Program::ToggleOption(int32_t& flag, int id) {
  flag = flag ? 0 : 1;
  menu_.Check(id, flag != 0);
}

void Program::ChooseInterval(int id, int32_t periodMs) {
  settings_.testInterval = periodMs;
  StartTimer(TIMER_TEST, periodMs);
  for (const cmd::IntervalItem& item : cmd::TEST_INTERVALS) menu_.Check(item.id, item.id == id);
}

// The sources of transmitted data: choosing one clears the others, choosing
// the one that is set clears it.
void Program::ChooseTransmitSource(int id) {
  const SettingEntry* chosen = FindSettingByCommand(id);
  if (!chosen) return;
  const bool wasSet = chosen->number(settings_) != 0;
  for (const SettingEntry& entry : SettingsTable()) {
    if (entry.kind != SettingKind::Choice) continue;
    const bool on = !wasSet && entry.commandId == id;
    entry.number(settings_) = on ? 1 : 0;
    menu_.Check(entry.commandId, on);
  }
}

void Program::SendModemCommand(int id) {
  const ModemCommand* c = FindModemCommand(id);
  if (!c) return;
  if (c->ownConnectionTest && !modem_.connected()) {
    terminal_.PrintLine(NOT_CONNECTED);
    return;
  }
  if (c->status) terminal_.PrintLine(c->status);
  sender_.SendSentence(c->sentence ? c->sentence(clock_.localTime(), state_.modemUnit)
                                   : c->fixedText);
}

// Every toggle of the settings table flips its flag and its check mark.
void Program::AddToggleCommands() {
  for (const SettingEntry& entry : SettingsTable()) {
    const int id = entry.commandId;
    if (entry.kind == SettingKind::Toggle) {
      const SettingEntry* e = &entry;
      commands_[id] = [this, e, id] { ToggleOption(e->number(settings_), id); };
    } else if (entry.kind == SettingKind::Choice) {
      commands_[id] = [this, id] { ChooseTransmitSource(id); };
    }
  }
  for (const cmd::IntervalItem& item : cmd::TEST_INTERVALS) {
    commands_[item.id] = [this, item] { ChooseInterval(item.id, item.periodMs); };
  }
}

void Program::BuildCommandTable() {
  auto& t = commands_;

  // Program menu
  t[cmd::PORT_SETTINGS] = [this] {
    TerminalInfo* ti = terminal_.info();
    if (!ti) return;
    bool reconnect = reconnect_;
    const PortSettingsRequest request{settings_.modemPort, modem_.connected(), *ti, reconnect,
                                      [this] { ui_.PostCommand(cmd::CONNECT); }};
    if (dialogs_.serial && dialogs_.serial->RunPortSettings(request)) SetReconnect(reconnect);
    ReconfigureAfterSettings();
  };
  t[cmd::CONNECT] = [this] {
    if (!ModemConnect()) WarningBox("Can't Connect (in use?)");
  };
  t[cmd::DISCONNECT] = [this] {
    if (!terminal_.info()) return;
    terminal_.OnKillFocus();
    ModemDisconnect();
  };
  t[cmd::NMEA_LOG_START] = [this] { LogStart(true); };
  t[cmd::NMEA_LOG_RESTART] = [this] { LogRestart(true); };
  t[cmd::NMEA_LOG_STOP] = [this] { LogStop(true); };
  t[cmd::DATA_LOG_START] = [this] { LogStart(false); };
  t[cmd::DATA_LOG_RESTART] = [this] { LogRestart(false); };
  t[cmd::DATA_LOG_STOP] = [this] { LogStop(false); };
  t[cmd::RUN_EMULATOR] = [this] {
    if (!terminal_.info()) return;
    if (!modem_.connected()) {
      WarningBox("Emulator: You Must Connect First.");
      return;
    }
    modem_.rx.mode = RX_EMULATOR;
    emulator_.EMUInit();
    if (dialogs_.emulator) dialogs_.emulator->RunEmulatorWindow(emulator_, emulatorPane_);
    emulator_.Quit();  // also when the window went without its Quit
    modem_.rx.mode = RX_MODEM;
    // The emulator's window may have started or stopped the shared logs.
    ShowLogItems();
  };
  t[cmd::ABOUT] = [this] {
    if (dialogs_.app) dialogs_.app->ShowAbout(dataRoot_);
  };
  t[cmd::FONT] = [this] { ChooseTerminalFont(); };
  t[cmd::EXIT] = [this] { ui_.PostClose(); };
  t[cmd::LOAD_CONFIGURATION] = [this] { ApplyConfigChanges(config_.ConfigLoad()); };
  t[cmd::SAVE_CONFIGURATION] = [this] { config_.ConfigSave(); };
  t[cmd::LOAD_NEW_EXECUTABLE] = [this] {
    if (terminal_.info()) firmware_.FirmwareDownloadStart(modem_.rx);
  };

  // Modem commands that send one sentence
  for (const ModemCommand& c : ModemCommandTable()) {
    const int id = c.id;
    t[id] = [this, id] { SendModemCommand(id); };
  }

  // Test menu
  t[cmd::TEST_ONCE] = [this] { RunTestCycle(); };
  t[cmd::LOOP_TESTING] = [this] {
    if (modem_.connected()) ToggleOption(state_.loopTesting, cmd::LOOP_TESTING);
  };
  AddToggleCommands();

  // Data menu
  for (int node = 0; node < NODE_COUNT; ++node) {
    t[cmd::SEND_FILE_TO[static_cast<size_t>(node)]] = [this, node] { QueueAcpFile(frames_, node); };
  }

  // Dialogs of other subsystems; the window shows those it has.
  t[cmd::CONFIGURE_CUSTOM_STRING] = [this] {
    if (terminal_.info() && dialogs_.protocol) {
      dialogs_.protocol->RunCustomString(settings_.customString, terminal_, sender_);
    }
  };
  t[cmd::CONFIGURE_MODEM] = [this] {
    if (terminal_.info() && dialogs_.protocol) dialogs_.protocol->RunModemSettings(sender_);
  };
  t[cmd::PERFORMANCE] = [this] {
    if (terminal_.info() && dialogs_.protocol) dialogs_.protocol->RunPerformance(stats_);
  };
  t[cmd::NOISE_SPECTRUM_CHART] = [this] {
    if (dialogs_.diagnostics) dialogs_.diagnostics->ShowNoiseChart(noiseChart_);
  };
  t[cmd::CONFIGURE_NODE_PROTOCOLS] = [this] {
    if (dialogs_.frames) dialogs_.frames->RunNodeProtocols(frames_);
  };
  t[cmd::GPS_SERIAL_PORT] = [this] {
    if (dialogs_.gps) dialogs_.gps->RunGpsSettings(settings_.gpsPort, [this] { gps_.GPSOpen(); });
  };
  t[cmd::GPS_DISCONNECT] = [this] { gps_.GPSClose(); };
}

}  // namespace tw
