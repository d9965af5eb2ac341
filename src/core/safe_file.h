// Opening files under names that someone else may have put something behind:
// a FIFO that blocks an open until a peer turns up, a device, a folder, or a
// symbolic link into a file the program has no business writing. Every open
// here returns at once, and hands out only regular files, checked on the
// open descriptor itself (a check of the name before the open could be
// overtaken by a swap of the name in between).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace tw {

// Which file a descriptor is: device and inode number (on Windows the
// volume serial number and the file index).
struct FileIdentity {
  uint64_t device = 0;
  uint64_t inode = 0;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

struct OpenedFile {
  std::FILE* file = nullptr;  // null when the open failed or was refused
  bool created = false;       // this open made the file
  FileIdentity identity;
  uint64_t size = 0;    // the file's length when opened
  int error = 0;        // the system's error when the open itself failed
  std::string refusal;  // why a name that opened, or exists, was refused

  // The reason in words: the refusal, else the system's text for `error`.
  std::string Reason() const;
};

// Opens `path` for reading in binary mode. A link is followed (the operator
// named it), but only a regular file is accepted, so a pipe or device can
// neither block the program nor feed it without end.
OpenedFile OpenRegularFileToRead(const std::filesystem::path& path);

// Opens `path` for appending in binary mode, making it when it is missing.
// A symbolic link under the name is never followed, and only a regular file
// is accepted. `created` tells a file made by this open from one that was
// there before.
OpenedFile OpenRegularFileToAppend(const std::filesystem::path& path);

// Makes `path` as a new regular file, open for appending. Fails (error
// EEXIST) when anything already has the name, a link (even a dangling one)
// included, so nothing is ever followed or written through.
OpenedFile CreateRegularFile(const std::filesystem::path& path);

// Opens the regular file already at `path` for appending, never following a
// link under the name and never waiting on a FIFO.
OpenedFile OpenExistingRegularFileToAppend(const std::filesystem::path& path);

// Writes `count` bytes at the end of `file` (opened by
// OpenRegularFileToAppend, no stdio buffering in between), whole or not at
// all: when the disk fills or a write fails part way, the file is cut back
// to `size`, its length before. On success `size` grows by `count`; on
// failure `error` holds the system's error.
bool AppendWhole(std::FILE* file, uint64_t& size, const char* bytes, size_t count, int& error);

// Saves `bytes` as the whole of `path`, or nothing: they go into a new file
// beside it (made with CreateRegularFile), on the disk before that file
// takes the name in one step. On failure the old file under the name is as
// it was, no temporary file is left, and `why` says what went wrong. A
// folder, pipe or device under the name is refused.
bool SaveWholeFile(const std::filesystem::path& path, std::string_view bytes, std::string& why);

}  // namespace tw
