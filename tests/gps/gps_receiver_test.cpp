// The GPS receiver on an in-memory port: opening and closing, taking one
// sentence per tick out of what arrives, and handing accepted fixes on.
#include "gps/gps_receiver.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "map/fake_map_library.h"
#include "protocol/nmea.h"
#include "support/fakes.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

using Lines = std::vector<std::string>;

const std::string RMC = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r";
const std::string RMC2 = "$GPRMC,123520,A,4807.040,S,01131.002,W,022.5,084.1,230394,003.1,W*66\r";
const std::string GGA = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r";

// A line printed, with what the log and the map had seen when it was.
struct Printed {
  std::string text;
  int32_t logRecords;
  size_t mapCalls;
};

class PrintOrder : public TextOut {
 public:
  explicit PrintOrder(const Logs& logs) : logs_(logs) {}
  std::vector<Printed> printed;
  void PrintLine(const std::string& text) override {
    printed.push_back({text, logs_.nmeaRecordCount(), FakeMapCalls().received.size()});
  }

 private:
  const Logs& logs_;
};

class GpsReceiverTest : public ::testing::Test {
 protected:
  GpsReceiverTest() {
    clock.now = LocalTime{2007, 3, 3, 14, 5, 9};
    clock.ticks = 1000;
    logs.LogsInit(3600);
    logs.NMEALogOpen(1);
    map.MapLibraryLoad();
  }

  void Feed(const std::string& bytes) {
    for (char c : bytes) port->incoming.push_back(static_cast<uint8_t>(c));
  }
  // One tick of the 100 ms timer as the program runs it.
  bool Tick() {
    const bool accepted = gps.GPSPoll();
    if (accepted) gps.GPSDispatch();
    return accepted;
  }
  Lines TakeLines() {
    Lines lines;
    for (const Printed& p : out.printed) lines.push_back(p.text);
    out.printed.clear();
    return lines;
  }
  std::string Log() const { return ReadFile(logs.nmeaPath()); }
  static std::string Record(const std::string& sentence, int port = 4) {
    return std::to_string(port) + ",03/03/2007,14:05:09,0x0," +
           sentence.substr(0, sentence.size() - 1) + "\r\n";
  }

  TempDir root;
  ManualClock clock;
  Settings settings;
  RunState state;
  FakePortOpener ports;
  std::shared_ptr<FakePortState> port = ports.add(4);
  SerialLink link{ports, settings.gpsPort};
  Logs logs{clock, root.path(), [](const std::string&, const std::string&) {}};
  PrintOrder out{logs};
  FakeSharedLibrary library;
  MapLibrary map{library, state};
  FakeUi ui;
  GpsReceiver gps{GpsLinks{link, out, logs, settings, state, map, ui}};
};

TEST_F(GpsReceiverTest, OpenAndCloseTheChosenPort) {
  EXPECT_FALSE(link.connected());
  EXPECT_TRUE(gps.GPSOpen());
  EXPECT_EQ(TakeLines(), (Lines{"GPS: connected to COM4.", "GPSOpen() returned GPS_OPEN"}));
  EXPECT_TRUE(port->open);
  EXPECT_EQ(port->baudRate, 4800u);
  EXPECT_TRUE(link.connected());
  EXPECT_TRUE(ui.boxes.empty());

  gps.GPSClose();
  EXPECT_FALSE(port->open);
  EXPECT_FALSE(gps.connected());
  EXPECT_FALSE(link.connected());
  Feed(RMC + "\n");
  EXPECT_FALSE(Tick());  // a closed port is not read
  EXPECT_EQ(port->incoming.size(), RMC.size() + 1);
  EXPECT_TRUE(TakeLines().empty());
}

