#include "frames/acp_files.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "core/cformat.h"
#include "core/paths.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tw {
namespace fs = std::filesystem;

namespace {

bool IsContinuation(char ch) { return (static_cast<unsigned char>(ch) & 0xC0) == 0x80; }

// True when nothing at all (no file, folder or link, dangling or not) has
// this name.
bool NameIsFree(const fs::path& path) {
  std::error_code error;
  return fs::symlink_status(path, error).type() == fs::file_type::not_found;
}

int CreateExclusive(const fs::path& path) {
#ifdef _WIN32
  // CREATE_NEW underneath: fails on any name that exists, links included.
  return _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                _S_IREAD | _S_IWRITE);
#else
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
#endif
}

int OpenToAppend(const fs::path& path) {
#ifdef _WIN32
  return _wopen(path.c_str(), _O_WRONLY | _O_APPEND | _O_BINARY | _O_NOINHERIT);
#else
  // O_NONBLOCK: a FIFO put in the file's place must not hold the program
  // until someone reads it; it is refused as not the same file below.
  return ::open(path.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
#endif
}

}  // namespace

AcpOpenFile::~AcpOpenFile() { Close(); }

AcpOpenFile& AcpOpenFile::operator=(AcpOpenFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

bool AcpOpenFile::Write(const uint8_t* data, size_t count) {
  while (count > 0 && fd_ >= 0) {
#ifdef _WIN32
    const int written = _write(fd_, data, static_cast<unsigned>(count));
#else
    const ssize_t written = ::write(fd_, data, count);
    if (written < 0 && errno == EINTR) continue;
#endif
    if (written <= 0) return false;
    data += written;
    count -= static_cast<size_t>(written);
  }
  return count == 0;
}

bool AcpOpenFile::Close() {
  if (fd_ < 0) return true;
#ifdef _WIN32
  const bool ok = _close(fd_) == 0;
#else
  const bool ok = ::close(fd_) == 0;
#endif
  fd_ = -1;
  return ok;
}

bool AcpOpenFile::Identity(AcpFileIdentity& identity) const {
  if (fd_ < 0) return false;
#ifdef _WIN32
  BY_HANDLE_FILE_INFORMATION info;
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd_));
  if (handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle, &info)) return false;
  identity.volume = info.dwVolumeSerialNumber;
  identity.index = (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
#else
  struct stat status;
  if (::fstat(fd_, &status) != 0) return false;
  identity.volume = static_cast<uint64_t>(status.st_dev);
  identity.index = static_cast<uint64_t>(status.st_ino);
#endif
  return true;
}

bool AcpOpenFile::IsRegular() const {
  if (fd_ < 0) return false;
#ifdef _WIN32
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd_));
  return handle != INVALID_HANDLE_VALUE && GetFileType(handle) == FILE_TYPE_DISK;
#else
  struct stat status;
  return ::fstat(fd_, &status) == 0 && S_ISREG(status.st_mode);
#endif
}

std::string NumberedReceivedName(const std::string& name, int number) {
  const std::string tag = cformat(" (%d)", number);
  const size_t dot = name.rfind('.');
  const size_t cut = dot == std::string::npos || dot == 0 ? name.size() : dot;
  std::string stem = name.substr(0, cut);
  const std::string extension = name.substr(cut);
  const size_t room =
      ACP_NAME_BYTES_MAX - std::min(ACP_NAME_BYTES_MAX, tag.size() + extension.size());
  if (stem.size() > room) {
    size_t keep = room;
    while (keep > 0 && IsContinuation(stem[keep])) --keep;
    stem.resize(keep);
  }
  return stem + tag + extension;
}

AcpOpenFile CreateReceivedFile(const fs::path& folder, const std::string& name,
                               AcpCreatedName& created) {
  created.exhausted = false;
  for (int number = 1; number <= ACP_NAME_NUMBER_MAX; ++number) {
    created.name = number == 1 ? name : NumberedReceivedName(name, number);
    created.path = folder / PathFromUtf8(created.name);
    AcpOpenFile file(CreateExclusive(created.path));
    if (file.IsOpen()) return file;
    // Taken by anything: the next number. Any other failure (no room, no
    // right to write) would fail for every name alike.
    if (errno != EEXIST && NameIsFree(created.path)) return {};
  }
  created.exhausted = true;
  return {};
}

AcpOpenFile AppendReceivedFile(const fs::path& path, const AcpFileIdentity& identity) {
  AcpOpenFile file(OpenToAppend(path));
  AcpFileIdentity now;
  if (!file.IsOpen() || !file.IsRegular() || !file.Identity(now) || !(now == identity)) return {};
  return file;
}

}  // namespace tw
