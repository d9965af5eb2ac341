// The command line: options beyond the menus.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "serial/port_map.h"

namespace tw {

struct Options {
  bool help = false;
  bool version = false;
  bool echo = false;
  std::optional<std::filesystem::path> home;
  PortMap ports;
  // Menu commands to run once the window is up, in command-line order.
  std::vector<int> menuCommands;
};

struct ParseResult {
  std::optional<Options> options;  // empty when the command line is bad
  std::string error;               // what was wrong
};

ParseResult ParseOptions(const std::vector<std::string>& args);
std::string UsageText();
std::string VersionText();

// Where the program keeps its files: --home, else $TIDEWIRE_HOME, else
// ~/Tidewire (C:\Tidewire on Windows).
std::filesystem::path DataRoot(const Options& options);

}  // namespace tw
