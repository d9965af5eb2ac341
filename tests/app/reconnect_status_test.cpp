// The modem port after it went away, with and without reconnecting, and the
// status bar's fields as the program reports them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/commands.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

using namespace tw::cmd;
using Lines = std::vector<std::string>;

class Reconnect : public ProgramTest {
 protected:
  // Runs the 100 ms step for `ms` milliseconds of the clock, polling the
  // port on the way as the 20 ms timer would.
  void Run(int ms) {
    for (int t = 0; t < ms; t += 100) {
      clock.ticks += 100;
      program->OnTimer(TIMER_POLL);
      program->OnTimer(TIMER_SLOW);
    }
  }
  // Pulls the device out from under the open port.
  void Pull(const std::shared_ptr<FakePortState>& port) {
    port->gone = true;
    program->OnTimer(TIMER_POLL);
    ports.ports.erase(1);  // and it is not there to open
  }
  size_t Opens() const { return ports.opened.size(); }
};

TEST_F(Reconnect, OffByDefaultALostPortStaysClosed) {
  EXPECT_FALSE(program->reconnect());
  auto port = Connect();
  Pull(port);
  TakeLines();
  ports.ports[1] = port;
  port->gone = false;
  const size_t opens = Opens();
  Run(10000);
  EXPECT_EQ(Opens(), opens);
  EXPECT_FALSE(program->modem().connected());
  EXPECT_TRUE(TakeLines().empty());
}

TEST_F(Reconnect, TriesEveryTwoSecondsQuietlyThenCarriesOn) {
  program->SetReconnect(true);
  auto port = Connect();
  program->OnCommand(NMEA_LOG_START);
  const auto firstLog = program->logs().nmeaPath();
  ASSERT_TRUE(program->logs().nmeaOpen());
  TakeLines();

  Pull(port);
  EXPECT_EQ(TakeLines(),
            (Lines{"Error: Lost modem port COM1, disconnected.", "Trying COM1 again every 2 s."}));
  EXPECT_TRUE(program->reconnecting());
  EXPECT_FALSE(program->logs().nmeaOpen());

  // Absent: one try per 2 s, nothing printed, no box.
  const size_t opens = Opens();
  Run(1900);
  EXPECT_EQ(Opens(), opens);
  Run(100);
  EXPECT_EQ(Opens(), opens + 1);
  Run(6000);
  EXPECT_EQ(Opens(), opens + 4);
  EXPECT_TRUE(TakeLines().empty());
  EXPECT_TRUE(ui.boxes.empty());

  // Back, at another baud rate chosen meanwhile: it opens with the settings.
  clock.now.second += 20;  // the new log gets a name of its own
  auto back = ports.add(1);
  program->settings().modemPort.baudRate = 9600;
  Run(2000);
  ASSERT_TRUE(program->modem().connected());
  EXPECT_EQ(back->baudRate, 9600u);
  EXPECT_FALSE(program->reconnecting());
  EXPECT_EQ(TakeLines(), Lines{"Reconnected to COM1 () at 9600 baud."});
  EXPECT_EQ(ui.title, "Tidewire [COM1]");
  EXPECT_TRUE(program->menu().IsEnabled(DISCONNECT));
  EXPECT_FALSE(program->menu().IsEnabled(CONNECT));
  ASSERT_TRUE(program->logs().nmeaOpen());
  EXPECT_TRUE(program->menu().IsEnabled(NMEA_LOG_STOP));

  // Data flows again and lands in the reopened log.
  const std::string report = "$CADQF,230,1\r\n";
  back->incoming.assign(report.begin(), report.end());
  Run(100);
  EXPECT_EQ(TakeLines(), Lines{"Quality Factor = 230          [OK]"});
  const auto resumedLog = program->logs().nmeaPath();
  EXPECT_NE(resumedLog, firstLog);
  program->logs().NMEALogClose();
  EXPECT_NE(ReadFile(resumedLog).find("$CADQF,230,1"), std::string::npos);
  Run(10000);
  EXPECT_EQ(Opens(), opens + 5) << "no tries once connected";
}

TEST_F(Reconnect, OperatorsDisconnectOrAnotherPortEndsTheWait) {
  program->SetReconnect(true);
  auto port = Connect();
  Pull(port);
  program->OnCommand(DISCONNECT);
  const size_t opens = Opens();
  Run(6000);
  EXPECT_EQ(Opens(), opens);

  ports.ports[1] = port;
  port->gone = false;
  Connect();
  Pull(port);
  program->settings().modemPort.portNumber = 2;  // chosen in the dialog meanwhile
  Run(6000);
  EXPECT_FALSE(program->reconnecting());
  EXPECT_EQ(Opens(), opens + 1);  // only the operator's connect

  program->settings().modemPort.portNumber = 1;
  ports.ports[1] = port;
  port->gone = false;
  Connect();
  Pull(port);
  program->SetReconnect(false);  // switched off while waiting
  Run(6000);
  EXPECT_EQ(Opens(), opens + 2);
}

