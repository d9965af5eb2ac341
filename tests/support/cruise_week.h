// A generated cruise: NMEA logs written through the program's own log
// writer on a driven clock, and the generator's own count of what it wrote,
// for the summary's test and its benchmark. Header only: the benchmark
// links the logic alone.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

#include "core/clock.h"
#include "core/fixed_format.h"
#include "logging/logs.h"
#include "logging/nmea_log_records.h"
#include "summary/summary_text.h"

namespace tw::test {

struct CruiseCounts {
  int64_t records = 0;
  std::map<std::string, int64_t> received, sent;  // by family name
  int64_t requests = 0, requestsAck = 0, answeredWithFrame = 0, answeredOtherwise = 0;
  int64_t unanswered = 0, framesSent = 0, framesTransmitted = 0, acksGood = 0, acksBad = 0;
  int64_t framesReceived = 0, crcErrors = 0, noDataErrors = 0;
  double dqfSum = 0, agcSum = 0;
  int64_t dqfCount = 0, agcCount = 0;
  std::array<double, 4> channelMin{}, channelMax{};
  std::array<int64_t, 4> channelCount{};
  std::array<int64_t, 16> unitCount{};
  int64_t gpsFixes = 0;
  double firstLatitude = 0, lastLatitude = 0;
  int64_t silentHours = 0;
};

// One record every `step` seconds for `days` days from 1 March 2026, into
// <root>/Logs/port1, a new file every hour; hours 50 to 52 of the cruise hold
// nothing (the modem was off). Twelve records make a round: AGC, DQF, a data
// request, its answer (a frame, another sentence, or none), a transmit
// report, an acknowledgement, travel times, a unit's ranged reply, a GPS fix
// a little further north, a received frame, an error or clock tick, and a
// sentence no family names.
// Without `silentGap` the hours 50 to 52 are written like the others.
inline CruiseCounts WriteCruise(const std::filesystem::path& root, int days, int step,
                                bool silentGap = true) {
  CruiseCounts c;
  ManualClock clock;
  const int64_t start = NmeaLogSeconds({2026, 3, 1, 0, 0, 0});
  clock.now = TimeOfSeconds(start);
  Logs logs(clock, root, nullptr);
  logs.LogsInit(3600);
  logs.NMEALogOpen(1);
  int64_t i = 0;
  int64_t requestTime = 0;
  for (int64_t t = 0; t < int64_t{days} * 86400; t += step) {
    if (silentGap && t >= 50 * 3600 && t < 53 * 3600) continue;
    const int64_t r = i / 12;  // the round
    const int slot = static_cast<int>(i % 12);
    ++i;
    // An answer goes out in the second of its request.
    const int64_t when = slot == 3 ? requestTime : t;
    if (slot == 2) requestTime = t;
    clock.now = TimeOfSeconds(start + when);
    clock.ticks = static_cast<uint32_t>(when * 1000);
    const auto write = [&](int port, const std::string& family, const std::string& line) {
      logs.NMEALogLine(port, line);
      ++(port == 0 ? c.sent : c.received)[family];
      ++c.records;
    };
    const std::string hhmmss =
        FixedFormat("%02d%02d%02d", clock.now.hour, clock.now.minute, clock.now.second);
    const int ack = static_cast<int>(r % 2);
    if (slot == 0) {
      const int agc = 100 + static_cast<int>(r % 50);
      write(1, "$CAAGC", "$CAAGC," + std::to_string(agc));
      c.agcSum += agc, ++c.agcCount;
    } else if (slot == 1) {
      const int dqf = 200 + static_cast<int>(r % 55);
      write(1, "$CADQF", FixedFormat("$CADQF,%d,1", dqf));
      c.dqfSum += dqf, ++c.dqfCount;
    } else if (slot == 2) {
      write(1, "$CADRQ", FixedFormat("$CADRQ,%s,1,0,%d,4", hhmmss.c_str(), ack));
      ++c.requests, c.requestsAck += ack;
    } else if (slot == 3 && r % 10 < 8) {
      write(0, "$CCTXD", FixedFormat("$CCTXD,1,0,%d,00010203", ack));
      ++c.answeredWithFrame, ++c.framesSent;
    } else if (slot == 3 && r % 10 == 8) {
      write(0, "$CCCFQ", "$CCCFQ,ALL");
      ++c.answeredOtherwise;
    } else if (slot == 3) {
      write(1, "$CAERR", "$CAERR," + hhmmss + ",NODATA,1");
      ++c.unanswered, ++c.noDataErrors;
    } else if (slot == 4) {
      write(1, "$CATXF,1", "$CATXF,1");
      ++c.framesTransmitted;
    } else if (slot == 5) {
      const int good = r % 7 != 0 ? 1 : 0;
      write(1, "$CAACK", FixedFormat("$CAACK,1,0,%d,%d", static_cast<int>(r % 8), good));
      ++(good ? c.acksGood : c.acksBad);
    } else if (slot == 6) {
      // CH1 and CH3: 150 m to 285 m and twice that.
      const int centi = 10 + static_cast<int>(r % 10);
      write(1, "$SNTTA", FixedFormat("$SNTTA,0.%02d,,0.%02d,", centi, 2 * centi));
      for (size_t k : {size_t{0}, size_t{2}}) {
        const double metres = (k == 0 ? centi : 2 * centi) * 15.0;
        c.channelMin[k] = c.channelCount[k] == 0 ? metres : std::min(c.channelMin[k], metres);
        c.channelMax[k] = std::max(c.channelMax[k], metres);
        ++c.channelCount[k];
      }
    } else if (slot == 7) {
      const int unit = 1 + static_cast<int>(r % 3);
      write(1, "$CAMPR", FixedFormat("$CAMPR,0,%d,0.5", unit));
      ++c.unitCount[static_cast<size_t>(unit)];
    } else if (slot == 8) {
      // North along 122 W, a ten-thousandth of a minute a fix.
      const double minutes = 30.0 + static_cast<double>(c.gpsFixes) * 0.0001;
      write(2, "$GPRMC (GPS)",
            FixedFormat("$GPRMC,%s,A,47%07.4f,N,12200.0000,W,5.0,0.0,010326,,", hhmmss.c_str(),
                        minutes));
      c.lastLatitude = 47.0 + minutes / 60.0;
      if (c.gpsFixes++ == 0) c.firstLatitude = c.lastLatitude;
    } else if (slot == 9) {
      write(1, "$CARXD", "$CARXD,1,0,0,00010203");
      ++c.framesReceived;
    } else if (slot == 10 && r % 20 == 0) {
      write(1, "$CAERR", "$CAERR," + hhmmss + ",CRC,0");
      ++c.crcErrors;
    } else if (slot == 10 && r % 20 == 1) {
      write(1, "$CAMSG", "$CAMSG,BAD_CRC,2");
      ++c.crcErrors;
    } else if (slot == 10) {
      write(1, "$CACLK", "$CACLK," + hhmmss);
    } else {
      write(1, "other", "$CAXYZ,1,2,3");
    }
  }
  logs.LogsCloseAll();
  c.silentHours = silentGap ? 3 : 0;
  return c;
}

}  // namespace tw::test
