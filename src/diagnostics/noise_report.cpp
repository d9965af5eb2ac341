#include "diagnostics/noise_report.h"

#include <cstdint>
#include <string_view>

#include "core/fixed_format.h"
#include "protocol/config_params.h"
#include "protocol/nmea.h"

namespace tw {

namespace {

// The bins sit in band C while the modem's band is not known.
constexpr int FALLBACK_CENTRE_HZ = FindModemBand(3)->centreHz;
// A bin is a peak when its level is above the floor by more than this.
constexpr double PEAK_MARGIN_DB = 5.0;

// Toward zero, held inside 32 bits: a garbled report with huge levels must
// not make the conversion undefined.
int32_t Truncate(double value) {
  if (!(value > INT32_MIN)) return INT32_MIN;
  if (!(value < INT32_MAX)) return INT32_MAX;
  return static_cast<int32_t>(value);
}

}  // namespace

void NoiseBinFrequencies(RunState& state) {
  const ModemBand* band = FindModemBand(state.modemBand);
  const int fc = band ? band->centreHz : FALLBACK_CENTRE_HZ;
  // The 14 bins sit symmetrically about fc: bins 6 and 7 are centred half a
  // bin below and above it.
  for (int i = 0; i < NOISE_BINS; ++i) {
    state.noiseFrequency[i] = fc - (NOISE_BINS - 1) * NOISE_BIN_WIDTH / 2 + NOISE_BIN_WIDTH * i;
  }
}

std::optional<NoiseFloor> ShowNoiseReport(TextOut& out, RunState& s, const std::string& line) {
  // ',' and '*' both separate, so the checksum is never read into a level.
  const auto tokens = SentenceFields(std::string_view(line).substr(0, NOISE_REPORT_MAX)).Tokens();
  if (tokens.empty()) return std::nullopt;  // not even the sentence name
  NoiseBinFrequencies(s);

  float sum = 0.0f;
  int n = 0;
  for (int i = 0; i < NOISE_BINS; ++i) {
    const size_t at = static_cast<size_t>(i) + 1;
    if (at >= tokens.size()) continue;  // this bin keeps its last level
    s.noiseLevel[i] = NMEAReadInt(tokens[at]);
    sum += static_cast<float>(s.noiseLevel[i]);
    ++n;
  }
  // Only a complete spectrum gives a floor; the peaks stay as last reported.
  if (n != NOISE_BINS) return std::nullopt;

  const float floor = sum / static_cast<float>(NOISE_BINS);
  out.PrintLine(FixedFormat("In-Band Noise Floor Estimate  [%5.1f dBV]", floor));
  const auto threshold = Truncate(floor + PEAK_MARGIN_DB);
  for (int i = 0; i < NOISE_BINS; ++i) {
    s.noisePeak[i] = s.noiseLevel[i] > threshold ? 1 : 0;
    if (s.noisePeak[i]) {
      out.PrintLine(FixedFormat("Noise Peak:       [%3d dBV] @ [%d Hz]", s.noiseLevel[i],
                                s.noiseFrequency[i]));
    }
  }
  return NoiseFloor{floor, threshold};
}

}  // namespace tw
