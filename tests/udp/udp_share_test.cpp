// Sharing over UDP on a fake network: what a datagram may carry, the
// refusal lines, and a whole program broadcasting, watching and taking the
// ship's position.
#include "udp/udp_share.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>

#include "core/commands.h"
#include "support/program_fixture.h"
#include "udp/udp_address.h"

namespace tw::test {
namespace {

// Sockets that record what is sent and hand out what a test queued for
// their bound port.
struct FakeNetwork : DatagramNetwork {
  struct Socket : DatagramSocket {
    explicit Socket(FakeNetwork& n) : net(n) {}
    bool Bind(const std::string&, uint16_t p, std::string& why) override {
      port = p;
      return (why = net.bindFailure).empty();
    }
    bool SendTo(const std::string& a, uint16_t p, const std::string& bytes, std::string&) override {
      net.sent.push_back(UdpEndpointText(a, p) + " " + bytes);
      return true;
    }
    bool Receive(Datagram& d) override {
      auto& queue = net.inbox[port];
      if (queue.empty()) return false;
      d = queue.front();
      queue.pop_front();
      return true;
    }
    FakeNetwork& net;
    int port = 0;
  };
  std::unique_ptr<DatagramSocket> Open() override { return std::make_unique<Socket>(*this); }

  std::vector<std::string> sent;              // "address:port bytes"
  std::map<int, std::deque<Datagram>> inbox;  // by bound port
  std::string bindFailure;
};

TEST(UdpDatagrams, SentencesAndRefusals) {
  struct Case {
    std::string bytes;
    std::string sentences;  // joined by '|'
    std::string refusal;
  };
  const Case cases[] = {
      {"$GPRMC,1*00\r\n", "$GPRMC,1*00", ""},
      {"$CAREV,x", "$CAREV,x", ""},  // no line end
      {"$A\n$B\r\n", "$A|$B", ""},
      {"hello\r\n", "", "not a sentence"},
      {"$CA\x01X\r\n", "", "not a sentence"},
      {"$A\r\nX", "", "not a sentence"},  // one bad line refuses the whole
      {"\r\n", "", "not a sentence"},
      {"$1234567890123", "", "not a sentence"},  // 14 characters, 12 at most
      {"$12345678901234", "", "15 bytes, longer than a sentence (at most 14)"},
  };
  for (const Case& c : cases) {
    const DatagramSentences got = SplitDatagram(c.bytes, 12);
    std::string joined;
    for (const std::string& s : got.sentences) joined += (joined.empty() ? "" : "|") + s;
    EXPECT_EQ(joined, c.sentences) << c.bytes;
    EXPECT_EQ(got.refusal, c.refusal) << c.bytes;
  }
}

TEST(UdpDatagrams, AddressesAndSettings) {
  for (const char* good : {"127.0.0.1", "255.255.255.255", "0.0.0.0", "192.168.1.255"}) {
    EXPECT_EQ(CheckUdpAddress(good), "") << good;
  }
  for (const char* bad : {"256.1.1.1", "1.2.3", "1.2.3.4.5", "1..2.3", "a.b.c.d", "1.2.3.4 ",
                          "0001.2.3.4", "localhost"}) {
    EXPECT_NE(CheckUdpAddress(bad).find("is not an IPv4 address"), std::string::npos) << bad;
  }
  EXPECT_EQ(CheckUdpSettings(Settings().udp), "");
  UdpSettings u = Settings().udp;
  u.positionPort = u.receivePort;
  EXPECT_EQ(CheckUdpSettings(u),
            "Modem data and ship position both on port 10111: each needs "
            "its own");
  u = Settings().udp;
  u.receiveAddress = "10.0.0";
  EXPECT_EQ(CheckUdpSettings(u).rfind("Modem data address: \"10.0.0\" is not", 0), 0u);
}

TEST(UdpDatagrams, RefusalsAreToldOnceASecondWithTheirCount) {
  RefusalLines r;
  EXPECT_EQ(r.Refuse(0, "a"), "UDP: a.");
  EXPECT_EQ(r.Refuse(100, "b"), std::nullopt);
  EXPECT_EQ(r.Refuse(900, "c"), std::nullopt);
  EXPECT_EQ(r.Due(999), std::nullopt);
  EXPECT_EQ(r.Due(1000), "UDP: 2 more like it; the last: c.");
  EXPECT_EQ(r.Due(5000), std::nullopt);
  EXPECT_EQ(r.Refuse(5000, "d"), "UDP: d.");  // quiet for a second: told at once
  EXPECT_EQ(r.total(), 4u);
}

class UdpProgram : public ProgramTest {
 protected:
  UdpProgram() { program->udp().SetNetwork(&net); }
  void Step() { program->OnTimer(TIMER_SLOW); }
  void Arrive(int port, const std::string& bytes) {
    net.inbox[port].push_back({bytes, "10.0.0.5:4000"});
  }
  FakeNetwork net;
};

TEST_F(UdpProgram, BroadcastsWhatTheLogSeesAndAcceptedFixesUnderTheOption) {
  auto modem = Connect();
  auto gpsPort = ports.add(4);
  program->gps().GPSOpen();
  program->OnCommand(cmd::UDP_BROADCAST);
  EXPECT_TRUE(program->menu().IsChecked(cmd::UDP_BROADCAST));
  TakeLines();
  for (char c : std::string("$CAREV,1\r\n")) modem->incoming.push_back(static_cast<uint8_t>(c));
  program->OnTimer(TIMER_POLL);
  program->OnCommand(cmd::SHOW_MODEM_SETTINGS);
  const std::string rmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A";
  for (int option : {0, 1}) {
    program->settings().udp.broadcastGps = option;
    for (char c : rmc + "\r\n") gpsPort->incoming.push_back(static_cast<uint8_t>(c));
    Step();
  }
  EXPECT_EQ(net.sent, (std::vector<std::string>{"127.0.0.1:10110 $CAREV,1\r\n",
                                                "127.0.0.1:10110 $CCCFQ,ALL\r\n",
                                                "127.0.0.1:10110 " + rmc + "\r\n"}));
  EXPECT_EQ(program->Status().udp, "UDP TX 127.0.0.1:10110 (3)");
  program->OnCommand(cmd::UDP_BROADCAST);
  EXPECT_EQ(program->Status().udp, "");
}

TEST_F(UdpProgram, AWatcherShowsCountsAndLogsButAnswersNothing) {
  auto modem = Connect();
  program->OnCommand(cmd::NMEA_LOG_START);
  program->OnCommand(cmd::USE_TEST_DATA_ACK);
  program->OnCommand(cmd::UDP_BROADCAST);
  program->OnCommand(cmd::UDP_RECEIVE);
  EXPECT_EQ(TakeLines().back(),
            "UDP: Watching modem data from 127.0.0.1:10111; nothing is answered, sent or "
            "written.");
  Arrive(10111, "$CADRQ,120000,1,0,1,32,1\r\n");
  Arrive(10111, "$CARXD,1,2,0,1,0a0b\r\n");
  for (const char* bad : {"junk", "$\x01", "more junk"}) Arrive(10111, bad);
  Step();
  EXPECT_EQ(TakeLines(), (std::vector<std::string>{
                             "Got ACK Data Request 1->0     [32 bytes]",
                             "$CARXD,1,2,0,1,0a0b",
                             "UDP: Refused a datagram from 10.0.0.5:4000: not a sentence.",
                         }));
  clock.ticks += 1000;
  Step();
  EXPECT_EQ(TakeLines(),
            (std::vector<std::string>{"UDP: 2 more like it; the last: Refused a datagram from "
                                      "10.0.0.5:4000: not a sentence."}));
  EXPECT_EQ(modem->written, "");  // no answer to the request
  EXPECT_TRUE(net.sent.empty());  // and nothing received is broadcast
  EXPECT_EQ(program->stats().goodRx, 1);
  // The watched modem's own address stays its own: our commands keep ours.
  const int32_t unit = program->state().modemUnit;
  Arrive(10111, "$CACFG,SRC,7\r\n");
  Step();
  EXPECT_EQ(program->state().modemUnit, unit);
  program->OnCommand(cmd::NMEA_LOG_STOP);
  const std::string log = ReadFile(program->logs().LogFileName("NMEA", 1, "CSV"));
  EXPECT_NE(log.find("17,03/03/2007,14:05:09,0x0,$CADRQ,120000,1,0,1,32,1\r\n"), std::string::npos)
      << log;
}

TEST_F(UdpProgram, ShipPositionGoesThroughTheGpsCheckAndABindFailureSaysWhy) {
  program->settings().logGpsMessages = 1;
  Connect();
  program->OnCommand(cmd::NMEA_LOG_START);
  program->OnCommand(cmd::UDP_SHIP_POSITION);
  const std::string rmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A";
  Arrive(10112, rmc + "\r\n");
  Arrive(10112, "$GPRMC,123519,V,,,,,,,230394,,*00\r\n");
  net.bindFailure = "Address already in use";
  program->OnCommand(cmd::UDP_RECEIVE);
  Step();
  EXPECT_FALSE(program->menu().IsChecked(cmd::UDP_RECEIVE));
  EXPECT_EQ(program->settings().udp.receive, 0);
  const std::vector<std::string> lines = TakeLines();
  EXPECT_EQ(std::vector<std::string>(lines.end() - 4, lines.end()),
            (std::vector<std::string>{
                "UDP: Ship position from 127.0.0.1:10112.",
                "UDP: Can't receive modem data on 127.0.0.1:10111: Address already in use.", rmc,
                "$GPRMC,123519,V,,,,,,,230394,,*00"}));
  program->OnCommand(cmd::NMEA_LOG_STOP);
  const std::string log = ReadFile(program->logs().LogFileName("NMEA", 1, "CSV"));
  EXPECT_NE(log.find("18,03/03/2007,14:05:09,0x0," + rmc + "\r\n"), std::string::npos) << log;
  EXPECT_EQ(log.find(",V,"), std::string::npos);
}

}  // namespace
}  // namespace tw::test
