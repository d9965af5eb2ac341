#include "protocol/interpreter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/fixed_format.h"
#include "protocol/config_params.h"
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
std::string FieldText(const SentenceFields& f, int n, size_t maxChars) {
  std::string text(WithoutTrailingCr(f.Text(n)));
  if (text.size() > maxChars) text.resize(maxChars);
  return text;
}

// ------------------------------------------------------------- quality

std::string QualityLine(int32_t q) {
  if (q < 175) return FixedFormat("Quality Factor = %03d          [False?]", q);
  if (q == 254) return FixedFormat("Quality Factor = %03d          [Perfect]", q);
  if (q > 240) return FixedFormat("Quality Factor = %03d          [Good]", q);
  if (q > 220) return FixedFormat("Quality Factor = %03d          [OK]", q);
  return FixedFormat("Quality Factor = %03d          [Poor]", q);
}

// ------------------------------------------------------------- configuration

// The lines come from the parameter table; "SRC" and "BND" also change what
// the program knows about the modem.
void ShowConfig(const InterpreterLinks& m, const std::string& line, const char*) {
  const SentenceFields f(line);
  const ConfigParam* param = FindConfigParamByCode(NMEAConfigParam(f));
  if (!param || param->report == ConfigReport::kSentence) {
    m.out.PrintLine(line);
    return;
  }
  int32_t value = f.Int(2);
  if (param->report == ConfigReport::kUnit) {
    // A report without a value keeps the address we have.
    if (const std::optional<int32_t> unit = NMEAConfigValue(f)) m.state.modemUnit = *unit;
    value = m.state.modemUnit;
  } else if (param->report == ConfigReport::kBand) {
    m.state.modemBand = value;
  }
  if (const std::optional<std::string> text = ConfigReportLine(*param, value)) {
    m.out.PrintLine(*text);
  }
}

// ------------------------------------------------------------- errors

void ShowError(const InterpreterLinks& m, const std::string& line, const char*) {
  const SentenceFields f(line);
  switch (NMEAErrorKind(f)) {
    case ERR_KIND_CRC:
      m.out.PrintLine("Bad Checksum.");
      StatsCountCrcError(m.stats);
      break;
    case ERR_KIND_TSK_IDLE:
      m.out.PrintLine("Error: a2d hang up");
      break;
    case ERR_KIND_NMEA:
      m.out.PrintLine(NMEAErrorText(f.Int(3)));
      break;
    case ERR_KIND_MAXTIMEOUTS:
      break;  // routine for the modem; not worth a line
    case ERR_KIND_NODATA:
      m.out.PrintLine("Error: No reply to data request.");
      break;
    default:
      m.out.PrintLine(line);
      break;
  }
}

// ------------------------------------------------------------- data requests

// Both lines show the length as the modem asked for it, whatever the
// sentence can carry (BuildTestDataSentence decides that).
void SendTestData(const InterpreterLinks& m, int32_t source, int32_t destination, int ack,
                  int32_t length) {
  m.out.PrintLine(ack != 0 ? FixedFormat("Sending ACK Data to Modem     [%d bytes]", length)
                           : FixedFormat("Sending NO ACK Data to Modem  [%d bytes]", length));
  m.sink.SendSentence(BuildTestDataSentence(source, destination, ack, length));
  StatsCountTxFrame(m.stats);
}

void SendNodeFrame(const InterpreterLinks& m, int32_t source, int32_t destination, int32_t ack,
                   int32_t length) {
  if (!m.frames) return;
  const std::string frame = m.frames->BuildDataFrame(source, destination, ack, length);
  if (!frame.empty()) m.sink.SendSentence(frame);
}

