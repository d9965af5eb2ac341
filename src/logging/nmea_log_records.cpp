#include "logging/nmea_log_records.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <limits>
#include <system_error>
#include <utility>

#include "core/paths.h"
#include "core/safe_file.h"
#include "core/visible_text.h"

namespace tw {

namespace fs = std::filesystem;

namespace {

// Longer than any record the log writes (a 599-character line with every
// byte escaped is under 2,600 bytes); a longer line is no record, and is
// skipped without being held whole.
constexpr size_t LINE_MAX = 8192;
constexpr size_t CHUNK = 256 * 1024;
// How much of a file whose name carries no time is read to find its first
// record's time.
constexpr size_t PEEK = 64 * 1024;

constexpr const char* kNotARecord = "not an NMEA log record";
constexpr const char* kBadDate = "impossible date";
constexpr const char* kBadTime = "impossible time";
constexpr const char* kCutShort = "cut short (no line end)";
constexpr const char* kTooLong = "longer than any record";

bool Digits(std::string_view text, size_t at, size_t count, int& value) {
  if (at + count > text.size()) return false;
  value = 0;
  for (size_t i = at; i < at + count; ++i) {
    const char ch = text[i];
    if (ch < '0' || ch > '9') return false;
    value = value * 10 + (ch - '0');
  }
  return true;
}

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int DAYS[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : DAYS[month - 1];
}

bool DateValid(const LocalTime& t) {
  return t.year >= 1970 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
         t.day <= DaysInMonth(t.year, t.month);
}

bool TimeValid(const LocalTime& t) { return t.hour <= 23 && t.minute <= 59 && t.second <= 59; }

int HexValue(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  return -1;
}

// The text with each "\xHH" the log wrote for a control byte turned back
// into the byte. Other backslashes are the line's own and stay.
std::string_view Unescape(std::string_view text, std::string& scratch) {
  if (text.find('\\') == std::string_view::npos) return text;
  scratch.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
      const int high = HexValue(text[i + 2]);
      const int low = HexValue(text[i + 3]);
      if (high >= 0 && low >= 0 && IsEscapedControl(static_cast<unsigned char>(high * 16 + low))) {
        scratch += static_cast<char>(high * 16 + low);
        i += 3;
        continue;
      }
    }
    scratch += text[i];
  }
  return scratch;
}

// The time in a log file's name, "NMEA-yyyy-mm-dd-hh-mm-ss.CSV".
bool NameTime(const fs::path& path, int64_t& seconds) {
  const std::string name = PathToUtf8(path.filename());
  if (name.size() != 28 || name.compare(0, 5, "NMEA-") != 0) return false;
  std::string extension = name.substr(24);
  for (char& ch : extension) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  if (extension != ".CSV") return false;
  LocalTime t;
  const bool digits =
      Digits(name, 5, 4, t.year) && name[9] == '-' && Digits(name, 10, 2, t.month) &&
      name[12] == '-' && Digits(name, 13, 2, t.day) && name[15] == '-' &&
      Digits(name, 16, 2, t.hour) && name[18] == '-' && Digits(name, 19, 2, t.minute) &&
      name[21] == '-' && Digits(name, 22, 2, t.second);
  if (!digits || !DateValid(t) || !TimeValid(t)) return false;
  seconds = NmeaLogSeconds(t);
  return true;
}

// The time of the first good record near the start of a file.
bool FirstRecordTime(const fs::path& path, int64_t& seconds) {
  OpenedFile opened = OpenRegularFileToRead(path);
  if (opened.file == nullptr) return false;
  std::string head(PEEK, '\0');
  head.resize(std::fread(head.data(), 1, head.size(), opened.file));
  std::fclose(opened.file);
  std::string_view rest = head;
  NmeaLogRecord record;
  std::string scratch;
  const char* reason = nullptr;
  for (size_t lf = rest.find('\n'); lf != std::string_view::npos; lf = rest.find('\n')) {
    std::string_view line = rest.substr(0, lf);
    rest.remove_prefix(lf + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (ParseNmeaLogRecord(line, record, scratch, reason)) {
      seconds = record.seconds;
      return true;
    }
  }
  return false;
}

bool IsLogName(const fs::path& path) {
  int64_t seconds = 0;
  return NameTime(path, seconds);
}

}  // namespace

