// The real serial port on pseudo-terminals: the test plays the modem on the
// master side.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "serial/QtSerialPort.h"
#include "support/pty.h"
#include "support/wait.h"

namespace tw {
namespace {

using test::PtyPair;
using SteadyClock = std::chrono::steady_clock;

constexpr int COM = 3;

void RunEventLoop(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

class QtSerialPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.ok());
    map.set(COM, pty.slavePath());
  }

  std::unique_ptr<SerialPort> OpenConfigured() {
    auto port = opener.open(COM);
    if (port && !port->configure(19200)) port.reset();
    return port;
  }

  // Polls like the program's timer does until `want` bytes came; every call
  // must respect `max`.
  std::string ReadUntil(SerialPort& port, size_t want, int max, int* calls = nullptr) {
    std::string got;
    std::vector<uint8_t> buffer(static_cast<size_t>(max) + 16, 0xEE);
    EXPECT_TRUE(test::WaitUntil(
        [&] { return got.size() >= want; },
        [&] {
          const int n = port.readAvailable(buffer.data(), max);
          EXPECT_GE(n, 0);
          EXPECT_LE(n, max);
          if (n <= 0) return;
          EXPECT_EQ(buffer[static_cast<size_t>(max)], 0xEE) << "wrote past max";
          got.append(reinterpret_cast<const char*>(buffer.data()), static_cast<size_t>(n));
          if (calls != nullptr) ++*calls;
        }));
    return got;
  }

  PtyPair pty;
  PortMap map;
  QtSerialPortOpener opener{map};
};

TEST_F(QtSerialPortTest, OpenIsExclusiveUntilThePortCloses) {
  auto port = opener.open(COM);
  ASSERT_NE(port, nullptr);
  EXPECT_TRUE(port->configure(19200));
  EXPECT_TRUE(port->configure(115200));
  EXPECT_EQ(opener.open(COM), nullptr);

  // A link to the same device has a different name, so only a lock on the
  // device itself keeps the second open out.
  const auto link =
      std::filesystem::temp_directory_path() / ("tidewire-link-" + std::to_string(getpid()));
  std::filesystem::remove(link);
  std::filesystem::create_symlink(pty.slavePath(), link);
  map.set(COM + 1, link.string());
  EXPECT_EQ(opener.open(COM + 1), nullptr);

  port.reset();
  EXPECT_NE(opener.open(COM + 1), nullptr);
  std::filesystem::remove(link);
}

TEST_F(QtSerialPortTest, AbsentDevicesAndPortNumbersDoNotOpen) {
  map.set(5, "/dev/tidewire-no-such-device");
  EXPECT_EQ(opener.open(5), nullptr);
  EXPECT_EQ(opener.open(0), nullptr);
  EXPECT_EQ(opener.open(17), nullptr);
}

TEST_F(QtSerialPortTest, ReadsArrivingBytesUnchangedAndAtMostMaxPerCall) {
  auto port = OpenConfigured();
  ASSERT_NE(port, nullptr);

  // A read that waits would wait every time; a busy machine delays one now
  // and then: the quickest of five reads tells them apart.
  uint8_t buffer[64];
  auto quickest = SteadyClock::duration::max();
  for (int i = 0; i < 5; ++i) {
    const auto start = SteadyClock::now();
    EXPECT_EQ(port->readAvailable(buffer, sizeof buffer), 0);
    quickest = std::min(quickest, SteadyClock::now() - start);
  }
  EXPECT_LT(quickest, std::chrono::milliseconds(100)) << "a read must not wait";

  ASSERT_TRUE(pty.write("$CAREV,000102,AUV,0.93.0.30\r\n"));
  EXPECT_EQ(ReadUntil(*port, 29, 1024), "$CAREV,000102,AUV,0.93.0.30\r\n");

  // Every byte value, CR, LF, XON and XOFF included, more than one poll's worth.
  std::string pattern;
  for (int i = 0; i < 3000; ++i) pattern.push_back(static_cast<char>(i % 256));
  ASSERT_TRUE(pty.write(pattern));
  int calls = 0;
  EXPECT_EQ(ReadUntil(*port, pattern.size(), 1024, &calls), pattern);
  EXPECT_GE(calls, 3);
}

