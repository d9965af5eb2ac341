// A GPS receiver on a ship under way, for the demo: one "$GPRMC" fix a
// second, the position moving at a few knots on a course that wanders a
// little. Deterministic: each call is one second on from the last.
#pragma once

#include <cstdint>
#include <string>

#include "core/clock.h"

namespace tw {

// Where the demo's ship starts (degrees, north and east positive), its
// speed over ground in knots and its mean course in degrees.
constexpr double GPS_SIM_START_LATITUDE = 54.1700;
constexpr double GPS_SIM_START_LONGITUDE = 7.8700;
constexpr double GPS_SIM_SPEED_KNOTS = 4.0;
constexpr double GPS_SIM_COURSE = 45.0;

class GpsSimulation {
 public:
  GpsSimulation(double latitude = GPS_SIM_START_LATITUDE,
                double longitude = GPS_SIM_START_LONGITUDE);

  // The fix for the next second, stamped with `t`: the whole sentence with
  // its checksum and CR LF.
  std::string NextSentence(const LocalTime& t);

  double latitude() const { return latitude_; }
  double longitude() const { return longitude_; }

 private:
  double latitude_;
  double longitude_;
  int64_t seconds_ = 0;
};

}  // namespace tw
