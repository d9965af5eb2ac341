#include "config/config_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <vector>

#include "core/cformat.h"
#include "core/paths.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace tw {

namespace {

constexpr int TEMP_NAME_TRIES = 8;

std::string ErrnoText(int error) {
  return error != 0 ? std::string(std::strerror(error)) : std::string("unknown error");
}

// A new file that did not exist before ("x"), so that an unlucky name never
// overwrites someone else's file.
std::FILE* CreateNewFile(const fs::path& path) {
#ifdef _WIN32
  return _wfopen(path.c_str(), L"wbx");
#else
  return std::fopen(path.c_str(), "wbx");
#endif
}

// Data of a closed file is on the disk only after a sync; without one, a
// power cut just after the rename could leave an empty file in its place.
bool SyncToDisk(std::FILE* file) {
#ifdef _WIN32
  (void)file;
  return true;
#else
  return ::fsync(::fileno(file)) == 0;
#endif
}

void SyncFolder(const fs::path& folder) {
#ifndef _WIN32
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
#else
  (void)folder;
#endif
}

bool WriteAndClose(std::FILE* file, const std::string& text) {
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size() &&
                       std::fflush(file) == 0 && SyncToDisk(file);
  const int error = errno;
  const bool closed = std::fclose(file) == 0;
  if (!written) errno = error;
  return written && closed;
}

}  // namespace

bool ReadWholeFile(const fs::path& path, size_t limit, std::string& text, std::string& why) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (!fs::exists(status)) {
    why = "the file does not exist";
    return false;
  }
  // A pipe or device could block the program or never end.
  if (!fs::is_regular_file(status)) {
    why = "it is not a plain file";
    return false;
  }
  const uintmax_t size = fs::file_size(path, ec);
  if (!ec && size > limit) {
    why = cformat("the file is larger than %zu bytes", limit);
    return false;
  }
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    why = "cannot open it: " + ErrnoText(errno);
    return false;
  }
  // One byte beyond the limit tells a file that grew since its size was read.
  std::vector<char> buffer(limit + 1);
  in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
  if (in.bad()) {
    why = "cannot read it: " + ErrnoText(errno);
    return false;
  }
  const auto got = static_cast<size_t>(in.gcount());
  if (got > limit) {
    why = cformat("the file is larger than %zu bytes", limit);
    return false;
  }
  text.assign(buffer.data(), got);
  return true;
}

bool ReplaceFile(const fs::path& path, const std::string& text, std::string& why) {
  std::error_code ec;
  const fs::file_status old = fs::status(path, ec);
  if (fs::is_directory(old)) {
    why = "it is a folder";
    return false;
  }
  const bool replacing = fs::exists(old);
  if (replacing && (old.permissions() & fs::perms::owner_write) == fs::perms::none) {
    why = "the file is read-only";
    return false;
  }
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");

  std::random_device random;
  fs::path temp;
  std::FILE* file = nullptr;
  int error = 0;
  for (int attempt = 0; attempt < TEMP_NAME_TRIES && !file; ++attempt) {
    temp = folder / cformat(".tidewire-save-%08x.tmp", static_cast<unsigned>(random()));
    errno = 0;
    file = CreateNewFile(temp);
    error = errno;
    if (!file && error != EEXIST) break;
  }
  if (!file) {
    why = cformat("cannot create a file in \"%s\": %s", PathToUtf8(folder).c_str(),
                  ErrnoText(error).c_str());
    return false;
  }
  if (!WriteAndClose(file, text)) {
    why = "writing failed: " + ErrnoText(errno);
    fs::remove(temp, ec);
    return false;
  }
  // The new file keeps the access rights the old one had.
  if (replacing) fs::permissions(temp, old.permissions(), ec);
  fs::rename(temp, path, ec);
  if (ec) {
    why = "cannot put the new file in place: " + ec.message();
    std::error_code ignored;
    fs::remove(temp, ignored);
    return false;
  }
  SyncFolder(folder);
  return true;
}

}  // namespace tw
