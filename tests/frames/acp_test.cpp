// ACP: files going out frame by frame in answer to data requests and coming
// back in through "$CARXD" byte for byte; status frames; what a damaged or
// hostile frame may and may not do to the receive folder.
#include "frames/acp.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "core/fixed_format.h"
#include "frames/data_frames.h"
#include "support/fakes.h"
#include "support/posix.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using Bytes = std::vector<uint8_t>;

constexpr int SRC = 1;   // our modem's address
constexpr int DEST = 3;  // the node the files go to

// The payload of a "$CCTXD" answer, read independently of the code under test.
Bytes PayloadOf(const std::string& sentence) {
  const std::string prefix = FixedFormat("$CCTXD,%d,%d,", SRC, DEST);
  EXPECT_EQ(sentence.compare(0, prefix.size(), prefix), 0) << sentence;
  EXPECT_EQ(sentence.substr(sentence.size() - 2), "\r\n");
  const size_t hexStart = sentence.find(',', prefix.size()) + 1;
  const std::string hex = sentence.substr(hexStart, sentence.size() - 2 - hexStart);
  Bytes bytes;
  for (size_t k = 0; k + 1 < hex.size(); k += 2) {
    bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(k, 2), nullptr, 16)));
  }
  return bytes;
}

std::string Hex(const Bytes& bytes) {
  std::string hex;
  for (uint8_t b : bytes) hex += FixedFormat("%02X", b);
  return hex;
}

// Root may open any file for writing, so a file's read-only mode means
// nothing to it. While this is alive the process acts as "nobody" (uid
// 65534), for whom the mode counts; root comes back when it goes.
class ActAsNobody {
 public:
  static constexpr uid_t NOBODY = 65534;
  ActAsNobody() : root_(::geteuid()), dropped_(::seteuid(NOBODY) == 0) {}
  ~ActAsNobody() {
    if (!dropped_) return;
    if (::seteuid(root_) != 0) {
      // Every later test would run without its rights and fail for no
      // reason of its own.
      ADD_FAILURE() << "could not return to uid " << root_;
      std::abort();
    }
  }
  ActAsNobody(const ActAsNobody&) = delete;
  ActAsNobody& operator=(const ActAsNobody&) = delete;
  bool dropped() const { return dropped_; }

 private:
  uid_t root_;
  bool dropped_;
};

// Two data-frame subsystems, each with its own node table and lines: the
// sender answers data requests for DEST, the receiver takes in what SRC sends.
class AcpLink : public ::testing::Test {
 protected:
  AcpLink()
      : sender(ui, sentOut, senderNodes, dir.path() / "outbox"),
        receiver(ui, receivedOut, receiverNodes, dir.path() / "a" / "b" / "inbox") {
    sender.InitDataFrames();
    receiver.InitDataFrames();
    sender.nodes[DEST].protocol = KIND_ACP;
    receiver.nodes[SRC].protocol = KIND_ACP;
    fs::create_directories(dir.path() / "files");
  }

  fs::path MakeFile(const std::string& name, const std::string& content) {
    const fs::path path = dir.path() / "files" / name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }

  void Queue(const fs::path& path) {
    ui.fileToOpen = path.string();
    QueueAcpFile(sender, DEST);
  }

  // One data request of n bytes; the payload sent, if any.
  std::optional<Bytes> Request(int n) {
    const std::string answer = sender.BuildDataFrame(SRC, DEST, 0, n);
    if (answer.empty()) return std::nullopt;
    return PayloadOf(answer);
  }

  void Deliver(const Bytes& payload, int frameNumber = 0) {
    receiver.ReceiveDataFrame(
        FixedFormat("$CARXD,%d,%d,0,%d,%s\r\n", SRC, DEST, frameNumber, Hex(payload).c_str()));
  }

