// The modem's reports read into records, and the lines that show them. A
// decoder only reads its sentence's fields; a line function only formats
// its record: the reactions (modem_reactions.cpp) put the two together with
// what is counted and remembered.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "protocol/sentence_fields.h"

namespace tw {

// Room for the text fields of one sentence: 15 characters for the doppler,
// detector, gain and travel-time fields, 63 for the "$CAMSG" text and the
// revision text. Longer fields are cut there.
constexpr size_t SHORT_FIELD_MAX = 15;
constexpr size_t LONG_FIELD_MAX = 63;

constexpr float MISSING_FLOAT = static_cast<float>(MISSING_FIELD);

// Field n as text for a line: without the CR the last field of a sentence
// without checksum still ends in (printed inside a line it would send the
// cursor back to the start), cut to `maxChars`.
std::string FieldText(const SentenceFields& f, int n, size_t maxChars);

// The first N fields as texts for a line ("$CADOP", "$CAMFD", "$CASHF",
// "$SNTTA").
template <size_t N>
std::array<std::string, N> DecodeTextFields(const SentenceFields& f) {
  std::array<std::string, N> texts;
  for (size_t k = 0; k < N; ++k) texts[k] = FieldText(f, static_cast<int>(k) + 1, SHORT_FIELD_MAX);
  return texts;
}

// "$CAMPA", "$CAMPC": who pinged whom.
struct PingRecord {
  int32_t source;
  int32_t destination;
};
PingRecord DecodePing(const SentenceFields& f);
// `format` takes the source and destination.
std::string PingLine(const char* format, const PingRecord& r);

// "$CAMPR": a ping with its travel time, MISSING_FLOAT when it has none.
struct RangePingRecord {
  int32_t source;
  int32_t destination;
  float travelTime;
};
RangePingRecord DecodeRangePing(const SentenceFields& f);
std::string RangePingLine(const RangePingRecord& r, float soundSpeed);

// "$CAFFL": the unit whose transmit FIFO was flushed. "$CAFST": the unit,
// the data bytes waiting in its FIFO and the third field as it came (the
// emulator always sends 0 there).
struct FifoStatusRecord {
  int32_t unit;
  int32_t bytes;
  int32_t third;
};
FifoStatusRecord DecodeFifoStatus(const SentenceFields& f);
std::string FifoFlushLine(int32_t unit);
std::string FifoStatusLine(const FifoStatusRecord& r);

// "$CAACK": a frame acknowledged, good or bad.
struct AckRecord {
  int32_t source;
  int32_t destination;
  int32_t frame;
  bool ok;
};
AckRecord DecodeAck(const SentenceFields& f);
std::string AckLine(const AckRecord& r);

// "$CADRQ": the modem asks for a data frame.
struct DataRequestRecord {
  int32_t source;
  int32_t destination;
  int32_t ack;
  int32_t length;
};
DataRequestRecord DecodeDataRequest(const SentenceFields& f);
std::string DataRequestLine(const DataRequestRecord& r);

// "$CAERR": its kind (NMEAErrorKind) and the code of an NMEA error.
struct ErrorRecord {
  int kind;
  int32_t code;
};
ErrorRecord DecodeError(const SentenceFields& f);
// None for a kind not worth a line; an unknown kind shows `line` as it came.
std::optional<std::string> ErrorLine(const ErrorRecord& r, const std::string& line);

// "$CACFG": the parameter (null when unknown or missing), field 2, and the
// whole value after the name, none when the report carries no value.
struct ConfigParam;
struct ConfigRecord {
  const ConfigParam* param;
  int32_t value;
  std::optional<int32_t> unit;
};
ConfigRecord DecodeConfig(const SentenceFields& f);

// "$CACYC": the cycle's four fields (NMEAGetCycle reads them).
struct NMEACycle;
std::string CycleLine(const NMEACycle& cycle);

// "$CADQF", "$CAAGC", "$CATXD": one number each.
std::string QualityLine(int32_t quality);
std::string AgcLine(int32_t agc);
std::string BinaryDataLine(int32_t bytes);

// "$CAREV": "name (version)", cut to LONG_FIELD_MAX; "INIT..." when the modem
// reverted.
std::string DecodeRevision(std::string_view line);

std::string TravelTimesLine(const std::array<std::string, 4>& times);
std::string DopplerLine(const std::array<std::string, 1>& f);
std::string DetectorLine(const std::array<std::string, 3>& f);
std::string ShiftLine(const std::array<std::string, 5>& f);

}  // namespace tw
