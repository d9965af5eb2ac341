// The GPS receiver on a second serial port: opened from the "GPS Serial
// Settings" dialog, polled on the 100 ms timer, closed from the GPS menu.
// Every sentence it sends is shown; accepted "$GPRMC," fixes are handed to
// the map program, the NMEA log and the terminal, each under its own option.
// Nothing is ever sent to the receiver.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "core/settings.h"
#include "core/text_out.h"
#include "core/ui.h"
#include "logging/logs.h"
#include "map/map_library.h"
#include "serial/rx_ring.h"
#include "serial/serial_link.h"

namespace tw {

// Bytes held for one sentence, from its '$' to its line feed: a sentence is
// at most GPS_BUFFER_SIZE - 1 characters, CR included.
constexpr uint32_t GPS_BUFFER_SIZE = 256;
// The most sentences one step takes (a receiver sends several per fix, ten
// fixes a second at most), and the most bytes it reads: enough for 115200
// baud on the 100 ms step. What is beyond waits for the next step.
constexpr size_t GPS_SENTENCES_PER_STEP = 64;
constexpr uint32_t GPS_BYTES_PER_STEP = 4096;

constexpr const char* GPS_OPEN_TEXT = "GPSOpen() returned GPS_OPEN";
constexpr const char* GPS_CONNECTED_FORMAT = "GPS: connected to COM%d.";
constexpr const char* GPS_LOST_FORMAT = "Error: Lost GPS port COM%d, disconnected.";
constexpr const char* GPS_CANT_CONNECT = "Can't Connect (in use?)";
constexpr const char* GPS_BOX_CAPTION = "GPS Port";

// Takes the next sentence out of a GPS port's ring: bytes before the first
// '$' are dropped (all of them when there is none), then the sentence is the
// text from the '$' up to, not including, its line feed (a CR before it
// stays). False when no whole sentence is there yet; when GPS_BUFFER_SIZE
// bytes from the '$' on hold no line feed, they can never make a sentence
// and are dropped, and the next '$' starts afresh on the next call.
bool GPSTakeSentence(RxState& rx, std::string& sentence);

// What the receiver needs from the program.
struct GpsLinks {
  SerialLink& link;          // the GPS port, on the operator's GPS port settings
  TextOut& out;              // the main window's terminal
  Logs& logs;                // accepted fixes go to the NMEA log
  const Settings& settings;  // the GPS toggles and the GPS port number
  const RunState& state;     // whether the map program's library is there
  MapLibrary& map;
  MessageBoxes& boxes;
};

class GpsReceiver {
 public:
  explicit GpsReceiver(GpsLinks links);

  // The dialog's "Connect", after it stored the port and baud rate: closes
  // an open GPS port, opens the chosen one. On success the terminal shows
  // "GPS: connected to COMn." and "GPSOpen() returned GPS_OPEN"; otherwise
  // a warning box says "Can't Connect (in use?)" and the port stays closed.
  // The GPS menu's "Disconnect" follows whether the port is open.
  bool GPSOpen();
  // The GPS menu's "Disconnect": closes the port.
  void GPSClose();

  // One tick of the 100 ms timer: reads what has arrived and takes every
  // whole sentence (up to GPS_SENTENCES_PER_STEP), each shown on the
  // terminal as it arrived and checked; each accepted "$GPRMC," sentence is
  // handed on as GPSDispatch does, but for the map. True when one was
  // accepted: the newest of them is then left to GPSDispatch. A port that
  // has gone away is closed with one line.
  bool GPSPoll();
  // Hands the last accepted sentence on, in this order: to the map program
  // (both "Send GPS Fixes to Map" and the library needed), to the NMEA log
  // under the GPS port number ("Log GPS Messages"), to the terminal a second
  // time ("Show GPS Messages"); then shows the step's sentences that came
  // after it. So the map gets the newest fix of each step, never an old one.
  void GPSDispatch();

  // A sentence that came over the network rather than the GPS port: shown,
  // checked and, when accepted, handed on as GPSDispatch does (map, NMEA log
  // under `sourcePort`, terminal). True when accepted.
  bool GPSTakeNetworkSentence(const std::string& sentence, int sourcePort);
  // Told every fix accepted from the GPS port, as received.
  void SetFixListener(std::function<void(const std::string&)> listener) {
    fixListener_ = std::move(listener);
  }

  bool connected() const { return links_.link.connected(); }
  // The most recent accepted sentence as received, CR included.
  const std::string& lastAccepted() const { return lastAccepted_; }

 private:
  bool OpenPort();
  void PortLost();
  // To the map (when asked for), the log and the terminal, per the options.
  void HandOn(const std::string& sentence, bool toMap, int sourcePort);
  void ShowHeld();

  GpsLinks links_;
  std::string lastAccepted_;
  std::vector<std::string> held_;  // the step's sentences after its newest fix
  std::function<void(const std::string&)> fixListener_;
};

}  // namespace tw
