// The operator's choices handed from one run to the next: saved at exit in
// the configuration file format as <data root>/Tidewire.twc, and loaded at
// the next start.
#pragma once

#include <filesystem>
#include <string>

#include "core/settings.h"
#include "serial/port_map.h"

namespace tw {

constexpr const char* REMEMBERED_CHOICES_NAME = "Tidewire.twc";
// Where a file that could not be loaded is kept, beside it: the save at
// exit must not replace what the operator may still put right by hand.
constexpr const char* SET_ASIDE_CHOICES_NAME = "Tidewire.damaged.twc";

std::filesystem::path RememberedChoicesFile(const std::filesystem::path& dataRoot);

struct RememberedLoad {
  bool loaded = false;     // the file's choices were taken
  bool mayReplace = true;  // the save at exit may write over `file`
  std::string line;        // one line for the operator; empty when all went well
};

// `settings` start from the defaults and take the file's choices; the
// devices it chooses for COM numbers go into `devices` when given. A missing
// file leaves the defaults without a word. A file that cannot be taken
// leaves the defaults too, is set aside (SET_ASIDE_CHOICES_NAME) and `line`
// says why; when it cannot be set aside either, it is left alone and must
// not be replaced at exit.
RememberedLoad LoadRememberedChoices(const std::filesystem::path& file, Settings& settings,
                                     PortMap* devices);

// Writes the choices (and the chosen devices) to `file`, whole or nothing,
// making its folder when missing. False with `why` when it could not.
bool SaveRememberedChoices(const std::filesystem::path& file, const Settings& settings,
                           const PortMap* devices, std::string& why);

}  // namespace tw
