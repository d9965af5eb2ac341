// F1 in the program's own windows fires whether or not it is also taken
// for every program, and the choice can change either way.
#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>

#include "app/HotKey.h"

namespace tw::test {
namespace {

TEST(HotKey, F1InTheProgramsWindowFiresInBothModes) {
  QWidget window;
  window.show();
  int fired = 0;
  HotKey key(
      &window, [&fired] { ++fired; }, true);
  for (const bool everywhere : {true, false, true}) {
    key.SetEverywhere(everywhere);
    QTest::keyClick(&window, Qt::Key_F1);
    QTest::keyClick(&window, Qt::Key_F1, Qt::ShiftModifier);  // not the hot key
  }
  EXPECT_EQ(fired, 3);
}

}  // namespace
}  // namespace tw::test