TEST_F(GpsReceiverTest, FailedOpenWarnsAndLeavesThePortClosed) {
  auto other = ports.add(6);
  settings.gpsPort = SerialSettings{6, 9600, 8, 0, 0};
  ASSERT_TRUE(gps.GPSOpen());
  EXPECT_EQ(other->baudRate, 9600u);
  TakeLines();

  // Connect while connected: the old port goes, the new one opens.
  settings.gpsPort.portNumber = 4;
  ASSERT_TRUE(gps.GPSOpen());
  EXPECT_FALSE(other->open);
  EXPECT_TRUE(port->open);
  EXPECT_EQ(TakeLines(), (Lines{"GPS: connected to COM4.", "GPSOpen() returned GPS_OPEN"}));

  // A port that is absent, and one held by someone else (the modem).
  auto held = ports.add(7);
  auto modem = ports.open(7);
  for (int number : {5, 7}) {
    SCOPED_TRACE(number);
    settings.gpsPort.portNumber = number;
    ui.boxes.clear();
    EXPECT_FALSE(gps.GPSOpen());
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Can't Connect (in use?)");
    EXPECT_EQ(ui.boxes[0].caption, "GPS Port");
    EXPECT_EQ(ui.boxes[0].icon, BoxIcon::Warning);
    EXPECT_FALSE(gps.connected());
    EXPECT_FALSE(port->open);  // the old port was closed first
    EXPECT_FALSE(link.connected());
    // One line names the port; a fake opener knows no device or reason.
    EXPECT_EQ(TakeLines(), Lines{"Error: Can't Connect GPS port COM" + std::to_string(number) +
                                 ": reason unknown."});
  }
  EXPECT_TRUE(held->open);  // the holder keeps its port

  // A port that opens but refuses its settings is closed again.
  port->configureOk = false;
  settings.gpsPort.portNumber = 4;
  EXPECT_FALSE(gps.GPSOpen());
  EXPECT_FALSE(port->open);
}

// A receiver that sends a whole fix's worth of sentences, ten fixes a second,
// and a backlog of them: every sentence is shown in order, every fix logged
// and shown again right after itself, and the map gets only the newest of
// each step, so what it shows is never old. A step's work is bounded; the
// rest comes at the next.
TEST_F(GpsReceiverTest, TakesEverySentenceOfAStepAndTheMapGetsTheNewest) {
  settings.sendGpsToMap = settings.logGpsMessages = settings.showGpsMessages = 1;
  ASSERT_TRUE(gps.GPSOpen());
  TakeLines();
  FakeMapCalls().received.clear();
  Lines shown, fixes;
  for (int k = 0; k < 30; ++k) {
    // A fix of its own time, with its own checksum.
    std::string rmc =
        RMC.substr(0, 7) + std::to_string(100000 + k) + RMC.substr(13, RMC.find('*') - 13);
    NMEAAppendChecksum(rmc);
    rmc.pop_back();  // shown and logged without the LF, as taken
    Feed(rmc + "\n" + GGA + "\n" + GGA + "\n");
    shown.insert(shown.end(), {rmc, rmc, GGA, GGA});
    fixes.push_back(rmc);
  }
  ASSERT_TRUE(Tick());
  EXPECT_GT(out.printed.size(), 40u);
  EXPECT_LT(out.printed.size(), shown.size());
  int steps = 1;
  while (Tick()) ++steps;
  EXPECT_EQ(TakeLines(), shown);
  EXPECT_EQ(FakeMapCalls().received.size(), static_cast<size_t>(steps));
  EXPECT_EQ(FakeMapCalls().received.back(), fixes.back());
  EXPECT_EQ(gps.lastAccepted(), fixes.back());
  std::string records;
  for (const std::string& fix : fixes) records += Record(fix);
  EXPECT_EQ(Log(), records);

  // Split across reads, noise before the '$' and lines without one.
  settings.showGpsMessages = 0;
  Feed("\xff\x13junk\r\n" + RMC.substr(0, 22));
  EXPECT_FALSE(Tick());
  Feed(RMC.substr(22) + "\n");
  EXPECT_TRUE(Tick());
  EXPECT_EQ(gps.lastAccepted(), RMC);
  Feed("no sentence here\r\n");
  EXPECT_FALSE(Tick());
  EXPECT_EQ(link.rx.count(), 0u);
  EXPECT_EQ(TakeLines(), Lines{RMC});
}

TEST_F(GpsReceiverTest, FullBufferWithoutLineFeedIsDroppedAndReadingGoesOn) {
  ASSERT_TRUE(gps.GPSOpen());
  TakeLines();
  // The longest sentence that fits: 255 characters, CR included.
  std::string longest = RMC.substr(0, RMC.size() - 4) + ",";
  longest += std::string(254 - longest.size(), 'x') + "\r";
  ASSERT_EQ(longest.size(), 255u);
  Feed(longest + "\n");
  EXPECT_TRUE(Tick());
  EXPECT_EQ(gps.lastAccepted(), longest);

  // One character more, arriving in two reads: the buffer fills, is dropped,
  // and the rest of that line goes as noise before the next '$'.
  const std::string tooLong = longest.substr(0, 254) + "x\r";
  Feed(tooLong.substr(0, 200));
  EXPECT_FALSE(Tick());
  EXPECT_EQ(link.rx.count(), 200u);
  Feed(tooLong.substr(200) + "\n" + RMC2 + "\n");
  EXPECT_FALSE(Tick());
  EXPECT_TRUE(Tick());
  EXPECT_EQ(gps.lastAccepted(), RMC2);
  EXPECT_EQ(TakeLines(), (Lines{longest, RMC2}));

  // A stream without any line feed never grows past the buffer.
  for (int i = 0; i < 50; ++i) {
    Feed("$GPGSV,3,1,11" + std::string(60, ','));
    EXPECT_FALSE(Tick());
    EXPECT_LT(link.rx.count(), GPS_BUFFER_SIZE);
  }
  EXPECT_TRUE(TakeLines().empty());
}

