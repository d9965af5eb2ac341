// The emulator behind a real serial port: the test plays the host program on
// the master side of a pseudo-terminal, the emulator answers on the slave
// through the program's one sender.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "emulator/emulator.h"
#include "emulator/emulator_ids.h"
#include "serial/QtSerialPort.h"
#include "serial/modem_sender.h"
#include "serial/port_map.h"
#include "serial/serial_link.h"
#include "support/fakes.h"
#include "support/program_fixture.h"
#include "support/pty.h"

namespace tw::test {
namespace {

using Lines = std::vector<std::string>;

class EmulatorOnPty : public ::testing::Test {
 protected:
  EmulatorOnPty()
      : opener(map),
        logs(clock, root.path(), nullptr),
        link(opener, settings.modemPort),
        sender(link, settings, terminal, logs),
        emulator(EmulatorLinks{sender, logs, clock, settings}, pane) {
    clock.now = LocalTime{2007, 3, 3, 14, 5, 9};
    settings.modemPort.portNumber = 1;
    settings.showNmeaOutgoing = 1;
  }

  void SetUp() override {
    ASSERT_TRUE(pty.ok());
    map.set(1, pty.slavePath());
    RxInit(link.rx);
    ASSERT_TRUE(link.Connect());
    link.rx.mode = RX_EMULATOR;
    logs.LogsInit(3600);
    emulator.EMUInit();
    emulator.OnMenuCommand(emu::NMEA_LOG_START);
    ASSERT_TRUE(logs.nmeaOpen());
  }

  // The 20 ms poll, until the host has read `expected` or two seconds pass;
  // what the host read.
  std::string PollUntilHostReads(const std::string& expected) {
    std::string read;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (read.size() < expected.size() && std::chrono::steady_clock::now() < deadline) {
      link.Poll();
      emulator.EMUPoll(link.rx);
      read += pty.readAll(5, 5);
    }
    return read;
  }

  PtyPair pty;
  PortMap map;
  QtSerialPortOpener opener;
  TempDir root;
  ManualClock clock;
  Settings settings;
  Logs logs;
  SerialLink link;
  RecordingTextOut terminal;
  ModemSender sender;
  EmulatorPane pane;
  Emulator emulator;
};

TEST_F(EmulatorOnPty, HostCommandsAnsweredOnTheLineAndLogged) {
  ASSERT_TRUE(pty.write("$CCCFQ,ALL\r\n$CCCFG,SRC,5\r\n$CCTXD,0,1,0,0102\r\n$CCXYZ\r\n"));
  const std::string answers =
      "$CACFG,ALL,0*31\r\n$CACFG,SRC,5*37\r\n$CATXD,0,1,0,2*49\r\n"
      "$CAERR,140509,NMEA,12*66\r\n";
  EXPECT_EQ(PollUntilHostReads(answers), answers);
  // "Show NMEA Outgoing" of the main window echoes what the sender writes.
  EXPECT_EQ(terminal.lines, (Lines{"$CACFG,ALL,0*31", "$CACFG,SRC,5*37", "$CATXD,0,1,0,2*49",
                                   "$CAERR,140509,NMEA,12*66"}));

  const std::string stamp = ",03/03/2007,14:05:09,0x0,";
  EXPECT_EQ(ReadFile(logs.nmeaPath()),
            "1" + stamp + "$CCCFQ,ALL\r\n" + "0" + stamp + "$CACFG,ALL,0\r\n" + "0" + stamp +
                "$CACFG,ALL,0*31\r\n" + "1" + stamp + "$CCCFG,SRC,5\r\n" + "0" + stamp +
                "$CACFG,SRC,5\r\n" + "0" + stamp + "$CACFG,SRC,5*37\r\n" + "1" + stamp +
                "$CCTXD,0,1,0,0102\r\n" + "0" + stamp + "$CATXD,0,1,0,2\r\n" + "0" + stamp +
                "$CATXD,0,1,0,2*49\r\n" + "1" + stamp + "$CCXYZ\r\n" + "0" + stamp +
                "$CAERR,140509,NMEA,12\r\n" + "0" + stamp + "$CAERR,140509,NMEA,12*66\r\n");
}

TEST_F(EmulatorOnPty, HeartbeatAndDataRequestsReachTheHost) {
  emulator.OnMenuCommand(emu::DATA_REQUEST_256);
  for (int k = 0; k < 100; ++k) emulator.EMUTick();
  EXPECT_EQ(pty.readAll(1000),
            "$CADRQ,140509,1,0,1,256,1*7C\r\n$CADRQ,140509,1,0,1,256,1*7C\r\n"
            "$CADRQ,140509,1,0,1,256,1*7C\r\n$CAREV,140509,EMULATOR,1.00*60\r\n");
}

}  // namespace
}  // namespace tw::test
