// Where sentences for the modem go. The one implementation refuses when the
// port is closed, echoes under "Show NMEA Outgoing", writes with a time
// limit and keeps a log record; subsystems see only this.
#pragma once

#include <string>

namespace tw {

// What a command that needs the modem port prints when it is closed.
constexpr const char* NOT_CONNECTED = "Error: Not Connected!";

class SentenceSink {
 public:
  virtual ~SentenceSink() = default;
  // A whole sentence with its CR LF.
  virtual void SendSentence(const std::string& sentence) = 0;
  // True while the modem port is open.
  virtual bool IsConnected() const = 0;
};

}  // namespace tw
