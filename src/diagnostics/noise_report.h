// The modem's noise spectrum report ("$SNCFR"): 14 in-band levels turned into
// a noise-floor estimate and a list of peaks.
#pragma once

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

// Reads the levels of a "$SNCFR" sentence into state.noiseLevel. A complete
// report (14 levels) prints the floor estimate and every bin above it by more
// than 5 dB; a shorter one only updates the levels it carries.
void ShowNoiseReport(TextOut& out, RunState& state, const std::string& line);

}  // namespace tw
