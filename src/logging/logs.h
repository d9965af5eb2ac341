// The NMEA log (CSV, one record per sentence, a new file every hour or
// 65,536 records) and the binary data log (raw bytes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/clock.h"
#include "core/safe_file.h"

namespace tw {

constexpr size_t LOG_LINE_MAX = 599;
constexpr int32_t NMEA_LOG_MAX_RECORDS = 65536;

class Logs {
 public:
  // Shows a message box (text, caption) when a log file cannot be opened.
  using ErrorBox = std::function<void(const std::string& text, const std::string& caption)>;

  // Told one line when a log fails: a file that cannot be opened, or a
  // write that fails (`closedByWrite`: the log was open and is closed now).
  // The line names the file and the system's reason.
  using FailureLine = std::function<void(const std::string& line, bool closedByWrite)>;

  Logs(const Clock& clock, std::filesystem::path dataRoot, ErrorBox errorBox);
  ~Logs();
  Logs(const Logs&) = delete;
  Logs& operator=(const Logs&) = delete;

  void SetFailureLine(FailureLine failureLine) { failureLine_ = std::move(failureLine); }
  // Told every line handed to NMEALogLine, as the record would hold it
  // (line ends removed, at most LOG_LINE_MAX characters), whether or not the
  // log is open: what is shared over the network follows the log.
  using LineTap = std::function<void(int sourcePort, std::string_view line)>;
  void SetLineTap(LineTap tap) { lineTap_ = std::move(tap); }

  void LogsInit(int32_t rotationSeconds);
  void NMEALogOpen(int port);
  void NMEALogClose();
  void DataLogOpen(int port);
  void DataLogClose();
  void LogsCloseAll();
  void NMEALogLine(int sourcePort, std::string_view text);
  void DataLogWrite(const uint8_t* bytes, size_t count);

  bool nmeaOpen() const { return nmeaFile_ != nullptr; }
  bool dataOpen() const { return dataFile_ != nullptr; }
  int logPortNumber() const { return logPortNumber_; }
  int32_t nmeaRecordCount() const { return nmeaRecordCount_; }
  // Paths of the files now open (empty when closed).
  const std::filesystem::path& nmeaPath() const { return nmeaPath_; }
  const std::filesystem::path& dataPath() const { return dataPath_; }
  // <root>/Logs/port<N>/<PREFIX>-yyyy-mm-dd-hh-mm-ss.<EXT> for the time now.
  std::filesystem::path LogFileName(const char* prefix, int port, const char* extension) const;

 private:
  std::FILE* OpenLogFile(const char* prefix, int port, const char* extension,
                         std::filesystem::path& openedPath, uint64_t& size);
  // True for the file an open of this object made under that name, as this
  // object left it: the same file, of the same length.
  bool MadeHere(const std::filesystem::path& path, const OpenedFile& opened) const;
  void RememberMade(const std::filesystem::path& path, const OpenedFile& opened);
  void CloseLog(std::FILE*& file, std::filesystem::path& path, uint64_t size);
  void RotateIfDue();
  // Writes all of `bytes` in one go or, when the disk is full or the write
  // fails, cuts the file back to its last whole record and closes it with
  // one line, so no record is lost without a word and none is left torn.
  void WriteOrClose(std::FILE*& file, std::filesystem::path& path, uint64_t& size,
                    const char* bytes, size_t count);

  const Clock& clock_;
  std::filesystem::path dataRoot_;
  ErrorBox errorBox_;
  FailureLine failureLine_;
  LineTap lineTap_;
  std::FILE* nmeaFile_ = nullptr;
  std::FILE* dataFile_ = nullptr;
  std::filesystem::path nmeaPath_;
  std::filesystem::path dataPath_;
  uint64_t nmeaSize_ = 0;  // lengths up to the last whole record
  uint64_t dataSize_ = 0;
  // Files the opens of this object made, one per name; only these are ever
  // appended to.
  struct MadeFile {
    std::filesystem::path path;
    FileIdentity identity;
    uint64_t length = 0;
  };
  std::vector<MadeFile> made_;
  uint32_t nmeaOpenedAt_ = 0;
  int32_t nmeaRecordCount_ = 0;
  int32_t rotationSeconds_ = 3600;
  int logPortNumber_ = 0;
};

}  // namespace tw
