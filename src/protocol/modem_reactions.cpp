#include "protocol/modem_reactions.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "core/fixed_format.h"
#include "protocol/config_params.h"
#include "protocol/custom_string.h"
#include "protocol/interpreter.h"
#include "protocol/modem_records.h"
#include "protocol/modem_settings.h"
#include "protocol/nmea.h"
#include "protocol/stats.h"

namespace tw {

namespace {

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

// When an answer came; the statistics carry the program's clock.
LocalTime ReplyTime(const InterpreterLinks& m) {
  return m.stats.clock ? m.stats.clock->localTime() : LocalTime{};
}

}  // namespace

// ------------------------------------------------------------- configuration

// The lines come from the parameter table; "SRC" and "BND" also change what
// the program knows about the modem.
void ShowConfig(const InterpreterLinks& m, const std::string& line, const char*) {
  const SentenceFields fields(line);
  const ConfigRecord r = DecodeConfig(fields);
  const ConfigParam* param = r.param;
  if (m.reportedConfig && param) m.reportedConfig->Record(*param, fields);
  if (!param || param->report == ConfigReport::kSentence) {
    m.out.PrintLine(line);
    return;
  }
  int32_t value = r.value;
  if (param->report == ConfigReport::kUnit) {
    // A report without a value keeps the address we have.
    if (r.unit) m.state.modemUnit = *r.unit;
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
  const ErrorRecord r = DecodeError(SentenceFields(line));
  if (r.kind == ERR_KIND_CRC) StatsCountCrcError(m.stats);
  if (const std::optional<std::string> shown = ErrorLine(r, line)) m.out.PrintLine(*shown);
}

// Answered at once, before the next sentence is taken: the modem waits for
// the frame. The sources are exclusive in the menu; each is tried in turn.
void AnswerDataRequest(const InterpreterLinks& m, const std::string& line, const char*) {
  const DataRequestRecord r = DecodeDataRequest(SentenceFields(line));
  const auto [source, destination, ack, length] = r;
  m.out.PrintLine(DataRequestLine(r));
  // A damaged request gets one line instead of an answer: nothing to send,
  // or a frame for a node that cannot exist.
  if (length > MAX_DATA_REQUEST_BYTES) {
    m.out.PrintWrapped(FixedFormat("Error: Data request of %d bytes refused [at most %d].", length,
                                   MAX_DATA_REQUEST_BYTES));
    return;
  }
  if (length < 1) {
    m.out.PrintWrapped(
        FixedFormat("Error: Data request of %d bytes refused [at least 1].", length));
    return;
  }
  if (source < 0 || source >= NODE_COUNT || destination < 0 || destination >= NODE_COUNT) {
    m.out.PrintWrapped(FixedFormat("Error: Data request %d->%d refused [nodes are 0..%d].", source,
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
  const std::array<std::string, NAV_CHANNELS> times =
      DecodeTextFields<NAV_CHANNELS>(SentenceFields(line));
  for (int k = 0; k < NAV_CHANNELS; ++k) {
    if (times[k].empty()) {
      StatsClearRange(m.stats, k);
    } else {
      const float range = static_cast<float>(NMEAReadDecimal(times[k]) * m.state.soundSpeed);
      StatsSetRange(m.stats, k, range);
    }
  }
  m.out.PrintLine(TravelTimesLine(times));
}

// The answers to unit pings also go into the per-unit ping results, under
// the unit at the far end, stamped with the local time.
void ShowRangePing(const InterpreterLinks& m, const std::string& line, const char*) {
  const RangePingRecord r = DecodeRangePing(SentenceFields(line));
  m.out.PrintLine(RangePingLine(r, m.state.soundSpeed));
  const int unit = PingAnswerUnit(r.source, r.destination, m.state.modemUnit);
  if (r.travelTime == MISSING_FLOAT) {
    m.stats.pingResults.CountAck(unit, ReplyTime(m));  // shown as the acknowledgement is
  } else {
    m.stats.pingResults.CountRange(unit, r.travelTime * m.state.soundSpeed, ReplyTime(m));
  }
}

void ShowPingAck(const InterpreterLinks& m, const std::string& line, const char* format) {
  const PingRecord r = DecodePing(SentenceFields(line));
  m.out.PrintLine(PingLine(format, r));
  m.stats.pingResults.CountAck(PingAnswerUnit(r.source, r.destination, m.state.modemUnit),
                               ReplyTime(m));
}

// The row's text is the format; it takes the source and destination.
void ShowPing(const InterpreterLinks& m, const std::string& line, const char* format) {
  m.out.PrintLine(PingLine(format, DecodePing(SentenceFields(line))));
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
  m.out.PrintLine(AgcLine(agc));
}

void ShowRevision(const InterpreterLinks& m, const std::string& line, const char*) {
  const std::string text = DecodeRevision(line);
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
  m.out.PrintLine(CycleLine(NMEAGetCycle(SentenceFields(line))));
  StatsCountCycle(m.stats);
}

void ShowAck(const InterpreterLinks& m, const std::string& line, const char*) {
  const AckRecord r = DecodeAck(SentenceFields(line));
  m.out.PrintLine(AckLine(r));
  if (r.ok) StatsCountAckFrame(m.stats);
}

void ShowFifoFlush(const InterpreterLinks& m, const std::string& line, const char*) {
  m.out.PrintLine(FifoFlushLine(SentenceFields(line).Int(1)));
}

void ShowFifoStatus(const InterpreterLinks& m, const std::string& line, const char*) {
  m.out.PrintLine(FifoStatusLine(DecodeFifoStatus(SentenceFields(line))));
}

void ShowBinaryData(const InterpreterLinks& m, const std::string& line, const char*) {
  m.out.PrintLine(BinaryDataLine(SentenceFields(line).Int(4)));
}

void ShowDoppler(const InterpreterLinks& m, const std::string& line, const char*) {
  m.out.PrintLine(DopplerLine(DecodeTextFields<1>(SentenceFields(line))));
}

void ShowDetector(const InterpreterLinks& m, const std::string& line, const char*) {
  m.out.PrintLine(DetectorLine(DecodeTextFields<3>(SentenceFields(line))));
}

void ShowShift(const InterpreterLinks& m, const std::string& line, const char*) {
  m.out.PrintLine(ShiftLine(DecodeTextFields<5>(SentenceFields(line))));
}

void ReceiveFrame(const InterpreterLinks& m, const std::string& line, const char*) {
  if (m.frames) m.frames->ReceiveDataFrame(line);
  StatsCountGoodRx(m.stats);
}

void PassNoiseReport(const InterpreterLinks& m, const std::string& line, const char*) {
  if (m.noiseReport) m.noiseReport(line);
}

}  // namespace tw