  // Requests of n bytes until the queue is empty; the payload of every frame.
  std::vector<Bytes> BuildAll(int n) {
    std::vector<Bytes> frames;
    while (queue().count() > 0 && frames.size() < 100000) {
      const std::optional<Bytes> frame = Request(n);
      if (!frame) {
        ADD_FAILURE() << "request answered with nothing";
        break;
      }
      EXPECT_EQ(static_cast<int>(frame->size()), n);
      frames.push_back(*frame);
    }
    return frames;
  }

  // Built frames handed to the receiver in order.
  void DeliverAll(const std::vector<Bytes>& frames) {
    for (size_t k = 0; k < frames.size(); ++k) Deliver(frames[k], static_cast<int>(k));
  }

  // Sends the whole queue across; the payload of every frame.
  std::vector<Bytes> SendAll(int n) {
    std::vector<Bytes> frames = BuildAll(n);
    DeliverAll(frames);
    return frames;
  }

  AcpFileQueue& queue() { return sender.acp.queues[DEST]; }
  fs::path inbox() const { return receiver.receiveFolder(); }

  TempDir dir;
  FakeUi ui;
  RecordingTextOut sentOut, receivedOut;
  Lines& sent = sentOut.lines;
  Lines& received = receivedOut.lines;
  std::array<NodeProtocol, NODE_COUNT> senderNodes{}, receiverNodes{};
  DataFrames sender;
  DataFrames receiver;
};

using AcpFileTransfer = AcpLink;
using AcpFrameLayout = AcpLink;
using AcpSendQueue = AcpLink;
using AcpReception = AcpLink;

// ---------------------------------------------------------------- round trips

TEST_F(AcpFileTransfer, FilesAroundTheFrameSizeCrossIntact) {
  const int n = 32;
  const int room = n - 4;
  const int header = 6;  // "fNN.b" and its zero
  for (int size : {0, room - header - 1, room - header, room - header + 1, 2 * room - header,
                   2 * room - header + 1, 300}) {
    SCOPED_TRACE(size);
    std::string content;
    for (int i = 0; i < size; ++i) content += static_cast<char>('a' + i % 26);
    const std::string title = FixedFormat("f%02d.b", size % 97);
    Queue(MakeFile(title, content));
    const std::vector<Bytes> frames = SendAll(n);
    const int stream = size + header;
    ASSERT_EQ(static_cast<int>(frames.size()), std::max(1, (stream + room - 1) / room));
    for (size_t k = 0; k < frames.size(); ++k) {
      const bool last = k + 1 == frames.size();
      EXPECT_EQ(frames[k][0], last ? 0xC3 : 0x83);
      EXPECT_EQ(frames[k][1] * 256 + frames[k][2], static_cast<int>(k));
      EXPECT_EQ(frames[k][3], last ? stream - room * static_cast<int>(k) : room);
    }
    EXPECT_EQ(ReadFile(inbox() / title), content);
  }
  // The largest frames carry 252 stream bytes each.
  const std::string big(1000, '\xA5');
  Queue(MakeFile("big", big));
  EXPECT_EQ(SendAll(256).size(), 4u);  // 1004 stream bytes
  EXPECT_EQ(ReadFile(inbox() / "big"), big);
  // Nothing left: the next request gets a status frame.
  const std::optional<Bytes> status = Request(n);
  ASSERT_TRUE(status);
  EXPECT_EQ((*status)[0], 0x11);
}

