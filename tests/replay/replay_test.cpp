// Golden replays: recorded modem sessions played through the whole program on
// a fixed clock, each compared with what it showed, wrote to the port and left
// in files. TIDEWIRE_RECORD_REPLAYS=1 writes the expected files instead.
//
// A session (NAME.in) is one event a line, "MS < BYTES" for bytes from the
// modem or "MS ! ACTION ARGS" for an operator action, MS counted from the
// start and BYTES with C escapes (\r \n \t \\ \xHH). The expectations are
// NAME.screen (every terminal line), NAME.port (every write to the port) and
// NAME.files (every file under the data root), the data root shown as <root>.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "core/commands.h"
#include "core/paths.h"
#include "frames/data_frame.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

namespace fs = std::filesystem;

// ---- The adapter: everything the replays ask of Program, in one place. ----

// A menu command by its identifier's name: "NAME", or "NAME[i]" for a list.
int CommandId(const std::string& name) {
  using namespace cmd;
  // clang-format off
#define TW_ONE(id) {#id, [](size_t) { return id; }}
#define TW_LIST(ids) {#ids, [](size_t i) { return ids.at(i); }}
  static const std::map<std::string, int (*)(size_t)> commands = {
      TW_ONE(CONNECT), TW_ONE(DISCONNECT), TW_ONE(NMEA_LOG_START), TW_ONE(NMEA_LOG_STOP),
      TW_ONE(NMEA_LOG_RESTART), TW_ONE(SHOW_MODEM_SETTINGS), TW_ONE(SYNCHRONIZE_CLOCK),
      TW_ONE(USE_FACTORY_DEFAULTS), TW_ONE(COMMAND_REVERT), TW_ONE(OBS_WAKEUP_1),
      TW_ONE(OBS_WAKEUP_2), TW_ONE(TEST_ONCE), TW_ONE(LOOP_TESTING), TW_ONE(SEND_CUSTOM_STRING),
      TW_ONE(PING_LBL), TW_ONE(ACP_STATUS_NOACK), TW_ONE(ACP_STATUS_ACK), TW_ONE(FIFO_FLUSH),
      TW_ONE(FIFO_STATUS), TW_ONE(USE_NODE_PROTOCOL), TW_ONE(USE_CUSTOM_STRING),
      TW_ONE(USE_TEST_DATA_NOACK), TW_ONE(USE_TEST_DATA_ACK), TW_ONE(SHOW_HEARTBEAT),
      TW_ONE(SHOW_NMEA_INCOMING), TW_ONE(SHOW_NMEA_OUTGOING), TW_LIST(SET_ADDRESS),
      TW_LIST(MEASURE_NOISE), TW_LIST(PING_SELKA), TW_LIST(DATA_RATES), TW_LIST(UPLINK_FROM),
      TW_LIST(DOWNLINK_TO), TW_LIST(NAV_PING), TW_LIST(NOISE_DIAGNOSTIC), TW_LIST(SEND_FILE_TO),
      {"TEST_INTERVALS", [](size_t i) { return TEST_INTERVALS.at(i).id; }},
      {"PING_UNIT", [](size_t i) { return PING_UNIT_FIRST + static_cast<int>(i); }},
  };
#undef TW_ONE
#undef TW_LIST
  // clang-format on
  const size_t open = name.find('[');
  const auto it = commands.find(name.substr(0, open));
  if (it == commands.end()) throw std::runtime_error("unknown command " + name);
  return it->second(open == std::string::npos ? 0 : std::stoul(name.substr(open + 1)));
}

