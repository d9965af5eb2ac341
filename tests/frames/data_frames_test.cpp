// Data-frame transport: "$CARXD" frames parsed, classified, announced and
// dumped; data requests answered by the destination node's protocol; the
// frame-kind table all of those read; the whole path from the modem port
// through the interpreter and back.
#include "frames/data_frames.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "app/program.h"
#include "core/commands.h"
#include "frames/frame_kinds.h"
#include "protocol/nmea.h"
#include "support/fakes.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

using Lines = std::vector<std::string>;

// A data-frame subsystem of its own, printing into `out`.
class DataFramesFixture : public ::testing::Test {
 protected:
  DataFramesFixture() : frames(ui, out, nodes, dir.path()) { frames.InitDataFrames(); }

  Lines Receive(const std::string& sentence) {
    out.lines.clear();
    frames.ReceiveDataFrame(sentence);
    return out.lines;
  }

  // The answer to a data request; the lines it printed are in out.lines.
  std::string Request(int32_t source, int32_t destination, int32_t ack, int32_t byteCount) {
    out.lines.clear();
    return frames.BuildDataFrame(source, destination, ack, byteCount);
  }

  NodeProtocol& node(int n) { return nodes[static_cast<size_t>(n)]; }

  TempDir dir;
  FakeUi ui;
  RecordingTextOut out;
  std::array<NodeProtocol, NODE_COUNT> nodes{};
  DataFrames frames;
};

using CarxdReception = DataFramesFixture;
using DataRequests = DataFramesFixture;

TEST_F(CarxdReception, EachKindHasItsAnnouncement) {
  node(2).protocol = KIND_GENERIC;
  node(3).protocol = KIND_RAW;
  node(4).protocol = KIND_SEAGRANT;
  node(5).protocol = KIND_CCL;
  node(6).protocol = 99;  // not a protocol the list offers
  node(7).protocol = KIND_MITOE;
  EXPECT_EQ(Receive("$CARXD,1,0,0,1,\r\n"), Lines{"RX[01]: got empty frame."});
  EXPECT_EQ(Receive("$CARXD,1,0,0,1\r\n"), Lines{"RX[01]: got empty frame."});
  EXPECT_EQ(Receive("$CARXD,2,0,0,1,ff01\r\n"), Lines{"RX[02]: got frame.            [2 bytes]"});
  EXPECT_EQ(Receive("$CARXD,3,0,0,1,ff01\r\n"), Lines{"RX[03]: got UNKNOWN frame.    [2 bytes]"});
  EXPECT_EQ(Receive("$CARXD,4,0,0,1,ff01\r\n"), Lines{"RX[04]: got SeaGrant frame.   [2 bytes]"});
  EXPECT_EQ(Receive("$CARXD,6,0,0,1,ff01*3C\r\n"),
            Lines{"RX[06]: got UNKNOWN frame.    [2 bytes]"});
  // The MIT-OE line comes first, then whatever its decoder prints.
  EXPECT_EQ(Receive("$CARXD,7,0,0,1,ff01\r\n"),
            (Lines{"RX[07]: got MIT-OE frame.     [2 bytes]", "MITOE[7]: got SONAR frame.",
                   "MITOE[7]: frame too short."}));
  // The test pattern wins over any protocol, from the single byte 00 up.
  EXPECT_EQ(Receive("$CARXD,5,0,0,1,0001020304\r\n"),
            Lines{"RX[05]: got test frame.       [5 bytes]"});
  EXPECT_EQ(Receive("$CARXD,3,0,0,1,00\r\n"), Lines{"RX[03]: got test frame.       [1 bytes]"});
  EXPECT_EQ(Receive("$CARXD,3,0,0,1," + Pattern(256) + "\r\n"),
            Lines{"RX[03]: got test frame.       [256 bytes]"});
  EXPECT_EQ(Receive("$CATXD,1,0,0,1,00\r\n"), Lines{"DATA: message is not $CARXD message."});
  EXPECT_EQ(Receive("$carxd,1,0,0,1,00\r\n"), Lines{"DATA: message is not $CARXD message."});
}

