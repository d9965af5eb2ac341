// The command-line options of the serial ports: --reconnect and --list-ports.
#include <gtest/gtest.h>

#include "app/options.h"

namespace tw {
namespace {

TEST(PortOptions, ReconnectAndListPortsAreFlags) {
  auto r = ParseOptions({});
  ASSERT_TRUE(r.options);
  EXPECT_FALSE(r.options->reconnect) << "off unless asked for";
  EXPECT_FALSE(r.options->listPorts);

  r = ParseOptions({"--reconnect", "--com", "1=/dev/ttyUSB0", "--connect"});
  ASSERT_TRUE(r.options) << r.error;
  EXPECT_TRUE(r.options->reconnect);
  r = ParseOptions({"--list-ports"});
  ASSERT_TRUE(r.options) << r.error;
  EXPECT_TRUE(r.options->listPorts);

  EXPECT_FALSE(ParseOptions({"--reconnect=yes"}).options);
  EXPECT_FALSE(ParseOptions({"--list-ports=1"}).options);
  r = ParseOptions({"--reconnect", "--emulate", "--com", "1=/dev/pts/3"});
  EXPECT_FALSE(r.options);
  EXPECT_NE(r.error.find("--reconnect"), std::string::npos) << r.error;
  EXPECT_NE(UsageText().find("--list-ports"), std::string::npos);
  EXPECT_NE(UsageText().find("--reconnect"), std::string::npos);
}

}  // namespace
}  // namespace tw
