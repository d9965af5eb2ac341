#include "protocol/modem_records.h"

#include <array>

#include "core/fixed_format.h"
#include "protocol/config_params.h"
#include "protocol/nmea.h"
#include "serial/line_framer.h"

namespace tw {

std::string FieldText(const SentenceFields& f, int n, size_t maxChars) {
  std::string text(WithoutTrailingCr(f.Text(n)));
  if (text.size() > maxChars) text.resize(maxChars);
  return text;
}

PingRecord DecodePing(const SentenceFields& f) { return {f.Int(1), f.Int(2)}; }

std::string PingLine(const char* format, const PingRecord& r) {
  return FixedFormat(RuntimeFormat{format}, r.source, r.destination);
}

RangePingRecord DecodeRangePing(const SentenceFields& f) {
  return {f.Int(1), f.Int(2), f.Float(3)};
}

std::string RangePingLine(const RangePingRecord& r, float soundSpeed) {
  if (r.travelTime == MISSING_FLOAT) {
    return FixedFormat("Ping: [%02d]=>[%02d].", r.source, r.destination);
  }
  const float range = r.travelTime * soundSpeed;
  return FixedFormat("Ping: [%02d]=>[%02d]: %3.1f meters.", r.source, r.destination,
                     static_cast<double>(range));
}

FifoStatusRecord DecodeFifoStatus(const SentenceFields& f) {
  return {f.Int(1), f.Int(2), f.Int(3)};
}

// The unit as the ping lines show it; the byte count in brackets at column
// 30, where the other reports put their numbers.
std::string FifoFlushLine(int32_t unit) { return FixedFormat("Modem FIFO Flushed: [%02d].", unit); }

std::string FifoStatusLine(const FifoStatusRecord& r) {
  return FixedFormat("Modem FIFO Status: [%02d]       [%d bytes] [%d]", r.unit, r.bytes, r.third);
}

AckRecord DecodeAck(const SentenceFields& f) {
  return {f.Int(1), f.Int(2), f.Int(3), f.Int(4) != 0};
}

std::string AckLine(const AckRecord& r) {
  return r.ok ? FixedFormat("Ack: [%02d]->[%02d]: Frame %d OK.", r.source, r.destination, r.frame)
              : FixedFormat("Ack: [%02d]->[%02d]: Frame %d BAD.", r.source, r.destination, r.frame);
}

DataRequestRecord DecodeDataRequest(const SentenceFields& f) {
  return {f.Int(2), f.Int(3), f.Int(4), f.Int(5)};
}

std::string DataRequestLine(const DataRequestRecord& r) {
  return r.ack != 0 ? FixedFormat("Got ACK Data Request %d->%d     [%d bytes]", r.source,
                                  r.destination, r.length)
                    : FixedFormat("Got NOACK Data Request %d->%d   [%d bytes]", r.source,
                                  r.destination, r.length);
}

ErrorRecord DecodeError(const SentenceFields& f) { return {NMEAErrorKind(f), f.Int(3)}; }

std::optional<std::string> ErrorLine(const ErrorRecord& r, const std::string& line) {
  switch (r.kind) {
    case ERR_KIND_CRC:
      return "Bad Checksum.";
    case ERR_KIND_TSK_IDLE:
      return "Error: a2d hang up";
    case ERR_KIND_NMEA:
      return NMEAErrorText(r.code);
    case ERR_KIND_MAXTIMEOUTS:
      return std::nullopt;  // routine for the modem; not worth a line
    case ERR_KIND_NODATA:
      return "Error: No reply to data request.";
    default:
      return line;
  }
}

ConfigRecord DecodeConfig(const SentenceFields& f) {
  return {FindConfigParamByCode(NMEAConfigParam(f)), f.Int(2), NMEAConfigValue(f)};
}

std::string CycleLine(const NMEACycle& cycle) {
  static constexpr std::array<const char*, 3> MODES = {"Broadcast", "Peer to Peer", "Multicast"};
  // Fields from the first missing one on read as MISSING_FIELD.
  const int32_t mode = cycle.f[0];
  const char* modeText = mode >= 0 && mode < static_cast<int32_t>(MODES.size())
                             ? MODES[static_cast<size_t>(mode)]
                             : "";
  return FixedFormat("Cycle is %s: %d transmits to %d [rate=%d]", modeText, cycle.f[1], cycle.f[2],
                     cycle.f[3]);
}

std::string QualityLine(int32_t q) {
  if (q < 175) return FixedFormat("Quality Factor = %03d          [False?]", q);
  if (q == 254) return FixedFormat("Quality Factor = %03d          [Perfect]", q);
  if (q > 240) return FixedFormat("Quality Factor = %03d          [Good]", q);
  if (q > 220) return FixedFormat("Quality Factor = %03d          [OK]", q);
  return FixedFormat("Quality Factor = %03d          [Poor]", q);
}

std::string AgcLine(int32_t agc) { return FixedFormat("Waiting for Packet.       [AGC=%d]", agc); }

std::string BinaryDataLine(int32_t bytes) {
  return FixedFormat("Modem Parsed Binary Data.     [%d bytes]", bytes);
}

std::string DecodeRevision(std::string_view line) {
  // Without a checksum the version is the last field and would carry the CR.
  std::string text = NMEARevisionText(SentenceFields(WithoutTrailingCr(line)));
  if (text.size() > LONG_FIELD_MAX) text.resize(LONG_FIELD_MAX);
  return text;
}

std::string TravelTimesLine(const std::array<std::string, 4>& t) {
  return FixedFormat("Got Travel Times: [%s] [%s] [%s] [%s]", t[0].c_str(), t[1].c_str(),
                     t[2].c_str(), t[3].c_str());
}

std::string DopplerLine(const std::array<std::string, 1>& f) {
  return FixedFormat("Packet Doppler Shift          [%s m/s]", f[0].c_str());
}

std::string DetectorLine(const std::array<std::string, 3>& f) {
  return FixedFormat("Detector:   [%s]   [%s]   [%s]", f[0].c_str(), f[1].c_str(), f[2].c_str());
}

std::string ShiftLine(const std::array<std::string, 5>& f) {
  return FixedFormat("Gain:[%s]  Shift:[%s][%s][%s][%s]", f[0].c_str(), f[1].c_str(), f[2].c_str(),
                     f[3].c_str(), f[4].c_str());
}

}  // namespace tw
