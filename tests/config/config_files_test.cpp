// "Load Configuration..." and "Save Configuration..." on real files in a
// temporary folder: the dialogs, the report lines, round trips, refusals that
// leave every choice as it was, and saves that cannot be made.
#include "config/config_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "config/config_test_support.h"
#include "config/config_xml.h"
#include "support/fakes.h"
#include "support/posix.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

namespace fs = std::filesystem;

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// Names in a folder, to see that no temporary file is left behind.
std::set<std::string> Listing(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
  return names;
}

class ConfigFilesTest : public ::testing::Test {
 protected:
  ConfigFilesTest()
      : files(ui, out, settings, root.path(),
              ConfigPorts{[this] { return modemOpen; }, [this] { return gpsOpen; }}) {}

  fs::path File(const std::string& name) const { return root.path() / name; }

  TempDir root;
  FakeUi ui;
  RecordingTextOut out;
  Settings settings;
  bool modemOpen = false;
  bool gpsOpen = false;
  ConfigFiles files;
};

TEST_F(ConfigFilesTest, DialogsAskForConfigFilesInTheDataRoot) {
  for (const auto& [request, caption] :
       {std::pair{files.LoadRequest(), "Load Tidewire Configuration"},
        std::pair{files.SaveRequest(), "Save Tidewire Configuration"}}) {
    EXPECT_EQ(request.caption, caption);
    EXPECT_EQ(request.folder, root.path().string());
    ASSERT_EQ(request.filters.size(), 2u);
    EXPECT_EQ(request.filters[0].name, "Tidewire Config Files");
    EXPECT_EQ(request.filters[0].pattern, "*.twc");
    EXPECT_EQ(request.filters[1].name, "All XML Files");
    EXPECT_EQ(request.filters[1].pattern, "*.xml");
    EXPECT_EQ(request.defaultSuffix, "twc");
  }
}

TEST_F(ConfigFilesTest, CancelDoesNothingAndShowsNothing) {
  settings.lblPing = 1;
  const Settings before = settings;
  EXPECT_FALSE(files.ConfigSave());
  EXPECT_FALSE(files.ConfigLoad().applied);
  EXPECT_EQ(ui.saveRequests.size(), 1u);
  EXPECT_EQ(ui.openRequests.size(), 1u);  // load asks for an existing file
  EXPECT_TRUE(out.lines.empty());
  EXPECT_TRUE(Listing(root.path()).empty());
  EXPECT_TRUE(SameChoices(settings, before));
}

TEST_F(ConfigFilesTest, SaveChangeEverythingLoadGivesBackEveryChoice) {
  settings = AlternativeSettings();
  const Settings saved = settings;
  ui.fileToSave = File("a.twc").string();
  ASSERT_TRUE(files.ConfigSave());
  EXPECT_EQ(out.lines, (std::vector<std::string>{"saved: \"" + File("a.twc").string() + "\""}));
  EXPECT_EQ(Listing(root.path()), (std::set<std::string>{"a.twc"}));

  settings.InitDefaults();
  out.lines.clear();
  ui.fileToOpen = File("a.twc").string();
  const ConfigChanges changes = files.ConfigLoad();
  EXPECT_TRUE(changes.applied);
  EXPECT_EQ(out.lines, (std::vector<std::string>{"loaded: \"" + File("a.twc").string() + "\""}));
  ExpectSameChoices(settings, saved);
  EXPECT_TRUE(changes.interval);
  EXPECT_TRUE(changes.modemPort);
  EXPECT_TRUE(changes.gpsPort);
  EXPECT_TRUE(changes.font);
  EXPECT_EQ(changes.changed.size(), SettingsTable().size() - 5);  // stop bits, three sources
}