int64_t NmeaLogSeconds(const LocalTime& t) {
  // Days from civil: March-based years put the leap day at a year's end.
  const int64_t year = t.year - (t.month <= 2 ? 1 : 0);
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t monthFromMarch = t.month > 2 ? t.month - 3 : t.month + 9;
  const int64_t dayOfYear = (153 * monthFromMarch + 2) / 5 + t.day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  const int64_t days = era * 146097 + dayOfEra - 719468;
  return days * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

bool ParseNmeaLogRecord(std::string_view line, NmeaLogRecord& record, std::string& scratch,
                        const char*& reason) {
  reason = kNotARecord;
  // Source port: an optional sign and up to nine digits.
  size_t at = line.size() > 0 && line[0] == '-' ? 1 : 0;
  const size_t digitsStart = at;
  int source = 0;
  while (at < line.size() && line[at] >= '0' && line[at] <= '9' && at - digitsStart < 9) {
    source = source * 10 + (line[at] - '0');
    ++at;
  }
  if (at == digitsStart || at >= line.size() || line[at] != ',') return false;
  if (digitsStart == 1) source = -source;
  ++at;
  // "MM/DD/YYYY,hh:mm:ss,0x0," is 24 characters; the text follows.
  const std::string_view stamp = line.substr(at);
  LocalTime t;
  const bool shape = stamp.size() >= 24 && Digits(stamp, 0, 2, t.month) && stamp[2] == '/' &&
                     Digits(stamp, 3, 2, t.day) && stamp[5] == '/' && Digits(stamp, 6, 4, t.year) &&
                     stamp[10] == ',' && Digits(stamp, 11, 2, t.hour) && stamp[13] == ':' &&
                     Digits(stamp, 14, 2, t.minute) && stamp[16] == ':' &&
                     Digits(stamp, 17, 2, t.second) && stamp.substr(19, 5) == ",0x0,";
  if (!shape) return false;
  if (!DateValid(t)) {
    reason = kBadDate;
    return false;
  }
  if (!TimeValid(t)) {
    reason = kBadTime;
    return false;
  }
  record.time = t;
  record.seconds = NmeaLogSeconds(t);
  record.source = source;
  record.sentence = Unescape(stamp.substr(24), scratch);
  record.kind = source == 0                          ? NmeaRecordKind::Sent
                : record.sentence.starts_with("$GP") ? NmeaRecordKind::Gps
                                                     : NmeaRecordKind::Received;
  reason = nullptr;
  return true;
}

std::vector<fs::path> NmeaLogFiles(const std::vector<fs::path>& inputs, NmeaLogProblems& problems) {
  std::vector<fs::path> found;
  for (const fs::path& input : inputs) {
    std::error_code error;
    const fs::file_status status = fs::status(input, error);
    if (error || !fs::exists(status)) {
      problems.unreadable.push_back({input, error ? error.message() : std::strerror(ENOENT)});
      continue;
    }
    if (!fs::is_directory(status)) {
      found.push_back(input);
      continue;
    }
    size_t logs = 0;
    fs::recursive_directory_iterator it(input, fs::directory_options::skip_permission_denied,
                                        error);
    for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
      std::error_code typeError;
      if (it->is_regular_file(typeError) && IsLogName(it->path())) {
        found.push_back(it->path());
        ++logs;
      }
    }
    if (error) {
      problems.unreadable.push_back({input, error.message()});
    } else if (logs == 0) {
      problems.unreadable.push_back({input, "no NMEA log files (NMEA-*.CSV) in the folder"});
    }
  }
  // Each file once, however it was named.
  struct Entry {
    fs::path path;
    fs::path identity;
    int64_t seconds;
    size_t given;
  };
  std::vector<Entry> entries;
  for (size_t i = 0; i < found.size(); ++i) {
    std::error_code error;
    fs::path identity = fs::weakly_canonical(found[i], error);
    if (error) identity = found[i];
    const bool seen = std::any_of(entries.begin(), entries.end(),
                                  [&](const Entry& e) { return e.identity == identity; });
    if (seen) continue;
    int64_t seconds = std::numeric_limits<int64_t>::max();
    if (!NameTime(found[i], seconds)) FirstRecordTime(found[i], seconds);
    entries.push_back({found[i], identity, seconds, i});
  }
  std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    return a.seconds != b.seconds ? a.seconds < b.seconds : a.given < b.given;
  });
  std::vector<fs::path> files;
  files.reserve(entries.size());
  for (Entry& entry : entries) files.push_back(std::move(entry.path));
  return files;
}

