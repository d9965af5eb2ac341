// Where the records of a replayed NMEA log go: the modem's sentences through
// a modem interpreter of their own, GPS sentences through the GPS check and
// dispatch, and the program's own sentences to the echo of "Show NMEA
// Outgoing". Everything the program shows and counts is reached as for a
// live modem; nothing leaves it: the interpreter's sink refuses every
// sentence, its transmit sources are off (a data request is shown and left
// unanswered), its logs are never opened, received files are announced but
// not written, and the GPS receiver reads a port that only holds the
// recorded sentences.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "core/clock.h"
#include "core/sentence_sink.h"
#include "core/settings.h"
#include "core/text_out.h"
#include "core/ui.h"
#include "frames/data_frames.h"
#include "gps/gps_receiver.h"
#include "logging/logs.h"
#include "map/map_library.h"
#include "protocol/interpreter.h"
#include "protocol/stats.h"
#include "serial/serial_link.h"

namespace tw {

// What a replay reaches of the program.
struct ReplayLinks {
  const Clock& clock;
  TextOut& out;
  const Settings& settings;  // the view flags; the transmit sources are ignored
  RunState& state;
  PerformanceStats& stats;
  std::array<NodeProtocol, NODE_COUNT>& nodes;
  std::filesystem::path receiveFolder;  // where received files would go
  FileChooser& files;
  MessageBoxes& boxes;
  MapLibrary& map;
  std::function<void(const std::string& line)> noiseReport;
};

class ReplayFeed {
 public:
  explicit ReplayFeed(ReplayLinks links);
  ~ReplayFeed();

  // A sentence the modem sent (its record's text, without CR LF).
  void Modem(const std::string& sentence);
  // A GPS sentence: shown, checked and handed on as from the GPS port.
  void Gps(const std::string& sentence);
  // A sentence the program sent: shown under "Show NMEA Outgoing".
  void Outgoing(const std::string& sentence);
  // Takes the operator's choices as they are now: the view flags follow
  // the menu; the data sources stay off. Once a step, not once a record.
  void FollowSettings();

 private:
  class RecordedPorts;
  class Refusing : public SentenceSink {
   public:
    void SendSentence(const std::string&) override {}
    bool IsConnected() const override { return false; }
  };
  ReplayLinks links_;
  Settings settings_;
  Refusing sink_;
  Logs logs_;  // never opened: a closed log ignores every record
  std::unique_ptr<RecordedPorts> ports_;
  SerialSettings gpsPort_;
  SerialLink gpsLink_;
  GpsReceiver gps_;
  DataFrames frames_;
  ModemInterpreter interpreter_;
  RxState rx_;
};

}  // namespace tw