// Answered at once, before the next sentence is taken: the modem waits for
// the frame. The sources are exclusive in the menu; each is tried in turn.
void AnswerDataRequest(const InterpreterLinks& m, const std::string& line, const char*) {
  const SentenceFields f(line);
  const int32_t source = f.Int(2);
  const int32_t destination = f.Int(3);
  const int32_t ack = f.Int(4);
  const int32_t length = f.Int(5);
  m.out.PrintLine(
      ack != 0
          ? FixedFormat("Got ACK Data Request %d->%d     [%d bytes]", source, destination, length)
          : FixedFormat("Got NOACK Data Request %d->%d   [%d bytes]", source, destination, length));
  // A damaged request gets one line instead of an answer: nothing to send,
  // or a frame for a node that cannot exist.
  if (length > MAX_DATA_REQUEST_BYTES) {
    m.out.PrintLine(FixedFormat("Error: Data request of %d bytes refused [at most %d].", length,
                                MAX_DATA_REQUEST_BYTES));
    return;
  }
  if (length < 1) {
    m.out.PrintLine(FixedFormat("Error: Data request of %d bytes refused [at least 1].", length));
    return;
  }
  if (source < 0 || source >= NODE_COUNT || destination < 0 || destination >= NODE_COUNT) {
    m.out.PrintLine(FixedFormat("Error: Data request %d->%d refused [nodes are 0..%d].", source,
                                destination, NODE_COUNT - 1));
    return;
  }
  const Settings& settings = m.settings;
  if (settings.useTestDataNoAck) SendTestData(m, source, destination, 0, length);
  if (settings.useTestDataAck) SendTestData(m, source, destination, 1, length);
  if (settings.useCustomString) {
    CustomStringSendStored(m.out, m.sink, settings.customString, "TX Custom String");
  }
  if (settings.useNodeProtocol) SendNodeFrame(m, source, destination, ack, length);
}

// ------------------------------------------------------------- navigation

void ShowTravelTimes(const InterpreterLinks& m, const std::string& line, const char*) {
  const SentenceFields f(line);
  std::array<std::string, NAV_CHANNELS> times;
  for (int k = 0; k < NAV_CHANNELS; ++k) {
    times[k] = FieldText(f, k + 1, SHORT_FIELD_MAX);
    if (times[k].empty()) {
      StatsClearRange(m.stats, k);
    } else {
      const float range = static_cast<float>(NMEAReadDecimal(times[k]) * m.state.soundSpeed);
      StatsSetRange(m.stats, k, range);
    }
  }
  m.out.PrintLine(FixedFormat("Got Travel Times: [%s] [%s] [%s] [%s]", times[0].c_str(),
                              times[1].c_str(), times[2].c_str(), times[3].c_str()));
}

void ShowRangePing(const InterpreterLinks& m, const std::string& line, const char*) {
  const SentenceFields f(line);
  const int32_t source = f.Int(1);
  const int32_t destination = f.Int(2);
  const float travelTime = f.Float(3);
  if (travelTime == MISSING_FLOAT) {
    m.out.PrintLine(FixedFormat("Ping: [%02d]=>[%02d].", source, destination));
    return;
  }
  const float range = travelTime * m.state.soundSpeed;
  m.out.PrintLine(FixedFormat("Ping: [%02d]=>[%02d]: %3.1f meters.", source, destination,
                              static_cast<double>(range)));
}

// The entry's format takes the source and destination.
void ShowPing(const InterpreterLinks& m, const std::string& line, const char* format) {
  const SentenceFields f(line);
  m.out.PrintLine(FixedFormat(RuntimeFormat{format}, f.Int(1), f.Int(2)));
}

void CountPing(const InterpreterLinks& m, const std::string&, const char* text) {
  StatsCountPing(m.stats);
  m.out.PrintLine(text);
}

// ------------------------------------------------------------- other reports

void ShowFixedLine(const InterpreterLinks& m, const std::string&, const char* text) {
  m.out.PrintLine(text);
}

void ShowNothing(const InterpreterLinks&, const std::string&, const char*) {}

void ShowQuality(const InterpreterLinks& m, const std::string& line, const char*) {
  const int32_t q = SentenceFields(line).Int(1);
  StatsAddDQF(m.stats, q);
  m.out.PrintLine(QualityLine(q));
}

void ShowAgc(const InterpreterLinks& m, const std::string& line, const char*) {
  const int32_t agc = SentenceFields(line).Int(1);
  StatsAddAGC(m.stats, agc);
  m.out.PrintLine(FixedFormat("Waiting for Packet.       [AGC=%d]", agc));
}

