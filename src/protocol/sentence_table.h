// The sentence table: one row per sentence family, saying what the program
// knows of it — its prefix and message type, who sends it, how the modem
// interpreter shows it and reacts, how the emulator answers it — and the
// builder every sentence the program or the emulator sends is made with.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "core/clock.h"

namespace tw {

struct InterpreterLinks;

// Who sends a family: the modem (or the emulator standing in for it) or the
// host program. It also decides how a built sentence is framed: a host
// sentence ends in CR LF without checksum (the modem takes it so), a modem
// sentence gets "*hh" and CR LF.
enum class SentenceDirection { FromModem, FromHost };

// The interpreter's reaction to a whole sentence as it came (CR included),
// given the row's text: the fixed line or the format it shows.
using SentenceReaction = void (*)(const InterpreterLinks& links, const std::string& line,
                                  const char* text);

// How the emulator answers a host sentence. The emulator sits above this
// table, so the answer is named here and carried out there.
enum class EmulatorAnswer {
  Unknown,        // no command of the emulator's: "Unknown Command"
  Accept,         // accepted once its commas are right, no answer
  TakeData,       // "$CATXD" and the bytes into the data log
  Cycle,          // "$CACYC" with the command's six fields
  ConfigQuery,    // "$CACFG" with the shared configuration value
  ConfigCommand,  // the value stored, then "$CACFG" with it
  FifoFlush,      // "$CAFFL", the byte count back to 0
  FifoStatus,     // "$CAFST" with the byte count
};

enum class CommaRule { Exactly, AtLeast };

struct EmulatorColumn {
  EmulatorAnswer answer = EmulatorAnswer::Unknown;
  const char* parserText = nullptr;     // the first remark shown for the command
  int commas = 0;                       // how many ',' the line must have ...
  CommaRule rule = CommaRule::Exactly;  // ... exactly, or at least
};

struct SentenceFamily {
  // The leading characters that name the family. Rows are tried in table
  // order and the first match decides, so a longer prefix comes before any
  // shorter one it starts with ("$CC" last).
  std::string_view prefix;
  int type;  // the message type (nmea.h)
  SentenceDirection direction;
  SentenceReaction react;  // null: the interpreter shows the line as it came
  const char* text;        // the fixed line or format `react` shows, or null
  EmulatorColumn emulator;
};

std::span<const SentenceFamily> SentenceTable();
// The row whose prefix starts `line`; null for a line no row names (one
// without a leading '$' included).
const SentenceFamily* FindSentenceFamily(std::string_view line);
// The row of a message type; null for a type without one.
const SentenceFamily* FindSentenceFamilyByType(int type);

// ---------------------------------------------------------------------------
// Building sentences.

// One field of a built sentence: a text as it is, or an integer in decimal.
// It only lives in the builder's argument list: a text is not copied.
class SentenceField {
 public:
  SentenceField(std::string_view text) : text_(text) {}
  SentenceField(const char* text) : text_(text) {}
  SentenceField(const std::string& text) : text_(text) {}
  SentenceField(int32_t value) : number_(std::to_string(value)), text_(number_) {}
  SentenceField(const SentenceField&) = delete;
  SentenceField& operator=(const SentenceField&) = delete;
  std::string_view text() const { return text_; }

 private:
  std::string number_;
  std::string_view text_;
};

// The sentence of family `type`: its name (the prefix up to its ','), then
// ',' and each field; without checksum and line end.
std::string BuildSentence(int type, std::initializer_list<SentenceField> fields);
// The same, framed as the family's direction says.
std::string BuildSentenceLine(int type, std::initializer_list<SentenceField> fields);
// The listening windows of a noise measurement ("$CCCFR"), in milliseconds.
inline constexpr std::array<int32_t, 4> NOISE_WINDOWS_MS = {100, 300, 1000, 3000};

// `value` in decimal with at least `width` digits, zeros in front.
std::string ZeroPadded(int32_t value, int width);
// "hhmmss": the time field of the modem's sentences.
std::string SentenceTime(const LocalTime& t);

}  // namespace tw
