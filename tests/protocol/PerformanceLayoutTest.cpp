// The "Performance" window's layout and its ten-minute plot.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "protocol/PerformanceDialog.h"
#include "protocol/TrendPlotView.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

using namespace stats_ctl;

class PerformanceLayout : public ProgramTest {};

int LeftInDialog(const PerformanceDialog& d, int control) {
  const QLineEdit* f = d.field(control);
  return f ? f->mapTo(&d, QPoint(0, 0)).x() : -1;
}

TEST_F(PerformanceLayout, ValueBoxesOfAllGroupsLineUp) {
  PerformanceDialog d(program->stats());
  d.show();
  QApplication::processEvents();
  const int left = LeftInDialog(d, DOPPLER);
  ASSERT_GT(left, 0);
  for (int control : {MEAN_MSE, MEAN_AGC, MEAN_DQF, REVERTS, AIN, CRC, NVRAM, CYCLES, DETECTS,
                      GOOD_RX, TX_FRAMES, ACK_FRAMES, PINGS, REPLIES[0], REPLIES[3]}) {
    EXPECT_EQ(LeftInDialog(d, control), left) << control;
  }
  EXPECT_GT(LeftInDialog(d, RANGES[0]), left);
  EXPECT_EQ(LeftInDialog(d, RANGES[0]), LeftInDialog(d, RANGES[3]));
}

TEST_F(PerformanceLayout, TheRangeBoxShowsAWholeLongRange) {
  // A travel time of 1e5 s: 150000000.0 m, twelve characters.
  StatsSetRange(program->stats(), 0, 150000000.0f);
  PerformanceDialog d(program->stats());
  d.show();
  QApplication::processEvents();
  QLineEdit* range = d.field(RANGES[0]);
  ASSERT_NE(range, nullptr);
  EXPECT_EQ(range->text(), "150000000.0");
  for (const QString& text : {QString("150000000.0"), QString("-2147483648"),
                              QString("1234567890.5")}) {
    range->setText(text);
    // Text that does not fit scrolls: the start of the text would leave the box.
    range->setCursorPosition(static_cast<int>(text.size()));
    EXPECT_EQ(range->cursorPositionAt(QPoint(range->contentsRect().left() + 3, range->height() / 2)),
              0)
        << text.toStdString();
    EXPECT_GE(range->width(),
              range->fontMetrics().horizontalAdvance(text) + 2 * 2)
        << text.toStdString();
  }
}

TEST_F(PerformanceLayout, FitsALaptopScreenInDialogUnitsOfItsFont) {
  PerformanceDialog d(program->stats());
  d.show();
  QApplication::processEvents();
  // 768 pixels less a panel and the title bar.
  EXPECT_LE(d.height(), 680);
  EXPECT_LE(d.sizeHint().height(), 680);
  // Dialog units follow the font: four across are one average character.
  const QFontMetrics fm = d.fontMetrics();
  EXPECT_NEAR(d.dluX(4), fm.averageCharWidth(), fm.averageCharWidth() / 2.0 + 1);
  EXPECT_NEAR(d.dluY(8), fm.height(), 1);
  EXPECT_GE(d.field(MEAN_AGC)->height(), d.dluY(12));
}

TEST_F(PerformanceLayout, ThePlotShowsTheLastTenMinutesAndFollowsResets) {
  PerformanceStats& stats = program->stats();
  clock.ticks = 1000;
  StatsAddAGC(stats, 30);
  PerformanceDialog d(stats);
  d.show();
  clock.ticks = 61000;
  StatsAddAGC(stats, 40);  // the open window redraws with the update
  StatsAddDQF(stats, 200);
  StatsSetRange(stats, 2, 750.0f);

  const TrendPlot& plot = d.trendView().plot();
  ASSERT_EQ(plot.strips[1].lines.size(), 1u);
  EXPECT_EQ(plot.strips[1].lines[0].points,
            (std::vector<std::pair<double, double>>{{-60.0, 30.0}, {0.0, 40.0}}));
  ASSERT_EQ(plot.strips[0].lines.size(), 1u);
  ASSERT_EQ(plot.strips[2].lines.size(), 1u);
  EXPECT_EQ(plot.strips[2].lines[0].channel, 2);
  EXPECT_FALSE(d.grab().isNull());

  // Ten minutes on, the first AGC sample has left the plot.
  clock.ticks = 1000 + 10 * 60000 + 1;
  StatsCountCycle(stats);
  ASSERT_EQ(d.trendView().plot().strips[1].lines.size(), 1u);
  EXPECT_EQ(d.trendView().plot().strips[1].lines[0].points.size(), 1u);

  d.resetButton()->click();
  for (const TrendStrip& s : d.trendView().plot().strips) EXPECT_TRUE(s.lines.empty());
}

}  // namespace
}  // namespace tw::test
