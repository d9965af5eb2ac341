// Which port is open is the connection's answer: records of the NMEA log and
// the log's folder name the port that is open, also after a loaded
// configuration names another one (the open port stays open).
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "core/commands.h"
#include "emulator/emulator_ids.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

using OpenPort = ProgramTest;

TEST_F(OpenPort, RecordsAndLogFolderNameTheOpenPortAfterAConfigurationNamesAnother) {
  auto port = Connect();
  auto gps = ports.add(4);
  ASSERT_TRUE(program->gps().GPSOpen());  // COM4
  // Not "com5.twc": on Windows that name is the device COM5.
  const std::filesystem::path file = root.path() / "other-ports.twc";
  std::ofstream(file, std::ios::binary)
      << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tidewire version=\"1\">\n"
         "<modemPortNumber>5</modemPortNumber><gpsPortNumber>6</gpsPortNumber>\n"
         "</tidewire>\n";
  ASSERT_TRUE(program->LoadConfigFile(file).applied);
  ASSERT_EQ(program->settings().modemPort.portNumber, 5);
  ASSERT_EQ(program->settings().gpsPort.portNumber, 6);
  ASSERT_TRUE(program->modem().connected() && program->gps().connected());

  // The main menu's log under the interpreter, then the emulator window's
  // log under the emulator: each line from the host is recorded from COM1.
  struct Case {
    const char* via;
    int mode;
    const char* line;
  };
  for (const Case& c : {Case{"main menu", RX_MODEM, "$CAREV,120000,AUV,1.0\r\n"},
                        Case{"emulator window", RX_EMULATOR, "$CCCFQ,ALL\r\n"}}) {
    SCOPED_TRACE(c.via);
    program->modem().rx.mode = c.mode;
    if (c.mode == RX_EMULATOR) {
      program->emulator().EMUInit();
      program->emulator().OnMenuCommand(emu::NMEA_LOG_START);
    } else {
      program->OnCommand(cmd::NMEA_LOG_START);
    }
    ASSERT_TRUE(program->logs().nmeaOpen());
    EXPECT_EQ(program->logs().nmeaPath().parent_path().filename(), "port1");
    const std::string sentence = c.line;
    port->incoming.insert(port->incoming.end(), sentence.begin(), sentence.end());
    program->OnTimer(TIMER_POLL);
    const std::string log = ReadFile(program->logs().nmeaPath());
    EXPECT_EQ(log.substr(0, log.find(',')), "1") << log;  // the record's source port
    program->OnCommand(cmd::NMEA_LOG_STOP);
    ++clock.now.second;  // the next log is a file of its own
  }

  // A logged GPS fix likewise carries the number of the GPS port that is open.
  program->settings().logGpsMessages = 1;
  program->OnCommand(cmd::NMEA_LOG_START);
  const std::string fix =
      "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";
  gps->incoming.insert(gps->incoming.end(), fix.begin(), fix.end());
  program->OnTimer(TIMER_SLOW);
  const std::string log = ReadFile(program->logs().nmeaPath());
  EXPECT_EQ(log.substr(0, log.find(',')), "4") << log;
}

}  // namespace
}  // namespace tw::test
