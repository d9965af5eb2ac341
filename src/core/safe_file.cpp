#include "core/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>
#ifdef _WIN32
#include <io.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace tw {

namespace fs = std::filesystem;

namespace {

constexpr const char* kLinkRefusal = "the name is a symbolic link, which is never followed";
constexpr const char* kLoopRefusal = "its symbolic links lead round in a loop";
constexpr const char* kFolderRefusal = "it is a folder";
constexpr const char* kNotPlainRefusal = "it is not a plain file";

// After an open failed: what stands under the name, when that explains it
// better than the system's error (a pipe without a reader gives "No such
// device or address", a link "Too many levels of symbolic links", a folder
// on Windows "Permission denied").
std::string WhatIsThere(const fs::path& path, bool followLink) {
  std::error_code ec;
  const fs::file_status status = followLink ? fs::status(path, ec) : fs::symlink_status(path, ec);
  if (ec || !fs::exists(status)) return {};
  if (fs::is_symlink(status)) return kLinkRefusal;
  if (fs::is_directory(status)) return kFolderRefusal;
  if (!fs::is_regular_file(status)) return kNotPlainRefusal;
  return {};
}

#ifdef _WIN32

using Stat = struct _stat64;
int StatOf(int fd, Stat& st) { return _fstat64(fd, &st); }
bool IsRegular(const Stat& st) { return (st.st_mode & _S_IFMT) == _S_IFREG; }
bool IsFolder(const Stat& st) { return (st.st_mode & _S_IFMT) == _S_IFDIR; }
std::FILE* StreamOf(int fd, bool append) { return _wfdopen(fd, append ? L"ab" : L"rb"); }
void CloseDescriptor(int fd) { _close(fd); }

int OpenToRead(const fs::path& path) { return _wopen(path.c_str(), _O_RDONLY | _O_BINARY); }

// No FIFOs to fear here, and links are not made by ordinary users.
constexpr int kAppendFlags = _O_WRONLY | _O_APPEND | _O_BINARY;
int OpenToAppend(const fs::path& path, bool create) {
  return create ? _wopen(path.c_str(), kAppendFlags | _O_CREAT | _O_EXCL, _S_IREAD | _S_IWRITE)
                : _wopen(path.c_str(), kAppendFlags);
}

#else

using Stat = struct stat;
int StatOf(int fd, Stat& st) { return ::fstat(fd, &st); }
bool IsRegular(const Stat& st) { return S_ISREG(st.st_mode); }
bool IsFolder(const Stat& st) { return S_ISDIR(st.st_mode); }
std::FILE* StreamOf(int fd, bool append) { return ::fdopen(fd, append ? "ab" : "rb"); }
void CloseDescriptor(int fd) { ::close(fd); }

// Non-blocking, so a FIFO answers at once instead of waiting for a peer;
// no controlling terminal taken from a tty under the name.
int OpenToRead(const fs::path& path) {
  return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}

// O_CREAT with O_EXCL follows no link at all (a dangling link counts as
// taken); O_NOFOLLOW refuses a link under an existing name.
constexpr int kAppendFlags = O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
int OpenToAppend(const fs::path& path, bool create) {
  return create ? ::open(path.c_str(), kAppendFlags | O_CREAT | O_EXCL, 0666)
                : ::open(path.c_str(), kAppendFlags);
}

#endif

// Checks what the descriptor really is and hands it out as a stream, or
// closes it.
void Finish(OpenedFile& out, int fd, bool append) {
  Stat st{};
  if (StatOf(fd, st) != 0) {
    out.error = errno;
    CloseDescriptor(fd);
    return;
  }
  if (!IsRegular(st)) {
    out.refusal = IsFolder(st) ? kFolderRefusal : kNotPlainRefusal;
    CloseDescriptor(fd);
    return;
  }
#ifdef _WIN32
  BY_HANDLE_FILE_INFORMATION info;
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  if (handle != INVALID_HANDLE_VALUE && GetFileInformationByHandle(handle, &info)) {
    out.identity = {info.dwVolumeSerialNumber,
                    (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
  }
#else
  // A regular file never blocks; the flag was only for the open.
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  out.identity = {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
#endif
  out.size = static_cast<uint64_t>(st.st_size);
  out.file = StreamOf(fd, append);
  if (out.file == nullptr) {
    out.error = errno;
    CloseDescriptor(fd);
  }
}

}  // namespace

std::string OpenedFile::Reason() const {
  if (!refusal.empty()) return refusal;
  return error != 0 ? std::strerror(error) : std::string("unknown error");
}

OpenedFile OpenRegularFileToRead(const fs::path& path) {
  OpenedFile out;
  errno = 0;
  const int fd = OpenToRead(path);
  if (fd < 0) {
    out.error = errno;
    out.refusal = out.error == ELOOP ? kLoopRefusal : WhatIsThere(path, true);
    return out;
  }
  Finish(out, fd, false);
  return out;
}

OpenedFile CreateRegularFile(const fs::path& path) {
  OpenedFile out;
  errno = 0;
  const int fd = OpenToAppend(path, true);
  if (fd < 0) {
    out.error = errno;
    return out;
  }
  out.created = true;
  Finish(out, fd, true);
  return out;
}

OpenedFile OpenExistingRegularFileToAppend(const fs::path& path) {
  OpenedFile out;
  errno = 0;
  const int fd = OpenToAppend(path, false);
  if (fd < 0) {
    out.error = errno;
    if (out.error != ENOENT) out.refusal = WhatIsThere(path, false);
    return out;
  }
  Finish(out, fd, true);
  return out;
}

OpenedFile OpenRegularFileToAppend(const fs::path& path) {
  OpenedFile out;
  // A name removed between the two opens is made again; a few rounds, so a
  // name that keeps changing ends in an error rather than a loop.
  for (int round = 0; round < 3; ++round) {
    out = CreateRegularFile(path);
    if (out.file != nullptr || out.error != EEXIST) return out;
    out = OpenExistingRegularFileToAppend(path);
    if (out.file != nullptr || out.error != ENOENT) return out;
  }
  return out;
}

bool AppendWhole(std::FILE* file, uint64_t& size, const char* bytes, size_t count, int& error) {
#ifdef _WIN32
  const int fd = _fileno(file);
#else
  const int fd = ::fileno(file);
#endif
  size_t done = 0;
  while (done < count) {
    errno = 0;
#ifdef _WIN32
    const size_t chunk = count - done < 0x40000000u ? count - done : 0x40000000u;
    const long long n = _write(fd, bytes + done, static_cast<unsigned>(chunk));
#else
    const long long n = ::write(fd, bytes + done, count - done);
#endif
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    // Nothing written without an error is a full disk as well.
    error = n < 0 && errno != 0 ? errno : ENOSPC;
    // Half a record would glue onto whatever a reader takes next; the file
    // goes back to its last whole record.
#ifdef _WIN32
    _chsize_s(fd, static_cast<long long>(size));
#else
    if (::ftruncate(fd, static_cast<off_t>(size)) != 0) {
      // Nothing more can be done; the write's error is the one to tell.
    }
#endif
    return false;
  }
  size += count;
  return true;
}

bool SaveWholeFile(const fs::path& path, std::string_view bytes, std::string& why) {
  std::error_code ec;
  const fs::file_status old = fs::status(path, ec);
  if (fs::exists(old) && !fs::is_regular_file(old)) {
    why = fs::is_directory(old) ? kFolderRefusal : kNotPlainRefusal;
    return false;
  }
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
  std::random_device random;
  fs::path temp;
  OpenedFile made;
  for (int attempt = 0; attempt < 8 && made.file == nullptr; ++attempt) {
    temp = folder / (".tidewire-save-" + std::to_string(random()) + ".tmp");
    made = CreateRegularFile(temp);
    if (made.file == nullptr && made.error != EEXIST) break;
  }
  if (made.file == nullptr) {
    why = "cannot create a file in the folder: " + made.Reason();
    return false;
  }
  uint64_t size = 0;
  int error = 0;
  bool written = AppendWhole(made.file, size, bytes.data(), bytes.size(), error);
#ifdef _WIN32
  written = written && (_commit(_fileno(made.file)) == 0 || (error = errno, false));
#else
  written = written && (::fsync(::fileno(made.file)) == 0 || (error = errno, false));
#endif
  const bool closed = std::fclose(made.file) == 0;
  if (!written || !closed) {
    why = std::string("writing failed: ") + std::strerror(written ? errno : error);
    fs::remove(temp, ec);
    return false;
  }
  fs::rename(temp, path, ec);
  if (ec) {
    why = "cannot put the new file in place: " + ec.message();
    std::error_code ignored;
    fs::remove(temp, ignored);
    return false;
  }
  return true;
}

}  // namespace tw