TEST_F(AcpFileTransfer, BinaryAndSeveralFilesInOrder) {
  std::string binary;
  for (int i = 0; i < 3 * 256 + 17; ++i) binary += static_cast<char>(i % 256);
  Queue(MakeFile("every.bin", binary));
  Queue(MakeFile("crlf.dat", "text content\r\n\x1a\xff"));
  Queue(MakeFile("empty", ""));
  ASSERT_EQ(queue().count(), 3);
  EXPECT_EQ(sent, (Lines{"ACP[3]: queued \"every.bin\" [795 bytes]",
                         "ACP[3]: queued \"crlf.dat\" [25 bytes]",
                         "ACP[3]: queued \"empty\" [6 bytes]"}));

  const std::vector<Bytes> frames = SendAll(77);
  // every.bin: 795 bytes in 11 frames of 73; then one frame each.
  ASSERT_EQ(frames.size(), 13u);
  for (size_t k = 0; k < frames.size(); ++k) {
    EXPECT_EQ(frames[k][0] & 0x80, k == 12 ? 0x80 : 0) << k;  // only the last file is "last"
    EXPECT_EQ(frames[k][0] & 0x40, k >= 10 ? 0x40 : 0) << k;
  }
  EXPECT_EQ(ReadFile(inbox() / "every.bin"), binary);
  EXPECT_EQ(ReadFile(inbox() / "crlf.dat"), "text content\r\n\x1a\xff");
  EXPECT_TRUE(fs::exists(inbox() / "empty"));
  EXPECT_EQ(fs::file_size(inbox() / "empty"), 0u);
}

