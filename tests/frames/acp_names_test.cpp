// Received files: whatever title a node sends, the file lands in the receive
// folder as a new file, under a name that is the same on every system and
// that none of the program's own files has.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "core/fixed_format.h"
#include "core/paths.h"
#include "frames/acp.h"
#include "frames/data_frames.h"
#include "support/fakes.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

namespace fs = std::filesystem;
constexpr int SRC = 1;

class AcpReceivedFileNames : public ::testing::Test {
 protected:
  AcpReceivedFileNames() : receiver(ui, out, nodes, dir.path() / "root") {
    receiver.InitDataFrames();
    receiver.nodes[SRC].protocol = KIND_ACP;
    fs::create_directories(root());
  }
  fs::path root() const { return receiver.receiveFolder(); }

  // One large-file frame from SRC: frame 0 carries the title first.
  void Receive(int frameNumber, const std::string& title, const std::string& content) {
    std::string stream = frameNumber == 0 ? title + '\0' + content : content;
    std::string hex = FixedFormat("03%04X%02X", frameNumber, static_cast<unsigned>(stream.size()));
    for (const char ch : stream) hex += FixedFormat("%02X", static_cast<unsigned char>(ch));
    out.lines.clear();
    receiver.ReceiveDataFrame(
        FixedFormat("$CARXD,%d,3,0,%d,%s\r\n", SRC, frameNumber, hex.c_str()));
  }

  TempDir dir;
  FakeUi ui;
  RecordingTextOut out;
  std::array<NodeProtocol, NODE_COUNT> nodes{};
  DataFrames receiver;
};

TEST_F(AcpReceivedFileNames, TitlesNeverReplaceEscapeOrTakeTheProgramsNames) {
  const std::vector<std::pair<std::string, std::string>> before = {
      {"seen.txt", "old"}, {"my.twc", "<tidewire/>"}, {".profile", "p"}};
  for (const auto& [name, content] : before) std::ofstream(root() / name) << content;
  fs::create_directory(root() / "box");
  const std::vector<std::pair<std::string, std::string>> titles = {
      {"plain.txt", "plain.txt"},
      {"seen.txt", "seen (2).txt"},
      {"seen.txt", "seen (3).txt"},
      {".profile", ".profile (2)"},
      {"box", "box (2)"},
      {"my.twc", "my_twc"},
      {"Other.TWC", "Other_TWC"},
      {"lOgS.", "_lOgS"},
      {".tidewire-save-0badcafe.tmp", "_.tidewire-save-0badcafe.tmp"},
      {"COM1", "_COM1"},
      {"con.txt", "_con.txt"},
      {"nul ", "_nul"},
      {"a/CON", "_CON"},
      {"C:AUX", "_AUX"},
      {"LPT\xC2\xB9.x", "_LPT\xC2\xB9.x"},
      {"COM10", "COM10"},
      {"console.log", "console.log"},
      {"x.con", "x.con"},
      {"../../.bashrc", ".bashrc"},
      {"/etc/passwd", "passwd"},
      {"C:\\x\\y.txt", "y.txt"},
      {"..\\..\\up", "up"},
      {"a\x01"
       "b\x1B[2J",
       "a_b_[2J"},
      {"q<u>o\"t|e?s*", "q_u_o_t_e_s_"},
      {"notes.txt. . ", "notes.txt"},
  };
  std::set<std::string> expectedNames = {"seen.txt", "my.twc", ".profile", "box"};
  for (size_t k = 0; k < titles.size(); ++k) {
    const auto& [title, name] = titles[k];
    SCOPED_TRACE(title);
    Receive(0, title, std::to_string(k));
    EXPECT_EQ(ReadFile(root() / PathFromUtf8(name)), std::to_string(k));
    const bool renamed =
        std::count(out.lines.begin(), out.lines.end(),
                   FixedFormat("ACP[1]: file '%s' is written as '%s'.",
                               title.find('\x01') != std::string::npos ? "a?b?[2J" : title.c_str(),
                               name.c_str())) == 1;
    EXPECT_EQ(renamed, title != name) << out.lines.back();
    expectedNames.insert(name);
  }
  for (const auto& [name, content] : before) EXPECT_EQ(ReadFile(root() / name), content);
  // Nothing else anywhere: no file outside the root, none beside these.
  std::set<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(dir.path())) {
    if (entry.path() == root()) continue;
    EXPECT_EQ(entry.path().parent_path(), root()) << entry.path();
    names.insert(PathToUtf8(entry.path().filename()));
  }
  EXPECT_EQ(names, expectedNames);

  for (const std::string title : {"..", ".", "", "/", "C:", "dir/..", "...", ". ."}) {
    SCOPED_TRACE(title);
    Receive(0, title, "!");
    ASSERT_EQ(out.lines.size(), 2u);
    EXPECT_EQ(out.lines[1].rfind("ACP[1]: error: unsafe file name '", 0), 0u) << out.lines[1];
  }
}

