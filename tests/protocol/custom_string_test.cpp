// The custom command string: what is stored, what the dialog shows again,
// and the "Test" preview and send.
#include "protocol/custom_string.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fakes.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

TEST(CustomString, StoredWithCrLfAndCutSoItStillEndsInCrLf) {
  EXPECT_EQ(CustomStringFromEdit("$CCCYC,0,0,1,0,0,1"), "$CCCYC,0,0,1,0,0,1\r\n");
  const std::string fits(1021, 'a');
  EXPECT_EQ(CustomStringFromEdit(fits), fits + "\r\n");
  for (size_t length : {1022u, 1023u, 5000u}) {
    EXPECT_EQ(CustomStringFromEdit(std::string(length, 'b')), std::string(1021, 'b') + "\r\n")
        << length;
  }
}

TEST(CustomString, DialogShowsTheFirstLine) {
  EXPECT_EQ(CustomStringFirstLine(""), "");
  EXPECT_EQ(CustomStringFirstLine("$CCCFQ,ALL\r\n"), "$CCCFQ,ALL");
  EXPECT_EQ(CustomStringFirstLine("ONE\r\nTWO\r\n"), "ONE");
  EXPECT_EQ(CustomStringFirstLine("ONE\nTWO"), "ONE");
  // Line ends in front of the text stay with it.
  EXPECT_EQ(CustomStringFirstLine("\r\n\nLATE\r\n"), "\r\n\nLATE");
  EXPECT_EQ(CustomStringFirstLine("\r\n\r\n"), "\r\n\r\n");
  // What OK stored comes back as typed.
  EXPECT_EQ(CustomStringFirstLine(CustomStringFromEdit("$CCMEC,0,2,1,1,1")), "$CCMEC,0,2,1,1,1");
}

TEST(CustomString, PreviewShowsShortTextsWholeAndLongOnesCut) {
  EXPECT_EQ(CustomStringTestPreview("$CCCYC,0,0,1,0,0,1"),
            "Sending Custom String: 18 bytes: '$CCCYC,0,0,1,0,...'");
  EXPECT_EQ(CustomStringTestPreview("ABCDEFGHIJKLMN"),
            "Sending Custom String: 14 bytes: 'ABCDEFGHIJKLMN'");
  EXPECT_EQ(CustomStringTestPreview("ABCDEFGHIJKLMNO"),
            "Sending Custom String: 15 bytes: 'ABCDEFGHIJKLMNO...'");
  EXPECT_EQ(CustomStringTestPreview(""), "Sending Custom String: 0 bytes: ''");
  // The length is what was typed, up to the 4095 characters read from the
  // edit, even where the stored string keeps less.
  EXPECT_EQ(CustomStringTestPreview(std::string(2000, 'z')),
            "Sending Custom String: 2000 bytes: 'zzzzzzzzzzzzzzz...'");
  EXPECT_EQ(CustomStringTestPreview(std::string(4095, 'y')),
            "Sending Custom String: 4095 bytes: 'yyyyyyyyyyyyyyy...'");
  EXPECT_EQ(CustomStringTestPreview(std::string(5000, 'x')),
            "Sending Custom String: 4095 bytes: 'xxxxxxxxxxxxxxx...'");
}

TEST(CustomString, TestShowsStoresAndSends) {
  RecordingTextOut out;
  RecordingSink sink(&out);
  std::string stored = "$CCCFQ,ALL\r\n";
  CustomStringTest(stored, out, sink, "$CCCYC,0,0,1,0,0,1");
  EXPECT_EQ(out.lines,
            std::vector<std::string>{"Sending Custom String: 18 bytes: '$CCCYC,0,0,1,0,...'"});
  EXPECT_EQ(stored, "$CCCYC,0,0,1,0,0,1\r\n");
  EXPECT_EQ(sink.sent, std::vector<std::string>{"$CCCYC,0,0,1,0,0,1\r\n"});
}

TEST(CustomString, LongTestReportsTheTypedLengthAndSendsTheStoredString) {
  RecordingTextOut out;
  RecordingSink sink(&out);
  std::string stored;
  const std::string typed = "$CCTXA,0,1,0," + std::string(1987, 'Q');
  CustomStringTest(stored, out, sink, typed);
  EXPECT_EQ(out.lines,
            std::vector<std::string>{"Sending Custom String: 2000 bytes: '$CCTXA,0,1,0,QQ...'"});
  EXPECT_EQ(stored, typed.substr(0, 1021) + "\r\n");
  EXPECT_EQ(sink.sent, std::vector<std::string>{stored});
}

TEST(CustomString, SendStoredShowsTheFirstLineAndSendsTheWholeString) {
  RecordingTextOut out;
  RecordingSink sink(&out);
  CustomStringSendStored(out, sink, "$CCCFQ,ALL\r\n$CCCLK,1\r\n", "Label");
  // Nothing stored yet: the preview says so and nothing is sent.
  CustomStringSendStored(out, sink, "", "Label");
  EXPECT_EQ(out.lines,
            (std::vector<std::string>{"Label: 10 bytes: '$CCCFQ,ALL'", "Label: 0 bytes: ''"}));
  EXPECT_EQ(sink.sent, std::vector<std::string>{"$CCCFQ,ALL\r\n$CCCLK,1\r\n"});
}

// Through the program's own terminal and sender.
class CustomStringInProgram : public ProgramTest {};

TEST_F(CustomStringInProgram, TestWithoutAPortStillStores) {
  TakeLines();
  CustomStringTest(program->settings().customString, program->terminal(), program->sender(),
                   "$CCCFQ,ALL");
  EXPECT_EQ(TakeLines(), (std::vector<std::string>{"Sending Custom String: 10 bytes: '$CCCFQ,ALL'",
                                                   "Error: Not Connected!"}));
  EXPECT_EQ(program->settings().customString, "$CCCFQ,ALL\r\n");
}

}  // namespace
}  // namespace tw::test
