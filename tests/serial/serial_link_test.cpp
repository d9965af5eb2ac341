// Connecting, disconnecting, polling and sending through the modem port.
#include <gtest/gtest.h>

#include "resources/commands.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

using namespace tw::cmd;

TEST_F(ProgramTest, ConnectAndDisconnectSetTitleMenusAndLogs) {
  auto port = Connect();
  EXPECT_TRUE(port->open);
  EXPECT_EQ(port->baudRate, 19200u);
  EXPECT_EQ(ui.title, "Tidewire [COM1]");
  EXPECT_EQ(program->settings.modemConnected, 1);
  for (int id : {NMEA_LOG_START, DATA_LOG_START, DISCONNECT, LOOP_TESTING, TEST_ONCE}) {
    EXPECT_TRUE(program->menu.IsEnabled(id)) << id;
  }
  EXPECT_FALSE(program->menu.IsEnabled(CONNECT));
  EXPECT_FALSE(ui.waitCursor);

  program->OnCommand(NMEA_LOG_START);
  program->OnCommand(DATA_LOG_START);
  EXPECT_FALSE(program->menu.IsEnabled(NMEA_LOG_START));
  EXPECT_TRUE(program->menu.IsEnabled(NMEA_LOG_STOP));

  program->OnCommand(DISCONNECT);
  EXPECT_FALSE(port->open);
  EXPECT_EQ(ui.title, "Tidewire [not connected]");
  EXPECT_EQ(program->settings.modemConnected, 0);
  EXPECT_FALSE(program->logs.nmeaOpen());
  EXPECT_TRUE(program->logs.dataOpen());  // the data log stays open
  for (int id :
       {NMEA_LOG_START, NMEA_LOG_STOP, NMEA_LOG_RESTART, DISCONNECT, LOOP_TESTING, TEST_ONCE}) {
    EXPECT_FALSE(program->menu.IsEnabled(id)) << id;
  }
  EXPECT_TRUE(program->menu.IsEnabled(DATA_LOG_STOP));
  EXPECT_TRUE(program->menu.IsEnabled(CONNECT));
}

TEST_F(ProgramTest, FailedConnectWarnsAndStaysDisconnected) {
  program->OnCommand(CONNECT);  // no such port
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Can't Connect (in use?)");
  EXPECT_EQ(ui.boxes[0].caption, "Tidewire [not connected]");
  EXPECT_EQ(ui.title, "Tidewire [not connected]");
  EXPECT_FALSE(ui.waitCursor);

  auto port = ports.add(1);
  port->configureOk = false;  // opens, but cannot be configured
  program->OnCommand(CONNECT);
  EXPECT_EQ(ui.boxes.size(), 2u);
  EXPECT_FALSE(port->open);
  EXPECT_EQ(program->term->connected, 0);
}

TEST_F(ProgramTest, ConnectWhileConnectedLeavesTheOpenPortAlone) {
  auto port = Connect();
  const size_t opens = ports.opened.size();
  program->OnCommand(CONNECT);
  EXPECT_EQ(ui.boxes.back().text, "Can't Connect (in use?)");
  EXPECT_EQ(ui.boxes.back().caption, "Tidewire [COM1]");
  EXPECT_EQ(ports.opened.size(), opens);
  EXPECT_TRUE(port->open);
  EXPECT_EQ(program->term->connected, 1);
  program->SendSentence("$CCCFQ,ALL\r\n");
  EXPECT_EQ(port->written, "$CCCFQ,ALL\r\n");
}

