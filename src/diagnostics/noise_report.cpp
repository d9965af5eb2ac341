#include "diagnostics/noise_report.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

#include "app/cformat.h"

namespace tw {

namespace {

constexpr int BAND_A = 1;
constexpr int BAND_B = 2;
constexpr int CENTRE_A = 9760;
constexpr int CENTRE_B = 14880;
constexpr int CENTRE_C = 25120;
// A bin is a peak when its level is above the floor by more than this.
constexpr double PEAK_MARGIN_DB = 5.0;

// Splits at ',' and '*'; a run of separators is one, so no token is empty.
class Tokens {
 public:
  explicit Tokens(std::string_view s) : s_(s) {}
  std::optional<std::string_view> Next() {
    const size_t start = s_.find_first_not_of(",*", pos_);
    if (start == std::string_view::npos) {
      pos_ = s_.size();
      return std::nullopt;
    }
    const size_t end = std::min(s_.find_first_of(",*", start), s_.size());
    pos_ = end;
    return s_.substr(start, end - start);
  }

 private:
  std::string_view s_;
  size_t pos_ = 0;
};

// Leading blanks, an optional sign and the digits that follow; anything else
// ends the number (a CR, checksum digits), and no digits at all read as 0.
int32_t LevelValue(std::string_view token) {
  size_t i = 0;
  while (i < token.size() && (token[i] == ' ' || (token[i] >= '\t' && token[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < token.size() && (token[i] == '+' || token[i] == '-')) negative = token[i++] == '-';
  int64_t magnitude = 0;
  for (; i < token.size() && token[i] >= '0' && token[i] <= '9'; ++i) {
    magnitude = std::min<int64_t>(magnitude * 10 + (token[i] - '0'), int64_t{INT32_MAX} + 1);
  }
  const int64_t value = negative ? -magnitude : std::min<int64_t>(magnitude, INT32_MAX);
  return static_cast<int32_t>(value);
}

// Toward zero, held inside 32 bits: a garbled report with huge levels must
// not make the conversion undefined.
int32_t Truncate(double value) {
  if (!(value > INT32_MIN)) return INT32_MIN;
  if (!(value < INT32_MAX)) return INT32_MAX;
  return static_cast<int32_t>(value);
}

}  // namespace

void NoiseBinFrequencies(Settings& settings) {
  const int fc = settings.modemBand == BAND_A   ? CENTRE_A
                 : settings.modemBand == BAND_B ? CENTRE_B
                                                : CENTRE_C;
  // The 14 bins sit symmetrically about fc: bins 6 and 7 are centred half a
  // bin below and above it.
  for (int i = 0; i < NOISE_BINS; ++i) {
    settings.noiseFrequency[i] = fc - (NOISE_BINS - 1) * NOISE_BIN_WIDTH / 2 + NOISE_BIN_WIDTH * i;
  }
}

void ShowNoiseReport(Program& program, const std::string& line) {
  Settings& s = program.settings;
  Tokens tokens(std::string_view(line).substr(0, NOISE_REPORT_MAX));
  if (!tokens.Next()) return;  // not even the sentence name
  NoiseBinFrequencies(s);

  float sum = 0.0f;
  int n = 0;
  for (int i = 0; i < NOISE_BINS; ++i) {
    const auto token = tokens.Next();
    if (!token) continue;  // this bin keeps its last level
    s.noiseLevel[i] = LevelValue(*token);
    sum += static_cast<float>(s.noiseLevel[i]);
    ++n;
  }
  // Only a complete spectrum gives a floor; the peaks stay as last reported.
  if (n != NOISE_BINS) return;

  const float floor = sum / static_cast<float>(NOISE_BINS);
  program.PrintLine(cformat("In-Band Noise Floor Estimate  [%5.1f dBV]", floor));
  const auto threshold = Truncate(floor + PEAK_MARGIN_DB);
  for (int i = 0; i < NOISE_BINS; ++i) {
    s.noisePeak[i] = s.noiseLevel[i] > threshold ? 1 : 0;
    if (s.noisePeak[i]) {
      program.PrintLine(
          cformat("Noise Peak:       [%3d dBV] @ [%d Hz]", s.noiseLevel[i], s.noiseFrequency[i]));
    }
  }
}

}  // namespace tw