TEST_F(AcpFileTransfer, ReadOnlyFileIsSent) {
  std::string content;
  for (int i = 0; i < 100; ++i) content += static_cast<char>(255 - i);
  const fs::path readOnly = MakeFile("locked.dat", content);
  ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
  Queue(readOnly);
  std::optional<ActAsNobody> nobody;
  if (::geteuid() == 0) {
    // Nobody has to get through the folders to the file.
    const auto reachable = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                           fs::perms::others_read | fs::perms::others_exec;
    fs::permissions(dir.path(), reachable);
    fs::permissions(dir.path() / "files", reachable);
    nobody.emplace();
    if (!nobody->dropped()) {
      GTEST_SKIP() << "running as root and seteuid(" << ActAsNobody::NOBODY
                   << ") failed: a read-only file cannot be tested";
    }
    ASSERT_EQ(::geteuid(), ActAsNobody::NOBODY);
    ASSERT_NE(::faccessat(AT_FDCWD, readOnly.c_str(), W_OK, AT_EACCESS), 0);  // the mode holds now
  }
  const std::vector<Bytes> frames = BuildAll(32);  // 4 frames: 11 title bytes, 100 content
  nobody.reset();                                  // root again, to write what arrives
  ASSERT_NE(::geteuid(), ActAsNobody::NOBODY);
  EXPECT_EQ(sent.back(), "ACP[3]: \"locked.dat\" sent [111 bytes, 4 frames].");  // no error line
  ASSERT_EQ(frames.size(), 4u);
  DeliverAll(frames);
  EXPECT_EQ(ReadFile(inbox() / "locked.dat"), content);
  EXPECT_EQ(fs::status(readOnly).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  ::chmod(readOnly.c_str(), 0644);
}

// ------------------------------------------------------------ frame layout

TEST_F(AcpFrameLayout, SingleEmptyFileFrameExactly) {
  Queue(MakeFile("abcde", ""));
  const std::optional<Bytes> frame = Request(32);
  ASSERT_TRUE(frame);
  Bytes expected(32, 0);
  expected[0] = 0xC3;
  expected[3] = 6;
  for (int i = 0; i < 5; ++i) expected[static_cast<size_t>(4 + i)] = static_cast<uint8_t>('a' + i);
  EXPECT_EQ(*frame, expected);
  EXPECT_EQ(queue().count(), 0);
}

TEST_F(AcpFrameLayout, StatusFrameReportsTheQueue) {
  const std::string longTitle(30, 'L');
  Queue(MakeFile("one", std::string(100, '1')));  // 104 stream bytes
  Queue(MakeFile("two", std::string(10, '2')));   // 14
  Queue(MakeFile(longTitle, ""));                 // 31
  // Requests too short for file data get the status frame, cut.
  EXPECT_EQ(Request(3), (Bytes{0x11, 0, 0}));
  EXPECT_EQ(Request(4), (Bytes{0x11, 0, 0, 0}));
  EXPECT_EQ(queue().count(), 3);
  ASSERT_TRUE(Request(32));   // "one": 28 of its 104 bytes
  ASSERT_TRUE(Request(128));  // the rest of "one"
  ASSERT_TRUE(Request(18));   // "two"
  ASSERT_EQ(queue().count(), 1);
  Queue(MakeFile("four", std::string(5, '4')));  // 10
  Queue(MakeFile("five", ""));                   // 5
  // The long title does not fit a 13-byte frame, so the status goes instead.
  sent.clear();
  const std::string answer = sender.BuildDataFrame(SRC, DEST, 1, 13);
  EXPECT_EQ(answer, "$CCTXD,1,3,1,110000002e03" + std::string(14, '0') + "\r\n");  // 31+10+5
  EXPECT_EQ(sent,
            (Lines{"ACP[3]: title \"" + longTitle + "\" does not fit in 13 bytes, file waits.",
                   "ACP[1]: sending status to [3]."}));
  EXPECT_EQ(queue().count(), 3);
}

TEST_F(AcpSendQueue, HoldsAtMost256Files) {
  const fs::path file = MakeFile(std::string(30, 'f'), "");
  for (int i = 0; i < ACP_QUEUE_MAX; ++i) Queue(file);
  ASSERT_EQ(queue().count(), 256);
  sent.clear();
  ui.fileDialogs.clear();
  Queue(file);
  EXPECT_EQ(queue().count(), 256);
  EXPECT_EQ(sent, Lines{"ACP[3]: error: 256 files already queued, nothing queued."});
  EXPECT_TRUE(ui.fileDialogs.empty());
  // 256 x 31 stream bytes; the count byte stops at 255.
  EXPECT_EQ(Request(8), (Bytes{0x11, 0, 0, 0x1F, 0x00, 0xFF, 0, 0}));
}

TEST_F(AcpSendQueue, RefusalsWhenQueueing) {
  sender.nodes[DEST].protocol = KIND_CCL;
  Queue(MakeFile("x", "1"));
  EXPECT_EQ(sent, (Lines{"ACP[3]: Node not configured for ACP frames!",
                         "ACP[3]: to send files to node 3, choose",
                         "ACP[3]: \"ACP Frames\" for it in Data >",
                         "ACP[3]: Configure Node Protocols..."}));
  EXPECT_TRUE(ui.fileDialogs.empty());

  sender.nodes[DEST].protocol = KIND_ACP;
  sent.clear();
  Queue("");  // cancelled
  EXPECT_EQ(sent, Lines{});
  ASSERT_EQ(ui.fileDialogs.size(), 1u);
  EXPECT_EQ(ui.fileDialogs[0],
            std::make_pair(std::string("File To Send"), (dir.path() / "outbox").string()));
  const fs::path missing = dir.path() / "files" / "missing";
  Queue(missing);
  Queue(dir.path() / "files");  // a folder is not a file to send
  EXPECT_EQ(sent,
            (Lines{"ACP[3]: error: can't open file '" + missing.string() + "' !",
                   "ACP[3]: error: can't open file '" + (dir.path() / "files").string() + "' !"}));
  EXPECT_EQ(queue().count(), 0);
}

TEST_F(AcpSendQueue, FileGoneOrShrunkAtSendTimeIsDropped) {
  const fs::path gone = MakeFile("gone", "content");
  const fs::path shrunk = MakeFile("shrunk", std::string(100, 's'));
  Queue(gone);
  Queue(shrunk);
  fs::remove(gone);
  sent.clear();
  EXPECT_FALSE(Request(32));
  EXPECT_EQ(sent, Lines{"ACP[3]: error: can't open file '" + gone.string() + "' !"});
  EXPECT_EQ(queue().count(), 1);

  ASSERT_TRUE(Request(32));  // frame 0 of "shrunk": title and 21 bytes
  std::ofstream(shrunk, std::ios::binary | std::ios::trunc) << "ss";
  sent.clear();
  EXPECT_FALSE(Request(32));
  EXPECT_EQ(sent, Lines{"ACP[3]: error: file read error: '" + shrunk.string() + "' !"});
  EXPECT_EQ(queue().count(), 0);
  EXPECT_EQ(Request(8).value().at(0), 0x11);
}

TEST_F(AcpSendQueue, TitleThatDoesNotFitWaitsForALargerRequest) {
  const std::string title(30, 't');
  Queue(MakeFile(title, "abc"));
  sent.clear();
  const std::optional<Bytes> small = Request(32);
  ASSERT_TRUE(small);
  EXPECT_EQ((*small)[0], 0x11);
  EXPECT_EQ(sent, (Lines{"ACP[3]: title \"" + title + "\" does not fit in 32 bytes, file waits.",
                         "ACP[1]: sending status to [3]."}));
  EXPECT_EQ(queue().count(), 1);
  EXPECT_EQ(SendAll(64).size(), 1u);
  EXPECT_EQ(ReadFile(inbox() / title), "abc");
}

TEST_F(AcpSendQueue, TitleThatCanNeverFitIsRefusedAndBlocksNothing) {
  // 252 characters and the zero byte need 253: more than any frame carries.
  const std::string tooLong(252, 'x');
  Queue(MakeFile(tooLong, "never"));
  EXPECT_EQ(sent, Lines{"ACP[3]: error: title \"" + tooLong +
                        "\" is too long to send [252 characters, at most 251]."});
  EXPECT_EQ(queue().count(), 0);

  // 251 fill frame 0 of the largest request exactly; one byte less waits.
  const std::string longest(251, 'y');
  Queue(MakeFile(longest, "abc"));
  Queue(MakeFile("after", "def"));
  ASSERT_EQ(queue().count(), 2);
  sent.clear();
  EXPECT_EQ(Request(255).value().at(0), 0x11);
  EXPECT_EQ(sent, (Lines{"ACP[3]: title \"" + longest + "\" does not fit in 255 bytes, file waits.",
                         "ACP[1]: sending status to [3]."}));
  // Frame 0 holds only the title, frame 1 the content, then "after".
  const std::vector<Bytes> frames = SendAll(256);
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[0][3], 252);
  EXPECT_EQ(frames[2][0], 0xC3);
  EXPECT_EQ(ReadFile(inbox() / longest), "abc");
  EXPECT_EQ(ReadFile(inbox() / "after"), "def");
}

