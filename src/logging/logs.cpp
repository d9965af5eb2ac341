#include "logging/logs.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>
#include <system_error>

#include "core/fixed_format.h"
#include "core/paths.h"
#include "core/visible_text.h"

namespace tw {

namespace {

// File names are built with the program's Windows paths and then moved under
// the data root, so the names are the same on every platform.
constexpr const char* kNmeaLogName =
    "C:\\Tidewire\\Logs\\port%d\\NMEA-%04d-%02d-%02d-%02d-%02d-%02d.%s";
constexpr const char* kDataLogName =
    "C:\\Tidewire\\Logs\\port%d\\DATA-%04d-%02d-%02d-%02d-%02d-%02d.%s";

// The record ends in CR LF on every platform; the file is opened in binary
// mode and the line end is written here rather than left to a text stream.
// A record is "%d,%02d/%02d/%04d,%02d:%02d:%02d,0x0,%s": port, date, time and line.
constexpr std::string_view kRecordEnd = "\r\n";

constexpr const char* kOpenErrorText = "ERROR Opening %s \n\r";
constexpr const char* kOpenErrorCaption = "Open Error";
constexpr const char* kOpenFailedLine = "Error: Can't open log file '%s': %s.";
constexpr const char* kWriteFailedLine = "Error: Writing log file '%s' failed: %s. Log closed.";
constexpr const char* kForeignFileReason =
    "the name is taken by a file this run did not make; it is left as it is";

// The system's reason for the last failure, in its own words.
std::string Reason(int error) {
  return error != 0 ? std::strerror(error) : std::string("unknown error");
}

const char* LogNamePattern(std::string_view prefix) {
  if (prefix == "NMEA") return kNmeaLogName;
  if (prefix == "DATA") return kDataLogName;
  throw std::invalid_argument("unknown log file prefix: " + std::string(prefix));
}

// The line as the 600-character working buffer holds it: at most
// LOG_LINE_MAX characters, then without trailing CR and LF. Control bytes
// left inside are escaped when the record is built.
std::string_view RecordText(std::string_view text) {
  if (text.size() > LOG_LINE_MAX) text = text.substr(0, LOG_LINE_MAX);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.remove_suffix(1);
  return text;
}

bool HasControls(std::string_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](char ch) { return IsEscapedControl(static_cast<unsigned char>(ch)); });
}

// The longest record: the port and the time at their widest, the longest
// line with every byte escaped, and the line end.
constexpr size_t RECORD_MAX = 128 + LOG_LINE_MAX * ESCAPE_WIDTH + kRecordEnd.size();

void CloseFile(std::FILE*& file, std::filesystem::path& path) {
  if (file == nullptr) return;
  std::fclose(file);
  file = nullptr;
  path.clear();
}

}  // namespace

Logs::Logs(const Clock& clock, std::filesystem::path dataRoot, ErrorBox errorBox)
    : clock_(clock), dataRoot_(std::move(dataRoot)), errorBox_(std::move(errorBox)) {}

Logs::~Logs() { LogsCloseAll(); }

void Logs::LogsInit(int32_t rotationSeconds) {
  // Files left open from an earlier run of this object are closed, not leaked.
  LogsCloseAll();
  rotationSeconds_ = rotationSeconds;
  nmeaRecordCount_ = 0;
}

std::filesystem::path Logs::LogFileName(const char* prefix, int port, const char* extension) const {
  const LocalTime t = clock_.localTime();
  const std::string windowsPath =
      FixedFormat(RuntimeFormat{LogNamePattern(prefix)}, port, t.year, t.month, t.day, t.hour,
                  t.minute, t.second, extension);
  return UnderDataRoot(dataRoot_, windowsPath);
}

bool Logs::MadeHere(const std::filesystem::path& path, const OpenedFile& opened) const {
  return std::any_of(made_.begin(), made_.end(), [&](const MadeFile& made) {
    return made.path == path && made.identity == opened.identity && made.length == opened.size;
  });
}

void Logs::RememberMade(const std::filesystem::path& path, const OpenedFile& opened) {
  std::erase_if(made_, [&](const MadeFile& made) { return made.path == path; });
  made_.push_back({path, opened.identity, opened.size});
}

void Logs::CloseLog(std::FILE*& file, std::filesystem::path& path, uint64_t size) {
  if (file == nullptr) return;
  for (MadeFile& made : made_) {
    if (made.path == path) made.length = size;
  }
  CloseFile(file, path);
}

