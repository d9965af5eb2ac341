// Reading NMEA logs back, record by record: the one reader behind the
// replay and the cruise summary. A record is the line Logs::NMEALogLine
// writes, "port,MM/DD/YYYY,hh:mm:ss,0x0,text" and CR LF, with control bytes
// of the text written as "\xHH".
//
// The reader streams: it holds one buffer of the file it is in, never a
// whole file, and hands out views into it. Files are read in time order (a
// log's name carries the time it was opened). Records that are not in the
// format, are cut short or carry an impossible time are skipped and counted,
// with the place of the first; a file that cannot be read is skipped with
// its reason. The reader never writes anywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/clock.h"

namespace tw {

// Who wrote a record: lines the program sent (source port 0, also the
// emulator's replies), lines received from the modem, accepted GPS fixes.
enum class NmeaRecordKind { Sent, Received, Gps };

struct NmeaLogRecord {
  LocalTime time;
  // The local time as seconds since 1970-01-01 00:00:00 of the same clock,
  // for spans, hours and pacing (no time zone is applied).
  int64_t seconds = 0;
  int source = 0;  // the source port field
  NmeaRecordKind kind = NmeaRecordKind::Received;
  // The line as it went over the link, escapes undone. Valid until the
  // reader's next call.
  std::string_view sentence;
};

// A file and a line in it (lines count from 1).
struct NmeaLogPlace {
  std::filesystem::path file;
  int64_t line = 0;
};

struct NmeaLogProblems {
  int64_t badRecords = 0;
  NmeaLogPlace firstBad;       // where the first bad record was
  std::string firstBadReason;  // what was wrong with it
  struct Unreadable {
    std::filesystem::path path;
    std::string reason;
  };
  std::vector<Unreadable> unreadable;  // files and folders that could not be read
};

// Seconds since 1970-01-01 00:00:00 for a calendar time (proleptic Gregorian).
int64_t NmeaLogSeconds(const LocalTime& time);

// Reads one record's line (without its line end) into `record`; the
// sentence may point into `scratch` when escapes were undone. On failure
// returns false and sets `reason`.
bool ParseNmeaLogRecord(std::string_view line, NmeaLogRecord& record, std::string& scratch,
                        const char*& reason);

// The files behind `inputs`, in time order: a file is taken as named, a
// folder gives the NMEA log files under it ("NMEA-yyyy-mm-dd-hh-mm-ss.CSV",
// its port folders included). A file is ordered by the time in its name, or
// else by its first record's time; the same file named twice is read once.
// Inputs that cannot be read are added to `problems`.
std::vector<std::filesystem::path> NmeaLogFiles(const std::vector<std::filesystem::path>& inputs,
                                                NmeaLogProblems& problems);

class NmeaLogReader {
 public:
  explicit NmeaLogReader(const std::vector<std::filesystem::path>& inputs);
  ~NmeaLogReader();
  NmeaLogReader(const NmeaLogReader&) = delete;
  NmeaLogReader& operator=(const NmeaLogReader&) = delete;

  // The next good record; false at the end of the last file.
  bool Next(NmeaLogRecord& record);

  const std::vector<std::filesystem::path>& files() const { return files_; }
  const NmeaLogProblems& problems() const { return problems_; }
  int64_t goodRecords() const { return goodRecords_; }
  // The place of the record Next returned last.
  NmeaLogPlace place() const;
  // Bytes read so far and the size of all files, for a position in the log.
  uint64_t bytesRead() const { return bytesRead_; }
  uint64_t bytesTotal() const { return bytesTotal_; }

  // One line on the bad records ("" when there were none), e.g.
  // "3 bad records skipped; the first at FILE line 17: no 0x0 field."
  std::string BadRecordsLine() const;

 private:
  bool OpenNext();
  void CloseFile();
  // The next line of the open file without its line end; false at its end.
  bool NextLine(std::string_view& line);
  void Bad(const char* reason);

  NmeaLogProblems problems_;  // before files_, which are found with it
  std::vector<std::filesystem::path> files_;
  size_t nextFile_ = 0;
  size_t currentFile_ = 0;
  std::FILE* file_ = nullptr;
  std::vector<char> buffer_;
  size_t begin_ = 0;  // unread bytes are buffer_[begin_, end_)
  size_t end_ = 0;
  bool eof_ = false;
  int64_t line_ = 0;
  int64_t goodRecords_ = 0;
  uint64_t bytesRead_ = 0;
  uint64_t bytesTotal_ = 0;
  std::string scratch_;
};

}  // namespace tw
