#include "summary/cruise_summary.h"

#include <algorithm>
#include <cmath>

#include "protocol/nmea.h"
#include "protocol/sentence_fields.h"
#include "protocol/sentence_table.h"

namespace tw {

namespace {

// An answer goes out in the poll that read the request, so its record
// follows the request's at once; a second of slack covers a poll that
// straddles the turn of a second.
constexpr int64_t ANSWER_SECONDS = 1;
constexpr double EARTH_RADIUS_METRES = 6371008.8;  // the mean radius

// The row index of a family, or the GPS and "other" rows after the table.
size_t FamilyIndex(const NmeaLogRecord& record) {
  const auto table = SentenceTable();
  if (record.kind == NmeaRecordKind::Gps) return table.size();
  const SentenceFamily* family = FindSentenceFamily(record.sentence);
  if (family == nullptr) return table.size() + 1;
  return static_cast<size_t>(family - table.data());
}

double ToRadians(double degrees) { return degrees * 3.14159265358979323846 / 180.0; }

}  // namespace

void ValueSpread::Add(double value) {
  ++count;
  min = std::min(min, value);
  max = std::max(max, value);
  sum += value;
}

double GreatCircleMetres(double lat1, double lon1, double lat2, double lon2) {
  const double dLat = ToRadians(lat2 - lat1);
  const double dLon = ToRadians(lon2 - lon1);
  const double a = std::sin(dLat / 2) * std::sin(dLat / 2) +
                   std::cos(ToRadians(lat1)) * std::cos(ToRadians(lat2)) * std::sin(dLon / 2) *
                       std::sin(dLon / 2);
  return 2 * EARTH_RADIUS_METRES * std::asin(std::min(1.0, std::sqrt(a)));
}

CruiseSummarizer::CruiseSummarizer() {
  for (const SentenceFamily& family : SentenceTable()) {
    std::string name(family.prefix);
    if (!name.empty() && name.back() == ',') name.pop_back();
    s_.families.push_back({name});
  }
  s_.families.push_back({"$GPRMC (GPS)"});
  s_.families.push_back({"other"});
}

void CruiseSummarizer::Add(const NmeaLogRecord& record) {
  if (s_.records == 0) {
    s_.first = record.time;
    s_.firstSeconds = record.seconds;
  }
  ++s_.records;
  s_.last = record.time;
  s_.lastSeconds = record.seconds;
  const int64_t hour = record.seconds / 3600;
  if (hours_.empty() || hours_.back() != hour) hours_.push_back(hour);

  // Whatever follows a request is its answer when the program sent it at once.
  const bool answers = requestPending_ && record.kind == NmeaRecordKind::Sent &&
                       record.seconds - requestSeconds_ <= ANSWER_SECONDS;
  if (requestPending_ && !answers) ++s_.unanswered;
  requestPending_ = false;

  const size_t family = FamilyIndex(record);
  switch (record.kind) {
    case NmeaRecordKind::Sent:
      ++s_.families[family].sent;
      if (answers) {
        ++(record.sentence.starts_with("$CCTXD,") ? s_.answeredWithFrame : s_.answeredOtherwise);
      }
      AddSent(family);
      break;
    case NmeaRecordKind::Received:
      ++s_.families[family].received;
      AddReceived(record, family);
      break;
    case NmeaRecordKind::Gps:
      ++s_.families[family].received;
      AddGps(record);
      break;
  }
}

void CruiseSummarizer::AddSent(size_t family) {
  const auto table = SentenceTable();
  if (family < table.size() && table[family].type == MSG_CCTXD) ++s_.framesSent;
}

void CruiseSummarizer::AddReceived(const NmeaLogRecord& record, size_t family) {
  const auto table = SentenceTable();
  if (family >= table.size()) return;
  const int type = table[family].type;
  switch (type) {
    case MSG_CAAGC:
    case MSG_CADQF: {
      const int32_t value = NMEAGetInt(record.sentence, 1);
      if (value != MISSING_FIELD) (type == MSG_CAAGC ? s_.agc : s_.dqf).Add(value);
      break;
    }
    case MSG_CADRQ:
      ++s_.requests;
      if (const int32_t ack = NMEAGetInt(record.sentence, 4); ack != 0 && ack != MISSING_FIELD) {
        ++s_.requestsAck;
      }
      requestPending_ = true;
      requestSeconds_ = record.seconds;
      break;
    case MSG_CATXF1:
      ++s_.framesTransmitted;
      break;
    case MSG_CARXD:
      ++s_.framesReceived;
      break;
    case MSG_CAACK: {
      const int32_t good = NMEAGetInt(record.sentence, 4);
      ++(good != 0 && good != MISSING_FIELD ? s_.acksGood : s_.acksBad);
      break;
    }
    case MSG_CAERR:
      switch (NMEAErrorKind(record.sentence)) {
        case ERR_KIND_CRC:
          ++s_.crcErrors;
          break;
        case ERR_KIND_NMEA:
          ++s_.nmeaErrors;
          break;
        case ERR_KIND_NODATA:
          ++s_.noDataErrors;
          break;
        case ERR_KIND_TSK_IDLE:
          ++s_.hangUps;
          break;
        case ERR_KIND_MAXTIMEOUTS:
          ++s_.timeouts;
          break;
        default:
          ++s_.otherErrors;
          break;
      }
      break;
    case MSG_CAMSG:
      if (NMEAGetText(record.sentence, 1).starts_with("BAD_CRC")) ++s_.crcErrors;
      break;
    case MSG_CAREV:
      if (NMEARevisionText(record.sentence).starts_with("INIT")) ++s_.reverts;
      break;
    case MSG_CACFG: {
      const SentenceFields fields(record.sentence);
      if (fields.Text(1) == "SRC") localUnit_ = fields.Int(2);
      break;
    }
    case MSG_SNTTA: {
      const SentenceFields fields(record.sentence);
      for (int k = 1; k <= 4; ++k) {
        const std::string_view text = fields.Text(k);
        if (text.empty()) continue;
        s_.channels[static_cast<size_t>(k - 1)].Add(NMEAReadDecimal(text) * SUMMARY_SOUND_SPEED);
      }
      break;
    }
    case MSG_CAMPR: {
      const SentenceFields fields(record.sentence);
      const int32_t source = fields.Int(1), destination = fields.Int(2);
      const float travel = fields.Float(3);
      if (travel == static_cast<float>(MISSING_FIELD)) break;
      // The far end of the ping: the unit that is not this modem.
      const int32_t far = source == localUnit_ ? destination : source;
      if (far < 0 || far > 15) break;
      s_.units[static_cast<size_t>(far)].Add(static_cast<double>(travel) * SUMMARY_SOUND_SPEED);
      break;
    }
    default:
      break;
  }
}

void CruiseSummarizer::AddGps(const NmeaLogRecord& record) {
  ++s_.gpsRecords;
  const std::optional<GpsFix> fix = GPSCheckSentence(record.sentence);
  if (!fix) return;
  if (s_.gpsFixes++ == 0) s_.firstFix = *fix;
  s_.lastFix = *fix;
}

CruiseSummary CruiseSummarizer::Finish() {
  if (requestPending_) ++s_.unanswered;
  requestPending_ = false;
  if (s_.gpsFixes > 0) {
    s_.gpsDistanceMetres = GreatCircleMetres(s_.firstFix.latitude, s_.firstFix.longitude,
                                             s_.lastFix.latitude, s_.lastFix.longitude);
  }
  std::sort(hours_.begin(), hours_.end());
  hours_.erase(std::unique(hours_.begin(), hours_.end()), hours_.end());
  for (size_t i = 1; i < hours_.size(); ++i) {
    const int64_t gap = hours_[i] - hours_[i - 1] - 1;
    if (gap <= 0) continue;
    s_.silentStretches.push_back({hours_[i - 1] + 1, gap});
    s_.silentHours += gap;
  }
  return s_;
}

}  // namespace tw
