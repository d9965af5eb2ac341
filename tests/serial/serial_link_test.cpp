// Connecting, disconnecting, polling and sending through the modem port.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/commands.h"
#include "core/fixed_format.h"
#include "support/program_fixture.h"
#include "support/wait.h"

namespace tw::test {
namespace {

using namespace tw::cmd;

using ModemLink = ProgramTest;

TEST_F(ModemLink, ConnectAndDisconnectSetTitleMenusAndLogs) {
  auto port = Connect();
  EXPECT_TRUE(port->open);
  EXPECT_EQ(port->baudRate, 19200u);
  EXPECT_EQ(ui.title, "Tidewire [COM1]");
  EXPECT_EQ(program->modem().connected(), true);
  for (int id : {NMEA_LOG_START, DATA_LOG_START, DISCONNECT, LOOP_TESTING, TEST_ONCE}) {
    EXPECT_TRUE(program->menu().IsEnabled(id)) << id;
  }
  EXPECT_FALSE(program->menu().IsEnabled(CONNECT));
  EXPECT_FALSE(ui.waitCursor);

  program->OnCommand(NMEA_LOG_START);
  program->OnCommand(DATA_LOG_START);
  EXPECT_FALSE(program->menu().IsEnabled(NMEA_LOG_START));
  EXPECT_TRUE(program->menu().IsEnabled(NMEA_LOG_STOP));

  program->terminal().OnSetFocus();
  ASSERT_TRUE(surface.caretShown);
  program->OnCommand(DISCONNECT);
  EXPECT_FALSE(port->open);
  EXPECT_EQ(program->terminal().info()->connected, 0);
  EXPECT_FALSE(surface.caretExists);
  EXPECT_EQ(ui.title, "Tidewire [not connected]");
  EXPECT_EQ(program->modem().connected(), false);
  EXPECT_FALSE(program->logs().nmeaOpen());
  EXPECT_TRUE(program->logs().dataOpen());  // the data log stays open
  for (int id :
       {NMEA_LOG_START, NMEA_LOG_STOP, NMEA_LOG_RESTART, DISCONNECT, LOOP_TESTING, TEST_ONCE}) {
    EXPECT_FALSE(program->menu().IsEnabled(id)) << id;
  }
  EXPECT_TRUE(program->menu().IsEnabled(DATA_LOG_STOP));
  EXPECT_TRUE(program->menu().IsEnabled(CONNECT));
}

TEST_F(ModemLink, FailedConnectWarnsAndStaysDisconnected) {
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
  EXPECT_EQ(program->terminal().info()->connected, 0);
}

TEST_F(ModemLink, ConnectWhileConnectedLeavesTheOpenPortAlone) {
  auto port = Connect();
  const size_t opens = ports.opened.size();
  program->OnCommand(CONNECT);
  EXPECT_EQ(ui.boxes.back().text, "Can't Connect (in use?)");
  EXPECT_EQ(ui.boxes.back().caption, "Tidewire [COM1]");
  EXPECT_EQ(ports.opened.size(), opens);
  EXPECT_TRUE(port->open);
  EXPECT_EQ(program->terminal().info()->connected, 1);
  program->sender().SendSentence("$CCCFQ,ALL\r\n");
  EXPECT_EQ(port->written, "$CCCFQ,ALL\r\n");
}

TEST_F(ModemLink, PollReadsOnlyWhileConnectedAndDispatchesEveryTick) {
  int dispatches = 0;
  program->SetRxHandler(RX_MODEM, [&] { ++dispatches; });
  program->OnTimer(TIMER_POLL);
  EXPECT_EQ(dispatches, 0);

  auto port = Connect();
  const std::string text = "$CAREV,1\r\n";
  port->incoming.assign(text.begin(), text.end());
  program->OnTimer(TIMER_POLL);
  EXPECT_EQ(dispatches, 1);
  EXPECT_EQ(program->modem().rx.count(), text.size());
  program->OnTimer(TIMER_POLL);  // nothing new, still dispatched
  EXPECT_EQ(dispatches, 2);

  // At most POLL_CHUNK bytes per tick; the rest waits at the port.
  port->incoming.assign(POLL_CHUNK + 1000, 'x');
  program->OnTimer(TIMER_POLL);
  EXPECT_EQ(program->modem().rx.count(), text.size() + POLL_CHUNK);
  EXPECT_EQ(port->incoming.size(), 1000u);

  // The emulator's mode has no handler here: nothing is dispatched.
  program->modem().rx.mode = RX_EMULATOR;
  program->OnTimer(TIMER_POLL);
  EXPECT_EQ(dispatches, 3);
}

TEST_F(ModemLink, LostPortIsClosedOnceAndReported) {
  auto port = Connect();
  program->terminal().OnSetFocus();
  ASSERT_TRUE(surface.caretShown);  // connected and focused: the caret shows
  program->OnCommand(NMEA_LOG_START);
  port->gone = true;
  program->OnTimer(TIMER_POLL);
  EXPECT_FALSE(port->open);
  EXPECT_FALSE(surface.caretExists);  // gone with the connection
  EXPECT_EQ(program->terminal().info()->connected, 0);
  EXPECT_EQ(ui.title, "Tidewire [not connected]");
  EXPECT_FALSE(program->logs().nmeaOpen());
  EXPECT_TRUE(program->menu().IsEnabled(CONNECT));
  EXPECT_EQ(TakeLines(), std::vector<std::string>{"Error: Lost modem port COM1, disconnected."});
  program->OnTimer(TIMER_POLL);  // no spinning, no repeated message
  EXPECT_TRUE(TakeLines().empty());
}

TEST_F(ModemLink, SendSentenceWritesLogsAndRefusesCleanly) {
  program->sender().SendSentence("$CCCFQ,ALL\r\n");
  EXPECT_EQ(TakeLines(), std::vector<std::string>{"Error: Not Connected!"});

  auto port = Connect();
  program->OnCommand(NMEA_LOG_START);
  const auto logPath = program->logs().nmeaPath();
  program->sender().SendSentence("$CCCFQ,ALL\r\n");
  EXPECT_EQ(port->written, "$CCCFQ,ALL\r\n");
  EXPECT_TRUE(TakeLines().empty());  // no echo unless asked

  port->writeOk = false;
  program->sender().SendSentence("$CCCLK,1\r\n");
  EXPECT_EQ(TakeLines(),
            std::vector<std::string>{"Error: Write to modem port failed, sentence not sent."});
  program->OnCommand(NMEA_LOG_STOP);
  // Only the sentence that went out is in the log, with source port 0.
  EXPECT_EQ(ReadFile(logPath), "0,03/03/2007,14:05:09,0x0,$CCCFQ,ALL\r\n");
}

TEST_F(ModemLink, SettingsDialogReconfiguresAnOpenPort) {
  auto port = Connect();
  dialogs.onOpen = [&](const std::string& name) {
    if (name == "port settings") dialogs.portRequest->port.baudRate = 57600;
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

TEST_F(ModemLink, LinesLeftInTheRingWaitForTheNextConnection) {
  int dispatches = 0;
  program->SetRxHandler(RX_MODEM, [&] { ++dispatches; });
  auto port = Connect();
  port->incoming.assign(10, 'a');
  program->OnTimer(TIMER_POLL);
  program->OnCommand(DISCONNECT);
  program->OnTimer(TIMER_POLL);
  EXPECT_EQ(dispatches, 1);
  EXPECT_EQ(program->modem().rx.count(), 10u);
  Connect();
  program->OnTimer(TIMER_POLL);
  EXPECT_EQ(dispatches, 2);
  EXPECT_EQ(program->modem().rx.count(), 10u);
}

// Settings changed under an open port (a loaded file) apply at the next
// connect: until then the open port keeps its number, in lines and logs.
TEST_F(ModemLink, OpenPortKeepsItsNumberWhenTheSettingsChange) {
  auto port = Connect();
  program->settings().modemPort.portNumber = 5;
  EXPECT_EQ(program->modem().portNumber(), 1);
  port->gone = true;
  program->OnTimer(TIMER_POLL);
  EXPECT_EQ(TakeLines(), std::vector<std::string>{"Error: Lost modem port COM1, disconnected."});
  EXPECT_EQ(program->modem().portNumber(), 5);  // closed: the settings' number
}

// Bursts far larger than the ring, into the interpreter and the emulator:
// the poll reads only what the ring has room for (the rest waits at the
// port), every whole line is handled in order, a bounded number per poll,
// none glued to another. A line that never ends is lost with one line that
// counts all of its bytes, shown where the mode's lines are shown.
TEST_F(ModemLink, BurstsLargerThanTheRingLoseNothingSilently) {
  auto port = Connect();
  RxState& rx = program->modem().rx;
  const std::string endless = "$CATXF," + std::string(6000, '7');
  const std::string lostLine = "Error: 6007 received bytes lost (no line end).";
  std::vector<std::string> paneLines;
  const int listener = program->emulatorPane().AddListener([&](const PaneChange& change) {
    if (change.appended.find("received bytes lost") != std::string_view::npos) {
      paneLines.emplace_back(change.appended.substr(11, lostLine.size()));
    }
  });
  for (const int mode : {RX_MODEM, RX_EMULATOR}) {
    for (const bool lose : {false, true}) {
      SCOPED_TRACE(testing::Message() << mode << (lose ? " losing" : ""));
      rx.mode = mode;
      TakeLines();
      port->written.clear();
      paneLines.clear();
      std::string burst = lose ? endless : "";
      std::vector<std::string> expected;  // shown lines, or the emulator's answers
      for (int k = 0; k < 2000; ++k) {
        if (mode == RX_MODEM) {
          burst += FixedFormat("$CADQF,%03d\r\n", 175 + k % 46);
          expected.push_back(FixedFormat("Quality Factor = %03d          [Poor]", 175 + k % 46));
        } else {
          burst += FixedFormat("$CCFST,%d\r\n", k);
          expected.push_back(FixedFormat("$CAFST,%d,0,0", k));
        }
      }
      ASSERT_GT(burst.size(), 2 * RX_SIZE);
      port->incoming.assign(burst.begin(), burst.end());
      for (int poll = 0; !port->incoming.empty() || rx.count() > 0; ++poll) {
        ASSERT_LT(poll, 1000);
        const size_t before = lines.size();
        program->OnTimer(TIMER_POLL);
        EXPECT_LE(lines.size() - before, size_t{RX_LINES_PER_POLL} + 1);
        EXPECT_LT(rx.count(), RX_SIZE);
      }
      std::vector<std::string> got = TakeLines();
      if (mode == RX_EMULATOR) {
        for (size_t at = port->written.find("$CA"); at != std::string::npos;
             at = port->written.find("$CA", at + 1)) {
          got.push_back(port->written.substr(at, port->written.find('*', at) - at));
        }
        EXPECT_EQ(paneLines,
                  lose ? std::vector<std::string>{lostLine} : std::vector<std::string>{});
      } else {
        const auto at = std::find(got.begin(), got.end(), lostLine);
        EXPECT_EQ(at != got.end(), lose);
        if (at != got.end()) got.erase(at);
      }
      EXPECT_EQ(got, expected);
    }
  }
  program->emulatorPane().RemoveListener(listener);
}

// A line cut off when the peer falls silent is reported at the first quiet
// poll, not only once its end comes; its rest is reported when it comes.
TEST_F(ModemLink, LostLineIsReportedWhenThePortFallsQuiet) {
  auto port = Connect();
  TakeLines();
  const std::string start = "$CAREV," + std::string(5000, '7');
  port->incoming.assign(start.begin(), start.end());
  ASSERT_TRUE(PollUntil([&] { return !lines.empty(); }, [&] { program->OnTimer(TIMER_POLL); }, 3));
  EXPECT_EQ(TakeLines(),
            std::vector<std::string>{"Error: 5007 received bytes lost (no line end)."});
  const std::string rest = "777\r\n$CADQF,200\r\n";
  port->incoming.assign(rest.begin(), rest.end());
  program->OnTimer(TIMER_POLL);
  EXPECT_EQ(TakeLines(), (std::vector<std::string>{"Quality Factor = 200          [Poor]",
                                                   "Error: 5 received bytes lost (no line end)."}));
}

}  // namespace
}  // namespace tw::test
