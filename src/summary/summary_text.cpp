#include "summary/summary_text.h"

#include <cmath>
#include <cstdlib>

#include "core/fixed_format.h"
#include "core/paths.h"

namespace tw {

namespace {

// More ranges of silent hours than this are counted, not listed.
constexpr size_t SILENT_RANGES_SHOWN = 40;
constexpr double METRES_PER_NAUTICAL_MILE = 1852.0;

std::string DateTime(const LocalTime& t) {
  return FixedFormat("%02d/%02d/%04d %02d:%02d:%02d", t.month, t.day, t.year, t.hour, t.minute,
                     t.second);
}

std::string HourStart(int64_t hour) {
  const LocalTime t = TimeOfSeconds(hour * 3600);
  return FixedFormat("%02d/%02d/%04d %02d:00", t.month, t.day, t.year, t.hour);
}

std::string Duration(int64_t seconds) {
  const int64_t days = seconds / 86400;
  const int64_t rest = seconds % 86400;
  const std::string clock =
      FixedFormat("%02d:%02d:%02d", static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60),
                  static_cast<int>(rest % 60));
  if (days == 0) return clock;
  return std::to_string(days) + (days == 1 ? " day " : " days ") + clock;
}

std::string Count(int64_t n) { return std::to_string(n); }

std::string SpreadRow(const std::string& name, const ValueSpread& v) {
  return FixedFormat("  %-10s %9.1f %9.1f %9.1f %9s\n", name.c_str(), v.min, v.mean(), v.max,
                     Count(v.count).c_str());
}

std::string Position(const GpsFix& fix) {
  return FixedFormat("%.5f %s %.5f %s", std::fabs(fix.latitude), fix.latitude < 0 ? "S" : "N",
                     std::fabs(fix.longitude), fix.longitude < 0 ? "W" : "E");
}

std::string SilentHoursText(const CruiseSummary& s) {
  std::string out = "Hours with no sentence: " + Count(s.silentHours) + "\n";
  size_t shown = 0;
  for (const CruiseSummary::SilentStretch& stretch : s.silentStretches) {
    if (++shown > SILENT_RANGES_SHOWN) break;
    out += "  " + HourStart(stretch.first) + " to " + HourStart(stretch.first + stretch.hours) +
           " (" + Count(stretch.hours) + (stretch.hours == 1 ? " hour)\n" : " hours)\n");
  }
  if (s.silentStretches.size() > SILENT_RANGES_SHOWN) {
    out += "  ... and " +
           Count(static_cast<int64_t>(s.silentStretches.size() - SILENT_RANGES_SHOWN)) +
           " more stretches\n";
  }
  return out;
}

std::string ProblemsText(const NmeaLogProblems& problems) {
  std::string out;
  if (problems.badRecords > 0) {
    out += "Bad records skipped: " + Count(problems.badRecords) + "; the first at " +
           PathToUtf8(problems.firstBad.file) + " line " + Count(problems.firstBad.line) + ": " +
           problems.firstBadReason + ".\n";
  }
  for (const auto& unreadable : problems.unreadable) {
    out += "Cannot read " + PathToUtf8(unreadable.path) + ": " + unreadable.reason + ".\n";
  }
  return out;
}

}  // namespace

LocalTime TimeOfSeconds(int64_t seconds) {
  // Civil from days, the inverse of NmeaLogSeconds.
  int64_t days = seconds / 86400;
  int64_t rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  const int64_t z = days + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t dayOfEra = z - era * 146097;
  const int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t mp = (5 * dayOfYear + 2) / 153;
  LocalTime t;
  t.day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = static_cast<int>(yearOfEra + era * 400 + (t.month <= 2 ? 1 : 0));
  t.hour = static_cast<int>(rest / 3600);
  t.minute = static_cast<int>(rest / 60 % 60);
  t.second = static_cast<int>(rest % 60);
  return t;
}