// The node table may hold any protocol value for a node, not only the
// ones the list offers.
TEST_F(CarxdReception, ProtocolsOffTheListAnnounceAsTheTableSays) {
  node(2).protocol = 99;
  node(3).protocol = -1;
  EXPECT_EQ(Receive("$CARXD,2,0,0,1,ff01\r\n"), Lines{"RX[02]: got UNKNOWN frame.    [2 bytes]"});
  EXPECT_EQ(Receive("$CARXD,3,0,0,1,ff01\r\n"), Lines{"RX[03]: got UNKNOWN frame.    [2 bytes]"});
  // The values of the kinds a frame gets by its content name that kind,
  // whatever the content.
  node(4).protocol = KIND_EMPTY;
  node(5).protocol = KIND_TEST;
  EXPECT_EQ(Receive("$CARXD,4,0,0,1,ff01\r\n"), Lines{"RX[04]: got empty frame."});
  EXPECT_EQ(Receive("$CARXD,5,0,0,1,ff01\r\n"), Lines{"RX[05]: got test frame.       [2 bytes]"});
}

TEST_F(CarxdReception, HexFieldsOfEveryShape) {
  node(1).showRawData = 1;
  // Seven digits: the odd one is dropped. The line end is not a digit.
  EXPECT_EQ(Receive("$CARXD,1,0,0,1,a1b2c3d\r\n"),
            (Lines{"RX[01]: got frame.            [3 bytes]", "RX[01]:    a1..b2..c3"}));
  EXPECT_EQ(Receive("$CARXD,1,0,0,1,A1B2C3D4*00\r\n"),
            (Lines{"RX[01]: got frame.            [4 bytes]", "RX[01]:    a1..b2..c3..d4"}));

  DataFrame frame;
  DecodeHexPayload("zz-1 f1g+A0x", frame);
  ASSERT_EQ(frame.length, 6);
  EXPECT_EQ(frame.payload[0], 0x00);  // no digit
  EXPECT_EQ(frame.payload[1], 0xff);  // -1, low 8 bits
  EXPECT_EQ(frame.payload[2], 0x0f);  // blank then a digit
  EXPECT_EQ(frame.payload[3], 0x01);  // digit then junk
  EXPECT_EQ(frame.payload[4], 0x0a);  // sign then a digit
  EXPECT_EQ(frame.payload[5], 0x00);

  // 512 digits fill the payload; more are cut there.
  const std::string full = Pattern(256, 7);
  DecodeHexPayload(full, frame);
  EXPECT_EQ(frame.length, 256);
  EXPECT_EQ(NMEAHexPayload(frame.payload.data(), 256), full);
  DecodeHexPayload(full + "ab", frame);
  EXPECT_EQ(frame.length, 256);
  EXPECT_EQ(NMEAHexPayload(frame.payload.data(), 256), full);
  EXPECT_EQ(Receive("$CARXD,1,0,0,1," + Pattern(300) + "\r\n").front(),
            "RX[01]: got test frame.       [256 bytes]");
}

TEST_F(CarxdReception, RawDumpInGroupsOfFour) {
  node(1).showRawData = 1;
  const std::string head = "RX[01]: got frame.            ";
  EXPECT_EQ(Receive("$CARXD,1,0,0,1,0a0b0c0d0e\r\n"),
            (Lines{head + "[5 bytes]", "RX[01]:    0a..0b..0c..0d", "RX[01]:    0e"}));
  EXPECT_EQ(Receive("$CARXD,1,0,0,1,0a0b0c0d0e0f\r\n"),
            (Lines{head + "[6 bytes]", "RX[01]:    0a..0b..0c..0d", "RX[01]:    0e..0f"}));
  EXPECT_EQ(Receive("$CARXD,1,0,0,1,0a0b0c0d0e0f10\r\n"),
            (Lines{head + "[7 bytes]", "RX[01]:    0a..0b..0c..0d", "RX[01]:    0e..0f..10"}));
  EXPECT_EQ(Receive("$CARXD,1,0,0,1,0a0b0c0d0e0f1011\r\n"),
            (Lines{head + "[8 bytes]", "RX[01]:    0a..0b..0c..0d", "RX[01]:    0e..0f..10..11"}));
  EXPECT_EQ(Receive("$CARXD,1,0,0,1,\r\n"), Lines{"RX[01]: got empty frame."});
}

