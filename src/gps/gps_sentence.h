// The check a GPS sentence must pass before it is handed on: a "$GPRMC,"
// sentence that the receiver marks as a fix, arrived intact, with a position
// on the globe and a possible speed and course. The values read serve only
// this check.
#pragma once

#include <optional>
#include <string_view>

namespace tw {

// The value of a field that failed its check.
constexpr double GPS_INVALID = -999.99;

// Largest degrees of a latitude and of a longitude.
constexpr double GPS_LATITUDE_MAX = 90.0;
constexpr double GPS_LONGITUDE_MAX = 180.0;
// Fastest speed over ground believed, in knots: civil receivers stop giving
// fixes above 1000 knots, so a larger value is a corrupted field.
constexpr double GPS_SPEED_MAX = 1000.0;
// Largest course, in degrees (360 is north as well as 0).
constexpr double GPS_COURSE_MAX = 360.0;

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
// The degrees must not be negative, the minutes must lie in 0 up to (not
// including) 60, and degrees + minutes / 60 must not pass `maxDegrees`.
// GPS_INVALID when either field fails.
double GPSPosition(std::string_view value, std::string_view hemisphere, double maxDegrees);

// The fix of a "$GPRMC," sentence whose status (field 2) is "A" (the
// receiver has a fix: "V" says it has none), whose checksum, when it has a
// '*', is two hex digits matching the data, and whose latitude (fields 3, 4;
// at most GPS_LATITUDE_MAX), longitude (fields 5, 6; at most
// GPS_LONGITUDE_MAX), speed (7; 0 to GPS_SPEED_MAX) and course (8; 0 to
// GPS_COURSE_MAX) pass; none for any other sentence or when a check fails.
// A sentence without a '*' carries no checksum and passes that check.
std::optional<GpsFix> GPSCheckSentence(std::string_view sentence);

}  // namespace tw
