#include "app/replay_feed.h"

#include <algorithm>
#include <cstring>

namespace tw {

// The replay's GPS "port": it holds the recorded sentences handed to it and
// gives them to the GPS receiver's poll as a receiver's port would; what
// is written to it goes nowhere (nothing is ever written to a GPS).
class ReplayFeed::RecordedPorts : public SerialPortOpener {
 public:
  std::deque<uint8_t> waiting;

  std::unique_ptr<SerialPort> open(int) override { return std::make_unique<Port>(waiting); }

 private:
  class Port : public SerialPort {
   public:
    explicit Port(std::deque<uint8_t>& waiting) : waiting_(waiting) {}
    bool configure(uint32_t) override { return true; }
    int readAvailable(uint8_t* destination, int max) override {
      const size_t n = std::min(waiting_.size(), static_cast<size_t>(std::max(max, 0)));
      std::copy_n(waiting_.begin(), n, destination);
      waiting_.erase(waiting_.begin(), waiting_.begin() + static_cast<std::ptrdiff_t>(n));
      return static_cast<int>(n);
    }
    bool writeAll(const char*, size_t, int) override { return false; }

   private:
    std::deque<uint8_t>& waiting_;
  };
};

ReplayFeed::ReplayFeed(ReplayLinks links)
    : links_(std::move(links)),
      logs_(links_.clock, links_.receiveFolder, [](const std::string&, const std::string&) {}),
      ports_(std::make_unique<RecordedPorts>()),
      gpsLink_(*ports_, gpsPort_),
      gps_(
          GpsLinks{gpsLink_, links_.out, logs_, settings_, links_.state, links_.map, links_.boxes}),
      frames_(links_.files, links_.out, links_.nodes, links_.receiveFolder),
      interpreter_(InterpreterLinks{links_.out, sink_, logs_, settings_, gpsLink_, links_.state,
                                    links_.stats, &frames_, links_.noiseReport}) {
  frames_.InitDataFrames();
  frames_.writeReceivedFiles = false;
  RxInit(rx_);
  RxInit(gpsLink_.rx);
  gpsPort_.portNumber = links_.settings.gpsPort.portNumber;
  gpsLink_.Connect();
  FollowSettings();
}

ReplayFeed::~ReplayFeed() {
  gpsLink_.Disconnect();
  RxFree(rx_);
  RxFree(gpsLink_.rx);
}

void ReplayFeed::FollowSettings() {
  settings_ = links_.settings;
  settings_.useTestDataNoAck = 0;
  settings_.useTestDataAck = 0;
  settings_.useCustomString = 0;
  settings_.useNodeProtocol = 0;
}

void ReplayFeed::Modem(const std::string& sentence) {
  // As it came from the port: the interpreter takes it up to its LF, and
  // shows it, when it shows it as it arrived, with its CR.
  const std::string line = sentence + "\r\n";
  RxReset(rx_);
  RxAppend(rx_, reinterpret_cast<const uint8_t*>(line.data()), line.size());
  interpreter_.InterpretModemLine(rx_);
  RxReset(rx_);
}

void ReplayFeed::Gps(const std::string& sentence) {
  for (char c : sentence + "\r\n") ports_->waiting.push_back(static_cast<uint8_t>(c));
  if (gps_.GPSPoll()) gps_.GPSDispatch();
  ports_->waiting.clear();
}

void ReplayFeed::Outgoing(const std::string& sentence) {
  if (links_.settings.showNmeaOutgoing) links_.out.PrintLine(sentence);
}

}  // namespace tw
