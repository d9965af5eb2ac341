// The summary of a cruise: what a week of NMEA logs says about the link,
// counted in one pass over the records (`--summary`).
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "core/clock.h"
#include "gps/gps_sentence.h"
#include "logging/nmea_log_records.h"

namespace tw {

// The sound speed the log's travel times are turned into ranges with: the
// program's start-up value (the log does not record a changed one).
constexpr double SUMMARY_SOUND_SPEED = 1500.0;

// Smallest, largest and mean of a series of values.
struct ValueSpread {
  int64_t count = 0;
  double min = std::numeric_limits<double>::infinity();
  double max = -std::numeric_limits<double>::infinity();
  double sum = 0.0;
  void Add(double value);
  double mean() const { return count > 0 ? sum / static_cast<double>(count) : 0.0; }
};

struct FamilyCount {
  std::string name;  // the family's prefix, e.g. "$CADQF" or "$CADET,1"
  int64_t received = 0;
  int64_t sent = 0;
};

struct CruiseSummary {
  int64_t records = 0;
  LocalTime first, last;
  int64_t firstSeconds = 0, lastSeconds = 0;

  // One row per family of the sentence table, then GPS and everything else,
  // in that order; rows never seen are left out by the text.
  std::vector<FamilyCount> families;

  // Data requests ("$CADRQ") and what the program sent right after each.
  int64_t requests = 0;
  int64_t requestsAck = 0;        // with the acknowledge flag set
  int64_t answeredWithFrame = 0;  // a "$CCTXD" data frame
  int64_t answeredOtherwise = 0;  // another sentence (the custom string)
  int64_t unanswered = 0;

  int64_t framesSent = 0;         // "$CCTXD" sent to the modem
  int64_t framesTransmitted = 0;  // "$CATXF,1": a data packet went out
  int64_t acksGood = 0;           // "$CAACK" reporting the frame OK
  int64_t acksBad = 0;            // ... reporting it BAD
  int64_t framesReceived = 0;     // "$CARXD"

  int64_t crcErrors = 0;  // "$CAERR" CRC and "$CAMSG" BAD_CRC
  int64_t nmeaErrors = 0;
  int64_t noDataErrors = 0;
  int64_t hangUps = 0;   // "$CAERR" TSK_IDLE
  int64_t timeouts = 0;  // "$CAERR" MAXTIMEOUTS
  int64_t otherErrors = 0;
  int64_t reverts = 0;

  ValueSpread dqf, agc;
  std::array<ValueSpread, 4> channels;  // "$SNTTA" travel times, CH1..CH4
  std::array<ValueSpread, 16> units;    // "$CAMPR" replies, by the far unit

  int64_t gpsRecords = 0;
  int64_t gpsFixes = 0;  // those that pass the GPS check
  GpsFix firstFix, lastFix;
  double gpsDistanceMetres = 0.0;  // great circle, first fix to last

  // Clock hours (seconds / 3600) between the first and last record that
  // hold no record at all: their number, and the stretches of them in
  // order (first hour, hours). Kept as stretches, so a record with a far
  // date costs one entry, not one per hour.
  struct SilentStretch {
    int64_t first = 0;
    int64_t hours = 0;
  };
  int64_t silentHours = 0;
  std::vector<SilentStretch> silentStretches;
};

// Great-circle distance in metres between two positions in degrees.
double GreatCircleMetres(double lat1, double lon1, double lat2, double lon2);

class CruiseSummarizer {
 public:
  CruiseSummarizer();
  void Add(const NmeaLogRecord& record);
  // The summary of every record added; call once, at the end.
  CruiseSummary Finish();

 private:
  void AddReceived(const NmeaLogRecord& record, size_t family);
  void AddSent(size_t family);
  void AddGps(const NmeaLogRecord& record);

  CruiseSummary s_;
  std::vector<int64_t> hours_;  // hours seen, one entry per change
  bool requestPending_ = false;
  int64_t requestSeconds_ = 0;
  int localUnit_ = 0;  // from "$CACFG,SRC"; the test cycle pings from 0
};

}  // namespace tw
