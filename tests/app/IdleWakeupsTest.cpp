// An idle main window wakes only for timers that have work to do.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <map>

#include "app/HeadlessUi.h"
#include "app/MainWindow.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

TEST(IdleWakeups, OnlyTimersWithWorkRunAndTheTableStillHoldsThemAll) {
  TempDir root;
  ManualClock clock;
  Options options;
  options.home = root.path();
  MainWindow window(options, clock);
  window.show();
  QApplication::processEvents();

  std::map<int, int> active;  // interval -> running timers
  for (QTimer* t : window.findChildren<QTimer*>()) {
    if (t->isActive()) ++active[t->interval()];
  }
  EXPECT_EQ(active[20], 1);  // the port poll, not the tick without work
  EXPECT_EQ(active[100], 1);
  EXPECT_EQ(active[10000], 1);
  // The program's timer table keeps timer 5 as started, with its period.
  const TimerSlot& spare = window.program().timers().table[TIMER_SPARE];
  EXPECT_EQ(spare.state, TIMER_RUNNING);
  EXPECT_EQ(spare.period, 20);
}

// The run without a window backs the timers the same way.
TEST(IdleWakeups, HeadlessRunsOnlyTimersWithWork) {
  HeadlessUi ui([](int) {});
  for (int number : {TIMER_POLL, TIMER_SPARE, TIMER_SLOW}) ui.SetTimer(number, 20);
  int active = 0;
  for (QTimer* t : ui.findChildren<QTimer*>()) active += t->isActive() ? 1 : 0;
  EXPECT_EQ(active, 2);
}

}  // namespace
}  // namespace tw::test
