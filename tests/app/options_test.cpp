#include "app/options.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/posix.h"

namespace tw {
namespace {

TEST(Options, StartupCommandsKeepCommandLineOrder) {
  auto r = ParseOptions({"--com", "1=/dev/pts/7", "--connect", "--menu", "40042", "--echo",
                         "--com=3=/dev/ttyUSB0", "--home=/tmp/tw"});
  ASSERT_TRUE(r.options) << r.error;
  EXPECT_EQ(r.options->menuCommands, (std::vector<int>{256, 40042}));
  EXPECT_TRUE(r.options->echo);
  EXPECT_EQ(r.options->ports.device(1), "/dev/pts/7");
  EXPECT_EQ(r.options->ports.device(3), "/dev/ttyUSB0");
  EXPECT_EQ(DataRoot(*r.options), std::filesystem::path("/tmp/tw"));
}

TEST(Options, DefaultsStartsFromTheDefaultChoices) {
  EXPECT_FALSE(ParseOptions({}).options->defaults);
  EXPECT_TRUE(ParseOptions({"--defaults"}).options->defaults);
}

TEST(Options, BadOptionsAreRefusedWithAReason) {
  for (const auto& args : std::vector<std::vector<std::string>>{{"--bogus"},
                                                                {"--com", "17=/dev/x"},
                                                                {"--com", "0=/dev/x"},
                                                                {"--com", "1="},
                                                                {"--com"},
                                                                {"--menu", "abc"},
                                                                {"--echo=1"},
                                                                {"--connect=yes"},
                                                                {"--menu", "-5"},
                                                                {"--home"},
                                                                {"--defaults=1"},
                                                                {"--defaults", "--emulate"},
                                                                {"--summary"},
                                                                {"--summary", "a", "--echo"},
                                                                {"stray"}}) {
    auto r = ParseOptions(args);
    EXPECT_FALSE(r.options) << args[0];
    EXPECT_FALSE(r.error.empty());
  }
}

TEST(Options, SummaryTakesEveryPathUpToTheNextOption) {
  auto r = ParseOptions({"--summary", "a.CSV", "logs", "--home", "h"});
  ASSERT_TRUE(r.options) << r.error;
  EXPECT_EQ(r.options->summary, (std::vector<std::filesystem::path>{"a.CSV", "logs"}));
}

TEST(Options, EmulateServesTheOnePortNamedAndTheRequestsAsked) {
  auto r = ParseOptions({"--emulate", "--com", "4=/dev/pts/9", "--emulate-requests", "256"});
  ASSERT_TRUE(r.options) << r.error;
  EXPECT_TRUE(r.options->emulate);
  EXPECT_EQ(r.options->emulatePort(), 4);
  EXPECT_FALSE(r.options->request32);
  EXPECT_TRUE(r.options->request256);
  EXPECT_FALSE(r.options->simulateLink);
  r = ParseOptions({"--emulate", "--com=2=/dev/x", "--emulate-requests=32,256", "--simulate-link"});
  ASSERT_TRUE(r.options) << r.error;
  EXPECT_TRUE(r.options->request32 && r.options->request256);
  EXPECT_TRUE(r.options->simulateLink);

  for (const auto& args : std::vector<std::vector<std::string>>{
           {"--emulate"},                                    // which port?
           {"--emulate", "--com", "1=/a", "--com", "2=/b"},  // which one?
           {"--com", "1=/a", "--emulate-requests", "32"},    // no emulator
           {"--emulate", "--com", "1=/a", "--emulate-requests", "64"},
           {"--emulate", "--com", "1=/a", "--connect"},  // no window
           {"--emulate", "--demo", "--com", "1=/a"},
           {"--demo", "--com", "1=/a"},    // the demo makes its own
           {"--demo", "--simulate-link"},  // the demo has it
           {"--emulate", "--com", "1=/a", "--simulate-link=1"},
           {"--demo=1"},
           {"--demo", "--config", "a.twc"},
           {"--config"}}) {
    auto bad = ParseOptions(args);
    EXPECT_FALSE(bad.options) << args[0] << " " << args.size();
    EXPECT_FALSE(bad.error.empty());
  }
  EXPECT_TRUE(ParseOptions({"--demo", "--menu", "40042"}).options);
}

TEST(Options, PortsFallBackToEnvironmentThenSerialDevices) {
  PortMap map;
  ::setenv("TIDEWIRE_COM5", "/dev/pts/42", 1);
  EXPECT_EQ(map.device(5), "/dev/pts/42");
  map.set(5, "/dev/explicit");
  EXPECT_EQ(map.device(5), "/dev/explicit");
  ::unsetenv("TIDEWIRE_COM5");
  EXPECT_EQ(map.device(12), "/dev/ttyS11");
}

TEST(Options, DataRootFollowsEnvironmentWithoutHomeOption) {
  Options o;
  ::setenv("TIDEWIRE_HOME", "/srv/tidewire", 1);
  EXPECT_EQ(DataRoot(o), std::filesystem::path("/srv/tidewire"));
  ::unsetenv("TIDEWIRE_HOME");
  ::setenv("HOME", "/home/op", 1);
  EXPECT_EQ(DataRoot(o), std::filesystem::path("/home/op/Tidewire"));
}

}  // namespace
}  // namespace tw