TEST_F(CarxdReception, DecodersPrintBeforeTheDump) {
  // CCL announces through its decoder: no RX line of its own.
  node(5).protocol = KIND_CCL;
  node(5).showRawData = 1;
  EXPECT_EQ(
      Receive("$CARXD,5,0,0,1,0e5634129a78f6\r\n"),
      (Lines{"CCL[5]: got MDAT_STATE frame.", "CCL: Latitude:   25.59999",
             "CCL: Longitude: -13.40002", "RX[05]:    0e..56..34..12", "RX[05]:    9a..78..f6"}));
  node(7).protocol = KIND_MITOE;
  EXPECT_EQ(Receive("$CARXD,7,0,0,1,12123456ffffff\r\n"),
            (Lines{"RX[07]: got MIT-OE frame.     [7 bytes]", "MITOE[7]: got MDAT_STATE2 frame.",
                   "STATE2: Northing:  -001.0 meters", "STATE2: Easting:   5649426.0 meters"}));
  node(7).showRawData = 1;
  const Lines dumped = Receive("$CARXD,7,0,0,1,12123456ffffff\r\n");
  EXPECT_EQ(dumped,
            (Lines{"RX[07]: got MIT-OE frame.     [7 bytes]", "MITOE[7]: got MDAT_STATE2 frame.",
                   "STATE2: Northing:  -001.0 meters", "STATE2: Easting:   5649426.0 meters",
                   "RX[07]:    12..12..34..56", "RX[07]:    ff..ff..ff"}));
}

TEST_F(CarxdReception, HiddenNodesAndNodesOutsideTheTable) {
  node(3).showData = 0;
  node(3).showRawData = 1;
  EXPECT_EQ(Receive("$CARXD,3,0,0,1,0a0b0c0d0e\r\n"), Lines{});
  EXPECT_EQ(Receive("$CARXD,3,0,0,1,\r\n"), Lines{});

  EXPECT_EQ(Receive("$CARXD,16,0,0,1,0a\r\n"),
            Lines{"DATA: frame from node 16 ignored: nodes are 0 to 15."});
  EXPECT_EQ(Receive("$CARXD,-1,0,0,1,0a\r\n"),
            Lines{"DATA: frame from node -1 ignored: nodes are 0 to 15."});
  EXPECT_EQ(Receive("$CARXD\r\n"), Lines{"DATA: frame from node 4095 ignored: nodes are 0 to 15."});
}

TEST_F(DataRequests, AnsweredByTheDestinationsProtocol) {
  for (int32_t kind : {KIND_GENERIC, KIND_CCL, KIND_MITOE, KIND_SEAGRANT}) {
    node(2).protocol = kind;
    EXPECT_EQ(Request(1, 2, 1, 32), "") << kind;
    EXPECT_EQ(out.lines, Lines{}) << kind;
  }
  for (int32_t kind : {KIND_RAW, KIND_EMPTY, KIND_TEST, 99, -1}) {
    node(2).protocol = kind;
    EXPECT_EQ(Request(1, 2, 1, 32), "") << kind;
    EXPECT_EQ(out.lines, Lines{"TX[01]: UNKNOWN frame requested [32 bytes]"}) << kind;
  }

  // An ACP node with nothing queued gets a status frame; any ack above 0
  // asks for acknowledgement.
  node(2).protocol = KIND_ACP;
  const std::string status = "11" + std::string(2 * 15, '0');
  EXPECT_EQ(Request(1, 2, 7, 16), "$CCTXD,1,2,1," + status + "\r\n");
  EXPECT_EQ(out.lines, Lines{"ACP[1]: sending status to [2]."});
  EXPECT_EQ(Request(1, 2, -1, 3), "$CCTXD,1,2,0,110000\r\n");
  EXPECT_EQ(Request(1, 2, 0, 0), "$CCTXD,1,2,0,\r\n");
  EXPECT_EQ(Request(1, 2, 0, -5), "$CCTXD,1,2,0,\r\n");
  // Longer than a frame: a full frame.
  EXPECT_EQ(Request(1, 2, 0, 4095), "$CCTXD,1,2,0,11" + std::string(510, '0') + "\r\n");
  // The source goes out as the request gave it.
  EXPECT_EQ(Request(-3, 2, 0, 1), "$CCTXD,-3,2,0,11\r\n");
}

