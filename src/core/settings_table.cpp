#include "core/settings_table.h"

#include <tuple>

#include "core/commands.h"
#include "core/fixed_format.h"

namespace tw {

namespace {

class TableWriter {
 public:
  explicit TableWriter(std::vector<SettingEntry>& table) : table_(table) {}

  void Add(std::string name, SettingKind kind, int id, int32_t value,
           std::function<int32_t&(Settings&)> field, SettingRule rule = {}) {
    table_.push_back({std::move(name), kind, id, value, {}, std::move(field), {}, rule});
  }
  void Toggle(std::string name, int id, int32_t value, std::function<int32_t&(Settings&)> field) {
    Add(std::move(name), SettingKind::Toggle, id, value, std::move(field));
  }
  void Number(std::string name, int32_t value, SettingRule rule,
              std::function<int32_t&(Settings&)> field) {
    Add(std::move(name), SettingKind::Number, 0, value, std::move(field), rule);
  }
  void Text(std::string name, std::string value, TextForm form,
            std::function<std::string&(Settings&)> field) {
    table_.push_back({std::move(name),
                      SettingKind::Text,
                      0,
                      0,
                      std::move(value),
                      {},
                      std::move(field),
                      SettingRule::Form(form)});
  }

 private:
  std::vector<SettingEntry>& table_;
};

void AddTestSelections(TableWriter& t) {
  t.Add(
      "testInterval", SettingKind::Interval, 0, 10000,
      [](Settings& s) -> int32_t& { return s.testInterval; },
      SettingRule::In(ValueList::TestIntervals));
  for (size_t k = 0; k < cmd::DATA_RATES.size(); ++k) {
    t.Toggle(FixedFormat("dataRateEnabled%zu", k), cmd::DATA_RATES[k], k == 0 ? 1 : 0,
             [k](Settings& s) -> int32_t& { return s.dataRateEnabled[k]; });
  }
  for (size_t node = 1; node < NODE_COUNT; ++node) {
    t.Toggle(FixedFormat("uplinkEnabled%zu", node), cmd::UPLINK_FROM[node], 0,
             [node](Settings& s) -> int32_t& { return s.uplinkEnabled[node]; });
    t.Toggle(FixedFormat("downlinkEnabled%zu", node), cmd::DOWNLINK_TO[node], 0,
             [node](Settings& s) -> int32_t& { return s.downlinkEnabled[node]; });
  }
  for (size_t unit = 0; unit < NODE_COUNT; ++unit) {
    t.Toggle(FixedFormat("unitPingEnabled%zu", unit), cmd::PING_UNIT_FIRST + static_cast<int>(unit),
             0, [unit](Settings& s) -> int32_t& { return s.unitPingEnabled[unit]; });
  }
  for (size_t ch = 0; ch < cmd::NAV_PING.size(); ++ch) {
    t.Toggle(FixedFormat("navPingEnabled%zu", ch), cmd::NAV_PING[ch], 0,
             [ch](Settings& s) -> int32_t& { return s.navPingEnabled[ch]; });
  }
  for (size_t k = 0; k < cmd::NOISE_DIAGNOSTIC.size(); ++k) {
    t.Toggle(FixedFormat("noiseDiagnostic%zu", k), cmd::NOISE_DIAGNOSTIC[k], 0,
             [k](Settings& s) -> int32_t& { return s.noiseDiagnostic[k]; });
  }
  t.Toggle("lblPing", cmd::PING_LBL, 0, [](Settings& s) -> int32_t& { return s.lblPing; });
  t.Toggle("sendCustomString", cmd::SEND_CUSTOM_STRING, 0,
           [](Settings& s) -> int32_t& { return s.sendCustomString; });
  t.Toggle("acpStatusNoAck", cmd::ACP_STATUS_NOACK, 0,
           [](Settings& s) -> int32_t& { return s.acpStatusNoAck; });
  t.Toggle("acpStatusAck", cmd::ACP_STATUS_ACK, 0,
           [](Settings& s) -> int32_t& { return s.acpStatusAck; });
}

void AddTransmitSources(TableWriter& t) {
  t.Add("useNodeProtocol", SettingKind::Choice, cmd::USE_NODE_PROTOCOL, 0,
        [](Settings& s) -> int32_t& { return s.useNodeProtocol; });
  t.Add("useCustomString", SettingKind::Choice, cmd::USE_CUSTOM_STRING, 0,
        [](Settings& s) -> int32_t& { return s.useCustomString; });
  t.Add("useTestDataNoAck", SettingKind::Choice, cmd::USE_TEST_DATA_NOACK, 0,
        [](Settings& s) -> int32_t& { return s.useTestDataNoAck; });
  t.Add("useTestDataAck", SettingKind::Choice, cmd::USE_TEST_DATA_ACK, 0,
        [](Settings& s) -> int32_t& { return s.useTestDataAck; });
}

void AddViews(TableWriter& t) {
  t.Toggle("showHeartbeat", cmd::SHOW_HEARTBEAT, 1,
           [](Settings& s) -> int32_t& { return s.showHeartbeat; });
  t.Toggle("showNmeaIncoming", cmd::SHOW_NMEA_INCOMING, 0,
           [](Settings& s) -> int32_t& { return s.showNmeaIncoming; });
  t.Toggle("showNmeaOutgoing", cmd::SHOW_NMEA_OUTGOING, 0,
           [](Settings& s) -> int32_t& { return s.showNmeaOutgoing; });
  t.Toggle("showGpsMessages", cmd::SHOW_GPS_MESSAGES, 0,
           [](Settings& s) -> int32_t& { return s.showGpsMessages; });
  t.Toggle("logGpsMessages", cmd::LOG_GPS_MESSAGES, 0,
           [](Settings& s) -> int32_t& { return s.logGpsMessages; });
  t.Toggle("sendCommsToMap", cmd::SEND_COMMS_TO_MAP, 0,
           [](Settings& s) -> int32_t& { return s.sendCommsToMap; });
  t.Toggle("sendGpsToMap", cmd::SEND_GPS_TO_MAP, 0,
           [](Settings& s) -> int32_t& { return s.sendGpsToMap; });
}

void AddPort(TableWriter& t, const std::string& prefix, const SerialSettings& start,
             SerialSettings Settings::*port) {
  using Field = int32_t SerialSettings::*;
  const std::tuple<const char*, Field, SettingRule> fields[] = {
      {"PortNumber", &SerialSettings::portNumber, SettingRule::Between(1, PORT_NUMBER_MAX)},
      {"BaudRate", &SerialSettings::baudRate, SettingRule::In(ValueList::BaudRates)},
      {"ByteSize", &SerialSettings::byteSize, SettingRule::In(ValueList::DataBits)},
      {"Parity", &SerialSettings::parity, SettingRule::In(ValueList::Parities)},
      {"StopBits", &SerialSettings::stopBits, SettingRule::In(ValueList::StopBits)},
  };
  for (const auto& [name, field, rule] : fields) {
    t.Number(prefix + name, start.*field, rule,
             [port, field = field](Settings& s) -> int32_t& { return (s.*port).*field; });
  }
}

void AddFont(TableWriter& t) {
  const LogFont start;
  using Field = int32_t LogFont::*;
  const SettingRule flag;
  const std::tuple<const char*, Field, SettingRule> fields[] = {
      {"fontHeight", &LogFont::height, SettingRule::Between(-FONT_SIZE_MAX, FONT_SIZE_MAX)},
      {"fontWidth", &LogFont::width, SettingRule::Between(0, FONT_SIZE_MAX)},
      {"fontWeight", &LogFont::weight, SettingRule::Between(0, FONT_WEIGHT_MAX)},
      {"fontItalic", &LogFont::italic, flag},
      {"fontUnderline", &LogFont::underline, flag},
      {"fontStrikeOut", &LogFont::strikeOut, flag},
      {"fontCharSet", &LogFont::charSet, SettingRule::Between(0, 255)},
      {"fontPitchAndFamily", &LogFont::pitchAndFamily, SettingRule::Between(0, 255)},
  };
  for (const auto& [name, field, rule] : fields) {
    t.Number(name, start.*field, rule,
             [field = field](Settings& s) -> int32_t& { return s.terminalFont.*field; });
  }
  t.Text("fontFaceName", start.faceName, TextForm::FaceName,
         [](Settings& s) -> std::string& { return s.terminalFont.faceName; });
  t.Number("textColor", RGB(0, 0, 128), SettingRule::Between(0, COLOR_MAX),
           [](Settings& s) -> int32_t& { return s.textColor; });
  t.Number("backColor", BACKGROUND_SYSTEM, SettingRule::Between(BACKGROUND_SYSTEM, COLOR_MAX),
           [](Settings& s) -> int32_t& { return s.backColor; });
  t.Toggle("nightView", cmd::NIGHT_VIEW, 0, [](Settings& s) -> int32_t& { return s.nightView; });
}

void AddNodes(TableWriter& t) {
  const NodeProtocol start;
  using Field = int32_t NodeProtocol::*;
  const SettingRule flag;
  const std::tuple<const char*, Field, SettingRule> fields[] = {
      {"protocol", &NodeProtocol::protocol, SettingRule::In(ValueList::FrameKinds)},
      {"logRaw", &NodeProtocol::logRaw, flag},
      {"logCustom", &NodeProtocol::logCustom, flag},
      {"showData", &NodeProtocol::showData, flag},
      {"showRawData", &NodeProtocol::showRawData, flag},
  };
  for (size_t node = 0; node < NODE_COUNT; ++node) {
    for (const auto& [name, field, rule] : fields) {
      t.Number(FixedFormat("node%zu.%s", node, name), start.*field, rule,
               [node, field = field](Settings& s) -> int32_t& { return s.nodes[node].*field; });
    }
  }
}

// Choices of the dialogs and the shell that a run hands on to the next.
void AddSessionChoices(TableWriter& t) {
  const SettingRule flag;
  t.Number("autoWrap", 0, flag, [](Settings& s) -> int32_t& { return s.autoWrap; });
  t.Number("newLine", 0, flag, [](Settings& s) -> int32_t& { return s.newLine; });
  t.Number("localEcho", 0, flag, [](Settings& s) -> int32_t& { return s.localEcho; });
  t.Number("reconnect", 0, flag, [](Settings& s) -> int32_t& { return s.reconnect; });
  t.Toggle("hotKeyEverywhere", cmd::HOTKEY_EVERYWHERE, 1,
           [](Settings& s) -> int32_t& { return s.hotKeyEverywhere; });
  t.Text("lastFolder", "", TextForm::Folder,
         [](Settings& s) -> std::string& { return s.lastFolder; });
}

// UDP sharing: 10110 is the port chart plotters and gpsd listen on for
// NMEA; modem data is received one above it, and the ship's position one
// above that, so the three never meet on one machine.
void AddUdp(TableWriter& t) {
  t.Toggle("udpBroadcast", cmd::UDP_BROADCAST, 0,
           [](Settings& s) -> int32_t& { return s.udp.broadcast; });
  t.Toggle("udpReceive", cmd::UDP_RECEIVE, 0,
           [](Settings& s) -> int32_t& { return s.udp.receive; });
  t.Toggle("udpShipPosition", cmd::UDP_SHIP_POSITION, 0,
           [](Settings& s) -> int32_t& { return s.udp.shipPosition; });
  t.Number("udpBroadcastGps", 0, SettingRule{},
           [](Settings& s) -> int32_t& { return s.udp.broadcastGps; });
  using Address = std::string UdpSettings::*;
  using Port = int32_t UdpSettings::*;
  const std::tuple<const char*, Address, Port, int32_t> endpoints[] = {
      {"udpBroadcast", &UdpSettings::broadcastAddress, &UdpSettings::broadcastPort, 10110},
      {"udpReceive", &UdpSettings::receiveAddress, &UdpSettings::receivePort, 10111},
      {"udpPosition", &UdpSettings::positionAddress, &UdpSettings::positionPort, 10112},
  };
  for (const auto& [name, address, port, start] : endpoints) {
    t.Text(std::string(name) + "Address", "127.0.0.1", TextForm::Address,
           [address = address](Settings& s) -> std::string& { return s.udp.*address; });
    t.Number(std::string(name) + "Port", start, SettingRule::Between(1, UDP_PORT_MAX),
             [port = port](Settings& s) -> int32_t& { return s.udp.*port; });
  }
}

std::vector<SettingEntry> MakeTable() {
  std::vector<SettingEntry> table;
  TableWriter t(table);
  AddTestSelections(t);
  AddTransmitSources(t);
  AddViews(t);
  AddPort(t, "modem", SerialSettings{1, 19200, 8, 0, 0}, &Settings::modemPort);
  AddPort(t, "gps", SerialSettings{4, 4800, 8, 0, 0}, &Settings::gpsPort);
  AddFont(t);
  t.Text("customString", "", TextForm::Command,
         [](Settings& s) -> std::string& { return s.customString; });
  AddNodes(t);
  AddSessionChoices(t);
  AddUdp(t);
  return table;
}

}  // namespace

const std::vector<SettingEntry>& SettingsTable() {
  static const std::vector<SettingEntry> table = MakeTable();
  return table;
}

const SettingEntry* FindSettingByCommand(int commandId) {
  if (commandId == 0) return nullptr;
  for (const SettingEntry& entry : SettingsTable()) {
    if (entry.commandId == commandId) return &entry;
  }
  return nullptr;
}

int32_t SettingNumber(const SettingEntry& entry, const Settings& settings) {
  // The accessors hand out references for writers; reading through them
  // changes nothing.
  return entry.number(const_cast<Settings&>(settings));
}

Settings::Settings() { InitDefaults(); }

void Settings::InitDefaults() {
  // Everything back to blank first: slots that no menu command reaches (rates
  // beyond the menu's, node 0 as a link partner) are not in the table and
  // stay off.
  *this = Settings(Blank{});
  for (const SettingEntry& entry : SettingsTable()) {
    if (entry.kind == SettingKind::Text) {
      entry.text(*this) = entry.defaultText;
    } else {
      entry.number(*this) = entry.defaultNumber;
    }
  }
}

}  // namespace tw