// --------------------------------------------------------------- receiving

TEST_F(AcpReception, StatusShowsItsSevenLines) {
  Deliver({0x11, 0xFF, 0xFF, 0xFF, 0xFF, 2, 3, 4, 5, 6, 7, 0x2E, 0xE0, 0x99});
  EXPECT_EQ(received,
            (Lines{"ACP[1]: got status frame.", "ACP[1]: -1 total bytes pending.",
                   "ACP[1]: 2 commands pending.", "ACP[1]: 3 small files pending.",
                   "ACP[1]: 4 large files pending.", "ACP[1]: 5 messages pending.",
                   "ACP[1]: 7 cmds run [last exit=6]", "ACP[1]:   battery  12.00 volts."}));
  // A status frame cut short shows zeros for what did not arrive.
  received.clear();
  Deliver({0x51, 0x00, 0x01, 0x00, 0x00, 9});
  EXPECT_EQ(received,
            (Lines{"ACP[1]: got status frame.", "ACP[1]: 65536 total bytes pending.",
                   "ACP[1]: 9 commands pending.", "ACP[1]: 0 small files pending.",
                   "ACP[1]: 0 large files pending.", "ACP[1]: 0 messages pending.",
                   "ACP[1]: 0 cmds run [last exit=0]", "ACP[1]:   battery   0.00 volts."}));
}

