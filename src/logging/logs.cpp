#include "logging/logs.h"

#include <stdexcept>
#include <string>
#include <system_error>

#include "core/cformat.h"
#include "core/paths.h"

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
constexpr const char* kRecordFormat = "%d,%02d/%02d/%04d,%02d:%02d:%02d,0x0,%s";
constexpr std::string_view kRecordEnd = "\r\n";

constexpr const char* kOpenErrorText = "ERROR Opening %s \n\r";
constexpr const char* kOpenErrorCaption = "Open Error";

const char* LogNamePattern(std::string_view prefix) {
  if (prefix == "NMEA") return kNmeaLogName;
  if (prefix == "DATA") return kDataLogName;
  throw std::invalid_argument("unknown log file prefix: " + std::string(prefix));
}

// The line as the 600-character working buffer holds it: up to the first NUL,
// at most LOG_LINE_MAX characters, then without trailing CR and LF.
std::string RecordText(std::string_view text) {
  const size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  if (text.size() > LOG_LINE_MAX) text = text.substr(0, LOG_LINE_MAX);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.remove_suffix(1);
  return std::string(text);
}

void CloseFile(std::FILE*& file, std::filesystem::path& path) {
  if (file == nullptr) return;
  std::fflush(file);
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
  const std::string windowsPath = cformat(LogNamePattern(prefix), port, t.year, t.month, t.day,
                                          t.hour, t.minute, t.second, extension);
  return UnderDataRoot(dataRoot_, windowsPath);
}

std::FILE* Logs::OpenLogFile(const char* prefix, int port, const char* extension,
                             std::filesystem::path& openedPath) {
  const std::filesystem::path path = LogFileName(prefix, port, extension);
  // An operator expects logging to work on a fresh machine, so the Logs and
  // port folders are made here. If that fails the open below fails too and
  // reports the path.
  std::error_code ignored;
  std::filesystem::create_directories(path.parent_path(), ignored);
  // Append: a second file opened within the same second gets the same name,
  // and it must not wipe the records of the first. A new name starts empty.
  std::FILE* file = OpenFile(path, "ab");
  if (file == nullptr) {
    if (errorBox_) errorBox_(cformat(kOpenErrorText, PathToUtf8(path).c_str()), kOpenErrorCaption);
    openedPath.clear();
    return nullptr;
  }
  openedPath = path;
  return file;
}

void Logs::NMEALogOpen(int port) {
  logPortNumber_ = port;
  // Opening over an open log must not leave the old file unclosed.
  NMEALogClose();
  nmeaFile_ = OpenLogFile("NMEA", port, "CSV", nmeaPath_);
  if (nmeaFile_ == nullptr) return;
  nmeaOpenedAt_ = clock_.tickCount();
  nmeaRecordCount_ = 0;
}

void Logs::NMEALogClose() { CloseFile(nmeaFile_, nmeaPath_); }

void Logs::DataLogOpen(int port) {
  logPortNumber_ = port;
  DataLogClose();
  dataFile_ = OpenLogFile("DATA", port, "BIN", dataPath_);
}

void Logs::DataLogClose() { CloseFile(dataFile_, dataPath_); }

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
  const std::string line = RecordText(text);
  // Before the open test, so the line that triggers a new file is its first.
  RotateIfDue();
  if (nmeaFile_ == nullptr) return;
  const LocalTime t = clock_.localTime();
  ++nmeaRecordCount_;
  std::string record = cformat(kRecordFormat, sourcePort, t.month, t.day, t.year, t.hour, t.minute,
                               t.second, line.c_str());
  record += kRecordEnd;
  // Write errors are not reported: logging must never stop the link.
  std::fwrite(record.data(), 1, record.size(), nmeaFile_);
  // Flushed at once, so a crash of the program loses no record.
  std::fflush(nmeaFile_);
}

void Logs::DataLogWrite(const uint8_t* bytes, size_t count) {
  if (dataFile_ == nullptr || bytes == nullptr || count == 0) return;
  std::fwrite(bytes, 1, count, dataFile_);
  std::fflush(dataFile_);
}

}  // namespace tw
