// The emulator inside the whole program: the NMEA log holds each host line
// once and each answer once, as it went out, and only when it went out.
#include <gtest/gtest.h>

#include <string>

#include "core/commands.h"
#include "emulator/emulator.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

using EmulatorLog = ProgramTest;

TEST_F(EmulatorLog, AnswerLoggedOnceWithItsChecksumAndOnlyWhenWritten) {
  auto port = Connect();
  ASSERT_TRUE(program->modem().connected());
  program->modem().rx.mode = RX_EMULATOR;
  program->emulator().EMUInit();
  program->OnCommand(cmd::NMEA_LOG_START);
  ASSERT_TRUE(program->logs().nmeaOpen());
  auto host = [&](const std::string& line) {
    port->incoming.insert(port->incoming.end(), line.begin(), line.end());
    program->OnTimer(TIMER_POLL);
  };

  port->writeOk = false;  // this answer never reaches the line
  host("$CCCFQ,SRC\r\n");
  port->writeOk = true;
  host("$CCCFQ,ALL\r\n");

  EXPECT_EQ(port->written, "$CACFG,ALL,0*31\r\n");
  const std::string stamp = ",03/03/2007,14:05:09,0x0,";
  EXPECT_EQ(ReadFile(program->logs().nmeaPath()), "1" + stamp + "$CCCFQ,SRC\r\n" + "1" + stamp +
                                                      "$CCCFQ,ALL\r\n" + "0" + stamp +
                                                      "$CACFG,ALL,0*31\r\n");
}

}  // namespace
}  // namespace tw::test
