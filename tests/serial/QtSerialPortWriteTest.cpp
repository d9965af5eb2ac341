// Writing to the real serial port while the modem floods it: answers must go
// out whatever waits to be read.
#include <gtest/gtest.h>

#include <string>

#include "serial/QtSerialPort.h"
#include "support/pty.h"

namespace tw {
namespace {

TEST(QtSerialPortWrite, AnswersGoOutWhileUnreadInputFillsTheReadBuffer) {
  test::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  PortMap map;
  map.set(4, pty.slavePath());
  QtSerialPortOpener opener(map);
  auto port = opener.open(4);
  ASSERT_NE(port, nullptr);
  ASSERT_TRUE(port->configure(115200));
  // More than the port keeps in front of the ring: its read buffer fills and
  // the rest waits in the device, as during a burst of host lines.
  ASSERT_TRUE(pty.write(std::string(3 * 4096, 'x') + "\r\n"));
  uint8_t one = 0;
  ASSERT_EQ(port->readAvailable(&one, 1), 1);
  for (int k = 0; k < 20; ++k) {
    const std::string answer = "$CAACK,1,0,1,1*3C\r\n";
    ASSERT_TRUE(port->writeAll(answer.data(), answer.size(), 1000)) << "answer " << k;
    ASSERT_EQ(pty.readAll(1000, 0).substr(0, answer.size()), answer);
  }
}

}  // namespace
}  // namespace tw
