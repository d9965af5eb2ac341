// The modem's noise spectrum report ("$SNCFR"): 14 in-band levels turned into
// a noise-floor estimate and a list of peaks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/settings.h"
#include "core/text_out.h"

namespace tw {

// Longest part of a "$SNCFR" sentence that is read; the rest is dropped.
constexpr size_t NOISE_REPORT_MAX = 256;
// Width of one noise bin, Hz.
constexpr int NOISE_BIN_WIDTH = 320;

// Fills state.noiseFrequency with the centre frequency of each bin for
// state.modemBand (band C until the modem has reported its band).
void NoiseBinFrequencies(RunState& state);

// The floor estimate of a complete report and the level a bin must exceed
// to be a peak.
struct NoiseFloor {
  float floor = 0.0f;
  int32_t threshold = 0;
};

// Reads the levels of a "$SNCFR" sentence into state.noiseLevel. A complete
// report (14 levels) prints the floor estimate and every bin above it by more
// than 5 dB, and returns the floor and threshold it used; a shorter one only
// updates the levels it carries and returns nothing.
std::optional<NoiseFloor> ShowNoiseReport(TextOut& out, RunState& state, const std::string& line);

}  // namespace tw
