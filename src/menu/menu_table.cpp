// The main menu bar, top to bottom. Numbered runs of items ("Node 0" to
// "Node 15", "Ping Unit 0" to "Ping Unit 15", ...) are generated from the
// identifier arrays of commands.h, so each identifier is written only there.
#include "menu/menu_table.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <utility>

#include "core/commands.h"
#include "core/settings.h"

namespace tw {
namespace {

enum class Start { Enabled, Grayed, Checked };

// Collects the entries in order. Captions made from numbers are kept in a
// deque, whose elements never move, so the table's pointers stay valid for
// the whole run.
class MenuWriter {
 public:
  void Popup(const char* caption, Start start = Start::Enabled) {
    Add(MenuKind::Popup, caption, 0, start);
  }
  void End() { Add(MenuKind::End, "", 0, Start::Enabled); }
  void Separator() { Add(MenuKind::Separator, "", 0, Start::Enabled); }
  void Item(const char* caption, int id, Start start = Start::Enabled) {
    Add(MenuKind::Item, caption, id, start);
  }
  void Item(std::string caption, int id, Start start = Start::Enabled) {
    Add(MenuKind::Item, Keep(std::move(caption)), id, start);
  }

  std::vector<MenuEntry> Take() { return std::move(entries_); }

 private:
  void Add(MenuKind kind, const char* caption, int id, Start start) {
    entries_.push_back({kind, caption, id, start == Start::Grayed, start == Start::Checked});
  }
  static const char* Keep(std::string text) {
    static std::deque<std::string> captions;
    return captions.emplace_back(std::move(text)).c_str();
  }

