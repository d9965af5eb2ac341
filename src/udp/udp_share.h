// Sharing sentences over the ship's network, NMEA 0183 over UDP, one
// sentence per datagram with its CR LF:
// - broadcast: every sentence sent to or received from the modem, as the
//   NMEA log sees it, goes out to one address (a broadcast address works),
//   and with the option every fix accepted from the GPS port;
// - receive: datagrams of modem sentences are shown, counted and logged as
//   if from the modem, under their own source number, by an interpreter that
//   only watches: it answers nothing, sends nothing and writes no file;
// - ship position: GPS sentences in datagrams go through the GPS check and
//   hand-on, as from the GPS port.
// Each follows its toggle in the settings; nothing received is ever sent on.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/clock.h"
#include "core/datagram.h"
#include "core/settings.h"
#include "core/text_out.h"
#include "gps/gps_receiver.h"
#include "logging/logs.h"
#include "protocol/interpreter.h"
#include "protocol/stats.h"
#include "serial/rx_ring.h"
#include "serial/serial_link.h"
#include "udp/udp_datagram.h"

namespace tw {

// NMEA log source numbers of what arrives by UDP; never a serial port's
// (1..16) nor the program's own (0).
constexpr int UDP_MODEM_SOURCE = 17;
constexpr int UDP_POSITION_SOURCE = 18;
// Longest sentences taken from a datagram: a modem sentence as the NMEA log
// keeps it, a GPS sentence as the GPS port's buffer holds it.
constexpr size_t UDP_MODEM_SENTENCE_MAX = LOG_LINE_MAX;
constexpr size_t UDP_GPS_SENTENCE_MAX = GPS_BUFFER_SIZE - 1;
// The most datagrams one step takes from each socket; the rest wait.
constexpr int UDP_DATAGRAMS_PER_STEP = 256;

struct UdpLinks {
  TextOut& out;
  Logs& logs;
  Settings& settings;  // the toggles, cleared when their socket cannot be used
  RunState& state;
  PerformanceStats& stats;
  const SerialLink& modem;  // its lines are broadcast while it is open
  GpsReceiver& gps;
  const Clock& clock;
  std::function<void(const std::string& line)> noiseReport;
};

class UdpShare {
 public:
  explicit UdpShare(UdpLinks links);
  ~UdpShare();
  UdpShare(const UdpShare&) = delete;
  UdpShare& operator=(const UdpShare&) = delete;

  // Where sockets come from. Without one (runs without a window, which have
  // no menu to set the toggles) nothing is shared.
  void SetNetwork(DatagramNetwork* network) { network_ = network; }
  // Opens, moves or closes the sockets to match the settings. A socket that
  // cannot be had clears its toggle, with one line saying why.
  void Follow();
  // The 100 ms step: Follow, then what has arrived, then a refusal count
  // that is due.
  void Step();
  // A line as the NMEA log sees it (its tap).
  void OnLogLine(int sourcePort, std::string_view line);
  // A fix accepted from the GPS port.
  void OnGpsFix(const std::string& sentence);

  // The status bar's field: empty while nothing is shared.
  std::string StatusText() const;
  uint64_t sent() const { return broadcast_.count; }
  uint64_t refused() const { return refusals_.total(); }

 private:
  struct Channel {
    std::unique_ptr<DatagramSocket> socket;
    std::string address;
    int32_t port = 0;
    uint64_t count = 0;
  };
  bool Open(Channel& channel, int32_t& toggle, const std::string& address, int32_t port, bool bind,
            const char* what);
  void Send(const std::string& line);
  void Receive(Channel& channel, size_t maxSentence, bool position);
  void Watch(const std::string& sentence);
  void Refuse(const std::string& what);

  UdpLinks links_;
  DatagramNetwork* network_ = nullptr;
  Channel broadcast_, receive_, position_;
  bool tapped_ = false;  // the NMEA log's lines come to OnLogLine
  RefusalLines refusals_;
  RefusalLines sendFailures_;
  // The watching interpreter: the operator's views with no source of data
  // to answer with, and a frame handler that only shows frames.
  Settings watchSettings_;
  // What the watched modem reports of itself (its unit address, its band)
  // is its own: it must not change the address this program's commands name.
  RunState watchState_;
  RxState watchRx_;
  std::unique_ptr<DataFrameHandler> watchFrames_;
  std::unique_ptr<SentenceSink> noSink_;
  std::unique_ptr<ModemInterpreter> watcher_;
};

}  // namespace tw
