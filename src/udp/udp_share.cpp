#include "udp/udp_share.h"

#include "core/fixed_format.h"
#include "core/settings_table.h"
#include "udp/udp_address.h"

namespace tw {

namespace {

std::string WithoutLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  return std::string(line);
}

// Shows a received frame as it came: a watcher decodes no payload into
// files, and answers no data request.
class ShowFramesOnly : public DataFrameHandler {
 public:
  explicit ShowFramesOnly(TextOut& out) : out_(out) {}
  void ReceiveDataFrame(const std::string& sentence) override {
    out_.PrintLine(WithoutLineEnd(sentence));
  }
  std::string BuildDataFrame(int32_t, int32_t, int32_t, int32_t) override { return {}; }

 private:
  TextOut& out_;
};

// The watcher's sink: it never has a port to send on.
class SendsNothing : public SentenceSink {
 public:
  void SendSentence(const std::string&) override {}
  bool IsConnected() const override { return false; }
};

}  // namespace

UdpShare::UdpShare(UdpLinks links)
    : links_(std::move(links)),
      watchFrames_(std::make_unique<ShowFramesOnly>(links_.out)),
      noSink_(std::make_unique<SendsNothing>()) {
  RxInit(watchRx_);
  watcher_ = std::make_unique<ModemInterpreter>(InterpreterLinks{
      links_.out, *noSink_, links_.logs, watchSettings_, links_.modem, watchState_, links_.stats,
      watchFrames_.get(), links_.noiseReport, nullptr, UDP_MODEM_SOURCE});
  links_.gps.SetFixListener([this](const std::string& sentence) { OnGpsFix(sentence); });
}

UdpShare::~UdpShare() {
  links_.logs.SetLineTap(nullptr);
  links_.gps.SetFixListener(nullptr);
  RxFree(watchRx_);
}

void UdpShare::Follow() {
  if (network_ == nullptr) return;
  UdpSettings& u = links_.settings.udp;
  Open(broadcast_, u.broadcast, u.broadcastAddress, u.broadcastPort, false,
       "broadcast modem data to");
  // The log's lines are tapped only while they go out: every sentence passes
  // there, and most runs share nothing.
  if (tapped_ != (broadcast_.socket != nullptr)) {
    tapped_ = broadcast_.socket != nullptr;
    if (tapped_) {
      links_.logs.SetLineTap(
          [this](int source, std::string_view line) { OnLogLine(source, line); });
    } else {
      links_.logs.SetLineTap(nullptr);
    }
  }
  Open(receive_, u.receive, u.receiveAddress, u.receivePort, true, "receive modem data on");
  Open(position_, u.shipPosition, u.positionAddress, u.positionPort, true,
       "receive ship position on");
}

// A channel follows its toggle and endpoint: a changed endpoint closes the
// old socket and opens the new one.
bool UdpShare::Open(Channel& c, int32_t& toggle, const std::string& address, int32_t port,
                    bool bind, const char* what) {
  if (c.socket && (!toggle || c.address != address || c.port != port)) c.socket.reset();
  if (!toggle || c.socket) return c.socket != nullptr;
  const std::string endpoint = UdpEndpointText(address, port);
  std::string why = CheckUdpAddress(address);
  if (why.empty() && (port < 1 || port > UDP_PORT_MAX)) {
    why = FixedFormat("port %d is outside 1..%d", port, UDP_PORT_MAX);
  }
  std::unique_ptr<DatagramSocket> socket;
  if (why.empty()) {
    socket = network_->Open();
    if (bind && !socket->Bind(address, static_cast<uint16_t>(port), why) && why.empty()) {
      why = "the address cannot be bound";
    }
  }
  if (!why.empty()) {
    links_.out.PrintWrapped(std::string("UDP: Can't ") + what + " " + endpoint + ": " + why + ".");
    toggle = 0;
    return false;
  }
  c = Channel{std::move(socket), address, port, 0};
  if (&c == &broadcast_) {
    links_.out.PrintLine("UDP: Broadcasting modem data to " + endpoint + ".");
  } else if (&c == &receive_) {
    links_.out.PrintWrapped("UDP: Watching modem data from " + endpoint +
                            "; nothing is answered, sent or written.");
  } else {
    links_.out.PrintLine("UDP: Ship position from " + endpoint + ".");
  }
  return true;
}

