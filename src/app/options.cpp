#include "app/options.h"

#include <charconv>
#include <cstdlib>

#include "app/command_table.h"
#include "core/commands.h"
#include "core/paths.h"

namespace tw {

namespace {

// Splits "--name=value" into name and value; plain "--name" has no value.
std::pair<std::string, std::optional<std::string>> SplitOption(const std::string& arg) {
  const auto eq = arg.find('=');
  if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
    return {arg.substr(0, eq), arg.substr(eq + 1)};
  }
  return {arg, std::nullopt};
}

// The number --menu names, or nothing when the text is not a number.
// Numbers beyond any command's are kept as 0 (no command has it).
std::optional<int> ParseMenuId(const std::string& text) {
  if (text.empty()) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    if (value <= 65535) value = value * 10 + (c - '0');
  }
  return value > 65535 ? 0 : value;
}

bool IsMenuCommand(int id) {
  for (const MenuEntry& e : MainMenuTable()) {
    if (e.kind == MenuKind::Item && e.id == id) return true;
  }
  return false;
}

// "max", or a number of times the recorded pace from 0.01 to 100000.
std::optional<double> ParseReplaySpeed(const std::string& text) {
  if (text == "max") return 0.0;
  double speed = 0.0;
  const char* end = text.data() + text.size();
  const auto [rest, error] = std::from_chars(text.data(), end, speed);
  if (text.empty() || error != std::errc() || rest != end) return std::nullopt;
  if (!(speed >= 0.01 && speed <= 100000.0)) return std::nullopt;
  return speed;
}

}  // namespace