class Replay : public ProgramTest, public ::testing::WithParamInterface<const char*> {
 protected:
  // After start-up: COM1 connected and the NMEA log open, as an operator
  // starts a session.
  void Begin() {
    program->terminal().AddLineListener([this](const std::string& line) { Show(line); });
    port = Connect();
    program->OnCommand(cmd::NMEA_LOG_START);
  }
  // Runs one operator action: "cmd NAME", "node N KIND", "custom TEXT",
  // "file NAME CONTENT", "choose NAME", "lose" (the device goes away),
  // "return" (it can be opened again) or "reconnect" (reconnect on).
  void Act(const std::string& action) {
    std::istringstream words(action);
    std::string verb, arg;
    words >> verb >> arg;
    // What follows "VERB " and "VERB ARG ".
    const std::string rest = action.substr(std::min(action.size(), verb.size() + 1));
    const std::string tail = rest.substr(std::min(rest.size(), arg.size() + 1));
    if (verb == "cmd") {
      program->OnCommand(CommandId(arg));
    } else if (verb == "node") {  // "node N acp|ccl|mitoe|raw": that node's frame protocol
      static const std::map<std::string, int32_t> kinds = {
          {"acp", KIND_ACP}, {"ccl", KIND_CCL}, {"mitoe", KIND_MITOE}, {"raw", KIND_RAW}};
      program->settings().nodes.at(static_cast<size_t>(std::stoi(arg))).protocol = kinds.at(tail);
    } else if (verb == "custom") {
      program->settings().customString = Unescape(rest);
    } else if (verb == "file") {
      std::ofstream(root.path() / arg, std::ios::binary) << Unescape(tail);
    } else if (verb == "choose") {
      ui.fileToOpen = PathToUtf8(root.path() / arg);
    } else if (verb == "lose") {  // gone, and cannot be opened until it returns
      port->gone = true;
      ports.ports.erase(1);
    } else if (verb == "return") {
      port->gone = false;
      ports.ports[1] = port;
    } else if (verb == "reconnect") {
      program->SetReconnect(true);
    } else {
      throw std::runtime_error("unknown action " + action);
    }
  }
  // The window's timers: each fires one period after it was last started.
  void Tick(uint32_t ms) {
    for (; seenTimerCalls < ui.timerCalls.size(); ++seenTimerCalls) {
      const auto [number, period] = ui.timerCalls[seenTimerCalls];
      timers[number] = {ms + static_cast<uint32_t>(period), static_cast<uint32_t>(period)};
    }
    for (auto& [number, timer] : timers) {
      if (timer.due != ms || timer.period == 0) continue;
      timer.due += timer.period;
      if (TimerHasWork(number)) program->OnTimer(number);
    }
  }
  // The clock at `ms` after the session's start.
  void SetTime(uint32_t ms) {
    now = ms;
    clock.ticks = 1000 + ms;
    const int seconds = 14 * 3600 + 5 * 60 + 9 + static_cast<int>(ms / 1000);
    clock.now = LocalTime{2007, 3, 3, seconds / 3600, seconds / 60 % 60, seconds % 60};
  }

  std::shared_ptr<FakePortState> port;

  // ---- The replay itself. ----

  struct Timer {
    uint32_t due = 0, period = 0;
  };
  std::map<int, Timer> timers;
  size_t seenTimerCalls = 0;
  uint32_t now = 0;
  std::string screen, written;
  size_t portSeen = 0;

