#include "protocol/nmea.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "protocol/sentence_table.h"

namespace tw {

namespace {

// White space as the C locale knows it; independent of the process locale.
bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

size_t SkipSpace(std::string_view t) {
  size_t i = 0;
  while (i < t.size() && IsCSpace(t[i])) ++i;
  return i;
}

bool IsHexDigit(char c) { return NMEAHexDigit(c) >= 0; }

// The value of a number too large or too small for a double: infinite or
// zero, the way strtod reports it.
double OutOfRangeValue(const char* first, const char* last, std::chars_format format) {
  long double wide = 0;
  if (std::from_chars(first, last, wide, format).ec == std::errc()) {
    return static_cast<double>(wide);
  }
  std::string_view text(first, last - first);
  size_t mark = text.find_first_of(format == std::chars_format::hex ? "pP" : "eE");
  bool tiny = mark != std::string_view::npos && mark + 1 < text.size() && text[mark + 1] == '-';
  return tiny ? 0.0 : HUGE_VAL;
}

}  // namespace

int32_t NMEAReadInt(std::string_view t) {
  size_t i = SkipSpace(t);
  bool negative = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
  constexpr int64_t LIMIT = int64_t{INT32_MAX} + 1;
  int64_t magnitude = 0;
  for (; i < t.size() && IsDigit(t[i]); ++i) {
    magnitude = std::min(LIMIT, magnitude * 10 + (t[i] - '0'));
  }
  int64_t value = negative ? -magnitude : std::min(magnitude, LIMIT - 1);
  return static_cast<int32_t>(value);
}

// The GUI layer sets the process locale from the environment, which would
// change what strtod takes as the decimal point; from_chars always takes '.'.
double NMEAReadDecimal(std::string_view t) {
  size_t i = SkipSpace(t);
  bool negative = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
  // One sign only: "--4" or "+-1.5" is no number, as for atof.
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) return 0.0;
  std::string_view rest = t.substr(i);
  std::chars_format format = std::chars_format::general;
  bool hex = rest.size() > 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X') &&
             (IsHexDigit(rest[2]) || (rest[2] == '.' && rest.size() > 3 && IsHexDigit(rest[3])));
  if (hex) {
    rest.remove_prefix(2);
    format = std::chars_format::hex;
  }
  const char* first = rest.data();
  const char* last = rest.data() + rest.size();
  double value = 0.0;
  auto [end, ec] = std::from_chars(first, last, value, format);
  // No number at all is a plain 0, not -0, even after a '-'.
  if (ec == std::errc::invalid_argument) return 0.0;
  if (ec == std::errc::result_out_of_range) value = OutOfRangeValue(first, end, format);
  return negative ? -value : value;
}

int NMEAMessageType(std::string_view s) {
  if (s.empty() || s[0] != '$') return MSG_NOT_SENTENCE;
  const SentenceFamily* family = FindSentenceFamily(s);
  return family ? family->type : MSG_UNKNOWN;
}

int NMEACountCommas(std::string_view s) {
  return static_cast<int>(std::count(s.begin(), s.end(), ','));
}

NMEACycle NMEAGetCycle(const SentenceFields& fields) {
  NMEACycle cycle{{MISSING_FIELD, MISSING_FIELD, MISSING_FIELD, MISSING_FIELD}, 0};
  for (int k = 0; k <= 4; ++k) {
    const std::optional<std::string_view> token = fields.Token(k);
    if (!token) {
      cycle.status = MISSING_FIELD;
      break;
    }
    if (k > 0) cycle.f[k - 1] = NMEAReadInt(*token);
  }
  return cycle;
}

int NMEAErrorKind(const SentenceFields& fields) {
  std::optional<std::string_view> kind = fields.Token(2);
  if (!kind) return ERR_KIND_MISSING;
  if (kind->starts_with("CRC")) return ERR_KIND_CRC;
  if (kind->starts_with("NMEA")) return ERR_KIND_NMEA;
  // The whole token must match: "MAXTIMEOUTS*18" is not this kind.
  if (*kind == "MAXTIMEOUTS") return ERR_KIND_MAXTIMEOUTS;
  if (kind->starts_with("TSK_IDLE")) return ERR_KIND_TSK_IDLE;
  if (kind->starts_with("NODATA")) return ERR_KIND_NODATA;
  return ERR_KIND_UNKNOWN;
}

int NMEAConfigParam(const SentenceFields& fields) {
  std::optional<std::string_view> name = fields.Token(1);
  if (!name) return CFG_MISSING;
  const ConfigParam* param = FindConfigParam(*name);
  return param ? param->code : CFG_UNKNOWN;
}

std::optional<int32_t> NMEAConfigValue(const SentenceFields& fields) {
  // The value is the rest after the comma that follows the name, up to the
  // checksum. A report that carries no value at all has none; one that
  // carries something unreadable gives 0, as any other unusable number does.
  std::string_view value = fields.RestAfterToken(1);
  value = value.substr(0, value.find('*'));
  if (value.ends_with('\r')) value.remove_suffix(1);
  if (value.empty()) return std::nullopt;
  return NMEAReadInt(value);
}

std::string NMEARevisionText(const SentenceFields& fields) {
  // After the sentence name and the time.
  std::optional<std::string_view> name = fields.TokenOrStar(2);
  std::optional<std::string_view> version = fields.TokenOrStar(3);
  if (!name || !version) return "Unknown";
  // "%s (%s)": name, then version in brackets.
  std::string text(*name);
  text += " (";
  text += *version;
  text += ")";
  return text;
}

std::string NMEAHexPayload(const uint8_t* bytes, size_t n) {
  static constexpr char HEX_DIGITS[] = "0123456789abcdef";
  std::string hex(2 * n, '\0');
  for (size_t i = 0; i < n; ++i) {
    hex[2 * i] = HEX_DIGITS[bytes[i] >> 4];
    hex[2 * i + 1] = HEX_DIGITS[bytes[i] & 0x0F];
  }
  return hex;
}

std::string NMEATxdSentence(int32_t source, int32_t destination, int32_t ack, const uint8_t* bytes,
                            size_t n) {
  return BuildSentenceLine(MSG_CCTXD, {source, destination, ack, NMEAHexPayload(bytes, n)});
}

std::string NMEAErrorText(int code) {
  for (const NmeaErrorEntry& entry : NMEA_ERRORS) {
    if (entry.code == code) return std::string(entry.interpreterText);
  }
  return std::string(NMEA_ERROR_FALLBACK);
}

std::string NMEAEmulatorErrorText(int code) {
  for (const NmeaErrorEntry& entry : NMEA_ERRORS) {
    if (entry.code == code) return std::string(entry.emulatorText);
  }
  return {};
}

}  // namespace tw
