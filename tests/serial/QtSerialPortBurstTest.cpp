// A fast sender on a real port: what the port object keeps in front of the
// ring is bounded, and a slow reader still gets every byte in order.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <cerrno>
#include <string>

#include "serial/QtSerialPort.h"
#include "serial/serial_link.h"
#include "support/pty.h"
#include "support/wait.h"

namespace tw {
namespace {

constexpr int COM = 5;

// Byte k of the sender's stream.
char StreamByte(size_t k) { return static_cast<char>('A' + (k * 7 + k / 251) % 26); }

TEST(QtSerialPortBurstTest, BurstWaitsInTheSenderAndNothingIsLost) {
  test::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  PortMap map;
  map.set(COM, pty.slavePath());
  QtSerialPortOpener opener(map);
  std::unique_ptr<SerialPort> port = opener.open(COM);
  ASSERT_NE(port, nullptr);
  ASSERT_TRUE(port->configure(230400));

  // The sender writes as fast as the line takes bytes while the event loop
  // turns and nobody reads the port. Without a bound the port object would
  // take in all of it; with one, the line fills and refuses more.
  constexpr size_t kOffered = 4u << 20;
  size_t sent = 0;
  int refusedInARow = 0;
  std::string chunk(4096, '\0');
  while (sent < kOffered && refusedInARow < 20) {
    for (size_t i = 0; i < chunk.size(); ++i) chunk[i] = StreamByte(sent + i);
    const ssize_t n = ::write(pty.masterFd(), chunk.data(), chunk.size());
    if (n > 0) {
      sent += static_cast<size_t>(n);
      refusedInARow = 0;
    } else {
      ASSERT_TRUE(errno == EAGAIN || errno == EINTR) << errno;
      ++refusedInARow;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    usleep(1000);
  }
  EXPECT_LT(sent, size_t{256} << 10) << "the port object kept taking bytes in";
  // An answer written while the burst waits unread still goes out.
  const std::string answer = "$CAFST,1,0,0*5C\r\n";
  EXPECT_TRUE(port->writeAll(answer.data(), answer.size(), SEND_TIMEOUT_MS));
  EXPECT_EQ(pty.readUntil(), answer);

  // The poll then moves everything, in order, at the program's pace.
  std::string got;
  uint8_t buffer[1024];
  EXPECT_TRUE(test::WaitUntil([&] { return got.size() >= sent; },
                              [&] {
                                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
                                const int n = port->readAvailable(buffer, sizeof buffer);
                                EXPECT_GE(n, 0);
                                if (n > 0) {
                                  got.append(reinterpret_cast<const char*>(buffer),
                                             static_cast<size_t>(n));
                                }
                              }));
  ASSERT_EQ(got.size(), sent);
  for (size_t k = 0; k < got.size(); ++k) {
    ASSERT_EQ(got[k], StreamByte(k)) << "at byte " << k;
  }
}

}  // namespace
}  // namespace tw
