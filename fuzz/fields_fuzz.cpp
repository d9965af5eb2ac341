// The sentence field readers. The number readers are held to the C library:
// NMEAReadInt to strtoll (held to 32 bits), NMEAReadDecimal to strtod on the
// texts both read the same way (plain decimal numbers). The token splitter
// and the field getters must keep to their own rules on any bytes.
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "fuzz/fuzz_support.h"
#include "gps/gps_sentence.h"
#include "protocol/nmea.h"

namespace {

using namespace tw;

[[noreturn]] void Fail(const char* what, const std::string& text) {
  std::fprintf(stderr, "%s differs for \"", what);
  for (unsigned char c : text) std::fprintf(stderr, c >= 32 && c < 127 ? "%c" : "\\x%02x", c);
  std::fprintf(stderr, "\"\n");
  std::abort();
}

void CheckInt(const std::string& text) {
  // strtoll reads up to the first NUL, as a C string would end there.
  const std::string cText(text.c_str());
  errno = 0;
  const long long wide = std::strtoll(cText.c_str(), nullptr, 10);
  const long long held = wide > INT32_MAX ? INT32_MAX : wide < INT32_MIN ? INT32_MIN : wide;
  if (NMEAReadInt(text) != held) Fail("NMEAReadInt", text);
}

// Texts strtod and NMEAReadDecimal read alike: white space, signs, digits,
// points and exponents only (no hexadecimal, no inf or nan words).
bool PlainDecimal(const std::string& text) {
  for (char c : text) {
    if (!std::strchr(" \t\n\v\f\r0123456789.eE+-", c) || c == '\0') return false;
  }
  return true;
}

void CheckDecimal(const std::string& text) {
  const double mine = NMEAReadDecimal(text);
  if (!PlainDecimal(text)) return;
  const double theirs = std::strtod(text.c_str(), nullptr);
  if (std::isnan(theirs) ? !std::isnan(mine) : mine != theirs) Fail("NMEAReadDecimal", text);
}

// The tokens of the one split, ',' and '*' separating, and the ones of ','
// alone: none empty, none holding its separators, no byte lost or added.
void CheckTokens(const std::string& text) {
  const SentenceFields fields(text);
  for (const std::string separators : {",*", ","}) {
    const bool star = separators.size() == 2;
    std::string joined;
    for (int k = 0;; ++k) {
      const std::optional<std::string_view> token = star ? fields.TokenOrStar(k) : fields.Token(k);
      if (!token) break;
      if (token->empty()) Fail("SentenceFields: empty token", text);
      if (token->find_first_of(separators) != std::string_view::npos) {
        Fail("SentenceFields: separator inside a token", text);
      }
      joined += *token;
    }
    std::string kept;
    for (char c : text) {
      if (separators.find(c) == std::string::npos) kept += c;
    }
    if (joined != kept) Fail("SentenceFields: bytes lost or added", text);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  CheckInt(text);
  CheckDecimal(text);
  CheckTokens(text);
  for (int n = 0; n <= 7; ++n) {
    (void)NMEAGetInt(text, n);
    (void)NMEAGetFloat(text, n);
    (void)NMEAGetText(text, n);
  }
  (void)NMEAMessageType(text);
  (void)NMEACountCommas(text);
  return 0;
}