TEST_F(ConfigFilesTest, ChangesNameWhatMovedAndOpenPortsAreNotReconnected) {
  modemOpen = true;
  WriteText(File("serial.twc"), ConfigDoc("<modemBaudRate>9600</modemBaudRate><gpsPortNumber>4"
                                          "</gpsPortNumber><showHeartbeat>1</showHeartbeat>"));
  ConfigChanges c = files.ConfigLoadFile(File("serial.twc"));
  EXPECT_EQ(c.changed, (std::vector<std::string>{"modemBaudRate"}));
  EXPECT_TRUE(c.modemPort);
  EXPECT_FALSE(c.gpsPort || c.interval || c.font);
  EXPECT_EQ(out.lines,
            (std::vector<std::string>{"loaded: \"" + File("serial.twc").string() + "\"",
                                      "Config: the modem port stays connected as it was; its "
                                      "loaded settings apply at the next connect."}));
  EXPECT_EQ(settings.modemPort.baudRate, 9600);

  // The GPS port open, its settings changed; the modem's are the same now.
  gpsOpen = true;
  out.lines.clear();
  WriteText(File("gps.twc"), ConfigDoc("<gpsBaudRate>9600</gpsBaudRate><modemBaudRate>9600"
                                       "</modemBaudRate><textColor>255</textColor>"));
  c = files.ConfigLoadFile(File("gps.twc"));
  EXPECT_TRUE(c.gpsPort && c.font);
  EXPECT_FALSE(c.modemPort);
  ASSERT_EQ(out.lines.size(), 2u);
  EXPECT_EQ(out.lines[1],
            "Config: the GPS port stays connected as it was; its loaded settings apply at the "
            "next connect.");

  // Closed ports need no word.
  modemOpen = gpsOpen = false;
  out.lines.clear();
  WriteText(File("closed.twc"), ConfigDoc("<modemBaudRate>2400</modemBaudRate><testInterval>300"
                                          "</testInterval>"));
  c = files.ConfigLoadFile(File("closed.twc"));
  EXPECT_TRUE(c.modemPort && c.interval);
  EXPECT_EQ(out.lines.size(), 1u);
}

TEST_F(ConfigFilesTest, UnknownElementsAreSkippedWithOneLine) {
  std::string body = "<showNmeaIncoming>1</showNmeaIncoming>";
  for (int k = 0; k < 10; ++k)
    body += "<later" + std::to_string(k) + ">1</later" + std::to_string(k) + ">";
  WriteText(File("newer.twc"), ConfigDoc(body));
  const ConfigChanges c = files.ConfigLoadFile(File("newer.twc"));
  EXPECT_TRUE(c.applied);
  EXPECT_EQ(settings.showNmeaIncoming, 1);
  EXPECT_EQ(out.lines, (std::vector<std::string>{
                           "loaded: \"" + File("newer.twc").string() + "\"",
                           "Config: skipped 10 unknown element(s): later0, later1, later2, later3, "
                           "later4, later5, later6, later7, ..."}));
}