void ShowRevision(const InterpreterLinks& m, const std::string& line, const char*) {
  // Without a checksum the version is the last field and would carry the CR.
  std::string text = NMEARevisionText(SentenceFields(WithoutTrailingCr(line)));
  if (text.size() > LONG_FIELD_MAX) text.resize(LONG_FIELD_MAX);
  if (text.starts_with("INIT")) {
    m.out.PrintLine("Modem Reverted.");
    StatsCountRevert(m.stats);
  } else if (m.settings.showHeartbeat) {
    m.out.PrintLine(FixedFormat("Modem %s Ready.", text.c_str()));
  }
}

void ShowModemMessage(const InterpreterLinks& m, const std::string& line, const char*) {
  if (FieldText(SentenceFields(line), 1, LONG_FIELD_MAX).starts_with("BAD_CRC")) {
    m.out.PrintLine("Bad Checksum.");
    StatsCountCrcError(m.stats);
  } else {
    m.out.PrintLine(line);
  }
}

void ShowCycle(const InterpreterLinks& m, const std::string& line, const char*) {
  static constexpr std::array<const char*, 3> MODES = {"Broadcast", "Peer to Peer", "Multicast"};
  // Fields from the first missing one on read as MISSING_FIELD.
  const NMEACycle cycle = NMEAGetCycle(SentenceFields(line));
  const int32_t mode = cycle.f[0];
  const char* modeText = mode >= 0 && mode < static_cast<int32_t>(MODES.size())
                             ? MODES[static_cast<size_t>(mode)]
                             : "";
  m.out.PrintLine(FixedFormat("Cycle is %s: %d transmits to %d [rate=%d]", modeText, cycle.f[1],
                              cycle.f[2], cycle.f[3]));
  StatsCountCycle(m.stats);
}

void ShowAck(const InterpreterLinks& m, const std::string& line, const char*) {
  const SentenceFields f(line);
  const int32_t source = f.Int(1);
  const int32_t destination = f.Int(2);
  const int32_t frame = f.Int(3);
  if (f.Int(4) != 0) {
    m.out.PrintLine(FixedFormat("Ack: [%02d]->[%02d]: Frame %d OK.", source, destination, frame));
    StatsCountAckFrame(m.stats);
  } else {
    m.out.PrintLine(FixedFormat("Ack: [%02d]->[%02d]: Frame %d BAD.", source, destination, frame));
  }
}

void ShowBinaryData(const InterpreterLinks& m, const std::string& line, const char*) {
  m.out.PrintLine(
      FixedFormat("Modem Parsed Binary Data.     [%d bytes]", SentenceFields(line).Int(4)));
}

void ShowDoppler(const InterpreterLinks& m, const std::string& line, const char*) {
  m.out.PrintLine(FixedFormat("Packet Doppler Shift          [%s m/s]",
                              FieldText(SentenceFields(line), 1, SHORT_FIELD_MAX).c_str()));
}

void ShowDetector(const InterpreterLinks& m, const std::string& line, const char*) {
  const SentenceFields f(line);
  const std::string a = FieldText(f, 1, SHORT_FIELD_MAX);
  const std::string b = FieldText(f, 2, SHORT_FIELD_MAX);
  const std::string c = FieldText(f, 3, SHORT_FIELD_MAX);
  m.out.PrintLine(FixedFormat("Detector:   [%s]   [%s]   [%s]", a.c_str(), b.c_str(), c.c_str()));
}

void ShowShift(const InterpreterLinks& m, const std::string& line, const char*) {
  std::array<std::string, 5> f;
  const SentenceFields fields(line);
  for (int k = 0; k < 5; ++k) f[k] = FieldText(fields, k + 1, SHORT_FIELD_MAX);
  m.out.PrintLine(FixedFormat("Gain:[%s]  Shift:[%s][%s][%s][%s]", f[0].c_str(), f[1].c_str(),
                              f[2].c_str(), f[3].c_str(), f[4].c_str()));
}

void ReceiveFrame(const InterpreterLinks& m, const std::string& line, const char*) {
  if (m.frames) m.frames->ReceiveDataFrame(line);
  StatsCountGoodRx(m.stats);
}

void PassNoiseReport(const InterpreterLinks& m, const std::string& line, const char*) {
  if (m.noiseReport) m.noiseReport(line);
}

// ------------------------------------------------------------- dispatch

