#include "frames/acp_files.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "core/fixed_format.h"
#include "core/paths.h"

namespace tw {
namespace fs = std::filesystem;

namespace {

std::string Upper(std::string text) {
  for (char& ch : text) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return text;
}

// Names Windows opens as a device rather than a file, with or without an
// extension ("nul.txt" is NUL): writing a received file there would send its
// bytes to a printer or a serial port, or nowhere. COM and LPT take the
// digits 1..9 and the superscripts 1, 2 and 3.
bool IsDeviceName(const std::string& name) {
  std::string stem = Upper(name.substr(0, name.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL" || stem == "CONIN$" ||
      stem == "CONOUT$") {
    return true;
  }
  if (!stem.starts_with("COM") && !stem.starts_with("LPT")) return false;
  const std::string number = stem.substr(3);
  return (number.size() == 1 && number[0] >= '1' && number[0] <= '9') || number == "\xC2\xB9" ||
         number == "\xC2\xB2" || number == "\xC2\xB3";
}

// Names of the program's own in the data root, where received files go: the
// log folder, configuration files, and the temporary files a configuration
// is saved through. Compared without case, as Windows names are.
bool IsProgramFolderName(const std::string& name) { return Upper(name) == "LOGS"; }
bool IsSaveTemporary(const std::string& name) { return Upper(name).starts_with(".TIDEWIRE-SAVE-"); }
bool IsConfigurationName(const std::string& name) {
  return name.size() > 4 && Upper(name.substr(name.size() - 4)) == ".TWC";
}

bool IsContinuation(char ch) { return (static_cast<unsigned char>(ch) & 0xC0) == 0x80; }

// True when nothing at all (no file, folder or link, dangling or not) has
// this name.
bool NameIsFree(const fs::path& path) {
  std::error_code error;
  return fs::symlink_status(path, error).type() == fs::file_type::not_found;
}

}  // namespace

std::string SafeReceivedName(const std::string& title) {
  std::string name = title;
  const size_t separator = name.find_last_of("/\\");
  if (separator != std::string::npos) name.erase(0, separator + 1);
  const bool drive = name.size() >= 2 && name[1] == ':' &&
                     ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
  if (drive) name.erase(0, 2);
  for (char& ch : name) {
    const auto byte = static_cast<unsigned char>(ch);
    const bool control = byte < 0x20 || byte == 0x7F;
    if (control || std::strchr("<>:\"/\\|?*", ch) != nullptr) ch = '_';
  }
  // Windows drops trailing dots and spaces when it opens a file; dropping
  // them here gives the file the same name on every system, and turns "."
  // and ".." into nothing.
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
  if (name.empty()) return name;
  if (IsDeviceName(name) || IsProgramFolderName(name) || IsSaveTemporary(name)) {
    return "_" + name;
  }
  if (IsConfigurationName(name)) name[name.size() - 4] = '_';
  return name;
}

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
