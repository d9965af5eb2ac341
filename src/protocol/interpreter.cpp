#include "protocol/interpreter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "app/cformat.h"
#include "app/program.h"
#include "diagnostics/noise_report.h"
#include "protocol/custom_string.h"
#include "protocol/nmea.h"
#include "protocol/stats.h"

namespace tw {

namespace {

// Room for the text fields of one sentence: 15 characters for the doppler,
// detector, gain and travel-time fields, 63 for the "$CAMSG" text and the
// revision text. Longer fields are cut there.
constexpr size_t SHORT_FIELD_MAX = 15;
constexpr size_t LONG_FIELD_MAX = 63;

constexpr float MISSING_FLOAT = static_cast<float>(MISSING_FIELD);

std::string_view WithoutTrailingCr(std::string_view s) {
  if (!s.empty() && s.back() == '\r') s.remove_suffix(1);
  return s;
}

// Field n as text for an interpreter line. The last field of a sentence
// without checksum still ends in the line's CR; printed inside a line it
// would send the cursor back to the start and garble what follows.
std::string FieldText(const std::string& line, int n, size_t maxChars) {
  std::string text(WithoutTrailingCr(NMEAGetText(line, n)));
  if (text.size() > maxChars) text.resize(maxChars);
  return text;
}

// ------------------------------------------------------------- quality

std::string QualityLine(int32_t q) {
  if (q < 175) return cformat("Quality Factor = %03d          [False?]", q);
  if (q == 254) return cformat("Quality Factor = %03d          [Perfect]", q);
  if (q > 240) return cformat("Quality Factor = %03d          [Good]", q);
  if (q > 220) return cformat("Quality Factor = %03d          [OK]", q);
  return cformat("Quality Factor = %03d          [Poor]", q);
}

// ------------------------------------------------------------- configuration

enum class ConfigKind {
  kValue,  // text is a format taking the value
  kOnOff,  // text when the value is not 0, offText when it is
  kBaud,   // text is a format taking the baud rate of the value's code
};

struct ConfigLine {
  int code;
  ConfigKind kind;
  const char* text;
  const char* offText;
};

// Every parameter with a line of its own apart from "SRC" and "BND", which
// also change the program's state. Parameters not listed show the sentence.
constexpr std::array<ConfigLine, 36> CONFIG_LINES{{
    {CFG_RHC, ConfigKind::kValue, "RHC:Modem receiver hopping code = %d", nullptr},
    {CFG_THC, ConfigKind::kValue, "THC:Modem transmitter hopping code = %d", nullptr},
    {CFG_BR1, ConfigKind::kBaud, "BR1:Modem port 1 baud = %d", nullptr},
    {CFG_BR2, ConfigKind::kBaud, "BR2:Modem port 2 baud = %d", nullptr},
    {CFG_PTH, ConfigKind::kValue, "PTH:Modem COMMS power threshold = %d", nullptr},
    {CFG_DTH, ConfigKind::kValue, "DTH:Modem COMMS detect threshold = %d", nullptr},
    {CFG_NPT, ConfigKind::kValue, "NPT:Modem NAV power threshold = %d", nullptr},
    {CFG_NDT, ConfigKind::kValue, "NDT:Modem NAV detect threshold = %d", nullptr},
    {CFG_NTO, ConfigKind::kValue, "NTO:Modem NAV timeout = %d sec", nullptr},
    {CFG_AGC, ConfigKind::kOnOff, "AGC:Modem AGC enabled.", "AGC:Modem AGC disabled."},
    {CFG_AGN, ConfigKind::kValue, "AGN:Modem analog gain = %d", nullptr},
    {CFG_ASD, ConfigKind::kOnOff, "ASD:Modem always sends data.",
     "ASD:Modem only sends user data."},
    {CFG_CLK, ConfigKind::kOnOff, "CLK:Modem clock message enabled.",
     "CLK:Modem clock message disabled."},
    {CFG_CRL, ConfigKind::kValue, "CRL:Modem CI reverb lockout = %d ms", nullptr},
    {CFG_CTO, ConfigKind::kValue, "CTO:Modem CI timeout = %d sec", nullptr},
    {CFG_DBG, ConfigKind::kOnOff, "DBG:Modem debug messages enabled.",
     "DBG:Modem debug messages disabled."},
    {CFG_DOP, ConfigKind::kOnOff, "DOP:Modem doppler messages enabled.",
     "DOP:Modem doppler messages disabled."},
    {CFG_DQF, ConfigKind::kOnOff, "DQF:Modem quality factor messages enabled.",
     "DQF:Modem quality factor messages disabled."},
    {CFG_DTO, ConfigKind::kValue, "DTO:Modem serial data timeout = %d sec", nullptr},
    {CFG_ECD, ConfigKind::kValue, "ECD:Modem end-of-cycle delay = %d ms", nullptr},
    {CFG_MFC, ConfigKind::kValue, "MFC:Modem detect timing calibration = %d bb samples", nullptr},
    {CFG_MFD, ConfigKind::kOnOff, "MFD:Modem detector messages enabled.",
     "MFD:Modem detector messages disabled."},
    {CFG_NRL, ConfigKind::kValue, "NRL:Modem NAV reverb lockout = %d ms", nullptr},
    {CFG_NRV, ConfigKind::kValue, "NRV:Modem maximum REV messages = %d", nullptr},
    {CFG_PRL, ConfigKind::kValue, "PRL:Modem PKT reverb lockout = %d ms", nullptr},
    {CFG_PSV, ConfigKind::kValue, "PSV:Modem power-save mode = %d", nullptr},
    {CFG_PTO, ConfigKind::kValue, "PTO:Modem packet timeout = %d sec", nullptr},
    {CFG_REV, ConfigKind::kOnOff, "REV:Modem revision messages enabled.",
     "REV:Modem revision messages disabled."},
    {CFG_RXA, ConfigKind::kOnOff, "RXA:Modem ascii data messages enabled.",
     "RXA:Modem ascii data messages disabled."},
    {CFG_RXD, ConfigKind::kOnOff, "RXD:Modem binary data messages enabled.",
     "RXD:Modem binary data messages disabled."},
    {CFG_SHF, ConfigKind::kOnOff, "SHF:Modem shift messages enabled.",
     "SHF:Modem shift messages disabled."},
    {CFG_TAT, ConfigKind::kValue, "TAT:Modem xponder turn-around time = %d msec", nullptr},
    {CFG_TXD, ConfigKind::kValue, "TXD:Modem transmit delay = %d ms", nullptr},
    {CFG_TXP, ConfigKind::kOnOff, "TXP:Modem TX Start messages enabled.",
     "TXP:Modem TX Start messages disabled."},
    {CFG_TXF, ConfigKind::kOnOff, "TXF:Modem TX Finished messages enabled.",
     "TXF:Modem TX Finished messages disabled."},
    {CFG_ALL, ConfigKind::kValue, "Modem Using Config Profile [%d]", nullptr},
}};

// Baud rates of the "BR1" and "BR2" codes 0..7; any other code is 0.
constexpr std::array<int32_t, 8> BAUD_RATES = {2400,  4800,  9600,   19200,
                                               38400, 57600, 115200, 230400};

int32_t BaudRateOfCode(int32_t code) {
  if (code < 0 || code >= static_cast<int32_t>(BAUD_RATES.size())) return 0;
  return BAUD_RATES[static_cast<size_t>(code)];
}

// The formats of CONFIG_LINES take exactly one %d.
std::string ConfigText(const ConfigLine& entry, int32_t value) {
  switch (entry.kind) {
    case ConfigKind::kOnOff:
      return value != 0 ? entry.text : entry.offText;
    case ConfigKind::kBaud:
      return cformat(entry.text, BaudRateOfCode(value));
    case ConfigKind::kValue:
      break;
  }
  return cformat(entry.text, value);
}

void ShowBand(Program& program, int32_t band) {
  program.settings.modemBand = band;
  switch (band) {
    case 1:
      program.PrintLine("BND:Modem uses Band A, fc = 9760 Hz");
      break;
    case 2:
      program.PrintLine("BND:Modem uses Band B, fc = 14880 Hz");
      break;
    case 3:
      program.PrintLine("BND:Modem uses Band C, fc = 25120 Hz");
      break;
    default:
      program.PrintLine("BND:Modem uses unknown band.");
      break;
  }
}

void ShowConfig(Program& program, const std::string& line) {
  // Sets modemUnit first when the parameter is "SRC".
  const int code = NMEAConfigParam(line, program.settings);
  const int32_t value = NMEAGetInt(line, 2);
  if (code == CFG_SRC) {
    const int32_t unit = program.settings.modemUnit;
    if (unit >= 0 && unit < NODE_COUNT) program.PrintLine(cformat("SRC:Modem is Unit %d", unit));
    return;
  }
  if (code == CFG_BND) {
    ShowBand(program, value);
    return;
  }
  const auto entry = std::find_if(CONFIG_LINES.begin(), CONFIG_LINES.end(),
                                  [code](const ConfigLine& e) { return e.code == code; });
  program.PrintLine(entry != CONFIG_LINES.end() ? ConfigText(*entry, value) : line);
}

// ------------------------------------------------------------- errors

void ShowError(Program& program, const std::string& line) {
  switch (NMEAErrorKind(line)) {
    case ERR_KIND_CRC:
      program.PrintLine("Bad Checksum.");
      StatsCountCrcError(program.stats);
      break;
    case ERR_KIND_TSK_IDLE:
      program.PrintLine("Error: a2d hang up");
      break;
    case ERR_KIND_NMEA:
      program.PrintLine(NMEAErrorText(NMEAGetInt(line, 3)));
      break;
    case ERR_KIND_MAXTIMEOUTS:
      break;  // routine for the modem; not worth a line
    case ERR_KIND_NODATA:
      program.PrintLine("Error: No reply to data request.");
      break;
    default:
      program.PrintLine(line);
      break;
  }
}

// ------------------------------------------------------------- data requests

// Both lines show the length as the modem asked for it, whatever the
// sentence can carry (BuildTestDataSentence decides that).
void SendTestData(Program& program, int32_t source, int32_t destination, int ack, int32_t length) {
  program.PrintLine(ack != 0 ? cformat("Sending ACK Data to Modem     [%d bytes]", length)
                             : cformat("Sending NO ACK Data to Modem  [%d bytes]", length));
  program.SendSentence(BuildTestDataSentence(source, destination, ack, length));
  StatsCountTxFrame(program.stats);
}

void SendNodeFrame(Program& program, int32_t source, int32_t destination, int32_t ack,
                   int32_t length) {
  if (!program.buildDataFrame) return;
  const std::string frame = program.buildDataFrame(source, destination, ack, length);
  if (!frame.empty()) program.SendSentence(frame);
}

// Answered at once, before the next sentence is taken: the modem waits for
// the frame. The sources are exclusive in the menu; each is tried in turn.
void AnswerDataRequest(Program& program, const std::string& line) {
  const int32_t source = NMEAGetInt(line, 2);
  const int32_t destination = NMEAGetInt(line, 3);
  const int32_t ack = NMEAGetInt(line, 4);
  const int32_t length = NMEAGetInt(line, 5);
  program.PrintLine(
      ack != 0
          ? cformat("Got ACK Data Request %d->%d     [%d bytes]", source, destination, length)
          : cformat("Got NOACK Data Request %d->%d   [%d bytes]", source, destination, length));
  const Settings& settings = program.settings;
  if (settings.useTestDataNoAck) SendTestData(program, source, destination, 0, length);
  if (settings.useTestDataAck) SendTestData(program, source, destination, 1, length);
  if (settings.useCustomString) CustomStringSendStored(program, "TX Custom String");
  if (settings.useNodeProtocol) SendNodeFrame(program, source, destination, ack, length);
}

// ------------------------------------------------------------- navigation

void ShowTravelTimes(Program& program, const std::string& line) {
  std::array<std::string, NAV_CHANNELS> times;
  for (int k = 0; k < NAV_CHANNELS; ++k) {
    times[k] = FieldText(line, k + 1, SHORT_FIELD_MAX);
    if (times[k].empty()) {
      StatsClearRange(program.stats, k);
    } else {
      const float range =
          static_cast<float>(NMEAReadDecimal(times[k]) * program.settings.soundSpeed);
      StatsSetRange(program.stats, k, range);
    }
  }
  program.PrintLine(cformat("Got Travel Times: [%s] [%s] [%s] [%s]", times[0].c_str(),
                            times[1].c_str(), times[2].c_str(), times[3].c_str()));
}

void ShowRangePing(Program& program, const std::string& line) {
  const int32_t source = NMEAGetInt(line, 1);
  const int32_t destination = NMEAGetInt(line, 2);
  const float travelTime = NMEAGetFloat(line, 3);
  if (travelTime == MISSING_FLOAT) {
    program.PrintLine(cformat("Ping: [%02d]=>[%02d].", source, destination));
    return;
  }
  const float range = travelTime * program.settings.soundSpeed;
  program.PrintLine(cformat("Ping: [%02d]=>[%02d]: %3.1f meters.", source, destination,
                            static_cast<double>(range)));
}

// ------------------------------------------------------------- other reports

void ShowRevision(Program& program, const std::string& line) {
  // Without a checksum the version is the last field and would carry the CR.
  std::string text = NMEARevisionText(WithoutTrailingCr(line));
  if (text.size() > LONG_FIELD_MAX) text.resize(LONG_FIELD_MAX);
  if (text.starts_with("INIT")) {
    program.PrintLine("Modem Reverted.");
    StatsCountRevert(program.stats);
  } else if (program.settings.showHeartbeat) {
    program.PrintLine(cformat("Modem %s Ready.", text.c_str()));
  }
}

void ShowModemMessage(Program& program, const std::string& line) {
  if (FieldText(line, 1, LONG_FIELD_MAX).starts_with("BAD_CRC")) {
    program.PrintLine("Bad Checksum.");
    StatsCountCrcError(program.stats);
  } else {
    program.PrintLine(line);
  }
}

void ShowCycle(Program& program, const std::string& line) {
  static constexpr std::array<const char*, 3> MODES = {"Broadcast", "Peer to Peer", "Multicast"};
  // Fields from the first missing one on read as MISSING_FIELD.
  const NMEACycle cycle = NMEAGetCycle(line);
  const int32_t mode = cycle.f[0];
  const char* modeText = mode >= 0 && mode < static_cast<int32_t>(MODES.size())
                             ? MODES[static_cast<size_t>(mode)]
                             : "";
  program.PrintLine(cformat("Cycle is %s: %d transmits to %d [rate=%d]", modeText, cycle.f[1],
                            cycle.f[2], cycle.f[3]));
  StatsCountCycle(program.stats);
}

void ShowAck(Program& program, const std::string& line) {
  const int32_t source = NMEAGetInt(line, 1);
  const int32_t destination = NMEAGetInt(line, 2);
  const int32_t frame = NMEAGetInt(line, 3);
  if (NMEAGetInt(line, 4) != 0) {
    program.PrintLine(cformat("Ack: [%02d]->[%02d]: Frame %d OK.", source, destination, frame));
    StatsCountAckFrame(program.stats);
  } else {
    program.PrintLine(cformat("Ack: [%02d]->[%02d]: Frame %d BAD.", source, destination, frame));
  }
}

void ShowDetector(Program& program, const std::string& line) {
  const std::string a = FieldText(line, 1, SHORT_FIELD_MAX);
  const std::string b = FieldText(line, 2, SHORT_FIELD_MAX);
  const std::string c = FieldText(line, 3, SHORT_FIELD_MAX);
  program.PrintLine(cformat("Detector:   [%s]   [%s]   [%s]", a.c_str(), b.c_str(), c.c_str()));
}

void ShowShift(Program& program, const std::string& line) {
  std::array<std::string, 5> f;
  for (int k = 0; k < 5; ++k) f[k] = FieldText(line, k + 1, SHORT_FIELD_MAX);
  program.PrintLine(cformat("Gain:[%s]  Shift:[%s][%s][%s][%s]", f[0].c_str(), f[1].c_str(),
                            f[2].c_str(), f[3].c_str(), f[4].c_str()));
}

void ReceiveFrame(Program& program, const std::string& line) {
  if (program.receiveDataFrame) program.receiveDataFrame(line);
  StatsCountGoodRx(program.stats);
}

void CountPing(Program& program, const char* text) {
  StatsCountPing(program.stats);
  program.PrintLine(text);
}

// Reports whose whole reaction is one fixed line.
constexpr std::array<std::pair<int, const char*>, 7> FIXED_LINES = {{
    {MSG_CADET1, "Detected Data Packet."},
    {MSG_CADET2, "Detected Minipacket."},
    {MSG_CATXP1, "Modem Transmitting Data Packet."},
    {MSG_CATXP2, "Modem Transmitting Minipacket."},
    {MSG_CATXF1, "Data Packet Transmit Complete."},
    {MSG_CATXF2, "Minipacket Transmit Complete."},
    {MSG_CATXA, "Modem Parsed ASCII Data."},
}};

void ShowQuality(Program& program, const std::string& line) {
  const int32_t q = NMEAGetInt(line, 1);
  StatsAddDQF(program.stats, q);
  program.PrintLine(QualityLine(q));
}

void ShowAgc(Program& program, const std::string& line) {
  const int32_t agc = NMEAGetInt(line, 1);
  StatsAddAGC(program.stats, agc);
  program.PrintLine(cformat("Waiting for Packet.       [AGC=%d]", agc));
}

void ShowPing(Program& program, const std::string& line, const char* format) {
  program.PrintLine(cformat(format, NMEAGetInt(line, 1), NMEAGetInt(line, 2)));
}

void React(Program& p, const std::string& line, int type) {
  const auto fixed = std::find_if(FIXED_LINES.begin(), FIXED_LINES.end(),
                                  [type](const auto& entry) { return entry.first == type; });
  if (fixed != FIXED_LINES.end()) {
    p.PrintLine(fixed->second);
    return;
  }
  switch (type) {
    case MSG_CAAGC:
      ShowAgc(p, line);
      break;
    case MSG_CADQF:
      ShowQuality(p, line);
      break;
    case MSG_CARXD:
      ReceiveFrame(p, line);
      break;
    case MSG_CAREV:
      ShowRevision(p, line);
      break;
    case MSG_CACLK:
      break;  // the modem's clock tick: nothing to show
    case MSG_CAERR:
      ShowError(p, line);
      break;
    case MSG_CAMSG:
      ShowModemMessage(p, line);
      break;
    case MSG_CADRQ:
      AnswerDataRequest(p, line);
      break;
    case MSG_SNTTA:
      ShowTravelTimes(p, line);
      break;
    case MSG_CACYC:
      ShowCycle(p, line);
      break;
    case MSG_CACFG:
      ShowConfig(p, line);
      break;
    case MSG_CATXD:
      p.PrintLine(cformat("Modem Parsed Binary Data.     [%d bytes]", NMEAGetInt(line, 4)));
      break;
    case MSG_CAMPA:
      ShowPing(p, line, "Ping: [%02d]=>[%02d].");
      break;
    case MSG_CAMPC:
      ShowPing(p, line, "Ping Command: [%02d]=>[%02d].");
      break;
    case MSG_CAMPR:
      ShowRangePing(p, line);
      break;
    case MSG_CAACK:
      ShowAck(p, line);
      break;
    case MSG_SNCFR:
      ShowNoiseReport(p, line);
      break;
    case MSG_SNPDT:
      CountPing(p, "Digital Ping Sent.");
      break;
    case MSG_SNPNT:
      CountPing(p, "LBL Ping Sent.");
      break;
    case MSG_CADOP:
      p.PrintLine(cformat("Packet Doppler Shift          [%s m/s]",
                          FieldText(line, 1, SHORT_FIELD_MAX).c_str()));
      break;
    case MSG_CAMFD:
      ShowDetector(p, line);
      break;
    case MSG_CASHF:
      ShowShift(p, line);
      break;
    default:
      // "$CARXA", "$CAFFL,", "$CAFST,", host sentences and anything unknown
      // are shown as they came.
      p.PrintLine(line);
      break;
  }
}

}  // namespace

std::string BuildTestDataSentence(int source, int destination, int ack, int length) {
  // The one place that decides how much of the pattern goes out; the lines
  // shown before it keep the length as requested.
  const int bytes = std::clamp(length, 0, MAX_TEST_DATA_BYTES);
  std::vector<uint8_t> pattern(static_cast<size_t>(bytes));
  for (size_t i = 0; i < pattern.size(); ++i) pattern[i] = static_cast<uint8_t>(i % 256);
  return cformat("$CCTXD,%d,%d,%d,", source, destination, ack) +
         NMEAHexPayload(pattern.data(), pattern.size()) + "\r\n";
}

void InterpretModemLine(Program& program) {
  std::string line;
  if (!NMEATakeLine(program.rx, line)) return;
  program.logs.NMEALogLine(program.settings.modemPortNumber, line);
  if (program.settings.showNmeaIncoming) program.PrintLine(line);
  React(program, line, NMEAMessageType(line));
}

void InstallModemInterpreter(Program& program) {
  program.SetRxHandler(RX_MODEM, [&program] { InterpretModemLine(program); });
}

}  // namespace tw
