// The status bar's activity field and the one-line answers of items that
// cannot act.
#include <gtest/gtest.h>

#include "app/guidance_lines.h"
#include "app/program.h"
#include "app/status_fields.h"
#include "support/program_fixture.h"

namespace tw {
namespace {

TEST(ActivityStatus, NamesTheGpsPortLoopTestingAndFilesGoingOut) {
  struct Case {
    bool gps, waiting;
    const char* device;
    bool loop;
    const char* acp;
    const char* text;
  } cases[] = {
      {false, false, "", false, "", ""},
      {true, false, "/dev/ttyUSB1", false, "", "GPS COM4  /dev/ttyUSB1"},
      {false, true, "COM4", true, "", "GPS: waiting for COM4   Loop testing"},
      {false, false, "", true, "ACP: \"a\" to node 3 5%", "Loop testing   ACP: \"a\" to node 3 5%"},
  };
  for (const Case& c : cases) {
    ActivityStatus in;
    in.gpsConnected = c.gps;
    in.gpsReconnecting = c.waiting;
    in.gpsPort = 4;
    in.gpsDevice = c.device;
    in.loopTesting = c.loop;
    in.acpSending = c.acp;
    EXPECT_EQ(ActivityText(in), c.text);
  }
}

// The items that cannot act answer from the menu; in the demo "Run
// Emulator..." opens no second emulator.
using DeadEnds = test::ProgramTest;
TEST_F(DeadEnds, ItemsSayWhyNothingHappens) {
  Connect();
  program->SetDemo(true);
  TakeLines();
  struct Case {
    int command;
    std::string line;
  } cases[] = {{cmd::ACP_CHAT, CHAT_LINE},
               {cmd::USING_OZIEXPLORER, MapGuideLine(false)},
               {cmd::RUN_EMULATOR, EMULATOR_IN_DEMO_LINE},
               {cmd::ACP_CANCEL_SENDING, "ACP: no file queued, nothing to cancel."}};
  for (const Case& c : cases) {
    program->OnCommand(c.command);
    EXPECT_EQ(TakeLines(), std::vector<std::string>{c.line}) << c.command;
  }
  EXPECT_TRUE(dialogs.opened.empty());
  EXPECT_EQ(program->modem().rx.mode, RX_MODEM);
}

}  // namespace
}  // namespace tw