TEST_F(DataRequests, NodeOutsideTheTableIsRefused) {
  for (int32_t destination : {4095, 16, -1}) {
    EXPECT_EQ(Request(1, destination, 0, 32), "");
    EXPECT_EQ(out.lines, Lines{"DATA: data request for node " + std::to_string(destination) +
                               " ignored: nodes are 0 to 15."});
  }
}

// ------------------------------------------------------------ the kind table

TEST(FrameKindTable, EachKindHasOneRow) {
  std::set<int32_t> kinds;
  for (const FrameKind& row : FrameKinds()) {
    EXPECT_TRUE(kinds.insert(row.kind).second) << "kind " << row.kind << " has two rows";
    EXPECT_EQ(&FrameKindOf(row.kind), &row) << row.kind;
  }
  for (int32_t kind : {KIND_EMPTY, KIND_GENERIC, KIND_ACP, KIND_RAW, KIND_CCL, KIND_MITOE,
                       KIND_SEAGRANT, KIND_TEST}) {
    EXPECT_EQ(kinds.count(kind), 1u) << kind;
  }
}

TEST(FrameKindTable, DataTypeListMapsPositionsAndProtocolsBothWays) {
  const std::vector<std::string> captions = ProtocolListCaptions();
  ASSERT_FALSE(captions.empty());
  EXPECT_EQ(std::set<std::string>(captions.begin(), captions.end()).size(), captions.size());
  for (int position = 0; position < static_cast<int>(captions.size()); ++position) {
    const int32_t protocol = ProtocolFromListPosition(position);
    EXPECT_EQ(ListPositionFromProtocol(protocol), position);
    ASSERT_NE(FrameKindOf(protocol).caption, nullptr) << position;
    EXPECT_EQ(FrameKindOf(protocol).caption, captions[static_cast<size_t>(position)]);
  }
  // Every kind with a caption is on the list once; the others are not on it.
  for (const FrameKind& row : FrameKinds()) {
    const int position = ListPositionFromProtocol(row.kind);
    if (row.caption == nullptr) {
      EXPECT_EQ(position, -1) << row.kind;
    } else {
      EXPECT_EQ(ProtocolFromListPosition(position), row.kind);
    }
  }
  EXPECT_EQ(ListPositionFromProtocol(KIND_TEST), -1);
  EXPECT_EQ(ListPositionFromProtocol(KIND_EMPTY), -1);
  EXPECT_EQ(ListPositionFromProtocol(99), -1);
  // A position off the list shows generic frames, the protocol a node starts with.
  EXPECT_EQ(ProtocolFromListPosition(static_cast<int>(captions.size())), KIND_GENERIC);
  EXPECT_EQ(ProtocolFromListPosition(-1), KIND_GENERIC);
  EXPECT_GE(ListPositionFromProtocol(NodeProtocol{}.protocol), 0);
}

TEST(FrameKindTable, EveryReceivedFrameIsAnnounced) {
  for (const FrameKind& row : FrameKinds()) {
    if (row.announcement == nullptr) {
      // Then the decoder is the one that announces it.
      EXPECT_NE(row.decode, nullptr) << row.kind;
      EXPECT_EQ(AnnouncementLine(row.kind, 3, 12), "") << row.kind;
    } else {
      EXPECT_EQ(AnnouncementLine(row.kind, 3, 12).rfind("RX[03]: got ", 0), 0u) << row.kind;
    }
  }
}

TEST(FrameKindTable, ByteCountsLineUpInOneColumn) {
  const std::string count = "[12 bytes]";
  std::set<size_t> columns;
  for (const FrameKind& row : FrameKinds()) {
    if (row.announcement == nullptr || !row.countsBytes) continue;
    const std::string line = AnnouncementLine(row.kind, 3, 12);
    ASSERT_GT(line.size(), count.size()) << row.kind;
    EXPECT_EQ(line.substr(line.size() - count.size()), count) << row.kind;
    columns.insert(line.size() - count.size());
  }
  columns.insert(AnnouncementLine(99, 3, 12).size() - count.size());
  EXPECT_EQ(columns.size(), 1u);
}

TEST(FrameKindTable, UnknownKindsAnnounceUnknownAndAnswerNothing) {
  for (int32_t kind : {99, -1, 7, 122, 124}) {
    EXPECT_EQ(AnnouncementLine(kind, 6, 2), "RX[06]: got UNKNOWN frame.    [2 bytes]") << kind;
    EXPECT_EQ(FrameKindOf(kind).build, nullptr) << kind;
    EXPECT_EQ(FrameKindOf(kind).decode, nullptr) << kind;
  }
  // Raw frames are offered on the list but not told apart yet.
  EXPECT_EQ(AnnouncementLine(KIND_RAW, 6, 2), AnnouncementLine(99, 6, 2));
}

