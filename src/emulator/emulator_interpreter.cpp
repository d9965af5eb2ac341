// The emulator's side of the sentence protocol: one host line per poll,
// checked, classified by the sentence table and answered as the modem would.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/fixed_format.h"
#include "emulator/emulator.h"
#include "protocol/nmea.h"

namespace tw {
namespace {

constexpr const char* ARGS_OK = "NMEA: Number of args OK.";
constexpr const char* HOST_PREFIX = "             Host => ";

// The far end of the link, when the emulator plays it, answers after the
// emulator's own answer, or in its place.
void RunHostCommand(Emulator& e, int type, const EmulatorColumn& command, std::string_view body) {
  e.EMUParserMessage(command.parserText);
  const int commas = NMEACountCommas(body);
  const bool ok =
      command.rule == CommaRule::Exactly ? commas == command.commas : commas >= command.commas;
  if (!ok) {
    e.EMUError(NMEA_ERR_WRONG_ARG_COUNT);
    return;
  }
  e.EMUParserMessage(ARGS_OK);
  const SentenceFields fields(body);
  std::vector<std::string> farEnd;
  const bool replaced = e.simulation() != nullptr && e.simulation()->Answer(type, fields, farEnd);
  if (!replaced) {
    if (const EmulatorAction action = EmulatorActionFor(command.answer)) action(e, fields);
  }
  for (const std::string& sentence : farEnd) e.EMUSend(sentence);
}

// --- Answers -----------------------------------------------------------------

void AcceptData(Emulator& e, const SentenceFields& body) {
  const int32_t source = body.Int(1);
  const int32_t destination = body.Int(2);
  const int32_t ack = body.Int(3);
  const std::string hex(body.Text(4));
  const auto n = static_cast<int32_t>(hex.size() / 2);
  // Held at the largest count rather than wrapping after days of data.
  int32_t& fifo = e.state().fifoBytes;
  fifo = fifo > INT32_MAX - n ? INT32_MAX : fifo + n;
  e.EMUParserMessage(FixedFormat("NMEA: got %d data bytes.", n));
  e.EMUSend(BuildSentence(MSG_CATXD, {source, destination, ack, n}));
  e.EMUWriteRaw(hex);
}

void AnswerCycle(Emulator& e, const SentenceFields& body) {
  e.EMUParserMessage(FixedFormat("NMEA: cycle %d->%d", body.Int(2), body.Int(3)));
  e.EMUSend(BuildSentence(
      MSG_CACYC, {body.Int(1), body.Int(2), body.Int(3), body.Int(4), body.Int(5), body.Int(6)}));
}

// The parameter name of a configuration command, when it has three
// characters and no control byte: the name goes back to the host in the
// answer, and a NUL or an escape sequence there would reach whatever shows
// the host's lines.
bool ConfigParameter(Emulator& e, const SentenceFields& body, std::string& parameter) {
  parameter = body.Text(1);
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

void AnswerConfigQuery(Emulator& e, const SentenceFields& body) {
  std::string parameter;
  if (!ConfigParameter(e, body, parameter)) return;
  e.EMUSend(BuildSentence(MSG_CACFG, {parameter, e.state().configValue}));
}

void AnswerConfigCommand(Emulator& e, const SentenceFields& body) {
  std::string parameter;
  if (!ConfigParameter(e, body, parameter)) return;
  const int32_t value = body.Int(2);
  e.EMUParserMessage(FixedFormat("NMEA: config value: %d", value));
  e.state().configValue = value;
  e.EMUSend(BuildSentence(MSG_CACFG, {parameter, value}));
}

void AnswerFifoFlush(Emulator& e, const SentenceFields& body) {
  e.EMUSend(BuildSentence(MSG_CAFFL, {body.Int(1)}));
  e.state().fifoBytes = 0;
}

void AnswerFifoStatus(Emulator& e, const SentenceFields& body) {
  e.EMUSend(BuildSentence(MSG_CAFST, {body.Int(1), e.state().fifoBytes, 0}));
}

}  // namespace

EmulatorAction EmulatorActionFor(EmulatorAnswer answer) {
  struct AnswerCode {
    EmulatorAnswer answer;
    EmulatorAction action;
  };
  using enum EmulatorAnswer;
  static constexpr std::array<AnswerCode, 6> CODES{{
      {TakeData, AcceptData},
      {Cycle, AnswerCycle},
      {ConfigQuery, AnswerConfigQuery},
      {ConfigCommand, AnswerConfigCommand},
      {FifoFlush, AnswerFifoFlush},
      {FifoStatus, AnswerFifoStatus},
  }};
  for (const AnswerCode& code : CODES) {
    if (code.answer == answer) return code.action;
  }
  return nullptr;  // Accept, Unknown
}

void Emulator::EMUPoll(RxState& rx) {
  const uint32_t waiting = WaitingLineLength(rx);
  std::string line;
  if (!TakeModemLine(rx, line)) return;
  if (waiting > EMU_LINE_MAX) {
    EMUParserMessage(
        FixedFormat("NMEA: Line of %u characters discarded (limit %zu).", waiting, EMU_LINE_MAX));
    return;
  }
  links_.logs.NMEALogLine(links_.modem.portNumber(), line);
  // Shown without its CR: the pane ends each line itself.
  if (state_.showHost) EMUPrint(HOST_PREFIX + std::string(WithoutLineEnd(line)));

  // Without the checksum and the line end: else the last field of a line
  // keeps its CR (a parameter "ALL\r" is four characters long, a hex payload
  // gains a digit).
  const FramedLine framed = FrameLine(line);
  if (framed.checksum == LineChecksum::Bad) {
    EMUError(NMEA_ERR_BAD_CHECKSUM);
    return;
  }
  const std::string_view body = framed.body;
  const SentenceFamily* family = FindSentenceFamily(line);
  if (family != nullptr && family->emulator.answer != EmulatorAnswer::Unknown) {
    RunHostCommand(*this, family->type, family->emulator, body);
    return;
  }
  if (family != nullptr && simulation_ != nullptr) {
    if (const EmulatorColumn* extra = LinkSimulation::ExtraCommand(family->type)) {
      RunHostCommand(*this, family->type, *extra, body);
      return;
    }
  }
  // A host sentence it has no answer for is an unknown command; anything
  // else does not come from a host at all.
  const bool host = family != nullptr && family->direction == SentenceDirection::FromHost;
  EMUError(host ? NMEA_ERR_UNKNOWN_COMMAND : NMEA_ERR_BAD_TALKER);
}

void Emulator::EMUParseData(std::string_view line) {
  RunHostCommand(*this, MSG_CCTXD, FindSentenceFamilyByType(MSG_CCTXD)->emulator,
                 FrameLine(line).body);
}

void Emulator::EMUError(int code) {
  const LocalTime t = links_.clock.localTime();
  EMUSend(BuildSentence(MSG_CAERR, {SentenceTime(t), "NMEA", code}));
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
