#include "config/config_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "core/fixed_format.h"
#include "core/paths.h"
#include "core/safe_file.h"

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
  // Checked on the open file, not on the name before opening: a name
  // swapped for a pipe in between must not block the program.
  const OpenedFile opened = OpenRegularFileToRead(path);
  if (opened.file == nullptr) {
    if (!opened.refusal.empty()) {
      why = opened.refusal;
    } else if (opened.error == ENOENT) {
      why = "the file does not exist";
    } else {
      why = "cannot open it: " + ErrnoText(opened.error);
    }
    return false;
  }
  if (opened.size > limit) {
    std::fclose(opened.file);
    why = FixedFormat("the file is larger than %zu bytes", limit);
    return false;
  }
  // One byte beyond the limit tells a file that grew since its size was read.
  std::vector<char> buffer(limit + 1);
  errno = 0;
  const size_t got = std::fread(buffer.data(), 1, buffer.size(), opened.file);
  const int error = errno;
  const bool failed = std::ferror(opened.file) != 0;
  std::fclose(opened.file);
  if (failed) {
    why = "cannot read it: " + ErrnoText(error);
    return false;
  }
  if (got > limit) {
    why = FixedFormat("the file is larger than %zu bytes", limit);
    return false;
  }
  text.assign(buffer.data(), got);
  return true;
}

bool ReplaceFile(const fs::path& path, const std::string& text, std::string& why) {
  std::error_code ec;
  if (fs::is_directory(fs::status(path, ec))) {
    why = "it is a folder";
    return false;
  }
  // The name itself, not what a link under it leads to: the new file takes
  // the place of the link, and the file the link led to stays as it was.
  const fs::file_status old = fs::symlink_status(path, ec);
  if (fs::exists(old) && !fs::is_regular_file(old) && !fs::is_symlink(old)) {
    // A pipe or device under the name would be swapped for a plain file.
    why = "it is not a plain file";
    return false;
  }
  // Only a plain file hands on its access rights; anything else (a link to
  // a device open to everyone, say) gets the usual ones under the umask.
  const bool replacing = fs::is_regular_file(old);
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
    temp = folder / FixedFormat(".tidewire-save-%08x.tmp", static_cast<unsigned>(random()));
    errno = 0;
    file = CreateNewFile(temp);
    error = errno;
    if (!file && error != EEXIST) break;
  }
  if (!file) {
    why = FixedFormat("cannot create a file in \"%s\": %s", PathToUtf8(folder).c_str(),
                      ErrnoText(error).c_str());
    return false;
  }
  if (!WriteAndClose(file, text)) {
    why = "writing failed: " + ErrnoText(errno);
    fs::remove(temp, ec);
    return false;
  }
  // The new file keeps the access rights the old one had.
  if (replacing) fs::permissions(temp, old.permissions() & fs::perms::all, ec);
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