TEST_F(ProgramTest, PollReadsOnlyWhileConnectedAndDispatchesEveryTick) {
  int dispatches = 0;
  program->SetRxHandler(RX_MODEM, [&] { ++dispatches; });
  program->OnTimer(2);
  EXPECT_EQ(dispatches, 0);

  auto port = Connect();
  const std::string text = "$CAREV,1\r\n";
  port->incoming.assign(text.begin(), text.end());
  program->OnTimer(2);
  EXPECT_EQ(dispatches, 1);
  EXPECT_EQ(program->rx.count, text.size());
  program->OnTimer(2);  // nothing new, still dispatched
  EXPECT_EQ(dispatches, 2);

  // At most 1024 bytes per tick; the rest waits at the port.
  port->incoming.assign(3000, 'x');
  program->OnTimer(2);
  EXPECT_EQ(program->rx.count, text.size() + 1024);
  EXPECT_EQ(port->incoming.size(), 3000u - 1024u);

  // The emulator's mode has no handler here: nothing is dispatched.
  program->rx.mode = RX_EMULATOR;
  program->OnTimer(2);
  EXPECT_EQ(dispatches, 3);
}

TEST_F(ProgramTest, LostPortIsClosedOnceAndReported) {
  auto port = Connect();
  program->OnCommand(NMEA_LOG_START);
  port->gone = true;
  program->OnTimer(2);
  EXPECT_FALSE(port->open);
  EXPECT_EQ(ui.title, "Tidewire [not connected]");
  EXPECT_FALSE(program->logs.nmeaOpen());
  EXPECT_TRUE(program->menu.IsEnabled(CONNECT));
  EXPECT_EQ(TakeLines(), std::vector<std::string>{"Error: Lost modem port COM1, disconnected."});
  program->OnTimer(2);  // no spinning, no repeated message
  EXPECT_TRUE(TakeLines().empty());
}

TEST_F(ProgramTest, SendSentenceWritesLogsAndRefusesCleanly) {
  program->SendSentence("$CCCFQ,ALL\r\n");
  EXPECT_EQ(TakeLines(), std::vector<std::string>{"Error: Not Connected!"});

  auto port = Connect();
  program->OnCommand(NMEA_LOG_START);
  const auto logPath = program->logs.nmeaPath();
  program->SendSentence("$CCCFQ,ALL\r\n");
  EXPECT_EQ(port->written, "$CCCFQ,ALL\r\n");
  EXPECT_TRUE(TakeLines().empty());  // no echo unless asked

  port->writeOk = false;
  program->SendSentence("$CCCLK,1\r\n");
  EXPECT_EQ(TakeLines(),
            std::vector<std::string>{"Error: Write to modem port failed, sentence not sent."});
  program->OnCommand(NMEA_LOG_STOP);
  // Only the sentence that went out is in the log, with source port 0.
  EXPECT_EQ(ReadFile(logPath), "0,03/03/2007,14:05:09,0x0,$CCCFQ,ALL\r\n");
}

TEST_F(ProgramTest, SettingsDialogReconfiguresAnOpenPort) {
  auto port = Connect();
  ui.onDialog = [&](int id) {
    if (id == DLG_SERIAL) program->term->baudRate = 57600;
  };
  program->OnCommand(PORT_SETTINGS);
  EXPECT_EQ(port->baudRate, 57600u);
  EXPECT_TRUE(ui.boxes.empty());

  port->configureOk = false;
  program->OnCommand(PORT_SETTINGS);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Settings failed!");
  EXPECT_EQ(ui.boxes[0].caption, "Tidewire [COM1]");
  EXPECT_TRUE(port->open);  // stays open with what the driver kept
}

TEST_F(ProgramTest, LinesLeftInTheRingWaitForTheNextConnection) {
  int dispatches = 0;
  program->SetRxHandler(RX_MODEM, [&] { ++dispatches; });
  auto port = Connect();
  port->incoming.assign(10, 'a');
  program->OnTimer(2);
  program->OnCommand(DISCONNECT);
  program->OnTimer(2);
  EXPECT_EQ(dispatches, 1);
  EXPECT_EQ(program->rx.count, 10u);
  Connect();
  program->OnTimer(2);
  EXPECT_EQ(dispatches, 2);
  EXPECT_EQ(program->rx.count, 10u);
}

}  // namespace
}  // namespace tw::test
