// The "Network Ping Results" window: it follows the results and their Reset,
// shows all sixteen units on a small laptop's screen, and copies its cells.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "core/ViewSaver.h"
#include "protocol/PingResultsWindow.h"
#include "protocol/stats.h"

namespace tw::test {
namespace {

TEST(PingResultsWindow, FollowsResultsAndResetFitsASmallScreenAndCopies) {
  PerformanceStats stats;
  PingResultsWindow window(stats.pingResults);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QTableWidget* table = window.table();
  const auto row = [table](int r) {
    QStringList cells;
    for (int c = 0; c < table->columnCount(); ++c) cells << table->item(r, c)->text();
    return cells.join(' ');
  };
  stats.pingResults.CountSent(3);
  stats.pingResults.CountRange(3, 1234.5f, LocalTime{2007, 3, 3, 14, 5, 9});
  EXPECT_EQ(row(3), "3 1 0 1 1234.5 14:05:09 100%");
  StatsReset(stats);  // the window keeps following after a Reset
  EXPECT_EQ(row(3), "3 0 0 0 - - -");

  QApplication::processEvents();
  EXPECT_LE(window.frameGeometry().width(), 1366);
  EXPECT_LE(window.frameGeometry().height(), 768);
  EXPECT_EQ(table->verticalScrollBar()->maximum(), 0);  // all 16 rows in view
  EXPECT_EQ(table->horizontalScrollBar()->maximum(), 0);

  table->setRangeSelected(QTableWidgetSelectionRange(14, 0, 15, 1), true);
  table->setFocus();
  QTest::keySequence(table, QKeySequence::Copy);
  EXPECT_EQ(QApplication::clipboard()->text(), "14\t0\n15\t0");

  // Save Data writes the rows as shown, under the header.
  QTemporaryDir dir;
  const QString csv = dir.filePath("ping.csv");
  ASSERT_TRUE(window.saver()->saveData(csv));
  QFile file(csv);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = file.readAll().split('\n');
  ASSERT_GE(lines.size(), 17);
  EXPECT_TRUE(lines[0].startsWith("Unit,")) << lines[0].toStdString();
  EXPECT_EQ(lines[4].trimmed(), "3,0,0,0,-,-,-");
}

}  // namespace
}  // namespace tw::test