std::string CruiseSummaryText(const CruiseSummary& s, size_t files,
                              const NmeaLogProblems& problems) {
  std::string out = "Cruise summary: " + Count(static_cast<int64_t>(files)) +
                    (files == 1 ? " file, " : " files, ") + Count(s.records) + " records\n";
  if (s.records == 0) return out + ProblemsText(problems);
  out += "Time span: " + DateTime(s.first) + " to " + DateTime(s.last) + " (" +
         Duration(s.lastSeconds - s.firstSeconds) + ")\n";

  out += FixedFormat("\nSentences by family %9s %9s\n", "received", "sent");
  for (const FamilyCount& family : s.families) {
    if (family.received == 0 && family.sent == 0) continue;
    out += FixedFormat("  %-17s %9s %9s\n", family.name.c_str(), Count(family.received).c_str(),
                       Count(family.sent).c_str());
  }

  out += "\nData requests: " + Count(s.requests) + " (" + Count(s.requestsAck) +
         " with ACK); answered with a data frame " + Count(s.answeredWithFrame) +
         ", with another sentence " + Count(s.answeredOtherwise) + "; unanswered " +
         Count(s.unanswered) + "\n";
  out += "Frames: " + Count(s.framesSent) + " sent, " + Count(s.framesTransmitted) +
         " transmitted, acknowledged " + Count(s.acksGood) + " OK and " + Count(s.acksBad) +
         " BAD; " + Count(s.framesReceived) + " received\n";
  out += "Errors: CRC " + Count(s.crcErrors) + ", NMEA " + Count(s.nmeaErrors) +
         ", no reply to data request " + Count(s.noDataErrors) + ", a2d hang-up " +
         Count(s.hangUps) + ", max timeouts " + Count(s.timeouts) + ", other " +
         Count(s.otherErrors) + "; modem reverts " + Count(s.reverts) + "\n";
  auto mean = [](const ValueSpread& v) {
    return v.count == 0 ? std::string("none")
                        : FixedFormat("%.1f", v.mean()) + " (" + Count(v.count) + " reports)";
  };
  out += "Mean DQF: " + mean(s.dqf) + "; mean AGC: " + mean(s.agc) + "\n";

  out += FixedFormat("\nRanges (m)   %9s %9s %9s %9s\n", "min", "mean", "max", "replies");
  bool anyRange = false;
  for (size_t k = 0; k < s.channels.size(); ++k) {
    if (s.channels[k].count == 0) continue;
    out += SpreadRow("CH" + std::to_string(k + 1), s.channels[k]);
    anyRange = true;
  }
  for (size_t unit = 0; unit < s.units.size(); ++unit) {
    if (s.units[unit].count == 0) continue;
    out += SpreadRow(FixedFormat("Unit %02d", static_cast<int>(unit)), s.units[unit]);
    anyRange = true;
  }
  if (!anyRange) out += "  none\n";

  out += "\nGPS fixes: " + Count(s.gpsFixes);
  if (s.gpsRecords != s.gpsFixes) out += " (of " + Count(s.gpsRecords) + " GPS records)";
  if (s.gpsFixes > 0) {
    out += "; first " + Position(s.firstFix) + ", last " + Position(s.lastFix) +
           FixedFormat("; first to last %.2f km (%.2f nmi)", s.gpsDistanceMetres / 1000.0,
                       s.gpsDistanceMetres / METRES_PER_NAUTICAL_MILE);
  }
  out += "\n" + SilentHoursText(s);
  const std::string problemsText = ProblemsText(problems);
  if (!problemsText.empty()) out += "\n" + problemsText;
  return out;
}

SummaryRun SummarizeLogs(const std::vector<std::filesystem::path>& inputs) {
  NmeaLogReader reader(inputs);
  CruiseSummarizer summarizer;
  NmeaLogRecord record;
  while (reader.Next(record)) summarizer.Add(record);
  const CruiseSummary summary = summarizer.Finish();
  SummaryRun run;
  run.text = CruiseSummaryText(summary, reader.files().size(), reader.problems());
  run.exitCode = summary.records > 0 ? 0 : 1;
  return run;
}

}  // namespace tw