TEST_F(GpsReceiverTest, LostPortClosesWithOneLineAndIsNotPolledAgain) {
  ASSERT_TRUE(gps.GPSOpen());
  TakeLines();
  port->gone = true;
  EXPECT_FALSE(Tick());
  EXPECT_EQ(TakeLines(), Lines{"Error: Lost GPS port COM4, disconnected."});
  EXPECT_FALSE(gps.connected());
  EXPECT_FALSE(port->open);
  EXPECT_FALSE(link.connected());
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(Tick());
  EXPECT_TRUE(TakeLines().empty());

  // The receiver comes back: reconnecting works as before.
  port->gone = false;
  EXPECT_TRUE(gps.GPSOpen());
}

TEST_F(GpsReceiverTest, EachOptionHandsTheFixOnIndependently) {
  ASSERT_TRUE(gps.GPSOpen());
  TakeLines();
  for (int flags = 0; flags < 8; ++flags) {
    SCOPED_TRACE(flags);
    settings.sendGpsToMap = flags & 1;
    settings.logGpsMessages = (flags >> 1) & 1;
    settings.showGpsMessages = (flags >> 2) & 1;
    FakeMapCalls().received.clear();
    const std::string logBefore = Log();
    Feed(GGA + "\n" + RMC + "\n");
    EXPECT_TRUE(Tick());
    Lines expected = {GGA, RMC};
    if (settings.showGpsMessages) expected.push_back(RMC);
    EXPECT_EQ(TakeLines(), expected);
    EXPECT_EQ(FakeMapCalls().received, settings.sendGpsToMap ? Lines{RMC} : Lines{});
    EXPECT_EQ(Log(), logBefore + (settings.logGpsMessages ? Record(RMC) : ""));
  }
}

TEST_F(GpsReceiverTest, DispatchGoesToMapThenLogThenTerminal) {
  settings.sendGpsToMap = settings.logGpsMessages = settings.showGpsMessages = 1;
  settings.gpsPort.portNumber = 6;
  port = ports.add(6);
  ASSERT_TRUE(gps.GPSOpen());
  TakeLines();
  int32_t logAtMap = -1;
  FakeMapCalls().onSend = [&] { logAtMap = logs.nmeaRecordCount(); };
  Feed(RMC + "\n");
  ASSERT_TRUE(Tick());
  EXPECT_EQ(logAtMap, 0);  // the map first
  ASSERT_EQ(out.printed.size(), 2u);
  EXPECT_EQ(out.printed[1].text, RMC);  // the terminal last
  EXPECT_EQ(out.printed[1].logRecords, 1);
  EXPECT_EQ(out.printed[1].mapCalls, 1u);
  EXPECT_EQ(Log(), Record(RMC, 6));  // under the GPS port's number
}

TEST_F(GpsReceiverTest, NothingGoesToTheMapWhileItIsNotAvailable) {
  state.mapAvailable = 0;  // the library is loaded, but the flag says no
  settings.sendGpsToMap = 1;
  ASSERT_TRUE(gps.GPSOpen());
  Feed(RMC + "\n");
  EXPECT_TRUE(Tick());
  EXPECT_TRUE(FakeMapCalls().received.empty());
}

TEST_F(GpsReceiverTest, HeldBytesSurviveAReconnect) {
  ASSERT_TRUE(gps.GPSOpen());
  Feed(RMC.substr(0, 30));
  EXPECT_FALSE(Tick());
  gps.GPSClose();
  ASSERT_TRUE(gps.GPSOpen());
  Feed(RMC.substr(30) + "\n");
  EXPECT_TRUE(Tick());
  EXPECT_EQ(gps.lastAccepted(), RMC);
}

}  // namespace
}  // namespace tw::test