void UdpShare::Step() {
  Follow();
  Receive(receive_, UDP_MODEM_SENTENCE_MAX, false);
  Receive(position_, UDP_GPS_SENTENCE_MAX, true);
  const uint32_t now = links_.clock.tickCount();
  for (RefusalLines* lines : {&refusals_, &sendFailures_}) {
    if (auto line = lines->Due(now)) links_.out.PrintWrapped(*line);
  }
}

void UdpShare::Receive(Channel& c, size_t maxSentence, bool position) {
  Datagram d;
  for (int n = 0; n < UDP_DATAGRAMS_PER_STEP && c.socket && c.socket->Receive(d); ++n) {
    const DatagramSentences split = SplitDatagram(d.bytes, maxSentence);
    if (!split.refusal.empty()) {
      Refuse("Refused a datagram from " + d.from + ": " + split.refusal);
      continue;
    }
    for (const std::string& sentence : split.sentences) {
      ++c.count;
      if (position) {
        links_.gps.GPSTakeNetworkSentence(sentence, UDP_POSITION_SOURCE);
      } else {
        Watch(sentence);
      }
    }
  }
}

// Through the modem interpreter, as if from the modem, with the operator's
// views but no source of data to answer a request with. What the driving
// program sent its modem is shown as it shows it: only under "Show NMEA
// Outgoing".
void UdpShare::Watch(const std::string& sentence) {
  if (sentence.rfind("$CC", 0) == 0) {
    links_.logs.NMEALogLine(UDP_MODEM_SOURCE, sentence);
    if (links_.settings.showNmeaOutgoing) links_.out.PrintLine(sentence);
    return;
  }
  watchSettings_ = links_.settings;
  watchSettings_.useTestDataNoAck = 0;
  watchSettings_.useTestDataAck = 0;
  watchSettings_.useCustomString = 0;
  watchSettings_.useNodeProtocol = 0;
  const std::string line = sentence + "\r\n";
  RxReset(watchRx_);
  RxAppend(watchRx_, reinterpret_cast<const uint8_t*>(line.data()), line.size());
  watcher_->InterpretModemLine(watchRx_);
}

void UdpShare::Refuse(const std::string& what) {
  if (auto line = refusals_.Refuse(links_.clock.tickCount(), what)) links_.out.PrintWrapped(*line);
}

// What goes to and comes from the modem port; not what arrived by UDP (its
// own source numbers), nor GPS fixes, which OnGpsFix sends under the option.
void UdpShare::OnLogLine(int sourcePort, std::string_view line) {
  if (!broadcast_.socket || line.empty()) return;
  const bool fromModem = links_.modem.connected() && sourcePort == links_.modem.portNumber();
  if (sourcePort == 0 || fromModem) Send(std::string(line));
}

void UdpShare::OnGpsFix(const std::string& sentence) {
  if (broadcast_.socket && links_.settings.udp.broadcastGps) Send(WithoutLineEnd(sentence));
}

void UdpShare::Send(const std::string& line) {
  std::string why;
  if (broadcast_.socket->SendTo(broadcast_.address, static_cast<uint16_t>(broadcast_.port),
                                line + "\r\n", why)) {
    ++broadcast_.count;
    return;
  }
  const std::string what =
      "Broadcast to " + UdpEndpointText(broadcast_.address, broadcast_.port) + " failed: " + why;
  if (auto text = sendFailures_.Refuse(links_.clock.tickCount(), what)) {
    links_.out.PrintWrapped(*text);
  }
}

std::string UdpShare::StatusText() const {
  std::string text;
  const std::pair<const Channel*, const char*> parts[] = {
      {&broadcast_, "TX"}, {&receive_, "RX"}, {&position_, "GPS"}};
  for (const auto& [c, name] : parts) {
    if (!c->socket) continue;
    text += (text.empty() ? "UDP " : "  ") + std::string(name) + " " +
            UdpEndpointText(c->address, c->port) +
            FixedFormat(" (%llu)", static_cast<unsigned long long>(c->count));
  }
  return text;
}

}  // namespace tw
