#include <cctype>
#include <cstring>
#include <string>

#include "frames/acp.h"

namespace tw {
namespace {

// Names Windows opens as a device rather than a file, with or without an
// extension ("nul.txt" is NUL): writing a received file there would send its
// bytes to a printer or a serial port, or nowhere.
bool IsDeviceName(const std::string& name) {
  std::string stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (char& ch : stem) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL") return true;
  const bool numbered = stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT"));
  return numbered && stem[3] >= '1' && stem[3] <= '9';
}

}  // namespace

std::string SafeReceivedName(const std::string& title) {
  std::string name = title;
  const size_t separator = name.find_last_of("/\\");
  if (separator != std::string::npos) name.erase(0, separator + 1);
  const bool drive = name.size() >= 2 && name[1] == ':' &&
                     ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
  if (drive) name.erase(0, 2);
  std::string safe;
  for (const char ch : name) {
    const auto byte = static_cast<unsigned char>(ch);
    const bool control = byte < 0x20 || byte == 0x7F;
    if (!control && std::strchr("<>:\"/\\|?*", ch) == nullptr) safe += ch;
  }
  // Windows drops trailing dots and spaces when it opens a file; dropping
  // them here gives the file the same name on every system, and turns "."
  // and ".." into nothing.
  while (!safe.empty() && (safe.back() == '.' || safe.back() == ' ')) safe.pop_back();
  if (IsDeviceName(safe)) return {};
  return safe;
}

}  // namespace tw
