// CCL frame announcements, the compressed coordinate and the state position;
// the vehicle message names the CCL and MIT-OE families share.
#include "frames/ccl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "frames/mitoe.h"

namespace tw::test {
namespace {

using Lines = std::vector<std::string>;

DataFrame Frame(int source, const std::vector<uint8_t>& bytes) {
  DataFrame frame;
  frame.source = source;
  frame.kind = KIND_CCL;
  std::copy(bytes.begin(), bytes.end(), frame.payload.begin());
  frame.length = static_cast<int32_t>(bytes.size());
  return frame;
}

Lines Decode(const DataFrame& frame, bool showData = true) {
  Lines lines;
  DecodeCclFrame(frame, showData, [&](const std::string& line) { lines.push_back(line); });
  return lines;
}

TEST(CclFrameDecoding, NamesTheTypeByteAsAWholeByte) {
  EXPECT_EQ(Decode(Frame(3, {6})), Lines{"CCL[3]: got MDAT_EMPTY frame."});
  EXPECT_EQ(Decode(Frame(12, {0x12, 1, 2})), Lines{"CCL[12]: got MDAT_LAST frame."});
  // 0x8E would be MDAT_STATE if the top bit were masked off.
  for (uint8_t type : {0x05, 0x13, 0x8E, 0xFF}) {
    EXPECT_EQ(Decode(Frame(4, {type, 1, 2, 3, 4, 5, 6})), Lines{"CCL[4]: unknown frametype!"});
  }
}

TEST(CompressedCoordinate, ScaleAndSign) {
  EXPECT_EQ(DecodeCompressedCoordinate({0xFF, 0xFF, 0x7F}), 180.0);
  EXPECT_DOUBLE_EQ(DecodeCompressedCoordinate({0x00, 0x00, 0x80}), -180.00002145767468);
  EXPECT_EQ(DecodeCompressedCoordinate({0x00, 0x00, 0x00}), 0.0);
  EXPECT_DOUBLE_EQ(DecodeCompressedCoordinate({0x01, 0x00, 0x00}), 2.145767467709478e-05);
  EXPECT_DOUBLE_EQ(DecodeCompressedCoordinate({0xFF, 0xFF, 0xFF}), -2.145767467709478e-05);
}

TEST(CclFrameDecoding, StateShowsLatitudeThenLongitudeOnlyWithShowData) {
  // Latitude 0x123456 = 1193046 -> 25.59999; longitude 0xF6789A = -624486 -> -13.40002.
  const DataFrame state = Frame(7, {14, 0x56, 0x34, 0x12, 0x9A, 0x78, 0xF6, 0xEE});
  EXPECT_EQ(Decode(state), (Lines{"CCL[7]: got MDAT_STATE frame.", "CCL: Latitude:   25.59999",
                                  "CCL: Longitude: -13.40002"}));
  EXPECT_EQ(Decode(state, false), Lines{"CCL[7]: got MDAT_STATE frame."});
}

TEST(CclFrameDecoding, ShortFramesAreNotReadPastTheirLength) {
  // Seven bytes hold both coordinates; six do not.
  DataFrame state = Frame(2, {14, 0x56, 0x34, 0x12, 0x9A, 0x78, 0xF6});
  EXPECT_EQ(Decode(state), (Lines{"CCL[2]: got MDAT_STATE frame.", "CCL: Latitude:   25.59999",
                                  "CCL: Longitude: -13.40002"}));
  state.length = 6;
  EXPECT_EQ(Decode(state), (Lines{"CCL[2]: got MDAT_STATE frame.", "CCL[2]: frame too short."}));
  // Without showData no position is needed, so the frame is long enough.
  EXPECT_EQ(Decode(state, false), Lines{"CCL[2]: got MDAT_STATE frame."});

  state.length = 0;
  EXPECT_EQ(Decode(state), Lines{"CCL[2]: frame too short."});
  state.length = -5;
  EXPECT_EQ(Decode(state), Lines{"CCL[2]: frame too short."});

  // A length beyond the payload is held to the payload.
  state.length = 100000;
  EXPECT_EQ(Decode(state).size(), 3u);
}

TEST(VehicleMessageNames, BothFamiliesNameSixToSeventeenAlike) {
  std::set<std::string> names;
  for (int type = 6; type <= 17; ++type) {
    ASSERT_NE(CclTypeName(type), nullptr) << type;
    ASSERT_NE(MitoeTypeName(type), nullptr) << type;
    EXPECT_STREQ(CclTypeName(type), MitoeTypeName(type)) << type;
    names.insert(CclTypeName(type));
  }
  EXPECT_EQ(names.size(), 12u);  // no two types share a name
}

TEST(VehicleMessageNames, EachFamilyAddsOnlyItsOwnTypes) {
  EXPECT_STREQ(CclTypeName(18), "MDAT_LAST");
  EXPECT_STREQ(MitoeTypeName(18), "MDAT_STATE2");
  EXPECT_EQ(CclTypeName(255), nullptr);
  EXPECT_STREQ(MitoeTypeName(255), "SONAR");
  for (int type = 0; type < 256; ++type) {
    if (type >= 6 && type <= 18) continue;
    EXPECT_EQ(CclTypeName(type), nullptr) << type;
    if (type != 255) {
      EXPECT_EQ(MitoeTypeName(type), nullptr) << type;
    }
  }
  // A family's own name for a type comes before the shared one.
  const VehicleMessageType own[] = {{14, "OWN_STATE"}};
  EXPECT_STREQ(VehicleTypeName(14, own), "OWN_STATE");
  EXPECT_STREQ(VehicleTypeName(15, own), "MDAT_ERROR");
  EXPECT_EQ(VehicleTypeName(5, own), nullptr);
}

}  // namespace
}  // namespace tw::test
