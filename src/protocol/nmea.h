// Sentence readers: cutting sentences out of the receive ring, naming them by
// message type, and reading their fields. Shared by the modem interpreter,
// the emulator and the data-frame transport.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/config_params.h"
#include "protocol/sentence_fields.h"
#include "serial/line_framer.h"
#include "serial/rx_ring.h"

namespace tw {

// ---------------------------------------------------------------------------
// Message types, as returned by NMEAMessageType: the sentence table
// (protocol/sentence_table.cpp) gives each family its type.

constexpr int MSG_NOT_SENTENCE = 1024;  // does not start with '$'
constexpr int MSG_CAAGC = 1025;
constexpr int MSG_CADQF = 1026;
constexpr int MSG_CARXD = 1027;
constexpr int MSG_CARXA = 1028;
constexpr int MSG_CAREV = 1029;
constexpr int MSG_CACLK = 1030;
constexpr int MSG_CAERR = 1031;
constexpr int MSG_CAMSG = 1038;
constexpr int MSG_CADET1 = 1056;
constexpr int MSG_CADET2 = 1057;
constexpr int MSG_CADRQ = 1058;
constexpr int MSG_SNTTA = 1059;
constexpr int MSG_CACYC = 1060;
constexpr int MSG_CACFG = 1061;
constexpr int MSG_CATXP1 = 1062;
constexpr int MSG_CATXP2 = 1063;
constexpr int MSG_CATXF1 = 1064;
constexpr int MSG_CATXF2 = 1065;
constexpr int MSG_CATXA = 1072;
constexpr int MSG_CATXD = 1073;
constexpr int MSG_CAMPA = 1074;
constexpr int MSG_CAMPC = 1075;
constexpr int MSG_CAMPR = 1076;
constexpr int MSG_CAACK = 1077;
constexpr int MSG_CC_OTHER = 1078;  // any host sentence not named below
constexpr int MSG_CCTXD = 1079;
constexpr int MSG_CCTXA = 1080;
constexpr int MSG_CCCYC = 1081;
constexpr int MSG_CCMPC = 1082;
constexpr int MSG_CCCLK = 1083;
constexpr int MSG_CCCFQ = 1084;
constexpr int MSG_CCCFG = 1085;
constexpr int MSG_CCMSC = 1086;
constexpr int MSG_CCACK = 1087;
constexpr int MSG_CCMEC = 1088;
constexpr int MSG_CCPNT = 1089;
constexpr int MSG_CCPDT = 1090;
constexpr int MSG_CCFFL = 1091;
constexpr int MSG_CCFST = 1092;
constexpr int MSG_CCCFR = 1093;
constexpr int MSG_CAFFL = 1104;
constexpr int MSG_CAFST = 1105;
constexpr int MSG_SNCFR = 1106;
constexpr int MSG_SNPDT = 1107;
constexpr int MSG_SNPNT = 1108;
constexpr int MSG_CADOP = 1109;
constexpr int MSG_CAMFD = 1110;
constexpr int MSG_CASHF = 1111;
constexpr int MSG_UNKNOWN = 1279;  // starts with '$' but matches no prefix

// ---------------------------------------------------------------------------
// NMEA error codes: field 3 of "$CAERR,hhmmss,NMEA,n", sent by the modem about
// the host's sentences and by the emulator about its host's.

constexpr int NMEA_ERR_BAD_CHECKSUM = 11;
constexpr int NMEA_ERR_UNKNOWN_COMMAND = 12;
constexpr int NMEA_ERR_EXPECTED_DOLLAR = 13;
constexpr int NMEA_ERR_EXPECTED_COMMA = 14;
constexpr int NMEA_ERR_WRONG_ARG_COUNT = 15;
constexpr int NMEA_ERR_UNEXPECTED_STAR = 16;
constexpr int NMEA_ERR_ARG_OUT_OF_RANGE = 17;
constexpr int NMEA_ERR_BLANK_ARG = 18;
constexpr int NMEA_ERR_BAD_TERMINATOR = 19;
constexpr int NMEA_ERR_BAD_TALKER = 20;

struct NmeaErrorEntry {
  int code;
  std::string_view interpreterText;  // shown by the modem message interpreter
  std::string_view emulatorText;     // printed by the emulator
};

inline constexpr std::array<NmeaErrorEntry, 10> NMEA_ERRORS{{
    {NMEA_ERR_BAD_CHECKSUM, "NMEA Error: Bad Checksum", "NMEA: Checksum Error"},
    {NMEA_ERR_UNKNOWN_COMMAND, "NMEA Error: Unknown Command", "NMEA: Unknown Command"},
    {NMEA_ERR_EXPECTED_DOLLAR, "NMEA Error: Expected '$'", "NMEA: Command must start with '$'"},
    {NMEA_ERR_EXPECTED_COMMA, "NMEA Error: Expected ','", "NMEA: Command must have an argument"},
    {NMEA_ERR_WRONG_ARG_COUNT, "NMEA Error: Wrong number of args",
     "NMEA: Wrong number of arguments"},
    {NMEA_ERR_UNEXPECTED_STAR, "NMEA Error: Unexpected '*'",
     "NMEA: Unexpected checksum indicator '*'"},
    {NMEA_ERR_ARG_OUT_OF_RANGE, "NMEA Error: Arg out of range", "NMEA: Argument out of range"},
    {NMEA_ERR_BLANK_ARG, "NMEA Error: Required arg is blank", "NMEA: Required field is empty"},
    {NMEA_ERR_BAD_TERMINATOR, "NMEA Error: Bad Terminator.", "NMEA: Unexpected terminator"},
    {NMEA_ERR_BAD_TALKER, "NMEA Error: Bad talker ID.", "NMEA: Commands must start with '$CC'"},
}};

// Interpreter text for a code outside the table.
inline constexpr std::string_view NMEA_ERROR_FALLBACK = "NMEA Error: Bad message.";

// ---------------------------------------------------------------------------
// Error kinds of a "$CAERR" sentence, as returned by NMEAErrorKind.

constexpr int ERR_KIND_MISSING = 1024;  // no field 2
constexpr int ERR_KIND_CRC = 1032;
constexpr int ERR_KIND_TSK_IDLE = 1033;
constexpr int ERR_KIND_NMEA = 1035;
constexpr int ERR_KIND_MAXTIMEOUTS = 1036;
constexpr int ERR_KIND_NODATA = 1037;
constexpr int ERR_KIND_UNKNOWN = 1279;

// ---------------------------------------------------------------------------
// Readers. None reports an error: a missing field reads as MISSING_FIELD
// (4095.0f for the float, the empty string for text), a field that is not a
// number reads as 0. Every byte of a sentence counts, a NUL included.

// The message type of a sentence, from its leading characters: its family's
// in the sentence table; MSG_NOT_SENTENCE without a leading '$', MSG_UNKNOWN
// when no family's prefix starts it.
int NMEAMessageType(std::string_view s);

// Number of ',' in the whole sentence.
int NMEACountCommas(std::string_view s);

// An integer read as atoi reads it: leading white space, one optional sign,
// then the digits up to the first non-digit; 0 when there are none. Values
// beyond 32 bits are held at the nearest limit.
int32_t NMEAReadInt(std::string_view text);

// A floating number read as atof reads it: leading white space, one optional
// sign, then as much of a decimal (or 0x hexadecimal) number, "inf" or "nan"
// as can be read; 0 when nothing can. A second sign makes it no number.
// The decimal point is always '.', whatever the process locale says.
double NMEAReadDecimal(std::string_view text);

struct NMEACycle {
  int32_t f[4];    // fields 1..4; MISSING_FIELD from the first missing one on
  int32_t status;  // 0 when all four are there, MISSING_FIELD otherwise
};

NMEACycle NMEAGetCycle(const SentenceFields& fields);

// The kind of error a "$CAERR" sentence reports, from its field 2.
int NMEAErrorKind(const SentenceFields& fields);

// The code of the parameter a "$CACFG" sentence reports, from its field 1
// (config_params.h); CFG_MISSING without a field 1, CFG_UNKNOWN when no
// parameter's mnemonic starts it.
int NMEAConfigParam(const SentenceFields& fields);

// The whole value after the parameter name of a "$CACFG" sentence, read as
// an integer (0 when it is no number); none when the sentence carries no
// value (nothing but a checksum or the CR after the comma, or no comma).
std::optional<int32_t> NMEAConfigValue(const SentenceFields& fields);

// "name (version)" from fields 2 and 3 of a "$CAREV" sentence, else "Unknown".
std::string NMEARevisionText(const SentenceFields& fields);

// The same readers for a sentence split just for one of them.
inline NMEACycle NMEAGetCycle(std::string_view s) { return NMEAGetCycle(SentenceFields(s)); }
inline int NMEAErrorKind(std::string_view s) { return NMEAErrorKind(SentenceFields(s)); }
inline int NMEAConfigParam(std::string_view s) { return NMEAConfigParam(SentenceFields(s)); }
inline std::optional<int32_t> NMEAConfigValue(std::string_view s) {
  return NMEAConfigValue(SentenceFields(s));
}
inline std::string NMEARevisionText(std::string_view s) {
  return NMEARevisionText(SentenceFields(s));
}

// The framer's checksum helpers under the names the sentence code uses
// (serial/line_framer.h).
inline int NMEAHexDigit(char c) { return HexDigitValue(c); }
inline uint8_t NMEAChecksum(std::string_view s) { return SentenceChecksum(s); }
inline void NMEAAppendChecksum(std::string& s) { AppendChecksum(s); }

// The payload field of a "$CCTXD" sentence: two lower-case hex digits a byte.
std::string NMEAHexPayload(const uint8_t* bytes, size_t n);

// The one "$CCTXD" builder: "$CCTXD,source,destination,ack," then the bytes
// as NMEAHexPayload writes them, then CR LF (no checksum).
std::string NMEATxdSentence(int32_t source, int32_t destination, int32_t ack, const uint8_t* bytes,
                            size_t n);

// The modem interpreter's text for an NMEA error code.
std::string NMEAErrorText(int code);
// The emulator's text for an NMEA error code; empty for a code it has none for.
std::string NMEAEmulatorErrorText(int code);

}  // namespace tw
