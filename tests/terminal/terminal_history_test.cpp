// The history above the screen: what it keeps, scrolling back over it while
// lines arrive, and selecting, finding and saving its text.
#include "terminal/terminal_history.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fakes.h"
#include "terminal/terminal.h"
#include "terminal/terminal_screen.h"
#include "terminal/terminal_scrollback.h"
#include "terminal/terminal_selection.h"

namespace tw {
namespace {

class HistoryTest : public ::testing::Test {
 protected:
  HistoryTest() : terminal(clock, surface) {
    clock.now = LocalTime{2007, 3, 3, 12, 34, 56};
    terminal.Open();
    ti().clientHeight = SCREEN_ROWS * ti().charHeight;  // the whole screen in view
  }
  TerminalInfo& ti() { return *terminal.info(); }
  void Print(int from, int to) {
    for (int n = from; n <= to; ++n) terminal.PrintLine("line " + std::to_string(n));
  }
  std::string Shown(int r) { return std::string(DocumentRow(ti(), ShownRow(ti(), r)), 19); }

  ManualClock clock;
  test::RecordingSurface surface;
  Terminal terminal;
};

TEST_F(HistoryTest, RowsLeavingTheScreenAreKeptInOrderAndTheOldestGoWhenFull) {
  TerminalInfo small;
  small.history = TerminalHistory(3);
  for (char c : std::string("abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGH")) {
    const char line[] = {c, '\r', '\n'};
    WriteScreen(small, surface, line, 3);
  }
  // 44 lines: 5 rows have left the screen, the last 3 of them are kept.
  EXPECT_EQ(small.history.pushed(), 5);
  EXPECT_EQ(small.history.Row(1), nullptr);
  EXPECT_EQ(std::string({small.history.Row(2)[0], small.history.Row(4)[0]}), "ce");
  EXPECT_EQ(small.history.Row(5), nullptr);
  // A selection loses what has left the history, and ends with its text.
  TerminalSelection s{true, {1, 0}, {3, 0}};
  s.Clip(small);
  EXPECT_EQ(s.first(), (CellPos{2, 0}));
  s = {true, {0, 0}, {1, 5}};
  s.Clip(small);
  EXPECT_FALSE(s.active);

  Print(1, 10039);  // 10,000 lines above the screen
  EXPECT_EQ(std::string(DocumentRow(ti(), 0), 18), "[12:34:56] line 1 ");
  EXPECT_EQ(ti().rowText(0).substr(0, 21), "[12:34:56] line 10001");
}

TEST_F(HistoryTest, ScrolledBackTheViewStaysOnItsRowsAndCountsNewLinesUntilTheBottom) {
  Print(1, 139);  // 100 rows of history
  const int h = ti().charHeight;
  struct Step {
    int code, position, back;
  } steps[] = {
      {SB_LINEUP, 0, 1},    {SB_PAGEUP, 0, 41},
      {SB_LINEDOWN, 0, 40}, {SB_THUMBPOSITION, 5 * h, 95},
      {SB_TOP, 0, 100},     {SB_PAGEDOWN, 0, 60},
      {SB_BOTTOM, 0, 0},    {SB_THUMBPOSITION, 9999 * h, 0},
  };
  for (const Step& s : steps) {
    EXPECT_EQ(ScrollHistory(ti(), surface, s.code, s.position), 1);
    EXPECT_EQ(ti().history.back, s.back) << s.code;
  }
  ScrollHistory(ti(), surface, SB_PAGEUP, 0);
  const std::string top = Shown(0);
  EXPECT_EQ(top, "[12:34:56] line 61 ");
  Print(140, 144);
  EXPECT_EQ(Shown(0), top);
  EXPECT_EQ(ti().history.unseen, 5);
  ScrollHistory(ti(), surface, SB_BOTTOM, 0);
  EXPECT_EQ(ti().history.unseen, 0);
  EXPECT_EQ(Shown(0), "[12:34:56] line 106");
  EXPECT_EQ(VerticalBarValue(ti()), VerticalBarRange(ti()));
}

TEST_F(HistoryTest, SelectionFindAndSaveWorkOverHistoryAndScreen) {
  Print(1, 60);  // lines 1..21 above the screen (rows 0..20), 22..60 on it
  // From "line 10" in the history to "line 2" of "line 22" on the screen.
  const TerminalSelection s{true, {9, 11}, {21, 16}};
  const std::string before = SelectionText(ti(), s);
  EXPECT_EQ(before.substr(0, 8), "line 10\n");
  EXPECT_EQ(before.substr(before.size() - 6), "line 2");
  Print(61, 70);  // the rows move up; the selection stays on its text
  EXPECT_EQ(SelectionText(ti(), s), before);

  struct Find {
    std::string needle;
    CellPos from;
    bool backwards;
    int64_t row;  // -1: not found
  } finds[] = {
      // Row r holds line r + 1; "line 70" on row 69 starts after column 0.
      {"LINE 7", {69, 0}, true, 6}, {"line 7", {70, 0}, true, 69},  {"line 7", {6, 11}, false, 69},
      {"line 5", {0, 0}, false, 4}, {"no such", {69, 0}, true, -1}, {"", {0, 0}, false, -1},
  };
  for (const Find& f : finds) {
    const std::optional<CellPos> found = FindText(ti(), f.needle, f.from, f.backwards);
    EXPECT_EQ(found ? found->row : -1, f.row) << f.needle << " from " << f.from.row;
  }

  // The history and the screen, oldest first, up to the last written row.
  const std::string all = HistoryText(ti());
  EXPECT_EQ(all.substr(0, 19), "[12:34:56] line 1\n[");
  EXPECT_EQ(all.substr(all.size() - 19), "[12:34:56] line 70\n");
}

TEST_F(HistoryTest, ComposedLinesAreBrokenOnTheScreenAndWholeForListeners) {
  std::vector<std::string> heard;
  terminal.AddLineListener([&heard](const std::string& line) { heard.push_back(line); });
  const std::string text =
      "Error: Can't Connect COM4 (/dev/ttyS3): No such file or directory; check the cable.";
  terminal.PrintWrapped(text);
  EXPECT_EQ(heard, std::vector<std::string>{"[12:34:56] " + text});
  EXPECT_EQ(ti().rowText(0), "[12:34:56] Error: Can't Connect COM4 (/dev/ttyS3): No such file ");
  EXPECT_EQ(ti().rowText(1).substr(0, 44), "[12:34:56]   or directory; check the cable. ");
  EXPECT_EQ(ti().row, 2);
}

}  // namespace
}  // namespace tw
