// The modem message interpreter: the handler of receive mode RX_MODEM. Each
// call takes one sentence from the receive ring, logs it, shows it as a
// readable line and carries out what goes with it (statistics, the modem's
// address and band, data frames, noise reports, answers to data requests).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/sentence_sink.h"
#include "core/settings.h"
#include "core/text_out.h"
#include "logging/logs.h"
#include "protocol/stats.h"
#include "serial/rx_ring.h"
#include "serial/serial_link.h"

namespace tw {

class ReportedConfig;

// Largest test-data answer, in bytes. Only a guard against an absurd length
// in a damaged request; every length a modem asks for (a missing length field
// reads as 4095) is answered in full.
constexpr int MAX_TEST_DATA_BYTES = 65535;
// Longest data request that is answered. A modem never asks for more; a
// longer one is a damaged sentence and is refused with one line.
constexpr int32_t MAX_DATA_REQUEST_BYTES = 8192;

// The data-frame subsystem as the interpreter sees it.
class DataFrameHandler {
 public:
  virtual ~DataFrameHandler() = default;
  // A whole "$CARXD" sentence as it arrived, starting at its '$'.
  virtual void ReceiveDataFrame(const std::string& sentence) = 0;
  // The answer to a data request under "Use Node Protocol": one "$CCTXD"
  // sentence with CR LF, or empty when nothing is to be sent.
  virtual std::string BuildDataFrame(int32_t source, int32_t destination, int32_t ack,
                                     int32_t byteCount) = 0;
};

// Everything the interpreter reads and writes.
struct InterpreterLinks {
  TextOut& out;
  SentenceSink& sink;
  Logs& logs;
  const Settings& settings;  // view flags, transmit source, custom string
  const SerialLink& modem;   // records are logged under the port that is open
  RunState& state;           // the modem's unit address, band and sound speed
  PerformanceStats& stats;
  DataFrameHandler* frames = nullptr;
  // Shows a "$SNCFR" noise report; nothing when unset.
  std::function<void(const std::string& line)> noiseReport;
  // Keeps the values of "$CACFG" reports for the settings dialog; none when null.
  ReportedConfig* reportedConfig = nullptr;
  // When not 0, records are logged under this source number rather than the
  // open port's (sentences that came another way than the modem port).
  int logSource = 0;
};

class ModemInterpreter {
 public:
  explicit ModemInterpreter(InterpreterLinks links) : links_(std::move(links)) {}
  // Takes at most one sentence out of `rx` and reacts to it.
  void InterpretModemLine(RxState& rx);

 private:
  InterpreterLinks links_;
};

// "$CCTXD,source,destination,ack," followed by `length` bytes of the test
// pattern (byte i is i modulo 256) as lower-case hex, then CR LF. A negative
// length gives no payload digits; more than MAX_TEST_DATA_BYTES is cut there.
std::string BuildTestDataSentence(int source, int destination, int ack, int length);

}  // namespace tw
