// The main window's command table: what each menu command does.
#include "app/cformat.h"
#include "app/modem_commands.h"
#include "app/program.h"
#include "resources/commands.h"
#include "terminal/terminal_screen.h"

namespace tw {

namespace {

// A menu item that flips an option flag together with its check mark.
struct Toggle {
  int32_t Settings::*flag;
  int id;
};

constexpr Toggle TOGGLES[] = {
    {&Settings::lblPing, cmd::PING_LBL},
    {&Settings::sendCustomString, cmd::SEND_CUSTOM_STRING},
    {&Settings::acpStatusNoAck, cmd::ACP_STATUS_NOACK},
    {&Settings::acpStatusAck, cmd::ACP_STATUS_ACK},
    {&Settings::showHeartbeat, cmd::SHOW_HEARTBEAT},
    {&Settings::showNmeaIncoming, cmd::SHOW_NMEA_INCOMING},
    {&Settings::showNmeaOutgoing, cmd::SHOW_NMEA_OUTGOING},
    {&Settings::showGpsMessages, cmd::SHOW_GPS_MESSAGES},
    {&Settings::logGpsMessages, cmd::LOG_GPS_MESSAGES},
    {&Settings::sendCommsToMap, cmd::SEND_COMMS_TO_MAP},
    {&Settings::sendGpsToMap, cmd::SEND_GPS_TO_MAP},
};

// The sources of transmitted data: at most one of them is set.
constexpr Toggle TRANSMIT_SOURCES[] = {
    {&Settings::useNodeProtocol, cmd::USE_NODE_PROTOCOL},
    {&Settings::useCustomString, cmd::USE_CUSTOM_STRING},
    {&Settings::useTestDataNoAck, cmd::USE_TEST_DATA_NOACK},
    {&Settings::useTestDataAck, cmd::USE_TEST_DATA_ACK},
};

}  // namespace

void Program::ChooseTransmitSource(int32_t& flag, int id) {
  if (flag) {
    flag = 0;
    menu.Check(id, false);
    return;
  }
  for (const Toggle& source : TRANSMIT_SOURCES) {
    const bool chosen = source.id == id;
    settings.*source.flag = chosen ? 1 : 0;
    menu.Check(source.id, chosen);
  }
}

void Program::SendModemCommand(int id) {
  const ModemCommand* c = FindModemCommand(id);
  if (!c) return;
  if (c->ownConnectionTest && !settings.modemConnected) {
    PrintLine(NOT_CONNECTED);
    return;
  }
  if (c->status) PrintLine(c->status);
  SendSentence(c->sentence ? c->sentence(clock_.localTime(), settings.modemUnit) : c->fixedText);
}

void Program::BuildCommandTable() {
  auto& t = commands_;

  // Program menu
  t[cmd::PORT_SETTINGS] = [this] {
    if (!term) return;
    ui_.RunDialog(DLG_SERIAL);
    ReconfigureAfterSettings();
  };
  t[cmd::CONNECT] = [this] {
    if (!ModemConnect()) WarningBox("Can't Connect (in use?)");
  };
  t[cmd::DISCONNECT] = [this] {
    if (!term) return;
    HideTerminalCaret(*term, surface_);
    ModemDisconnect();
  };
  t[cmd::NMEA_LOG_START] = [this] { LogStart(true); };
  t[cmd::NMEA_LOG_RESTART] = [this] { LogRestart(true); };
  t[cmd::NMEA_LOG_STOP] = [this] { LogStop(true); };
  t[cmd::DATA_LOG_START] = [this] { LogStart(false); };
  t[cmd::DATA_LOG_RESTART] = [this] { LogRestart(false); };
  t[cmd::DATA_LOG_STOP] = [this] { LogStop(false); };
  t[cmd::RUN_EMULATOR] = [this] {
    if (!term) return;
    if (!term->connected) {
      WarningBox("Emulator: You Must Connect First.");
      return;
    }
    rx.mode = RX_EMULATOR;
    ui_.RunDialog(DLG_EMULATOR);
    rx.mode = RX_MODEM;
  };
  t[cmd::ABOUT] = [this] { ui_.RunDialog(DLG_ABOUT); };
  t[cmd::FONT] = [this] { ChooseTerminalFont(); };
  t[cmd::EXIT] = [this] { ui_.PostClose(); };

  // Modem commands that send one sentence
  for (const ModemCommand& c : ModemCommandTable()) {
    const int id = c.id;
    t[id] = [this, id] { SendModemCommand(id); };
  }

  // Test menu
  t[cmd::TEST_ONCE] = [this] {
    if (runTestCycle) runTestCycle();
  };
  t[cmd::LOOP_TESTING] = [this] {
    if (settings.modemConnected) ToggleOption(settings.loopTesting, cmd::LOOP_TESTING);
  };
  for (const cmd::IntervalItem& item : cmd::TEST_INTERVALS) {
    t[item.id] = [this, item] { ChooseInterval(item.id, item.periodMs); };
  }
  for (size_t k = 0; k < cmd::DATA_RATES.size(); ++k) {
    t[cmd::DATA_RATES[k]] = [this, k] {
      ToggleOption(settings.dataRateEnabled[k], cmd::DATA_RATES[k]);
    };
  }
  for (size_t node = 1; node < 16; ++node) {
    t[cmd::UPLINK_FROM[node]] = [this, node] {
      ToggleOption(settings.uplinkEnabled[node], cmd::UPLINK_FROM[node]);
    };
    t[cmd::DOWNLINK_TO[node]] = [this, node] {
      ToggleOption(settings.downlinkEnabled[node], cmd::DOWNLINK_TO[node]);
    };
  }
  for (size_t unit = 0; unit < 16; ++unit) {
    const int id = cmd::PING_UNIT_FIRST + static_cast<int>(unit);
    t[id] = [this, unit, id] { ToggleOption(settings.unitPingEnabled[unit], id); };
  }
  for (size_t ch = 0; ch < cmd::NAV_PING.size(); ++ch) {
    t[cmd::NAV_PING[ch]] = [this, ch] {
      ToggleOption(settings.navPingEnabled[ch], cmd::NAV_PING[ch]);
    };
  }
  for (size_t k = 0; k < cmd::NOISE_DIAGNOSTIC.size(); ++k) {
    t[cmd::NOISE_DIAGNOSTIC[k]] = [this, k] {
      ToggleOption(settings.noiseDiagnostic[k], cmd::NOISE_DIAGNOSTIC[k]);
    };
  }

  for (const Toggle& toggle : TOGGLES) {
    t[toggle.id] = [this, toggle] { ToggleOption(settings.*toggle.flag, toggle.id); };
  }
  for (const Toggle& source : TRANSMIT_SOURCES) {
    t[source.id] = [this, source] { ChooseTransmitSource(settings.*source.flag, source.id); };
  }

  // Dialogs of other subsystems; the window shows those it has.
  for (auto [id, dialog] : {std::pair{cmd::CONFIGURE_CUSTOM_STRING, DLG_CUSTOM_STRING},
                            std::pair{cmd::CONFIGURE_MODEM, DLG_MODEM_SETTINGS},
                            std::pair{cmd::PERFORMANCE, DLG_PERFORMANCE}}) {
    t[id] = [this, dialog] {
      if (term) ui_.RunDialog(dialog);
    };
  }
  t[cmd::CONFIGURE_NODE_PROTOCOLS] = [this] { ui_.RunDialog(DLG_NODE_PROTOCOLS); };
  t[cmd::GPS_SERIAL_PORT] = [this] { ui_.RunDialog(DLG_GPS_SERIAL); };
}

}  // namespace tw
