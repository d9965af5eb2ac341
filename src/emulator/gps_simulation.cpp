#include "emulator/gps_simulation.h"

#include <cmath>
#include <numbers>

#include "core/fixed_format.h"
#include "protocol/nmea.h"

namespace tw {

namespace {

constexpr double METRES_PER_KNOT_SECOND = 1852.0 / 3600.0;
constexpr double METRES_PER_DEGREE = 1852.0 * 60.0;
// The course swings this many degrees either side of the mean, once in
// this many seconds.
constexpr double COURSE_SWING = 10.0;
constexpr int64_t COURSE_PERIOD_S = 600;

double Radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

// "ddmm.mmmm" (or "dddmm.mmmm" with three degree digits) and its hemisphere.
std::string Position(double degrees, int degreeDigits, char positive, char negative) {
  const double a = std::fabs(degrees);
  int whole = static_cast<int>(a);
  double minutes = (a - whole) * 60.0;
  // Minutes that would print as 60.0000 carry into the degrees.
  if (minutes >= 59.99995) {
    ++whole;
    minutes = 0.0;
  }
  return FixedFormat("%0*d%07.4f,%c", degreeDigits, whole, minutes,
                     degrees < 0 ? negative : positive);
}

}  // namespace

GpsSimulation::GpsSimulation(double latitude, double longitude)
    : latitude_(latitude), longitude_(longitude) {}

std::string GpsSimulation::NextSentence(const LocalTime& t) {
  const double phase = 2.0 * std::numbers::pi * static_cast<double>(seconds_ % COURSE_PERIOD_S) /
                       static_cast<double>(COURSE_PERIOD_S);
  double course = GPS_SIM_COURSE + COURSE_SWING * std::sin(phase);
  if (course < 0.0) course += 360.0;
  const double metres = GPS_SIM_SPEED_KNOTS * METRES_PER_KNOT_SECOND;
  latitude_ += metres * std::cos(Radians(course)) / METRES_PER_DEGREE;
  longitude_ +=
      metres * std::sin(Radians(course)) / (METRES_PER_DEGREE * std::cos(Radians(latitude_)));
  ++seconds_;
  std::string s = FixedFormat("$GPRMC,%02d%02d%02d.00,A,", t.hour, t.minute, t.second) +
                  Position(latitude_, 2, 'N', 'S') + "," + Position(longitude_, 3, 'E', 'W') +
                  FixedFormat(",%.1f,%.1f,%02d%02d%02d,,,A", GPS_SIM_SPEED_KNOTS, course, t.day,
                              t.month, t.year % 100);
  NMEAAppendChecksum(s);
  return s;
}

}  // namespace tw