NmeaLogReader::NmeaLogReader(const std::vector<fs::path>& inputs)
    : files_(NmeaLogFiles(inputs, problems_)), buffer_(CHUNK + LINE_MAX) {
  for (const fs::path& file : files_) {
    std::error_code error;
    const uintmax_t size = fs::file_size(file, error);
    if (!error) bytesTotal_ += size;
  }
}

NmeaLogReader::~NmeaLogReader() { CloseFile(); }

void NmeaLogReader::CloseFile() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

bool NmeaLogReader::OpenNext() {
  CloseFile();
  while (nextFile_ < files_.size()) {
    currentFile_ = nextFile_++;
    OpenedFile opened = OpenRegularFileToRead(files_[currentFile_]);
    if (opened.file == nullptr) {
      problems_.unreadable.push_back({files_[currentFile_], opened.Reason()});
      continue;
    }
    file_ = opened.file;
    begin_ = end_ = 0;
    eof_ = false;
    line_ = 0;
    return true;
  }
  return false;
}

void NmeaLogReader::Bad(const char* reason) {
  if (problems_.badRecords++ == 0) {
    problems_.firstBad = place();
    problems_.firstBadReason = reason;
  }
}

NmeaLogPlace NmeaLogReader::place() const {
  if (files_.empty() || line_ == 0) return {};
  return {files_[currentFile_], line_};
}

bool NmeaLogReader::NextLine(std::string_view& line) {
  bool overlong = false;
  for (;;) {
    const char* start = buffer_.data() + begin_;
    const auto* lf = static_cast<const char*>(std::memchr(start, '\n', end_ - begin_));
    if (lf != nullptr) {
      const size_t length = static_cast<size_t>(lf - start);
      begin_ += length + 1;
      bytesRead_ += length + 1;
      ++line_;
      if (overlong) {
        Bad(kTooLong);
        overlong = false;
        continue;
      }
      line = std::string_view(start, length);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      return true;
    }
    if (eof_) {
      if (begin_ < end_ || overlong) {
        bytesRead_ += end_ - begin_;
        begin_ = end_;
        ++line_;
        Bad(overlong ? kTooLong : kCutShort);
      }
      return false;
    }
    if (end_ - begin_ >= LINE_MAX) {
      // No record is this long: drop what is held and skip to its line end.
      bytesRead_ += end_ - begin_;
      begin_ = end_ = 0;
      overlong = true;
    }
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
    const size_t got = std::fread(buffer_.data() + end_, 1, CHUNK, file_);
    end_ += got;
    if (got == 0) {
      if (std::ferror(file_) != 0) {
        const int error = errno;
        problems_.unreadable.push_back(
            {files_[currentFile_], error != 0 ? std::strerror(error) : std::string("read failed")});
      }
      eof_ = true;
    }
  }
}

bool NmeaLogReader::Next(NmeaLogRecord& record) {
  for (;;) {
    if (file_ == nullptr && !OpenNext()) return false;
    std::string_view line;
    while (NextLine(line)) {
      const char* reason = nullptr;
      if (ParseNmeaLogRecord(line, record, scratch_, reason)) {
        ++goodRecords_;
        return true;
      }
      Bad(reason);
    }
    CloseFile();
  }
}

std::string NmeaLogReader::BadRecordsLine() const {
  if (problems_.badRecords == 0) return {};
  return std::to_string(problems_.badRecords) +
         (problems_.badRecords == 1 ? " bad record skipped" : " bad records skipped") +
         "; the first at " + PathToUtf8(problems_.firstBad.file) + " line " +
         std::to_string(problems_.firstBad.line) + ": " + problems_.firstBadReason + ".";
}

}  // namespace tw