// ------------------------------------------------------- through the program

// A started program with its modem port connected: the interpreter and the
// data frames are wired by Program::Start.
class ConnectedProgram : public ProgramTest {
 protected:
  ConnectedProgram() {
    port = Connect();
    TakeLines();
  }

  // The bytes arrive on the modem port; one poll takes them in.
  Lines Poll(const std::string& bytes) {
    port->incoming.insert(port->incoming.end(), bytes.begin(), bytes.end());
    program->OnTimer(TIMER_POLL);
    return TakeLines();
  }

  // The operator's node table, the one the data frames read.
  NodeProtocol& node(int n) { return program->settings().nodes[static_cast<size_t>(n)]; }

  std::shared_ptr<FakePortState> port;
};

using DataFramesInTheProgram = ConnectedProgram;

TEST_F(DataFramesInTheProgram, ReceivedFrameReachesTheDecoderAndIsCounted) {
  node(4).showRawData = 1;
  EXPECT_EQ(Poll("$CARXD,4,1,0,9,c0ffee\r\n"),
            (Lines{"RX[04]: got frame.            [3 bytes]", "RX[04]:    c0..ff..ee"}));
  EXPECT_EQ(program->stats().goodRx, 1);
}

TEST_F(DataFramesInTheProgram, DataRequestForAnAcpNodeIsAnswered) {
  program->OnCommand(cmd::USE_NODE_PROTOCOL);
  ASSERT_EQ(program->settings().useNodeProtocol, 1);
  node(2).protocol = KIND_ACP;
  port->written.clear();
  EXPECT_EQ(Poll("$CADRQ,120000,1,2,1,8\r\n"),
            (Lines{"Got ACK Data Request 1->2     [8 bytes]", "ACP[1]: sending status to [2]."}));
  EXPECT_EQ(port->written, "$CCTXD,1,2,1,1100000000000000\r\n");

  // A node at the default protocol: no answer, no line beyond the request.
  port->written.clear();
  EXPECT_EQ(Poll("$CADRQ,120000,1,5,0,8\r\n"), Lines{"Got NOACK Data Request 1->5   [8 bytes]"});
  EXPECT_EQ(port->written, "");
}

TEST_F(DataFramesInTheProgram, SendFileItemsQueueForTheirOwnNode) {
  const std::filesystem::path file = root.path() / "note.txt";
  { std::ofstream(file) << "hello"; }
  ui.fileToOpen = file.string();
  node(8).protocol = KIND_ACP;
  node(9).protocol = KIND_ACP;
  program->OnCommand(cmd::SEND_FILE_TO[8]);
  program->OnCommand(cmd::SEND_FILE_TO[9]);
  program->OnCommand(cmd::SEND_FILE_TO[9]);
  EXPECT_EQ(program->frames().acp.queues[8].count(), 1);
  EXPECT_EQ(program->frames().acp.queues[9].count(), 2);
  EXPECT_EQ(TakeLines(), (Lines{"ACP[8]: queued \"note.txt\" [14 bytes]",
                                "ACP[9]: queued \"note.txt\" [14 bytes]",
                                "ACP[9]: queued \"note.txt\" [14 bytes]"}));
  ASSERT_FALSE(ui.fileDialogs.empty());
  EXPECT_EQ(ui.fileDialogs[0].first, "File To Send");
  EXPECT_EQ(ui.fileDialogs[0].second, root.path().string());
  ASSERT_EQ(ui.openRequests[0].filters.size(), 1u);  // every file may be sent
  EXPECT_EQ(ui.openRequests[0].filters[0].name, "All Files");
  EXPECT_EQ(ui.openRequests[0].filters[0].pattern, "*");
  program->OnCommand(cmd::SEND_FILE_TO[0]);
  EXPECT_EQ(TakeLines().front(), "ACP[0]: Node not configured for ACP frames!");
  EXPECT_EQ(ui.fileDialogs.size(), 3u);
}

}  // namespace
}  // namespace tw::test
