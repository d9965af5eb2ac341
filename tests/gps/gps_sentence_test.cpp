// The check a GPS sentence must pass: a "$GPRMC," fix marked "A", intact,
// with a position on the globe and a possible speed and course.
#include "gps/gps_sentence.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "protocol/nmea.h"

namespace tw {
namespace {

using Changes = std::vector<std::pair<int, std::string>>;

// $GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A with
// its CR, fields replaced by number; the checksum is made for the changed
// fields unless a tail is given.
std::string Rmc(const Changes& changes = {}, std::optional<std::string> tail = std::nullopt) {
  std::vector<std::string> f = {"$GPRMC", "123519", "A",     "4807.038", "N",     "01131.000",
                                "E",      "022.4",  "084.4", "230394",   "003.1", "W"};
  for (const auto& [field, value] : changes) f[static_cast<size_t>(field)] = value;
  std::string s = f[0];
  for (size_t i = 1; i < f.size(); ++i) s += "," + f[i];
  if (tail) return s + *tail;
  NMEAAppendChecksum(s);
  return s.substr(0, s.size() - 1);  // CR only, as the receiver's taker leaves it
}

struct Row {
  const char* what;
  std::string sentence;
  bool accepted;
};

TEST(GpsSentenceCheck, AcceptsWellFormedFixes) {
  const std::vector<Row> rows = {
      {"the textbook sentence", Rmc({}, "*6A\r"), true},
      {"a lower-case checksum", Rmc({}, "*6a\r"), true},
      {"no checksum", Rmc({}, "\r"), true},
      {"no CR", Rmc({}, "*6A"), true},
      {"latitude of 6 characters", Rmc({{3, "4807.0"}}), true},
      {"latitude with three degree digits", Rmc({{3, "08907.038"}}), true},
      {"longitude with two degree digits", Rmc({{5, "1131.000"}}), true},
      {"11 characters", Rmc({{5, "01131.00012"}}), true},
      {"south and west", Rmc({{4, "S"}, {6, "W"}}), true},
      {"the poles and the date line", Rmc({{3, "9000.000"}, {5, "18000.000"}}), true},
      {"a latitude marked E (one check for both fields)", Rmc({{4, "E"}}), true},
      {"speed and course zero", Rmc({{7, "0.0"}, {8, "0.0"}}), true},
      {"course 360", Rmc({{8, "360.0"}}), true},
      {"speed that is no number reads as 0", Rmc({{7, "abc"}}), true},
      {"sentence ending after the course", "$GPRMC,1,A,4807.038,N,01131.000,E,0.5,12.5\r", true},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(GPSCheckSentence(row.sentence).has_value(), row.accepted) << row.what;
  }
}

TEST(GpsSentenceCheck, RejectsMalformedOrImpossibleFixes) {
  std::vector<Row> rows = {
      {"status V (no fix)", Rmc({{2, "V"}}), false},
      {"no status at all", Rmc({{2, ""}}), false},
      {"a wrong checksum", Rmc({}, "*00\r"), false},
      {"a one-digit checksum", Rmc({}, "*6\r"), false},
      {"a checksum that is no hex", Rmc({}, "*6Z\r"), false},
      {"latitude 91", Rmc({{3, "9100.000"}}), false},
      {"latitude just past the pole", Rmc({{3, "9000.001"}}), false},
      {"minutes of 60", Rmc({{3, "4860.000"}}), false},
      {"9999.999,S,99999.999,W", Rmc({{3, "9999.999"}, {4, "S"}, {5, "99999.999"}, {6, "W"}}),
       false},
      {"longitude 999", Rmc({{5, "99959.999"}}), false},
      {"longitude just past the date line", Rmc({{5, "18000.001"}}), false},
      {"negative minutes", Rmc({{3, "48-7.038"}}), false},
      {"negative degrees", Rmc({{5, "-1131.000"}}), false},
      {"'.' at index 3", Rmc({{3, "807.038"}}), false},
      {"'.' at index 2", Rmc({{5, "11.31000"}}), false},
      {"'.' at index 6", Rmc({{5, "011310.00"}}), false},
      {"no '.'", Rmc({{3, "4807038"}}), false},
      {"last '.' counts", Rmc({{3, "4807.03.8"}}), false},
      {"5 characters", Rmc({{3, "4807."}}), false},
      {"12 characters", Rmc({{5, "01131.000123"}}), false},
      {"empty latitude", Rmc({{3, ""}}), false},
      {"lower-case hemisphere", Rmc({{4, "n"}}), false},
      {"empty hemisphere", Rmc({{6, ""}}), false},
      {"two-letter hemisphere", Rmc({{4, "NS"}}), false},
      {"unknown hemisphere", Rmc({{6, "X"}}), false},
      {"empty speed", Rmc({{7, ""}}), false},
      {"empty course", Rmc({{8, ""}}), false},
      {"course past 360", Rmc({{8, "360.1"}}), false},
      {"course missing, CR after the comma", "$GPRMC,1,A,4807.038,N,01131.000,E,0.5,\r", false},
      {"fields after '*' are no data", "$GPRMC,1,A,4807.038,N*,01131.000,E,0.5,1.0\r", false},
      {"cut short", "$GPRMC,123519,A,4807.038,N\r", false},
      {"no fix yet", "$GPRMC,123519.00,V,,,,,,,230394,,,N*53\r", false},
      {"another sentence", "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r",
       false},
      {"another talker", "$GNRMC" + Rmc().substr(6), false},
      {"no comma after the word", "$GPRMC" + Rmc().substr(7), false},
      {"no '$'", Rmc().substr(1), false},
      {"empty", "", false},
  };
  for (const char* value : {"1e308", "-5", "-720", "-999.99"}) {
    rows.push_back({"speed out of range", Rmc({{7, value}}), false});
    rows.push_back({"course out of range", Rmc({{8, value}}), false});
  }
  for (const Row& row : rows) {
    EXPECT_EQ(GPSCheckSentence(row.sentence).has_value(), row.accepted)
        << row.what << ": " << row.sentence;
  }
}

TEST(GpsSentenceCheck, ReadsDegreesAndMinutesOfBothLayouts) {
  const auto fix = GPSCheckSentence(Rmc());
  ASSERT_TRUE(fix);
  EXPECT_DOUBLE_EQ(fix->latitude, 48 + 7.038 / 60);
  EXPECT_DOUBLE_EQ(fix->longitude, 11 + 31.0 / 60);
  EXPECT_DOUBLE_EQ(fix->speed, 22.4);
  EXPECT_DOUBLE_EQ(fix->course, 84.4);

  EXPECT_DOUBLE_EQ(GPSPosition("08959.99", "N", 90), 89 + 59.99 / 60);
  EXPECT_DOUBLE_EQ(GPSPosition("4807.0", "S", 90), -(48 + 7.0 / 60));
  EXPECT_DOUBLE_EQ(GPSPosition("12345.6789", "W", 180), -(123 + 45.6789 / 60));
  EXPECT_DOUBLE_EQ(GPSPosition("0000.0000", "E", 180), 0.0);
  EXPECT_EQ(GPSPosition("4807.038", "s", 90), GPS_INVALID);
  EXPECT_EQ(GPSPosition("807.038", "N", 90), GPS_INVALID);
}

}  // namespace
}  // namespace tw
