// The platform's own pieces: serial device names, the map program's library
// name, pseudo-terminals. Each build checks its own platform's.
#include <gtest/gtest.h>

#include <string>

#include "map/map_library.h"
#include "serial/port_map.h"
#include "serial/pty_port.h"
#include "support/posix.h"

namespace tw {
namespace {

#ifdef _WIN32
TEST(PlatformNames, ComPortsOpenInTheDeviceNamespace) {
  // "COM10" alone does not open on Windows: every port gets the \\.\ form.
  PortMap map;
  EXPECT_EQ(map.device(1), "\\\\.\\COM1");
  EXPECT_EQ(map.device(9), "\\\\.\\COM9");
  EXPECT_EQ(map.device(10), "\\\\.\\COM10");
  EXPECT_EQ(map.device(16), "\\\\.\\COM16");
  // The environment is not asked on Windows; --com still wins.
  setenv("TIDEWIRE_COM3", "\\\\.\\COM42", 1);
  EXPECT_EQ(map.device(3), "\\\\.\\COM3");
  unsetenv("TIDEWIRE_COM3");
  map.set(3, "\\\\.\\CNCA0");
  EXPECT_EQ(map.device(3), "\\\\.\\CNCA0");
}

TEST(PlatformNames, MapLibraryIsOziapiDll) { EXPECT_STREQ(MapLibraryFileName(), "oziapi.dll"); }

TEST(PlatformNames, NoPseudoTerminalsAndSaysSo) {
  PseudoTerminal pty;
  EXPECT_FALSE(pty.ok());
  EXPECT_EQ(pty.error(), "pseudo-terminals need a POSIX system");
  PseudoTerminalOpener opener(pty);
  EXPECT_EQ(opener.open(1), nullptr);
}
#else
TEST(PlatformNames, ComPortsOpenSerialDevices) {
  PortMap map;
  unsetenv("TIDEWIRE_COM10");
  EXPECT_EQ(map.device(1), "/dev/ttyS0");
  EXPECT_EQ(map.device(10), "/dev/ttyS9");
  EXPECT_EQ(map.device(16), "/dev/ttyS15");
}

TEST(PlatformNames, MapLibraryIsLiboziapiSo) { EXPECT_STREQ(MapLibraryFileName(), "liboziapi.so"); }

TEST(PlatformNames, PseudoTerminalPairsAreMade) {
  PseudoTerminal pty;
  ASSERT_TRUE(pty.ok()) << pty.error();
  EXPECT_EQ(pty.devicePath().rfind("/dev/", 0), 0u) << pty.devicePath();
  PseudoTerminalOpener opener(pty);
  EXPECT_NE(opener.open(1), nullptr);
}
#endif

}  // namespace
}  // namespace tw
