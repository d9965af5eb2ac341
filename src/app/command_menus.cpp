// The main menu bar below the program menu, top to bottom. Numbered runs of
// items ("Node 0" to "Node 15", "Ping Unit 0" to "Ping Unit 15", ...) are
// generated from the identifier arrays of commands.h, so each identifier is
// written only there.
#include <cstddef>
#include <string>

#include "app/command_rows.h"
#include "app/guidance_lines.h"
#include "app/program.h"
#include "core/commands.h"
#include "frames/acp.h"

namespace tw {
namespace {

std::string Numbered(const char* prefix, std::size_t n) { return prefix + std::to_string(n); }

// One "Node 0" to "Node 15" submenu of the grayed "Commands" menu.
void NodeCommands(MenuWriter& m, const char* caption, int firstId) {
  m.Popup(caption);
  for (int n = 0; n < NODE_COUNT; ++n) m.Inert(Numbered("Node ", n), firstId + n);
  m.End();
}

}  // namespace

void MenuCommands::ModemMenu(MenuWriter& m) {
  m.Popup("&Modem");
  m.Popup("Set Modem Address");
  m.Item("0", cmd::SET_ADDRESS[0], SendsSentence(cmd::SET_ADDRESS[0]));
  m.Separator();
  for (std::size_t n = 1; n < NODE_COUNT; ++n) {
    m.Item(std::to_string(n), cmd::SET_ADDRESS[n], SendsSentence(cmd::SET_ADDRESS[n]));
  }
  m.End();
  m.Item("Synchronize &Clock", cmd::SYNCHRONIZE_CLOCK, SendsSentence(cmd::SYNCHRONIZE_CLOCK));
  m.Item("Show Modem Settings", cmd::SHOW_MODEM_SETTINGS, SendsSentence(cmd::SHOW_MODEM_SETTINGS));
  m.Item("Use Factory Defaults", cmd::USE_FACTORY_DEFAULTS, [](Program& p) {
    // Asked only when it would go out: without a port the command says so.
    if (p.modem_.connected() && p.dialogs_.protocol &&
        !p.dialogs_.protocol->ConfirmFactoryDefaults(p.state_.windowTitle)) {
      return;
    }
    p.SendModemCommand(cmd::USE_FACTORY_DEFAULTS);
    if (p.modem_.connected()) p.reportedConfig_.Clear();  // its values are the defaults now
  });
  m.Item("&Configure...", cmd::CONFIGURE_MODEM, [](Program& p) {
    if (p.terminal_.info() && p.dialogs_.protocol) {
      p.dialogs_.protocol->RunModemSettings(p.sender_, p.reportedConfig_);
    }
  });
  // Grayed from the start, and nothing enables it.
  m.Item(
      "&Load New Executable...", cmd::LOAD_NEW_EXECUTABLE,
      [](Program& p) {
        if (p.terminal_.info()) p.firmware_.FirmwareDownloadStart(p.modem_.rx);
      },
      menu_rule::Never);
  m.Separator();
  m.Popup("Measure Receiver Noise");
  const char* averages[] = {"Average   [100ms]", "Average  [300 ms]", "Average     [1 sec]",
                            "Average     [3 sec]"};
  for (std::size_t k = 0; k < cmd::MEASURE_NOISE.size(); ++k) {
    m.Item(averages[k], cmd::MEASURE_NOISE[k], SendsSentence(cmd::MEASURE_NOISE[k]));
  }
  m.End();
  m.Item("Command &Revert", cmd::COMMAND_REVERT, SendsSentence(cmd::COMMAND_REVERT));
  m.Separator();
  m.Popup("&SELKA Commands ");
  for (std::size_t ch = 0; ch < cmd::PING_SELKA.size(); ++ch) {
    m.Item(Numbered("Ping SELKA CH", ch + 1), cmd::PING_SELKA[ch],
           SendsSentence(cmd::PING_SELKA[ch]));
  }
  m.End();
  m.Popup("Observatory Commands");
  m.Item("OBS Wakeup #1", cmd::OBS_WAKEUP_1, SendsSentence(cmd::OBS_WAKEUP_1));
  m.Item("OBS Wakeup #2", cmd::OBS_WAKEUP_2, SendsSentence(cmd::OBS_WAKEUP_2));
  m.Separator();
  m.Item("UW Ping", cmd::UW_PING, SendsSentence(cmd::UW_PING));
  m.Item("UW Hibernate", cmd::UW_HIBERNATE, SendsSentence(cmd::UW_HIBERNATE));
  m.End();
  m.Grayed("Minipacket  Commands...", cmd::MINIPACKET_COMMANDS);
  m.End();
}

void MenuCommands::CommunicationsMenu(MenuWriter& m) {
  m.Popup("&Communications");
  m.Popup("Data &Rates");
  const char* rates[] = {"80 bps: FSK Standard",    "250 bps: PSK DSSS 31",
                         "530 bp: PSK DSSS 15",     "1200 bps: PSK DSSS 7",
                         "1300 bps: PSK BCH 10:64", "5300 bps: PSK BCH 9:14"};
  for (std::size_t k = 0; k < cmd::DATA_RATES.size(); ++k) m.Setting(rates[k], cmd::DATA_RATES[k]);
  m.End();
  // Uplink and downlink have no item for node 0.
  m.Popup("&Uplink");
  for (std::size_t n = 1; n < NODE_COUNT; ++n) {
    m.Setting(Numbered("Do Uplink from ", n), cmd::UPLINK_FROM[n]);
  }
  m.End();
  m.Popup("&Downlink");
  for (std::size_t n = 1; n < NODE_COUNT; ++n) {
    m.Setting(Numbered("Do Downlink to ", n), cmd::DOWNLINK_TO[n]);
  }
  m.End();
  m.Popup("Commands", true);
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

void MenuCommands::TestMenu(MenuWriter& m) {
  using namespace menu_rule;
  m.Popup("&Test");
  m.Item(
      "&Test Once\bF1", cmd::TEST_ONCE, [](Program& p) { p.RunTestCycle(); }, Connected);
  m.Setting("F1 Works in Every Program", cmd::HOTKEY_EVERYWHERE);
  m.Separator();
  m.Item(
      "Loop &Testing", cmd::LOOP_TESTING,
      [](Program& p) {
        if (p.modem_.connected()) p.ToggleOption(p.state_.loopTesting);
      },
      Connected, LoopTesting);
  m.Popup("Test &Interval");
  for (const cmd::IntervalItem& it : cmd::TEST_INTERVALS) {
    const int32_t period = it.periodMs;
    m.Item(
        it.caption, it.id, [period](Program& p) { p.ChooseInterval(period); }, {},
        [period](const MenuInputs& in) { return in.settings.testInterval == period; });
  }
  m.End();
  m.Separator();
  CommunicationsMenu(m);
  m.Popup("&Networking");
  for (int n = 0; n < NODE_COUNT; ++n) {
    // The resource has always carried a trailing blank on unit 13.
    m.Setting(Numbered("Ping Unit ", n) + (n == 13 ? " " : ""), cmd::PING_UNIT_FIRST + n);
  }
  m.End();
  m.Popup("Na&vigation");
  for (std::size_t ch = 0; ch < cmd::NAV_PING.size(); ++ch) {
    m.Setting(Numbered("Ping SELKA Digital Xponder CH", ch + 1), cmd::NAV_PING[ch]);
  }
  m.Separator();
  m.Setting("Ping Narrowband Xponder  [LBL]", cmd::PING_LBL);
  m.Grayed("Configure LBL Command...", cmd::CONFIGURE_LBL);
  m.End();
  m.Popup("&Other Messages");
  m.Setting("Send Custom String", cmd::SEND_CUSTOM_STRING);
  m.Also(cmd::CONFIGURE_CUSTOM_STRING);
  m.Separator();
  const char* diagnostics[] = {
      "Receiver Noise Diagnostic\b[100 ms]", "Receiver Noise Diagnostic\b[300 ms]",
      "Receiver Noise Diagnostic\b[1 sec]", "Receiver Noise Diagnostic\b[3 sec]"};
  for (std::size_t k = 0; k < cmd::NOISE_DIAGNOSTIC.size(); ++k) {
    m.Setting(diagnostics[k], cmd::NOISE_DIAGNOSTIC[k]);
  }
  m.Separator();
  m.Setting("Unsolicited ACP Status\b[NO ACK]", cmd::ACP_STATUS_NOACK);
  m.Setting("Unsolicited  ACP Status\b[ACK]", cmd::ACP_STATUS_ACK);
  m.Separator();
  m.Item("FIFO Flush", cmd::FIFO_FLUSH, SendsSentence(cmd::FIFO_FLUSH));
  m.Item("FIFO Status Request", cmd::FIFO_STATUS, SendsSentence(cmd::FIFO_STATUS));
  m.End();
  m.End();
}

void MenuCommands::DataMenu(MenuWriter& m) {
  m.Popup("&Data");
  m.Popup("ACP");
  m.Popup("Send File");
  for (std::size_t n = 0; n < NODE_COUNT; ++n) {
    const int node = static_cast<int>(n);
    m.Item(Numbered("to Node ", n), cmd::SEND_FILE_TO[n],
           [node](Program& p) { QueueAcpFile(p.frames_, node); });
  }
  m.End();
  m.Grayed("Send Command...", cmd::ACP_SEND_COMMAND);
  m.Item("Chat...", cmd::ACP_CHAT, [](Program& p) { p.terminal_.PrintLine(CHAT_LINE); });
  m.Item("Cancel File Sending", cmd::ACP_CANCEL_SENDING,
         [](Program& p) { CancelAcpFiles(p.frames_); });
  m.End();
  m.Popup("CCL");
  m.Grayed("Send ABORT!", cmd::CCL_SEND_ABORT);
  m.Grayed("Redirect...", cmd::CCL_REDIRECT);
  m.End();
  m.Item("Configure Node Protocols...", cmd::CONFIGURE_NODE_PROTOCOLS, [](Program& p) {
    if (p.dialogs_.frames) p.dialogs_.frames->RunNodeProtocols(p.frames_);
  });
  m.Separator();
  m.Popup("Transmit Data");
  m.Setting("Use Node Protocol", cmd::USE_NODE_PROTOCOL);
  m.Separator();
  m.Setting("Use Custom String", cmd::USE_CUSTOM_STRING);
  m.Also(cmd::CONFIGURE_CUSTOM_STRING);
  m.Separator();
  m.Setting("Use Test Data\b[NO ACK]", cmd::USE_TEST_DATA_NOACK);
  m.Setting("Use Test Data\b[ACK]", cmd::USE_TEST_DATA_ACK);
  m.End();
  m.End();
}

void MenuCommands::ViewMenu(MenuWriter& m) {
  m.Popup("&View");
  m.Setting("Show Modem Heartbeat", cmd::SHOW_HEARTBEAT);
  m.Setting("Show NMEA &Incoming", cmd::SHOW_NMEA_INCOMING);
  m.Setting("Show NMEA &Outgoing", cmd::SHOW_NMEA_OUTGOING);
  m.Setting("Show GPS Messages", cmd::SHOW_GPS_MESSAGES);
  m.Separator();
  m.Item("&Performance...", cmd::PERFORMANCE, [](Program& p) {
    if (p.terminal_.info() && p.dialogs_.protocol) p.dialogs_.protocol->RunPerformance(p.stats_);
  });
  m.Item("&Network Ping Results", cmd::NETWORK_PING_RESULTS, [](Program& p) {
    if (p.dialogs_.protocol) p.dialogs_.protocol->ShowPingResults(p.stats_.pingResults);
  });
  m.Grayed("Noise Spectrum", cmd::NOISE_SPECTRUM);
  m.Item("Noise Spectrum &Chart...", cmd::NOISE_SPECTRUM_CHART, [](Program& p) {
    if (p.dialogs_.diagnostics) p.dialogs_.diagnostics->ShowNoiseChart(p.noiseChart_);
  });
  m.Separator();
  m.Item(
      "Night View", cmd::NIGHT_VIEW, [](Program& p) { p.ToggleNightView(); }, {},
      [](const MenuInputs& in) { return in.settings.nightView != 0; });
  m.End();
}

void MenuCommands::MapMenu(MenuWriter& m) {
  // "Send GPS Fixes to Map" is there only with the map program's library;
  // "Send Comms Data" stays grayed.
  m.Popup("Ma&p");
  m.Setting("Send Comms Data to Ozi Explorer", cmd::SEND_COMMS_TO_MAP, menu_rule::Never);
  m.Setting("Send GPS Fixes to Map", cmd::SEND_GPS_TO_MAP, menu_rule::MapAvailable);
  m.Item("Using OziExplorer...", cmd::USING_OZIEXPLORER, [](Program& p) {
    p.terminal_.PrintLine(MapGuideLine(p.state_.mapAvailable != 0));
  });
  m.End();
}

void MenuCommands::GpsMenu(MenuWriter& m) {
  m.Popup("GPS");
  m.Item("GPS Serial Port...", cmd::GPS_SERIAL_PORT, [](Program& p) {
    if (p.dialogs_.gps) {
      p.dialogs_.gps->RunGpsSettings(p.settings_.gpsPort, [&p] { p.gps_.GPSOpen(); });
    }
  });
  m.Item(
      "Disconnect", cmd::GPS_DISCONNECT, [](Program& p) { p.gps_.GPSClose(); },
      menu_rule::GpsConnected);
  m.Separator();
  m.Setting("Log GPS Messages", cmd::LOG_GPS_MESSAGES);
  m.Also(cmd::SHOW_GPS_MESSAGES);
  m.End();
}

void MenuCommands::UdpMenu(MenuWriter& m) {
  m.Popup("UDP");
  m.Setting("Broadcast Modem Data", cmd::UDP_BROADCAST);
  m.Setting("Receive Modem Data", cmd::UDP_RECEIVE);
  m.Separator();
  m.Setting("Use UDP for Ship Position", cmd::UDP_SHIP_POSITION);
  m.Separator();
  m.Item("Configure UDP...", cmd::UDP_CONFIGURE, [](Program& p) { p.ConfigureUdp(); });
  m.End();
}

}  // namespace tw