ParseResult ParseOptions(const std::vector<std::string>& args) {
  Options o;
  for (size_t i = 0; i < args.size(); ++i) {
    auto [name, inlineValue] = SplitOption(args[i]);
    auto value = [&](std::string& out) -> bool {
      if (inlineValue) {
        out = *inlineValue;
        return true;
      }
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    auto bad = [](const std::string& why) { return ParseResult{std::nullopt, why}; };
    std::string v;
    const bool isFlag = name == "--help" || name == "-h" || name == "--version" ||
                        name == "--echo" || name == "--connect" || name == "--emulate" ||
                        name == "--demo" || name == "--list-menu" || name == "--reconnect" ||
                        name == "--list-ports" || name == "--simulate-link" ||
                        name == "--defaults";
    if (isFlag && inlineValue) return bad(name + " takes no value");
    if (name == "--help" || name == "-h") {
      o.help = true;
    } else if (name == "--version") {
      o.version = true;
    } else if (name == "--echo") {
      o.echo = true;
    } else if (name == "--connect") {
      o.menuCommands.push_back(cmd::CONNECT);
    } else if (name == "--emulate") {
      o.emulate = true;
    } else if (name == "--demo") {
      o.demo = true;
    } else if (name == "--list-menu") {
      o.listMenu = true;
    } else if (name == "--reconnect") {
      o.reconnect = true;
    } else if (name == "--list-ports") {
      o.listPorts = true;
    } else if (name == "--simulate-link") {
      o.simulateLink = true;
    } else if (name == "--defaults") {
      o.defaults = true;
    } else if (name == "--emulate-requests") {
      if (!value(v)) return bad("--emulate-requests needs 32, 256 or 32,256");
      if (v == "32") {
        o.request32 = true;
      } else if (v == "256") {
        o.request256 = true;
      } else if (v == "32,256" || v == "256,32") {
        o.request32 = o.request256 = true;
      } else {
        return bad("--emulate-requests expects 32, 256 or 32,256, not '" + v + "'");
      }
    } else if (name == "--config") {
      if (!value(v) || v.empty()) return bad("--config needs a file");
      o.config = PathFromUtf8(v);
    } else if (name == "--home") {
      if (!value(v) || v.empty()) return bad("--home needs a folder");
      o.home = PathFromUtf8(v);
    } else if (name == "--com") {
      if (!value(v)) return bad("--com needs N=DEVICE");
      auto mapping = PortMap::parse(v);
      if (!mapping) return bad("--com expects N=DEVICE with N from 1 to 16, not '" + v + "'");
      o.ports.set(mapping->first, mapping->second);
      o.comPorts.push_back(mapping->first);
    } else if (name == "--menu") {
      if (!value(v)) return bad("--menu needs a command number");
      auto id = ParseMenuId(v);
      if (!id) return bad("--menu expects a command number, not '" + v + "'");
      if (!IsMenuCommand(*id)) {
        return bad("--menu " + v +
                   ": there is no such menu command ('tidewire --list-menu' lists them)");
      }
      o.menuCommands.push_back(*id);
    } else if (name == "--replay") {
      if (!value(v) || v.empty()) return bad("--replay needs an NMEA log file or folder");
      o.replay.push_back(PathFromUtf8(v));
    } else if (name == "--replay-speed") {
      if (!value(v)) return bad("--replay-speed needs a number or max");
      auto speed = ParseReplaySpeed(v);
      if (!speed) {
        return bad("--replay-speed expects a number from 0.01 to 100000 or max, not '" + v + "'");
      }
      o.replaySpeed = *speed;
      o.replaySpeedGiven = true;
    } else if (name == "--summary") {
      // Every argument up to the next option is a log file or folder.
      if (inlineValue) o.summary.push_back(PathFromUtf8(*inlineValue));
      while (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) {
        o.summary.push_back(PathFromUtf8(args[++i]));
      }
      if (o.summary.empty() || (inlineValue && inlineValue->empty())) {
        return bad("--summary needs NMEA log files or folders");
      }
    } else {
      return bad("unknown option '" + args[i] + "'");
    }
  }
  auto bad = [](const std::string& why) { return ParseResult{std::nullopt, why}; };
  if (o.emulate && o.demo) return bad("--emulate and --demo cannot go together");
  if (o.emulate && o.comPorts.size() != 1) {
    return bad("--emulate needs exactly one --com N=DEVICE: the port it serves");
  }
  if ((o.request32 || o.request256) && !o.emulate) {
    return bad("--emulate-requests goes with --emulate");
  }
  if (o.simulateLink && !o.emulate) {
    return bad("--simulate-link goes with --emulate (the demo has it already)");
  }
  if (o.emulate && (!o.menuCommands.empty() || o.echo || o.config)) {
    return bad(
        "--emulate runs without a window: --connect, --menu, --echo and --config do "
        "not apply");
  }
  if (o.reconnect && o.emulate) return bad("--reconnect goes with the window, not --emulate");
  if (o.defaults && o.emulate) return bad("--defaults goes with the window, not --emulate");
  if (o.demo && !o.comPorts.empty()) return bad("--demo makes its own port; leave out --com");
  if (o.demo && o.config) return bad("--demo runs on its own settings; leave out --config");
  if (o.replaySpeedGiven && o.replay.empty()) return bad("--replay-speed goes with --replay");
  if (!o.replay.empty() && (o.emulate || o.demo)) {
    return bad("--replay plays a log in the window; it does not go with --emulate or --demo");
  }
  if (!o.summary.empty() && (o.emulate || o.demo || !o.menuCommands.empty() || o.echo ||
                             o.config || o.reconnect || o.listPorts || o.listMenu ||
                             !o.replay.empty() || o.defaults)) {
    return bad("--summary only reads logs: it goes with no other option");
  }
  return ParseResult{o, ""};
}

std::string UsageText() {
  return "Usage: tidewire [options]\n"
         "Host program for the Veluna acoustic modem.\n"
         "\n"
         "  --help              show this text and exit\n"
         "  --version           show the version and exit\n"
         "  --list-menu         list every menu command: its ID for --menu, its start\n"
         "                      state and its place in the menu; then exit\n"
         "  --home DIR          keep logs and received files under DIR\n"
         "                      (default $TIDEWIRE_HOME, else ~/Tidewire)\n"
         "  --com N=DEVICE      open DEVICE for port COM<N> (N from 1 to 16);\n"
         "                      repeatable; else $TIDEWIRE_COM<N>, else /dev/ttyS<N-1>\n"
         "  --connect           connect to the modem once the window is up\n"
         "  --menu ID           run menu command ID once the window is up; repeatable,\n"
         "                      run in the order given\n"
         "  --echo              also write every terminal line to standard output\n"
         "  --config FILE       load a configuration file before any --menu command\n"
         "  --defaults          start from the default choices, not from those the\n"
         "                      last run saved in Tidewire.twc under the data root\n"
         "                      (this run's choices are saved there at exit)\n"
         "  --reconnect         when the modem port is lost, try it again every 2 s\n"
         "                      and carry on where it was (the NMEA log reopens)\n"
         "  --list-ports        print the serial devices found on this machine and exit\n"
         "  --replay PATH       play back an NMEA log once the window is up: a file, or\n"
         "                      a folder of them, in time order; repeatable. Nothing\n"
         "                      is sent, answered or written meanwhile. Without a\n"
         "                      display (QT_QPA_PLATFORM=offscreen) the program ends\n"
         "                      with the log: exit 0, or 1 when nothing could be read\n"
         "  --replay-speed N|max\n"
         "                      the recorded pace times N (default 1), or max\n"
         "  --demo              start attached to a built-in emulated modem (no hardware\n"
         "                      needed); closing the window ends it\n"
         "  --summary PATH...   summarise NMEA logs (files, or folders of them) without\n"
         "                      a window: time span, sentences, data requests, frames,\n"
         "                      errors, DQF and AGC, ranges, GPS, silent hours; exit\n"
         "\n"
         "Standing in for the modem, with no window:\n"
         "  --emulate --com N=DEVICE\n"
         "                      answer a host program on DEVICE as the modem would; the\n"
         "                      emulator's lines go to standard output; logs go under\n"
         "                      the data root; Ctrl-C or SIGTERM ends it\n"
         "  --emulate-requests 32|256|32,256\n"
         "                      also send 32-byte and/or 256-byte data requests\n"
         "  --simulate-link     also play the far end of an acoustic link: pings\n"
         "                      answered with drifting ranges, noise reports, frames\n"
         "                      from a node, the modem's settings\n";
}

std::string VersionText() { return "Tidewire 3.07\n"; }

std::filesystem::path DataRoot(const Options& options) {
  if (options.home) return *options.home;
  return DefaultDataRoot();
}

}  // namespace tw