struct Reaction {
  int type;
  void (*react)(const InterpreterLinks& m, const std::string& line, const char* text);
  const char* text;  // the fixed line or format the reaction shows; null when it has none
};

// What each message type sets off. "$CARXA", "$CAFFL,", "$CAFST,", host
// sentences and anything unknown are not listed: they are shown as they came.
constexpr std::array<Reaction, 29> REACTIONS{{
    {MSG_CAAGC, ShowAgc, nullptr},
    {MSG_CADQF, ShowQuality, nullptr},
    {MSG_CARXD, ReceiveFrame, nullptr},
    {MSG_CAREV, ShowRevision, nullptr},
    {MSG_CACLK, ShowNothing, nullptr},  // the modem's clock tick
    {MSG_CAERR, ShowError, nullptr},
    {MSG_CAMSG, ShowModemMessage, nullptr},
    {MSG_CADET1, ShowFixedLine, "Detected Data Packet."},
    {MSG_CADET2, ShowFixedLine, "Detected Minipacket."},
    {MSG_CADRQ, AnswerDataRequest, nullptr},
    {MSG_SNTTA, ShowTravelTimes, nullptr},
    {MSG_CACYC, ShowCycle, nullptr},
    {MSG_CACFG, ShowConfig, nullptr},
    {MSG_CATXP1, ShowFixedLine, "Modem Transmitting Data Packet."},
    {MSG_CATXP2, ShowFixedLine, "Modem Transmitting Minipacket."},
    {MSG_CATXF1, ShowFixedLine, "Data Packet Transmit Complete."},
    {MSG_CATXF2, ShowFixedLine, "Minipacket Transmit Complete."},
    {MSG_CATXA, ShowFixedLine, "Modem Parsed ASCII Data."},
    {MSG_CATXD, ShowBinaryData, nullptr},
    {MSG_CAMPA, ShowPing, "Ping: [%02d]=>[%02d]."},
    {MSG_CAMPC, ShowPing, "Ping Command: [%02d]=>[%02d]."},
    {MSG_CAMPR, ShowRangePing, nullptr},
    {MSG_CAACK, ShowAck, nullptr},
    {MSG_SNCFR, PassNoiseReport, nullptr},
    {MSG_SNPDT, CountPing, "Digital Ping Sent."},
    {MSG_SNPNT, CountPing, "LBL Ping Sent."},
    {MSG_CADOP, ShowDoppler, nullptr},
    {MSG_CAMFD, ShowDetector, nullptr},
    {MSG_CASHF, ShowShift, nullptr},
}};

// A type listed twice would only ever get its first reaction.
constexpr bool EachTypeOnce() {
  for (size_t i = 0; i < REACTIONS.size(); ++i) {
    for (size_t j = i + 1; j < REACTIONS.size(); ++j) {
      if (REACTIONS[i].type == REACTIONS[j].type) return false;
    }
  }
  return true;
}
static_assert(EachTypeOnce());

void React(const InterpreterLinks& m, const std::string& line, int type) {
  const auto entry = std::find_if(REACTIONS.begin(), REACTIONS.end(),
                                  [type](const Reaction& r) { return r.type == type; });
  if (entry == REACTIONS.end()) {
    m.out.PrintLine(line);
    return;
  }
  entry->react(m, line, entry->text);
}

}  // namespace

std::string BuildTestDataSentence(int source, int destination, int ack, int length) {
  // The one place that decides how much of the pattern goes out; the lines
  // shown before it keep the length as requested.
  const int bytes = std::clamp(length, 0, MAX_TEST_DATA_BYTES);
  std::vector<uint8_t> pattern(static_cast<size_t>(bytes));
  for (size_t i = 0; i < pattern.size(); ++i) pattern[i] = static_cast<uint8_t>(i % 256);
  return NMEATxdSentence(source, destination, ack, pattern.data(), pattern.size());
}

void ModemInterpreter::InterpretModemLine(RxState& rx) {
  std::string line;
  if (!TakeModemLine(rx, line)) return;
  links_.logs.NMEALogLine(links_.settings.modemPort.portNumber, line);
  if (links_.settings.showNmeaIncoming) links_.out.PrintLine(line);
  React(links_, line, NMEAMessageType(line));
}

}  // namespace tw
