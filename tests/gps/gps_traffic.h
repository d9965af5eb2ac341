// What a GPS receiver sends, second by second, for the end-to-end tests: a
// start without a fix, a stationary fix, then a vessel under way, with the
// sentences a receiver emits each second ($GPRMC, $GPGGA, $GPGSA, $GPGSV,
// $GPGLL), line noise, a boot banner and an over-long proprietary line now
// and then. Each sentence says whether the program is to accept it, from how
// it was made.
#pragma once

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "core/fixed_format.h"
#include "protocol/nmea.h"

namespace tw::test {

struct GpsLine {
  std::string bytes;   // as sent, CR LF included; noise has no '$'
  bool shown = false;  // a sentence the program takes (a whole one that fits)
  bool accepted = false;
};

struct GpsSecond {
  std::vector<GpsLine> lines;
  std::string Stream() const {
    std::string s;
    for (const GpsLine& l : lines) s += l.bytes;
    return s;
  }
};

class GpsTraffic {
 public:
  explicit GpsTraffic(unsigned seed) : random_(seed) {}

  // The receiver's output for second `t` of the run.
  GpsSecond Second(int t) {
    GpsSecond out;
    const std::string time = FixedFormat("%02d%02d%02d.00", 18, 5 + (9 + t) / 60, (9 + t) % 60);
    const bool fix = t >= 10;
    const bool underWay = t >= 30;
    if (t == 0) out.lines.push_back({"GPS receiver boot v2.1\r\n", false, false});
    if (underWay) Move();
    // Receivers differ in how many decimals of a minute they write.
    const int decimals = t < 90 ? 5 : 4;
    const std::string lat = Angle(latitude_, 2, decimals);
    const std::string lon = Angle(-longitude_, 3, decimals);

    if (!fix) {
      Add(out, "$GPRMC," + time + ",V,,,,,,,030307,,,N", false);
    } else if (!underWay) {
      // At rest a receiver leaves the course empty: not a usable fix.
      Add(out, "$GPRMC," + time + ",A," + lat + ",N," + lon + ",W,0.012,,030307,,,A", false);
    } else {
      // Now and then dead reckoning: status V with a full fix, which the
      // receiver itself does not vouch for, is refused.
      const bool valid = t % 37 != 0;
      Add(out,
          "$GPRMC," + time + "," + (valid ? "A" : "V") + "," + lat + ",N," + lon + ",W," +
              FixedFormat("%.3f,%.2f", speed_, course_) + ",030307,,,A",
          valid);
    }
    if (t % 13 == 5) out.lines.push_back({std::string("\xfe\x80~#\x00\x7f\r", 7), false, false});
    Add(out,
        fix ? "$GPGGA," + time + "," + lat + ",N," + lon + ",W,1,08,1.01,12.3,M,-33.1,M,,"
            : "$GPGGA," + time + ",,,,,0,00,99.99,,,,,,",
        false);
    Add(out,
        fix ? "$GPGSA,A,3,12,05,25,29,02,31,18,,,,,,1.87,1.01,1.57"
            : "$GPGSA,A,1,,,,,,,,,,,,,99.99,99.99,99.99",
        false);
    const int gsv = 1 + t % 3;
    for (int k = 1; k <= gsv; ++k) {
      std::string s = FixedFormat("$GPGSV,%d,%d,%02d", gsv, k, gsv * 4);
      for (int sat = 0; sat < 4; ++sat) {
        s += FixedFormat(",%02d,%02d,%03d,%02d", 2 + 7 * sat + k, 10 + Roll(70), Roll(359),
                         fix ? 20 + Roll(25) : 0);
      }
      Add(out, s, false);
    }
    if (t % 41 == 40) {
      std::string text = "$PGTXT,01,";
      while (text.size() < 300) text += "CONFIGURATION-TEXT-";
      out.lines.push_back({text + "*00\r\n", false, false});  // longer than any sentence
    }
    Add(out,
        fix ? "$GPGLL," + lat + ",N," + lon + ",W," + time + ",A,A" : "$GPGLL,,,,," + time + ",V,N",
        false);
    return out;
  }

 private:
  static void Add(GpsSecond& out, std::string sentence, bool accepted) {
    NMEAAppendChecksum(sentence);
    out.lines.push_back({sentence, true, accepted});
  }
  int Roll(int n) { return std::uniform_int_distribution<int>(0, n)(random_); }
  void Move() {
    speed_ = 4.0 + Roll(2000) / 1000.0;
    course_ = std::fmod(course_ + Roll(40) / 10.0 - 2.0 + 360.0, 360.0);
    const double nm = speed_ / 3600.0;  // nautical miles in one second
    latitude_ += nm * std::cos(course_ * M_PI / 180.0) / 60.0;
    longitude_ += nm * std::sin(course_ * M_PI / 180.0) / 60.0 / std::cos(latitude_ * M_PI / 180);
  }
  // ddmm.mmmmm or dddmm.mmmm from degrees.
  static std::string Angle(double degrees, int degreeDigits, int decimals) {
    const int whole = static_cast<int>(degrees);
    const double minutes = (degrees - whole) * 60.0;
    return FixedFormat("%0*d%0*.*f", degreeDigits, whole, decimals + 3, decimals, minutes);
  }

  std::mt19937 random_;
  double latitude_ = 41.5247;    // north
  double longitude_ = -70.6711;  // west
  double speed_ = 0;
  double course_ = 135.0;
};

}  // namespace tw::test
