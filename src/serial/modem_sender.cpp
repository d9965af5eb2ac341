#include "serial/modem_sender.h"

#include <algorithm>
#include <limits>

namespace tw {

int64_t WriteLimitMs(size_t bytes, int32_t baudRate) {
  if (baudRate <= 0) return SEND_TIMEOUT_MS;
  const int64_t lineMs = static_cast<int64_t>(std::min<size_t>(bytes, size_t{1} << 40)) * 10 *
                         1000 / baudRate;
  return SEND_TIMEOUT_MS + 2 * lineMs;
}

void ModemSender::SendSentence(const std::string& sentence) {
  if (!link_.connected()) {
    out_.PrintLine(NOT_CONNECTED);
    return;
  }
  if (settings_.showNmeaOutgoing) {
    std::string echo = sentence.substr(0, LOG_LINE_MAX);
    while (!echo.empty() && (echo.back() == '\r' || echo.back() == '\n')) echo.pop_back();
    out_.PrintLine(echo);
  }
  // A port that takes nothing must not hold the program: the sentence is
  // given up after the time limit and the operator is told.
  const int64_t limit = std::min<int64_t>(
      WriteLimitMs(sentence.size(), settings_.modemPort.baudRate), std::numeric_limits<int>::max());
  if (!link_.Write(sentence, static_cast<int>(limit))) {
    out_.PrintWrapped("Error: Write to modem port failed, sentence not sent.");
    return;
  }
  logs_.NMEALogLine(0, sentence);
}

}  // namespace tw