TEST_F(QtSerialPortTest, BytesTakenInByTheEventLoopAreStillDelivered) {
  auto port = OpenConfigured();
  ASSERT_NE(port, nullptr);
  ASSERT_TRUE(pty.write("$CATXF,1,2,0\r\n"));
  RunEventLoop(100);
  EXPECT_EQ(ReadUntil(*port, 14, 5), "$CATXF,1,2,0\r\n");
}

// The program reads from a timer inside the event loop, where the port is
// not asked again on each tick: what arrives must still come through, in
// order, and a hang-up must still be seen.
TEST_F(QtSerialPortTest, PollsFromInsideTheEventLoopSeeDataAndHangUp) {
  auto port = OpenConfigured();
  ASSERT_NE(port, nullptr);
  std::string pattern;
  for (int i = 0; i < 6000; ++i) pattern.push_back(static_cast<char>(i % 251));

  std::string got;
  int result = 0;
  int ticks = 0;
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    ++ticks;
    if (ticks == 3) {
      EXPECT_TRUE(pty.write(pattern));
    }
    uint8_t buffer[1024];
    result = port->readAvailable(buffer, sizeof buffer);
    if (result > 0) got.append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(result));
    if (got.size() == pattern.size() && ticks < 1000) {
      pty.closeMaster();
      ticks = 1000;  // from here on, waiting for the hang-up
    }
    if (result < 0 || ticks > 1200) loop.quit();
  });
  poll.start(5);
  loop.exec();
  EXPECT_EQ(got, pattern);
  EXPECT_EQ(result, -1) << "the hang-up was not reported";
}

TEST_F(QtSerialPortTest, WriteAllDeliversExactBytes) {
  auto port = OpenConfigured();
  ASSERT_NE(port, nullptr);
  const std::string sentence("$CCCFQ,ALL\r\n\0\r\r\n\xff", 17);
  ASSERT_TRUE(port->writeAll(sentence.data(), sentence.size(), 1000));
  EXPECT_EQ(pty.readUntil("\xff"), sentence);
  EXPECT_TRUE(port->writeAll("", 0, 1000));
}

TEST_F(QtSerialPortTest, WriteAllGivesUpWhenNothingIsTakenAndLeavesNoRest) {
  auto port = OpenConfigured();
  ASSERT_NE(port, nullptr);
  const std::string flood(1 << 20, 'a');  // far more than the line buffers hold
  const auto start = SteadyClock::now();
  EXPECT_FALSE(port->writeAll(flood.data(), flood.size(), 200));
  EXPECT_LT(SteadyClock::now() - start, std::chrono::seconds(2));

  pty.readAll(200);  // whatever got through before the time was up
  ASSERT_TRUE(port->writeAll("$CCCLK\r\n", 8, 1000));
  EXPECT_EQ(pty.readUntil("$CCCLK\r\n"), "$CCCLK\r\n");
}

TEST_F(QtSerialPortTest, HangUpIsReportedAndStaysReported) {
  auto port = OpenConfigured();
  ASSERT_NE(port, nullptr);
  pty.closeMaster();

  uint8_t buffer[1024];
  int result = 0;
  EXPECT_TRUE(test::WaitUntil([&] { return result != 0; },
                              [&] { result = port->readAvailable(buffer, sizeof buffer); }));
  EXPECT_EQ(result, -1);
  EXPECT_EQ(port->readAvailable(buffer, sizeof buffer), -1);
  EXPECT_FALSE(port->writeAll("$CCCFQ,ALL\r\n", 12, 100));
  EXPECT_FALSE(port->configure(19200));
}

TEST_F(QtSerialPortTest, HangUpDoesNotKeepTheEventLoopBusy) {
  auto port = OpenConfigured();
  ASSERT_NE(port, nullptr);
  RunEventLoop(20);
  pty.closeMaster();

  // Left alone, the port would report its read error again on every turn of
  // the loop and use a whole core.
  const std::clock_t cpuBefore = std::clock();
  RunEventLoop(500);
  const double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
  EXPECT_LT(cpuMs, 100.0);

  uint8_t buffer[16];
  EXPECT_EQ(port->readAvailable(buffer, sizeof buffer), -1);
}

}  // namespace
}  // namespace tw
