// MIT-OE frame announcements and the state-2 and sonar lines.
#include "frames/mitoe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tw::test {
namespace {

using Lines = std::vector<std::string>;

DataFrame Frame(int source, const std::vector<uint8_t>& bytes) {
  DataFrame frame;
  frame.source = source;
  frame.kind = KIND_MITOE;
  std::copy(bytes.begin(), bytes.end(), frame.payload.begin());
  frame.length = static_cast<int32_t>(bytes.size());
  return frame;
}

Lines Decode(const DataFrame& frame, bool showData = true) {
  Lines lines;
  DecodeMitoeFrame(frame, showData, [&](const std::string& line) { lines.push_back(line); });
  return lines;
}

// Sonar: command 200, 13:05:09, easting 0x00012345 = 74565, northing 0x80000000.
const std::vector<uint8_t> SONAR = {0xFF, 200, 13, 5, 9, 0x45, 0x23, 0x01, 0x00, 0, 0, 0, 0x80};

TEST(MitoeFrameDecoding, NamesTheTypeByteWithItsOwnTable) {
  EXPECT_EQ(Decode(Frame(1, {6})), Lines{"MITOE[1]: got MDAT_EMPTY frame."});
  // MDAT_STATE is only announced in this family, even with showData.
  EXPECT_EQ(Decode(Frame(2, {14, 1, 2, 3, 4, 5, 6})), Lines{"MITOE[2]: got MDAT_STATE frame."});
  for (uint8_t type : {0x05, 0x13, 0xFE}) {
    EXPECT_EQ(Decode(Frame(4, {type})), Lines{"MITOE[4]: unknown frametype!"});
  }
}

TEST(MitoeFrameDecoding, State2PrintsNorthingThenEasting) {
  const DataFrame state2 = Frame(9, {18, 0x12, 0x34, 0x56, 0xFF, 0xFF, 0xFF});
  EXPECT_EQ(Decode(state2),
            (Lines{"MITOE[9]: got MDAT_STATE2 frame.", "STATE2: Northing:  -001.0 meters",
                   "STATE2: Easting:   5649426.0 meters"}));
  EXPECT_EQ(Decode(Frame(9, {18, 5, 0, 0, 0x00, 0x00, 0x80})),
            (Lines{"MITOE[9]: got MDAT_STATE2 frame.", "STATE2: Northing:  -8388608.0 meters",
                   "STATE2: Easting:   0005.0 meters"}));
  EXPECT_EQ(Decode(state2, false), Lines{"MITOE[9]: got MDAT_STATE2 frame."});
}

TEST(MitoeFrameDecoding, SonarPrintsTimeCommandNorthingEasting) {
  EXPECT_EQ(Decode(Frame(6, SONAR)),
            (Lines{"MITOE[6]: got SONAR frame.", "SONAR: [13:05:09]", "SONAR: Command:   200",
                   "SONAR: Northing:  -2147483648.0 meters", "SONAR: Easting:   74565.0 meters"}));
  std::vector<uint8_t> late = SONAR;
  late[2] = 200;  // the hours are shown as sent
  EXPECT_EQ(Decode(Frame(6, late))[1], "SONAR: [200:05:09]");
  EXPECT_EQ(Decode(Frame(6, SONAR), false), Lines{"MITOE[6]: got SONAR frame."});
}

TEST(MitoeFrameDecoding, ShortFramesAreNotReadPastTheirLength) {
  DataFrame state2 = Frame(3, {18, 0x12, 0x34, 0x56, 0xFF, 0xFF, 0xFF});
  state2.length = 6;
  EXPECT_EQ(Decode(state2),
            (Lines{"MITOE[3]: got MDAT_STATE2 frame.", "MITOE[3]: frame too short."}));
  DataFrame sonar = Frame(3, SONAR);
  sonar.length = 12;
  EXPECT_EQ(Decode(sonar), (Lines{"MITOE[3]: got SONAR frame.", "MITOE[3]: frame too short."}));
  EXPECT_EQ(Decode(sonar, false), Lines{"MITOE[3]: got SONAR frame."});
  sonar.length = 0;
  EXPECT_EQ(Decode(sonar), Lines{"MITOE[3]: frame too short."});
}

}  // namespace
}  // namespace tw::test
