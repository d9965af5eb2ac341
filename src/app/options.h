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
  // The port numbers given with --com, in command-line order.
  std::vector<int> comPorts;

  // --emulate: stand in for the modem on one port, with no window.
  bool emulate = false;
  // --emulate-requests: which data requests the emulator sends.
  bool request32 = false;
  bool request256 = false;
  // --simulate-link: the emulator also plays the far end of an acoustic link.
  bool simulateLink = false;
  // --demo: a built-in emulated modem on a pseudo-terminal, connected.
  bool demo = false;
  // --config: a configuration file loaded before any --menu command.
  std::optional<std::filesystem::path> config;
  // --list-menu: print every menu command with its path and start state.
  bool listMenu = false;

  // --reconnect: try a lost modem port again every 2 s.
  bool reconnect = false;
  // --defaults: start from the default choices, not the remembered ones.
  bool defaults = false;
  // --list-ports: print the serial devices found and exit.
  bool listPorts = false;

  // --replay: NMEA logs (files, or folders of them) to play back once the
  // window is up, in command-line order.
  std::vector<std::filesystem::path> replay;
  // --replay-speed: the recorded pace times this; 0 for as fast as it goes.
  double replaySpeed = 1.0;
  bool replaySpeedGiven = false;
  // --summary PATH...: summarise these NMEA logs (files or folders) and exit.
  std::vector<std::filesystem::path> summary;

  // The port the emulator serves: the one --com names.
  int emulatePort() const { return comPorts.empty() ? 0 : comPorts.back(); }
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
