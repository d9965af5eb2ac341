// The emulator's side of the sentence protocol: one host line per poll,
// checked, classified by the command table and answered as the modem would.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/fixed_format.h"
#include "emulator/emulator.h"
#include "protocol/nmea.h"

namespace tw {
namespace {

constexpr const char* ARGS_OK = "NMEA: Number of args OK.";
constexpr const char* HOST_PREFIX = "             Host => ";

std::string_view WithoutLineEnd(std::string_view s) {
  while (!s.empty() && (s.back() == '\r' || s.back() == '\n')) s.remove_suffix(1);
  return s;
}

enum class Checksum { None, Good, Bad };

// Cuts the checksum and the line end off `line`, leaving the fields in
// `body`: without this the last field of a line keeps its CR (a parameter
// "ALL\r" is four characters long, a hex payload gains a digit). A '*' must
// be followed by exactly two hex digits that match the line.
Checksum SplitLine(std::string_view line, std::string_view& body) {
  const size_t star = line.find('*');
  if (star == std::string_view::npos) {
    body = WithoutLineEnd(line);
    return Checksum::None;
  }
  body = line.substr(0, star);
  const std::string_view given = WithoutLineEnd(line.substr(star + 1));
  if (given.size() != 2 || NMEAHexDigit(given[0]) < 0 || NMEAHexDigit(given[1]) < 0)
    return Checksum::Bad;
  const int givenSum = NMEAHexDigit(given[0]) * 16 + NMEAHexDigit(given[1]);
  return givenSum == NMEAChecksum(body) ? Checksum::Good : Checksum::Bad;
}

// Length of the line NMEATakeLine is about to take (from its '$' up to its
// LF); 0 when no whole line is waiting. The taker cuts a long line to fit,
// so the length must be seen before.
uint32_t WaitingLineLength(const RxState& rx) {
  if (!rx.allocated() || rx.count() == 0) return 0;
  const uint32_t dollar = RxFind(rx, 0, '$');
  if (dollar == rx.count()) return 0;
  const uint32_t lf = RxFind(rx, dollar, '\n');
  return lf == rx.count() ? 0 : lf - dollar;
}

int32_t Field(std::string_view body, int n) { return NMEAGetInt(body, n); }

void RunHostCommand(Emulator& e, const HostCommand& command, std::string_view body) {
  e.EMUParserMessage(command.parserText);
  const int commas = NMEACountCommas(body);
  const bool ok =
      command.rule == CommaRule::Exactly ? commas == command.commas : commas >= command.commas;
  if (!ok) {
    e.EMUError(NMEA_ERR_WRONG_ARG_COUNT);
    return;
  }
  e.EMUParserMessage(ARGS_OK);
  if (command.action != nullptr) command.action(e, body);
}

// --- Answers -----------------------------------------------------------------

void AcceptData(Emulator& e, std::string_view body) {
  const int32_t source = Field(body, 1);
  const int32_t destination = Field(body, 2);
  const int32_t ack = Field(body, 3);
  const std::string hex = NMEAGetText(body, 4);
  const auto n = static_cast<int32_t>(hex.size() / 2);
  // Held at the largest count rather than wrapping after days of data.
  int32_t& fifo = e.state().fifoBytes;
  fifo = fifo > INT32_MAX - n ? INT32_MAX : fifo + n;
  e.EMUParserMessage(FixedFormat("NMEA: got %d data bytes.", n));
  e.EMUSend(FixedFormat("$CATXD,%d,%d,%d,%d", source, destination, ack, n));
  e.EMUWriteRaw(hex);
}

void AnswerCycle(Emulator& e, std::string_view body) {
  e.EMUParserMessage(FixedFormat("NMEA: cycle %d->%d", Field(body, 2), Field(body, 3)));
  e.EMUSend(FixedFormat("$CACYC,%d,%d,%d,%d,%d,%d", Field(body, 1), Field(body, 2), Field(body, 3),
                        Field(body, 4), Field(body, 5), Field(body, 6)));
}

// The parameter name of a configuration command, when it has three
// characters and no control byte: the name goes back to the host in the
// answer, and a NUL or an escape sequence there would reach whatever shows
// the host's lines.
bool ConfigParameter(Emulator& e, std::string_view body, std::string& parameter) {
  parameter = NMEAGetText(body, 1);
  const bool control = std::any_of(parameter.begin(), parameter.end(), [](char ch) {
    const auto byte = static_cast<unsigned char>(ch);
    return byte < 0x20 || byte == 0x7F;
  });
  if (parameter.size() != 3 || control) {
    e.EMUError(NMEA_ERR_ARG_OUT_OF_RANGE);
    return false;
  }
  e.EMUParserMessage("NMEA: config parameter: " + parameter);
  return true;
}

void AnswerConfigQuery(Emulator& e, std::string_view body) {
  std::string parameter;
  if (!ConfigParameter(e, body, parameter)) return;
  e.EMUSend("$CACFG," + parameter + FixedFormat(",%d", e.state().configValue));
}

void AnswerConfigCommand(Emulator& e, std::string_view body) {
  std::string parameter;
  if (!ConfigParameter(e, body, parameter)) return;
  const int32_t value = Field(body, 2);
  e.EMUParserMessage(FixedFormat("NMEA: config value: %d", value));
  e.state().configValue = value;
  e.EMUSend("$CACFG," + parameter + FixedFormat(",%d", value));
}

void AnswerFifoFlush(Emulator& e, std::string_view body) {
  e.EMUSend(FixedFormat("$CAFFL,%d", Field(body, 1)));
  e.state().fifoBytes = 0;
}

void AnswerFifoStatus(Emulator& e, std::string_view body) {
  e.EMUSend(FixedFormat("$CAFST,%d,%d,%d", Field(body, 1), e.state().fifoBytes, 0));
}

}  // namespace

const std::vector<HostCommand>& HostCommandTable() {
  using enum CommaRule;
  static const std::vector<HostCommand> table = {
      {MSG_CCTXD, "Got Binary Data Message", 4, Exactly, AcceptData},
      {MSG_CCTXA, "Got ASCII Data Message", 4, Exactly, nullptr},
      {MSG_CCCYC, "Got Cycle Init Command", 6, Exactly, AnswerCycle},
      {MSG_CCMPC, "Got Ping Minipkt Command", 2, Exactly, nullptr},
      {MSG_CCCLK, "Got Clock Command", 6, Exactly, nullptr},
      {MSG_CCCFQ, "Got Configure Query", 1, Exactly, AnswerConfigQuery},
      {MSG_CCCFG, "Got Configure Command", 2, Exactly, AnswerConfigCommand},
      {MSG_CCMSC, "Got Sleep Minipkt Command", 3, Exactly, nullptr},
      {MSG_CCACK, "Got ACK Command", 3, Exactly, nullptr},
      {MSG_CCMEC, "Got EXTSEL Minipkt Command", 5, Exactly, nullptr},
      {MSG_CCPNT, "Got LBL NAV Command", 4, AtLeast, nullptr},
      {MSG_CCPDT, "Got SELKA NAV Command", 9, Exactly, nullptr},
      {MSG_CCFFL, "Got FIFO Flush Command", 1, Exactly, AnswerFifoFlush},
      {MSG_CCFST, "Got FIFO Status Request", 1, Exactly, AnswerFifoStatus},
  };
  return table;
}

const HostCommand* FindHostCommand(int type) {
  const std::vector<HostCommand>& table = HostCommandTable();
  auto it = std::find_if(table.begin(), table.end(),
                         [type](const HostCommand& c) { return c.type == type; });
  return it == table.end() ? nullptr : &*it;
}

void Emulator::EMUPoll(RxState& rx) {
  const uint32_t waiting = WaitingLineLength(rx);
  std::string line;
  if (!NMEATakeLine(rx, line)) return;
  if (waiting > EMU_LINE_MAX) {
    EMUParserMessage(
        FixedFormat("NMEA: Line of %u characters discarded (limit %zu).", waiting, EMU_LINE_MAX));
    return;
  }
  links_.logs.NMEALogLine(links_.settings.modemPort.portNumber, line);
  // Shown without its CR: the pane ends each line itself.
  if (state_.showHost) EMUPrint(HOST_PREFIX + std::string(WithoutLineEnd(line)));

  std::string_view body;
  if (SplitLine(line, body) == Checksum::Bad) {
    EMUError(NMEA_ERR_BAD_CHECKSUM);
    return;
  }
  const int type = NMEAMessageType(line);
  if (const HostCommand* command = FindHostCommand(type)) {
    RunHostCommand(*this, *command, body);
    return;
  }
  EMUError(type == MSG_CC_OTHER ? NMEA_ERR_UNKNOWN_COMMAND : NMEA_ERR_BAD_TALKER);
}

void Emulator::EMUParseData(std::string_view line) {
  std::string_view body;
  SplitLine(line, body);
  RunHostCommand(*this, *FindHostCommand(MSG_CCTXD), body);
}

void Emulator::EMUError(int code) {
  const LocalTime t = links_.clock.localTime();
  EMUSend(FixedFormat("$CAERR,%02d%02d%02d,NMEA,%d", t.hour, t.minute, t.second, code));
  const std::string text = NMEAEmulatorErrorText(code);
  if (!text.empty()) EMUParserMessage(text);
}

void Emulator::EMUWriteRaw(std::string_view hex) {
  // Two digits a byte, a last lone digit read alone; a digit that is not
  // hex ends the number, as a base-16 reader stops there.
  std::vector<uint8_t> bytes;
  for (size_t at = 0; at < hex.size() && bytes.size() < EMU_RAW_MAX; at += 2) {
    int value = 0;
    for (size_t k = at; k < std::min(at + 2, hex.size()) && NMEAHexDigit(hex[k]) >= 0; ++k) {
      value = value * 16 + NMEAHexDigit(hex[k]);
    }
    bytes.push_back(static_cast<uint8_t>(value));
  }
  links_.logs.DataLogWrite(bytes.data(), bytes.size());
}

}  // namespace tw
