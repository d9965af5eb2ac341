#include "frames/acp_files.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "core/fixed_format.h"
#include "core/paths.h"

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

}  // namespace

std::string NumberedReceivedName(const std::string& name, int number) {
  const std::string tag = FixedFormat(" (%d)", number);
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

OpenedFile CreateReceivedFile(const fs::path& folder, const std::string& name,
                              AcpCreatedName& created) {
  created.exhausted = false;
  for (int number = 1; number <= ACP_NAME_NUMBER_MAX; ++number) {
    created.name = number == 1 ? name : NumberedReceivedName(name, number);
    created.path = folder / PathFromUtf8(created.name);
    OpenedFile file = CreateRegularFile(created.path);
    if (file.file != nullptr) return file;
    // Taken by anything: the next number. Any other failure (no room, no
    // right to write) would fail for every name alike.
    if (file.error != EEXIST && NameIsFree(created.path)) return {};
  }
  created.exhausted = true;
  return {};
}

OpenedFile AppendReceivedFile(const fs::path& path, const FileIdentity& identity) {
  OpenedFile file = OpenExistingRegularFileToAppend(path);
  if (file.file != nullptr && !(file.identity == identity)) {
    std::fclose(file.file);
    return {};
  }
  return file;
}

}  // namespace tw
