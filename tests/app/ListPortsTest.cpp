// `tidewire --list-ports` prints the serial devices found, one a line, and
// needs no display.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include "serial/QtSerialPort.h"
#include "serial/device_map.h"
#include "support/process.h"

namespace tw::test {
namespace {

TEST(ListPorts, PrintsTheDevicesFoundWithoutADisplay) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("DISPLAY");
  env.remove("WAYLAND_DISPLAY");
  env.remove("QT_QPA_PLATFORM");
  QProcess p;
  p.setProcessEnvironment(env);
  p.start(TIDEWIRE_BINARY, {"--list-ports"});
  ASSERT_TRUE(p.waitForFinished(kProcessHangMs));
  EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
  // The same list this process finds.
  EXPECT_EQ(p.readAllStandardOutput().toStdString(), DeviceListText(FindSerialDevices()));
}

}  // namespace
}  // namespace tw::test
