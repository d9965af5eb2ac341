#include "gps/gps_sentence.h"

#include <cmath>

#include "protocol/nmea.h"

namespace tw {

namespace {

constexpr std::string_view RMC_PREFIX = "$GPRMC,";
constexpr size_t VALUE_MIN = 6;
constexpr size_t VALUE_MAX = 11;

// The sentence's data: everything before the checksum's '*' and before the
// line's CR.
std::string_view DataPart(std::string_view sentence) {
  return sentence.substr(0, sentence.find_first_of("*\r"));
}

// A decimal field as the receiver wrote it; an empty one is no value.
double GPSDecimal(std::string_view field) {
  return field.empty() ? GPS_INVALID : NMEAReadDecimal(field);
}

}  // namespace

std::string_view GPSField(std::string_view sentence, int n) {
  if (n < 0) return {};
  std::string_view data = DataPart(sentence);
  for (int k = 0; k < n; ++k) {
    const size_t comma = data.find(',');
    if (comma == std::string_view::npos) return {};
    data.remove_prefix(comma + 1);
  }
  return data.substr(0, data.find(','));
}

double GPSPosition(std::string_view value, std::string_view hemisphere) {
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
  return sign * (degrees + minutes / 60.0);
}

std::optional<GpsFix> GPSCheckSentence(std::string_view sentence) {
  if (!sentence.starts_with(RMC_PREFIX)) return std::nullopt;
  GpsFix fix;
  fix.latitude = GPSPosition(GPSField(sentence, 3), GPSField(sentence, 4));
  fix.longitude = GPSPosition(GPSField(sentence, 5), GPSField(sentence, 6));
  fix.speed = GPSDecimal(GPSField(sentence, 7));
  fix.course = GPSDecimal(GPSField(sentence, 8));
  for (double v : {fix.latitude, fix.longitude, fix.speed, fix.course}) {
    // "1e999" or "nan" reads as a number, but no map can use it.
    if (v == GPS_INVALID || !std::isfinite(v)) return std::nullopt;
  }
  return fix;
}

}  // namespace tw
