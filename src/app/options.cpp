#include "app/options.h"

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
                        name == "--list-ports";
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
  if (o.emulate && (!o.menuCommands.empty() || o.echo || o.config)) {
    return bad(
        "--emulate runs without a window: --connect, --menu, --echo and --config do "
        "not apply");
  }
  if (o.reconnect && o.emulate) return bad("--reconnect goes with the window, not --emulate");
  if (o.demo && !o.comPorts.empty()) return bad("--demo makes its own port; leave out --com");
  if (o.demo && o.config) return bad("--demo runs on its own settings; leave out --config");
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
         "  --reconnect         when the modem port is lost, try it again every 2 s\n"
         "                      and carry on where it was (the NMEA log reopens)\n"
         "  --list-ports        print the serial devices found on this machine and exit\n"
         "  --demo              start attached to a built-in emulated modem (no hardware\n"
         "                      needed); closing the window ends it\n"
         "\n"
         "Standing in for the modem, with no window:\n"
         "  --emulate --com N=DEVICE\n"
         "                      answer a host program on DEVICE as the modem would; the\n"
         "                      emulator's lines go to standard output; logs go under\n"
         "                      the data root; Ctrl-C or SIGTERM ends it\n"
         "  --emulate-requests 32|256|32,256\n"
         "                      also send 32-byte and/or 256-byte data requests\n";
}

std::string VersionText() { return "Tidewire 3.07\n"; }

std::filesystem::path DataRoot(const Options& options) {
  if (options.home) return *options.home;
  return DefaultDataRoot();
}

}  // namespace tw
