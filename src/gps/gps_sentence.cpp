#include "gps/gps_sentence.h"

#include <cmath>

#include "protocol/nmea.h"

namespace tw {

namespace {

constexpr std::string_view RMC_PREFIX = "$GPRMC,";
constexpr size_t VALUE_MIN = 6;
constexpr size_t VALUE_MAX = 11;

// The sentence's data: the framed body (everything before the checksum's
// '*'), up to a CR inside it.
std::string_view DataPart(const FramedLine& framed) {
  return framed.body.substr(0, framed.body.find('\r'));
}

// A decimal field as the receiver wrote it, within `low`..`high`; an empty
// one is no value. "1e999" or "nan" reads as a number but fails the range.
double GPSDecimal(std::string_view field, double low, double high) {
  if (field.empty()) return GPS_INVALID;
  const double value = NMEAReadDecimal(field);
  return value >= low && value <= high ? value : GPS_INVALID;
}

}  // namespace

std::string_view GPSField(std::string_view sentence, int n) {
  return SentenceFields(DataPart(FrameLine(sentence))).Text(n);
}

double GPSPosition(std::string_view value, std::string_view hemisphere, double maxDegrees) {
  if (hemisphere.size() != 1) return GPS_INVALID;
  double sign = 0;
  switch (hemisphere[0]) {
    case 'N':
    case 'E':
      sign = 1;
      break;
    case 'S':
    case 'W':
      sign = -1;
      break;
    default:
      return GPS_INVALID;
  }
  if (value.size() < VALUE_MIN || value.size() > VALUE_MAX) return GPS_INVALID;
  const size_t dot = value.rfind('.');
  if (dot != 4 && dot != 5) return GPS_INVALID;
  // Two or three degree digits, then the minutes with their decimals.
  const double degrees = NMEAReadInt(value.substr(0, dot - 2));
  const double minutes = NMEAReadDecimal(value.substr(dot - 2));
  // A sign inside the value ("-807.038", "48-7.03") or 60 minutes and more
  // is no position; neither is one past the pole or the date line.
  if (degrees < 0 || !(minutes >= 0 && minutes < 60)) return GPS_INVALID;
  const double total = degrees + minutes / 60.0;
  if (total > maxDegrees) return GPS_INVALID;
  return sign * total;
}

std::optional<GpsFix> GPSCheckSentence(std::string_view sentence) {
  if (!sentence.starts_with(RMC_PREFIX)) return std::nullopt;
  // A line damaged on the way fails its checksum; one without '*' has none.
  const FramedLine framed = FrameLine(sentence);
  const SentenceFields f(DataPart(framed));
  if (f.Text(2) != "A" || framed.checksum == LineChecksum::Bad) return std::nullopt;
  GpsFix fix;
  fix.latitude = GPSPosition(f.Text(3), f.Text(4), GPS_LATITUDE_MAX);
  fix.longitude = GPSPosition(f.Text(5), f.Text(6), GPS_LONGITUDE_MAX);
  fix.speed = GPSDecimal(f.Text(7), 0.0, GPS_SPEED_MAX);
  fix.course = GPSDecimal(f.Text(8), 0.0, GPS_COURSE_MAX);
  for (double v : {fix.latitude, fix.longitude, fix.speed, fix.course}) {
    if (v == GPS_INVALID || !std::isfinite(v)) return std::nullopt;
  }
  return fix;
}

}  // namespace tw
