// Noise bin frequencies and the "$SNCFR" report.
#include "diagnostics/noise_report.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/fakes.h"

namespace tw::test {
namespace {

using Lines = std::vector<std::string>;

std::string Report(const std::vector<int>& levels, const std::string& tail = "\r") {
  std::string s = "$SNCFR";
  for (int level : levels) s += "," + std::to_string(level);
  return s + tail;
}

TEST(NoiseBinFrequencies, FollowTheModemBand) {
  RunState s;
  // Band C also stands in for a band not reported yet (-1) or unknown.
  for (auto [band, first] : {std::pair{1, 7680}, {2, 12800}, {3, 23040}, {-1, 23040}, {7, 23040}}) {
    s.modemBand = band;
    NoiseBinFrequencies(s);
    for (int i = 0; i < NOISE_BINS; ++i) EXPECT_EQ(s.noiseFrequency[i], first + 320 * i);
  }
}

class NoiseReport : public ::testing::Test {
 protected:
  Lines Show(const std::string& line) {
    ShowNoiseReport(out, state, line);
    Lines shown;
    shown.swap(out.lines);
    return shown;
  }
  RunState& s() { return state; }

  RecordingTextOut out;
  RunState state;
};

TEST_F(NoiseReport, FloorAndPeaksAboveTheTruncatedThreshold) {
  s().noisePeak.fill(1);
  EXPECT_EQ(Show(Report(std::vector<int>(14, -90))),
            Lines{"In-Band Noise Floor Estimate  [-90.0 dBV]"});
  EXPECT_EQ(s().noisePeak, decltype(s().noisePeak){});

  // Floor -98.57: the threshold is -93 (toward zero), so -93 is no peak but -92 is.
  std::vector<int> levels = {-93, -104, -101, -99, -99, -99, -99,
                             -99, -99,  -99,  -99, -99, -99, -92};
  EXPECT_EQ(Show(Report(levels, "*3A\r")), (Lines{"In-Band Noise Floor Estimate  [-98.6 dBV]",
                                                  "Noise Peak:       [-92 dBV] @ [27200 Hz]"}));
  EXPECT_EQ(s().noisePeak[0], 0);
  EXPECT_EQ(s().noisePeak[13], 1);

  s().modemBand = 1;
  levels = std::vector<int>(14, -100);
  levels[4] = -80;
  EXPECT_EQ(Show(Report(levels)), (Lines{"In-Band Noise Floor Estimate  [-98.6 dBV]",
                                         "Noise Peak:       [-80 dBV] @ [8960 Hz]"}));
}

TEST_F(NoiseReport, ShortReportUpdatesLevelsButPrintsNothing) {
  std::vector<int> levels(14, -100);
  levels[2] = -70;
  Show(Report(levels));
  EXPECT_EQ(Show("$SNCFR,-50,,-51,-52\r"), Lines{});
  EXPECT_EQ(s().noiseLevel[2], -52);
  EXPECT_EQ(s().noiseLevel[3], -100);
  EXPECT_EQ(s().noisePeak[2], 1);  // as the last complete report left it

  // Without even a sentence name nothing is worked out, not the frequencies.
  s().modemBand = 2;
  EXPECT_EQ(Show(",,**,"), Lines{});
  EXPECT_EQ(s().noiseFrequency[0], 23040);
}

TEST_F(NoiseReport, GarbledAndOverlongReports) {
  // A field without digits reads as 0 and counts as a level.
  std::string line = "$SNCFR,-90,-90,x";
  for (int i = 0; i < 11; ++i) line += ",-90";
  EXPECT_EQ(Show(line), (Lines{"In-Band Noise Floor Estimate  [-83.6 dBV]",
                               "Noise Peak:       [  0 dBV] @ [23680 Hz]"}));

  // Only the first 256 characters are read.
  std::string padded =
      "$SNCFR" + std::string(240, ',') + Report(std::vector<int>(14, -90)).substr(6);
  EXPECT_EQ(Show(padded), Lines{});

  // Absurd levels still give a floor and no crash.
  EXPECT_EQ(Show(Report(std::vector<int>(14, 2147483647))).size(), 1u);
}

}  // namespace
}  // namespace tw::test
