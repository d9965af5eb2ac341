// The terminal view with a whole program behind it on fakes, as the view's
// tests use it: a fixed clock, the start-up font applied through the view.
// Header only: it needs the Qt layer, which the shared support library
// does not link.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QScreen>

#include "app/program.h"
#include "support/fakes.h"
#include "support/program_fixture.h"
#include "terminal/TerminalView.h"

namespace tw::test {

class TerminalViewFixture : public ::testing::Test {
 protected:
  TerminalViewFixture() : program(clock, ports, ui, view, root.path()) {
    clock.now = LocalTime{2007, 3, 3, 12, 34, 56};
    view.setTerminal(&program.terminal());
    program.Start();  // applies the start-up font through the view
  }

  TerminalInfo& ti() { return *program.terminal().info(); }

  // Shows the view with both scroll bars and a viewport of the given size.
  void ShowViewport(int width, int height) {
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    view.show();
    const QSize extra = view.size() - view.viewport()->size();
    view.resize(width + extra.width(), height + extra.height());
    QApplication::processEvents();
    ASSERT_EQ(view.viewport()->size(), QSize(width, height));
  }

  // What the window really shows (its backing store), not a fresh rendering.
  QImage OnScreen() {
    QWidget* v = view.viewport();
    const QPoint origin = v->mapTo(&view, QPoint(0, 0));
    return view.screen()
        ->grabWindow(view.winId(), origin.x(), origin.y(), v->width(), v->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
  }

  TempDir root;
  ManualClock clock;
  FakePortOpener ports;
  FakeUi ui;
  TerminalView view;
  Program program;
};

}  // namespace tw::test