// Whatever is wrong with a file, no choice moves and one line says why.
TEST_F(ConfigFilesTest, RefusedFilesChangeNothingAndGiveOneErrorLine) {
  settings = AlternativeSettings();
  const Settings before = settings;
  const std::string changesFirst =
      "<showHeartbeat>1</showHeartbeat><modemPortNumber>7"
      "</modemPortNumber><customString>X\\r\\n</customString>";
  const struct {
    const char* name;
    std::string text;
  } cases[] = {
      {"malformed.twc", ConfigDoc(changesFirst + "<lblPing>1</lblPin>")},
      {"version.twc", ConfigDoc(changesFirst, "7")},
      {"value.twc", ConfigDoc(changesFirst + "<lblPing>on</lblPing>")},
      {"range.twc", ConfigDoc(changesFirst + "<gpsPortNumber>99</gpsPortNumber>")},
      {"huge.twc", ConfigDoc(changesFirst + std::string(CONFIG_FILE_MAX, ' '))},
      {"sources.twc", ConfigDoc(changesFirst + "<useNodeProtocol>1</useNodeProtocol>")},
      {"deep.twc", ConfigDoc(changesFirst +
                             [] {
                               std::string s;
                               for (int k = 0; k < 20000; ++k) s += "<d>";
                               for (int k = 0; k < 20000; ++k) s += "</d>";
                               return s;
                             }())},
      {"entity.twc", "<!DOCTYPE t [<!ENTITY e SYSTEM \"/etc/passwd\">]>" +
                         ConfigDoc(changesFirst + "<fontFaceName>&e;</fontFaceName>")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    out.lines.clear();
    WriteText(File(c.name), c.text);
    const ConfigChanges changes = files.ConfigLoadFile(File(c.name));
    EXPECT_FALSE(changes.applied);
    EXPECT_TRUE(changes.changed.empty());
    ASSERT_EQ(out.lines.size(), 1u);
    const std::string start =
        "Error: Configuration not loaded from \"" + File(c.name).string() + "\": ";
    EXPECT_EQ(out.lines[0].rfind(start, 0), 0u) << out.lines[0];
    EXPECT_NE(out.lines[0].find("; no setting changed."), std::string::npos) << out.lines[0];
    EXPECT_TRUE(SameChoices(settings, before));
  }
}

TEST_F(ConfigFilesTest, FilesThatCannotBeReadAreRefusedWithoutWaiting) {
  const Settings before = settings;
  files.ConfigLoadFile(File("missing.twc"));
  ASSERT_EQ(out.lines.size(), 1u);
  EXPECT_NE(out.lines[0].find("the file does not exist"), std::string::npos);
  // A pipe would block a plain read until someone writes to it.
  ASSERT_EQ(::mkfifo(File("pipe.twc").c_str(), 0600), 0);
  files.ConfigLoadFile(File("pipe.twc"));
  ASSERT_EQ(out.lines.size(), 2u);
  EXPECT_NE(out.lines[1].find("it is not a plain file"), std::string::npos);
  files.ConfigLoadFile(root.path());
  ASSERT_EQ(out.lines.size(), 3u);
  EXPECT_TRUE(SameChoices(settings, before));
}

TEST_F(ConfigFilesTest, SaveReplacesTheOldFileWhole) {
  WriteText(File("b.twc"), "old content");
  ::chmod(File("b.twc").c_str(), 0640);
  settings.showGpsMessages = 1;
  ASSERT_TRUE(files.ConfigSaveFile(File("b.twc")));
  EXPECT_EQ(ReadFile(File("b.twc")), ConfigToXml(settings));
  EXPECT_EQ(fs::status(File("b.twc")).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(Listing(root.path()), (std::set<std::string>{"b.twc"}));
}

TEST_F(ConfigFilesTest, SaveThatCannotBeMadeSaysWhyAndLeavesNoFile) {
  WriteText(File("plain"), "not a folder");
  fs::create_directories(File("folder.twc") / "inside");
  WriteText(File("locked.twc"), "kept");
  fs::permissions(File("locked.twc"), fs::perms::owner_read);
  const struct {
    fs::path path;
    const char* why;
  } cases[] = {
      {File("plain") / "a.twc", "cannot create a file in"},
      {File("gone") / "a.twc", "No such file or directory"},
      {File("folder.twc"), "it is a folder"},
      {File("locked.twc"), "the file is read-only"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.string());
    out.lines.clear();
    EXPECT_FALSE(files.ConfigSaveFile(c.path));
    ASSERT_EQ(out.lines.size(), 1u);
    EXPECT_EQ(
        out.lines[0].rfind("Error: Configuration not saved to \"" + c.path.string() + "\": ", 0),
        0u)
        << out.lines[0];
    EXPECT_NE(out.lines[0].find(c.why), std::string::npos) << out.lines[0];
  }
  EXPECT_EQ(ReadFile(File("locked.twc")), "kept");
  EXPECT_EQ(Listing(root.path()), (std::set<std::string>{"plain", "folder.twc", "locked.twc"}));
  EXPECT_FALSE(fs::exists(File("gone")));
}

// A folder without write access: root may write anywhere, so only an
// ordinary account sees the refusal.
TEST_F(ConfigFilesTest, SaveIntoAFolderWithoutWriteAccess) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into any folder";
  fs::create_directories(File("ro"));
  fs::permissions(File("ro"), fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_FALSE(files.ConfigSaveFile(File("ro") / "a.twc"));
  ASSERT_EQ(out.lines.size(), 1u);
  EXPECT_NE(out.lines[0].find("Permission denied"), std::string::npos) << out.lines[0];
  fs::permissions(File("ro"), fs::perms::owner_all);
  EXPECT_TRUE(fs::is_empty(File("ro")));
}

}  // namespace
}  // namespace tw::test