TEST_F(Reconnect, ALogClosedBeforeTheLossStaysClosed) {
  program->SetReconnect(true);
  auto port = Connect();
  Pull(port);
  ports.ports[1] = port;
  port->gone = false;
  Run(2000);
  ASSERT_TRUE(program->modem().connected());
  EXPECT_FALSE(program->logs().nmeaOpen());
  EXPECT_TRUE(program->menu().IsEnabled(NMEA_LOG_START));
}

using StatusBar = ProgramTest;

TEST_F(StatusBar, ReportsChangesOnlyAndCountsTraffic) {
  std::vector<StatusFields> shown;
  program->SetStatusListener([&shown](const StatusFields& f) { shown.push_back(f); });
  ASSERT_EQ(shown.size(), 1u);  // the first is shown at once
  EXPECT_EQ(shown[0].port, "not connected");
  EXPECT_EQ(shown[0].traffic, "RX 0 B  TX 0 B");
  EXPECT_EQ(shown[0].nmeaLog, "");
  EXPECT_EQ(shown[0].dataLog, "");

  for (int k = 0; k < 10; ++k) program->OnTimer(TIMER_SLOW);
  EXPECT_EQ(shown.size(), 1u) << "nothing changed, nothing shown";

  auto port = Connect();
  program->OnTimer(TIMER_SLOW);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown.back().port, "COM1  19200 baud");

  const std::string report = "$CADQF,230,1\r\n";
  port->incoming.assign(report.begin(), report.end());
  program->OnTimer(TIMER_POLL);
  program->sender().SendSentence("$CCCFQ,ALL\r\n");
  program->OnCommand(NMEA_LOG_START);
  program->OnCommand(DATA_LOG_START);
  program->OnTimer(TIMER_SLOW);
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown.back().traffic, "RX 14 B  TX 12 B");
  const auto nmea = program->logs().nmeaPath(), data = program->logs().dataPath();
  EXPECT_EQ(shown.back().nmeaLog, nmea.filename().string());
  EXPECT_EQ(shown.back().dataLog, data.filename().string());
  EXPECT_EQ(shown.back().nmeaLog.substr(0, 5), "NMEA-");
  EXPECT_EQ(shown.back().logPaths, nmea.string() + "\n" + data.string());

  program->OnCommand(DISCONNECT);  // the NMEA log closes with the port
  program->OnTimer(TIMER_SLOW);
  EXPECT_EQ(shown.back().port, "not connected");
  EXPECT_EQ(shown.back().traffic, "RX 14 B  TX 12 B") << "kept until the next connect";
  EXPECT_EQ(shown.back().nmeaLog, "");
  EXPECT_EQ(shown.back().dataLog, data.filename().string());
  EXPECT_EQ(shown.back().logPaths, data.string());
  Connect();
  program->OnTimer(TIMER_SLOW);
  EXPECT_EQ(shown.back().traffic, "RX 0 B  TX 0 B");
}

TEST(StatusFieldsText, NamesTheDeviceAndTheWait) {
  LinkStatus link;
  link.connected = true;
  link.port = 3;
  link.device = "/dev/ttyUSB0";
  link.baudRate = 115200;
  link.received = 123456789012ull;
  EXPECT_EQ(MakeStatusFields(link, {}, {}).port, "COM3  /dev/ttyUSB0  115200 baud");
  EXPECT_EQ(MakeStatusFields(link, {}, {}).traffic, "RX 123456789012 B  TX 0 B");
  link.connected = false;
  link.reconnecting = true;
  EXPECT_EQ(MakeStatusFields(link, {}, {}).port, "not connected; waiting for COM3  /dev/ttyUSB0");
  link.device = "COM3";  // Windows: the device is the port
  link.connected = true;
  EXPECT_EQ(MakeStatusFields(link, {}, {}).port, "COM3  115200 baud");
}

TEST_F(StatusBar, FailedConnectPrintsOneLineBesideTheBox) {
  program->OnCommand(CONNECT);  // no COM1 at all
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Can't Connect (in use?)");
  EXPECT_EQ(TakeLines(), Lines{"Error: Can't Connect COM1: reason unknown."});
}

}  // namespace
}  // namespace tw::test
