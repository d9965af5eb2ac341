// The check a GPS sentence must pass before it is handed on: a "$GPRMC,"
// sentence with a well-formed position, speed and course. The values read
// serve only this check.
#pragma once

#include <optional>
#include <string_view>

namespace tw {

// The value of a field that failed its check.
constexpr double GPS_INVALID = -999.99;

// What a "$GPRMC," sentence holds: degrees (north and east positive), speed
// and course as written.
struct GpsFix {
  double latitude = GPS_INVALID;
  double longitude = GPS_INVALID;
  double speed = GPS_INVALID;
  double course = GPS_INVALID;
};

// Field `n` of a sentence, counted from 0 (the "$GPRMC" word): a field ends
// at the next ',', at '*' or at the end of the line (a CR before the line
// feed ends it too). Fields after the '*' are the checksum, not data, and
// read as empty, as does a field the sentence does not reach.
std::string_view GPSField(std::string_view sentence, int n);

// A latitude or longitude from its value field and hemisphere field:
// the hemisphere is exactly one of "N", "E" (positive), "S", "W" (negative);
// the value is 6 to 11 characters whose last '.' stands at index 4
// (ddmm.mmmm) or 5 (dddmm.mmmm); the result is sign x (degrees + minutes /
// 60), the minutes being the text from two characters before the '.' on.
// GPS_INVALID when either field fails.
double GPSPosition(std::string_view value, std::string_view hemisphere);

// The fix of a "$GPRMC," sentence whose latitude (fields 3, 4), longitude
// (fields 5, 6), speed (7) and course (8) pass; none for any other sentence
// or when a field fails or reads as GPS_INVALID. The status (field 2) and
// the checksum are not examined.
std::optional<GpsFix> GPSCheckSentence(std::string_view sentence);

}  // namespace tw
