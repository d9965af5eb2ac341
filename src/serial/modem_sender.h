// The one way sentences reach the modem: refused with a line when the port
// is closed, echoed under "Show NMEA Outgoing", written whole within the time
// limit (longer for long sentences on slow lines), then logged with source port 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/sentence_sink.h"
#include "core/settings.h"
#include "core/text_out.h"
#include "logging/logs.h"
#include "serial/serial_link.h"

namespace tw {

// How long a write of `bytes` may take at `baudRate`: the fixed limit plus
// twice the time the line needs for them (ten bits a byte), so a long
// sentence on a slow line is never cut part-way, and a port that takes
// nothing holds the program no longer than that.
int64_t WriteLimitMs(size_t bytes, int32_t baudRate);

class ModemSender : public SentenceSink {
 public:
  ModemSender(SerialLink& link, const Settings& settings, TextOut& out, Logs& logs)
      : link_(link), settings_(settings), out_(out), logs_(logs) {}

  void SendSentence(const std::string& sentence) override;
  bool IsConnected() const override { return link_.connected(); }

 private:
  SerialLink& link_;
  const Settings& settings_;
  TextOut& out_;
  Logs& logs_;
};

}  // namespace tw
