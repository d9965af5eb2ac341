// The devices chosen for COM numbers in configuration files: saved with the
// choices, loaded back, files without them leave the choices as they are,
// and bad entries refuse the whole file.
#include <gtest/gtest.h>

#include <fstream>

#include "config/config_files.h"
#include "config/config_xml.h"
#include "support/fakes.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

namespace fs = std::filesystem;

const DeviceChoice FTDI{"A10K3JX2", "/dev/serial/by-id/usb-FTDI_A10K3JX2-if00-port0",
                        "/dev/ttyUSB0"};
const DeviceChoice PLAIN{"", "", "/dev/ttyS3"};

std::string Header() { return "<?xml version=\"1.0\"?>\n<tidewire version=\"1\">\n"; }

class ConfigDevices : public ::testing::Test {
 protected:
  ConfigDevices() : files(ui, out, settings, root.path()) { files.SetDeviceMap(&map); }

  bool Load(const std::string& body) {
    const fs::path path = root.path() / "in.twc";
    std::ofstream(path, std::ios::binary) << Header() << body << "</tidewire>\n";
    return files.ConfigLoadFile(path).applied;
  }

  TempDir root;
  FakeUi ui;
  RecordingTextOut out;
  Settings settings;
  PortMap map;
  ConfigFiles files;
};

TEST_F(ConfigDevices, SavedAndLoadedBackWithTheChoices) {
  map.choose(1, FTDI);
  map.choose(16, PLAIN);
  map.set(2, "/dev/pts/3");  // from the command line: not the operator's choice
  settings.testInterval = 30000;
  const fs::path path = root.path() / "saved.twc";
  ASSERT_TRUE(files.ConfigSaveFile(path));
  const std::string text = ReadFile(path);
  EXPECT_NE(text.find("<com1.serialNumber>A10K3JX2</com1.serialNumber>"), std::string::npos);
  EXPECT_NE(text.find("<com16.device>/dev/ttyS3</com16.device>"), std::string::npos);
  EXPECT_EQ(text.find("com16.serialNumber"), std::string::npos) << "empty names are left out";
  EXPECT_EQ(text.find("com2."), std::string::npos);

  PortMap fresh;
  files.SetDeviceMap(&fresh);
  settings.testInterval = 10000;
  ASSERT_TRUE(files.ConfigLoadFile(path).applied);
  EXPECT_EQ(settings.testInterval, 30000);
  EXPECT_EQ(fresh.choices(), map.choices());
  EXPECT_EQ(fresh.device(16), "/dev/ttyS3");
}

TEST_F(ConfigDevices, FilesWithoutThemLeaveTheChoicesAlone) {
  map.choose(1, FTDI);
  // A file of the program before devices were kept.
  ASSERT_TRUE(Load("  <testInterval>60000</testInterval>\n"));
  EXPECT_EQ(settings.testInterval, 60000);
  EXPECT_EQ(map.choices().at(1), FTDI);
  // A file naming another port adds to them.
  ASSERT_TRUE(Load("  <com3.device>/dev/ttyS2</com3.device>\n"));
  EXPECT_EQ(map.choices().size(), 2u);
  EXPECT_EQ(map.device(3), "/dev/ttyS2");
  // The command line's mapping of a port outranks one from a file.
  map.set(4, "/dev/pts/3");
  ASSERT_TRUE(Load("  <com4.device>/dev/ttyS9</com4.device>\n"));
  EXPECT_EQ(map.device(4), "/dev/pts/3");
}

TEST_F(ConfigDevices, BadEntriesRefuseTheFileAndUnknownPortsAreSkipped) {
  map.choose(1, FTDI);
  const PortMap before = map;
  EXPECT_FALSE(Load("<com1.device>/dev/a</com1.device><com1.device>/dev/b</com1.device>"));
  EXPECT_FALSE(Load("<com1.device>/dev/a\\x07</com1.device>"));
  EXPECT_FALSE(Load("<com1.device>" + std::string(1100, 'a') + "</com1.device>"));
  EXPECT_FALSE(Load("<com1.device><x/></com1.device>"));
  EXPECT_FALSE(Load("<com1.device>/dev/a</com1.device><testInterval>7</testInterval>"))
      << "a bad choice elsewhere refuses the devices too";
  EXPECT_EQ(map.choices(), before.choices());

  // Names that are no port of this program are someone else's: skipped.
  ASSERT_TRUE(
      Load("<com17.device>/dev/x</com17.device><com0.device>/dev/y</com0.device>"
           "<com01.device>/dev/z</com01.device><comX.byId>q</comX.byId>"));
  EXPECT_EQ(map.choices(), before.choices());
  ASSERT_FALSE(out.lines.empty());
  EXPECT_NE(out.lines.back().find("skipped 4 unknown"), std::string::npos) << out.lines.back();
}

TEST(ConfigDevicesText, EscapedLikeEveryOtherText) {
  const DeviceChoice odd{"S\\N", "", "/dev/tty<1>&"};
  const std::string xml = ConfigToXml(Settings{}, {{5, odd}});
  const ConfigParse parse = ConfigFromXml(xml, Settings{});
  ASSERT_TRUE(parse.ok) << parse.error;
  EXPECT_EQ(parse.devices.at(5), odd);
  EXPECT_TRUE(parse.skipped.empty());
}

}  // namespace
}  // namespace tw::test
