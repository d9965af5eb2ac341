// The emulator's text pane: at most 20480 characters, the oldest text going
// first, nothing of the newest lost; and the listeners that follow it.
#include "emulator/emulator_pane.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tw::test {
namespace {

// A line of `n` characters ending in CR LF, its text made of `fill`.
std::string Line(size_t n, char fill) { return std::string(n - 2, fill) + "\r\n"; }

TEST(EmulatorPane, GrowsUntilFullThenDropsAsMuchFromItsStartAsItTakes) {
  EmulatorPane pane;
  std::string all;
  for (int k = 0; k < 400; ++k) {
    const std::string line = Line(50 + k % 7, static_cast<char>('a' + k % 26));
    pane.EMUAppendText(line);
    all += line;
    ASSERT_LE(pane.text().size(), EMU_PANE_MAX);
    // Always the newest text, whole, at the end.
    ASSERT_EQ(pane.text(), all.substr(all.size() - pane.text().size())) << k;
  }
  EXPECT_GT(pane.text().size(), EMU_PANE_MAX - 60);
}

TEST(EmulatorPane, AFullPaneKeepsItsLastCharacters) {
  EmulatorPane pane;
  // Exactly full, then one character short of it: the last two characters
  // (the CR LF of the newest line) must survive the next trimming.
  for (size_t fill : {EMU_PANE_MAX, EMU_PANE_MAX - 1}) {
    pane.Clear();
    pane.EMUAppendText(std::string(fill - 4, 'x') + "AB\r\n");
    ASSERT_EQ(pane.text().size(), fill);
    pane.EMUAppendText("new\r\n");
    EXPECT_EQ(pane.text().size(), fill);
    EXPECT_EQ(pane.text().substr(pane.text().size() - 9), "AB\r\nnew\r\n") << fill;
    EXPECT_EQ(pane.text().substr(0, 3), "xxx");
  }
}

TEST(EmulatorPane, TextLongerThanThePaneKeepsItsEnd) {
  EmulatorPane pane;
  pane.EMUAppendText("old\r\n");
  std::string huge(EMU_PANE_MAX + 100, 'y');
  huge.back() = 'Z';
  pane.EMUAppendText(huge);
  EXPECT_EQ(pane.text().size(), EMU_PANE_MAX);
  EXPECT_EQ(pane.text().back(), 'Z');
  EXPECT_EQ(pane.text().find("old"), std::string::npos);
}

TEST(EmulatorPane, ListenersSeeEachChangeAndCanLeaveDuringOne) {
  EmulatorPane pane;
  std::vector<std::string> seen;
  int second = 0;
  const int first = pane.AddListener([&](const PaneChange& c) {
    seen.push_back((c.cleared ? "clear " : "") + std::to_string(c.dropped.size()) +
                   std::string(c.dropped.substr(0, 1)) + " " + std::string(c.appended));
  });
  second = pane.AddListener([&](const PaneChange&) { pane.RemoveListener(second); });
  pane.EMUAppendText(std::string(EMU_PANE_MAX - 2, 'x'));
  pane.EMUAppendText("abc");
  pane.Clear();
  pane.RemoveListener(first);
  pane.EMUAppendText("gone");
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0], "0 " + std::string(EMU_PANE_MAX - 2, 'x'));
  EXPECT_EQ(seen[1], "3x abc");
  EXPECT_EQ(seen[2], "clear 0 ");
}

}  // namespace
}  // namespace tw::test
