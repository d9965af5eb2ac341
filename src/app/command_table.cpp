// The command table's writer and rules, the Program side of it (binding the
// actions, RefreshMenu) and the program menu.
#include "app/command_table.h"

#include <map>
#include <utility>

#include "app/command_rows.h"
#include "app/guidance_lines.h"
#include "app/modem_commands.h"
#include "app/program.h"
#include "core/commands.h"

namespace tw {

// ---------------------------------------------------------------- writer

namespace {
CommandRow Row(MenuKind kind, std::string caption = {}, int id = 0) {
  CommandRow row;
  row.kind = kind;
  row.caption = std::move(caption);
  row.id = id;
  return row;
}
}  // namespace

void MenuWriter::Popup(std::string caption, bool grayed) {
  CommandRow row = Row(MenuKind::Popup, std::move(caption));
  row.popupGrayed = grayed;
  rows_.push_back(std::move(row));
}

void MenuWriter::End() { rows_.push_back(Row(MenuKind::End)); }

void MenuWriter::Separator() { rows_.push_back(Row(MenuKind::Separator)); }

void MenuWriter::Item(std::string caption, int id, CommandAction action, MenuRule enabled,
                      MenuRule checked) {
  CommandRow row = Row(MenuKind::Item, std::move(caption), id);
  row.action = std::move(action);
  row.enabled = std::move(enabled);
  row.checked = std::move(checked);
  rows_.push_back(std::move(row));
}

void MenuWriter::Grayed(std::string caption, int id) {
  Item(
      std::move(caption), id, [](Program&) {}, menu_rule::Never);
}

void MenuWriter::Inert(std::string caption, int id) {
  Item(std::move(caption), id, [](Program&) {});
}

void MenuWriter::Also(int id) {
  for (const CommandRow& row : rows_) {
    if (row.kind != MenuKind::Item || row.id != id || row.alsoHere) continue;
    CommandRow place = Row(MenuKind::Item, row.caption, id);
    place.alsoHere = true;
    rows_.push_back(std::move(place));
    return;
  }
  // No such command above: the table's own test names the slip.
  CommandRow lost = Row(MenuKind::Item, "", id);
  lost.alsoHere = true;
  rows_.push_back(std::move(lost));
}

void MenuWriter::Setting(std::string caption, int id, MenuRule enabled) {
  const SettingEntry* entry = FindSettingByCommand(id);
  if (!entry) {
    Item(std::move(caption), id, {}, std::move(enabled));  // no action: the test names it
    return;
  }
  Item(std::move(caption), id, MenuCommands::SettingAction(*entry), std::move(enabled),
       [entry](const MenuInputs& in) { return SettingNumber(*entry, in.settings) != 0; });
}

// ---------------------------------------------------------------- rules

namespace menu_rule {
bool Never(const MenuInputs&) { return false; }
bool Connected(const MenuInputs& in) { return in.modemConnected; }
bool NotConnected(const MenuInputs& in) { return !in.modemConnected; }
bool GpsConnected(const MenuInputs& in) { return in.gpsConnected; }
// The log controls' rule: the NMEA log is written under the open port, so
// it starts only while connected; a disconnect closes it.
bool NmeaLogStartable(const MenuInputs& in) { return in.nmeaLog.start; }
bool NmeaLogOpen(const MenuInputs& in) { return in.nmeaLog.stop; }
bool DataLogStartable(const MenuInputs& in) { return in.dataLog.start && in.modemConnectedOnce; }
bool DataLogOpen(const MenuInputs& in) { return in.dataLog.stop; }
bool LoopTesting(const MenuInputs& in) { return in.state.loopTesting != 0; }
bool MapAvailable(const MenuInputs& in) { return in.state.mapAvailable != 0; }
bool NotReplaying(const MenuInputs& in) { return !in.replaying; }
}  // namespace menu_rule

// ---------------------------------------------------------------- table

const std::vector<CommandRow>& MainCommandTable() {
  static const std::vector<CommandRow> table = [] {
    MenuWriter m;
    MenuCommands::ProgramMenu(m);
    MenuCommands::ModemMenu(m);
    MenuCommands::TestMenu(m);
    MenuCommands::DataMenu(m);
    MenuCommands::ViewMenu(m);
    MenuCommands::MapMenu(m);
    MenuCommands::GpsMenu(m);
    MenuCommands::UdpMenu(m);
    return m.Take();
  }();
  return table;
}

const std::vector<const CommandRow*>& CommandItems() {
  static const std::vector<const CommandRow*> items = [] {
    std::vector<const CommandRow*> rows;
    for (const CommandRow& row : MainCommandTable()) {
      if (row.kind == MenuKind::Item && !row.alsoHere) rows.push_back(&row);
    }
    return rows;
  }();
  return items;
}

const std::vector<MenuEntry>& MainMenuTable() {
  static const std::vector<MenuEntry> entries = [] {
    // A freshly started program: the start-up choices, nothing connected,
    // no log open, no map program.
    static const Settings startSettings;
    static const RunState startState;
    std::map<int, std::pair<bool, bool>> start;  // enabled, checked
    ForEachMenuState(MenuInputs{startSettings, startState},
                     [&start](int id, bool enabled, bool checked) {
                       start[id] = {enabled, checked};
                     });
    std::vector<MenuEntry> out;
    for (const CommandRow& row : MainCommandTable()) {
      // A further place shows its command's state.
      const auto [enabled, checked] =
          row.kind == MenuKind::Item ? start[row.id] : std::pair{!row.popupGrayed, false};
      out.push_back({row.kind, row.caption.c_str(), row.id, !enabled, checked});
    }
    return out;
  }();
  return entries;
}

CommandAction MenuCommands::SettingAction(const SettingEntry& entry) {
  const SettingEntry* e = &entry;
  if (entry.kind == SettingKind::Choice) {
    const int id = entry.commandId;
    return [id](Program& p) { p.ChooseTransmitSource(id); };
  }
  return [e](Program& p) { p.ToggleOption(e->number(p.settings_)); };
}

CommandAction MenuCommands::SendsSentence(int id) {
  return [id](Program& p) { p.SendModemCommand(id); };
}

// ---------------------------------------------------------------- Program

void Program::ToggleOption(int32_t& flag) { flag = flag ? 0 : 1; }

void Program::ChooseInterval(int32_t periodMs) {
  settings_.testInterval = periodMs;
  StartTimer(TIMER_TEST, periodMs);
}

// The sources of transmitted data: choosing one clears the others, choosing
// the one that is set clears it.
void Program::ChooseTransmitSource(int id) {
  const SettingEntry* chosen = FindSettingByCommand(id);
  if (!chosen) return;
  const bool wasSet = chosen->number(settings_) != 0;
  for (const SettingEntry& entry : SettingsTable()) {
    if (entry.kind != SettingKind::Choice) continue;
    entry.number(settings_) = !wasSet && entry.commandId == id ? 1 : 0;
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

void Program::BuildCommandTable() {
  for (const CommandRow* row : CommandItems()) {
    commands_[row->id] = [this, row] { row->action(*this); };
  }
}

MenuInputs Program::MenuInputsNow() const {
  MenuInputs in{settings_, state_};
  in.modemConnected = modem_.connected();
  in.modemConnectedOnce = modemConnectedOnce_;
  in.nmeaLog = logControls_.Allowed(LogKind::Nmea);
  in.dataLog = logControls_.Allowed(LogKind::Data);
  in.gpsConnected = gpsLink_.connected();
  in.replaying = replaying();
  return in;
}

void Program::RefreshMenu() {
  ForEachMenuState(MenuInputsNow(), [this](int id, bool enabled, bool checked) {
    menu_.Enable(id, enabled);
    menu_.Check(id, checked);
  });
}

// ---------------------------------------------------------------- program menu

void MenuCommands::ProgramMenu(MenuWriter& m) {
  using namespace menu_rule;
  m.Popup("T&idewire");
  m.Item("Modem Serial &Port...", cmd::PORT_SETTINGS, [](Program& p) {
    TerminalInfo* ti = p.terminal_.info();
    if (!ti) return;
    bool reconnect = p.reconnect();
    const PortSettingsRequest request{p.settings_.modemPort, p.modem_.connected(), *ti, reconnect,
                                      [&p] { p.ui_.PostCommand(cmd::CONNECT); }};
    if (p.dialogs_.serial && p.dialogs_.serial->RunPortSettings(request)) {
      p.SetReconnect(reconnect);
      p.KeepTerminalOptions();
    }
    p.ReconfigureAfterSettings();
  });
  m.Item(
      "&Connect to Modem", cmd::CONNECT,
      [](Program& p) {
        if (!p.ModemConnect()) p.WarningBox("Can't Connect (in use?)");
      },
      NotConnected);
  m.Item(
      "Disconnect", cmd::DISCONNECT,
      [](Program& p) {
        if (!p.terminal_.info()) return;
        p.terminal_.OnKillFocus();
        p.ModemDisconnect();
      },
      Connected);
  m.Separator();
  m.Item("Load Configuration...", cmd::LOAD_CONFIGURATION,
         [](Program& p) { p.ApplyConfigChanges(p.config_.ConfigLoad()); });
  m.Item("Save Configuration...", cmd::SAVE_CONFIGURATION,
         [](Program& p) { p.config_.ConfigSave(); });
  m.Item("Save History As...", cmd::SAVE_HISTORY, [](Program& p) { p.SaveHistory(); });
  m.Separator();
  m.Popup("NMEA &Log");
  m.Item(
      "&Start", cmd::NMEA_LOG_START, [](Program& p) { p.LogStart(true); }, NmeaLogStartable);
  m.Item(
      "&Restart", cmd::NMEA_LOG_RESTART, [](Program& p) { p.LogRestart(true); }, NmeaLogOpen);
  m.Item(
      "Sto&p", cmd::NMEA_LOG_STOP, [](Program& p) { p.LogStop(true); }, NmeaLogOpen);
  m.End();
  m.Popup("Binary &Data Log");
  m.Item(
      "&Start", cmd::DATA_LOG_START, [](Program& p) { p.LogStart(false); }, DataLogStartable);
  m.Item(
      "&Restart", cmd::DATA_LOG_RESTART, [](Program& p) { p.LogRestart(false); }, DataLogOpen);
  m.Item(
      "Sto&p", cmd::DATA_LOG_STOP, [](Program& p) { p.LogStop(false); }, DataLogOpen);
  m.End();
  m.Separator();
  m.Item("Configure Custom String...", cmd::CONFIGURE_CUSTOM_STRING, [](Program& p) {
    if (p.terminal_.info() && p.dialogs_.protocol) {
      p.dialogs_.protocol->RunCustomString(p.settings_.customString, p.terminal_, p.sender_);
    }
  });
  m.Item("Run &Emulator...", cmd::RUN_EMULATOR, [](Program& p) {
    if (!p.terminal_.info()) return;
    if (!p.modem_.connected()) {
      p.WarningBox("Emulator: You Must Connect First.");
      return;
    }
    if (p.demo_) {  // a second emulator would answer the demo's modem
      p.terminal_.PrintLine(EMULATOR_IN_DEMO_LINE);
      return;
    }
    p.modem_.rx.mode = RX_EMULATOR;
    p.emulator_.EMUInit();
    if (p.dialogs_.emulator) p.dialogs_.emulator->RunEmulatorWindow(p.emulator_, p.emulatorPane_);
    p.emulator_.Quit();  // also when the window went without its Quit
    p.modem_.rx.mode = RX_MODEM;
  });
  m.Item(
      "Replay NMEA Log...", cmd::REPLAY_NMEA_LOG, [](Program& p) { p.ReplayChooseLog(); },
      NotReplaying);
  m.Separator();
  m.Item("A&bout...", cmd::ABOUT, [](Program& p) {
    if (p.dialogs_.app) p.dialogs_.app->ShowAbout(p.dataRoot_);
  });
  m.Item("&Font...", cmd::FONT, [](Program& p) { p.ChooseTerminalFont(); });
  m.Separator();
  m.Item("E&xit", cmd::EXIT, [](Program& p) { p.ui_.PostClose(); });
  m.End();
}

}  // namespace tw