std::FILE* Logs::OpenLogFile(const char* prefix, int port, const char* extension,
                             std::filesystem::path& openedPath, uint64_t& size) {
  const std::filesystem::path path = LogFileName(prefix, port, extension);
  // An operator expects logging to work on a fresh machine, so the Logs and
  // port folders are made here. If that fails the open below fails too and
  // reports the path and the reason.
  std::error_code folderError;
  std::filesystem::create_directories(path.parent_path(), folderError);
  // Never through a link, never into a pipe or device: a name under the
  // log folder must not make the program write into some other file.
  OpenedFile opened = OpenRegularFileToAppend(path);
  if (opened.file != nullptr && opened.created) RememberMade(path, opened);
  // Append: a second file opened within the same second gets the same name,
  // and it must not wipe the records of the first. Only a file this object
  // made is appended to; any other is left alone.
  if (opened.file != nullptr && !opened.created && !MadeHere(path, opened)) {
    std::fclose(opened.file);
    opened.file = nullptr;
    opened.refusal = kForeignFileReason;
  }
  if (opened.file == nullptr) {
    // A folder that could not be made leaves the open only "no such file";
    // the folder's own reason (read-only, full, ...) says more.
    const std::string reason = opened.refusal.empty() && opened.error == ENOENT && folderError
                                   ? Reason(folderError.value())
                                   : opened.Reason();
    // The line first: a box may wait for a click, the terminal does not.
    if (failureLine_) {
      failureLine_(FixedFormat(kOpenFailedLine, PathToUtf8(path).c_str(), reason.c_str()), false);
    }
    if (errorBox_)
      errorBox_(FixedFormat(kOpenErrorText, PathToUtf8(path).c_str()), kOpenErrorCaption);
    openedPath.clear();
    return nullptr;
  }
  openedPath = path;
  size = opened.size;
  return opened.file;
}

void Logs::NMEALogOpen(int port) {
  logPortNumber_ = port;
  // Opening over an open log must not leave the old file unclosed.
  NMEALogClose();
  nmeaFile_ = OpenLogFile("NMEA", port, "CSV", nmeaPath_, nmeaSize_);
  if (nmeaFile_ == nullptr) return;
  nmeaOpenedAt_ = clock_.tickCount();
  nmeaRecordCount_ = 0;
}

void Logs::NMEALogClose() { CloseLog(nmeaFile_, nmeaPath_, nmeaSize_); }

void Logs::DataLogOpen(int port) {
  logPortNumber_ = port;
  DataLogClose();
  dataFile_ = OpenLogFile("DATA", port, "BIN", dataPath_, dataSize_);
}

void Logs::DataLogClose() { CloseLog(dataFile_, dataPath_, dataSize_); }

void Logs::LogsCloseAll() {
  NMEALogClose();
  DataLogClose();
}

void Logs::RotateIfDue() {
  if (nmeaFile_ == nullptr) return;
  // Unsigned difference: still right after the tick counter wraps at 2^32.
  const uint32_t age = clock_.tickCount() - nmeaOpenedAt_;
  const bool full = nmeaRecordCount_ > NMEA_LOG_MAX_RECORDS - 1;
  const bool old = static_cast<int64_t>(age) > static_cast<int64_t>(rotationSeconds_) * 1000;
  if (!full && !old) return;
  NMEALogClose();
  NMEALogOpen(logPortNumber_);
}

void Logs::NMEALogLine(int sourcePort, std::string_view text) {
  const std::string_view line = RecordText(text);
  if (lineTap_) lineTap_(sourcePort, line);
  // Before the open test, so the line that triggers a new file is its first.
  RotateIfDue();
  if (nmeaFile_ == nullptr) return;
  const LocalTime t = clock_.localTime();
  ++nmeaRecordCount_;
  // Built in place, piece by piece: a record is written for every sentence.
  FixedText<RECORD_MAX> record;
  record.Decimal(sourcePort).Append(",").Decimal(t.month, 2, '0').Append("/");
  record.Decimal(t.day, 2, '0').Append("/").Decimal(t.year, 4, '0').Append(",");
  record.Decimal(t.hour, 2, '0').Append(":").Decimal(t.minute, 2, '0').Append(":");
  record.Decimal(t.second, 2, '0').Append(",0x0,");
  // A NUL would cut the record short for a C reader, a CR inside the line
  // would look like a record end: control bytes are written as "\xHH".
  if (HasControls(line)) {
    record.Append(VisibleControls(line));
  } else {
    record.Append(line);
  }
  record.Append(kRecordEnd);
  WriteOrClose(nmeaFile_, nmeaPath_, nmeaSize_, record.data(), record.size());
}

void Logs::DataLogWrite(const uint8_t* bytes, size_t count) {
  if (dataFile_ == nullptr || bytes == nullptr || count == 0) return;
  WriteOrClose(dataFile_, dataPath_, dataSize_, reinterpret_cast<const char*>(bytes), count);
}

// A failed write never stops the link, but the operator is told once and
// the log is closed, so its menu offers "Start" again. Written straight to
// the file, unbuffered, so a crash of the program loses no record, and a
// full disk shows at the record that did not fit rather than at close.
void Logs::WriteOrClose(std::FILE*& file, std::filesystem::path& path, uint64_t& size,
                        const char* bytes, size_t count) {
  int error = 0;
  if (AppendWhole(file, size, bytes, count, error)) return;
  const std::string line =
      FixedFormat(kWriteFailedLine, PathToUtf8(path).c_str(), Reason(error).c_str());
  CloseLog(file, path, size);
  if (failureLine_) failureLine_(line, true);
}

}  // namespace tw
