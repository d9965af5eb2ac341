// Command identifiers of the main menu. Each number is written here once;
// the menu table, the command handler and the tests use these names.
#pragma once

#include <array>
#include <cstdint>

namespace tw::cmd {

// Program menu
constexpr int PORT_SETTINGS = 259;
constexpr int CONNECT = 256;
constexpr int DISCONNECT = 257;
constexpr int LOAD_CONFIGURATION = 40348;
constexpr int SAVE_CONFIGURATION = 40349;
constexpr int NMEA_LOG_START = 40026;
constexpr int NMEA_LOG_RESTART = 40032;
constexpr int NMEA_LOG_STOP = 40027;
constexpr int DATA_LOG_START = 40315;
constexpr int DATA_LOG_RESTART = 40316;
constexpr int DATA_LOG_STOP = 40317;
constexpr int CONFIGURE_CUSTOM_STRING = 40150;
constexpr int RUN_EMULATOR = 40142;
// "Replay NMEA Log...": play a recorded log back through the program.
constexpr int REPLAY_NMEA_LOG = 40420;
constexpr int ABOUT = 260;
constexpr int FONT = 555;
constexpr int EXIT = 258;

// "&Modem"
// "Set Modem Address", indexed by the address in the caption.
constexpr std::array<int, 16> SET_ADDRESS = {40039, 40091, 40063, 40064, 40065, 40066,
                                             40040, 40041, 40067, 40068, 40069, 40070,
                                             40071, 40072, 40073, 40074};
constexpr int SYNCHRONIZE_CLOCK = 40019;
constexpr int SHOW_MODEM_SETTINGS = 40042;
constexpr int USE_FACTORY_DEFAULTS = 40307;
constexpr int CONFIGURE_MODEM = 40029;
constexpr int LOAD_NEW_EXECUTABLE = 40022;
// "Measure Receiver Noise": 100 ms, 300 ms, 1 s, 3 s.
constexpr std::array<int, 4> MEASURE_NOISE = {40283, 40284, 40285, 40286};
constexpr int COMMAND_REVERT = 40287;
// "&SELKA Commands ": CH1..CH4.
constexpr std::array<int, 4> PING_SELKA = {40083, 40113, 40084, 40114};
constexpr int OBS_WAKEUP_1 = 40117;
constexpr int OBS_WAKEUP_2 = 40135;
constexpr int UW_PING = 40254;
constexpr int UW_HIBERNATE = 40255;
constexpr int MINIPACKET_COMMANDS = 40314;

// "&Test"
constexpr int TEST_ONCE = 40308;
constexpr int LOOP_TESTING = 40037;
// Whether F1 runs "&Test Once" while another program has the focus.
constexpr int HOTKEY_EVERYWHERE = 40441;

struct IntervalItem {
  int id;
  const char* caption;
  int32_t periodMs;
};
constexpr std::array<IntervalItem, 25> TEST_INTERVALS = {{
    {40281, "300 milliseconds", 300}, {40280, "500 milliseconds", 500},
    {40216, "1 second", 1000},        {40126, "3 seconds", 3000},
    {40127, "5 seconds", 5000},       {40128, "10 seconds", 10000},
    {40129, "20 seconds", 20000},     {40130, "30 seconds", 30000},
    {40131, "45 seconds", 45000},     {40132, "60 seconds", 60000},
    {40134, "90 seconds", 90000},     {40133, "2 minutes", 120000},
    {40294, "3 minutes", 180000},     {40295, "5 minutes", 300000},
    {40296, "10 minutes", 600000},    {40297, "20 minutes", 1200000},
    {40298, "30 minutes", 1800000},   {40299, "60 minutes", 3600000},
    {40300, "90 minutes", 5400000},   {40301, "2 hours", 7200000},
    {40302, "4 hours", 14400000},     {40303, "6 hours", 21600000},
    {40304, "8 hours", 28800000},     {40305, "12 hours", 43200000},
    {40306, "24 hours", 86400000},
}};

// "Data &Rates", in menu order.
constexpr std::array<int, 6> DATA_RATES = {40120, 40121, 40122, 40123, 40124, 40125};
// "Do Uplink from N" / "Do Downlink to N", indexed by N (index 0 unused).
constexpr std::array<int, 16> UPLINK_FROM = {0,     40089, 40088, 40087, 40086, 40085,
                                             40043, 40044, 40045, 40046, 40047, 40048,
                                             40062, 40049, 40050, 40051};
constexpr std::array<int, 16> DOWNLINK_TO = {0,     40081, 40080, 40079, 40078, 40077,
                                             40052, 40053, 40054, 40055, 40056, 40057,
                                             40058, 40059, 40060, 40061};
// "Commands" submenu (grayed as a whole): per node 0..15.
constexpr int EXTSEL1_0_FIRST = 40151;
constexpr int EXTSEL1_1_FIRST = 40167;
constexpr int EXTSEL2_0_FIRST = 40183;
constexpr int EXTSEL2_1_FIRST = 40199;
constexpr int HIBERNATE_FIRST = 40234;
constexpr int REBOOT_FIRST = 40218;
// "Ping Unit N", indexed by N.
constexpr int PING_UNIT_FIRST = 40093;
// "Ping SELKA Digital Xponder CH1..CH4".
constexpr std::array<int, 4> NAV_PING = {40075, 40110, 40111, 40112};
constexpr int PING_LBL = 40144;
constexpr int CONFIGURE_LBL = 40146;
constexpr int SEND_CUSTOM_STRING = 40149;
// "Receiver Noise Diagnostic": 100 ms, 300 ms, 1 s, 3 s.
constexpr std::array<int, 4> NOISE_DIAGNOSTIC = {40276, 40277, 40278, 40279};
constexpr int ACP_STATUS_NOACK = 40253;
constexpr int ACP_STATUS_ACK = 40250;
constexpr int FIFO_FLUSH = 40252;
constexpr int FIFO_STATUS = 40251;

// "&Data"
// "Send File" "to Node N", indexed by N (8 and 9 are swapped in number).
constexpr std::array<int, 16> SEND_FILE_TO = {40355, 40356, 40357, 40358, 40359, 40360,
                                              40361, 40362, 40364, 40363, 40365, 40366,
                                              40367, 40368, 40369, 40370};
constexpr int ACP_SEND_COMMAND = 40351;
constexpr int ACP_CHAT = 40352;
// "Cancel File Sending" under ACP: empties the queues of files to send.
constexpr int ACP_CANCEL_SENDING = 40620;
constexpr int CCL_SEND_ABORT = 40353;
constexpr int CCL_REDIRECT = 40354;
constexpr int CONFIGURE_NODE_PROTOCOLS = 40318;
constexpr int USE_NODE_PROTOCOL = 40341;
constexpr int USE_CUSTOM_STRING = 40347;
constexpr int USE_TEST_DATA_NOACK = 40036;
constexpr int USE_TEST_DATA_ACK = 40109;

// "&View"
constexpr int SHOW_HEARTBEAT = 40345;
constexpr int SHOW_NMEA_INCOMING = 40292;
constexpr int SHOW_NMEA_OUTGOING = 40293;
constexpr int SHOW_GPS_MESSAGES = 40371;
constexpr int PERFORMANCE = 40031;
constexpr int NETWORK_PING_RESULTS = 40143;
constexpr int NOISE_SPECTRUM = 40282;
// The noise chart window: the last noise report drawn as bars.
constexpr int NOISE_SPECTRUM_CHART = 40390;

// The terminal's dark view for night watches, and saving its history.
constexpr int NIGHT_VIEW = 40422;
constexpr int SAVE_HISTORY = 40423;

// "Ma&p"
constexpr int SEND_COMMS_TO_MAP = 40313;
constexpr int SEND_GPS_TO_MAP = 40346;
constexpr int USING_OZIEXPLORER = 40311;

// "GPS"
constexpr int GPS_SERIAL_PORT = 40319;
constexpr int GPS_DISCONNECT = 40372;
constexpr int LOG_GPS_MESSAGES = 40338;

// "UDP"
constexpr int UDP_BROADCAST = 40339;
constexpr int UDP_RECEIVE = 40344;
constexpr int UDP_SHIP_POSITION = 40342;
constexpr int UDP_CONFIGURE = 40343;

}  // namespace tw::cmd
