#include "serial/modem_sender.h"

namespace tw {

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
  if (!link_.Write(sentence, SEND_TIMEOUT_MS)) {
    out_.PrintLine("Error: Write to modem port failed, sentence not sent.");
    return;
  }
  logs_.NMEALogLine(0, sentence);
}

}  // namespace tw