  std::vector<MenuEntry> entries_;
};

std::string Numbered(const char* prefix, std::size_t n) { return prefix + std::to_string(n); }

void ProgramMenu(MenuWriter& m) {
  m.Popup("T&idewire");
  m.Item("Modem Serial &Port...", cmd::PORT_SETTINGS);
  m.Item("&Connect to Modem", cmd::CONNECT);
  m.Item("Disconnect", cmd::DISCONNECT, Start::Grayed);
  m.Separator();
  m.Item("Load Configuration...", cmd::LOAD_CONFIGURATION);
  m.Item("Save Configuration...", cmd::SAVE_CONFIGURATION);
  m.Separator();
  m.Popup("NMEA &Log");
  m.Item("&Start", cmd::NMEA_LOG_START, Start::Grayed);
  m.Item("&Restart", cmd::NMEA_LOG_RESTART, Start::Grayed);
  m.Item("Sto&p", cmd::NMEA_LOG_STOP, Start::Grayed);
  m.End();
  m.Popup("Binary &Data Log");
  m.Item("&Start", cmd::DATA_LOG_START, Start::Grayed);
  m.Item("&Restart", cmd::DATA_LOG_RESTART, Start::Grayed);
  m.Item("Sto&p", cmd::DATA_LOG_STOP, Start::Grayed);
  m.End();
  m.Separator();
  m.Item("Configure Custom String...", cmd::CONFIGURE_CUSTOM_STRING);
  m.Item("Run &Emulator...", cmd::RUN_EMULATOR);
  m.Separator();
  m.Item("A&bout...", cmd::ABOUT);
  m.Item("&Font...", cmd::FONT);
  m.Separator();
  m.Item("E&xit", cmd::EXIT);
  m.End();
}

void ModemMenu(MenuWriter& m) {
  m.Popup("&Modem");
  m.Popup("Set Modem Address");
  m.Item("0", cmd::SET_ADDRESS[0]);
  m.Separator();
  for (int n = 1; n < NODE_COUNT; ++n) m.Item(std::to_string(n), cmd::SET_ADDRESS[n]);
  m.End();
  m.Item("Synchronize &Clock", cmd::SYNCHRONIZE_CLOCK);
  m.Item("Show Modem Settings", cmd::SHOW_MODEM_SETTINGS);
  m.Item("Use Factory Defaults", cmd::USE_FACTORY_DEFAULTS);
  m.Item("&Configure...", cmd::CONFIGURE_MODEM);
  m.Item("&Load New Executable...", cmd::LOAD_NEW_EXECUTABLE, Start::Grayed);
  m.Separator();
  m.Popup("Measure Receiver Noise");
  m.Item("Average   [100ms]", cmd::MEASURE_NOISE[0]);
  m.Item("Average  [300 ms]", cmd::MEASURE_NOISE[1]);
  m.Item("Average     [1 sec]", cmd::MEASURE_NOISE[2]);
  m.Item("Average     [3 sec]", cmd::MEASURE_NOISE[3]);
  m.End();
  m.Item("Command &Revert", cmd::COMMAND_REVERT);
  m.Separator();
  m.Popup("&SELKA Commands ");
  for (std::size_t ch = 0; ch < cmd::PING_SELKA.size(); ++ch) {
    m.Item(Numbered("Ping SELKA CH", ch + 1), cmd::PING_SELKA[ch]);
  }
  m.End();
  m.Popup("Observatory Commands");
  m.Item("OBS Wakeup #1", cmd::OBS_WAKEUP_1);
  m.Item("OBS Wakeup #2", cmd::OBS_WAKEUP_2);
  m.Separator();
  m.Item("UW Ping", cmd::UW_PING);
  m.Item("UW Hibernate", cmd::UW_HIBERNATE);
  m.End();
  m.Item("Minipacket  Commands...", cmd::MINIPACKET_COMMANDS, Start::Grayed);
  m.End();
}

// One "Node 0" to "Node 15" submenu of the grayed "Commands" menu.
void NodeCommands(MenuWriter& m, const char* caption, int firstId) {
  m.Popup(caption);
  for (int n = 0; n < NODE_COUNT; ++n) m.Item(Numbered("Node ", n), firstId + n);
  m.End();
}

void CommunicationsMenu(MenuWriter& m) {
  m.Popup("&Communications");
  m.Popup("Data &Rates");
  m.Item("80 bps: FSK Standard", cmd::DATA_RATES[0], Start::Checked);
  m.Item("250 bps: PSK DSSS 31", cmd::DATA_RATES[1]);
  m.Item("530 bp: PSK DSSS 15", cmd::DATA_RATES[2]);
  m.Item("1200 bps: PSK DSSS 7", cmd::DATA_RATES[3]);
  m.Item("1300 bps: PSK BCH 10:64", cmd::DATA_RATES[4]);
  m.Item("5300 bps: PSK BCH 9:14", cmd::DATA_RATES[5]);
  m.End();
  // Uplink and downlink have no item for node 0.
  m.Popup("&Uplink");
  for (int n = 1; n < NODE_COUNT; ++n) m.Item(Numbered("Do Uplink from ", n), cmd::UPLINK_FROM[n]);
  m.End();
  m.Popup("&Downlink");
  for (int n = 1; n < NODE_COUNT; ++n) m.Item(Numbered("Do Downlink to ", n), cmd::DOWNLINK_TO[n]);
  m.End();
  m.Popup("Commands", Start::Grayed);
  NodeCommands(m, "EXTSEL1 [0]", cmd::EXTSEL1_0_FIRST);
  NodeCommands(m, "EXTSEL1 [1]", cmd::EXTSEL1_1_FIRST);
  m.Separator();
  NodeCommands(m, "EXTSEL2 [0]", cmd::EXTSEL2_0_FIRST);
  NodeCommands(m, "EXTSEL2 [1]", cmd::EXTSEL2_1_FIRST);
  m.Separator();
  NodeCommands(m, "Hibernate", cmd::HIBERNATE_FIRST);
  NodeCommands(m, "Reboot", cmd::REBOOT_FIRST);
  m.End();
  m.End();
}

void TestMenu(MenuWriter& m) {
  m.Popup("&Test");
  m.Item("&Test Once\bF1", cmd::TEST_ONCE, Start::Grayed);
  m.Separator();
  m.Item("Loop &Testing", cmd::LOOP_TESTING, Start::Grayed);
  // The check mark starts on the interval the program starts with.
  const int32_t startInterval = Settings().testInterval;
  m.Popup("Test &Interval");
  for (const cmd::IntervalItem& it : cmd::TEST_INTERVALS) {
    m.Item(it.caption, it.id, it.periodMs == startInterval ? Start::Checked : Start::Enabled);
  }
  m.End();
  m.Separator();
  CommunicationsMenu(m);
  m.Popup("&Networking");
  for (int n = 0; n < NODE_COUNT; ++n) {
    // The resource has always carried a trailing blank on unit 13.
    std::string caption = Numbered("Ping Unit ", n) + (n == 13 ? " " : "");
    m.Item(std::move(caption), cmd::PING_UNIT_FIRST + n);
  }
  m.End();
  m.Popup("Na&vigation");
  for (std::size_t ch = 0; ch < cmd::NAV_PING.size(); ++ch) {
    m.Item(Numbered("Ping SELKA Digital Xponder CH", ch + 1), cmd::NAV_PING[ch]);
  }
  m.Separator();
  m.Item("Ping Narrowband Xponder  [LBL]", cmd::PING_LBL);
  m.Item("Configure LBL Command...", cmd::CONFIGURE_LBL, Start::Grayed);
  m.End();
  m.Popup("&Other Messages");
  m.Item("Send Custom String", cmd::SEND_CUSTOM_STRING);
  m.Item("Configure Custom String...", cmd::CONFIGURE_CUSTOM_STRING);
  m.Separator();
  m.Item("Receiver Noise Diagnostic\b[100 ms]", cmd::NOISE_DIAGNOSTIC[0]);
  m.Item("Receiver Noise Diagnostic\b[300 ms]", cmd::NOISE_DIAGNOSTIC[1]);
  m.Item("Receiver Noise Diagnostic\b[1 sec]", cmd::NOISE_DIAGNOSTIC[2]);
  m.Item("Receiver Noise Diagnostic\b[3 sec]", cmd::NOISE_DIAGNOSTIC[3]);
  m.Separator();
  m.Item("Unsolicited ACP Status\b[NO ACK]", cmd::ACP_STATUS_NOACK);
  m.Item("Unsolicited  ACP Status\b[ACK]", cmd::ACP_STATUS_ACK);
  m.Separator();
  m.Item("FIFO Flush", cmd::FIFO_FLUSH, Start::Grayed);
  m.Item("FIFO Status Request", cmd::FIFO_STATUS, Start::Grayed);
  m.End();
  m.End();
}

void DataMenu(MenuWriter& m) {
  m.Popup("&Data");
  m.Popup("ACP");
  m.Popup("Send File");
  for (int n = 0; n < NODE_COUNT; ++n) m.Item(Numbered("to Node ", n), cmd::SEND_FILE_TO[n]);
  m.End();
  m.Item("Send Command...", cmd::ACP_SEND_COMMAND, Start::Grayed);
  m.Item("Chat...", cmd::ACP_CHAT);
  m.End();
  m.Popup("CCL");
  m.Item("Send ABORT!", cmd::CCL_SEND_ABORT, Start::Grayed);
  m.Item("Redirect...", cmd::CCL_REDIRECT, Start::Grayed);
  m.End();
  m.Item("Configure Node Protocols...", cmd::CONFIGURE_NODE_PROTOCOLS);
  m.Separator();
  m.Popup("Transmit Data");
  m.Item("Use Node Protocol", cmd::USE_NODE_PROTOCOL);
  m.Separator();
  m.Item("Use Custom String", cmd::USE_CUSTOM_STRING);
  m.Item("Configure Custom String...", cmd::CONFIGURE_CUSTOM_STRING);
  m.Separator();
  m.Item("Use Test Data\b[NO ACK]", cmd::USE_TEST_DATA_NOACK);
  m.Item("Use Test Data\b[ACK]", cmd::USE_TEST_DATA_ACK);
  m.End();
  m.End();
}

void ViewMenu(MenuWriter& m) {
  m.Popup("&View");
  m.Item("Show Modem Heartbeat", cmd::SHOW_HEARTBEAT, Start::Checked);
  m.Item("Show NMEA &Incoming", cmd::SHOW_NMEA_INCOMING);
  m.Item("Show NMEA &Outgoing", cmd::SHOW_NMEA_OUTGOING);
  m.Item("Show GPS Messages", cmd::SHOW_GPS_MESSAGES);
  m.Separator();
  m.Item("&Performance...", cmd::PERFORMANCE);
  m.Item("&Network Ping Results", cmd::NETWORK_PING_RESULTS, Start::Grayed);
  m.Item("Noise Spectrum", cmd::NOISE_SPECTRUM, Start::Grayed);
  m.Item("Noise Spectrum &Chart...", cmd::NOISE_SPECTRUM_CHART);
  m.End();
}

void MapMenu(MenuWriter& m) {
  // The first two are enabled here; start-up grays them until the map
  // program's library has been found.
  m.Popup("Ma&p");
  m.Item("Send Comms Data to Ozi Explorer", cmd::SEND_COMMS_TO_MAP);
  m.Item("Send GPS Fixes to Map", cmd::SEND_GPS_TO_MAP);
  m.Item("Using OziExplorer...", cmd::USING_OZIEXPLORER);
  m.End();
}

void GpsMenu(MenuWriter& m) {
  m.Popup("GPS");
  m.Item("GPS Serial Port...", cmd::GPS_SERIAL_PORT);
  m.Item("Disconnect", cmd::GPS_DISCONNECT, Start::Grayed);
  m.Separator();
  m.Item("Log GPS Messages", cmd::LOG_GPS_MESSAGES);
  m.Item("Show GPS Messages", cmd::SHOW_GPS_MESSAGES);
  m.End();
}

void UdpMenu(MenuWriter& m) {
  m.Popup("UDP");
  m.Item("Broadcast Modem Data", cmd::UDP_BROADCAST, Start::Grayed);
  m.Item("Receive Modem Data", cmd::UDP_RECEIVE, Start::Grayed);
  m.Separator();
  m.Item("Use UDP for Ship Position", cmd::UDP_SHIP_POSITION, Start::Grayed);
  m.Separator();
  m.Item("Configure UDP...", cmd::UDP_CONFIGURE, Start::Grayed);
  m.End();
}

std::vector<MenuEntry> BuildMainMenu() {
  MenuWriter m;
  ProgramMenu(m);
  ModemMenu(m);
  TestMenu(m);
  DataMenu(m);
  ViewMenu(m);
  MapMenu(m);
  GpsMenu(m);
  UdpMenu(m);
  return m.Take();
}

}  // namespace

const std::vector<MenuEntry>& MainMenuTable() {
  static const std::vector<MenuEntry> table = BuildMainMenu();
  return table;
}

}  // namespace tw