TEST_F(AcpReception, EveryTypeIsAnnounced) {
  const std::vector<std::pair<Bytes, std::string>> cases = {
      {{0x01, 0x00}, "ACP[1]: got command frame."},
      {{0x22, 0x00}, "ACP[1]: got small file frame."},
      {{0x04, 0x00}, "ACP[1]: got chat frame."},
      {{0x12, 0x00}, "ACP[1]: got ack list frame."},
      {{0x00, 0xFF}, "ACP[1]: garbled frame!  [type]"},
      {{0x05}, "ACP[1]: garbled frame!  [type]"},
      {{0x1F, 0x00}, "ACP[1]: garbled frame!  [type]"},
  };
  for (const auto& [payload, line] : cases) {
    received.clear();
    Deliver(payload);
    EXPECT_EQ(received, Lines{line}) << Hex(payload);
  }
  for (uint8_t type : {0x03, 0x43, 0xC3}) {
    received.clear();
    Deliver({type, 0x00, 0x01, 0x00});
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received[0], "ACP[1]: got large file frame.");
  }
}

TEST_F(AcpReception, FileFramesWriteOnlyTheirCountedBytes) {
  // Frame 0: a seven-character title, 32 bytes, count 28: bytes 12..31 are content.
  Bytes first(32, 0);
  first[0] = 0x03;
  first[3] = 28;
  const std::string title = "seven.7";
  std::copy(title.begin(), title.end(), first.begin() + 4);
  for (int i = 12; i < 32; ++i) first[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
  Deliver(first);
  Bytes last(32, 0xEE);
  last[0] = 0x43;
  last[1] = 0;
  last[2] = 1;
  last[3] = 5;
  for (int i = 4; i < 9; ++i) last[static_cast<size_t>(i)] = static_cast<uint8_t>('A' + i);
  Deliver(last, 1);
  std::string expected;
  for (int i = 12; i < 32; ++i) expected += static_cast<char>(i);
  expected += "EFGHI";
  EXPECT_EQ(ReadFile(inbox() / title), expected);
  const std::string path = (inbox() / title).string();
  EXPECT_EQ(received, (Lines{"ACP[1]: got large file frame.",
                             "ACP[1]:   lgfile frame[0]: '" + path + "' 20 bytes",
                             "ACP[1]: got large file frame.",
                             "ACP[1]:   lgfile frame[1]: '" + path + "' 25 bytes"}));

  // A new frame 0 of the same name makes a new file beside it.
  Deliver(Bytes{0x43, 0, 0, 9, 's', 'e', 'v', 'e', 'n', '.', '7', 0, 'Z'});
  EXPECT_EQ(ReadFile(inbox() / "seven (2).7"), "Z");
  EXPECT_EQ(ReadFile(inbox() / title), expected);
}

TEST_F(AcpReception, DamagedFileFramesNeverReadPastTheFrame) {
  // A count larger than the frame: what is there is kept.
  Deliver(Bytes{0x03, 0, 0, 200, 'a', 0, 'x', 'y', 'z', 'w'});
  EXPECT_EQ(received[1], "ACP[1]: error: frame claims 200 bytes but carries 6.");
  EXPECT_EQ(ReadFile(inbox() / "a"), "xyzw");

  // A title without its zero inside the counted bytes: the file is dropped,
  // and its later frames do not land in the file before it.
  received.clear();
  Deliver(Bytes{0x03, 0, 0, 3, 'b', 'c', 'd', 0, 'q'});
  EXPECT_EQ(received,
            (Lines{"ACP[1]: got large file frame.",
                   "ACP[1]: error: file title does not fit in the frame, file dropped."}));
  received.clear();
  Deliver(Bytes{0x43, 0, 1, 2, 'm', 'n'}, 1);
  EXPECT_EQ(received,
            (Lines{"ACP[1]: got large file frame.", "ACP[1]:   lgfile frame[1]: '' 2 bytes",
                   "ACP[1]: error opening file: ''"}));
  EXPECT_EQ(ReadFile(inbox() / "a"), "xyzw");
  EXPECT_FALSE(fs::exists(inbox() / "bcd"));

  // Too short for the header.
  received.clear();
  Deliver(Bytes{0x03, 0, 1});
  EXPECT_EQ(received,
            (Lines{"ACP[1]: got large file frame.",
                   "ACP[1]: error: large file frame of 3 bytes has no header, dropped."}));
}

TEST_F(AcpReception, LaterFrameOnAFreshReceiverHasNoFileToGoTo) {
  Deliver(Bytes{0x43, 0, 1, 3, 'x', 'y', 'z'}, 1);
  EXPECT_EQ(received,
            (Lines{"ACP[1]: got large file frame.", "ACP[1]:   lgfile frame[1]: '' 3 bytes",
                   "ACP[1]: error opening file: ''"}));
  EXPECT_FALSE(fs::exists(inbox()) && !fs::is_empty(inbox()));
}

TEST_F(AcpReception, HiddenNodeWritesNoFile) {
  receiver.nodes[SRC].showData = 0;
  Deliver(Bytes{0x43, 0, 0, 3, 'h', 0, '1'});
  EXPECT_EQ(received, Lines{});
  EXPECT_FALSE(fs::exists(inbox() / "h"));
}

TEST_F(AcpReception, FileGrowingPastTheLargestSendableIsDropped) {
  Deliver(Bytes{0x03, 0, 0, 8, 'b', 'i', 'g', 0, '1', '2', '3', '4'});
  const std::string path = (inbox() / "big").string();
  AcpReceiveState& state = receiver.acp.receive[SRC];
  ASSERT_EQ(state.received, 4);

  // As if the far end had sent frames up to 251 bytes short of the largest
  // file a sender queues: one more full frame still fits exactly.
  state.received = ACP_STREAM_MAX - 251;
  Bytes full(255, 'x');
  full[0] = 0x03;
  full[1] = 0x12;
  full[2] = 0x34;
  full[3] = 251;
  received.clear();
  Deliver(full, 0x1234);
  EXPECT_EQ(received.back(), FixedFormat("ACP[1]:   lgfile frame[4660]: '%s' %lld bytes",
                                         path.c_str(), static_cast<long long>(ACP_STREAM_MAX)));
  EXPECT_EQ(state.received, ACP_STREAM_MAX);

  // One byte more is more than any sender can queue: one line, nothing
  // written, and the frames after it go nowhere.
  received.clear();
  Deliver(Bytes{0x03, 0x12, 0x35, 1, 'y'}, 0x1235);
  EXPECT_EQ(received, (Lines{"ACP[1]: got large file frame.",
                             FixedFormat("ACP[1]: error: '%s' passes %lld bytes, file dropped.",
                                         path.c_str(), static_cast<long long>(ACP_STREAM_MAX))}));
  Deliver(Bytes{0x03, 0x12, 0x36, 1, 'z'}, 0x1236);
  const std::string kept = ReadFile(inbox() / "big");
  EXPECT_EQ(kept, "1234" + std::string(251, 'x'));
  EXPECT_TRUE(state.path.empty());

  // The count is 64 bits wide: a run of frames after the drop, as from a
  // far end that never stops, does not wrap it.
  state.received = int64_t{1} << 40;
  Deliver(Bytes{0x03, 0, 9, 1, 'w'}, 9);
  EXPECT_EQ(state.received, (int64_t{1} << 40) + 1);

  // A new frame 0 starts a new file as usual.
  Deliver(Bytes{0x43, 0, 0, 6, 'n', 'e', 'w', 0, 'o', 'k'});
  EXPECT_EQ(ReadFile(inbox() / "new"), "ok");
  EXPECT_EQ(state.received, 2);
}

}  // namespace
}  // namespace tw::test
