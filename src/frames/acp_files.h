// Files written for ACP receptions: the name a received title is written
// under, and the file itself. A received file is always a new file: it never
// replaces, truncates or follows what is already in the receive folder (a
// name that is taken gets a numbered one), and the later frames of a
// reception go only into the file its frame 0 created.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/safe_file.h"

namespace tw {

// The name under which a received file is written, the same on every
// system: the title without any folder or drive part, with '_' for each
// character file names may not hold (control characters and <>:"/\|?*) and
// without trailing dots and spaces. A name that Windows takes for a device
// (CON, NUL, COM1, ...), the log folder "Logs" or a temporary file of a
// configuration save gets a '_' in front; a configuration file's ".twc"
// becomes "_twc". Empty when nothing remains.
std::string SafeReceivedName(const std::string& title);

// The highest number a taken name is tried with.
constexpr int ACP_NAME_NUMBER_MAX = 999;
// The longest file name, in bytes, that every system takes.
constexpr size_t ACP_NAME_BYTES_MAX = 255;

// "report.txt" numbered 2 is "report (2).txt"; ".profile" is ".profile (2)".
// The part before the extension is cut (at a character boundary) so the
// name stays within ACP_NAME_BYTES_MAX.
std::string NumberedReceivedName(const std::string& name, int number);

// Where a received file went: the name and path tried last, which are the
// file's when it is open; `exhausted` when every number up to
// ACP_NAME_NUMBER_MAX was taken.
struct AcpCreatedName {
  std::string name;
  std::filesystem::path path;
  bool exhausted = false;
};

// Creates `name` in `folder` as a new file, or under the first numbered name
// that nothing (file, folder or link) holds.
OpenedFile CreateReceivedFile(const std::filesystem::path& folder, const std::string& name,
                              AcpCreatedName& created);

// Opens `path` to append to it, when it still is the plain file `identity`
// names. A link is not followed; a file put in its place is not opened.
OpenedFile AppendReceivedFile(const std::filesystem::path& path, const FileIdentity& identity);

}  // namespace tw
