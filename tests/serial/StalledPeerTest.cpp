// A modem that stops reading: each sentence waits at most its write limit,
// is reported in one line and is not logged as sent; the program is never
// held longer than that.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "core/clock.h"
#include "logging/logs.h"
#include "serial/QtSerialPort.h"
#include "serial/modem_sender.h"
#include "serial/serial_link.h"
#include "support/fakes.h"
#include "support/program_fixture.h"
#include "support/pty.h"

namespace tw {
namespace {

using SteadyClock = std::chrono::steady_clock;

TEST(StalledPeer, EachSentenceWaitsAtMostItsLimitAndIsReportedOnce) {
  test::PtyPair pty;  // the far end never reads
  ASSERT_TRUE(pty.ok());
  PortMap map;
  map.set(2, pty.slavePath());
  QtSerialPortOpener opener(map);
  Settings settings;
  settings.modemPort.portNumber = 2;
  settings.modemPort.baudRate = 230400;
  SerialLink link(opener, settings.modemPort);
  ASSERT_TRUE(link.Connect());
  test::TempDir root;
  ManualClock clock;
  clock.now = {2007, 3, 3, 14, 5, 9};
  Logs logs(clock, root.path(), {});
  logs.LogsInit(3600);
  logs.NMEALogOpen(2);
  test::RecordingTextOut out;
  ModemSender sender(link, settings, out, logs);

  const std::string sentence = "$CCTXD,1,2,1," + std::string(1000, 'a') + "\r\n";
  const int64_t limit = WriteLimitMs(sentence.size(), settings.modemPort.baudRate);
  int sent = 0;
  int failed = 0;
  double longestMs = 0;
  // Until two sentences in a row have failed: the line is full then.
  for (int k = 0; k < 400 && failed < 2; ++k) {
    const auto start = SteadyClock::now();
    sender.SendSentence(sentence);
    const double ms =
        std::chrono::duration<double, std::milli>(SteadyClock::now() - start).count();
    longestMs = std::max(longestMs, ms);
    if (out.lines.size() > static_cast<size_t>(failed)) {
      ++failed;
      // Given up no earlier than the limit, and not much later.
      EXPECT_GE(ms, static_cast<double>(limit) - 50.0);
    } else {
      ++sent;
    }
  }
  ASSERT_EQ(failed, 2) << "the line never filled";
  EXPECT_GT(sent, 0);
  EXPECT_LE(longestMs, static_cast<double>(limit) + 1500.0);
  EXPECT_EQ(out.lines, (std::vector<std::string>(
                           2, "Error: Write to modem port failed, sentence not sent.")));
  // Only the sentences that went out are in the log.
  const std::string log = test::ReadFile(logs.nmeaPath());
  size_t records = 0;
  for (size_t at = log.find("\r\n"); at != std::string::npos; at = log.find("\r\n", at + 2)) {
    ++records;
  }
  EXPECT_EQ(records, static_cast<size_t>(sent));
}

TEST(WriteLimit, GrowsWithTheSentenceAtTheLinesSpeed) {
  // A short sentence gets the fixed limit (and a few milliseconds).
  EXPECT_EQ(WriteLimitMs(12, 19200), SEND_TIMEOUT_MS + 12);
  // The longest answer to a data request at 19200 baud needs about 8.5 s on
  // the line: the limit leaves it room to go out whole.
  const size_t longest = 13 + 2 * 8192 + 2;
  const int64_t lineMs = static_cast<int64_t>(longest) * 10 * 1000 / 19200;
  EXPECT_GE(WriteLimitMs(longest, 19200), SEND_TIMEOUT_MS + lineMs);
  for (int32_t baud : {300, 1200, 4800, 9600, 19200, 57600, 115200, 230400}) {
    for (size_t bytes : {size_t{1}, size_t{100}, size_t{700}, longest, size_t{1} << 20}) {
      const int64_t need = static_cast<int64_t>(bytes) * 10 * 1000 / baud;
      EXPECT_GE(WriteLimitMs(bytes, baud), SEND_TIMEOUT_MS + need) << bytes << "@" << baud;
      EXPECT_LE(WriteLimitMs(bytes, baud), SEND_TIMEOUT_MS + 2 * need + 1) << bytes << "@" << baud;
    }
  }
  // No baud rate known: the fixed limit.
  EXPECT_EQ(WriteLimitMs(5000, 0), SEND_TIMEOUT_MS);
}

}  // namespace
}  // namespace tw
