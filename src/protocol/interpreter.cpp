#include "protocol/interpreter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/nmea.h"
#include "protocol/sentence_table.h"

namespace tw {

std::string BuildTestDataSentence(int source, int destination, int ack, int length) {
  // The one place that decides how much of the pattern goes out; the lines
  // shown before it keep the length as requested.
  const int bytes = std::clamp(length, 0, MAX_TEST_DATA_BYTES);
  std::vector<uint8_t> pattern(static_cast<size_t>(bytes));
  for (size_t i = 0; i < pattern.size(); ++i) pattern[i] = static_cast<uint8_t>(i % 256);
  return NMEATxdSentence(source, destination, ack, pattern.data(), pattern.size());
}

void ModemInterpreter::InterpretModemLine(RxState& rx) {
  std::string line;
  if (!TakeModemLine(rx, line)) return;
  links_.logs.NMEALogLine(links_.logSource ? links_.logSource : links_.modem.portNumber(), line);
  if (links_.settings.showNmeaIncoming) links_.out.PrintLine(line);
  // What each family sets off is the sentence table's reaction column; a
  // family without one, and anything unknown, is shown as it came.
  const SentenceFamily* family = FindSentenceFamily(line);
  if (family == nullptr || family->react == nullptr) {
    links_.out.PrintLine(line);
    return;
  }
  family->react(links_, line, family->text);
}

}  // namespace tw
