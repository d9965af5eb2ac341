// The default window shows the whole 40 x 64 screen, whatever monospaced
// face stands in for the one the settings name.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/MainWindow.h"
#include "support/program_fixture.h"
#include "terminal/TerminalView.h"

namespace tw::test {
namespace {

TEST(DefaultWindowFit, CellsFitTheDefaultWindowAndTheNewestRowIsShown) {
  TempDir root;
  ManualClock clock;
  Options options;
  options.home = root.path();
  MainWindow window(options, clock);
  window.show();
  QApplication::processEvents();

  const TerminalInfo& ti = *window.program().terminal().info();
  EXPECT_LE(ti.charWidth, 8);
  EXPECT_LE(ti.charHeight, 14);
  auto* view = window.findChild<TerminalView*>();
  ASSERT_NE(view, nullptr);
  EXPECT_GE(view->viewport()->width(), SCREEN_COLUMNS * ti.charWidth);
  EXPECT_GE(view->viewport()->height(), SCREEN_ROWS * ti.charHeight);
  // Nothing to scroll: the bottom rows, where new lines arrive, are in view.
  EXPECT_EQ(ti.scrollRangeX, 0);
  EXPECT_EQ(ti.scrollRangeY, 0);
}

}  // namespace
}  // namespace tw::test
