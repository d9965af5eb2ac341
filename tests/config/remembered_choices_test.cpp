// The choices handed from one run to the next: what comes back, a first
// run, and a file that cannot be taken.
#include "config/remembered_choices.h"

#include <gtest/gtest.h>

#include <fstream>

#include "config/config_test_support.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

TEST(RememberedChoices, AFirstRunGetsTheDefaultsAndSavedChoicesComeBack) {
  TempDir root;
  const auto file = RememberedChoicesFile(root.path() / "not" / "yet");
  Settings loaded = AlternativeSettings();
  EXPECT_EQ(LoadRememberedChoices(file, loaded, nullptr).line, "");
  ExpectSameChoices(loaded, Settings{});

  PortMap devices, back;
  devices.choose(3, DeviceChoice{"A10K", "/dev/serial/by-id/usb-A10K", "/dev/ttyUSB0"});
  std::string why;
  ASSERT_TRUE(SaveRememberedChoices(file, AlternativeSettings(), &devices, why)) << why;
  EXPECT_TRUE(LoadRememberedChoices(file, loaded, &back).loaded);
  ExpectSameChoices(loaded, AlternativeSettings());
  EXPECT_EQ(back.choices(), devices.choices());
}

// The defaults and one line; the file is kept aside, and the save at exit
// may take its place.
TEST(RememberedChoices, ADamagedFileGivesTheDefaultsOneLineAndIsKeptAside) {
  const std::pair<std::string, const char*> cases[] = {
      {"<tidewire version=\"1\"><showHeartbeat>0</show", "not well-formed XML"},
      {ConfigDoc("<autoWrap>2</autoWrap>"), "autoWrap: 2 is not 0 or 1"},
      {ConfigDoc("<lastFolder>a\\x01b</lastFolder>"), "lastFolder: a folder holds no control"},
      {"", "not well-formed XML"},
  };
  for (const auto& [content, why] : cases) {
    TempDir root;
    const auto file = RememberedChoicesFile(root.path());
    std::ofstream(file, std::ios::binary) << content;
    Settings loaded = AlternativeSettings();
    const RememberedLoad r = LoadRememberedChoices(file, loaded, nullptr);
    EXPECT_FALSE(r.loaded) << why;
    EXPECT_TRUE(r.mayReplace) << why;
    ExpectSameChoices(loaded, Settings{});
    EXPECT_NE(r.line.find(why), std::string::npos) << r.line;
    EXPECT_FALSE(std::filesystem::exists(file)) << why;
    EXPECT_EQ(ReadFile(root.path() / SET_ASIDE_CHOICES_NAME), content) << why;
  }
}

}  // namespace
}  // namespace tw::test
