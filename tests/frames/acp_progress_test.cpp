// A file going out over ACP as the operator follows it: its share sent in
// the status bar, one line at its end, and "Cancel File Sending".
#include <gtest/gtest.h>

#include <fstream>

#include "frames/acp.h"
#include "frames/data_frames.h"
#include "support/fakes.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

using Lines = std::vector<std::string>;

class AcpProgress : public ::testing::Test {
 protected:
  AcpProgress() : frames(ui, out, nodes, dir.path()) {
    frames.InitDataFrames();
    frames.nodes[3].protocol = frames.nodes[5].protocol = KIND_ACP;
  }
  // Queues a file of `size` bytes named `name` for `node`.
  void Queue(int node, const std::string& name, size_t size) {
    const auto path = dir.path() / name;
    std::ofstream(path, std::ios::binary) << std::string(size, 'x');
    ui.fileToOpen = path.string();
    QueueAcpFile(frames, node);
  }
  TempDir dir;
  FakeUi ui;
  RecordingTextOut out;
  std::array<NodeProtocol, NODE_COUNT> nodes{};
  DataFrames frames;
};

// a.txt's stream is 6 + 94 = 100 bytes: 28 a frame of 32.
TEST_F(AcpProgress, ShowsTheShareSentEndsWithOneLineAndCancels) {
  EXPECT_EQ(AcpSendProgress(frames.acp), "");
  Queue(3, "a.txt", 94);
  Queue(3, "b.txt", 10);
  Queue(5, "c.txt", 10);
  struct Step {
    int requests;  // data requests of 32 bytes for node 3 before the check
    const char* progress;
  } steps[] = {{0, "ACP: \"a.txt\" to node 3 0% (+2 queued)"},
               {1, "ACP: \"a.txt\" to node 3 28% (+2 queued)"},
               {2, "ACP: \"a.txt\" to node 3 84% (+2 queued)"},
               {1, "ACP: \"b.txt\" to node 3 0% (+1 queued)"}};
  for (const Step& s : steps) {
    for (int k = 0; k < s.requests; ++k) frames.BuildDataFrame(1, 3, 0, 32);
    EXPECT_EQ(AcpSendProgress(frames.acp), s.progress);
  }
  EXPECT_EQ(out.lines.back(), "ACP[3]: \"a.txt\" sent [100 bytes, 4 frames].");
  out.lines.clear();
  CancelAcpFiles(frames);
  EXPECT_EQ(out.lines, (Lines{"ACP[3]: \"b.txt\" cancelled [0 of 16 bytes sent].",
                              "ACP[5]: \"c.txt\" cancelled [0 of 16 bytes sent]."}));
  EXPECT_EQ(AcpSendProgress(frames.acp), "");
  // Nothing left: the next request gets a status frame, a cancel says so.
  out.lines.clear();
  frames.BuildDataFrame(1, 3, 0, 32);
  CancelAcpFiles(frames);
  EXPECT_EQ(out.lines,
            (Lines{"ACP[1]: sending status to [3].", "ACP: no file queued, nothing to cancel."}));
}

}  // namespace
}  // namespace tw::test
