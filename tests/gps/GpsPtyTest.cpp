// The GPS path end to end: the test plays a receiver on the master side of a
// pseudo-terminal for three minutes of traffic, the program polls the slave
// on its 100 ms tick, and the terminal, the NMEA log and the stand-in map
// library show what came through.
#include <gtest/gtest.h>
#include <unistd.h>

#include <random>
#include <string>
#include <vector>

#include "gps/gps_receiver.h"
#include "gps/gps_traffic.h"
#include "map/QtSharedLibrary.h"
#include "map/StandinProbe.h"
#include "serial/QtSerialPort.h"
#include "support/fakes.h"
#include "support/program_fixture.h"
#include "support/pty.h"
#include "support/wait.h"
#include "terminal/terminal.h"

namespace tw::test {
namespace {

using Lines = std::vector<std::string>;

class GpsOnPty : public ::testing::Test {
 protected:
  GpsOnPty() : opener(ports) {
    clock.now = LocalTime{2007, 3, 3, 14, 5, 9};
    clock.ticks = 1000;
  }

  void SetUp() override {
    ASSERT_TRUE(pty.ok());
    ports.set(4, pty.slavePath());
    terminal.Open();
    terminal.AddLineListener([this](const std::string& line) { lines.push_back(line); });
    logs.LogsInit(3600);
    logs.NMEALogOpen(1);
    ASSERT_EQ(map.MapLibraryLoad(), MAP_LOADED) << library.errorString().toStdString();
    ASSERT_TRUE(probe.ok());
    probe.reset();
    ASSERT_TRUE(gps.GPSOpen());
    ASSERT_EQ(lines, (Lines{"[14:05:09] GPS: connected to COM4.",
                            "[14:05:09] GPSOpen() returned GPS_OPEN"}));
    lines.clear();
  }

  void Tick() {
    if (gps.GPSPoll()) gps.GPSDispatch();
  }
  // Ticks until `count` lines are shown.
  void TickUntilLines(size_t count) {
    EXPECT_TRUE(WaitUntil([&] { return lines.size() >= count; }, [this] { Tick(); }));
  }
  void SetSecond(int t) {
    clock.now.minute = 5 + (9 + t) / 60;
    clock.now.second = (9 + t) % 60;
    clock.ticks = 1000 + 1000 * static_cast<uint32_t>(t);
  }
  std::string Stamp() const {
    return FixedFormat("[%02d:%02d:%02d] ", clock.now.hour, clock.now.minute, clock.now.second);
  }
  std::string Record(const std::string& sentence) const {
    return FixedFormat("4,03/03/2007,%02d:%02d:%02d,0x0,", clock.now.hour, clock.now.minute,
                       clock.now.second) +
           sentence + "\r\n";
  }

  PtyPair pty;
  PortMap ports;
  QtSerialPortOpener opener;
  TempDir root;
  ManualClock clock;
  Settings settings;
  RunState state;
  SerialLink link{opener, settings.gpsPort};
  NullSurface surface;
  Terminal terminal{clock, surface};
  Logs logs{clock, root.path(), [](const std::string&, const std::string&) {}};
  QtSharedLibrary library{TW_MAP_STANDIN};
  MapLibrary map{library, state};
  StandinProbe probe{TW_MAP_STANDIN};
  FakeUi ui;
  GpsReceiver gps{GpsLinks{link, terminal, logs, settings, state, map, ui}};
  Lines lines;
};

TEST_F(GpsOnPty, ThreeMinutesOfReceiverTraffic) {
  GpsTraffic receiver(2007);
  std::mt19937 cuts(42);
  Lines expectedLines;
  Lines expectedMap;
  std::string expectedLog;
  int accepted = 0;
  for (int t = 0; t < 180; ++t) {
    // Each minute another combination of the three options.
    const int minute = t / 60;
    settings.showGpsMessages = minute != 1;
    settings.logGpsMessages = minute != 2;
    settings.sendGpsToMap = minute != 1;
    SetSecond(t);

    const GpsSecond second = receiver.Second(t);
    for (const GpsLine& line : second.lines) {
      if (!line.shown) continue;
      const std::string text = line.bytes.substr(0, line.bytes.size() - 1);  // CR kept
      expectedLines.push_back(Stamp() + text);
      if (!line.accepted) continue;
      ++accepted;
      if (settings.showGpsMessages) expectedLines.push_back(Stamp() + text);
      if (settings.sendGpsToMap) expectedMap.push_back(text);
      if (settings.logGpsMessages) expectedLog += Record(text.substr(0, text.size() - 1));
    }

    // The second's bytes in reads of any size, a tick after each, the way
    // they trickle in at 4800 baud; a read may end inside a sentence or hold
    // several.
    const std::string stream = second.Stream();
    size_t at = 0;
    while (at < stream.size()) {
      const size_t n = std::uniform_int_distribution<size_t>(1, 160)(cuts);
      ASSERT_TRUE(pty.write(stream.substr(at, n)));
      at += n;
      Tick();
    }
    TickUntilLines(expectedLines.size());
    ASSERT_EQ(lines, expectedLines) << "second " << t;
  }
  EXPECT_GT(accepted, 140);
  EXPECT_EQ(probe.received(), expectedMap);
  EXPECT_EQ(probe.otherCalls(), 0);
  EXPECT_EQ(ReadFile(logs.nmeaPath()), expectedLog);

  // Nothing more comes: the ticks stay quiet.
  for (int i = 0; i < 20; ++i) Tick();
  EXPECT_EQ(lines.size(), expectedLines.size());
}

TEST_F(GpsOnPty, ReceiverGoneClosesThePortWithOneLine) {
  EXPECT_TRUE(link.connected());
  pty.closeMaster();
  EXPECT_TRUE(WaitUntil([this] { return !gps.connected(); }, [this] { Tick(); }));
  for (int i = 0; i < 20; ++i) Tick();
  EXPECT_EQ(lines, Lines{"[14:05:09] Error: Lost GPS port COM4, disconnected."});
  EXPECT_FALSE(link.connected());
}

}  // namespace
}  // namespace tw::test