  static std::string Escape(std::string_view bytes) {
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
      const unsigned char c = static_cast<unsigned char>(bytes[i]);
      if (c == '\\') {
        out += "\\\\";
      } else if (c == '\r' || c == '\n' || c == '\t') {
        out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : "\\t";
      } else if (c < 0x20 || c > 0x7E || (c == ' ' && i + 1 == bytes.size())) {
        static constexpr char HEX[] = "0123456789abcdef";
        out += {'\\', 'x', HEX[c >> 4], HEX[c & 15]};
      } else {
        out += static_cast<char>(c);
      }
    }
    return out;
  }
  static std::string Unescape(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] != '\\' || i + 1 == text.size()) {
        out += text[i];
        continue;
      }
      const char c = text[++i];
      if (c == 'x') {
        out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
        i += 2;
      } else {
        out += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c == '0' ? '\0' : c;
      }
    }
    return out;
  }
  // The data root as a fixed token, so the expectations hold in any folder.
  std::string Normalised(std::string text) const {
    for (const std::string& from : {PathToUtf8(root.path() / ""), PathToUtf8(root.path())}) {
      const std::string to = from.size() > PathToUtf8(root.path()).size() ? "<root>/" : "<root>";
      for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
        text.replace(at, from.size(), to);
      }
    }
    return text;
  }
  void Show(const std::string& line) {
    screen += std::to_string(now) + " " + Escape(Normalised(line)) + "\n";
  }
  void TakeWritten() {
    if (port->written.size() == portSeen) return;
    written += std::to_string(now) + " " + Escape(port->written.substr(portSeen)) + "\n";
    portSeen = port->written.size();
  }
  // Every file under the data root, its bytes escaped, a line per LF.
  std::string Files() const {
    std::map<std::string, fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(root.path())) {
      if (entry.is_regular_file()) {
        files[fs::relative(entry.path(), root.path()).generic_string()] = entry.path();
      }
    }
    std::string out;
    for (const auto& [name, path] : files) {
      out += "== " + name + "\n";
      std::istringstream text(Normalised(ReadFile(path)));
      for (std::string line; std::getline(text, line);) {
        out += Escape(text.eof() ? line : line + "\n") + "\n";
      }
    }
    return out;
  }
};

// The first line where `actual` leaves `expected`, or nothing when they agree.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
  std::istringstream e(expected), a(actual);
  std::string el, al;
  for (int line = 1;; ++line) {
    const bool more = static_cast<bool>(std::getline(e, el));
    const bool moreActual = static_cast<bool>(std::getline(a, al));
    if (!more && !moreActual) return {};
    if (more != moreActual || el != al) {
      return "line " + std::to_string(line) + "\n  expected: " + (more ? el : "(end)") +
             "\n  actual:   " + (moreActual ? al : "(end)");
    }
  }
}

TEST_P(Replay, ShowsWritesAndSendsAsRecorded) {
  const fs::path base = fs::path(TW_REPLAY_DIR) / GetParam();
  std::istringstream session(ReadFile(fs::path(base).replace_extension(".in")));
  ASSERT_FALSE(session.str().empty()) << "no session " << base.string();
  SetTime(0);
  Begin();
  TakeWritten();
  uint32_t end = 0;
  std::string line;
  std::multimap<uint32_t, std::string> events;
  while (std::getline(session, line)) {
    if (line.empty() || line[0] == '#') continue;
    const uint32_t at = static_cast<uint32_t>(std::stoul(line));
    events.emplace(at, line.substr(line.find(' ') + 1));
    end = std::max(end, at);
  }
  for (uint32_t ms = 0; ms <= end + 1000; ++ms) {
    SetTime(ms);
    for (auto [it, last] = events.equal_range(ms); it != last; ++it) {
      const std::string& event = it->second;
      if (event.starts_with("< ")) {
        for (const char c : Unescape(event.substr(2))) {
          port->incoming.push_back(static_cast<uint8_t>(c));
        }
      } else {
        Act(event.substr(2));
      }
      TakeWritten();
    }
    Tick(ms);
    TakeWritten();
  }
  const std::map<std::string, std::string> outputs = {
      {".screen", screen}, {".port", written}, {".files", Files()}};
  const char* record = std::getenv("TIDEWIRE_RECORD_REPLAYS");
  for (const auto& [extension, actual] : outputs) {
    const fs::path file = fs::path(base).replace_extension(extension);
    if (record != nullptr && std::string(record) == "1") {
      std::ofstream(file, std::ios::binary) << actual;
    } else {
      ASSERT_TRUE(fs::exists(file)) << file.string() << " not recorded";
      const std::string difference = FirstDifference(ReadFile(file), actual);
      if (!difference.empty()) ADD_FAILURE() << file.filename().string() << ", " << difference;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Sessions, Replay,
                         ::testing::Values("reports", "config_noise", "data_sources", "acp_frames",
                                           "garbage_loss"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace tw::test