TEST_F(AcpReceivedFileNames, AFileWithEveryNumberTakenIsDroppedWithOneLine) {
  std::ofstream(root() / "full.txt") << "kept";
  for (int n = 2; n <= ACP_NAME_NUMBER_MAX; ++n) {
    std::ofstream(root() / FixedFormat("full (%d).txt", n)) << "kept";
  }
  Receive(0, "full.txt", "new");
  EXPECT_EQ(out.lines,
            (std::vector<std::string>{
                "ACP[1]: got large file frame.",
                "ACP[1]: error: no free name for 'full.txt' [999 taken], file dropped."}));
  Receive(1, "", "more");
  EXPECT_EQ(out.lines.back(), "ACP[1]: error opening file: ''");
  EXPECT_EQ(ReadFile(root() / "full (999).txt"), "kept");
  EXPECT_EQ(std::distance(fs::directory_iterator(root()), fs::directory_iterator()), 999);
}

// Later frames go only into the file their frame 0 created: not into one
// made again after it was removed, nor into another put in its place.
TEST_F(AcpReceivedFileNames, LaterFramesGoOnlyIntoTheFileFrameZeroMade) {
  const std::string lost =
      FixedFormat("ACP[1]: error opening file: '%s'", PathToUtf8(root() / "a.txt").c_str());
  Receive(0, "a.txt", "1");
  Receive(1, "", "2");
  EXPECT_EQ(ReadFile(root() / "a.txt"), "12");
  fs::remove(root() / "a.txt");
  Receive(2, "", "3");
  EXPECT_EQ(out.lines.back(), lost);
  EXPECT_FALSE(fs::exists(root() / "a.txt"));

  Receive(0, "a.txt", "4");
  std::ofstream(root() / "other") << "other";
  fs::rename(root() / "other", root() / "a.txt");
  Receive(1, "", "5");
  EXPECT_EQ(out.lines.back(), lost);
  EXPECT_EQ(ReadFile(root() / "a.txt"), "other");
}

// Links in the receive folder, where an earlier file or another program may
// have left them: never written through.
TEST_F(AcpReceivedFileNames, LinksAreNeverFollowed) {
  std::ofstream(dir.path() / "outside") << "keep";
  fs::create_symlink(dir.path() / "outside", root() / "link");
  fs::create_symlink(dir.path() / "nowhere", root() / "dangling");
  Receive(0, "link", "1");
  Receive(0, "dangling", "2");
  EXPECT_EQ(ReadFile(root() / "link (2)"), "1");
  EXPECT_EQ(ReadFile(root() / "dangling (2)"), "2");

  Receive(0, "swap", "3");
  fs::remove(root() / "swap");
  fs::create_symlink(dir.path() / "outside", root() / "swap");
  Receive(1, "", "4");
  EXPECT_EQ(out.lines.back(),
            FixedFormat("ACP[1]: error opening file: '%s'", PathToUtf8(root() / "swap").c_str()));
  EXPECT_EQ(ReadFile(dir.path() / "outside"), "keep");
  EXPECT_FALSE(fs::exists(dir.path() / "nowhere"));
}

}  // namespace
}  // namespace tw::test
